// Message boxes drawn by the game itself (platform/boxes): a small window with
// a caption bar, the text, an icon and the buttons, all lettered with the
// game's own text renderer, so the Japanese reads right whatever fonts the X
// server or the locale offer. Modal: the box runs its own event loop, and whatever arrives
// for the game meanwhile (a close request, a finished song) waits for it.
#include <algorithm>
#include <cstdio>

#include "platform/boxes/box_picture.h"
#include "platform/sdl/sdl_internal.h"

namespace {

void Draw(BoxPicture& box, SDL_Window* window)
{
    DrawBoxPicture(box);
    PresentPixels(window, box.pixels.data(), box.width, box.height, box.width);
}

// Handles one event meant for the box; true once it is answered.
bool HandleBoxEvent(BoxPicture& box, const SDL_Event& event, bool* answer, bool* redraw)
{
    bool yesNo = box.style != PLATFORM_BOX_OK_ERROR;
    switch (event.type) {
    case SDL_WINDOWEVENT:
        if (event.window.event == SDL_WINDOWEVENT_CLOSE) {
            *answer = !yesNo;  // closing a Yes/No box means No
            return true;
        }
        *redraw = true;
        return false;
    case SDL_MOUSEMOTION: {
        int hover = BoxButtonAt(box, event.motion.x, event.motion.y);
        if (hover != box.hover) *redraw = true;
        box.hover = hover;
        return false;
    }
    case SDL_MOUSEBUTTONUP: {
        int pressed = BoxButtonAt(box, event.button.x, event.button.y);
        if (event.button.button != SDL_BUTTON_LEFT || pressed < 0) return false;
        *answer = box.buttons[pressed].answer;
        return true;
    }
    case SDL_KEYDOWN:
        switch (event.key.keysym.sym) {
        case SDLK_RETURN:
        case SDLK_KP_ENTER:
        case SDLK_SPACE: return PressBoxKey(box, BOX_KEY_PRESS, answer, redraw);
        case SDLK_y: return PressBoxKey(box, BOX_KEY_YES, answer, redraw);
        case SDLK_n:
        case SDLK_ESCAPE: return PressBoxKey(box, BOX_KEY_NO, answer, redraw);
        case SDLK_TAB:
        case SDLK_LEFT:
        case SDLK_RIGHT: return PressBoxKey(box, BOX_KEY_NEXT, answer, redraw);
        default: return false;
        }
    default:
        return false;
    }
}

Uint32 EventWindowId(const SDL_Event& event)
{
    switch (event.type) {
    case SDL_WINDOWEVENT: return event.window.windowID;
    case SDL_MOUSEMOTION: return event.motion.windowID;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: return event.button.windowID;
    case SDL_KEYDOWN:
    case SDL_KEYUP: return event.key.windowID;
    default: return 0;
    }
}

}  // namespace

bool PlatformMessageBox(const char* text, const char* caption, int style)
{
    if (style == PLATFORM_BOX_OK_ERROR) fprintf(stderr, "prismveldt: %s: %s\n", caption, text);
    BoxPicture box;
    box.text = text;
    box.caption = caption;
    box.style = style;
    LayOutBox(box);

    // Over the middle of the game window, or of the screen while that is tiny.
    int x = SDL_WINDOWPOS_CENTERED_DISPLAY(GameDisplay()), y = x;
    int gameX, gameY, gameWidth = 0, gameHeight = 0;
    if (gameWindow != nullptr) SDL_GetWindowSize(gameWindow, &gameWidth, &gameHeight);
    if (gameWidth >= box.width && gameHeight >= box.height) {
        SDL_GetWindowPosition(gameWindow, &gameX, &gameY);
        x = gameX + (gameWidth - box.width) / 2;
        y = gameY + (gameHeight - box.height) / 2;
    }
    SDL_Window* window = SDL_CreateWindow(caption, x, y, box.width, box.height,
                                          SDL_WINDOW_BORDERLESS | SDL_WINDOW_ALWAYS_ON_TOP |
                                              SDL_WINDOW_SKIP_TASKBAR | SDL_WINDOW_SHOWN);
    if (window == nullptr) {
        fprintf(stderr, "prismveldt: cannot show the box \"%s\": %s\n", text, SDL_GetError());
        return style == PLATFORM_BOX_OK_ERROR;
    }
    Uint32 windowId = SDL_GetWindowID(window);
    int cursorWas = SDL_ShowCursor(SDL_QUERY);
    SDL_ShowCursor(SDL_ENABLE);
    SDL_RaiseWindow(window);
    SDL_SetWindowInputFocus(window);
    messageBoxOpen = true;
    uint32_t openedAt = PlatformTimeMs();

    bool answer = false, redraw = true;
    for (bool done = false; !done;) {
        if (redraw) Draw(box, window);
        redraw = false;
        SDL_Event event;
        if (!SDL_WaitEventTimeout(&event, 250)) {
            redraw = true;  // nothing happened: refresh in case the box was covered
            continue;
        }
        do {
            if (EventWindowId(event) == windowId) {
                if (HandleBoxEvent(box, event, &answer, &redraw)) done = true;
            } else if (event.type != SDL_KEYDOWN && event.type != SDL_KEYUP &&
                       event.type != SDL_MOUSEBUTTONDOWN && event.type != SDL_MOUSEBUTTONUP) {
                TranslateEvent(event);  // the game's: held for its next pump
            }
        } while (!done && SDL_PollEvent(&event));
    }

    messageBoxOpen = false;
    messageBoxMs += PlatformTimeMs() - openedAt;
    SDL_DestroyWindow(window);
    SDL_ShowCursor(cursorWas);
    if (gameWindow != nullptr) {
        // Without a window manager nobody hands the keyboard back to the game.
        SDL_RaiseWindow(gameWindow);
        SDL_SetWindowInputFocus(gameWindow);
    }
    return answer;
}

// The boxes here are modal: the answer comes at once.
int PlatformAskBox(const char* text, const char* caption, int style)
{
    return PlatformMessageBox(text, caption, style) ? 1 : 0;
}
