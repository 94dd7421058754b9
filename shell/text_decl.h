// The two text-library calls the shell makes (the font every caption starts
// from, and its release at the end).
#pragma once
#if __has_include("gfx/text.h")
#include "gfx/text.h"
#else
void SetFont(int width, int height, const char* face);
void ReleaseFont();
#endif
