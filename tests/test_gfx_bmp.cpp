// The .bmp reader: every bit depth and header kind the game's pictures may
// come in, run-length data, both row orders, and hostile files that must be
// refused (or read within bounds) without crashing or allocating wildly.
#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <random>

#include "gfx/bmp.h"
#include "gfx/compact.h"

namespace {

void Put16(std::vector<uint8_t>& f, size_t at, uint32_t v) {
    f[at] = uint8_t(v);
    f[at + 1] = uint8_t(v >> 8);
}
void Put32(std::vector<uint8_t>& f, size_t at, uint32_t v) {
    Put16(f, at, v & 0xFFFF);
    Put16(f, at + 2, v >> 16);
}

// Everything a test may want to set in a file; the rest is filled in.
struct BmpFile {
    int headerSize = 40;       // 12, 40, 108, 124 ...
    int bpp = 24;
    uint32_t compression = 0;  // 0 RGB, 1 RLE8, 2 RLE4, 3 bit fields
    int32_t width = 1, height = 1;
    std::vector<uint32_t> palette; // 0x00RRGGBB
    uint32_t coloursUsed = 0;
    uint32_t masks[3] = {0, 0, 0}; // with bit fields
    std::vector<uint8_t> data;     // the pixel bytes as stored
    int64_t offBits = -1;          // -1: right after the palette
    uint32_t sizeImage = 0;
};

std::vector<uint8_t> Build(const BmpFile& b) {
    size_t paletteStart = 14 + b.headerSize + (b.compression == 3 && b.headerSize == 40 ? 12 : 0);
    int entry = b.headerSize == 12 ? 3 : 4;
    size_t offBits = paletteStart + b.palette.size() * entry;
    std::vector<uint8_t> f(offBits, 0);
    f[0] = 'B';
    f[1] = 'M';
    Put32(f, 10, b.offBits < 0 ? uint32_t(offBits) : uint32_t(b.offBits));
    Put32(f, 14, b.headerSize);
    if (b.headerSize == 12) {
        Put16(f, 18, uint32_t(b.width));
        Put16(f, 20, uint32_t(b.height));
        Put16(f, 22, 1);
        Put16(f, 24, b.bpp);
    } else {
        Put32(f, 18, uint32_t(b.width));
        Put32(f, 22, uint32_t(b.height));
        Put16(f, 26, 1);
        Put16(f, 28, b.bpp);
        Put32(f, 30, b.compression);
        Put32(f, 34, b.sizeImage);
        // A short palette must say how long it is.
        uint32_t used = b.coloursUsed;
        if (!used && b.bpp <= 8 && b.palette.size() < (1u << b.bpp)) used = uint32_t(b.palette.size());
        Put32(f, 46, used);
        if (b.compression == 3)
            for (int i = 0; i < 3; i++) Put32(f, 54 + 4 * i, b.masks[i]);
    }
    for (size_t i = 0; i < b.palette.size(); i++) {
        uint32_t c = b.palette[i];
        f[paletteStart + i * entry] = uint8_t(c);
        f[paletteStart + i * entry + 1] = uint8_t(c >> 8);
        f[paletteStart + i * entry + 2] = uint8_t(c >> 16);
    }
    f.insert(f.end(), b.data.begin(), b.data.end());
    Put32(f, 2, uint32_t(f.size()));
    return f;
}

bool Decode(const std::vector<uint8_t>& f, DecodedBmp* out) {
    return DecodeBmp(f.data(), f.size(), out);
}

// A run-length file read straight into runs (as the title frames are) must
// give what the flat decoder gives, and the run-length rows made from either
// must be word for word the same, in both pixel scales.
void ExpectRunsAgree(const std::vector<uint8_t>& f) {
    DecodedBmp flat;
    DecodedBmpRuns runs;
    bool flatOk = Decode(f, &flat);
    if (!DecodeBmpRuns(f.data(), f.size(), &runs)) {
        EXPECT_TRUE(runs.runs.empty() && runs.rowStart.empty());
        return;
    }
    ASSERT_TRUE(flatOk);
    ASSERT_EQ(runs.width, flat.width);
    ASSERT_EQ(runs.height, flat.height);
    ASSERT_EQ(runs.rowStart.size(), size_t(flat.height) + 1);
    for (int y = 0; y < flat.height; y++) {
        std::vector<uint32_t> row;
        for (uint32_t i = runs.rowStart[y]; i < runs.rowStart[y + 1]; i++) {
            ASSERT_GT(runs.runs[i].length, 0u);
            if (i > runs.rowStart[y]) {
                ASSERT_NE(runs.runs[i].colour, runs.runs[i - 1].colour);
            }
            row.insert(row.end(), runs.runs[i].length, runs.runs[i].colour);
        }
        ASSERT_EQ(row, std::vector<uint32_t>(flat.pixels.begin() + size_t(y) * flat.width,
                                             flat.pixels.begin() + size_t(y + 1) * flat.width))
            << "row " << y;
    }
    for (int scale : {1, 2}) {
        CompactPixels fromRuns, fromPixels;
        bool a = CompactFromRuns(runs, scale, &fromRuns);
        bool b = CompactFromPixels(flat.pixels.data(), flat.width, flat.height, scale, &fromPixels);
        ASSERT_EQ(a, b) << "scale " << scale;
        EXPECT_EQ(fromRuns.rowStart, fromPixels.rowStart);
        EXPECT_EQ(fromRuns.runs, fromPixels.runs);
    }
}

// Decodes and checks the whole picture against `expected` (rows top-down).
void ExpectPicture(const BmpFile& b, int w, int h, const std::vector<uint32_t>& expected) {
    if (b.compression == 1 || b.compression == 2) {
        std::vector<uint8_t> f = Build(b);
        DecodedBmpRuns runs;
        EXPECT_TRUE(DecodeBmpRuns(f.data(), f.size(), &runs));
        ExpectRunsAgree(f);
    }
    DecodedBmp out;
    ASSERT_TRUE(Decode(Build(b), &out));
    ASSERT_EQ(out.width, w);
    ASSERT_EQ(out.height, h);
    ASSERT_EQ(out.pixels.size(), expected.size());
    for (size_t i = 0; i < expected.size(); i++)
        EXPECT_EQ(out.pixels[i], expected[i]) << "pixel " << i % w << "," << i / w;
}

void ExpectRefused(const std::vector<uint8_t>& f) {
    DecodedBmp out;
    EXPECT_FALSE(Decode(f, &out));
    EXPECT_TRUE(out.pixels.empty());
}

const uint32_t A = 0x112233, B = 0xFF00FF, C = 0x0000FF, D = 0xFFFFFF;

TEST(BmpDepths, OneBitTakesBitsFromTheTopAndRowsPadToFourBytes) {
    BmpFile b;
    b.bpp = 1;
    b.width = 10;
    b.height = 2;
    b.palette = {A, B};
    // Bottom row: 1000000001, top row: 0110000000.
    b.data = {0x80, 0x40, 0, 0, 0x60, 0x00, 0, 0};
    ExpectPicture(b, 10, 2,
                  {A, B, B, A, A, A, A, A, A, A,
                   B, A, A, A, A, A, A, A, A, B});
}

TEST(BmpDepths, FourBitUsesHighNibbleFirstAndShortPalettes) {
    BmpFile b;
    b.bpp = 4;
    b.width = 3;
    b.height = 1;
    b.palette = {A, B, C};
    b.coloursUsed = 3;
    b.data = {0x12, 0x70, 0, 0}; // index 7 is beyond the palette: black
    ExpectPicture(b, 3, 1, {B, C, 0});
}

TEST(BmpDepths, EightBitWithCoreHeaderReadsThreeBytePalette) {
    BmpFile b;
    b.headerSize = 12;
    b.bpp = 8;
    b.width = 2;
    b.height = 2;
    b.palette.assign(256, 0);
    b.palette[0] = A;
    b.palette[5] = B;
    b.palette[255] = D;
    b.data = {5, 0, 0, 0, 255, 5, 0, 0};
    ExpectPicture(b, 2, 2, {D, B, B, A});
}

TEST(BmpDepths, SixteenBitDefaultsTo555AndWidensByRepeatingBits) {
    BmpFile b;
    b.bpp = 16;
    b.width = 4;
    b.height = 1;
    b.data = {0xFF, 0x7F, 0x00, 0x7C, 0x01, 0x00, 0xE0, 0x03};
    ExpectPicture(b, 4, 1, {0xFFFFFF, 0xFF0000, 0x000008, 0x00FF00});
}

TEST(BmpDepths, SixteenBitFieldsRead565) {
    BmpFile b;
    b.bpp = 16;
    b.compression = 3;
    b.masks[0] = 0xF800;
    b.masks[1] = 0x07E0;
    b.masks[2] = 0x001F;
    b.width = 5;
    b.height = 1;
    b.data = {0x00, 0xF8, 0xE0, 0x07, 0x1F, 0x00, 0x41, 0x08, 0x1F, 0xF8, 0, 0};
    ExpectPicture(b, 5, 1, {0xFF0000, 0x00FF00, 0x0000FF, 0x080408 + 0x000400, 0xFF00FF});
}

TEST(BmpDepths, TwentyFourBitBothRowOrders) {
    BmpFile b;
    b.width = 2;
    b.height = 2;
    b.data = {0x33, 0x22, 0x11, 0xFF, 0x00, 0xFF, 0, 0,  // first stored row
              0xFF, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0, 0};
    ExpectPicture(b, 2, 2, {C, D, A, B});
    b.height = -2; // top-down: the first stored row is the top
    ExpectPicture(b, 2, 2, {A, B, C, D});
}

TEST(BmpDepths, ThirtyTwoBitIgnoresTheTopByte) {
    BmpFile b;
    b.bpp = 32;
    b.width = 2;
    b.height = 1;
    b.data = {0x33, 0x22, 0x11, 0xFF, 0xFF, 0x00, 0xFF, 0x80};
    ExpectPicture(b, 2, 1, {A, B});
}

TEST(BmpDepths, ThirtyTwoBitFieldsInV4AndV5HeadersFollowTheMasks) {
    for (int headerSize : {108, 124}) {
        BmpFile b;
        b.headerSize = headerSize;
        b.bpp = 32;
        b.compression = 3;
        b.masks[0] = 0x000000FF; // red in the low byte
        b.masks[1] = 0x0000FF00;
        b.masks[2] = 0x00FF0000;
        b.width = 1;
        b.height = 1;
        b.data = {0x11, 0x22, 0x33, 0x44};
        ExpectPicture(b, 1, 1, {0x112233});
    }
    BmpFile v4;
    v4.headerSize = 108;
    v4.width = 1;
    v4.data = {0x33, 0x22, 0x11, 0};
    ExpectPicture(v4, 1, 1, {A});
}

TEST(BmpRle, EightBitRunsAbsoluteRunsLineEndsAndDeltas) {
    BmpFile b;
    b.bpp = 8;
    b.compression = 1;
    b.width = 6;
    b.height = 3;
    b.palette = {0, A, B, C};
    b.data = {
        3, 1,              // bottom row: A A A
        0, 3, 2, 3, 1, 0,  // absolute B C A, padded to an even length
        0, 0,              // end of line
        0, 2, 2, 1,        // delta: right 2, up 1 (to the top row, x 2)
        2, 3,              // C C
        0, 1,              // end of picture
    };
    ExpectPicture(b, 6, 3,
                  {0, 0, C, C, 0, 0,
                   0, 0, 0, 0, 0, 0,
                   A, A, A, B, C, A});
}

TEST(BmpRle, FourBitAlternatesNibbles) {
    BmpFile b;
    b.bpp = 4;
    b.compression = 2;
    b.width = 8;
    b.height = 1;
    b.palette = {0, A, B, C};
    b.data = {5, 0x12,          // A B A B A
              0, 3, 0x31, 0x20, // absolute C A B (2 bytes, already even)
              0, 1};
    ExpectPicture(b, 8, 1, {A, B, A, B, A, C, A, B});
}

TEST(BmpRle, RunsAndDeltasPastTheEdgesAreCutAndEarlyEndsLeaveBlack) {
    BmpFile b;
    b.bpp = 8;
    b.compression = 1;
    b.width = 3;
    b.height = 2;
    b.palette = {0, A, B};
    b.data = {255, 1,           // a run far past the row's end
              0, 200, 2, 2, 2, 2, 2, 2, 2, 2, // absolute run longer than the data
    };
    ExpectPicture(b, 3, 2, {0, 0, 0, A, A, A});
    b.data = {0, 2, 250, 250, 4, 1, 0, 0, 4, 1}; // delta off the picture, then more
    ExpectPicture(b, 3, 2, {0, 0, 0, 0, 0, 0});
    b.data = {0, 2, 1}; // delta cut short
    ExpectPicture(b, 3, 2, {0, 0, 0, 0, 0, 0});
}

TEST(BmpHostile, TruncatedAndForeignFilesAreRefused) {
    BmpFile b;
    b.width = 2;
    b.height = 2;
    b.data.assign(16, 0x40);
    std::vector<uint8_t> good = Build(b);
    for (size_t length = 0; length < good.size(); length++) {
        // The last row may lack its padding; anything shorter is refused.
        std::vector<uint8_t> cut(good.begin(), good.begin() + length);
        DecodedBmp out;
        EXPECT_EQ(Decode(cut, &out), length >= good.size() - 2) << length;
    }
    std::vector<uint8_t> wrongMagic = good;
    wrongMagic[0] = 'P';
    ExpectRefused(wrongMagic);
    DecodedBmp out;
    EXPECT_FALSE(DecodeBmp(nullptr, 0, &out));
}

TEST(BmpHostile, ImpossibleSizesAreRefusedBeforeAllocating) {
    BmpFile b;
    b.data.assign(16, 0);
    for (auto [w, h] : {std::pair{0, 1}, {1, 0}, {-4, 4}, {4, INT_MIN}, {65536, 65536},
                        {INT_MAX, 1}, {1, INT_MAX}, {INT_MAX, INT_MIN + 1}}) {
        b.width = w;
        b.height = h;
        ExpectRefused(Build(b));
    }
    // Within the pixel cap but far bigger than the file: refused too.
    b.width = 4000;
    b.height = 4000;
    ExpectRefused(Build(b));
    // A run-length header claiming more than the cap.
    BmpFile rle;
    rle.bpp = 8;
    rle.compression = 1;
    rle.palette = {0};
    rle.width = 1 << 14;
    rle.height = 1 << 14;
    rle.data = {0, 1};
    ExpectRefused(Build(rle));
}

TEST(BmpHostile, UnknownHeadersDepthsAndCompressionsAreRefused) {
    BmpFile b;
    b.data.assign(16, 0);
    for (int headerSize : {0, 16, 39, 64, 200}) {
        b.headerSize = headerSize < 40 ? 40 : headerSize;
        std::vector<uint8_t> f = Build(b);
        Put32(f, 14, headerSize);
        ExpectRefused(f);
    }
    b.headerSize = 40;
    for (int bpp : {0, 2, 15, 48, 64}) {
        b.bpp = bpp;
        ExpectRefused(Build(b));
    }
    b.bpp = 24;
    for (uint32_t compression : {1u, 2u, 3u, 4u, 5u, 6u, 0x7FFFFFFFu}) {
        b.compression = compression; // RLE and bit fields do not go with 24 bits
        ExpectRefused(Build(b));
    }
    BmpFile rle; // run-length pictures cannot be top-down
    rle.bpp = 8;
    rle.compression = 1;
    rle.palette = {0};
    rle.height = -1;
    rle.data = {1, 0, 0, 1};
    ExpectRefused(Build(rle));
}

TEST(BmpHostile, BadOffsetsAndPaletteCounts) {
    BmpFile b;
    b.bpp = 8;
    b.width = 1;
    b.palette = {A, B};
    b.coloursUsed = 2;
    b.data = {1, 0, 0, 0};
    std::vector<uint8_t> good = Build(b);
    b.offBits = int64_t(good.size());  // past the end
    ExpectRefused(Build(b));
    b.offBits = 0xFFFFFFF0;
    ExpectRefused(Build(b));
    b.offBits = 20; // inside the header
    ExpectRefused(Build(b));
    b.offBits = 0; // left out: the pixels follow the palette
    ExpectPicture(b, 1, 1, {B});
    b.offBits = -1;
    b.coloursUsed = 0xFFFFFFFF; // more than 8 bits can index: 256 entries, not in the file
    ExpectRefused(Build(b));
    b.coloursUsed = 2;
    b.palette.clear(); // palette missing from the file
    std::vector<uint8_t> f = Build(b);
    f.resize(54);
    ExpectRefused(f);
    // Pixels placed far after the headers: a few KiB of padding is read, an
    // offset of 8 MiB before a one-pixel picture is refused unread.
    for (auto [pad, read] : {std::pair{4096, true}, {8 << 20, false}}) {
        b.palette = {A, B};
        b.coloursUsed = 2;
        b.offBits = -1;
        std::vector<uint8_t> padded = Build(b);
        uint32_t at = uint32_t(padded.size() - b.data.size());
        padded.insert(padded.begin() + at, size_t(pad), 0);
        Put32(padded, 10, at + uint32_t(pad));
        if (read)
            EXPECT_GE(BmpLargestFileSize(padded.data(), padded.size()), int64_t(padded.size()));
        else
            ExpectRefused(padded);
    }
    BmpFile fields; // bit-field masks cut off
    fields.bpp = 16;
    fields.compression = 3;
    std::vector<uint8_t> g = Build(fields);
    g.resize(60);
    ExpectRefused(g);
}

// Random damage to valid files of every kind: the reader must stay inside the
// buffer (run this test under AddressSanitizer to see it) and say what it read.
TEST(BmpHostile, RandomDamageNeverBreaksTheReader) {
    std::vector<BmpFile> kinds(6);
    kinds[0].bpp = 1; kinds[0].width = 9; kinds[0].height = 3; kinds[0].palette = {A, B};
    kinds[0].data.assign(12, 0xA5);
    kinds[1].bpp = 4; kinds[1].compression = 2; kinds[1].width = 7; kinds[1].height = 3;
    kinds[1].palette.assign(16, C); kinds[1].data = {3, 0x12, 0, 3, 0x12, 0x30, 0, 0, 0, 2, 1, 1, 2, 4, 0, 1};
    kinds[2].bpp = 8; kinds[2].compression = 1; kinds[2].width = 5; kinds[2].height = 4;
    kinds[2].palette.assign(256, D); kinds[2].data = {2, 7, 0, 3, 1, 2, 3, 0, 0, 0, 9, 9, 0, 1};
    kinds[3].bpp = 16; kinds[3].compression = 3; kinds[3].masks[0] = 0xF800;
    kinds[3].masks[1] = 0x7E0; kinds[3].masks[2] = 0x1F; kinds[3].width = 3; kinds[3].height = 2;
    kinds[3].data.assign(16, 0x5A);
    kinds[4].headerSize = 12; kinds[4].bpp = 8; kinds[4].width = 3; kinds[4].height = 2;
    kinds[4].palette.assign(256, A); kinds[4].data.assign(8, 3);
    kinds[5].headerSize = 124; kinds[5].bpp = 32; kinds[5].width = 2; kinds[5].height = -2;
    kinds[5].data.assign(16, 0x77);
    std::mt19937 random(12345);
    for (const BmpFile& kind : kinds) {
        std::vector<uint8_t> good = Build(kind);
        DecodedBmp out;
        ASSERT_TRUE(Decode(good, &out));
        for (int round = 0; round < 1000; round++) {
            std::vector<uint8_t> f = good;
            int changes = 1 + int(random() % 4);
            for (int c = 0; c < changes; c++) f[random() % f.size()] = uint8_t(random());
            if (random() % 4 == 0) f.resize(random() % f.size());
            ExpectRunsAgree(f);
            if (Decode(f, &out)) {
                ASSERT_GT(out.width, 0);
                ASSERT_GT(out.height, 0);
                ASSERT_EQ(out.pixels.size(), size_t(out.width) * out.height);
                ASSERT_LE(int64_t(out.width) * out.height, BMP_MAX_PIXELS);
            } else {
                ASSERT_TRUE(out.pixels.empty());
            }
        }
    }
}

} // namespace
