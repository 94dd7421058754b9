// The stage select: its rows, their pictures and times, and the choice.
#include "game/stage_select_scene.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "audio/audio.h"
#include "game/assets.h"
#include "game/checkpoints.h"
#include "game/menu_draw.h"
#include "game/par_times.h"
#include "game/recording.h"
#include "game/scenes.h"
#include "game/segments.h"
#include "game/stage_pack.h"
#include "game/stage_thumbnail.h"
#include "gfx/blit.h"
#include "gfx/text.h"
#include "input/input.h"
#include "shell/shell.h"

namespace {

const char* const CLICK_SOUND = "./se/se_tavelkorinsu_system24.wav";
constexpr int PICTURE_X = 300;
constexpr int TIMES_X = 760;
// The line under a stage's name that says what choosing it does.
constexpr int CHOICE_X = 76, CHOICE_DY = 62, CHOICE_WIDTH = PICTURE_X - 20 - CHOICE_X, CHOICE_HEIGHT = 36;

void FormatChoice(char* text, size_t size, int practiceFrom)
{
    if (practiceFrom == 0) snprintf(text, size, "< PLAY >");
    else snprintf(text, size, "< PRACTICE FROM CHECKPOINT %d >", practiceFrom);
}
constexpr int SUM_X = 940;
// BACK's row shows the page at TIMES_X: its left half turns back, its right on.
constexpr int PAGE_LINE_WIDTH = 240;  // "< PAGE 12/25 >"

int StagesOnPage(int firstStage) { return std::max(0, std::min(STAGE_SELECT_PAGE_ROWS, StagesInPlay() - firstStage + 1)); }
int PageCount() { return (StagesInPlay() + STAGE_SELECT_PAGE_ROWS - 1) / STAGE_SELECT_PAGE_ROWS; }
int PageOfStage(int stage) { return (std::max(1, std::min(stage, StagesInPlay())) - 1) / STAGE_SELECT_PAGE_ROWS; }

// "BEST 00:14.99"; an empty slot (no run kept) shows dashes.
void FormatBest(char* text, size_t size, int32_t best)
{
    if (best == EMPTY_SLOT_MS) {
        snprintf(text, size, "BEST --:--.--");
        return;
    }
    TimeText t = FormatEntryTime(best);
    snprintf(text, size, "BEST %s%s", t.clock, t.fraction);
}

void DrawStageRow(const StageSelectScene& page, int row)
{
    const MenuLayout& layout = page.menu.layout;
    int top = layout.y + row * layout.rowHeight;
    int stage = page.firstStage + row;
    char label[16];
    snprintf(label, sizeof label, "STAGE %d", stage);
    DrawMenuRow(page.menu, row, label);
    if (page.checkpoints[row] > 0) {
        char choice[48];
        FormatChoice(choice, sizeof choice, page.practiceFrom[row]);
        SetFont(9, 18, "IMPACT");
        Colour colour = page.practiceFrom[row] ? 0x64DCFF : 0xB4B4B4;
        PrintTextOn(backBuffer, CHOICE_X, top + CHOICE_DY + 8, colour, COLOR_NONE, "%s", choice);
        ReleaseFont();
    }
    // A pack's stage is named by its file, as short as the line holds, in
    // letters the font has whatever bytes the name holds.
    if (const StagePack* pack = PackInPlay(); pack && stage <= (int)pack->names.size()) {
        const std::string& file = pack->names[stage - 1];
        std::string name = file.substr(0, file.size() - 4).substr(0, 22);
        for (char& c : name)
            if (c < 0x20 || c > 0x7E) c = '?';
        SetFont(9, 18, "IMPACT");
        PrintTextOn(backBuffer, CHOICE_X, top + CHOICE_DY - 14, 0xB4B4B4, COLOR_NONE, "%s", name.c_str());
        ReleaseFont();
    }
    // The picture, framed in the row's light.
    Colour frame = row == page.menu.selected ? 0xC8FFC8 : 0x505050;
    FillPhysicalBlock(backBuffer, (PICTURE_X - 3) * PixelScale(), (top + 5) * PixelScale(),
                      (THUMBNAIL_WIDTH + 6) * PixelScale(), (THUMBNAIL_HEIGHT + 6) * PixelScale(),
                      PixelFromColour(frame));
    CopySurface(backBuffer, PICTURE_X, top + 8, THUMBNAIL_WIDTH, THUMBNAIL_HEIGHT, page.imgStage[row]);
    char best[112];
    FormatBest(best, sizeof best, page.best[row]);
    DrawMenuValue(page.menu, row, TIMES_X, best);
    // The solver's par is the shipped stages'; a pack's has none to show.
    TimeText par = FormatRunTime(ParTimeMs(stage));
    bool parKnown = PackInPlay() == nullptr;
    SetFont(16, 32, "IMPACT");
    PrintTextOn(backBuffer, TIMES_X, top + 54, 0xB4DCFF, COLOR_NONE, "PAR %s%s", parKnown ? par.clock : "--:--",
                parKnown ? par.fraction : ".--");
    TimeText sum = FormatRunTime(page.sumOfBest[row]);
    bool known = page.sumOfBestKnown[row];
    PrintTextOn(backBuffer, SUM_X, top + 54, 0xFFDC78, COLOR_NONE, "SUM OF BEST %s%s", known ? sum.clock : "--:--",
                known ? sum.fraction : ".--");
    ReleaseFont();
}

// The rows of the page from page.firstStage on: their pictures, checkpoints
// and times; the row left turning what choosing it does plays from the start.
void LoadPageRows(StageSelectScene& page)
{
    for (int r = 0; r < STAGE_SELECT_PAGE_ROWS; r++) {
        DeleteSurface(page.imgStage[r]);
        page.imgStage[r] = nullptr;
        page.practiceFrom[r] = 0;
    }
    for (int r = 0; r < StagesOnPage(page.firstStage); r++) {
        // The picture's making leaves the stage in tileMap: its checkpoints
        // and its sum of best are that file's.
        int stage = page.firstStage + r;
        StageRecords records = RecordsOfStage(stage);
        page.imgStage[r] = MakeStageThumbnail(stage);
        page.checkpoints[r] = std::min((int)StageCrystals().size(), STAGE_SELECT_MAX_CHECKPOINTS);
        page.sumOfBestKnown[r] = SumOfBest(StandingSegments(records.scorePath), StageHash(), &page.sumOfBest[r]);
        page.best[r] = StandingBestTimes(records.scorePath, records.session).table.times[records.row - 1][0];
    }
}

// "< PAGE 2/3 >" on BACK's row, when the stages fill more than one page.
void DrawPageLine(const StageSelectScene& page, int row)
{
    if (PageCount() <= 1) return;
    char line[32];
    snprintf(line, sizeof line, "< PAGE %d/%d >", PageOfStage(page.firstStage) + 1, PageCount());
    DrawMenuValue(page.menu, row, TIMES_X, line);
}

}  // namespace

int StageChosen(int result)
{
    int stages = StagesInPlay();
    if (result >= STAGE_SELECT_FIRST_PRACTICE)
        return result < STAGE_SELECT_FIRST_PRACTICE + stages * STAGE_SELECT_MAX_CHECKPOINTS
                   ? (result - STAGE_SELECT_FIRST_PRACTICE) / STAGE_SELECT_MAX_CHECKPOINTS + 1
                   : 0;
    int stage = result - STAGE_SELECT_FIRST_STAGE + 1;
    return stage >= 1 && stage <= stages ? stage : 0;
}

int PracticeCheckpointChosen(int result)
{
    if (result < STAGE_SELECT_FIRST_PRACTICE || StageChosen(result) == 0) return 0;
    return (result - STAGE_SELECT_FIRST_PRACTICE) % STAGE_SELECT_MAX_CHECKPOINTS + 1;
}

int PracticeArrowAt(int row, int x, int y)
{
    MenuLayout layout = StageSelectLayout();
    int top = layout.y + row * layout.rowHeight + CHOICE_DY;
    if (row < 0 || row >= STAGE_SELECT_PAGE_ROWS || y < top || y >= top + CHOICE_HEIGHT) return 0;
    if (x < CHOICE_X || x >= CHOICE_X + CHOICE_WIDTH) return 0;
    return x < CHOICE_X + CHOICE_WIDTH / 2 ? -1 : 1;
}

MenuLayout StageSelectLayout(int firstStage)
{
    // Rows as tall as a picture and its frame, under the heading; BACK last.
    return MenuLayout{60, 132, 1160, 112, StagesOnPage(firstStage) + 1, 48};  // x, y, width, row height, rows, letters
}

int PageArrowAt(const MenuLayout& layout, int x, int y)
{
    int back = layout.rows - 1;
    if (PageCount() <= 1 || MenuRowAt(layout, x, y) != back) return 0;
    if (x < TIMES_X || x >= TIMES_X + PAGE_LINE_WIDTH) return 0;
    return x < TIMES_X + PAGE_LINE_WIDTH / 2 ? -1 : 1;
}

SceneChange EnterStageSelect(StageSelectScene& page, FrameClock&)
{
    page.firstStage = PageOfStage(page.firstStage) * STAGE_SELECT_PAGE_ROWS + 1;
    page.menu = StartMenu(StageSelectLayout(page.firstStage));
    page.imgSky = DarkenedNightSky();
    LoadPageRows(page);
    return Stay();
}

void StepStageSelect(StageSelectScene& page, const FrameClock&, FrameEnd* end)
{
    SetMouseCursor(1);
    CopySurface(backBuffer, 0, 0, 1280, 720, page.imgSky);
    MenuInput in = ReadMenuInput(page.menu);
    int action = StepMenu(&page.menu, in);
    int row = page.menu.selected;
    page.result = 0;
    // A click on a stage's choice line turns it instead of choosing the stage.
    int stages = StagesOnPage(page.firstStage);
    int turn = action == MENU_LESS ? -1 : action == MENU_MORE ? 1 : 0;
    if (action == MENU_CHOSEN && !in.accept && row < stages && PracticeArrowAt(row, in.mouseX, in.mouseY) != 0) {
        turn = PracticeArrowAt(row, in.mouseX, in.mouseY);
        action = MENU_NONE;
    }
    // So does a click on BACK's page line, and left and right on BACK's row
    // turn the page.
    page.turn = 0;
    if (action == MENU_CHOSEN && !in.accept && PageArrowAt(page.menu.layout, in.mouseX, in.mouseY) != 0) {
        page.turn = PageArrowAt(page.menu.layout, in.mouseX, in.mouseY);
        action = MENU_NONE;
    }
    if (turn != 0 && row == stages && PageCount() > 1) page.turn = turn;
    if (turn != 0 && row < stages && page.checkpoints[row] > 0) {
        int choices = page.checkpoints[row] + 1;
        page.practiceFrom[row] = (page.practiceFrom[row] + turn + choices) % choices;
    }
    int stage = page.firstStage + row;
    if (action == MENU_BACK || (action == MENU_CHOSEN && row == stages)) page.result = STAGE_SELECT_BACK;
    else if (action == MENU_CHOSEN && page.practiceFrom[row] > 0)
        page.result = STAGE_SELECT_FIRST_PRACTICE + (stage - 1) * STAGE_SELECT_MAX_CHECKPOINTS + page.practiceFrom[row] - 1;
    else if (action == MENU_CHOSEN) page.result = STAGE_SELECT_FIRST_STAGE + stage - 1;
    if (page.result || page.turn) PlaySoundEffect(CLICK_SOUND);
    DrawMenuHeading(470, 0, "STAGES");
    for (int r = 0; r < stages; r++) DrawStageRow(page, r);
    DrawMenuRow(page.menu, stages, "BACK");
    DrawPageLine(page, stages);
    // The page shown is traced by its first stage (the shipped game has one).
    std::string fields = PageCount() > 1 ? "\"firstStage\":" + std::to_string(page.firstStage) : "";
    *end = FrameEnd{page.result ? FRAME_TRACED : FRAME_SHOWN, "stage-select", SCENE_PLAYING, 0, fields};
}

SceneChange AfterStageSelectFrame(StageSelectScene& page, FrameClock&)
{
    if (page.turn != 0 && !page.result) {
        // The next page (round from the last to the first), BACK's row
        // still selected there so that the same key turns on.
        int pages = PageCount();
        int next = (PageOfStage(page.firstStage) + page.turn + pages) % pages;
        page.firstStage = next * STAGE_SELECT_PAGE_ROWS + 1;
        page.menu.layout = StageSelectLayout(page.firstStage);
        page.menu.selected = page.menu.layout.rows - 1;
        page.menu.pressedRow = -1;
        LoadPageRows(page);
        return Stay();
    }
    if (!page.result) return Stay();
    DeleteSurface(page.imgSky);
    page.imgSky = nullptr;
    for (Surface& picture : page.imgStage) {
        DeleteSurface(picture);
        picture = nullptr;
    }
    SetMouseCursor(0);
    return Pop(page.result);
}
