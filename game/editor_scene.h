// The stage editor: one stage file on a map that pans and zooms (1/8, 1/4,
// 1/2, 1), drawn with the game's tile pictures, beside a palette of every
// tile code with its picture and name. The left button paints the chosen
// code, the right erases (a right drag pans instead), Shift with a drag fills
// a rectangle (left: the code, right: empty), the middle button picks the
// code under the pointer. Ctrl+Z and Ctrl+Y undo and redo, for the whole
// session; Ctrl+S saves in one step. F5 plays the stage from its start,
// Shift+F5 from the cell under the pointer as if a checkpoint had been
// passed there; Escape in play comes back with the view as it was. F6 proves
// the stage clearable (editor_prove.h) while the editor goes on; any edit
// clears the proof. Escape leaves, asking first when there are unsaved
// changes.
//
// A file that cannot be read whole is never written over: it shows the
// cells the game would play, and saving goes to a new file beside it.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "game/edit_history.h"
#include "game/editor_prove.h"
#include "game/scene_frame.h"

struct SceneChange;

// The map's part of the screen; the palette is to its right.
constexpr int EDITOR_MAP_WIDTH = 980;
constexpr int EDITOR_SCREEN_HEIGHT = 720;
constexpr int EDITOR_STATUS_HEIGHT = 42;  // the lines along the map's foot
constexpr int EDITOR_ZOOMS = 4;           // 1/8, 1/4, 1/2, 1
// The palette: two columns of rows, each a picture and the code's name.
constexpr int PALETTE_X = EDITOR_MAP_WIDTH + 8;
constexpr int PALETTE_Y = 52;
constexpr int PALETTE_COLUMN_WIDTH = 144;
constexpr int PALETTE_ROW_HEIGHT = 26;
constexpr int PALETTE_MOST_CODES = 52;

// Pixels a cell takes on the screen at zoom (0..3).
int EditorCellSize(int zoom);
// The name the palette gives a code, from what it is to the character.
const char* TileCodeName(int code);
// The code of the palette's entry at screen point (x, y), -1 for none; codes
// 0 .. codes-1 are shown.
int PaletteCodeAt(int codes, int x, int y);

enum {
    EDITOR_DRAG_NONE,
    EDITOR_DRAG_PAINT,     // the left button paints as it goes
    EDITOR_DRAG_RECT,      // Shift: a rectangle, filled when the button is let go
    EDITOR_DRAG_RIGHT,     // the right button: an erase, or a pan once it moves
    EDITOR_DRAG_PAN
};

struct EditorScene {
    std::string path;      // the file edited, as given
    std::string savePath;  // where Ctrl+S writes: path, or a new name beside a damaged file
    std::vector<int> cells;  // MAP_CELLS codes, row by row
    EditHistory history;
    bool loaded = false;
    int code = 1;          // the palette's choice
    int paletteCodes = 1;  // codes the palette shows: 0 and one for each cell of the tile sheet
    // The view: the world point at the map's top left corner, and the zoom.
    int viewX = 0, viewY = 0;
    int zoom = 1;
    // The button held and what it does, where it began (cell and screen).
    int drag = EDITOR_DRAG_NONE;
    bool dragLeft = false;  // the left button began it (a rectangle fills; by the right it empties)
    int dragCol = 0, dragRow = 0, dragScreenX = 0, dragScreenY = 0;
    int lastCol = -1, lastRow = -1;   // the paint's last cell
    int panFromX = 0, panFromY = 0;   // the pointer where the pan last was
    // Last frame's keys and buttons, for presses.
    bool leftWas = true, rightWas = true, middleWas = true;
    bool escapeWas = true, zWas = true, yWas = true, sWas = true, f5Was = true, nWas = true, f6Was = true;
    bool asking = false;   // "leave without saving?" is up
    bool leave = false;    // this frame's: the editor ends after it
    int playFrom = 0;      // this frame's: 1 test play from the start, 2 from the pointer
    int playCamX = 0, playCamY = 0;
    uint32_t clearMs = 0;  // a test play's time to the goal
    std::string message;   // the status line's news
    Proof proof;
};

SceneChange EnterEditor(EditorScene& editor, FrameClock& clock);
void StepEditor(EditorScene& editor, const FrameClock& clock, FrameEnd* end);
SceneChange AfterEditorFrame(EditorScene& editor, FrameClock& clock);
// Back from a test play (PLAY_TEST_*).
SceneChange ResumeEditor(EditorScene& editor, int result, FrameClock& clock);
// Where a proof's run is kept: beside the stage's file, NAME.proof.replay.
std::string ProofRecordingPath(const std::string& stagePath);
// The editor's picture of itself, into backBuffer.
void DrawEditor(const EditorScene& editor);
