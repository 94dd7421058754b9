// A stage file as the editor reads and writes it: the whole grid or nothing.
// The game itself reads stages leniently (stage.h: a short file keeps the old
// cells), which is right for playing but wrong for editing: a file saved over
// after a lenient read would lose whatever the reader skipped. So the editor
// reads strictly, and says exactly what is wrong with a file it cannot read
// whole; it still shows such a file's cells the way the game would play
// them, so the player can repair it and save it under another name.
//
// The written form is the one the shipped stages use: 40 lines of 200
// numbers, each number followed by one blank except the last of its line,
// each line ended by a line feed. A shipped stage read and written again
// is byte for byte the same file.
#pragma once
#include <string>
#include <vector>

enum {
    STAGE_FILE_OK = 0,      // read whole: 8000 numbers and nothing else
    STAGE_FILE_MISSING,     // nothing at that path: a new, empty stage
    STAGE_FILE_DAMAGED,     // text, but not exactly 8000 numbers
    STAGE_FILE_UNREADABLE   // a folder, a device, no permission, too large
};

// The most a stage file may hold; the shipped ones are about 20 KB.
constexpr size_t STAGE_FILE_MOST_BYTES = 4u << 20;

// Reads the stage file at path into *cells (resized to MAP_CELLS, row by
// row) and returns STAGE_FILE_*. For OK the cells are the file's. For
// MISSING and UNREADABLE they are all 0. For DAMAGED they are what the game
// would play (the lenient reading over an empty grid). *problem (not null)
// says what is wrong, in English, without the path: empty for OK.
int ReadStageCells(const char* path, std::vector<int>* cells, std::string* problem);

// The file's text for cells (MAP_CELLS codes, row by row).
std::string StageText(const std::vector<int>& cells);

// Writes cells to path in one step (a new file beside it, then renamed into
// place): afterwards path holds either the old file or the whole new one.
// False with the reason in *error (not null).
bool WriteStageCells(const char* path, const std::vector<int>& cells, std::string* error);
