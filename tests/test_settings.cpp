// The settings file: what a save writes reads back the same, what the game
// does not know survives a save, a damaged value or file costs one line and
// never the game, and the harness never reads the player's own settings.
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "game/settings.h"
#include "input/input.h"

namespace fs = std::filesystem;

namespace {

// A fresh folder of one test, removed with it.
struct TempFolder {
    std::string path;
    TempFolder()
    {
        static int count = 0;
        path = testing::TempDir() + "settings-" + std::to_string(getpid()) + "-" + std::to_string(count++);
        fs::remove_all(path);
        fs::create_directories(path);
    }
    ~TempFolder()
    {
        std::error_code error;
        fs::permissions(path, fs::perms::owner_all, error);
        fs::remove_all(path, error);
    }
};

void WriteFile(const std::string& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

// Every field away from its default.
Settings AllChanged()
{
    Settings s;
    s.musicVolume = 0;
    s.effectsVolume = 40;
    s.startDisplay = START_DISPLAY_FULLSCREEN;
    s.pauseOnFocusLoss = true;
    s.vsync = true;
    s.gameSpeed = 50;
    s.padDeadzone = 30;
    s.padLeftStickAims = true;
    s.padRumble = false;
    s.reducedFlashing = true;
    s.feedbackSounds = false;
    s.language = LANGUAGE_JAPANESE;
    s.bindings[ACTION_FIRE].inputs = {Input{INPUT_KEY, VK_SPACE}, Input{INPUT_MOUSE, VK_MBUTTON},
                                      Input{INPUT_PAD, PAD_RIGHT_SHOULDER}};
    s.bindings[ACTION_PAUSE].inputs = {Input{INPUT_KEY, VK_F1 + 11}};
    s.bindings[ACTION_RETRY] = Binding{};  // "none"
    s.bindings[ACTION_MENU_UP].inputs = {Input{INPUT_KEY, 'W'}, Input{INPUT_PAD, PAD_LEFT_TRIGGER}};
    s.bindings[ACTION_MENU_DOWN].inputs = {Input{INPUT_KEY, 'S'}};
    s.bindings[ACTION_MENU_LEFT].inputs = {Input{INPUT_KEY, VK_SHIFT}, Input{INPUT_PAD, PAD_X}};
    s.bindings[ACTION_MENU_RIGHT].inputs = {Input{INPUT_KEY, VK_CONTROL}, Input{INPUT_KEY, VK_MENU}};
    s.bindings[ACTION_MENU_ACCEPT].inputs = {Input{INPUT_KEY, '7'}, Input{INPUT_MOUSE, VK_RBUTTON}};
    s.bindings[ACTION_MENU_BACK].inputs = {Input{INPUT_KEY, VK_TAB}, Input{INPUT_PAD, PAD_GUIDE}};
    return s;
}

}  // namespace

TEST(SettingsFile, EverySettingSavedReadsBackAndDefaultsReadAsDefaults)
{
    Settings changed = AllChanged();
    const Settings defaults;
    // A field the round trip leaves out would pass unseen if it kept its default.
    for (int a = 0; a < ACTION_COUNT; a++) EXPECT_NE(changed.bindings[a], defaults.bindings[a]) << a;

    TempFolder folder;
    std::string path = folder.path + "/settings.ini";
    testing::internal::CaptureStderr();
    ASSERT_TRUE(SaveSettings(path, changed));
    Settings read;
    EXPECT_TRUE(LoadSettings(path, &read));
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(read, changed);
    // A second save of what was read writes the same file: no header or line
    // gathers up from one save to the next.
    std::string first = ReadFile(path);
    ASSERT_TRUE(SaveSettings(path, read));
    EXPECT_EQ(ReadFile(path), first);

    SettingsText parsed = ParseSettings(FormatSettings(defaults, {}), "settings.ini");
    EXPECT_EQ(parsed.settings, defaults);
    EXPECT_TRUE(parsed.complaints.empty());
    // The defaults a player sees in a new file: the names and the order are
    // the file's format, which files already written rely on.
    std::string text = FormatSettings(defaults, {});
    EXPECT_EQ(text.rfind("# ", 0), 0u);
    EXPECT_NE(text.find("\n\nmusic_volume = 100\n"
                        "effects_volume = 100\n"
                        "start_display = ask\n"
                        "pause_on_focus_loss = off\n"
                        "vsync = off\n"
                        "game_speed = 100\n"
                        "pad_deadzone = 15\n"
                        "pad_left_stick_aims = off\n"
                        "pad_rumble = on\n"
                        "reduced_flashing = off\n"
                        "feedback_sounds = on\n"
                        "language = system\n"
                        "bind_fire = mouse left, pad righttrigger\n"
                        "bind_pause = key p, key pause, pad start\n"
                        "bind_retry = key r, pad y\n"
                        "bind_menu_up = key up, pad dpup\n"
                        "bind_menu_down = key down, pad dpdown\n"
                        "bind_menu_left = key left, pad dpleft\n"
                        "bind_menu_right = key right, pad dpright\n"
                        "bind_menu_accept = key enter, pad a\n"
                        "bind_menu_back = key esc, pad b\n"),
              std::string::npos)
        << text;
}

TEST(SettingsFile, WhatAPersonTypesIsRead)
{
    // Notepad's byte-order mark and line ends, blanks, and any case.
    SettingsText parsed = ParseSettings("\xEF\xBB\xBF  Music_Volume\t=  70 \r\n"
                                        "VSYNC = On\r\n"
                                        "bind_fire =   KEY   Space ,pad  A\r\n"
                                        "start_display=window",
                                        "settings.ini");
    EXPECT_TRUE(parsed.complaints.empty()) << parsed.complaints[0];
    EXPECT_EQ(parsed.settings.musicVolume, 70);
    EXPECT_TRUE(parsed.settings.vsync);
    EXPECT_EQ(parsed.settings.startDisplay, START_DISPLAY_WINDOW);
    Binding fire;
    fire.inputs = {Input{INPUT_KEY, VK_SPACE}, Input{INPUT_PAD, PAD_A}};
    EXPECT_EQ(parsed.settings.bindings[ACTION_FIRE], fire);
}

TEST(SettingsFile, LinesTheGameDoesNotKnowSurviveASaveInTheirOrder)
{
    TempFolder folder;
    std::string path = folder.path + "/settings.ini";
    WriteFile(path,
              "# my settings\n"
              "music_volume = 30\n"
              "colour_theme = dusk\n"
              "\n"
              "  # loud on the laptop\n"
              "just some words\n"
              "vsync = on\n"
              "Future_Option=1\n");
    Settings s;
    testing::internal::CaptureStderr();
    ASSERT_TRUE(LoadSettings(path, &s));
    std::string complaints = testing::internal::GetCapturedStderr();
    EXPECT_EQ(Lines(complaints).size(), 1u) << complaints;  // "just some words"
    EXPECT_NE(complaints.find("line 6"), std::string::npos) << complaints;
    s.musicVolume = 80;
    ASSERT_TRUE(SaveSettings(path, s));
    std::string saved = ReadFile(path);
    EXPECT_EQ(saved.rfind("# my settings\n"
                          "colour_theme = dusk\n"
                          "\n"
                          "  # loud on the laptop\n"
                          "just some words\n"
                          "Future_Option=1\n"
                          "music_volume = 80\n",
                          0),
              0u)
        << saved;
    EXPECT_EQ(saved.find("music_volume = 30"), std::string::npos);
    EXPECT_NE(saved.find("vsync = on\n"), std::string::npos);
    Settings again;
    testing::internal::CaptureStderr();
    LoadSettings(path, &again);
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(again, s);
}

TEST(SettingsFile, EachDamagedValueIsItsDefaultWithOneLineAndTheOthersCount)
{
    EXPECT_EQ(ParseSettings("# volume\n\nmusic_volume = 105\n", "settings.ini").complaints,
              std::vector<std::string>{"Prismveldt: settings.ini line 3: music_volume = 105 is not "
                                       "0..100 in steps of 10; using 100"});
    const char* damaged[] = {
        "music_volume = 55", "music_volume = -10", "music_volume = abc", "music_volume =",
        "music_volume = 99999999999999999999", "music_volume = 50 # half", "effects_volume = 110",
        "game_speed = 40", "game_speed = 75", "game_speed = 110", "pad_deadzone = 31",
        "pad_deadzone = 1.5", "start_display = maximised", "vsync = yes", "pad_rumble = 0",
        "bind_fire = mouse leftt", "bind_fire = key", "bind_fire = key p,", "bind_fire = , key p",
        "bind_pause = key p, key q, key r, key s", "bind_retry = joystick up", "bind_menu_up = key f13",
        "bind_menu_up = key f0", "bind_menu_down = pad z", "bind_menu_accept = key pp",
    };
    Settings controls;
    controls.reducedFlashing = true;
    controls.bindings[ACTION_MENU_BACK].inputs = {Input{INPUT_KEY, VK_TAB}};
    TempFolder folder;
    std::string path = folder.path + "/settings.ini";
    for (const char* line : damaged) {
        SCOPED_TRACE(line);
        std::string text = std::string("reduced_flashing = on\n") + line + "\nbind_menu_back = key tab\n";
        WriteFile(path, text);
        Settings read;
        testing::internal::CaptureStderr();
        EXPECT_TRUE(LoadSettings(path, &read));
        std::vector<std::string> said = Lines(testing::internal::GetCapturedStderr());
        ASSERT_EQ(said.size(), 1u);
        std::string name = std::string(line).substr(0, std::string(line).find(' '));
        EXPECT_NE(said[0].find(path + " line 2: " + name), std::string::npos) << said[0];
        EXPECT_EQ(read, controls);
        EXPECT_EQ(ReadFile(path), text);  // reading never mends the file
    }
    // A file of nothing but damage says a few lines, not thousands.
    std::string flood;
    for (int i = 0; i < 5000; i++) flood += "music_volume = loud\n";
    EXPECT_LE(ParseSettings(flood, "settings.ini").complaints.size(), 10u);
}

TEST(SettingsFile, AFileThatIsNoSettingsFileIsDefaultsAndStaysUntilASave)
{
    std::string junk;
    for (int i = 0; i < 4096; i++) junk += static_cast<char>((i * 131 + 7) % 256);
    struct Case {
        const char* what;
        std::string text;
    } cases[] = {
        {"binary junk", junk},
        {"a NUL byte", "music_volume = 30\n" + std::string(1, '\0') + "vsync = on\n"},
        {"invalid UTF-8", "music_volume = 30\n# caf\xC3\x28\n"},
        {"a line of 1 MB", "music_volume = " + std::string(1 << 20, '7') + "\n"},
        {"far too large", [] {
             std::string lines;
             while (lines.size() <= SETTINGS_FILE_MAX_BYTES) lines += "vsync = on\n";
             return lines;
         }()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempFolder folder;
        std::string path = folder.path + "/settings.ini";
        WriteFile(path, c.text);
        Settings read = AllChanged();
        testing::internal::CaptureStderr();
        LoadSettings(path, &read);
        std::string said = testing::internal::GetCapturedStderr();
        EXPECT_EQ(Lines(said).size(), 1u) << said;
        EXPECT_NE(said.find(path), std::string::npos) << said;
        EXPECT_EQ(read, Settings{});
        EXPECT_EQ(ReadFile(path), c.text);
        // The player's change replaces it, and what it was is kept aside.
        testing::internal::CaptureStderr();
        Settings changed;
        changed.vsync = true;
        ASSERT_TRUE(SaveSettings(path, changed));
        testing::internal::GetCapturedStderr();
        EXPECT_EQ(ReadFile(path + ".damaged"), c.text);
        EXPECT_EQ(ParseSettings(ReadFile(path), path).settings, changed);
    }
    // A folder where the file should be: defaults and one line, both ways.
    TempFolder folder;
    std::string path = folder.path + "/settings.ini";
    fs::create_directory(path);
    Settings read;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(LoadSettings(path, &read));
    EXPECT_FALSE(SaveSettings(path, read));
    EXPECT_EQ(Lines(testing::internal::GetCapturedStderr()).size(), 2u);
    EXPECT_TRUE(fs::is_directory(path));
}

TEST(SettingsFile, NoFileIsTheDefaultsAndNothingIsMade)
{
    TempFolder folder;
    std::string path = folder.path + "/none/settings.ini";
    Settings read = AllChanged();
    testing::internal::CaptureStderr();
    EXPECT_FALSE(LoadSettings(path, &read));
    EXPECT_FALSE(LoadSettings("", &read));
    EXPECT_FALSE(SaveSettings("", read));  // no settings file: nowhere to write, nothing to say
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(read, Settings{});
    EXPECT_FALSE(fs::exists(folder.path + "/none"));
}

TEST(SettingsFile, ASaveMakesAPrivateFolderAndAFileAsTheUmaskAllows)
{
    TempFolder folder;
    mode_t old = umask(022);
    std::string path = folder.path + "/config/prismveldt/settings.ini";
    EXPECT_TRUE(SaveSettings(path, Settings{}));
    EXPECT_EQ(fs::status(folder.path + "/config").permissions(), fs::perms::owner_all);
    EXPECT_EQ(fs::status(folder.path + "/config/prismveldt").permissions(), fs::perms::owner_all);
    EXPECT_EQ(fs::status(path).permissions() & fs::perms::all, fs::perms(0644));
    umask(077);
    std::string other = folder.path + "/config/prismveldt/other.ini";
    EXPECT_TRUE(SaveSettings(other, Settings{}));
    EXPECT_EQ(fs::status(other).permissions() & fs::perms::all, fs::perms(0600));
    umask(old);

    // The player's own file may live elsewhere behind a link: it stays a link.
    std::string target = folder.path + "/dotfiles.ini", link = folder.path + "/link.ini";
    WriteFile(target, "# kept in my dotfiles\n");
    fs::create_symlink(target, link);
    Settings s;
    s.gameSpeed = 70;
    ASSERT_TRUE(SaveSettings(link, s));
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(ParseSettings(ReadFile(target), target).settings, s);

    // What a save killed mid-write left beside the file goes at the next start.
    WriteFile(path + ".saving-Ab3dEf", "music_vol");
    Settings read;
    LoadSettings(path, &read);
    EXPECT_FALSE(fs::exists(path + ".saving-Ab3dEf"));
}

TEST(SettingsFile, ASaveThatCannotBeWrittenSaysSoAndLeavesTheOldFile)
{
    TempFolder folder;
    std::string path = folder.path + "/settings.ini";
    const std::string old = "music_volume = 20\n";
    Settings changed;
    changed.musicVolume = 90;
    auto failsWithOneLine = [&](const std::string& where) {
        testing::internal::CaptureStderr();
        EXPECT_FALSE(SaveSettings(where, changed));
        std::string said = testing::internal::GetCapturedStderr();
        EXPECT_EQ(Lines(said).size(), 1u) << said;
        EXPECT_NE(said.find(where), std::string::npos) << said;
    };
    // A file the player made read-only (refused even to root).
    WriteFile(path, old);
    fs::permissions(path, fs::perms(0444));
    failsWithOneLine(path);
    EXPECT_EQ(ReadFile(path), old);
    // A folder that cannot be made: a file is in its place.
    failsWithOneLine(path + "/settings.ini");
    fs::permissions(path, fs::perms(0644));

    if (geteuid() == 0) GTEST_SKIP() << "root writes into a read-only folder and reads any file";
    // A file that cannot be read: its other lines would be lost.
    fs::permissions(path, fs::perms(0200));
    failsWithOneLine(path);
    fs::permissions(path, fs::perms(0644));
    EXPECT_EQ(ReadFile(path), old);
    // A folder that may not be written.
    fs::permissions(folder.path, fs::perms(0500));
    failsWithOneLine(path);
    fs::permissions(folder.path, fs::perms::owner_all);
    EXPECT_EQ(ReadFile(path), old);
}

TEST(SettingsFile, TheFileIsTheOptionsElseNoneInTheHarness)
{
    settingsFileOption = "/somewhere/mine.ini";
    EXPECT_EQ(SettingsFilePath(), "/somewhere/mine.ini");
    settingsFileOption = "";
    setenv("XDG_CONFIG_HOME", "/tmp", 1);
    EXPECT_EQ(SettingsFilePath(), "");
}

// ---- the harness itself ----

namespace {

const std::string HARNESS = std::string(BUILD_DIR) + "/prismveldt-headless";
const std::string DATA = std::string(BUILD_DIR) + "/data";

int RunCommand(const std::string& command)
{
    int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

}  // namespace

TEST(HarnessSettings, ReadsOnlyTheFileItIsTold)
{
    if (!fs::exists(DATA + "/txt/dw_stage1.txt") || access(HARNESS.c_str(), X_OK) != 0)
        GTEST_SKIP() << "no harness or game data in " << BUILD_DIR;
    TempFolder folder;
    // A settings file the harness would complain about, were it ever to read it.
    fs::create_directories(folder.path + "/config/prismveldt");
    std::string players = folder.path + "/config/prismveldt/settings.ini";
    const std::string damaged = "music_volume = 105\n";
    WriteFile(players, damaged);
    std::string err = folder.path + "/err.txt";
    std::string environment = "env XDG_CONFIG_HOME='" + folder.path + "/config' HOME='" + folder.path + "' ";
    std::string run = " --dir '" + DATA + "' --max-frames 3 >/dev/null 2>'" + err + "'";

    EXPECT_EQ(RunCommand(environment + "'" + HARNESS + "'" + run), 2);
    EXPECT_EQ(ReadFile(err).find("music_volume"), std::string::npos) << ReadFile(err);
    EXPECT_EQ(ReadFile(players), damaged);
    EXPECT_EQ(std::distance(fs::directory_iterator(folder.path + "/config/prismveldt"),
                            fs::directory_iterator{}),
              1);

    // Told, it reads that file, named relative to the folder it starts in,
    // though it then plays in the data folder.
    EXPECT_EQ(RunCommand("cd '" + folder.path + "/config/prismveldt' && " + environment + "'" + HARNESS +
                  "' --settings settings.ini" + run),
              2);
    EXPECT_NE(ReadFile(err).find(players + " line 1: music_volume = 105"), std::string::npos)
        << ReadFile(err);
    EXPECT_EQ(ReadFile(players), damaged);

    EXPECT_EQ(RunCommand("'" + HARNESS + "' --settings >/dev/null 2>'" + err + "'"), 64);
    EXPECT_NE(ReadFile(err).find("--settings needs a file"), std::string::npos) << ReadFile(err);
    EXPECT_EQ(RunCommand("'" + HARNESS + "' --help >'" + err + "'"), 0);
    EXPECT_NE(ReadFile(err).find("[--settings FILE]"), std::string::npos) << ReadFile(err);
}
