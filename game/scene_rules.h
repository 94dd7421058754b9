// The frame-by-frame rules of the title and results screens, apart from their
// drawing: the menu's button boxes and hover test, the clicks, the title's
// background and cursor animation, the results screen's colour pulses and the
// countdown both scenes end with.
#pragma once
#include <cstdint>

// ---- title menu ----

struct MenuBox {
    int x, y, w, h;
};
// Where START and END are drawn and hit-tested: on the very first frame, then
// at rest, then while the pointer is over them.
constexpr MenuBox START_BOX_FIRST = {150, 500, 267, 124};
constexpr MenuBox START_BOX_NORMAL = {220, 520, 267, 124};
constexpr MenuBox START_BOX_HOVERED = {90, 458, 534, 248};
constexpr MenuBox END_BOX_FIRST = {850, 490, 198, 124};
constexpr MenuBox END_BOX_NORMAL = {870, 512, 198, 124};
constexpr MenuBox END_BOX_HOVERED = {790, 450, 396, 248};

constexpr int TITLE_CURTAIN_COUNT = 70;  // background pictures, files 51..120

// Called by RunTitleScene each frame: the box a button takes after this frame's
// hover test. The pointer must lie strictly inside the resting box.
MenuBox HoverMenuBox(MenuBox normal, MenuBox hovered, int mouseX, int mouseY);
// Called by RunTitleScene's click test: a button counts as hovered exactly
// when its box has the enlarged size.
bool IsStartHovered(MenuBox startBox);
bool IsEndHovered(MenuBox endBox);

// What a title frame's buttons ask for.
struct TitleClick {
    bool clickSound;  // left button alone: the click sound, wherever the pointer is
    bool quit;        // ... over END
    bool start;       // ... over START (END wins if both were hovered)
};
// Called by RunTitleScene each frame with the mouse-button set and the boxes of
// this frame's hover test.
TitleClick TitleClickOf(int buttons, MenuBox startBox, MenuBox endBox);

// Called by RunTitleScene each frame: the background's back-and-forth walk
// through pictures 0..68, half a picture per frame. dir 0 rises, 1 falls.
void StepTitleCurtain(float* pos, int* dir);
// Called by RunTitleScene each frame: the drawn cursor's turn, 1..360 degrees.
int NextCursorAngle(int angle);

// ---- results screen ----

constexpr int RESULTS_CLICK_DELAY = 10;  // frames before a click counts

// A colour that swings back and forth by step each frame.
struct Pulse {
    int value;
    int step;
};
constexpr Pulse HIGHLIGHT_PULSE_START = {60, 7};  // the run's own row
constexpr Pulse CLICK_PULSE_START = {165, 4};     // "CLICK START"
// Called by RunResultsScene after each frame's drawing; the bounds are tested
// on the value before the step is added.
void AdvanceHighlightPulse(Pulse* pulse);
void AdvanceClickPulse(Pulse* pulse);
// Called by RunResultsScene each frame: the pulses' colours (0x00BBGGRR), for
// the run's own rows and for "CLICK START".
uint32_t HighlightColour(Pulse highlight);
uint32_t ClickColour(Pulse click);
// Called by RunResultsScene for the "No.%d" texts: gold, silver, bronze, then green.
uint32_t RankColour(int rankIndex);

// What the results screen waits for before a click counts: its first frames
// to pass, and the left button to be let go at least once on it (the player
// arrives firing, since firing is how one moves).
struct ResultsClickWait {
    int delay = RESULTS_CLICK_DELAY;  // frames still to pass
    bool released = false;            // the left button was seen up on this screen
};
// Called by RunResultsScene each frame once Escape was not held: true when the
// screen is left with this frame (left button alone, delay run out, button let
// go since the screen came up); otherwise the delay counts down by one.
bool TakeResultsClick(int buttons, ResultsClickWait* wait);

// ---- countdown ----

// Called by both countdowns each frame: 3, 2, 1 for the first three seconds,
// 0 ("START!!") for the fourth, -1 once four seconds have passed (also when a
// stalled frame jumped beyond the fifth).
int CountdownValue(uint32_t frameStart, uint32_t countdownStart);
