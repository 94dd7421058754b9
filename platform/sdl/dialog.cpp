// Message boxes drawn by the game itself: a small window with a caption bar,
// the text, an icon and the buttons, all lettered with the game's own text
// renderer, so the Japanese reads right whatever fonts the X server or the
// locale offer. Modal: the box runs its own event loop, and whatever arrives
// for the game meanwhile (a close request, a finished song) waits for it.
#include <algorithm>
#include <cstdio>
#include <vector>

#include "gfx/text.h"
#include "platform/sdl/sdl_internal.h"

namespace {

const char* const BOX_FACE = "ＭＳ 明朝";
constexpr int FONT_WIDTH = 9, FONT_HEIGHT = 18;
constexpr int CAPTION_HEIGHT = 28;
constexpr int MARGIN = 18;
constexpr int ICON_SIZE = 32;
constexpr int BUTTON_WIDTH = 100, BUTTON_HEIGHT = 28, BUTTON_GAP = 12;
constexpr int MAX_TEXT_WIDTH = 640, MAX_TEXT_HEIGHT = 480;

// Surface pixels are 0x00RRGGBB; text colours are 0x00BBGGRR.
constexpr uint32_t PIXEL_BODY = 0xF0F0F0, PIXEL_CAPTION = 0x2B4A7A, PIXEL_BORDER = 0x404040;
constexpr uint32_t PIXEL_BUTTON = 0xE1E1E1, PIXEL_BUTTON_HOVER = 0xE5F1FB, PIXEL_FOCUS = 0x0078D7;
constexpr uint32_t PIXEL_ERROR = 0xD03030, PIXEL_QUESTION = 0x2F6FCF, PIXEL_WHITE = 0xFFFFFF;
constexpr Colour TEXT_BLACK = 0x000000, TEXT_WHITE = 0xFFFFFF;

struct Button {
    const char* label;
    bool answer;
    SDL_Rect rect;
};

struct Box {
    const char* text;
    const char* caption;
    int style;
    int width, height;
    int textX, textY, textWidth, textHeight;
    std::vector<Button> buttons;
    int focus = 0;      // the button Enter presses
    int hover = -1;     // the button under the pointer
    std::vector<uint32_t> pixels;
};

void Fill(Box& box, int x, int y, int w, int h, uint32_t pixel)
{
    for (int row = std::max(y, 0); row < std::min(y + h, box.height); row++)
        for (int col = std::max(x, 0); col < std::min(x + w, box.width); col++)
            box.pixels[row * box.width + col] = pixel;
}

void Frame(Box& box, int x, int y, int w, int h, uint32_t pixel)
{
    Fill(box, x, y, w, 1, pixel);
    Fill(box, x, y + h - 1, w, 1, pixel);
    Fill(box, x, y, 1, h, pixel);
    Fill(box, x + w - 1, y, 1, h, pixel);
}

void DrawIcon(Box& box, Surface surface, int left, int top)
{
    if (box.style == PLATFORM_BOX_YESNO) return;
    bool error = box.style == PLATFORM_BOX_OK_ERROR;
    int r = ICON_SIZE / 2, cx = left + r, cy = top + r;
    for (int y = -r; y < r; y++)
        for (int x = -r; x < r; x++)
            if ((x * 2 + 1) * (x * 2 + 1) + (y * 2 + 1) * (y * 2 + 1) <= 4 * r * r)
                Fill(box, cx + x, cy + y, 1, 1, error ? PIXEL_ERROR : PIXEL_QUESTION);
    if (error) {
        for (int i = -8; i <= 8; i++) {  // a white cross, three pixels thick
            Fill(box, cx + i - 1, cy + i, 3, 1, PIXEL_WHITE);
            Fill(box, cx - i - 1, cy + i, 3, 1, PIXEL_WHITE);
        }
    } else {
        int w, h;
        MeasureTextWithFace(BOX_FACE, 11, 22, "?", &w, &h);
        DrawTextWithFace(surface, cx - w / 2, cy - h / 2, TEXT_WHITE, COLOR_NONE, BOX_FACE, 11, 22, "?");
    }
}

void Layout(Box& box)
{
    box.buttons.clear();
    if (box.style == PLATFORM_BOX_OK_ERROR) {
        box.buttons.push_back(Button{"OK", true, SDL_Rect{}});
    } else {
        box.buttons.push_back(Button{"はい(Y)", true, SDL_Rect{}});
        box.buttons.push_back(Button{"いいえ(N)", false, SDL_Rect{}});
    }

    int textWidth, lineHeight;
    MeasureTextWithFace(BOX_FACE, FONT_WIDTH, FONT_HEIGHT, box.text, &textWidth, &lineHeight);
    box.textWidth = std::clamp(textWidth, 1, MAX_TEXT_WIDTH);
    int lines = DrawTextBoxWithFace(nullptr, 0, 0, box.textWidth, TEXT_BLACK, COLOR_NONE, BOX_FACE,
                                    FONT_WIDTH, FONT_HEIGHT, box.text);
    int textHeight = std::min(std::max(lines, 1) * lineHeight, MAX_TEXT_HEIGHT);
    box.textHeight = textHeight;
    int captionWidth;
    MeasureTextWithFace(BOX_FACE, FONT_WIDTH, FONT_HEIGHT, box.caption, &captionWidth, &lineHeight);

    bool icon = box.style != PLATFORM_BOX_YESNO;
    box.textX = MARGIN + (icon ? ICON_SIZE + MARGIN : 0);
    int buttonsWidth = static_cast<int>(box.buttons.size()) * (BUTTON_WIDTH + BUTTON_GAP) - BUTTON_GAP;
    box.width = std::max({box.textX + box.textWidth + MARGIN, buttonsWidth + 2 * MARGIN,
                          std::min(captionWidth, MAX_TEXT_WIDTH) + 2 * 10, 280});
    int bodyHeight = std::max(textHeight, icon ? ICON_SIZE : 0);
    box.textY = CAPTION_HEIGHT + MARGIN + (bodyHeight - textHeight) / 2;
    int buttonsTop = CAPTION_HEIGHT + MARGIN + bodyHeight + MARGIN;
    box.height = buttonsTop + BUTTON_HEIGHT + MARGIN - 4;
    int x = box.width - MARGIN - buttonsWidth;
    for (auto& button : box.buttons) {
        button.rect = {x, buttonsTop, BUTTON_WIDTH, BUTTON_HEIGHT};
        x += BUTTON_WIDTH + BUTTON_GAP;
    }
    box.pixels.assign(static_cast<size_t>(box.width) * box.height, PIXEL_BODY);
}

void Draw(Box& box, SDL_Window* window)
{
    SurfaceData surface{box.width, box.height, box.pixels.data()};
    std::fill(box.pixels.begin(), box.pixels.end(), PIXEL_BODY);
    Fill(box, 0, 0, box.width, CAPTION_HEIGHT, PIXEL_CAPTION);
    DrawTextWithFace(&surface, 10, (CAPTION_HEIGHT - FONT_HEIGHT) / 2, TEXT_WHITE, COLOR_NONE, BOX_FACE,
                     FONT_WIDTH, FONT_HEIGHT, box.caption);
    DrawIcon(box, &surface, MARGIN, CAPTION_HEIGHT + MARGIN);
    // The text goes through a surface of its own area, so a runaway text is
    // cut there instead of running over the buttons.
    std::vector<uint32_t> textPixels(static_cast<size_t>(box.textWidth) * box.textHeight, PIXEL_BODY);
    SurfaceData textArea{box.textWidth, box.textHeight, textPixels.data()};
    DrawTextBoxWithFace(&textArea, 0, 0, box.textWidth, TEXT_BLACK, COLOR_NONE, BOX_FACE, FONT_WIDTH,
                        FONT_HEIGHT, box.text);
    for (int row = 0; row < box.textHeight; row++)
        std::copy_n(&textPixels[static_cast<size_t>(row) * box.textWidth], box.textWidth,
                    &box.pixels[static_cast<size_t>(box.textY + row) * box.width + box.textX]);
    for (size_t i = 0; i < box.buttons.size(); i++) {
        const Button& button = box.buttons[i];
        const SDL_Rect& r = button.rect;
        bool focused = static_cast<int>(i) == box.focus;
        Fill(box, r.x, r.y, r.w, r.h, static_cast<int>(i) == box.hover ? PIXEL_BUTTON_HOVER : PIXEL_BUTTON);
        Frame(box, r.x, r.y, r.w, r.h, focused ? PIXEL_FOCUS : 0xADADAD);
        if (focused) Frame(box, r.x + 1, r.y + 1, r.w - 2, r.h - 2, PIXEL_FOCUS);
        int w, h;
        MeasureTextWithFace(BOX_FACE, FONT_WIDTH, FONT_HEIGHT, button.label, &w, &h);
        DrawTextWithFace(&surface, r.x + (r.w - w) / 2, r.y + (r.h - h) / 2, TEXT_BLACK, COLOR_NONE,
                         BOX_FACE, FONT_WIDTH, FONT_HEIGHT, button.label);
    }
    Frame(box, 0, 0, box.width, box.height, PIXEL_BORDER);
    PresentPixels(window, box.pixels.data(), box.width, box.height, box.width);
}

int ButtonAt(const Box& box, int x, int y)
{
    SDL_Point point{x, y};
    for (size_t i = 0; i < box.buttons.size(); i++)
        if (SDL_PointInRect(&point, &box.buttons[i].rect)) return static_cast<int>(i);
    return -1;
}

// Handles one event meant for the box; true once it is answered.
bool HandleBoxEvent(Box& box, const SDL_Event& event, bool* answer, bool* redraw)
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
        int hover = ButtonAt(box, event.motion.x, event.motion.y);
        if (hover != box.hover) *redraw = true;
        box.hover = hover;
        return false;
    }
    case SDL_MOUSEBUTTONUP: {
        int pressed = ButtonAt(box, event.button.x, event.button.y);
        if (event.button.button != SDL_BUTTON_LEFT || pressed < 0) return false;
        *answer = box.buttons[pressed].answer;
        return true;
    }
    case SDL_KEYDOWN:
        switch (event.key.keysym.sym) {
        case SDLK_RETURN:
        case SDLK_KP_ENTER:
        case SDLK_SPACE:
            *answer = box.buttons[box.focus].answer;
            return true;
        case SDLK_y:
            if (!yesNo) return false;
            *answer = true;
            return true;
        case SDLK_n:
        case SDLK_ESCAPE:
            *answer = !yesNo;
            return true;
        case SDLK_TAB:
        case SDLK_LEFT:
        case SDLK_RIGHT:
            box.focus = (box.focus + 1) % static_cast<int>(box.buttons.size());
            *redraw = true;
            return false;
        default:
            return false;
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
    Box box;
    box.text = text;
    box.caption = caption;
    box.style = style;
    Layout(box);

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
