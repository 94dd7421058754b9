// The golden frames: every frame the game presents while it plays the
// committed replays and the scripted visits of the other scenes hashes to what
// tests/golden/ recorded. A changed pixel anywhere fails with its frame and a
// picture of expected, actual and their difference side by side; a
// deliberate change is recorded again with tools/golden.sh update.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

namespace {

const std::string TOOL = std::string(SOURCE_DIR) + "/tools/golden.sh";

std::vector<std::string> Lines(const std::string& path)
{
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

int RunTool(const std::string& command)
{
    int raw = std::system(("PRISMVELDT_BUILD='" + std::string(BUILD_DIR) + "' " + command).c_str());
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

class GoldenFrames : public ::testing::TestWithParam<std::string> {
protected:
    void SetUp() override
    {
        if (access((std::string(BUILD_DIR) + "/prismveldt-headless").c_str(), X_OK) != 0)
            GTEST_SKIP() << "needs the built harness";
    }
};

TEST_P(GoldenFrames, EveryPresentedFrameIsAsRecorded)
{
    const std::string name = GetParam();
    std::vector<std::string> expected = Lines(std::string(SOURCE_DIR) + "/tests/golden/" + name + ".hashes");
    ASSERT_GT(expected.size(), 100u) << "no recorded hashes for " << name;
    std::string actualPath = std::string(BUILD_DIR) + "/golden-" + name + ".hashes";
    ASSERT_EQ(RunTool("'" + TOOL + "' record " + name + " '" + actualPath + "'"), 0);
    std::vector<std::string> actual = Lines(actualPath);
    size_t first = 0;
    while (first < expected.size() && first < actual.size() && expected[first] == actual[first]) first++;
    if (first == expected.size() && first == actual.size()) return;

    // "frame width height hash": the frame that differs, or the first one
    // that is missing or extra.
    std::string line = first < actual.size() ? actual[first] : expected[first];
    std::string frame = line.substr(0, line.find(' '));
    std::string picture = std::string(BUILD_DIR) + "/golden-" + name + "-" + frame + ".png";
    std::string shown = "(no picture: PRISMVELDT_GOLDEN_PICTURES=0)";
    if (getenv("PRISMVELDT_GOLDEN_PICTURES") == nullptr ||
        std::string(getenv("PRISMVELDT_GOLDEN_PICTURES")) != "0") {
        shown = RunTool("'" + TOOL + "' show " + name + " " + frame + " '" + picture + "' >&2") == 0
                    ? picture + " (expected | actual | difference)"
                    : "(the picture could not be made)";
    }
    ADD_FAILURE() << name << ": frame " << frame << " is not as recorded\n"
                  << "  expected: " << (first < expected.size() ? expected[first] : "(no frame)") << "\n"
                  << "  actual:   " << (first < actual.size() ? actual[first] : "(no frame)") << "\n"
                  << "  " << expected.size() << " frames recorded, " << actual.size() << " presented\n"
                  << "  picture: " << shown << "\n"
                  << "  a deliberate change: tools/golden.sh update " << name;
}

INSTANTIATE_TEST_SUITE_P(Cases, GoldenFrames,
                         ::testing::Values("stage1", "stage2", "stage3", "stage4", "fullgame", "visits", "settings",
                                           "pad", "controls", "stageselect", "splits"),
                         [](const ::testing::TestParamInfo<std::string>& info) { return info.param; });

}  // namespace
