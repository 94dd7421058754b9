// Verifying a recorded time: the recording played again through the game's
// own rules, on the stage file here, with the recorded clock. Needs no window,
// pictures or sound: only the data folder (ChooseDataFolder) for the stage
// file, and it uses tileMap as its own.
#pragma once
#include <cstdint>
#include <string>
#include "game/recording.h"

// True when the recording, made by these rules (RULES_VERSION), on this
// stage file (its hash), has frames that, played from its stage's start,
// reach the goal tile on its last play frame without E or Escape, followed
// by the goal's whole curtain and nothing else, at the recorded time (the
// clock of the curtain's last frame) and play-frame count, the first frame at
// least a frame's period after the run's start and every other one at least
// that after the one before. Otherwise false with the reason in *why (when
// given). A custom stage's run is refused here (it names no file of the
// game's; see RunVerify). The stage file is read into a cleared tileMap, which holds that
// stage afterwards (tileMap is untouched when the rules differ).
bool VerifyRecording(const Recording& recording, std::string* why);
// The same on the stage already in tileMap, which is not read again; a stage
// whose hash is not the recording's is refused.
bool VerifyRecordingOnStage(const Recording& recording, std::string* why);
// The same within a budget of budgetMs milliseconds of the wall clock (0: no
// budget): a recording still being played when it runs out is refused, with
// "it takes longer to check than is allowed". tileMap is the calling
// thread's own, so several threads may verify at once, each on its stage.
bool VerifyRecordingOnStage(const Recording& recording, std::string* why, int budgetMs);

// The --verify FILE command, once the data folder is chosen: reads the
// recording at path and verifies it; prints "verified: stage N in mm:ss.hh
// (T ms, F frames)" on standard output and returns 0, or prints the reason
// on standard error and returns 1: the exit status for the process. A run
// of a custom stage verifies on the stage its hash names, found in the
// stage file stageFile (--stage) or among the stages of the folder
// stagesDir (--stages), and says "verified: custom stage NAME (stage-hash
// H) in ..."; without either it is refused, naming the hash it needs.
int RunVerify(const char* path, const char* stageFile = "", const char* stagesDir = "");
