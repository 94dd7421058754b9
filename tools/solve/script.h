// Harness scripts from solved runs: the title's START click, each stage's
// play frames at the frame numbers the game gives them (the mouse's, or the
// pad's stick and trigger), the results screens confirmed, and the ending
// (END on the title, or a confirmed close).
#pragma once
#include <string>
#include <vector>
#include "game/scene_rules.h"
#include "game/start_sequence.h"
#include "tools/solve/sim.h"

namespace solve {

// Frames the game spends between the scenes (all fixed: the clock is virtual,
// so the countdown's four seconds are a frame each 16 ms).
constexpr long long COUNTDOWN_FRAMES = 4000 / 16;
constexpr long long FIRST_PLAY_FRAME = 1 + OPENING_CURTAIN_FRAMES + COUNTDOWN_FRAMES;  // title click first
constexpr long long RESULTS_FRAMES = RESULTS_CLICK_DELAY + 1;  // a click is taken from the eleventh frame on
constexpr long long NEXT_STAGE_FRAMES = OPENING_CURTAIN_FRAMES + COUNTDOWN_FRAMES;
// A pad run picks START with the pad's left and chooses it with A on the
// title's fourth frame (the title counts a press once it has seen the
// button up): its play begins that much later.
constexpr long long PAD_TITLE_CHOICE_FRAME = 3;
constexpr long long PAD_FIRST_PLAY_FRAME = FIRST_PLAY_FRAME + PAD_TITLE_CHOICE_FRAME;
constexpr int START_X = 300, START_Y = 580;  // on the title's START button
constexpr int END_X = 950, END_Y = 560;      // on its END button
// The closing screen after a whole game: a press held over it counts on its eleventh frame.
constexpr long long CLOSING_FRAMES = 10;

struct ScriptWriter {
    std::string text;
    int mouseX = -1, mouseY = -1;
    bool held = false;

    void Line(long long frame, const std::string& what) { text += std::to_string(frame) + " " + what + "\n"; }
    void Mouse(long long frame, int x, int y)
    {
        if (x == mouseX && y == mouseY) return;
        Line(frame, "mouse " + std::to_string(x) + " " + std::to_string(y));
        mouseX = x;
        mouseY = y;
    }
    void Button(long long frame, bool down)
    {
        if (down == held) return;
        Line(frame, down ? "down lmb" : "up lmb");
        held = down;
    }
    // A pad button pressed and let go on the next frame.
    void Press(long long frame, const char* button)
    {
        Line(frame, std::string("pad down ") + button);
        Line(frame + 1, std::string("pad up ") + button);
    }

    // The pad: the right stick's axes and the right trigger, each written
    // when it changes (a pad connects at rest).
    int stickX = 0, stickY = 0;
    bool trigger = false;
    void Axis(long long frame, const char* axis, int value)
    {
        Line(frame, std::string("pad axis ") + axis + " " + std::to_string(value));
    }
    void Stick(long long frame, int x, int y)
    {
        if (x != stickX) Axis(frame, "rightx", x);
        if (y != stickY) Axis(frame, "righty", y);
        stickX = x;
        stickY = y;
    }
    void Trigger(long long frame, bool pulled)
    {
        if (pulled == trigger) return;
        Axis(frame, "righttrigger", pulled ? PAD_TRIGGER_PRESSED : 0);
        trigger = pulled;
    }
};

// A script that goes through stages 1..stages, skipping those before
// firstPlayed with key E and playing the rest with the given runs. With end
// set it confirms the last results too and leaves with END from the title;
// otherwise it closes the window on the last results screen and confirms.
// With pad the runs are the pad's and so is everything else but the key E
// skips: a pad is connected from the start, START and END are picked on the
// title with it, the results go on with A, and each stage's stick and
// trigger are let go as it ends.
inline std::string WriteScript(const std::vector<std::vector<Input>>& runs, int firstPlayed, int stages,
                               bool end, const std::string& heading, bool pad = false)
{
    ScriptWriter w;
    w.text = heading;
    w.text += "dialog no\n";  // the full-screen question: play in a window
    if (!end) w.text += "dialog yes\n";  // the close at the end: yes, quit
    long long base = FIRST_PLAY_FRAME;
    if (pad) {
        w.Line(0, "pad connect");
        w.Press(PAD_TITLE_CHOICE_FRAME - 2, "dpleft");
        w.Press(PAD_TITLE_CHOICE_FRAME, "a");
        base = PAD_FIRST_PLAY_FRAME;
    } else {
        w.Mouse(0, START_X, START_Y);
        w.Button(0, true);
    }
    for (int stage = 1; stage <= stages; stage++) {
        w.text += "# stage " + std::to_string(stage) + "\n";
        long long goal = base;
        if (stage < firstPlayed) {
            w.Line(base, "down e");  // the stage counts as cleared on its first frame
            w.Line(base + 1, "up e");
        } else {
            const std::vector<Input>& run = runs[stage - 1];
            for (size_t f = 0; f < run.size(); f++) {
                if (run[f].pad) {
                    w.Stick(base + (long long)f, run[f].stickX, run[f].stickY);
                    w.Trigger(base + (long long)f, run[f].firing);
                    continue;
                }
                w.Mouse(base + (long long)f, run[f].mouseX, run[f].mouseY);
                w.Button(base + (long long)f, run[f].firing);
            }
            goal = base + (long long)run.size() - 1;
        }
        long long results = goal + 1 + CLEAR_CURTAIN_FRAMES;
        w.text += "# results of stage " + std::to_string(stage) + "\n";
        // The button let go as the stage ends (the results screen waits for
        // that) and pressed again for the screen's eleventh frame, the first
        // on which a click counts.
        w.Button(goal + 1, false);
        w.Trigger(goal + 1, false);
        w.Stick(goal + 1, 0, 0);
        if (stage == stages && !end) {
            w.Line(results + 4, "close");
            break;
        }
        if (pad)
            w.Press(results + RESULTS_FRAMES - 1, "a");
        else
            w.Button(results + RESULTS_FRAMES - 1, true);
        base = results + RESULTS_FRAMES + NEXT_STAGE_FRAMES;
        if (stage == 4 && pad) {
            w.text += "# back on the title: END\n";
            long long title = results + RESULTS_FRAMES;
            w.Press(title + 1, "dpright");
            w.Press(title + 3, "a");
        } else if (stage == 4) {
            w.text += "# back on the title: END\n";
            long long title = results + RESULTS_FRAMES;
            // The title puts the pointer on its own spot when it starts; put it back on END.
            for (long long f = title; f < title + 3; f++) w.Line(f, "mouse " + std::to_string(END_X) + " " + std::to_string(END_Y));
            // The results' click is still held: the title takes only a press
            // that starts over END.
            w.Button(title + 1, false);
            w.Button(title + 2, true);
            // That press came over the closing screen after a whole game,
            // which it leaves, held, on its eleventh frame; then the title,
            // and END as above.
            long long closing = title;
            title = closing + CLOSING_FRAMES + 1;
            w.text += "# the closing screen: the press above, held, leaves it on its eleventh frame (" +
                      std::to_string(closing + CLOSING_FRAMES) + ")\n";
            w.text += "# back on the title: END\n";
            for (long long f = title; f < title + 3; f++) w.Line(f, "mouse " + std::to_string(END_X) + " " + std::to_string(END_Y));
            w.Button(title + 1, false);
            w.Button(title + 2, true);
        }
    }
    return w.text;
}

}  // namespace solve
