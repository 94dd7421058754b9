// Recordings of runs: their text, read strictly, and the stage hash they carry.
#include "game/recording.h"

#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "game/gun.h"
#include "game/run_step.h"
#include "game/score.h"
#include "game/stage.h"
#include "game/stage_pack.h"
#include "gfx/whole_file.h"
#include "input/input.h"
#include "platform/platform.h"
#include "shell/shell.h"

uint64_t CellsHash(const int* cells)
{
    // FNV-1a over the codes' bytes, low byte first, whatever the machine.
    uint64_t hash = 0xCBF29CE484222325ull;
    for (int i = 0; i < MAP_CELLS; i++) {
        uint32_t code = (uint32_t)cells[i];
        for (int b = 0; b < 4; b++) {
            hash ^= (code >> (8 * b)) & 0xFF;
            hash *= 0x100000001B3ull;
        }
    }
    return hash;
}

uint64_t StageHash() { return CellsHash(&tileMap[0][0]); }

std::string StageHashText(uint64_t hash)
{
    char text[24];
    snprintf(text, sizeof text, "%016" PRIx64, hash);
    return text;
}

int RecordingRow(const Recording& r) { return r.custom ? 1 : r.stage; }

void StartRecordedRun(const Recording& r, Run* run)
{
    PlayState s;
    s.beeStepsPerFrame = r.beeSteps;
    s.beamLength = r.beamLength;
    s.shotFrames = r.shotFrames;
    s.cursorSpin = r.cursorSpin;
    BeginRun(*run, s);
}

std::string FormatRecording(const Recording& r)
{
    std::string text;
    char line[512];
    snprintf(line, sizeof line, "prismveldt-replay %d\nstage %d\nstage-hash %016" PRIx64
             "\nrules %d\nbee-steps %d\nbeam %d\nshots %d\ncursor-spin %d\nresult %u %d\n",
             r.custom ? RECORDING_FORMAT_CUSTOM : RECORDING_FORMAT, r.stage, r.stageHash, r.rules, r.beeSteps, r.beamLength,
             r.shotFrames, r.cursorSpin, r.timeMs, r.playFrames);
    text += line;
    size_t pause = 0;
    for (size_t i = 0; i < r.frames.size(); i++) {
        const RecordedFrame& f = r.frames[i];
        if (f.curtain)
            snprintf(line, sizeof line, "c %u\n", f.clockMs);
        else
            snprintf(line, sizeof line, "p %u %d %d %d %d\n", f.clockMs, f.mouseX, f.mouseY,
                     f.buttons, f.keys);
        text += line;
        for (; pause < r.pauses.size() && r.pauses[pause].afterFrames == i + 1; pause++) {
            snprintf(line, sizeof line, "pause %u\n", r.pauses[pause].wallMs);
            text += line;
        }
    }
    text += "end\n";
    return text;
}

namespace {

// The words of one line, read from a text that may hold anything.
struct Lines {
    const char* at;
    const char* end;
    int number = 0;
};

bool NextLine(Lines* lines, std::vector<std::string>* words)
{
    words->clear();
    if (lines->at >= lines->end) return false;
    const char* stop = static_cast<const char*>(memchr(lines->at, '\n', lines->end - lines->at));
    if (stop == nullptr) stop = lines->end;
    std::string word;
    for (const char* p = lines->at; p < stop; p++) {
        if (*p == ' ' || *p == '\r') {
            if (!word.empty()) words->push_back(word);
            word.clear();
        } else {
            word += *p;
            if (word.size() > 24) word.resize(24);  // no number is that long; it stays wrong
        }
    }
    if (!word.empty()) words->push_back(word);
    lines->at = stop + 1;
    lines->number++;
    return true;
}

bool WholeNumber(const std::string& word, long long low, long long high, long long* value)
{
    size_t i = word[0] == '-' ? 1 : 0;
    if (i == word.size() || word.size() > 20) return false;
    long long v = 0;
    for (; i < word.size(); i++) {
        if (word[i] < '0' || word[i] > '9') return false;
        v = v * 10 + (word[i] - '0');
        if (v > 1LL << 40) return false;
    }
    if (word[0] == '-') v = -v;
    if (v < low || v > high) return false;
    *value = v;
    return true;
}

bool Fail(std::string* why, const Lines& lines, const char* what)
{
    if (why) *why = "line " + std::to_string(lines.number) + ": " + what;
    return false;
}

}  // namespace

bool ParseRecording(const char* text, size_t length, Recording* out, std::string* why)
{
    *out = Recording();
    Lines lines{text, text + length};
    std::vector<std::string> w;
    long long v[5] = {};
    if (!NextLine(&lines, &w) || w.size() != 2 || w[0] != "prismveldt-replay")
        return Fail(why, lines, "not a recording of a run");
    if (!WholeNumber(w[1], 0, 1000, &v[0]) || (v[0] != RECORDING_FORMAT && v[0] != RECORDING_FORMAT_CUSTOM))
        return Fail(why, lines, "a recording of a format this game does not read");
    out->custom = v[0] == RECORDING_FORMAT_CUSTOM;
    // The header, in its order.
    const char* keys[] = {"stage", "stage-hash", "rules", "bee-steps", "beam",
                          "shots", "cursor-spin", "result"};
    for (const char* key : keys) {
        if (!NextLine(&lines, &w) || w.empty() || w[0] != key)
            return Fail(why, lines, ("expected \"" + std::string(key) + "\"").c_str());
        bool ok = false;
        if (w[0] == "stage-hash") {
            ok = w.size() == 2 && w[1].size() == 16 &&
                 w[1].find_first_not_of("0123456789abcdef") == std::string::npos;
            if (ok) out->stageHash = std::strtoull(w[1].c_str(), nullptr, 16);
        } else if (w[0] == "result") {
            ok = w.size() == 3 && WholeNumber(w[1], 0, RECORDED_CLOCK_MAX, &v[0]) &&
                 WholeNumber(w[2], 1, (long long)RECORDING_MAX_FRAMES, &v[1]);
            out->timeMs = (uint32_t)v[0];
            out->playFrames = (int)v[1];
        } else {
            // What the game can leave in each: the bees' speed is 0 before any
            // probe, 1, or 8 by a hive; a beam is no longer than its range (and
            // -1 past a start inside a wall); the shot count still grows by a
            // whole recording without overflowing; the cursor turns in even
            // half degrees.
            long long low = 0, high = INT32_MAX;
            // A shipped stage's number, or a custom stage's place in its pack.
            if (w[0] == "stage") low = 1, high = out->custom ? PACK_MOST_STAGES : STAGE_COUNT;
            if (w[0] == "beam") low = -BEAM_RANGE - 1, high = BEAM_RANGE;
            if (w[0] == "shots") high = INT32_MAX - (long long)RECORDING_MAX_FRAMES;
            if (w[0] == "cursor-spin") high = CURSOR_SPIN_LIMIT;
            if (w[0] == "bee-steps") high = 8;
            ok = w.size() == 2 && WholeNumber(w[1], low, high, &v[0]);
            int value = (int)v[0];
            if (w[0] == "bee-steps") ok = ok && (value == 0 || value == 1 || value == 8);
            if (w[0] == "cursor-spin") ok = ok && value % 2 == 0;
            if (w[0] == "stage") out->stage = value;
            if (w[0] == "rules") out->rules = value;
            if (w[0] == "bee-steps") out->beeSteps = value;
            if (w[0] == "beam") out->beamLength = value;
            if (w[0] == "shots") out->shotFrames = value;
            if (w[0] == "cursor-spin") out->cursorSpin = value;
        }
        if (!ok) return Fail(why, lines, ("a bad \"" + std::string(key) + "\" line").c_str());
    }
    // Every frame starts at least a frame period after the one before, and the
    // last one's clock is the result: no more frames than that time holds.
    size_t frameLimit = out->timeMs / FRAME_PERIOD_MS;
    if (frameLimit > RECORDING_MAX_FRAMES) frameLimit = RECORDING_MAX_FRAMES;
    int playFrames = 0;
    const long long pointer = RECORDED_POINTER_LIMIT;
    for (;;) {
        if (!NextLine(&lines, &w)) return Fail(why, lines, "the recording is cut short (no \"end\")");
        if (w.size() == 1 && w[0] == "end") break;
        if (w.size() >= 1 && w[0] == "pause") {
            // Only play can be paused: after a play frame, once.
            bool afterPlay = !out->frames.empty() && !out->frames.back().curtain &&
                             (out->pauses.empty() || out->pauses.back().afterFrames < out->frames.size());
            if (w.size() != 2 || !WholeNumber(w[1], 0, RECORDED_CLOCK_MAX, &v[0]) || !afterPlay)
                return Fail(why, lines, "a bad \"pause\" line");
            out->pauses.push_back({(uint32_t)out->frames.size(), (uint32_t)v[0]});
            continue;
        }
        if (out->frames.size() >= frameLimit)
            return Fail(why, lines, "more frames than the run's time holds");
        RecordedFrame f{};
        if (w.size() == 2 && w[0] == "c" && WholeNumber(w[1], 0, RECORDED_CLOCK_MAX, &v[0])) {
            f.curtain = true;
            f.clockMs = (uint32_t)v[0];
        } else if (w.size() == 6 && w[0] == "p" && WholeNumber(w[1], 0, RECORDED_CLOCK_MAX, &v[0]) &&
                   WholeNumber(w[2], -pointer, pointer, &v[1]) &&
                   WholeNumber(w[3], -pointer, pointer, &v[2]) &&
                   WholeNumber(w[4], 0, MOUSE_LEFT | MOUSE_RIGHT, &v[3]) &&
                   WholeNumber(w[5], 0, RECORDED_KEY_E | RECORDED_KEY_ESCAPE, &v[4])) {
            f.clockMs = (uint32_t)v[0];
            f.mouseX = (int)v[1];
            f.mouseY = (int)v[2];
            f.buttons = (int)v[3];
            f.keys = (int)v[4];
            playFrames++;
        } else {
            return Fail(why, lines, "not a frame");
        }
        out->frames.push_back(f);
    }
    if (lines.at < lines.end) return Fail(why, lines, "text after \"end\"");
    if (playFrames != out->playFrames)
        return Fail(why, lines, "the number of play frames is not the one the result gives");
    return true;
}

bool ReadRecordingFile(const char* path, Recording* recording, std::string* why, uint64_t maxBytes)
{
    *recording = Recording();
    if (maxBytes > RECORDING_MAX_BYTES) maxBytes = RECORDING_MAX_BYTES;
    std::string text;
    int state = ReadWholeFile(path, maxBytes, &text);
    if (state != WHOLE_FILE_OK) {
        // A file that said it was small and gave more is one that cannot be
        // read as it was.
        if (why)
            *why = state == WHOLE_FILE_MISSING       ? "there is no such file"
                   : state == WHOLE_FILE_NOT_REGULAR ? "it is not a regular file"
                   : state == WHOLE_FILE_UNREADABLE  ? "it may not be opened"
                   : state == WHOLE_FILE_TOO_LARGE   ? "it is larger than any recording of its run could be"
                                                     : "it cannot be read";
        return false;
    }
    return ParseRecording(text.data(), text.size(), recording, why);
}
