// Forged recordings are never ranked: a seeded generator makes over a
// thousand from the committed replays' true runs (clocks sped up, results
// changed, inputs changed, stages changed, runs spliced, frames dropped or
// duplicated, the goal claimed with E, bytes damaged), each claiming what
// its frames do not show, and the board refuses every one, then ranks the
// true runs.
#include <gtest/gtest.h>

#include <atomic>
#include <random>
#include <thread>

#include "game/recording.h"
#include "game/verify.h"
#include "tests/board/recordings.h"
#include "tests/board/server.h"

namespace {

namespace fs = std::filesystem;

// The clocks of frames from `from` on moved by delta, and the result with them.
void ShiftClocks(Recording* r, size_t from, int64_t delta)
{
    for (size_t i = from; i < r->frames.size(); i++) r->frames[i].clockMs = (uint32_t)(r->frames[i].clockMs + delta);
    r->timeMs = r->frames.back().clockMs;
}

int CountPlay(const Recording& r)
{
    int n = 0;
    for (const RecordedFrame& f : r.frames) n += !f.curtain;
    return n;
}

// The index of a random play frame in the run's middle half.
size_t MiddlePlayFrame(const Recording& r, std::mt19937& random)
{
    for (;;) {
        size_t i = r.frames.size() / 4 + random() % (r.frames.size() / 2);
        if (!r.frames[i].curtain) return i;
    }
}

std::string Forge(const std::vector<Recording>& runs, size_t which, int kind, std::mt19937& random)
{
    Recording r = runs[which];
    const Recording& other = runs[(which + 1 + random() % 3) % runs.size()];
    switch (kind) {
    case 0:  // the clock runs faster than the game's frames
        for (RecordedFrame& f : r.frames) f.clockMs = f.clockMs * (12 + random() % 4) / 16;
        r.timeMs = r.frames.back().clockMs;
        break;
    case 1:  // a better time claimed for the same frames
        r.timeMs -= 16 * (1 + random() % 40);
        break;
    case 2:  // frames from one on started early, and the time with them
        ShiftClocks(&r, MiddlePlayFrame(r, random), -(int64_t)(1 + random() % 15));
        break;
    case 3: {  // the trigger let go (or pressed) for a stretch
        size_t at = MiddlePlayFrame(r, random), length = 10 + random() % 50;
        for (size_t i = at; i < r.frames.size() && i < at + length; i++)
            if (!r.frames[i].curtain) r.frames[i].buttons = r.frames[i].buttons ? 0 : 1;
        break;
    }
    case 4: {  // aimed elsewhere for a stretch while firing
        size_t at = MiddlePlayFrame(r, random), length = 5 + random() % 30;
        int x = (int)(random() % 1280), y = (int)(random() % 720);
        for (size_t i = at; i < r.frames.size() && i < at + length; i++)
            if (!r.frames[i].curtain) {
                r.frames[i].mouseX = x;
                r.frames[i].mouseY = y;
                r.frames[i].buttons = 1;
            }
        break;
    }
    case 5:  // another stage's number on this stage's file
        r.stage = 1 + (r.stage + (int)(random() % 3)) % 4;
        break;
    case 6:  // this run claimed on another stage
        r.stage = other.stage;
        r.stageHash = other.stageHash;
        break;
    case 7: {  // the start of one run, the rest of another
        size_t cut = r.frames.size() / 4 + random() % (r.frames.size() / 2);
        r.frames.resize(cut);
        uint32_t clock = r.frames.back().clockMs;
        size_t from = other.frames.size() * cut / r.frames.size() / 2 + random() % (other.frames.size() / 3);
        for (size_t i = from; i < other.frames.size(); i++) {
            RecordedFrame f = other.frames[i];
            f.clockMs = clock += 16;
            r.frames.push_back(f);
        }
        r.timeMs = clock;
        r.playFrames = CountPlay(r);
        r.pauses.clear();
        break;
    }
    case 8: {  // a play frame dropped: a frame faster
        size_t at = MiddlePlayFrame(r, random);
        r.frames.erase(r.frames.begin() + (long)at);
        ShiftClocks(&r, at, -16);
        r.playFrames--;
        r.pauses.clear();
        break;
    }
    case 9: {  // a play frame played twice, at the same time
        size_t at = MiddlePlayFrame(r, random);
        r.frames.insert(r.frames.begin() + (long)at, r.frames[at]);
        r.playFrames++;
        r.pauses.clear();
        break;
    }
    case 10: {  // several play frames dropped and the clock closed up
        size_t at = MiddlePlayFrame(r, random), count = 2 + random() % 20;
        for (size_t k = 0; k < count && at < r.frames.size() && !r.frames[at].curtain; k++) {
            r.frames.erase(r.frames.begin() + (long)at);
            r.playFrames--;
        }
        ShiftClocks(&r, at, -16 * (int64_t)count);
        r.pauses.clear();
        break;
    }
    case 11:  // the goal claimed with E part way
        r.frames[MiddlePlayFrame(r, random)].keys = RECORDED_KEY_E;
        break;
    case 12: {  // a curtain frame dropped
        r.frames.erase(r.frames.end() - 1 - (long)(random() % 10));
        ShiftClocks(&r, r.frames.size() - 1, 0);
        break;
    }
    default: {  // bytes of the text damaged
        std::string text = FormatRecording(r);
        for (int k = 0; k < 1 + (int)(random() % 4); k++) text[random() % text.size()] = (char)(random() % 256);
        return text;
    }
    }
    return FormatRecording(r);
}

class BoardTamper : public board_test::BoardTest {};

TEST_F(BoardTamper, NotOneOfAThousandForgedRecordingsIsRanked)
{
    const auto& texts = board_test::StageRecordings();
    ASSERT_EQ(texts.size(), 4u);
    std::vector<Recording> runs(4);
    for (size_t i = 0; i < 4; i++) ASSERT_TRUE(ParseRecording(texts[i].data(), texts[i].size(), &runs[i], nullptr));
    // A change of inputs may still make a true run (a frame dropped from a
    // solver's run can clear the stage a frame sooner): the game's verifier,
    // on the stage file its number names, tells those apart here, and they
    // are left out. Every one kept claims what its frames do not show.
    fs::path here = fs::current_path();
    fs::current_path(harness::DATA);
    std::mt19937 random(20261210);
    std::vector<std::string> forged;
    std::vector<int> kinds;
    int stillTrue = 0;
    for (int n = 0; forged.size() < 1040; n++) {
        int kind = (n / 4) % 14;
        std::string text = Forge(runs, (size_t)n % 4, kind, random);
        Recording r;
        if (ParseRecording(text.data(), text.size(), &r, nullptr) && VerifyRecording(r, nullptr)) {
            stillTrue++;
            continue;
        }
        forged.push_back(text);
        kinds.push_back(kind);
    }
    fs::current_path(here);
    printf("%zu forged recordings; %d changed runs left out as still true\n", forged.size(), stillTrue);
    EXPECT_LT(stillTrue, 100);

    std::atomic<int> ranked{0}, unanswered{0};
    std::atomic<size_t> next{0};
    std::vector<std::string> wrong(forged.size());
    std::vector<std::thread> clients;
    for (int t = 0; t < 4; t++)
        clients.emplace_back([&] {
            for (size_t i; (i = next++) < forged.size();) {
                auto r = Submit(forged[i], "forger", board_test::KeyOf(1));
                if (!r) {
                    unanswered++;
                    continue;
                }
                if (r->status == 201) {
                    ranked++;
                    wrong[i] = "kind " + std::to_string(kinds[i]) + ": " + r->body;
                }
            }
        });
    for (std::thread& t : clients) t.join();
    EXPECT_EQ(unanswered.load(), 0);
    EXPECT_EQ(ranked.load(), 0);
    for (const std::string& w : wrong)
        if (!w.empty()) ADD_FAILURE() << w;
    // The boards are empty, and the true runs are ranked on them.
    for (const std::string& text : texts) {
        std::string hash = text.substr(text.find("stage-hash ") + 11, 16);
        auto b = boards.Client().Get("/api/v1/boards/" + hash);
        ASSERT_TRUE(b);
        EXPECT_EQ(b->body.find("forger"), std::string::npos);
        auto r = Submit(text, "honest", board_test::KeyOf(2));
        ASSERT_TRUE(r);
        EXPECT_EQ(r->status, 201) << r->body;
    }
}

}  // namespace
