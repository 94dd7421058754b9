// What the shell hands the layers below it at start-up, so that neither
// names the shell: the graphics library's hooks (text pumps the window's
// messages, a picture that cannot be loaded ends the program, running out
// of memory gets its box) and the lettering of the message boxes the
// backends draw themselves, with the game's own text.
#include <string>

#include "gfx/hooks.h"
#include "gfx/text.h"
#include "platform/platform.h"
#include "shell/phrases.h"
#include "shell/shell.h"

namespace {

void MeasureBoxText(const char* face, int width, int height, const char* text, int* textWidth,
                    int* textHeight)
{
    MeasureTextWithFace(face, width, height, text, textWidth, textHeight);
}

void DrawBoxLine(uint32_t* pixels, int pictureWidth, int pictureHeight, int x, int y, uint32_t colour,
                 const char* face, int width, int height, const char* text)
{
    SurfaceData picture{pictureWidth, pictureHeight, pixels};
    DrawTextWithFace(&picture, x, y, colour, COLOR_NONE, face, width, height, text);
}

int DrawBoxParagraphs(uint32_t* pixels, int pictureWidth, int pictureHeight, int x, int y, int boxWidth,
                      uint32_t colour, const char* face, int width, int height, const char* text)
{
    SurfaceData picture{pictureWidth, pictureHeight, pixels};
    return DrawTextBoxWithFace(pixels ? &picture : nullptr, x, y, boxWidth, colour, COLOR_NONE, face, width,
                               height, text);
}

// The picture's error box in the player's language.
void PictureNotLoaded(const char* path)
{
    std::string message = std::string(Said(PHRASE_PICTURE_NOT_LOADED)) + (path ? path : "");
    PlatformMessageBox(message.c_str(), Said(PHRASE_ERROR_CAPTION), PLATFORM_BOX_OK_ERROR);
}

}  // namespace

void InstallShellHooks()
{
    gfxPumpMessages = PumpMessages;
    gfxPictureNotLoaded = PictureNotLoaded;
    gfxEndProgram = ShutdownAndExit;
    gfxExitOutOfMemory = ExitOutOfMemory;
    gfxSetMemoryTask = SetMemoryTask;
    PlatformLetterBoxes(BoxLettering{MeasureBoxText, DrawBoxLine, DrawBoxParagraphs});
}
