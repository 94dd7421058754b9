// The title and results screens' rules that need no drawing.
#include "game/scene_rules.h"

#include "input/input.h"

static bool StrictlyInside(MenuBox box, int x, int y)
{
    return box.x < x && box.y < y && x < box.x + box.w && y < box.y + box.h;
}

TitleHover TitleHoverAt(int mouseX, int mouseY)
{
    TitleHover hover;
    hover.start = StrictlyInside(START_BOX_NORMAL, mouseX, mouseY);
    hover.end = StrictlyInside(END_BOX_NORMAL, mouseX, mouseY);
    hover.settings = StrictlyInside(SETTINGS_BOX, mouseX, mouseY);
    hover.stages = StrictlyInside(STAGES_BOX, mouseX, mouseY);
    return hover;
}

MenuBox StartBoxOf(const TitleHover* hover)
{
    if (!hover) return START_BOX_FIRST;
    return hover->start ? START_BOX_HOVERED : START_BOX_NORMAL;
}

MenuBox EndBoxOf(const TitleHover* hover)
{
    if (!hover) return END_BOX_FIRST;
    return hover->end ? END_BOX_HOVERED : END_BOX_NORMAL;
}

TitleClick TitleClickOf(int buttons, TitleHover hover)
{
    TitleClick click = {false, false, false, false, false};
    if (buttons != MOUSE_LEFT)  // both buttons, or the right alone, is no click
        return click;
    click.clickSound = true;
    if (hover.end)
        click.quit = true;
    else if (hover.start)
        click.start = true;
    else if (hover.settings)
        click.settings = true;
    else if (hover.stages)
        click.stages = true;
    return click;
}

void StepTitleCurtain(float* pos, int* dir)
{
    // Halves are exact in single precision, so the walk never drifts.
    if (*dir == 0)
        *pos = static_cast<float>(static_cast<double>(*pos) + 0.5);
    if (*pos > 68.0f)
        *dir = 1;
    if (*dir == 1)
        *pos = static_cast<float>(static_cast<double>(*pos) - 0.5);
    if (*pos < 1.0f)
        *dir = 0;
}

int NextCursorAngle(int angle)
{
    if (angle >= 360)
        angle = 0;
    return angle + 1;
}

void AdvanceHighlightPulse(Pulse* pulse)
{
    if (pulse->value / 2 > 200 || pulse->value / 2 < 10)
        pulse->step = -pulse->step;
    pulse->value += pulse->step;
}

void AdvanceClickPulse(Pulse* pulse)
{
    if (pulse->value / 3 < 50 || pulse->value / 3 > 200)
        pulse->step = -pulse->step;
    pulse->value += pulse->step;
}

static uint32_t Rgb(int red, int green, int blue)
{
    // Each channel keeps its low byte, as the system's colour macro does.
    return (static_cast<uint32_t>(red) & 0xFF) | ((static_cast<uint32_t>(green) & 0xFF) << 8) |
           ((static_cast<uint32_t>(blue) & 0xFF) << 16);
}

uint32_t HighlightColour(Pulse highlight)
{
    int h = highlight.value / 3;
    return Rgb(h, 255 - h, h);
}

uint32_t ClickColour(Pulse click)
{
    int c = click.value / 3;
    return Rgb(c, c + 40, 40 - c);
}

uint32_t RankColour(int rankIndex)
{
    switch (rankIndex) {
    case 0: return 0x00D7FF;
    case 1: return 0xC0C0C0;
    case 2: return 0x5BB5E7;
    default: return 0xC8FAC8;
    }
}

bool TakeResultsClick(int buttons, ResultsClickWait* wait)
{
    if ((buttons & MOUSE_LEFT) == 0)
        wait->released = true;
    if (buttons == MOUSE_LEFT && wait->delay == 0 && wait->released)
        return true;
    if (wait->delay > 0)
        wait->delay--;
    return false;
}

int CountdownValue(uint32_t frameStart, uint32_t countdownStart)
{
    uint32_t s = (frameStart - countdownStart) / 1000;
    // A frame held up for over a second (the quit question is open) may jump
    // past second 4; the countdown still ends there rather than showing -2.
    if (s >= 4)
        return -1;
    return 3 - static_cast<int>(s % 60 % 10);
}
