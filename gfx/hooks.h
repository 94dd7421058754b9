// What the graphics library asks of the program around it. The library lies
// below the shell and never names it: the shell sets these hooks once at
// start-up (InstallShellHooks, shell/hooks.cpp). Each has a default that is
// safe on its own, for the tools and tests that use the library without the
// shell, and a hook set to nullptr falls back on its default.
#pragma once

// Called after each string the text functions draw (each copy of an
// outlined caption counts as one) and after each box DrawBox draws: lets the
// window handle its messages between them, as the game always has.
// Default: nothing.
extern void (*gfxPumpMessages)();

// Called when a picture cannot be loaded, after its error box: ends the
// program the orderly way. It is not to return (if it does, the process
// ends at once with status 1). Default: the process ends at once with
// status 1.
extern void (*gfxEndProgram)();

// Called when a surface cannot be made for want of memory, with what it was
// (a picture's path or "WxHの画像"): reports it and ends the program. It is
// not to return (if it does, the process ends at once with status 1).
// Default: a line on standard error, then the end with status 1.
extern void (*gfxExitOutOfMemory)(const char* what);

// Called around everything large the library makes (a picture from a file,
// a surface): names it, for whatever reports a failed allocation, and
// returns the previous name for the caller to put back. The names are the
// caller's strings, borrowed until they are replaced. Default: the name is
// only kept.
extern const char* (*gfxSetMemoryTask)(const char* what);

// The library's own ways of calling them: nullptr-safe, and never returning
// where the hook is not to.
void GfxPumpMessages();
[[noreturn]] void GfxEndProgram();
[[noreturn]] void GfxExitOutOfMemory(const char* what);
const char* GfxSetMemoryTask(const char* what);
