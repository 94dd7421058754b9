// The start-up pictures: loading them in their fixed order (so that the first
// missing file is the one reported), composing the backdrop layers, and
// releasing everything when the game ends.
#include "game/assets.h"

#include <cstdio>

#include "platform/platform.h"

#include "game/stage.h"  // the stage picture goes with the start-up surfaces at the end

Surface backBuffer;
Surface imgTiles;
Surface imgCheckpointHeld;
Surface imgKyara2;
Surface imgKyara3;
Surface imgKyara;
Surface imgHaikei1;
Surface imgHaikei2;
Surface imgClear;
Surface imgCurtain[CURTAIN_COUNT];
Surface imgBee;
Surface imgCursor;
Surface imgLazer;
Surface imgHansya;
Surface imgHansya2;
Surface imgGun;
Surface imgBackdropStrip;
Surface imgBackdrop[BACKDROP_COUNT];

void LoadCurtainSurfaces(Surface* pictures, int count, int firstNumber)
{
    for (int k = 0; k < count; k++) {
        char path[64];
        std::snprintf(path, sizeof path, "./bmp/curtain/%d.bmp", k + firstNumber);
        pictures[k] = LoadCompactBitmapSurface(path);
    }
}

// A picture the game plays on without: nullptr when no file is there. One
// that is there loads (and fails) as every other picture does.
static Surface LoadPictureIfThere(const char* path)
{
    PlatformFile* file = nullptr;
    uint64_t size = 0;
    int state = PlatformOpenFile(path, &file, &size);
    PlatformCloseFile(file);
    return state == PLATFORM_FILE_MISSING ? nullptr : LoadBitmapSurface(path);
}

// The backdrop sources, the results background and the curtain frames are
// only ever copied from, so they are held compactly where that pays.
void LoadAssets()
{
    imgTiles = LoadBitmapSurface("./bmp/stage/haikei.bmp");
    imgCheckpointHeld = LoadPictureIfThere("./bmp/stage/checkpoint_held.bmp");
    imgKyara2 = LoadBitmapSurface("./bmp/character/kyara2.bmp");
    imgKyara3 = LoadBitmapSurface("./bmp/character/kyara3.bmp");
    imgKyara = LoadBitmapSurface("./bmp/character/kyara.bmp");
    imgHaikei1 = LoadCompactBitmapSurface("./bmp/stage/haikei1.bmp");
    imgHaikei2 = LoadCompactBitmapSurface("./bmp/stage/haikei2.bmp");
    imgClear = LoadCompactBitmapSurface("./bmp/curtain/clear.bmp");
    LoadCurtainSurfaces(imgCurtain, CURTAIN_COUNT, 1);
    imgBee = LoadBitmapSurface("./bmp/character/bee.bmp");
    imgCursor = LoadBitmapSurface("./bmp/lazer/cursor1.bmp");
    imgLazer = LoadBitmapSurface("./bmp/lazer/lazer.bmp");
    imgHansya = LoadBitmapSurface("./bmp/lazer/hansya.bmp");
    imgHansya2 = LoadBitmapSurface("./bmp/lazer/hansya2.bmp");
    imgGun = LoadBitmapSurface("./bmp/character/kousenju2.bmp");
    backBuffer = CreateBackBuffer();
    BuildBackdrops();
}

void BuildBackdrops()
{
    // Each copy is wider than a panel on purpose: the next one overwrites the
    // overhang, so the strip ends up as four copies of haikei1's left 1920
    // columns, and whatever haikei1 lacks stays white (see-through).
    imgBackdropStrip = CreateBlankSurface(BACKDROP_STRIP_WIDTH, BACKDROP_HEIGHT);
    for (int i = 0; i < 4; i++)
        CopyRect(imgBackdropStrip, BACKDROP_PANEL_WIDTH * i, 0, 4693, BACKDROP_HEIGHT,
                 imgHaikei1, 0, 0);
    // The panels are one picture (haikei2 on white), so they share its pixels.
    imgBackdrop[0] = CreateBlankSurface(BACKDROP_PANEL_WIDTH, BACKDROP_HEIGHT);
    CopyRect(imgBackdrop[0], 0, 0, BACKDROP_PANEL_WIDTH, BACKDROP_HEIGHT, imgHaikei2, 0, 0);
    for (int i = 1; i < BACKDROP_COUNT; i++)
        imgBackdrop[i] = ShareSurface(imgBackdrop[0]);
}

void DeleteStartupSurfaces()
{
    Surface* order[] = {
        &backBuffer, &imgCursor, &imgBee, &imgTiles, &imgHaikei1, &imgHaikei2,
        &imgBackdropStrip, &imgBackdrop[0], &imgBackdrop[1], &imgBackdrop[2],
        &imgLazer, &imgHansya, &imgHansya2, &imgKyara3, &imgKyara2, &imgGun, &imgClear,
        &imgKyara, &imgCheckpointHeld,
    };
    for (Surface* s : order) {
        if (s == &imgTiles) DeleteLevel();
        DeleteSurface(*s);
        *s = nullptr;
    }
    for (Surface& s : imgCurtain) {
        DeleteSurface(s);
        s = nullptr;
    }
}
