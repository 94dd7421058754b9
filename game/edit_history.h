// The editor's undo and redo: every change to the grid made through here is
// kept for the whole session, grouped into steps (one stroke of the brush,
// one filled rectangle), so that undo takes back a whole step and redo puts
// it back. A new step after some undos drops the steps undone.
//
// Plain functions over a history and the grid they change (MAP_CELLS codes,
// row by row); nothing else is read, so the rules are tested alone.
#pragma once
#include <cstddef>
#include <vector>

struct CellEdit {
    int cell;    // row * MAP_COLS + col
    int before;
    int after;
};

struct EditHistory {
    std::vector<std::vector<CellEdit>> steps;
    size_t done = 0;           // steps[0 .. done) are in the grid
    std::vector<CellEdit> open;  // the step being made, not yet closed
    std::vector<int> openAt;   // for each cell, its edit's index in open, or -1
    // done as it was when the grid was last saved (or loaded); -1 when that
    // grid can no longer be reached by undo or redo.
    long long savedAt = 0;
};

// Sets cell (0 .. MAP_CELLS-1; others are let be) of grid to code now, as
// part of the open step. Setting a cell to what it holds changes nothing.
void EditCell(EditHistory* history, std::vector<int>* grid, int cell, int code);
// Closes the open step: it becomes the last step done, unless it changed
// nothing in the end. Harmless with no open step.
void CloseStep(EditHistory* history);
// Takes back the last step done (closing the open one first); false when
// there is none.
bool UndoStep(EditHistory* history, std::vector<int>* grid);
// Puts back the last step undone; false when there is none.
bool RedoStep(EditHistory* history, std::vector<int>* grid);
// Whether the grid differs from the one last saved, as far as the history
// knows (a step that is still open counts when it changed something).
bool UnsavedEdits(const EditHistory& history);
// The grid as it is now is the saved one.
void MarkSaved(EditHistory* history);
