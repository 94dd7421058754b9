// Text: the one current font, and the printf-style calls that draw a line or a
// word-wrapped box of UTF-8 text with it onto a surface, in logical pixels
// (x the pixel scale), clipped to the surface. The font stays current until
// it is replaced or released, so whoever draws captions sets it before them.
// Each of these calls pumps the window's messages when it is done
// (gfxPumpMessages, gfx/hooks.h), whether or not it drew anything.
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
// The font the next text call draws with; nullptr when none, and then that
// call first sets 8 x 16 "ＭＳ 明朝" (when no face at all is found, nothing is
// drawn).
extern Font currentFont;

// The picture PrintText draws on and shows, kept at the logical screen's
// physical size (made again, black, when that changes); nullptr until
// PrintText first draws. Only PrintText draws on it; the frames that
// PresentSurface shows do not pass through it. Its record and pixels are the
// text's own: never DeleteSurface it.
extern Surface screenSurface;

// Replaces the current font with faceName (cut at a character boundary to
// fit FONT_FACE_CAPACITY) at width x height logical pixels, width first,
// height second; the size is scaled by the display mode as it is now, so set
// the mode first. When the platform finds no face at all, no font is current
// afterwards.
void SetFont(int width, int height, const char* faceName);
// Drops the current font, if any; nothing is freed (the one font record is
// the text's own).
void ReleaseFont();

// Formats the text (printf's rules, cut to TEXT_BUFFER_SIZE - 1 bytes) and
// draws it as one line with its cell's top-left at (x, y), in textColour
// over backColour (COLOR_NONE: the glyphs only). Nothing is drawn for no
// surface or an empty text.
void PrintTextOn(Surface surface, int x, int y, Colour textColour, Colour backColour,
                 const char* format, ...) __attribute__((format(printf, 6, 7)));
// Formats as PrintTextOn does and draws the text broken into lines to the
// box's width w, one cell height per line from y down: paragraphs at CR, LF
// or CR LF; a line ends after the last whole word that fits (the spaces at
// the break dropped), or before or after any wide (Far East) character,
// never before closing punctuation; a word wider than the box breaks after
// its last character that fits. h is not used: lines may run below the box.
// Nothing is drawn for no surface.
void PrintTextBox(Surface surface, int x, int y, int w, int h, Colour textColour,
                  Colour backColour, const char* format, ...)
    __attribute__((format(printf, 8, 9)));
// One line onto screenSurface, over black cells, at (x, y); then shows the
// whole of screenSurface in the window at once (past the back buffer, which
// the next PresentSurface shows over it) and pumps messages twice.
void PrintText(int x, int y, Colour textColour, const char* format, ...)
    __attribute__((format(printf, 4, 5)));
// A caption: four copies in the outline colour at (x + 2, y - 2),
// (x - 2, y + 2), (x - 2, y - 2), (x + 2, y + 2), then the text in the fill
// colour at (x, y), all on a transparent background, formatted once as
// PrintTextOn formats. Messages are pumped after each of the five copies.
void PrintOutlined(Surface surface, int x, int y, Colour outlineColour, Colour fillColour,
                   const char* format, ...) __attribute__((format(printf, 6, 7)));

// For lettering drawn outside the game's font state (the message boxes the
// backends draw themselves): UTF-8 text in the given face and physical size
// on any surface, at physical coordinates, without touching currentFont or
// pumping messages. They need no window and work whatever the locale. A null
// text draws nothing and measures as empty; one longer than a mebibyte is
// cut there. They open the face in the platform's glyph source, which
// makes any glyph font handle held from before stale (the calls above
// reopen the current font each time they draw).
// The size of one line of text: its advance width and cell height.
void MeasureTextWithFace(const char* faceName, int width, int height, const char* text,
                         int* textWidth, int* textHeight);
void DrawTextWithFace(Surface surface, int x, int y, Colour textColour, Colour backColour,
                      const char* faceName, int width, int height, const char* text);
// Text broken to boxWidth as PrintTextBox breaks it; returns the number of
// lines (0 for a null text). A null surface only counts them, for sizing a
// box.
int DrawTextBoxWithFace(Surface surface, int x, int y, int boxWidth, Colour textColour,
                        Colour backColour, const char* faceName, int width, int height,
                        const char* text);
