// Reading a stage file whole and strictly, and writing one in one step.
#include "game/stage_file.h"

#include <climits>
#include <cstdio>

#include "game/stage.h"
#include "gfx/whole_file.h"
#include "platform/platform.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// The first thing that stops the text from being MAP_CELLS numbers and
// nothing else, or "" when it is exactly that.
std::string StrictProblem(const std::string& text)
{
    size_t i = 0, count = 0;
    int line = 1;
    while (true) {
        while (i < text.size() && IsBlank(text[i])) {
            if (text[i] == '\n') line++;
            i++;
        }
        if (i == text.size()) break;
        if (text[i] == '-' || text[i] == '+') i++;
        size_t digits = i;
        long long value = 0;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9' && value <= INT_MAX)
            value = value * 10 + (text[i++] - '0');
        if (value > INT_MAX) {
            char why[96];
            snprintf(why, sizeof why, "line %d: a number too large for a tile code", line);
            return why;
        }
        bool number = i > digits && (i == text.size() || IsBlank(text[i]));
        if (!number) {
            char why[96];
            snprintf(why, sizeof why, "line %d: something that is not a tile code", line);
            return why;
        }
        count++;
    }
    if (count != (size_t)MAP_CELLS) {
        char why[96];
        snprintf(why, sizeof why, "it holds %zu numbers, not %d", count, MAP_CELLS);
        return why;
    }
    return "";
}

}  // namespace

int ReadStageCells(const char* path, std::vector<int>* cells, std::string* problem)
{
    cells->assign(MAP_CELLS, 0);
    problem->clear();
    std::string text;
    int read = ReadWholeFile(path, STAGE_FILE_MOST_BYTES, &text);
    if (read == WHOLE_FILE_MISSING) return STAGE_FILE_MISSING;
    if (read != WHOLE_FILE_OK) {
        *problem = read == WHOLE_FILE_NOT_REGULAR   ? "it is not a regular file"
                   : read == WHOLE_FILE_UNREADABLE  ? "it may not be read"
                   : read == WHOLE_FILE_TOO_LARGE ||
                           read == WHOLE_FILE_OVERRAN ? "it is larger than any stage file (4 MiB)"
                                                      : "reading it failed";
        return STAGE_FILE_UNREADABLE;
    }
    *problem = StrictProblem(text);
    // Either way the cells are the game's reading; a whole file reads the same.
    ParseStageNumbers(text.data(), text.size(), cells->data());
    return problem->empty() ? STAGE_FILE_OK : STAGE_FILE_DAMAGED;
}

std::string StageText(const std::vector<int>& cells)
{
    std::string text;
    text.reserve(MAP_CELLS * 4);
    char number[16];
    for (int row = 0; row < MAP_ROWS; row++) {
        for (int col = 0; col < MAP_COLS; col++) {
            int n = snprintf(number, sizeof number, "%d", cells[(size_t)row * MAP_COLS + col]);
            text.append(number, n);
            text += col + 1 < MAP_COLS ? ' ' : '\n';
        }
    }
    return text;
}

bool WriteStageCells(const char* path, const std::vector<int>& cells, std::string* error)
{
    if (cells.size() != (size_t)MAP_CELLS) {
        *error = "the grid is not 200 x 40";
        return false;
    }
    std::string text = StageText(cells);
    char reason[256] = "";
    if (!PlatformReplaceFile(path, text.data(), text.size(), reason, sizeof reason)) {
        *error = reason[0] ? reason : "it could not be written";
        return false;
    }
    error->clear();
    return true;
}
