// The results screen's rules: the click delay and the exact left-button test,
// and the colour pulses of the run's own row and of "CLICK START".
#include "game/scene_rules.h"
#include "input/input.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

TEST(ResultsClick, CountsFromTheEleventhFrame)
{
    // Up for the first frame, then held: the screen is left on the eleventh.
    ResultsClickWait wait;
    int frame = 1;
    while (!TakeResultsClick(frame == 1 ? 0 : MOUSE_LEFT, &wait))
        frame++;
    EXPECT_EQ(frame, 11);
    EXPECT_EQ(wait.delay, 0);
}

TEST(ResultsClick, AButtonHeldFromThePlaySceneMustBeLetGoFirst)
{
    // Arriving at the goal while firing: the held button never leaves the
    // screen, however long it is held ...
    ResultsClickWait wait;
    for (int frame = 1; frame <= 200; frame++)
        ASSERT_FALSE(TakeResultsClick(MOUSE_LEFT, &wait)) << "frame " << frame;
    // ... until it is let go and pressed again.
    EXPECT_FALSE(TakeResultsClick(0, &wait));
    EXPECT_TRUE(TakeResultsClick(MOUSE_LEFT, &wait));

    // Let go within the first ten frames and held again: the eleventh frame.
    wait = ResultsClickWait();
    int frame = 1;
    while (!TakeResultsClick(frame == 3 ? 0 : MOUSE_LEFT, &wait))
        frame++;
    EXPECT_EQ(frame, 11);

    // The right button alone lets the left one go; both together do not.
    wait = ResultsClickWait();
    for (int i = 0; i < 20; i++)
        EXPECT_FALSE(TakeResultsClick(MOUSE_LEFT | MOUSE_RIGHT, &wait));
    EXPECT_FALSE(TakeResultsClick(MOUSE_LEFT, &wait));
    EXPECT_FALSE(TakeResultsClick(MOUSE_RIGHT, &wait));
    EXPECT_TRUE(TakeResultsClick(MOUSE_LEFT, &wait));
}

TEST(ResultsClick, OnlyTheLeftButtonAlone)
{
    ResultsClickWait wait;
    wait.delay = 0;
    EXPECT_FALSE(TakeResultsClick(0, &wait));
    EXPECT_FALSE(TakeResultsClick(MOUSE_RIGHT, &wait));
    EXPECT_FALSE(TakeResultsClick(MOUSE_LEFT | MOUSE_RIGHT, &wait));
    EXPECT_EQ(wait.delay, 0);  // never below zero
    EXPECT_TRUE(TakeResultsClick(MOUSE_LEFT, &wait));
    // Frames without buttons use up the delay as well.
    wait = ResultsClickWait();
    for (int i = 0; i < 10; i++)
        EXPECT_FALSE(TakeResultsClick(i % 2 ? MOUSE_LEFT | MOUSE_RIGHT : 0, &wait));
    EXPECT_TRUE(TakeResultsClick(MOUSE_LEFT, &wait));
}

TEST(ResultsPulse, HighlightSwingsBetweenItsBounds)
{
    Pulse p = HIGHLIGHT_PULSE_START;
    std::vector<int> values;
    for (int i = 0; i < 200; i++) {
        AdvanceHighlightPulse(&p);
        values.push_back(p.value);
    }
    EXPECT_EQ(values[0], 67);
    // Up in steps of 7 until value / 2 passes 200, then back down until it
    // falls below 10.
    int most = *std::max_element(values.begin(), values.end());
    int least = *std::min_element(values.begin(), values.end());
    EXPECT_EQ(most, 403);  // 403 / 2 = 201 is tested on the next frame and turns it
    EXPECT_EQ(least, 18);  // 18 / 2 = 9 turns it back up
    EXPECT_EQ(values[48], 403);
    EXPECT_EQ(values[49], 396);
    // At the bounds themselves it goes on; one past them it turns.
    struct { Pulse before; int after, step; } cases[] = {
        {{401, 7}, 408, 7},    // 200 is not past 200
        {{402, 7}, 395, -7},   // 201 is
        {{20, -7}, 13, -7},    // 10 is not below 10
        {{19, -7}, 26, 7},     // 9 is
    };
    for (auto c : cases) {
        Pulse p2 = c.before;
        AdvanceHighlightPulse(&p2);
        EXPECT_EQ(p2.value, c.after) << c.before.value;
        EXPECT_EQ(p2.step, c.step) << c.before.value;
    }
}

TEST(ResultsPulse, ClickPulseTurnsOnTheValueBeforeTheStep)
{
    Pulse p = CLICK_PULSE_START;  // 165: 165 / 3 = 55, rising by 4
    AdvanceClickPulse(&p);
    EXPECT_EQ(p.value, 169);
    p = {603, 4};  // 603 / 3 = 201 > 200: turns down at once
    AdvanceClickPulse(&p);
    EXPECT_EQ(p.value, 599);
    EXPECT_EQ(p.step, -4);
    p = {149, -4};  // 149 / 3 = 49 < 50: turns up
    AdvanceClickPulse(&p);
    EXPECT_EQ(p.value, 153);
    // The bounds themselves do not turn it.
    p = {150, -4};  // 50
    AdvanceClickPulse(&p);
    EXPECT_EQ(p.value, 146);
    p = {602, 4};  // 200
    AdvanceClickPulse(&p);
    EXPECT_EQ(p.value, 606);
    // From the start it swings between 149 and 605.
    p = CLICK_PULSE_START;
    int least = 165, most = 165;
    for (int i = 0; i < 400; i++) {
        AdvanceClickPulse(&p);
        least = std::min(least, p.value);
        most = std::max(most, p.value);
    }
    EXPECT_EQ(least, 149);
    EXPECT_EQ(most, 605);
}

TEST(ResultsColours, PulsesAndRanks)
{
    // CLICK START: red c, green c + 40, blue 40 - c, each a byte.
    // c 55: 55, 95, and -15 keeps its low byte, 241.
    EXPECT_EQ(ClickColour(Pulse{165, 4}), (241u << 16) | (95u << 8) | 55u);
    EXPECT_EQ(ClickColour(Pulse{600, 4}), (96u << 16) | (240u << 8) | 200u);
    // The run's own row: red h, green 255 - h, blue h.
    EXPECT_EQ(HighlightColour(Pulse{60, 7}), (20u << 16) | (235u << 8) | 20u);
    EXPECT_EQ(HighlightColour(Pulse{900, 7}), (44u << 16) | (211u << 8) | 44u);  // 300 wraps to 44
    EXPECT_EQ(RankColour(0), 0x00D7FFu);
    EXPECT_EQ(RankColour(1), 0xC0C0C0u);
    EXPECT_EQ(RankColour(2), 0x5BB5E7u);
    EXPECT_EQ(RankColour(3), 0xC8FAC8u);
    EXPECT_EQ(RankColour(4), 0xC8FAC8u);
}
