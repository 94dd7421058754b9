// What the graphics library asks of the program around it. The library lies
// below the shell and never names it: the shell sets these hooks once at
// start-up (InstallShellHooks, shell/hooks.cpp). Each has a default that is
// safe on its own, for the tools and tests that use the library without the
// shell, and a hook set to nullptr falls back on its default.
#pragma once

// Called after each string the text functions draw (each of an outlined
// caption's five copies counts as one, and PrintText calls it twice) and
// after each box DrawBox draws (gfx/shapes.h; not after a 1 x 1 outline):
// the window's waiting messages are taken there and then. The frame loop
// pumps at the end of every shown frame anyway, which is what keeps the
// window answering; these pumps decide where in a frame the waiting events
// are met. In a frame that draws captions, a close request is asked about
// in the middle of the drawing, before the frame is presented or traced
// (answered Yes, the frame is never shown), and a finished music pass or a
// joystick change is dealt with there too rather than at the frame's end.
// The harness's recorded traces, and the tests that read them, depend on
// that order. The hook may put up a message box, whose lettering opens fonts
// of its own (the text reopens its font after each pump), and need not
// return (a close answered Yes ends the program). Default: nothing.
extern void (*gfxPumpMessages)();

// Called when a picture cannot be loaded, after its error box: ends the
// program the orderly way. It is not to return (if it does, the process
// ends at once with status 1). Default: the process ends at once with
// status 1.
extern void (*gfxEndProgram)();

// Shows the error box of a picture that cannot be loaded, path its file
// (nullptr for none); gfxEndProgram follows. Default (nullptr): the box in
// Japanese, "Bitmapロードエラー:" and the path, captioned "エラー".
extern void (*gfxPictureNotLoaded)(const char* path);

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
