// Sound effects (one at a time, a new one cuts off the old) and the one music
// stream "bgm", which the window procedure restarts each time it ends.
#pragma once

// Called by the title (click) and play (shot) scenes; starts a one-shot .wav.
// Returns 1 when it started (callers ignore it).
int PlaySoundEffect(const char* path);
// Called by the play scene on every frame it is not firing.
void StopSoundEffect();
// Called by the title scene; opens path as "bgm" and plays it from the start,
// asking for the end-of-play notification that makes it loop.
void PlayMusic(const char* path);
// Called with "bgm" when the music changes: stops (the pending notification
// reports an abort, so nothing restarts) and closes it.
void StopMusic(const char* device);
// No caller in the game: plays the device from its start without notification;
// 0 on success, else an error code.
int PlayMciFromStart(const char* device);

constexpr int MCIERR_INVALID_DEVICE_NAME = 263;
