// Showing the game's picture in a window of any size: where the picture goes
// (as large as fits, its shape kept, centred, black bars around it), how it is
// filtered on the way, how a window is sized for the desktop, and where the
// pointer is over the picture. Plain arithmetic on 0x00RRGGBB pixel buffers,
// shared by the desktop backends (SDL and Windows).
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

// Called by the presenters and the pointer functions: the largest rectangle of
// the picture's shape that fits an output of outputWidth x outputHeight,
// centred. Empty (width or height 0) when either size is not positive.
PictureRect FitPicture(int pictureWidth, int pictureHeight, int outputWidth, int outputHeight);

// Called by the presenters: how to scale the picture into rect. By default a
// whole multiple of the picture's size is shown with whole pixels, an
// enlargement by anything else sharp-bilinear, a reduction smooth.
ScaleFilter ChooseFilter(int pictureWidth, int pictureHeight, PictureRect rect, ScaleChoice choice);
// Called by ChooseFilter's users: the player's choice from the hint's text (nullptr: none).
ScaleChoice ParseScaleChoice(const char* hint);
// Called by the presenters for SCALE_SHARP: the whole multiple the picture is
// first enlarged to with whole pixels (the scale rounded up, at least 1).
int SharpMultiple(int pictureWidth, int pictureHeight, PictureRect rect);

// Called by the software presenters: scales the picture (pitch in pixels) into
// rect of an output of outputWidth x outputHeight (outputPitch in pixels) and
// paints the rest of the output black.
void DrawPicture(const uint32_t* pixels, int width, int height, int pitch, uint32_t* output,
                 int outputWidth, int outputHeight, int outputPitch, PictureRect rect, ScaleFilter filter);

// Called by the pointer functions. An output position is continuous, in output
// pixels (the centre of output pixel i is at i + 0.5); a picture position is
// the picture pixel it falls on, not clamped: left of or above the picture it
// is negative, right of or below it past the last pixel.
void PictureFromOutput(PictureRect rect, int pictureWidth, int pictureHeight, double outputX,
                       double outputY, int* x, int* y);
// The output position of the centre of picture pixel (x, y): the inverse, so
// that the pointer put there reads back as (x, y) whenever the picture is
// shown at least at its own size.
void OutputFromPicture(PictureRect rect, int pictureWidth, int pictureHeight, int x, int y,
                       double* outputX, double* outputY);

// Called by the windowed shapes: the client size for a picture of
// pictureWidth x pictureHeight on a desktop whose scale factor is
// desktopScale (1 for an ordinary screen, 2 for a doubled high-DPI one), with
// room for a client of roomWidth x roomHeight: the picture times the scale
// factor when that fits, else as large as fits with the picture's shape.
void WindowedClientSize(int pictureWidth, int pictureHeight, double desktopScale, int roomWidth,
                        int roomHeight, int* width, int* height);
