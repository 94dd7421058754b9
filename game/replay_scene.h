// Watching a recorded run in the game's window: the stage played again from
// the recording at its own pace, with pause and fast-forward.
#pragma once

// Called by the program for --replay FILE, once the start-up pictures are
// loaded: plays the run until its end, then holds its last frame. Space
// pauses, 1, 2 and 4 set the speed, Escape (or a close request) leaves. A
// file that is no recording gets a box saying why.
void WatchRecording(const char* path);
