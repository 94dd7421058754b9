// Text: the one current font, and the printf-style calls that draw a line or a
// word-wrapped box of text with it onto a surface. Scenes pick a font, draw a
// group of captions and release the font again, every frame.
#pragma once
#include "gfx/surface.h"

// As a text background: draw the glyphs only. Any other value, black included,
// fills the text's cells first.
constexpr Colour COLOR_NONE = 0xFFFFFFFF;
// Each call formats its text into a buffer of this many bytes; longer output
// is cut to TEXT_BUFFER_SIZE - 1 bytes.
constexpr int TEXT_BUFFER_SIZE = 2048;
constexpr int FONT_FACE_CAPACITY = 64;

// A font as created: its size in physical pixels (already doubled in the
// doubled display mode) and its face name, cut to fit.
struct FontData {
    int width;
    int height;
    char faceName[FONT_FACE_CAPACITY];
};
typedef FontData* Font;
// The font the next text call draws with; nullptr when none.
extern Font currentFont;

// What the window shows, kept at its physical size; nullptr until PrintText
// first draws. Only PrintText draws on it, and shows it at once; the frames
// that PresentSurface shows do not pass through it.
extern Surface screenSurface;

// Called by the scenes before a group of captions, and by SetDisplayMode
// (8, 16, "ＭＳ 明朝"); replaces the current font (width first, height second).
void SetFont(int width, int height, const char* faceName);
// Called by the scenes after their last caption of a frame and by
// ShutdownAndExit; drops the current font, if any.
void ReleaseFont();

// Called by the scenes; one line of text with its cell's top-left at (x, y).
void PrintTextOn(Surface surface, int x, int y, Colour textColour, Colour backColour,
                 const char* format, ...) __attribute__((format(printf, 6, 7)));
// No caller in the game; text broken at word boundaries to the width of the
// box (x, y, w, h); lines may run below it.
void PrintTextBox(Surface surface, int x, int y, int w, int h, Colour textColour,
                  Colour backColour, const char* format, ...)
    __attribute__((format(printf, 8, 9)));
// No caller in the game; one line straight onto the window, on black.
void PrintText(int x, int y, Colour textColour, const char* format, ...)
    __attribute__((format(printf, 4, 5)));
// Called by the scenes for every caption: four copies in the outline colour
// at (x + 2, y - 2), (x - 2, y + 2), (x - 2, y - 2), (x + 2, y + 2), then the
// text in the fill colour at (x, y), all on a transparent background.
void PrintOutlined(Surface surface, int x, int y, Colour outlineColour, Colour fillColour,
                   const char* format, ...) __attribute__((format(printf, 6, 7)));

// Called by the desktop backend's message boxes, which draw outside the game's
// font state: UTF-8 text in the given face and physical size on any surface,
// at physical coordinates, without touching currentFont or pumping messages.
// They need no window and work whatever the locale.
// The size of one line of text: its advance width and cell height.
void MeasureTextWithFace(const char* faceName, int width, int height, const char* text,
                         int* textWidth, int* textHeight);
void DrawTextWithFace(Surface surface, int x, int y, Colour textColour, Colour backColour,
                      const char* faceName, int width, int height, const char* text);
// Text broken to boxWidth as PrintTextBox breaks it; returns the number of
// lines. A null surface only counts them, for sizing a box.
int DrawTextBoxWithFace(Surface surface, int x, int y, int boxWidth, Colour textColour,
                        Colour backColour, const char* faceName, int width, int height,
                        const char* text);
