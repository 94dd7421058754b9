// A recording of one run of a stage: for every frame, when it started and
// what the play scene read (pointer, buttons, the keys E and Escape), enough
// to play the run again exactly, clock included. Kept as a small text file
// beside the score file for every best time; read back to verify a time, to
// watch a run and to race its ghost.
//
//   prismveldt-replay 1             magic and format version (2: a custom stage)
//   stage 2                         the shipped stage (1..4); for a custom stage
//                                   its place in the pack it was played in
//                                   (1..PACK_MOST_STAGES)
//   stage-hash 8f1c0e2a9b3d4c5e     the stage's grid as played (StageHash)
//   rules 1                         RULES_VERSION of the game that played it
//   bee-steps 1                     what the run took over from the play before
//   beam 0                          it (bees' speed, beam, shot count, cursor
//   shots 120                       turn), so that it draws and sounds as it did
//   cursor-spin 312
//   result 17680 1080               the run's time (ms) and its play frames
//   p 16 700 300 1 0                a play frame: clock, pointer x y, buttons, keys
//   c 784                           a frame of a curtain (after a death or the
//                                   goal): its clock
//   pause 5230                      the game was paused after the frame before
//                                   for this long (ms, the wall's clock); the
//                                   run's clock leaves it out, so the rules
//                                   and the verifier pay it no heed
//   ...
//   end
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// The rules of a play frame as this game runs them; a recording made by
// other rules cannot be verified by these. Raise it with any change of what
// StepPlay computes.
constexpr int RULES_VERSION = 1;
constexpr int RECORDING_FORMAT = 1;
// A run of a custom stage (a stage pack's, the editor's proof): the same
// lines, but the stage is the one its stage-hash names, wherever its file
// is, and "stage" only says where it stood in its pack. A game that reads
// only format 1 refuses such a file instead of verifying it on a shipped
// stage of that number.
constexpr int RECORDING_FORMAT_CUSTOM = 2;
// The longest run a recording holds: over four hours of frames.
constexpr size_t RECORDING_MAX_FRAMES = 1000000;
// Far more than a file of that many frames needs.
constexpr size_t RECORDING_MAX_BYTES = 64u << 20;
// No pointer reading of any screen comes near this far from the picture;
// the aiming arithmetic stays far from overflow within it.
constexpr int RECORDED_POINTER_LIMIT = 1000000;
// Clocks and times stay within what the score file's signed entries hold.
constexpr uint32_t RECORDED_CLOCK_MAX = 0x7FFFFFFF;

enum { RECORDED_KEY_E = 1, RECORDED_KEY_ESCAPE = 2 };

struct RecordedFrame {
    bool curtain;       // a frame of a death's or the goal's curtain: its clock only
    uint32_t clockMs;   // the frame's start, from the run's start
    int mouseX, mouseY; // the pointer as the play scene read it
    int buttons;        // MOUSE_LEFT | MOUSE_RIGHT as read
    int keys;           // RECORDED_KEY_*
};

// A pause the player took: after how many of the recording's frames, and how
// long it lasted on the wall's clock.
struct RecordedPause {
    uint32_t afterFrames;
    uint32_t wallMs;
};

struct Recording {
    int stage = 0;
    bool custom = false;  // a custom stage's run (format 2): the hash names its stage
    uint64_t stageHash = 0;
    int rules = RULES_VERSION;
    int beeSteps = 0;
    int beamLength = 0;
    int shotFrames = 0;
    int cursorSpin = 0;
    uint32_t timeMs = 0;  // the result: the clock of the goal's curtain's last frame
    int playFrames = 0;   // the result: play frames, the goal's included
    std::vector<RecordedFrame> frames;
    std::vector<RecordedPause> pauses;  // in order, each after a play frame
};

// A hash of the grid of tile codes now in tileMap (FNV-1a over each code's
// bytes, low byte first), the same on every machine: what a recording names
// its stage file by. Meaningful once the stage is loaded.
uint64_t StageHash();
// The same hash of a grid of MAP_CELLS codes, row by row.
uint64_t CellsHash(const int* cells);
// The hash as a recording writes it: 16 lower-case hex digits.
std::string StageHashText(uint64_t hash);
// The row of its table a recording's time is kept in: its stage's for a
// shipped stage, the first for a custom stage, whose table is its own.
int RecordingRow(const Recording& recording);

struct Run;
// Once the stage is loaded: run as the recorded run started, its bees at
// their nests, its clock counted from the run's start.
void StartRecordedRun(const Recording& recording, Run* run);

// The file's text for recording, in the format above, ending "end\n".
std::string FormatRecording(const Recording& recording);
// The text (length bytes of anything, not necessarily terminated) read into
// *recording strictly, cleared first; false with a short reason ("line N:
// ...") in *why (when given) for anything that is not a recording, and
// *recording then holds nothing to use. Every field must lie in the range the
// game can give it, frames are never more than the result's time holds (one
// per frame period), the play frames must be as many as the result says, and
// nothing may follow "end" but its line's end. Whether the frames really
// reach the goal is the verifier's (verify.h).
bool ParseRecording(const char* text, size_t length, Recording* recording, std::string* why);
// The file at path, read like every game file (a regular file, at most
// maxBytes long); false with a reason.
bool ReadRecordingFile(const char* path, Recording* recording, std::string* why,
                       uint64_t maxBytes = RECORDING_MAX_BYTES);
