// Replays every input the fuzzers ever found a fault with (kept in
// tests/fuzz/regressions/<target>/), and the seed corpora, through the same
// checks the fuzz targets make, in the ordinary (and sanitized) builds.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

// Each target's entry point under a name of its own.
#define LLVMFuzzerTestOneInput FuzzBmpOneInput
#include "tests/fuzz/fuzz_bmp.cpp"
#undef LLVMFuzzerTestOneInput
#define LLVMFuzzerTestOneInput FuzzStageOneInput
#include "tests/fuzz/fuzz_stage.cpp"
#undef LLVMFuzzerTestOneInput
#define LLVMFuzzerTestOneInput FuzzScoreOneInput
#include "tests/fuzz/fuzz_score.cpp"
#undef LLVMFuzzerTestOneInput
#define LLVMFuzzerTestOneInput FuzzScriptOneInput
#include "tests/fuzz/fuzz_script.cpp"
#undef LLVMFuzzerTestOneInput
#define LLVMFuzzerTestOneInput FuzzReplayOneInput
#include "tests/fuzz/fuzz_replay.cpp"
#undef LLVMFuzzerTestOneInput
#define LLVMFuzzerTestOneInput FuzzSettingsOneInput
#include "tests/fuzz/fuzz_settings.cpp"
#undef LLVMFuzzerTestOneInput
#define LLVMFuzzerTestOneInput FuzzSegmentsOneInput
#include "tests/fuzz/fuzz_segments.cpp"
#undef LLVMFuzzerTestOneInput
#define LLVMFuzzerTestOneInput FuzzBestGameOneInput
#include "tests/fuzz/fuzz_bestgame.cpp"
#undef LLVMFuzzerTestOneInput

namespace {

namespace fs = std::filesystem;

// Every file kept for target, regressions first.
std::vector<fs::path> KeptInputs(const std::string& target)
{
    std::vector<fs::path> files;
    for (const char* kind : {"regressions", "corpus"}) {
        fs::path folder = fs::path(SOURCE_DIR) / "tests/fuzz" / kind / target;
        if (!fs::is_directory(folder)) continue;
        std::vector<fs::path> here;
        for (const auto& entry : fs::directory_iterator(folder))
            if (entry.is_regular_file()) here.push_back(entry.path());
        std::sort(here.begin(), here.end());
        files.insert(files.end(), here.begin(), here.end());
    }
    return files;
}

void Replay(const std::string& target, int (*oneInput)(const uint8_t*, size_t))
{
    std::vector<fs::path> files = KeptInputs(target);
    ASSERT_FALSE(files.empty()) << "no seeds for " << target;
    for (const fs::path& file : files) {
        SCOPED_TRACE(file.string());
        std::ifstream in(file, std::ios::binary);
        std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        // A copy of exactly the file's size, so that a read past its end is
        // caught by the sanitizers as it would be in the fuzzer.
        std::unique_ptr<uint8_t[]> exact(new uint8_t[bytes.empty() ? 1 : bytes.size()]);
        std::copy(bytes.begin(), bytes.end(), exact.get());
        EXPECT_EQ(oneInput(bytes.empty() ? nullptr : exact.get(), bytes.size()), 0);
    }
}

}  // namespace

TEST(FuzzRegressions, BmpReader) { Replay("bmp", FuzzBmpOneInput); }
TEST(FuzzRegressions, StageReader) { Replay("stage", FuzzStageOneInput); }
TEST(FuzzRegressions, ScoreReader) { Replay("score", FuzzScoreOneInput); }
TEST(FuzzRegressions, HarnessScript) { Replay("script", FuzzScriptOneInput); }
TEST(FuzzRegressions, ReplayReader) { Replay("replay", FuzzReplayOneInput); }
TEST(FuzzRegressions, SettingsReader) { Replay("settings", FuzzSettingsOneInput); }
TEST(FuzzRegressions, SegmentsReader) { Replay("segments", FuzzSegmentsOneInput); }
TEST(FuzzRegressions, BestGameReader) { Replay("bestgame", FuzzBestGameOneInput); }
