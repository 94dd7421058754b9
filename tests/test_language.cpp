// The game's words in the player's language, through the harness: Japanese
// unless the harness is told the system speaks English (--lang en); a
// language chosen in the settings file or on the settings page wins over
// the system's; the boxes, their captions and the stage's missing-file line
// all follow.
#include "tests/test_wholegame_harness.h"

#include "platform/posix/locale.h"
#include "platform/platform.h"

namespace {

using Language = HarnessTest;

struct Box {
    std::string text, caption;
};

std::vector<Box> Boxes(const GameRun& run)
{
    std::vector<Box> boxes;
    for (const Event* e : run.Dialogs()) boxes.push_back({e->text, e->caption});
    return boxes;
}

// The start-up question answered No, then a close request answered Yes.
const std::string ASKED_AND_CLOSED = "dialog no\ndialog yes\n20 close\n";

}  // namespace

TEST_F(Language, TheHarnessSpeaksJapaneseUnlessToldTheSystemSpeaksEnglish)
{
    GameRun run = Play(ASKED_AND_CLOSED, 100);
    std::vector<Box> boxes = Boxes(run);
    ASSERT_EQ(boxes.size(), 2u) << run.output;
    EXPECT_EQ(boxes[0].text, "フルスクリーンにしますか？");
    EXPECT_EQ(boxes[0].caption, "確認");
    EXPECT_EQ(boxes[1].text, "本当に終了しますか？");
    EXPECT_EQ(boxes[1].caption, "終了確認です");

    run = RunGame(folder, ASKED_AND_CLOSED, 100, "", "--lang ja");
    EXPECT_EQ(Boxes(run).at(0).text, "フルスクリーンにしますか？");

    run = RunGame(folder, ASKED_AND_CLOSED, 100, "", "--lang en");
    boxes = Boxes(run);
    ASSERT_EQ(boxes.size(), 2u) << run.output;
    EXPECT_EQ(boxes[0].text, "Play in full screen?");
    EXPECT_EQ(boxes[0].caption, "Confirm");
    EXPECT_EQ(boxes[1].text, "Do you really want to quit?");
    EXPECT_EQ(boxes[1].caption, "Quit");

    // Any other --lang is a bad command line.
    run = RunGame(folder, ASKED_AND_CLOSED, 100, "", "--lang fr");
    EXPECT_EQ(run.status, 64);
    EXPECT_NE(run.output.find("--lang takes en or ja"), std::string::npos) << run.output;
}

TEST_F(Language, ALanguageChosenInTheSettingsWinsOverTheSystems)
{
    const std::string file = folder + "/settings.ini";
    std::ofstream(file) << "language = japanese\n";
    GameRun run = RunGame(folder, ASKED_AND_CLOSED, 100, "", "--lang en --settings '" + file + "'");
    EXPECT_EQ(Boxes(run).at(0).text, "フルスクリーンにしますか？");
    std::ofstream(file) << "language = english\n";
    run = RunGame(folder, ASKED_AND_CLOSED, 100, "", "--settings '" + file + "'");
    EXPECT_EQ(Boxes(run).at(0).text, "Play in full screen?");
    std::ofstream(file) << "language = system\n";
    run = RunGame(folder, ASKED_AND_CLOSED, 100, "", "--lang en --settings '" + file + "'");
    EXPECT_EQ(Boxes(run).at(0).text, "Play in full screen?");

    // Chosen on the settings page (up four times from the first row
    // reaches LANGUAGE, right steps SYSTEM to ENGLISH), it is kept, and the
    // quit question of the same session already asks in English.
    fs::remove(file);
    run = RunGame(folder,
                  "dialog no\ndialog yes\n0 mouse 1150 40\n5 mouse 1151 41\n10 down lmb\n11 up lmb\n"
                  "20 down up\n21 up up\n26 down up\n27 up up\n30 down up\n31 up up\n32 down up\n33 up up\n"
                  "34 down right\n35 up right\n40 down esc\n41 up esc\n60 close\n",
                  100, "", "--settings '" + file + "'");
    std::vector<Box> boxes = Boxes(run);
    ASSERT_EQ(boxes.size(), 2u) << run.output;
    EXPECT_EQ(boxes[0].text, "フルスクリーンにしますか？");
    EXPECT_EQ(boxes[1].text, "Do you really want to quit?");
    std::ifstream in(file);
    std::stringstream saved;
    saved << in.rdbuf();
    EXPECT_NE(saved.str().find("language = english"), std::string::npos) << saved.str();
}

TEST_F(Language, AMissingStageFileSaysSoInThePlayersLanguage)
{
    fs::remove(folder + "/txt/dw_stage1.txt");
    GameRun run = RunGame(folder, "0 mouse 300 580\n3 down lmb\n", 400);
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.output.find("ファイルオープンエラー"), std::string::npos) << run.output;
    run = RunGame(folder, "0 mouse 300 580\n3 down lmb\n", 400, "", "--lang en");
    EXPECT_EQ(run.status, 0);
    EXPECT_NE(run.output.find("Cannot open the stage file"), std::string::npos) << run.output;
}

TEST(LocaleLanguage, OnlyAJapaneseLocaleAsksForJapanese)
{
    EXPECT_EQ(LanguageOfLocale(nullptr, nullptr, "ja_JP.UTF-8"), PLATFORM_LANGUAGE_JAPANESE);
    EXPECT_EQ(LanguageOfLocale(nullptr, nullptr, "ja"), PLATFORM_LANGUAGE_JAPANESE);
    EXPECT_EQ(LanguageOfLocale(nullptr, nullptr, "ja.SJIS"), PLATFORM_LANGUAGE_JAPANESE);
    EXPECT_EQ(LanguageOfLocale(nullptr, nullptr, "en_US.UTF-8"), PLATFORM_LANGUAGE_ENGLISH);
    EXPECT_EQ(LanguageOfLocale(nullptr, nullptr, "jv_ID"), PLATFORM_LANGUAGE_ENGLISH);
    EXPECT_EQ(LanguageOfLocale(nullptr, nullptr, "j"), PLATFORM_LANGUAGE_ENGLISH);
    EXPECT_EQ(LanguageOfLocale("POSIX", "ja_JP", "ja_JP"), PLATFORM_LANGUAGE_ENGLISH);
    EXPECT_EQ(LanguageOfLocale("", "ja_JP", "en_US"), PLATFORM_LANGUAGE_JAPANESE);
    EXPECT_EQ(LanguageOfLocale("", "", ""), PLATFORM_LANGUAGE_ENGLISH);
}
