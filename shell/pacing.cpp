// Frame pacing and the game's clock: the frame loop starts every frame here,
// 16 ms of the game's clock after the last. The game's clock is the
// platform's own at full speed; at a lower game speed it runs slower, so the
// same frames come further apart in real time, and it stands still while the
// display switches.
#include "game/settings.h"
#include "platform/platform.h"
#include "shell/shell.h"

namespace {

// Until the speed first changes, or the display first switches, the game's
// clock reads the platform's exactly.
GameClock gameClock;

// The speed the player set, within the range the clock takes.
int SpeedSetting()
{
    int speed = settings.gameSpeed;
    return speed < GAME_SPEED_MIN ? GAME_SPEED_MIN : speed > 100 ? 100 : speed;
}

void FollowSpeedSetting()
{
    if (SpeedSetting() != gameClock.speed) SetGameClockSpeed(&gameClock, SpeedSetting(), PlatformTimeMs());
}

// The real wait for the frame after the one that started at previousStart:
// from the real time of that start, for as long as the clock needs to run
// FRAME_PERIOD_MS further.
void RealWait(uint32_t previousStart, uint32_t* realStart, uint32_t* realPeriod)
{
    *realStart = RealTimeOf(gameClock, previousStart);
    *realPeriod = RealTimeOf(gameClock, previousStart + FRAME_PERIOD_MS) - *realStart;
}

}  // namespace

// Times either side of the base, within 2^31 ms of it, count as ahead of it
// or behind it; at full speed both ways give the platform's time back
// exactly, however far its clock has run.
uint32_t GameClockAt(const GameClock& clock, uint32_t realMs)
{
    int64_t elapsed = static_cast<int32_t>(realMs - clock.realBase);
    int64_t game = elapsed >= 0 ? elapsed * clock.speed / 100 : -((-elapsed) * clock.speed / 100);
    return clock.gameBase + static_cast<uint32_t>(game);
}

uint32_t RealTimeOf(const GameClock& clock, uint32_t gameMs)
{
    int64_t ahead = static_cast<int32_t>(gameMs - clock.gameBase);
    // Rounded up: the first millisecond at which the game's clock has got there.
    int64_t real = ahead >= 0 ? (ahead * 100 + clock.speed - 1) / clock.speed : -((-ahead) * 100 / clock.speed);
    return clock.realBase + static_cast<uint32_t>(real);
}

void SetGameClockSpeed(GameClock* clock, int speed, uint32_t realMs)
{
    clock->gameBase = GameClockAt(*clock, realMs);
    clock->realBase = realMs;
    clock->speed = speed < GAME_SPEED_MIN ? GAME_SPEED_MIN : speed > 100 ? 100 : speed;
}

uint32_t GameTimeMs() { return GameClockAt(gameClock, PlatformTimeMs()); }

void HoldGameClock(uint32_t gameMs)
{
    gameClock.realBase = PlatformTimeMs();
    gameClock.gameBase = gameMs;
}

bool FrameDue(uint32_t previousStart)
{
    FollowSpeedSetting();
    uint32_t realStart, realPeriod;
    RealWait(previousStart, &realStart, &realPeriod);
    return PlatformFrameDue(realStart, realPeriod);
}

uint32_t WaitNextFrame(uint32_t previousStart)
{
    // The speed is read once a frame, before its wait: the settings change
    // only between frames, so a frame runs at the speed it waited at.
    FollowSpeedSetting();
    uint32_t realStart, realPeriod;
    RealWait(previousStart, &realStart, &realPeriod);
    PlatformWaitFrame(realStart, realPeriod);
    return GameTimeMs();
}
