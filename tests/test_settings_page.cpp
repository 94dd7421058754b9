// The settings page: each row's steps, and through the real game, the page
// reached from the title and from the pause, its changes heard at once, kept
// in the settings file, and what start-up does with them.
#include "game/settings_scene.h"
#include "tests/test_wholegame_harness.h"

TEST(SettingsRows, ArrowsStopAtTheEndsAndClicksGoRound)
{
    Settings s;
    bool ghost = false;
    StepSettingsValue(&s, &ghost, SETTINGS_ROW_MUSIC, +1, false);
    EXPECT_EQ(s.musicVolume, 100);  // already loudest
    StepSettingsValue(&s, &ghost, SETTINGS_ROW_MUSIC, +1, true);
    EXPECT_EQ(s.musicVolume, 0);  // a click goes round
    StepSettingsValue(&s, &ghost, SETTINGS_ROW_MUSIC, -1, false);
    EXPECT_EQ(s.musicVolume, 0);
    for (int i = 0; i < 3; i++) StepSettingsValue(&s, &ghost, SETTINGS_ROW_MUSIC, +1, false);
    EXPECT_EQ(s.musicVolume, 30);
    StepSettingsValue(&s, &ghost, SETTINGS_ROW_EFFECTS, -1, false);
    EXPECT_EQ(s.effectsVolume, 90);
    EXPECT_STREQ(SettingsValueText(s, ghost, SETTINGS_ROW_EFFECTS), "< 90 % >");
    EXPECT_STREQ(SettingsValueText(s, ghost, SETTINGS_ROW_START), "< ASK >");
    StepSettingsValue(&s, &ghost, SETTINGS_ROW_START, +1, false);
    EXPECT_STREQ(SettingsValueText(s, ghost, SETTINGS_ROW_START), "< WINDOW >");
    StepSettingsValue(&s, &ghost, SETTINGS_ROW_START, +1, false);
    StepSettingsValue(&s, &ghost, SETTINGS_ROW_START, +1, false);
    EXPECT_EQ(s.startDisplay, START_DISPLAY_FULLSCREEN);
    StepSettingsValue(&s, &ghost, SETTINGS_ROW_START, +1, true);
    EXPECT_EQ(s.startDisplay, START_DISPLAY_ASK);
    StepSettingsValue(&s, &ghost, SETTINGS_ROW_GHOST, -1, false);
    EXPECT_TRUE(ghost);
    EXPECT_STREQ(SettingsValueText(s, ghost, SETTINGS_ROW_GHOST), "< ON >");
    Settings before = s;
    StepSettingsValue(&s, &ghost, SETTINGS_ROW_BACK, +1, true);
    EXPECT_TRUE(s == before);
    EXPECT_STREQ(SettingsValueText(s, ghost, SETTINGS_ROW_BACK), "");
}

namespace {

class SettingsPage : public HarnessTest {
protected:
    std::string SettingsFile() { return folder + "/config/settings.ini"; }
    GameRun PlayWithSettings(const std::string& script, long long frames)
    {
        // The harness reads a settings file only when told which.
        return RunGame(folder, script, frames, "", "--settings '" + SettingsFile() + "'");
    }
};

std::string ReadFileText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

std::vector<std::string> VolumeLines(const GameRun& run)
{
    std::vector<std::string> lines;
    for (const TraceEvent& e : run.events)
        if (e.ev == "volume") lines.push_back(e.line);
    return lines;
}

// From the title: the pointer onto SETTINGS (top right), a click.
const std::string TO_SETTINGS = "dialog no\n0 mouse 1150 40\n5 mouse 1151 41\n10 down lmb\n11 up lmb\n";

}  // namespace

TEST_F(SettingsPage, FromTheTitleTheMusicIsTurnedDownAtOnceAndKept)
{
    // MUSIC is the first row: left twice, then Escape back to the title,
    // which stays up although Escape ends the game there.
    GameRun run = PlayWithSettings(TO_SETTINGS + "20 down left\n21 up left\n30 down left\n31 up left\n"
                                                 "40 down esc\n41 up esc\n",
                                   80);
    std::vector<SceneRun> runs = SceneRuns(run);
    SCOPED_TRACE(Describe(runs));
    ASSERT_GE(runs.size(), 3u);
    EXPECT_EQ(runs[0].scene, "title");
    EXPECT_EQ(runs[1].scene, "settings");
    EXPECT_EQ(runs[2].scene, "title");
    EXPECT_EQ(run.status, 2) << "the title ended before the frames ran out";
    std::vector<std::string> volumes = VolumeLines(run);
    ASSERT_EQ(volumes.size(), 2u);
    EXPECT_NE(volumes[0].find("\"music\":90,\"effects\":100"), std::string::npos) << volumes[0];
    EXPECT_NE(volumes[1].find("\"music\":80,\"effects\":100"), std::string::npos) << volumes[1];
    std::string kept = ReadFileText(SettingsFile());
    EXPECT_NE(kept.find("music_volume = 80"), std::string::npos) << kept;
    // The next start takes the loudness from the file before anything plays.
    run = PlayWithSettings("dialog no\n", 5);
    volumes = VolumeLines(run);
    ASSERT_EQ(volumes.size(), 1u);
    EXPECT_NE(volumes[0].find("\"music\":80"), std::string::npos);
    size_t volumeAt = 0, musicAt = 0;
    for (size_t i = 0; i < run.events.size(); i++) {
        if (run.events[i].ev == "volume") volumeAt = i;
        if (run.events[i].ev == "music" && musicAt == 0) musicAt = i;
    }
    EXPECT_LT(volumeAt, musicAt);
}

TEST_F(SettingsPage, AChosenDisplayIsNotAskedAndNothingChangedWritesNothing)
{
    // Down to AT START, right: a window from now on; BACK by Enter.
    GameRun run = PlayWithSettings(TO_SETTINGS + "20 down down\n21 up down\n22 down down\n23 up down\n"
                                                 "30 down right\n31 up right\n"
                                                 "40 down down\n41 up down\n42 down down\n43 up down\n"
                                                 "44 down down\n45 up down\n"
                                                 "50 down enter\n51 up enter\n",
                                   70);
    EXPECT_NE(ReadFileText(SettingsFile()).find("start_display = window"), std::string::npos);
    run = PlayWithSettings("", 5);  // no answer for a question: there is none
    for (const TraceEvent& e : run.events) EXPECT_NE(e.ev, "dialog") << e.line;
    ASSERT_FALSE(run.Frames("title").empty());
    // A visit that changes nothing leaves the file as it is.
    fs::remove(SettingsFile());
    PlayWithSettings(TO_SETTINGS + "20 down esc\n21 up esc\n", 40);
    EXPECT_FALSE(fs::exists(SettingsFile()));
}

TEST_F(SettingsPage, ThePausesSettingsComeBackToThePause)
{
    // In play, P, then SETTINGS (the third row), Escape back to the pause,
    // and Escape again back to play.
    GameRun run = PlayWithSettings("dialog no\n0 mouse 300 580\n0 down lmb\n1 up lmb\n"
                                   "300 down p\n301 up p\n"
                                   "310 down down\n311 up down\n312 down down\n313 up down\n"
                                   "320 down enter\n321 up enter\n"
                                   "330 down esc\n331 up esc\n340 down esc\n341 up esc\n",
                                   360);
    std::vector<SceneRun> runs = SceneRuns(run);
    SCOPED_TRACE(Describe(runs));
    ASSERT_GE(runs.size(), 8u);
    EXPECT_EQ(runs[3].scene, "play");
    EXPECT_EQ(runs[4].scene, "pause");
    EXPECT_EQ(runs[5].scene, "settings");
    EXPECT_EQ(runs[6].scene, "pause");
    EXPECT_EQ(runs[7].scene, "play");
}
