// The one frame loop: every frame of every scene is paced, stepped and ended
// here, in the shape of a classic game's main loop. The scenes (game/scenes.h)
// say what a frame draws and what comes next; this file alone waits for the
// frame's start, presents, traces and pumps, and changes scenes between
// frames. It also watches what every scene answers alike: F11 and Alt+Enter
// switch between the window and the full screen, and the window's focus is
// asked once a frame.
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "game/assets.h"
#include "game/online.h"
#include "game/scenes.h"
#include "gfx/surface.h"
#include "input/input.h"
#include "platform/platform.h"
#include "shell/shell.h"

namespace {

struct FrameLoop {
    std::vector<std::unique_ptr<Scene>> stack;  // the top steps; those below wait as they are
    FrameClock clock;
    void (*atEnd)() = nullptr;
    // Last frame's F11 and Enter, as held: a switch is a press, not a hold.
    // Held at first, so that a key held as the loop starts does nothing.
    bool f11Was = true, enterWas = true;
};

bool focusKept = true;  // this frame's answer of PlatformWindowFocused

// The game's display mode follows what the platform shows: the browser's
// player may leave the page's full screen with Escape, or fill the screen
// with the page's own button.
void FollowShownDisplay()
{
    if (!DisplaySwitchable()) return;
    bool shown = PlatformIsFullscreen();
    if (shown != (displayMode == DISPLAY_FULLSCREEN)) displayMode = shown ? DISPLAY_FULLSCREEN : DISPLAY_WINDOWED;
}

// F11, or Enter with Alt held, switches between the window and the full
// screen, in whatever scene; the key is then held back from the scene (Enter
// would choose a menu's row).
void WatchDisplayKeys(FrameLoop& loop)
{
    bool f11 = PlatformIsKeyHeld(VK_F11);
    bool enter = PlatformIsKeyHeld(VK_RETURN);
    bool altEnter = enter && !loop.enterWas && PlatformIsKeyHeld(VK_MENU);
    bool pressed = (f11 && !loop.f11Was) || altEnter;
    loop.f11Was = f11;
    loop.enterWas = enter;
    if (!pressed || !DisplaySwitchable()) return;
    HoldKeyBack(altEnter ? VK_RETURN : VK_F11);
    SwitchDisplayMode(displayMode == DISPLAY_FULLSCREEN ? DISPLAY_WINDOWED : DISPLAY_FULLSCREEN);
}

}  // namespace

bool FrameKeptFocus() { return focusKept; }

void TraceFrame(const FrameEnd& end)
{
    if (!PlatformTracing()) return;
    std::string fields = "\"scene\":\"";
    fields += end.name;
    fields += "\",\"sceneId\":" + std::to_string(end.selector);
    fields += ",\"stageNo\":" + std::to_string(end.stage);
    if (!end.fields.empty()) {
        fields += ',';
        fields += end.fields;
    }
    PlatformTraceFrame(fields.c_str());
}

namespace {

void EndFrame(const FrameEnd& end)
{
    if (end.kind == FRAME_SILENT) return;
    if (end.kind == FRAME_SHOWN) PresentSurface(screenDC, backBuffer);
    TraceFrame(end);
    if (end.kind == FRAME_SHOWN) PumpMessages();
}

// Applies a change of scene, and whatever the scenes it brings on top change
// at once when they are entered or resumed.
void ApplyChange(FrameLoop& loop, SceneChange change)
{
    for (;;) {
        switch (change.kind) {
        case SCENE_STAY: return;
        case SCENE_PUSH:
            loop.stack.push_back(std::move(change.next));
            change = EnterScene(*loop.stack.back(), loop.clock);
            break;
        case SCENE_REPLACE:
            loop.stack.back() = std::move(change.next);
            change = EnterScene(*loop.stack.back(), loop.clock);
            break;
        case SCENE_POP: {
            loop.stack.pop_back();
            if (loop.stack.empty()) return;
            int result = change.result;
            change = ResumeScene(*loop.stack.back(), result, loop.clock);
            break;
        }
        default:
            loop.stack.clear();
            return;
        }
    }
}

// One frame of the scene on top, once it is due; false when the scenes are over.
bool TickFrameLoop(void* context)
{
    FrameLoop& loop = *static_cast<FrameLoop*>(context);
    if (loop.stack.empty()) return false;
    if (!FrameDue(loop.clock.frameStart)) return true;
    loop.clock.frameStart = WaitNextFrame(loop.clock.frameStart);
    focusKept = PlatformWindowFocused();
    ReleaseKeysLetGo();
    FollowShownDisplay();
    WatchDisplayKeys(loop);
    Scene& scene = *loop.stack.back();
    FrameEnd end;
    StepScene(scene, loop.clock, &end);
    EndFrame(end);
    // The records board's request under way, asked about without waiting.
    StepOnlineRecords();
    ApplyChange(loop, AfterFrame(scene, loop.clock));
    return !loop.stack.empty();
}

void EndFrameLoop(void* context)
{
    FrameLoop* loop = static_cast<FrameLoop*>(context);
    void (*atEnd)() = loop->atEnd;
    delete loop;
    if (atEnd) atEnd();
}

}  // namespace

void RunFrameLoop(Scene first, void (*atEnd)())
{
    FrameLoop* loop = new FrameLoop;
    loop->atEnd = atEnd;
    loop->clock.frameStart = GameTimeMs();
    loop->stack.push_back(std::make_unique<Scene>(std::move(first)));
    ApplyChange(*loop, EnterScene(*loop->stack.back(), loop->clock));
    PlatformRunFrames(TickFrameLoop, EndFrameLoop, loop);
}
