// The settings page: each row's steps, and through the real game, the page
// reached from the title and from the pause, its changes heard at once, kept
// in the settings file, and what start-up does with them.
#include <map>

#include "game/settings_scene.h"
#include "tests/test_wholegame_harness.h"

TEST(SettingsRows, ArrowsStopAtTheEndsAndClicksGoRound)
{
    SettingsValues v;
    Settings& s = v.settings;
    StepSettingsValue(&v, SETTINGS_ROW_MUSIC, +1, false);
    EXPECT_EQ(s.musicVolume, 100);  // already loudest
    StepSettingsValue(&v, SETTINGS_ROW_MUSIC, +1, true);
    EXPECT_EQ(s.musicVolume, 0);  // a click goes round
    StepSettingsValue(&v, SETTINGS_ROW_MUSIC, -1, false);
    EXPECT_EQ(s.musicVolume, 0);
    for (int i = 0; i < 3; i++) StepSettingsValue(&v, SETTINGS_ROW_MUSIC, +1, false);
    EXPECT_EQ(s.musicVolume, 30);
    StepSettingsValue(&v, SETTINGS_ROW_EFFECTS, -1, false);
    EXPECT_EQ(s.effectsVolume, 90);
    EXPECT_STREQ(SettingsValueText(v, SETTINGS_ROW_EFFECTS), "< 90 % >");
    EXPECT_STREQ(SettingsValueText(v, SETTINGS_ROW_START), "< ASK >");
    StepSettingsValue(&v, SETTINGS_ROW_START, +1, false);
    EXPECT_STREQ(SettingsValueText(v, SETTINGS_ROW_START), "< WINDOW >");
    StepSettingsValue(&v, SETTINGS_ROW_START, +1, false);
    StepSettingsValue(&v, SETTINGS_ROW_START, +1, false);
    EXPECT_EQ(s.startDisplay, START_DISPLAY_FULLSCREEN);
    StepSettingsValue(&v, SETTINGS_ROW_START, +1, true);
    EXPECT_EQ(s.startDisplay, START_DISPLAY_ASK);
    StepSettingsValue(&v, SETTINGS_ROW_GHOST, -1, false);
    EXPECT_TRUE(v.ghost);
    EXPECT_STREQ(SettingsValueText(v, SETTINGS_ROW_GHOST), "< ON >");
    // The feedback sounds start on: any step turns them off, and on again.
    EXPECT_STREQ(SettingsValueText(v, SETTINGS_ROW_FEEDBACK), "< ON >");
    StepSettingsValue(&v, SETTINGS_ROW_FEEDBACK, +1, false);
    EXPECT_FALSE(s.feedbackSounds);
    EXPECT_STREQ(SettingsValueText(v, SETTINGS_ROW_FEEDBACK), "< OFF >");
    StepSettingsValue(&v, SETTINGS_ROW_FEEDBACK, -1, true);
    EXPECT_TRUE(s.feedbackSounds);
    SettingsValues before = v;
    StepSettingsValue(&v, SETTINGS_ROW_BACK, +1, true);
    EXPECT_TRUE(v == before);
    EXPECT_STREQ(SettingsValueText(v, SETTINGS_ROW_BACK), "");
}

TEST(SettingsRows, TheNewRowsStepWithinTheirRangesAndNoWhereElse)
{
    SettingsValues v;
    Settings& s = v.settings;
    // The game speed: 100 down to 50 in tens, held there, round by a click.
    StepSettingsValue(&v, SETTINGS_ROW_SPEED, +1, false);
    EXPECT_EQ(s.gameSpeed, 100);
    for (int i = 0; i < 7; i++) StepSettingsValue(&v, SETTINGS_ROW_SPEED, -1, false);
    EXPECT_EQ(s.gameSpeed, GAME_SPEED_MIN);
    EXPECT_STREQ(SettingsValueText(v, SETTINGS_ROW_SPEED), "< 50 % >");
    StepSettingsValue(&v, SETTINGS_ROW_SPEED, -1, true);
    EXPECT_EQ(s.gameSpeed, 100);
    // Each switch turns by any step, and touches nothing but its own value.
    struct { int row; bool SettingsValues::*own; bool Settings::*setting; } switches[] = {
        {SETTINGS_ROW_DISPLAY, &SettingsValues::fullscreen, nullptr},
        {SETTINGS_ROW_VSYNC, nullptr, &Settings::vsync},
        {SETTINGS_ROW_FOCUS_PAUSE, nullptr, &Settings::pauseOnFocusLoss},
        {SETTINGS_ROW_REDUCED_FLASHING, nullptr, &Settings::reducedFlashing},
    };
    for (const auto& sw : switches) {
        SCOPED_TRACE(sw.row);
        SettingsValues was = v;
        StepSettingsValue(&v, sw.row, -1, false);
        bool on = sw.own ? v.*sw.own : v.settings.*sw.setting;
        EXPECT_TRUE(on);
        EXPECT_STREQ(SettingsValueText(v, sw.row), sw.row == SETTINGS_ROW_DISPLAY ? "< FULL SCREEN >" : "< ON >");
        StepSettingsValue(&v, sw.row, 0, false);  // no step: no change
        StepSettingsValue(&v, sw.row, +1, true);
        EXPECT_TRUE(v == was);
    }
    // Every row has a name on the page and fits the screen, BACK last.
    MenuLayout layout = SettingsMenuLayout();
    EXPECT_EQ(layout.rows, SETTINGS_ROWS);
    EXPECT_LE(layout.rows, MENU_MAX_ROWS);
    EXPECT_LE(layout.letterHeight, layout.rowHeight);
    EXPECT_LE(layout.y + layout.rows * layout.rowHeight, 720);
    EXPECT_EQ(SETTINGS_ROW_BACK, SETTINGS_ROWS - 1);
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
    // Down to AT START, right: a window from now on; up and round to BACK,
    // the last row, and Enter.
    GameRun run = PlayWithSettings(TO_SETTINGS + "20 down down\n21 up down\n22 down down\n23 up down\n"
                                                 "30 down right\n31 up right\n"
                                                 "40 down up\n41 up up\n42 down up\n43 up up\n"
                                                 "44 down up\n45 up up\n"
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
    // In play, P, then SETTINGS (the fourth row), Escape back to the pause,
    // and Escape again back to play.
    GameRun run = PlayWithSettings("dialog no\n0 mouse 300 580\n0 down lmb\n1 up lmb\n"
                                   "300 down p\n301 up p\n"
                                   "310 down down\n311 up down\n312 down down\n313 up down\n"
                                   "314 down down\n315 up down\n"
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

TEST_F(SettingsPage, TheDisplaySwitchesAtOnceByTheRowF11OrAltEnterAndIsNotKept)
{
    // On DISPLAY (the fourth row): F11, Alt+Enter back, the row's right,
    // Enter on it (a click of the row) back; then Escape.
    std::string script = TO_SETTINGS + "20 down down\n21 up down\n22 down down\n23 up down\n"
                                       "24 down down\n25 up down\n"
                                       "30 down f11\n31 up f11\n"
                                       "40 down alt\n41 down enter\n42 up enter\n43 up alt\n"
                                       "50 down right\n51 up right\n"
                                       "60 down enter\n61 up enter\n"
                                       "70 down esc\n71 up esc\n";
    GameRun run = RunGame(folder, script, 80, "", "--frame-hashes '" + folder + "/hashes.txt'");
    std::map<long long, std::string> hash;
    std::ifstream in(folder + "/hashes.txt");
    for (long long n; in >> n;) {
        std::string width, height, value;
        in >> width >> height >> value;
        hash[n] = value;
    }
    // The page shows WINDOW, FULL SCREEN, WINDOW (Enter of Alt+Enter did
    // not also choose the row), FULL SCREEN, WINDOW.
    for (long long n : {29, 35, 45, 55, 65}) ASSERT_TRUE(hash.count(n)) << n;
    EXPECT_NE(hash[29], hash[35]);
    EXPECT_EQ(hash[29], hash[45]);
    EXPECT_EQ(hash[35], hash[55]);
    EXPECT_EQ(hash[29], hash[65]);
    std::vector<SceneRun> runs = SceneRuns(run);
    SCOPED_TRACE(Describe(runs));
    ASSERT_GE(runs.size(), 3u);
    EXPECT_EQ(runs[1].scene, "settings");
    EXPECT_EQ(runs[2].scene, "title");
    // The display now is the game's state, not a setting: nothing to save.
    EXPECT_FALSE(fs::exists(SettingsFile()));
}

TEST_F(SettingsPage, F11InPlayKeepsTheRunGoingFrameForFrame)
{
    // The same run with and without switching to full screen and back.
    const std::string toPlay = "dialog no\n0 mouse 300 580\n0 down lmb\n1 up lmb\n290 mouse 100 100\n"
                               "290 down lmb\n";
    GameRun plain = PlayWithSettings(toPlay, 360);
    GameRun switched = PlayWithSettings(toPlay + "300 down f11\n301 up f11\n320 down alt\n320 down enter\n"
                                                 "321 up enter\n321 up alt\n",
                                        360);
    std::vector<std::string> a, b;
    for (const TraceEvent* e : plain.Frames()) a.push_back(e->line);
    for (const TraceEvent* e : switched.Frames()) b.push_back(e->line);
    ASSERT_GT(switched.Frames("play").size(), 50u);
    EXPECT_EQ(a, b);
}
