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

// Which buttons the pointer is over. The test is against the resting boxes,
// strictly inside them (their edges do not count), whatever size the buttons
// are drawn at; END and START never overlap at rest.
struct TitleHover {
    bool start = false;
    bool end = false;
    bool settings = false;
    bool stages = false;
};
// SETTINGS, lettered in the top right corner; STAGES, the way to the stage
// select, in the top left, clear of START and END however large they grow.
constexpr MenuBox SETTINGS_BOX = {1070, 12, 196, 60};
constexpr MenuBox STAGES_BOX = {14, 12, 170, 60};
TitleHover TitleHoverAt(int mouseX, int mouseY);
// Where the buttons are drawn: after a hover test, enlarged while hovered;
// before the first test (the title's first frame), at their first places.
MenuBox StartBoxOf(const TitleHover* hover);
MenuBox EndBoxOf(const TitleHover* hover);

// What a title frame's buttons ask for.
struct TitleClick {
    bool clickSound;  // left button alone: the click sound, wherever the pointer is
    bool quit;        // ... over END
    bool start;       // ... over START (END wins if both were hovered)
    bool settings;    // ... over SETTINGS
    bool stages;      // ... over STAGES
};
// The mouse-button set of a frame and that frame's hover.
TitleClick TitleClickOf(int buttons, TitleHover hover);

// One frame of the title background's back-and-forth walk through pictures
// 0..68 (the picture is (int)*pos), half a picture per frame. dir 0 rises, 1
// falls; it turns past 68 and below 1. *pos starts within 0..68.
void StepTitleCurtain(float* pos, int* dir);
// The title cursor's next turn, one degree on: 1..360 degrees for an angle of
// 0..360 (360 and beyond start over at 1).
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
// One frame's step of a pulse, taken after the frame has drawn with its
// value; the bounds are tested on the value before the step is added.
void AdvanceHighlightPulse(Pulse* pulse);
void AdvanceClickPulse(Pulse* pulse);
// The pulses' colours (0x00BBGGRR; each channel keeps its low byte), for the
// run's own rows and for "CLICK START".
uint32_t HighlightColour(Pulse highlight);
uint32_t ClickColour(Pulse click);
// The colour of the "No.%d" text of rank rankIndex + 1: gold, silver, bronze,
// then green for the rest (and for any other index).
uint32_t RankColour(int rankIndex);

// What the results screen waits for before a click counts: its first frames
// to pass, and the left button to be let go at least once on it (the player
// arrives firing, since firing is how one moves).
struct ResultsClickWait {
    int delay = RESULTS_CLICK_DELAY;  // frames still to pass
    bool released = false;            // the left button was seen up on this screen
};
// One results frame's click test with that frame's buttons, for the frames
// Escape does not end: true when the screen is left with this frame (left
// button alone, delay run out, button let go since the screen came up);
// otherwise the delay counts down by one, to 0.
bool TakeResultsClick(int buttons, ResultsClickWait* wait);

// ---- countdown ----

// What the countdown before a stage shows in the frame starting at
// frameStart, the countdown having started at countdownStart (both on the
// game's clock): 3, 2, 1 for the first three seconds, 0 ("START!!") for the
// fourth, -1 once four seconds have passed, however far a stalled frame
// jumped.
int CountdownValue(uint32_t frameStart, uint32_t countdownStart);
