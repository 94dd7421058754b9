// The arithmetic of showing the picture in a window of any size: where it
// goes, which filter, the scaled pixels themselves (against a plain
// per-pixel reference), the pointer's way back, and the windowed size.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

#include "platform/scaling/scaling.h"
#include "platform/sdl/sdl_internal.h"

namespace {

void ExpectRect(PictureRect rect, int x, int y, int width, int height)
{
    EXPECT_EQ(rect.x, x);
    EXPECT_EQ(rect.y, y);
    EXPECT_EQ(rect.width, width);
    EXPECT_EQ(rect.height, height);
}

TEST(PictureScaling, FitsTheLargestRectangleOfThePicturesShapeCentred)
{
    ExpectRect(FitPicture(1280, 720, 1280, 720), 0, 0, 1280, 720);
    ExpectRect(FitPicture(1280, 720, 1920, 1080), 0, 0, 1920, 1080);
    ExpectRect(FitPicture(1280, 720, 2560, 1440), 0, 0, 2560, 1440);
    ExpectRect(FitPicture(1280, 720, 1024, 768), 0, 96, 1024, 576);    // bars above and below
    ExpectRect(FitPicture(1280, 720, 2560, 1600), 0, 80, 2560, 1440);
    ExpectRect(FitPicture(1280, 720, 3440, 1440), 440, 0, 2560, 1440);  // bars left and right
    ExpectRect(FitPicture(1280, 720, 1366, 768), 0, 0, 1365, 768);      // not quite 16:9
    ExpectRect(FitPicture(640, 400, 1280, 720), 64, 0, 1152, 720);
    ExpectRect(FitPicture(1280, 720, 1, 1), 0, 0, 1, 1);                // never empty
    ExpectRect(FitPicture(1280, 720, 0, 720), 0, 0, 0, 0);
    ExpectRect(FitPicture(0, 720, 1280, 720), 0, 0, 0, 0);
}

TEST(PictureScaling, WholeMultiplesKeepWholePixelsOthersAreFiltered)
{
    auto choose = [](int w, int h, ScaleChoice choice = SCALE_CHOICE_AUTO) {
        return ChooseFilter(1280, 720, FitPicture(1280, 720, w, h), choice);
    };
    EXPECT_EQ(choose(1280, 720), SCALE_NEAREST);
    EXPECT_EQ(choose(2560, 1440), SCALE_NEAREST);
    EXPECT_EQ(choose(3840, 2160), SCALE_NEAREST);
    EXPECT_EQ(choose(2560, 1600), SCALE_NEAREST);  // 2 times, with bars
    EXPECT_EQ(choose(1920, 1080), SCALE_SHARP);
    EXPECT_EQ(choose(1600, 900), SCALE_SHARP);
    EXPECT_EQ(choose(1024, 768), SCALE_SMOOTH);    // smaller than the picture
    EXPECT_EQ(choose(1920, 1080, SCALE_CHOICE_SMOOTH), SCALE_SMOOTH);
    EXPECT_EQ(choose(2560, 1440, SCALE_CHOICE_SMOOTH), SCALE_SMOOTH);
    EXPECT_EQ(choose(1920, 1080, SCALE_CHOICE_NEAREST), SCALE_NEAREST);

    EXPECT_EQ(ParseScaleChoice(nullptr), SCALE_CHOICE_AUTO);
    EXPECT_EQ(ParseScaleChoice("best"), SCALE_CHOICE_AUTO);
    EXPECT_EQ(ParseScaleChoice("nearest"), SCALE_CHOICE_NEAREST);
    EXPECT_EQ(ParseScaleChoice("0"), SCALE_CHOICE_NEAREST);
    EXPECT_EQ(ParseScaleChoice("Linear"), SCALE_CHOICE_SMOOTH);
    EXPECT_EQ(ParseScaleChoice("1"), SCALE_CHOICE_SMOOTH);

    EXPECT_EQ(SharpMultiple(1280, 720, FitPicture(1280, 720, 1920, 1080)), 2);
    EXPECT_EQ(SharpMultiple(1280, 720, FitPicture(1280, 720, 3000, 1700)), 3);
    EXPECT_EQ(SharpMultiple(1280, 720, FitPicture(1280, 720, 1024, 576)), 1);
}

// A plain reference of the scalers: every output pixel on its own, in floating point.
uint32_t Channel(uint32_t p, int shift) { return p >> shift & 0xFF; }

uint32_t ReferencePixel(const std::vector<uint32_t>& picture, int width, int height, PictureRect rect,
                        ScaleFilter filter, int ox, int oy)
{
    if (filter == SCALE_NEAREST) {
        int x = static_cast<int>(std::floor((ox + 0.5) * width / rect.width));
        int y = static_cast<int>(std::floor((oy + 0.5) * height / rect.height));
        return picture[static_cast<size_t>(y) * width + x];
    }
    int multiple = filter == SCALE_SHARP ? SharpMultiple(width, height, rect) : 1;
    auto tap = [multiple](int o, int size, int outSize, int* first, int* second, double* weight) {
        double u = (o + 0.5) * size / outSize - 0.5;
        double base = std::floor(u);
        *weight = std::clamp((u - base - 0.5) * multiple + 0.5, 0.0, 1.0);
        *first = std::clamp(static_cast<int>(base), 0, size - 1);
        *second = std::clamp(static_cast<int>(base) + 1, 0, size - 1);
    };
    int x0, x1, y0, y1;
    double wx, wy;
    tap(ox, width, rect.width, &x0, &x1, &wx);
    tap(oy, height, rect.height, &y0, &y1, &wy);
    uint32_t result = 0;
    for (int shift : {0, 8, 16}) {
        auto at = [&](int x, int y) { return static_cast<double>(Channel(picture[static_cast<size_t>(y) * width + x], shift)); };
        double top = at(x0, y0) * (1 - wx) + at(x1, y0) * wx;
        double bottom = at(x0, y1) * (1 - wx) + at(x1, y1) * wx;
        result |= static_cast<uint32_t>(std::lround(top * (1 - wy) + bottom * wy)) << shift;
    }
    return result;
}

TEST(PictureScaling, ScaledPixelsMatchThePlainReference)
{
    // Odd sizes, so the four-pixel steps and their ends both run.
    std::mt19937 random(7);
    const int width = 37, height = 21;
    std::vector<uint32_t> picture(static_cast<size_t>(width + 3) * height);
    for (auto& p : picture) p = random() & 0xFFFFFF;
    std::vector<uint32_t> plain(static_cast<size_t>(width) * height);
    for (int y = 0; y < height; y++)
        for (int x = 0; x < width; x++) plain[static_cast<size_t>(y) * width + x] = picture[static_cast<size_t>(y) * (width + 3) + x];

    struct Case { int outW, outH; ScaleFilter filter; };
    for (Case c : {Case{74, 42, SCALE_NEAREST}, Case{111, 63, SCALE_NEAREST}, Case{55, 40, SCALE_NEAREST},
                   Case{55, 40, SCALE_SHARP}, Case{101, 57, SCALE_SHARP}, Case{30, 17, SCALE_SMOOTH},
                   Case{55, 40, SCALE_SMOOTH}, Case{74, 42, SCALE_SMOOTH}}) {
        SCOPED_TRACE(std::to_string(c.outW) + " x " + std::to_string(c.outH) + " filter " + std::to_string(c.filter));
        const int pitch = c.outW + 5;
        std::vector<uint32_t> output(static_cast<size_t>(pitch) * c.outH, 0xABCDEF);
        PictureRect rect = FitPicture(width, height, c.outW, c.outH);
        DrawPicture(picture.data(), width, height, width + 3, output.data(), c.outW, c.outH, pitch, rect, c.filter);
        int wrong = 0, offByOne = 0, bars = 0;
        for (int y = 0; y < c.outH; y++)
            for (int x = 0; x < c.outW; x++) {
                uint32_t got = output[static_cast<size_t>(y) * pitch + x];
                bool inside = x >= rect.x && x < rect.x + rect.width && y >= rect.y && y < rect.y + rect.height;
                if (!inside) {
                    bars += got != 0;
                    continue;
                }
                uint32_t want = ReferencePixel(plain, width, height, rect, c.filter, x - rect.x, y - rect.y);
                for (int shift : {0, 8, 16}) {
                    int difference = std::abs(static_cast<int>(Channel(got, shift)) - static_cast<int>(Channel(want, shift)));
                    // The scaler rounds each pass to whole values and weighs in 256ths.
                    if (difference > 2) wrong++;
                    else if (difference > 0) offByOne++;
                }
                if (got >> 24) wrong++;
            }
        EXPECT_EQ(wrong, 0);
        EXPECT_EQ(bars, 0) << "the bars are not black";
        if (c.filter == SCALE_NEAREST) {
            EXPECT_EQ(offByOne, 0);
        }
        // The padding right of the output is never written.
        for (int y = 0; y < c.outH; y++)
            for (int x = c.outW; x < pitch; x++) ASSERT_EQ(output[static_cast<size_t>(y) * pitch + x], 0xABCDEFu);
    }
}

TEST(PictureScaling, SharpBilinearBlendsOnlyBetweenWholePixelBlocks)
{
    // At 1.5 times each pair of picture pixels becomes a, a half-and-half, b.
    // Two rows alike, so that only the blend across shows.
    std::vector<uint32_t> picture = {0x000000, 0xFF00FF, 0x204060, 0x204060,
                                     0x000000, 0xFF00FF, 0x204060, 0x204060};
    std::vector<uint32_t> output(18);
    DrawPicture(picture.data(), 4, 2, 4, output.data(), 6, 3, 6, FitPicture(4, 2, 6, 3), SCALE_SHARP);
    std::vector<uint32_t> row = {0x000000, 0x800080, 0xFF00FF, 0x204060, 0x204060, 0x204060};
    for (int y = 0; y < 3; y++)
        EXPECT_EQ(std::vector<uint32_t>(output.begin() + 6 * y, output.begin() + 6 * y + 6), row) << y;
    // At its own size a filter changes nothing.
    std::vector<uint32_t> same(8);
    for (ScaleFilter filter : {SCALE_NEAREST, SCALE_SHARP, SCALE_SMOOTH}) {
        DrawPicture(picture.data(), 4, 2, 4, same.data(), 4, 2, 4, FitPicture(4, 2, 4, 2), filter);
        EXPECT_EQ(same, picture);
    }
}

TEST(PictureScaling, NothingToDrawLeavesABlackOutput)
{
    std::vector<uint32_t> output(16, 0x123456);
    DrawPicture(nullptr, 4, 4, 4, output.data(), 4, 4, 4, PictureRect{0, 0, 4, 4}, SCALE_NEAREST);
    EXPECT_EQ(output, std::vector<uint32_t>(16, 0));
    // A rectangle reaching outside the output is kept inside it.
    std::vector<uint32_t> picture(4, 0xFFFFFF);
    DrawPicture(picture.data(), 2, 2, 2, output.data(), 4, 4, 4, PictureRect{3, 3, 4, 4}, SCALE_NEAREST);
    EXPECT_EQ(output, std::vector<uint32_t>(16, 0xFFFFFF));
}

TEST(PictureScaling, PointerReadsBackWhereItWasPut)
{
    struct Case { int outW, outH; };
    for (Case c : {Case{1280, 720}, Case{1920, 1080}, Case{2560, 1440}, Case{1366, 768}, Case{3440, 1440},
                   Case{1600, 1200}}) {
        SCOPED_TRACE(std::to_string(c.outW) + " x " + std::to_string(c.outH));
        PictureRect rect = FitPicture(1280, 720, c.outW, c.outH);
        for (int y = -3; y < 723; y += 7)
            for (int x = -3; x < 1283; x += 5) {
                double ox, oy;
                OutputFromPicture(rect, 1280, 720, x, y, &ox, &oy);
                // The output pixel the pointer lands on, read at its centre.
                int backX, backY;
                PictureFromOutput(rect, 1280, 720, std::floor(ox) + 0.5, std::floor(oy) + 0.5, &backX, &backY);
                ASSERT_EQ(backX, x) << y;
                ASSERT_EQ(backY, y) << x;
            }
    }
    // Far off the picture the values stay whole numbers of the right sign.
    int x, y;
    PictureFromOutput(PictureRect{0, 96, 1024, 576}, 1280, 720, -1e12, 1e12, &x, &y);
    EXPECT_LT(x, -1000000);
    EXPECT_GT(y, 1000000);
}

TEST(PictureScaling, WindowFollowsTheDesktopScaleAndFitsTheRoom)
{
    auto size = [](double scale, int roomW, int roomH) {
        int w, h;
        WindowedClientSize(1280, 720, scale, roomW, roomH, &w, &h);
        return std::make_pair(w, h);
    };
    EXPECT_EQ(size(1.0, 1920, 1050), std::make_pair(1280, 720));
    EXPECT_EQ(size(1.0, 1280, 720), std::make_pair(1280, 720));
    EXPECT_EQ(size(1.0, 1024, 768), std::make_pair(1024, 576));
    EXPECT_EQ(size(1.0, 1016, 734), std::make_pair(1016, 572));  // a framed window on 1024 x 768
    EXPECT_EQ(size(1.5, 2560, 1400), std::make_pair(1920, 1080));
    EXPECT_EQ(size(2.0, 3840, 2100), std::make_pair(2560, 1440));
    EXPECT_EQ(size(2.0, 1920, 1080), std::make_pair(1920, 1080));
    EXPECT_EQ(size(1.25, 0, 0), std::make_pair(1600, 900));      // no room known
    EXPECT_EQ(size(0.5, 1920, 1080), std::make_pair(1280, 720));  // never below the picture's size
    EXPECT_EQ(size(NAN, 1920, 1080), std::make_pair(1280, 720));

    EXPECT_EQ(DesktopScaleFromDpi(nullptr), 1.0);
    EXPECT_EQ(DesktopScaleFromDpi("96"), 1.0);
    EXPECT_EQ(DesktopScaleFromDpi("72"), 1.0);
    EXPECT_EQ(DesktopScaleFromDpi("144"), 1.5);
    EXPECT_EQ(DesktopScaleFromDpi("192.0"), 2.0);
    EXPECT_EQ(DesktopScaleFromDpi("lots"), 1.0);
    EXPECT_EQ(DesktopScaleFromDpi("1e9"), 8.0);
}

}  // namespace
