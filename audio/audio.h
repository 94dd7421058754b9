// Sound effects (one at a time, a new one cuts off the old), the feedback
// sounds beside them (one at a time too, on a path of their own) and the one music
// stream "bgm", which the window procedure starts again each time a notified
// play of it ends, unless it was stopped on purpose. A pipe, a device or a
// folder in a sound's place is silence, never handed to the sound library.
#pragma once

// Starts the one-shot .wav at path, cutting off the effect playing. Returns
// 1 when it started; 0 for a null path, a file that is not a regular one, or
// one the platform could not play.
int PlaySoundEffect(const char* path);
// Stops the effect playing, if any.
void StopSoundEffect();
// Starts the one-shot feedback .wav at path (a checkpoint, a death, the goal)
// beside whatever effect plays, cutting off only the feedback sound playing;
// StopSoundEffect leaves it alone. Returns 1 when it started; 0 for a null
// path, a file that is not a regular one, or one the platform could not play
// (a missing file is silence).
int PlayFeedbackSound(const char* path);
// Stops the feedback sound playing, if any.
void StopFeedbackSound();
// The music's and the effects' loudness, percentages 0..100 (values outside
// are held to it), heard at once and by everything after; the feedback
// sounds take the effects'.
void SetAudioVolumes(int musicPercent, int effectsPercent);
// Opens path as "bgm" and plays it from the start, asking for the
// end-of-play notification that makes it loop. Only one stream is open at a
// time: StopMusic("bgm") first, or the open fails and the stream already open
// is played again instead. With none open, a missing or
// unplayable file leaves nothing open and plays nothing; a null path or a
// file that is not a regular one does nothing at all.
void PlayMusic(const char* path);
// For device "bgm" (in any case): stops the music, then closes it; the stop
// comes first, so the pending notification reports an abort and nothing
// starts it again. Any other name does nothing.
void StopMusic(const char* device);
// For device "bgm" (in any case): plays the open stream once from its start
// without the notification (so it does not loop) and returns 0, with a
// stream open or not; any other name returns MCIERR_INVALID_DEVICE_NAME.
int PlayMciFromStart(const char* device);

constexpr int MCIERR_INVALID_DEVICE_NAME = 263;
