// Undo and redo of the editor's grid, step by step.
#include "game/edit_history.h"

#include "game/stage.h"

void EditCell(EditHistory* h, std::vector<int>* grid, int cell, int code)
{
    if (cell < 0 || cell >= MAP_CELLS || (size_t)cell >= grid->size()) return;
    int& now = (*grid)[cell];
    if (now == code) return;
    if (h->openAt.size() != (size_t)MAP_CELLS) h->openAt.assign(MAP_CELLS, -1);
    // A cell changed twice in one step keeps its first "before".
    int at = h->openAt[cell];
    if (at >= 0) h->open[at].after = code;
    else {
        h->openAt[cell] = (int)h->open.size();
        h->open.push_back({cell, now, code});
    }
    now = code;
}

void CloseStep(EditHistory* h)
{
    std::vector<CellEdit> step;
    for (const CellEdit& e : h->open) {
        if (e.before != e.after) step.push_back(e);
        h->openAt[e.cell] = -1;
    }
    h->open.clear();
    if (step.empty()) return;
    // The steps undone can no longer be redone; if the saved grid was among
    // them, it is out of reach now.
    h->steps.resize(h->done);
    if (h->savedAt > (long long)h->done) h->savedAt = -1;
    h->steps.push_back(std::move(step));
    h->done++;
}

bool UndoStep(EditHistory* h, std::vector<int>* grid)
{
    CloseStep(h);
    if (h->done == 0) return false;
    const std::vector<CellEdit>& step = h->steps[--h->done];
    for (size_t i = step.size(); i-- > 0;) (*grid)[step[i].cell] = step[i].before;
    return true;
}

bool RedoStep(EditHistory* h, std::vector<int>* grid)
{
    CloseStep(h);
    if (h->done == h->steps.size()) return false;
    for (const CellEdit& e : h->steps[h->done]) (*grid)[e.cell] = e.after;
    h->done++;
    return true;
}

bool UnsavedEdits(const EditHistory& h)
{
    for (const CellEdit& e : h.open)
        if (e.before != e.after) return true;
    return h.savedAt != (long long)h.done;
}

void MarkSaved(EditHistory* h)
{
    CloseStep(h);
    h->savedAt = (long long)h->done;
}
