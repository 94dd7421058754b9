// Running out of memory: whatever could not be made, the player gets a box
// naming it and the game ends the orderly way, never a crash. A little memory
// is set aside at start-up so that the box itself can still be shown.
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>

#include "platform/platform.h"
#include "shell/phrases.h"
#include "shell/shell.h"

namespace {

constexpr size_t RESERVE_BYTES = 8u << 20;
char* reserve = nullptr;
bool ending = false;
const char* memoryTask = nullptr;  // what is being made right now, for the box

void OnNewFailure()
{
    ExitOutOfMemory(memoryTask);
}

}  // namespace

void PrepareForLowMemory()
{
    if (reserve == nullptr) {
        reserve = static_cast<char*>(std::malloc(RESERVE_BYTES));
        // Touched, so that the pages are really there when they are needed.
        for (size_t i = 0; reserve != nullptr && i < RESERVE_BYTES; i += 4096) reserve[i] = 1;
    }
    std::set_new_handler(OnNewFailure);
}

const char* SetMemoryTask(const char* what)
{
    const char* previous = memoryTask;
    memoryTask = what;
    return previous;
}

void ExitOutOfMemory(const char* what)
{
    std::free(reserve);
    reserve = nullptr;
    std::fprintf(stderr, "Prismveldt: out of memory%s%s\n", what ? " making " : "", what ? what : "");
    if (ending) PlatformExit(1);  // the box itself could not be made
    ending = true;
    std::string text = Said(PHRASE_OUT_OF_MEMORY);
    if (what != nullptr) text += std::string(":") + what;
    PlatformMessageBox(text.c_str(), Said(PHRASE_ERROR_CAPTION), PLATFORM_BOX_OK_ERROR);
    ShutdownAndExit();
}
