// Showing the game's picture in a window of any size: where the picture goes
// (as large as fits, its shape kept, centred, black bars around it), how it is
// filtered on the way, how a window is sized for the desktop, and where the
// pointer is over the picture. Plain arithmetic on 0x00RRGGBB pixel buffers,
// shared by the desktop backends (SDL and Windows): nothing to set up, and no
// memory handed out; buffers stay the caller's. All of it may be called from
// any thread but DrawPicture, which keeps its tables between calls and so is
// for one thread at a time.
#pragma once
#include <cstdint>

// The picture's place in the output, in output pixels.
struct PictureRect {
    int x, y, width, height;
};

enum ScaleFilter {
    SCALE_NEAREST,  // every output pixel takes the picture pixel it falls on
    SCALE_SHARP,    // sharp bilinear: blocks of whole pixels, a one-pixel blend between them
    SCALE_SMOOTH    // bilinear
};

// The player's choice, from SDL_RENDER_SCALE_QUALITY ("nearest" / "0",
// "linear" / "1"); anything else, or nothing, is SCALE_CHOICE_AUTO.
enum ScaleChoice {
    SCALE_CHOICE_AUTO,
    SCALE_CHOICE_NEAREST,
    SCALE_CHOICE_SMOOTH
};

// The largest rectangle of the picture's shape that fits an output of
// outputWidth x outputHeight, centred (at least 1 x 1, an output of exactly
// the picture's shape filled exactly). Empty (0, 0, 0, 0) when any of the
// four sizes is not positive.
PictureRect FitPicture(int pictureWidth, int pictureHeight, int outputWidth, int outputHeight);

// How to scale the picture into rect. The player's choice of nearest or
// smooth wins; by default (SCALE_CHOICE_AUTO) a whole multiple of the
// picture's size is shown with whole pixels, an enlargement by anything else
// sharp-bilinear, a reduction smooth. SCALE_NEAREST when a size is not
// positive.
ScaleFilter ChooseFilter(int pictureWidth, int pictureHeight, PictureRect rect, ScaleChoice choice);
// The player's choice from the hint's text (nullptr: none); the words in any case.
ScaleChoice ParseScaleChoice(const char* hint);
// For SCALE_SHARP: the whole multiple the picture is first enlarged to with
// whole pixels (the scale rounded up, the larger of the two axes', at least
// 1; 1 for a picture size not positive).
int SharpMultiple(int pictureWidth, int pictureHeight, PictureRect rect);

// Scales the picture (pitch in pixels) into rect of an output of
// outputWidth x outputHeight (outputPitch in pixels, at least outputWidth)
// and paints the rest of the output black. rect is moved and cut to lie
// inside the output; the whole output is black for a picture that is
// nullptr or empty, a pitch less than the width, or an empty rect. Nothing
// for a nullptr or empty output. The tables for a size and filter are kept
// for the next call, so frame after frame of one size cost nothing to plan.
void DrawPicture(const uint32_t* pixels, int width, int height, int pitch, uint32_t* output,
                 int outputWidth, int outputHeight, int outputPitch, PictureRect rect, ScaleFilter filter);

// An output position is continuous, in output pixels (the centre of output
// pixel i is at i + 0.5); a picture position is the picture pixel it falls
// on, not clamped to the picture: left of or above it the position is
// negative, right of or below it past the last pixel (though never past a
// billion either way). (0, 0) for an empty rect.
void PictureFromOutput(PictureRect rect, int pictureWidth, int pictureHeight, double outputX,
                       double outputY, int* x, int* y);
// The output position of the centre of picture pixel (x, y): the inverse, so
// that the pointer put there reads back as (x, y) whenever the picture is
// shown at least at its own size. rect's corner for a picture size not
// positive.
void OutputFromPicture(PictureRect rect, int pictureWidth, int pictureHeight, int x, int y,
                       double* outputX, double* outputY);

// The client size for a picture of pictureWidth x pictureHeight on a desktop
// whose scale factor is desktopScale (1 for an ordinary screen, 2 for a
// doubled high-DPI one; anything outside 1..8 counts as 1), with room for a
// client of roomWidth x roomHeight: the picture times the scale factor when
// that fits (or when the room is not positive: unknown), else as large as
// fits with the picture's shape. At least 1 x 1.
void WindowedClientSize(int pictureWidth, int pictureHeight, double desktopScale, int roomWidth,
                        int roomHeight, int* width, int* height);
