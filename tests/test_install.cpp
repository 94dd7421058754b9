// Installation: the data-folder choice at start-up (a folder holding game data
// is used as it is; otherwise the installed data, with the best times in the
// player's own data folder), and `cmake --install` into a temporary prefix
// with the installed game run headless from an unrelated folder.
#include "game/datadir.h"
#include "platform/platform.h"
#include "tests/test_bad_input_support.h"

using namespace badinput;

namespace {

struct TempFolder {
    TempFolder()
    {
        char pattern[] = "/tmp/prismveldt-install-XXXXXX";
        if (mkdtemp(pattern)) path = pattern;
    }
    ~TempFolder()
    {
        if (!path.empty()) fs::remove_all(path);
    }
    std::string path;
};

int Shell(const std::string& command)
{
    int raw = std::system(command.c_str());
    return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

}  // namespace

TEST(DataFolder, OnlyTheGamesOwnFilesMakeAGameFolder)
{
    // Folders of the same names are everywhere (any project may have a txt/);
    // the first stage and the tile sheet are the game's.
    TempFolder here;
    EXPECT_FALSE(HoldsGameData(here.path));
    for (const char* name : {"bmp", "se", "txt"}) fs::create_directory(here.path + "/" + name);
    EXPECT_FALSE(HoldsGameData(here.path));
    fs::create_directories(here.path + "/bmp/stage");
    std::ofstream(here.path + "/txt/dw_stage1.txt") << "0";
    EXPECT_FALSE(HoldsGameData(here.path));
    fs::create_directory(here.path + "/bmp/stage/haikei.bmp");  // a folder of that name
    EXPECT_FALSE(HoldsGameData(here.path));
    fs::remove(here.path + "/bmp/stage/haikei.bmp");
    std::ofstream(here.path + "/bmp/stage/haikei.bmp") << "BM";
    EXPECT_TRUE(HoldsGameData(here.path));
}

TEST(DataFolder, InstalledDataLiesBesideTheProgramsFolder)
{
    TempFolder prefix;
    fs::create_directories(prefix.path + "/bin");
    EXPECT_EQ(InstalledDataFolder(prefix.path + "/bin"), "");
    std::string share = prefix.path + "/share/prismveldt";
    fs::create_directories(share + "/bmp/stage");
    fs::create_directories(share + "/txt");
    EXPECT_EQ(InstalledDataFolder(prefix.path + "/bin"), "");
    std::ofstream(share + "/txt/dw_stage1.txt") << "0";
    std::ofstream(share + "/bmp/stage/haikei.bmp") << "BM";
    EXPECT_EQ(InstalledDataFolder(prefix.path + "/bin"), prefix.path + "/bin/../share/prismveldt");
    EXPECT_EQ(InstalledDataFolder(""), "");
}

TEST(DataFolder, ScoreFileFollowsXdgDataHome)
{
    auto scoresWith = [](const char* xdg, const char* home) {
        if (xdg) setenv("XDG_DATA_HOME", xdg, 1); else unsetenv("XDG_DATA_HOME");
        if (home) setenv("HOME", home, 1); else unsetenv("HOME");
        return UserScorePath();
    };
    EXPECT_EQ(scoresWith("/data", "/home/p"), "/data/prismveldt/scoretime.txt");
    // Unset, empty or relative: the default under the home folder.
    EXPECT_EQ(scoresWith(nullptr, "/home/p"), "/home/p/.local/share/prismveldt/scoretime.txt");
    EXPECT_EQ(scoresWith("", "/home/p"), "/home/p/.local/share/prismveldt/scoretime.txt");
    EXPECT_EQ(scoresWith("data", "/home/p"), "/home/p/.local/share/prismveldt/scoretime.txt");
    EXPECT_EQ(scoresWith(nullptr, nullptr), "");
    EXPECT_EQ(scoresWith("", "relative"), "");
    // The program's own folder: where this test lies.
    char folder[4096];
    ASSERT_TRUE(PlatformProgramFolder(folder, sizeof folder));
    EXPECT_EQ(fs::canonical(folder), fs::canonical(BUILD_DIR));
}

TEST(DataFolder, FirstRunCopiesTheShippedTimesAndNeverOverwrites)
{
    TempFolder home;
    std::string shipped = home.path + "/shipped.txt";
    std::ofstream(shipped) << " 1 2 3";
    std::string mine = home.path + "/a/b/prismveldt/scoretime.txt";
    ASSERT_TRUE(PrepareUserScoreFile(mine, shipped));
    EXPECT_EQ(ReadText(mine), " 1 2 3");
    // The folders it made are the player's alone; the copy is as the umask allows.
    for (const char* made : {"/a", "/a/b", "/a/b/prismveldt"})
        EXPECT_EQ(fs::status(home.path + made).permissions() & fs::perms::all, fs::perms::owner_all) << made;
    EXPECT_EQ(fs::status(mine).permissions() & (fs::perms::group_write | fs::perms::others_write),
              fs::perms::none);
    std::ofstream(mine) << " 9 9 9";
    std::ofstream(mine + ".first") << " 1 2";  // a first copy cut short
    ASSERT_TRUE(PrepareUserScoreFile(mine, shipped));
    EXPECT_EQ(ReadText(mine), " 9 9 9");
    EXPECT_FALSE(fs::exists(mine + ".first"));
    // No shipped table: the folder is made and the results screen makes the file.
    std::string other = home.path + "/c/scoretime.txt";
    EXPECT_TRUE(PrepareUserScoreFile(other, home.path + "/missing.txt"));
    EXPECT_TRUE(fs::is_directory(home.path + "/c"));
    EXPECT_FALSE(fs::exists(other));
    // A file where the folder should be.
    std::ofstream(home.path + "/blocked") << "x";
    EXPECT_FALSE(PrepareUserScoreFile(home.path + "/blocked/prismveldt/scoretime.txt", shipped));
}

TEST(Install, InstalledGameRunsFromAnyFolderWithTheTimesInTheUsersDataFolder)
{
    if (!HarnessBuilt()) GTEST_SKIP() << "needs a built game";
    TempFolder root;
    std::string prefix = root.path + "/usr";
    ASSERT_EQ(Shell("cmake --install '" + std::string(BUILD_DIR) + "' --prefix '" + prefix +
                    "' >'" + root.path + "/install.txt' 2>&1"), 0)
        << ReadText(root.path + "/install.txt");
    for (const char* file : {"bin/prismveldt", "bin/prismveldt-headless",
                             "share/prismveldt/bmp/character/kyara.bmp", "share/prismveldt/se/tw044.mp3",
                             "share/prismveldt/se/checkpoint.wav", "share/prismveldt/se/death.wav",
                             "share/prismveldt/se/goal.wav", "share/prismveldt/bmp/stage/checkpoint_held.bmp",
                             "share/prismveldt/txt/dw_stage4.txt", "share/prismveldt/txt/scoretime.txt",
                             "share/prismveldt/fonts/fonts.conf", "share/man/man6/prismveldt.6.gz",
                             "share/man/man6/prismveldt-headless.6.gz"})
        EXPECT_TRUE(fs::exists(prefix + "/" + file)) << file;
    // The desktop entry, the icons and the metadata all go by the application id.
    const std::string id = "io.github.prismveldt.Prismveldt";
    std::string desktop = ReadText(prefix + "/share/applications/" + id + ".desktop");
    EXPECT_NE(desktop.find("\nExec=prismveldt\n"), std::string::npos) << desktop;
    EXPECT_NE(desktop.find("\nIcon=" + id + "\n"), std::string::npos) << desktop;
    std::string metainfo = ReadText(prefix + "/share/metainfo/" + id + ".metainfo.xml");
    EXPECT_NE(metainfo.find("<id>" + id + "</id>"), std::string::npos);
    EXPECT_NE(metainfo.find(">" + id + ".desktop</launchable>"), std::string::npos);
    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        std::string icon = ReadText(prefix + "/share/icons/hicolor/" + std::to_string(size) + "x" +
                                    std::to_string(size) + "/apps/" + id + ".png");
        ASSERT_GE(icon.size(), 24u) << size;
        EXPECT_EQ(icon.substr(1, 3), "PNG") << size;
        // The picture is as large as the folder it lies in says (IHDR width, height).
        auto word = [&](size_t at) {
            return (unsigned char)icon[at] << 24 | (unsigned char)icon[at + 1] << 16 |
                   (unsigned char)icon[at + 2] << 8 | (unsigned char)icon[at + 3];
        };
        EXPECT_EQ(word(16), size);
        EXPECT_EQ(word(20), size);
    }
    std::string shippedScores = ReadText(prefix + "/share/prismveldt/txt/scoretime.txt");

    // From a folder with no game data: START, stage 1 cleared, its results
    // shown.
    std::string elsewhere = root.path + "/elsewhere", xdg = root.path + "/xdg";
    fs::create_directories(elsewhere);
    // A run ended with E is never kept, so stage 1 is played to its goal: the
    // committed replay of it, up to its results (its close box left out).
    {
        std::ifstream replay(std::string(SOURCE_DIR) + "/tests/replays/stage1.txt");
        std::ofstream script(root.path + "/script.txt");
        for (std::string line; std::getline(replay, line);)
            if (line.find(" close") == std::string::npos) script << line << "\n";
    }
    auto play = [&](const std::string& extra) {
        return Shell("cd '" + elsewhere + "' && env XDG_DATA_HOME='" + xdg + "' '" + prefix +
                     "/bin/prismveldt-headless' --script ../script.txt --trace ../trace.jsonl"
                     " --max-frames 1260 " + extra + " >../out.txt 2>&1");
    };
    EXPECT_EQ(play(""), 2) << ReadText(root.path + "/out.txt");
    std::string trace = ReadText(root.path + "/trace.jsonl");
    EXPECT_NE(trace.find("\"scene\":\"results\""), std::string::npos) << trace.substr(0, 2000);
    EXPECT_EQ(trace.find("\"ev\":\"dialog\",\"text\":\"Bitmap"), std::string::npos);
    // The run's time went into the player's own copy; the installed one is untouched.
    std::string mine = ReadText(xdg + "/prismveldt/scoretime.txt");
    EXPECT_NE(mine, "");
    EXPECT_NE(mine, shippedScores);
    EXPECT_EQ(ReadText(prefix + "/share/prismveldt/txt/scoretime.txt"), shippedScores);
    EXPECT_TRUE(fs::is_empty(elsewhere));
    // A second game keeps them.
    EXPECT_EQ(play(""), 2);
    std::string after = ReadText(xdg + "/prismveldt/scoretime.txt");
    EXPECT_NE(after, shippedScores);
    EXPECT_NE(after, mine) << "the second run ranks too";

    // Told a game folder with --dir, the game keeps to it.
    GameFolder folder;
    std::string before = ReadText(folder.path + "/txt/scoretime.txt");
    EXPECT_EQ(play("--dir '" + folder.path + "'"), 2);
    std::string afterDir = ReadText(folder.path + "/txt/scoretime.txt");
    EXPECT_NE(afterDir, before);
    EXPECT_EQ(ReadText(xdg + "/prismveldt/scoretime.txt"), after);

    // Merely started in one, whole or partial, it plays from its own data
    // and keeps its times where they belong.
    auto playIn = [&](const std::string& start) {
        return Shell("cd '" + start + "' && env XDG_DATA_HOME='" + xdg + "' '" + prefix +
                     "/bin/prismveldt-headless' --script '" + root.path + "/script.txt' --trace '" +
                     root.path + "/trace.jsonl' --max-frames 1260 >'" + root.path + "/out.txt' 2>&1");
    };
    EXPECT_EQ(playIn(folder.path), 2) << ReadText(root.path + "/out.txt");
    EXPECT_EQ(ReadText(folder.path + "/txt/scoretime.txt"), afterDir);
    std::string mineNow = ReadText(xdg + "/prismveldt/scoretime.txt");
    EXPECT_NE(mineNow, after);
    std::string partial = root.path + "/partial";
    fs::create_directories(partial + "/txt");
    fs::create_directories(partial + "/bmp/stage");
    fs::copy_file(folder.path + "/txt/dw_stage1.txt", partial + "/txt/dw_stage1.txt");
    fs::copy_file(DATA + "/bmp/stage/haikei.bmp", partial + "/bmp/stage/haikei.bmp");
    EXPECT_EQ(playIn(partial), 2) << ReadText(root.path + "/out.txt");
    trace = ReadText(root.path + "/trace.jsonl");
    EXPECT_EQ(trace.find("\"ev\":\"dialog\",\"text\":\"Bitmap"), std::string::npos);
    EXPECT_NE(trace.find("\"scene\":\"results\""), std::string::npos);
    EXPECT_FALSE(fs::exists(partial + "/txt/scoretime.txt"));
    EXPECT_NE(ReadText(xdg + "/prismveldt/scoretime.txt"), mineNow);
    after = ReadText(xdg + "/prismveldt/scoretime.txt");

    // A folder that merely has folders of the same names is not the game's:
    // the installed data is used, and the folder is left alone.
    for (const char* name : {"bmp", "se", "txt"}) fs::create_directory(elsewhere + "/" + name);
    EXPECT_EQ(play(""), 2) << ReadText(root.path + "/out.txt");
    EXPECT_NE(ReadText(xdg + "/prismveldt/scoretime.txt"), after);
    for (const char* name : {"bmp", "se", "txt"}) EXPECT_TRUE(fs::is_empty(elsewhere + "/" + name));

    // No folder of the player's own at all: the results still show, the
    // times live as long as the game, and the installed tree is never written.
    auto installed = [&] {
        std::string listing;
        for (auto& entry : fs::recursive_directory_iterator(prefix))
            listing += entry.path().string() + "\n";
        return listing;
    };
    std::string tree = installed();
    int status = Shell("cd '" + elsewhere + "' && env -u HOME -u XDG_DATA_HOME '" + prefix +
                       "/bin/prismveldt-headless' --script ../script.txt --trace ../trace.jsonl"
                       " --max-frames 1260 >../out.txt 2>&1");
    EXPECT_EQ(status, 2);
    std::string out = ReadText(root.path + "/out.txt");
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 1) << out;
    EXPECT_NE(out.find("kept only until the game ends"), std::string::npos) << out;
    trace = ReadText(root.path + "/trace.jsonl");
    EXPECT_NE(trace.find("\"scene\":\"results\""), std::string::npos);
    EXPECT_EQ(installed(), tree);
    EXPECT_EQ(ReadText(prefix + "/share/prismveldt/txt/scoretime.txt"), shippedScores);
}
