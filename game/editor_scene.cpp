// The stage editor's rules: loading, the pointer's and keys' actions on the
// grid and the view, saving, leaving, and test play.
#include "game/editor_scene.h"

#include <algorithm>
#include <cstdio>

#include "game/assets.h"
#include "game/checkpoints.h"
#include "game/play_state.h"
#include "game/scenes.h"
#include "game/stage.h"
#include "game/stage_file.h"
#include "input/input.h"
#include "platform/platform.h"
#include "shell/shell.h"

namespace {

constexpr int KEY_F5 = VK_F1 + 4;
constexpr int PAN_PIXELS = 24;       // the arrows move the view this far on the screen a frame
constexpr int WHEEL_PAN_CELLS = 4;   // Shift and the wheel: cells a notch
constexpr int DRAG_SLACK = 6;        // a right press moved further than this pans
constexpr int KEY_F6 = VK_F1 + 5;
// The proof's slices a frame, and the time they may take on a clock that moves.
constexpr int PROOF_SLICES_PER_FRAME = 100;
constexpr uint32_t PROOF_BUDGET_MS = 6;

void Say(EditorScene& e, const std::string& news)
{
    e.message = news;
    PlatformWriteStdout((news + "\n").c_str());
}

// The world pixels one screen pixel spans at the editor's zoom.
int WorldPerPixel(const EditorScene& e) { return TILE_SIZE / EditorCellSize(e.zoom); }

// The view kept near the stage: at least half the map's part of the screen
// shows the grid.
void ClampView(EditorScene& e)
{
    int k = WorldPerPixel(e);
    int w = EDITOR_MAP_WIDTH * k, h = (EDITOR_SCREEN_HEIGHT - EDITOR_STATUS_HEIGHT) * k;
    e.viewX = std::clamp(e.viewX, -w / 2, std::max(-w / 2, MAP_WIDTH - w / 2));
    e.viewY = std::clamp(e.viewY, -h / 2, std::max(-h / 2, MAP_HEIGHT - h / 2));
}

bool OnMap(int x, int y) { return x >= 0 && x < EDITOR_MAP_WIDTH && y >= 0 && y < EDITOR_SCREEN_HEIGHT - EDITOR_STATUS_HEIGHT; }

// The cell under screen point (x, y); false when it lies outside the grid.
bool CellAt(const EditorScene& e, int x, int y, int* col, int* row)
{
    long long wx = e.viewX + (long long)x * WorldPerPixel(e), wy = e.viewY + (long long)y * WorldPerPixel(e);
    if (wx < 0 || wy < 0 || wx >= MAP_WIDTH || wy >= MAP_HEIGHT) return false;
    *col = (int)(wx / TILE_SIZE);
    *row = (int)(wy / TILE_SIZE);
    return true;
}

// A name beside path that is not taken yet, for saving a file that could not
// be read whole: STEM-repaired.txt, then STEM-repaired-2.txt and on.
std::string FreeNameBeside(const std::string& path)
{
    std::string stem = path;
    size_t slash = stem.find_last_of("/\\");
    size_t dot = stem.find_last_of('.');
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash)) stem.resize(dot);
    for (int n = 1; n < 1000; n++) {
        std::string name = stem + (n == 1 ? "-repaired" : "-repaired-" + std::to_string(n)) + ".txt";
        PlatformFile* file = nullptr;
        uint64_t size = 0;
        int status = PlatformOpenFile(name.c_str(), &file, &size);
        PlatformCloseFile(file);
        if (status == PLATFORM_FILE_MISSING) return name;
    }
    return "";
}

void Load(EditorScene& e)
{
    std::string problem;
    int status = ReadStageCells(e.path.c_str(), &e.cells, &problem);
    e.history = EditHistory{};
    e.savePath = e.path;
    if (status == STAGE_FILE_MISSING) {
        Say(e, "new stage: " + e.path + " does not exist yet; Ctrl+S creates it");
        // A stage never saved is unsaved from the start only once it changes.
    } else if (status != STAGE_FILE_OK) {
        e.savePath = FreeNameBeside(e.path);
        std::string where = e.savePath.empty() ? "saving is off (no free name beside it)"
                                               : "Ctrl+S saves to " + e.savePath + ", never over it";
        Say(e, "stage file " + e.path + " could not be read whole (" + problem + "): " +
                   (status == STAGE_FILE_DAMAGED ? "shown as the game would play it; " : "shown empty; ") + where);
    } else {
        Say(e, "editing " + e.path);
    }
    e.loaded = true;
}

void Save(EditorScene& e)
{
    if (e.savePath.empty()) {
        Say(e, "not saved: there is nowhere safe to save this stage");
        return;
    }
    std::string error;
    if (!WriteStageCells(e.savePath.c_str(), e.cells, &error)) {
        Say(e, "not saved to " + e.savePath + ": " + error);
        return;
    }
    MarkSaved(&e.history);
    Say(e, "saved " + e.savePath);
}

void PaintLine(EditorScene& e, int col, int row, int code)
{
    // A fast drag skips cells between frames: the cells between are painted too.
    int fromCol = e.lastCol < 0 ? col : e.lastCol, fromRow = e.lastRow < 0 ? row : e.lastRow;
    int steps = std::max(std::abs(col - fromCol), std::abs(row - fromRow));
    for (int i = 0; i <= steps; i++) {
        int c = steps ? fromCol + (col - fromCol) * i / steps : col;
        int r = steps ? fromRow + (row - fromRow) * i / steps : row;
        EditCell(&e.history, &e.cells, r * MAP_COLS + c, code);
    }
    e.lastCol = col;
    e.lastRow = row;
}

void FillRect(EditorScene& e, int col0, int row0, int col1, int row1, int code)
{
    for (int r = std::min(row0, row1); r <= std::max(row0, row1); r++)
        for (int c = std::min(col0, col1); c <= std::max(col0, col1); c++)
            EditCell(&e.history, &e.cells, r * MAP_COLS + c, code);
    CloseStep(&e.history);
}

// The cell under the pointer clamped to the grid, for a rectangle's corner
// dragged past the stage's edge.
void ClampedCell(const EditorScene& e, int x, int y, int* col, int* row)
{
    long long wx = e.viewX + (long long)x * WorldPerPixel(e), wy = e.viewY + (long long)y * WorldPerPixel(e);
    *col = (int)std::clamp<long long>(wx / TILE_SIZE - (wx < 0), 0, MAP_COLS - 1);
    *row = (int)std::clamp<long long>(wy / TILE_SIZE - (wy < 0), 0, MAP_ROWS - 1);
}

void ZoomAt(EditorScene& e, int steps, int x, int y)
{
    int zoom = std::clamp(e.zoom + steps, 0, EDITOR_ZOOMS - 1);
    if (zoom == e.zoom) return;
    // The world point under the pointer stays under it.
    long long wx = e.viewX + (long long)x * WorldPerPixel(e), wy = e.viewY + (long long)y * WorldPerPixel(e);
    e.zoom = zoom;
    e.viewX = (int)(wx - (long long)x * WorldPerPixel(e));
    e.viewY = (int)(wy - (long long)y * WorldPerPixel(e));
    ClampView(e);
}

void StepPointer(EditorScene& e, int x, int y, bool left, bool right, bool middle, bool shift)
{
    int col = 0, row = 0;
    bool onCell = OnMap(x, y) && CellAt(e, x, y, &col, &row);
    bool leftPressed = left && !e.leftWas, rightPressed = right && !e.rightWas;
    if (e.drag == EDITOR_DRAG_NONE) {
        int picked = PaletteCodeAt(e.paletteCodes, x, y);
        if (leftPressed && picked >= 0) e.code = picked;
        else if (leftPressed && OnMap(x, y)) {
            e.dragScreenX = x;
            e.dragScreenY = y;
            ClampedCell(e, x, y, &e.dragCol, &e.dragRow);
            e.drag = shift ? EDITOR_DRAG_RECT : EDITOR_DRAG_PAINT;
            e.dragLeft = true;
            e.lastCol = e.lastRow = -1;
        } else if (rightPressed && OnMap(x, y)) {
            e.dragScreenX = e.panFromX = x;
            e.dragScreenY = e.panFromY = y;
            ClampedCell(e, x, y, &e.dragCol, &e.dragRow);
            e.drag = shift ? EDITOR_DRAG_RECT : EDITOR_DRAG_RIGHT;
            e.dragLeft = false;
        }
        if (middle && !e.middleWas && onCell) e.code = e.cells[row * MAP_COLS + col];
    }
    switch (e.drag) {
    case EDITOR_DRAG_PAINT:
        if (onCell) PaintLine(e, col, row, e.code);
        else e.lastCol = e.lastRow = -1;
        if (!left) {
            CloseStep(&e.history);
            e.drag = EDITOR_DRAG_NONE;
        }
        break;
    case EDITOR_DRAG_RECT: {
        // The button that began it ends it: the left fills with the code, the right empties.
        if (!(e.dragLeft ? left : right)) {
            int c, r;
            ClampedCell(e, x, y, &c, &r);
            FillRect(e, e.dragCol, e.dragRow, c, r, e.dragLeft ? e.code : TILE_EMPTY);
            e.drag = EDITOR_DRAG_NONE;
        }
        break;
    }
    case EDITOR_DRAG_RIGHT:
        if (std::abs(x - e.dragScreenX) > DRAG_SLACK || std::abs(y - e.dragScreenY) > DRAG_SLACK) {
            e.drag = EDITOR_DRAG_PAN;
        } else if (!right) {
            if (onCell) {
                EditCell(&e.history, &e.cells, row * MAP_COLS + col, TILE_EMPTY);
                CloseStep(&e.history);
            }
            e.drag = EDITOR_DRAG_NONE;
            break;
        }
        if (e.drag != EDITOR_DRAG_PAN) break;
        [[fallthrough]];
    case EDITOR_DRAG_PAN:
        e.viewX -= (x - e.panFromX) * WorldPerPixel(e);
        e.viewY -= (y - e.panFromY) * WorldPerPixel(e);
        e.panFromX = x;
        e.panFromY = y;
        ClampView(e);
        if (!right) e.drag = EDITOR_DRAG_NONE;
        break;
    default: break;
    }
}

// The keys: the question first when it is up, then the commands, then the view.
void StepKeys(EditorScene& e, int x, int y, bool shift, bool ctrl)
{
    bool escape = IsKeyDown(VK_ESCAPE), z = IsKeyDown('Z'), yKey = IsKeyDown('Y'), s = IsKeyDown('S'),
         f5 = IsKeyDown(KEY_F5), n = IsKeyDown('N'), f6 = IsKeyDown(KEY_F6);
    bool f6Pressed = f6 && !e.f6Was;
    e.f6Was = f6;
    bool escapePressed = escape && !e.escapeWas, zPressed = z && !e.zWas, yPressed = yKey && !e.yWas,
         sPressed = s && !e.sWas, f5Pressed = f5 && !e.f5Was, nPressed = n && !e.nWas;
    e.escapeWas = escape;
    e.zWas = z;
    e.yWas = yKey;
    e.sWas = s;
    e.f5Was = f5;
    e.nWas = n;
    if (e.asking) {
        if (yPressed) e.leave = true;
        else if (sPressed) {
            Save(e);
            e.leave = !UnsavedEdits(e.history);
        } else if (nPressed || escapePressed) e.asking = false;
        return;
    }
    if (e.drag != EDITOR_DRAG_NONE && e.drag != EDITOR_DRAG_PAN) return;  // a stroke is being made
    if (ctrl && zPressed) {
        if (!UndoStep(&e.history, &e.cells)) Say(e, "nothing to undo");
    } else if (ctrl && yPressed) {
        if (!RedoStep(&e.history, &e.cells)) Say(e, "nothing to redo");
    } else if (ctrl && sPressed) {
        Save(e);
    } else if (f6Pressed) {
        if (e.proof.status == PROOF_SEARCHING) {
            e.proof = Proof{};
            Say(e, "proof stopped");
        } else {
            StartProof(&e.proof, e.cells);
            Say(e, e.proof.text);
        }
    } else if (f5Pressed && !shift) {
        e.playFrom = 1;
    } else if (f5Pressed) {
        int col, row;
        if (OnMap(x, y) && CellAt(e, x, y, &col, &row)) {
            // As if the character stood on a one-cell crystal just below the cell.
            CrystalSpan under;
            under.row = row + 1;
            under.firstCol = under.lastCol = col;
            CrystalStandPoint(under, &e.playCamX, &e.playCamY);
            e.playFrom = 2;
        } else Say(e, "Shift+F5 plays from the cell under the pointer: point at the map");
    } else if (escapePressed) {
        if (UnsavedEdits(e.history)) e.asking = true;
        else e.leave = true;
    }
    int k = WorldPerPixel(e);
    if (IsKeyDown(VK_LEFT)) e.viewX -= PAN_PIXELS * k;
    if (IsKeyDown(VK_RIGHT)) e.viewX += PAN_PIXELS * k;
    if (IsKeyDown(VK_UP)) e.viewY -= PAN_PIXELS * k;
    if (IsKeyDown(VK_DOWN)) e.viewY += PAN_PIXELS * k;
    ClampView(e);
}

// The proof goes on a slice; an edit clears it; its end is told and its
// run kept beside the stage.
void StepTheProof(EditorScene& e)
{
    if (e.proof.status == PROOF_NONE) return;
    if (e.proof.cells != e.cells) {
        e.proof = Proof{};
        Say(e, "the edit cleared the proof");
        return;
    }
    if (e.proof.status != PROOF_SEARCHING) return;
    StepProof(&e.proof, PROOF_SLICES_PER_FRAME, PROOF_BUDGET_MS);
    if (e.proof.status == PROOF_SEARCHING) return;
    if (e.proof.status != PROOF_CLEARABLE || e.savePath.empty()) {
        Say(e, e.proof.text);
        return;
    }
    std::string path = ProofRecordingPath(e.savePath), text = FormatRecording(e.proof.recording);
    char reason[256] = "";
    if (PlatformReplaceFile(path.c_str(), text.data(), text.size(), reason, sizeof reason))
        Say(e, e.proof.text + "; the run is kept in " + path);
    else Say(e, e.proof.text + "; the run could not be kept in " + path + ": " + reason);
}

// Every key and button counted as held, so that none held from before acts.
void HoldEverything(EditorScene& e)
{
    e.leftWas = e.rightWas = e.middleWas = true;
    e.escapeWas = e.zWas = e.yWas = e.sWas = e.f5Was = e.nWas = e.f6Was = true;
    e.drag = EDITOR_DRAG_NONE;
}

}  // namespace

std::string ProofRecordingPath(const std::string& stagePath)
{
    std::string stem = stagePath;
    size_t slash = stem.find_last_of("/\\"), dot = stem.find_last_of('.');
    if (dot != std::string::npos && (slash == std::string::npos || dot > slash)) stem.resize(dot);
    return stem + ".proof.replay";
}

int EditorCellSize(int zoom) { return 8 << std::clamp(zoom, 0, EDITOR_ZOOMS - 1); }

const char* TileCodeName(int code)
{
    if (code == TILE_EMPTY) return "EMPTY";
    if (code == TILE_GOAL) return "GOAL";
    if (code == TILE_CHECKPOINT) return "CHECKPOINT";
    if (code == TILE_BEE_NEST) return "BEE NEST";
    if (IsHiveTile(code)) return "HIVE";
    if (IsDeadlyTile(code)) return "DEADLY";
    if (IsSolidTile(code)) return "BLOCK";
    return "SCENERY";
}

int PaletteCodeAt(int codes, int x, int y)
{
    if (x < PALETTE_X || y < PALETTE_Y) return -1;
    int column = (x - PALETTE_X) / PALETTE_COLUMN_WIDTH, row = (y - PALETTE_Y) / PALETTE_ROW_HEIGHT;
    int perColumn = (codes + 1) / 2;
    if (column > 1 || row >= perColumn) return -1;
    int code = column * perColumn + row;
    return code < codes ? code : -1;
}

SceneChange EnterEditor(EditorScene& e, FrameClock& clock)
{
    SetMouseCursor(1);
    if (!e.loaded) {
        Load(e);
        // One entry for empty, one for each whole cell of the tile sheet.
        int sheetCells = imgTiles ? imgTiles->width / (TILE_SIZE * PixelScale()) : 0;
        e.paletteCodes = std::clamp(sheetCells + 1, 1, PALETTE_MOST_CODES);
        // The view opens on the stage's start.
        e.zoom = 1;
        int k = WorldPerPixel(e);
        e.viewX = (int)START_CAM_X + 640 - EDITOR_MAP_WIDTH / 4 * k;
        e.viewY = (int)START_CAM_Y + 360 - (EDITOR_SCREEN_HEIGHT - EDITOR_STATUS_HEIGHT) / 2 * k;
        ClampView(e);
    }
    clock.frameStart = GameTimeMs();
    HoldEverything(e);
    return Stay();
}

void StepEditor(EditorScene& e, const FrameClock&, FrameEnd* end)
{
    int x, y, buttons;
    GetMousePos(&x, &y);
    GetMouseButtons(&buttons);
    bool left = buttons & MOUSE_LEFT, right = buttons & MOUSE_RIGHT, middle = IsKeyDown(VK_MBUTTON);
    bool shift = IsKeyDown(VK_SHIFT), ctrl = IsKeyDown(VK_CONTROL);
    int wheel = PlatformTakeWheelSteps();
    if (!e.asking) {
        StepPointer(e, x, y, left, right, middle, shift);
        if (wheel && shift) {
            e.viewX -= wheel * WHEEL_PAN_CELLS * TILE_SIZE;
            ClampView(e);
        } else if (wheel && OnMap(x, y)) ZoomAt(e, wheel, x, y);
    }
    e.leftWas = left;
    e.rightWas = right;
    e.middleWas = middle;
    StepKeys(e, x, y, shift, ctrl);
    StepTheProof(e);
    SetMouseCursor(1);
    DrawEditor(e);
    char fields[160];
    snprintf(fields, sizeof fields, "\"zoom\":%d,\"viewX\":%d,\"viewY\":%d,\"code\":%d,\"unsaved\":%d,\"steps\":%d,\"asking\":%d,\"proof\":%d",
             e.zoom, e.viewX, e.viewY, e.code, UnsavedEdits(e.history) ? 1 : 0, (int)e.history.done,
             e.asking ? 1 : 0, e.proof.status);
    *end = FrameEnd{FRAME_SHOWN, "editor", SCENE_PLAYING, 0, PlatformTracing() ? fields : ""};
}

SceneChange AfterEditorFrame(EditorScene& e, FrameClock&)
{
    // Closing the window asks about edits not saved, in test play too.
    MarkUnsavedWork(!e.leave && UnsavedEdits(e.history));
    if (e.leave) return EndScenes();
    if (e.playFrom == 0) return Stay();
    PlayScene play;
    play.stage = 0;
    play.testPlay = true;
    play.testClearMs = &e.clearMs;
    if (e.playFrom == 2) {
        play.practiceFromPoint = true;
        play.practiceCamX = e.playCamX;
        play.practiceCamY = e.playCamY;
    }
    e.playFrom = 0;
    e.clearMs = 0;
    // The play scene loads its stage again and again: the editor's grid, as it is.
    PlayStageCells(e.cells.data());
    return Push(Scene{play});
}

SceneChange ResumeEditor(EditorScene& e, int result, FrameClock& clock)
{
    PlayStageCells(nullptr);
    if (result == PLAY_TEST_CLEARED) {
        char news[64];
        snprintf(news, sizeof news, "test play reached the goal in %u.%03u s", e.clearMs / 1000, e.clearMs % 1000);
        Say(e, news);
    } else Say(e, "test play left");
    SetMouseCursor(1);
    clock.frameStart = GameTimeMs();
    HoldEverything(e);
    return Stay();
}
