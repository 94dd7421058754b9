// Verifying a recorded time: the recording played again through the game's
// own rules, on the stage file here, with the recorded clock.
#pragma once
#include <cstdint>
#include <string>
#include "game/recording.h"

// True when the recording's frames, played from its stage's start, reach the
// goal tile on its last play frame, followed by the goal's whole curtain
// and nothing else, at the recorded time (the clock of the curtain's last
// frame), every frame at least a frame's period after the one before.
// Otherwise false with the reason in *why. tileMap is the stage's afterwards.
bool VerifyRecording(const Recording& recording, std::string* why);
// The same on the stage already in tileMap (the fuzzer's), which must be the
// one the recording names by its hash.
bool VerifyRecordingOnStage(const Recording& recording, std::string* why);

// Called by RunProgram for --verify FILE: prints "verified: stage N in
// mm:ss.hh (T ms, F frames)" and returns 0, or prints the reason on standard
// error and returns 1.
int RunVerify(const char* path);
