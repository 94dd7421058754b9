// Tests of the data generator and the data folder the build makes with it:
// the same bytes on every run; every picture the game loads, at a size that
// holds the regions drawn from it and with its colour keys where the drawing
// relies on them; sounds and music of the right kind and length; a score file
// that a rebuild never overwrites.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <set>
#include <string>
#include <vector>

#include "gendata/files.h"
#include "gendata/sound.h"
#include "gfx/bmp.h"

namespace fs = std::filesystem;

namespace {

const std::string DATA = BUILD_DIR "/data";
const std::string GENERATOR = BUILD_DIR "/gendata";

std::vector<uint8_t> ReadAll(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

DecodedBmp Load(const std::string& rel)
{
    std::vector<uint8_t> bytes = ReadAll(DATA + "/" + rel);
    DecodedBmp bmp;
    EXPECT_TRUE(DecodeBmp(bytes.data(), bytes.size(), &bmp)) << rel;
    return bmp;
}

uint32_t At(const DecodedBmp& b, int x, int y) { return b.pixels[size_t(y) * b.width + x] & 0xFFFFFF; }

// Pixels of the rectangle that differ from the key.
int CountNotKey(const DecodedBmp& b, int x0, int y0, int w, int h, uint32_t key)
{
    int n = 0;
    for (int y = y0; y < y0 + h; y++)
        for (int x = x0; x < x0 + w; x++)
            n += At(b, x, y) != key;
    return n;
}

int CountKey(const DecodedBmp& b, int x0, int y0, int w, int h, uint32_t key)
{
    return w * h - CountNotKey(b, x0, y0, w, h, key);
}

struct TempDir {
    fs::path path;
    TempDir()
    {
        std::string tmpl = (fs::temp_directory_path() / "prismveldt-gendata-XXXXXX").string();
        path = mkdtemp(tmpl.data()) ? fs::path(tmpl) : fs::path();
    }
    ~TempDir()
    {
        std::error_code ec;
        if (!path.empty())
            fs::remove_all(path, ec);
    }
};

int RunGenerator(const fs::path& dir, const std::string& parts = "")
{
    std::string cmd = "'" + GENERATOR + "' '" + dir.string() + "' " + parts + " >/dev/null 2>&1";
    return std::system(cmd.c_str());
}

std::vector<std::string> FilesUnder(const fs::path& dir)
{
    std::vector<std::string> files;
    for (const auto& e : fs::recursive_directory_iterator(dir))
        if (e.is_regular_file())
            files.push_back(fs::relative(e.path(), dir).string());
    std::sort(files.begin(), files.end());
    return files;
}

double MeanColumnDifference(const DecodedBmp& b, int xa, int xb)
{
    double sum = 0;
    for (int y = 0; y < b.height; y++)
        for (int shift : {0, 8, 16})
            sum += std::abs(int((At(b, xa, y) >> shift) & 255) - int((At(b, xb, y) >> shift) & 255));
    return sum / (b.height * 3);
}

}  // namespace

TEST(GenData, SameBytesOnEveryRun)
{
    // A fresh run must reproduce what the build made, file for file.
    // A full run over a folder that already holds someone's best times must
    // leave them alone.
    TempDir fresh;
    ASSERT_FALSE(fresh.path.empty());
    fs::create_directories(fresh.path / "txt");
    const std::string mine = " 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20";
    std::ofstream(fresh.path / "txt/scoretime.txt", std::ios::binary) << mine;
    ASSERT_EQ(RunGenerator(fresh.path), 0);
    std::vector<uint8_t> scores = ReadAll(fresh.path / "txt/scoretime.txt");
    EXPECT_EQ(std::string(scores.begin(), scores.end()), mine);

    std::vector<std::string> files = FilesUnder(fresh.path);
    ASSERT_GT(files.size(), 130u);
    for (const std::string& f : files) {
        if (f.rfind("txt/", 0) == 0)
            continue;
        std::vector<uint8_t> a = ReadAll(fresh.path / f), b = ReadAll(DATA + "/" + f);
        EXPECT_FALSE(a.empty()) << f;
        EXPECT_TRUE(a == b) << f << " differs from the build's copy";
    }
}

// Each picture kind the generator may choose decodes to exactly its pixels:
// few colours in long runs (run-length), few colours in noise (plain 8-bit),
// many colours (24-bit), and the rows' odd ends and the top byte dropped.
TEST(GenData, PicturesAreWrittenLosslesslyInTheSmallestKind)
{
    struct Case {
        int w, h, colours;
        bool runs;
        int bpp, compression;
    };
    const Case cases[] = {
        {1280, 680, 170, true, 8, 1}, {1281, 3, 2, true, 8, 1}, {1, 1, 1, true, 8, 0},
        {301, 77, 256, false, 8, 0}, {97, 41, 257, false, 24, 0}, {33, 9, 70000, false, 24, 0},
    };
    uint32_t seed = 12345;
    auto next = [&seed]() { return seed = seed * 1103515245u + 12345u; };
    for (const Case& c : cases) {
        Picture pic = MakePicture(c.w, c.h, 0);
        std::vector<uint32_t> colours;
        for (int k = 0; k < c.colours; k++)
            colours.push_back(k == 0 ? 0 : (next() >> 8) | (k % 3 == 0 ? 0xAB000000u : 0));
        for (size_t i = 0; i < pic.px.size(); i++) {
            size_t k = c.runs ? (i / 37) % colours.size() : i < colours.size() ? i : next() % colours.size();
            pic.px[i] = colours[k];
        }
        std::vector<unsigned char> file = EncodeBmp(pic);
        ASSERT_GE(file.size(), 54u);
        EXPECT_EQ(file[28], c.bpp) << c.w << "x" << c.h;
        EXPECT_EQ(file[30], c.compression) << c.w << "x" << c.h;
        DecodedBmp b;
        ASSERT_TRUE(DecodeBmp(file.data(), file.size(), &b)) << c.w << "x" << c.h;
        ASSERT_EQ(b.width, c.w);
        ASSERT_EQ(b.height, c.h);
        for (size_t i = 0; i < pic.px.size(); i++)
            ASSERT_EQ(b.pixels[i], pic.px[i] & 0xFFFFFF) << c.w << "x" << c.h << " pixel " << i;
    }
}

TEST(GenData, EveryPictureTheGameLoadsHoldsItsRegions)
{
    struct Need {
        std::string path;
        int w, h;
    };
    std::vector<Need> needs = {
        {"bmp/stage/haikei.bmp", 46 * 64, 64},  {"bmp/character/kyara2.bmp", 160, 128},
        {"bmp/character/kyara3.bmp", 160, 128}, {"bmp/character/kyara.bmp", 160, 128},
        {"bmp/stage/haikei1.bmp", 1920, 720},   {"bmp/stage/haikei2.bmp", 1920, 720},
        {"bmp/curtain/clear.bmp", 1280, 680},   {"bmp/character/bee.bmp", 512, 320},
        {"bmp/lazer/cursor1.bmp", 32, 32},      {"bmp/lazer/lazer.bmp", 1, 32},
        {"bmp/lazer/hansya.bmp", 32, 32},       {"bmp/lazer/hansya2.bmp", 46, 46},
        {"bmp/character/kousenju2.bmp", 128, 64}, {"bmp/curtain/white.bmp", 1, 1},
        {"bmp/curtain/a.bmp", 793, 487},        {"bmp/curtain/start.bmp", 537, 248},
        {"bmp/curtain/END.bmp", 397, 248},      {"bmp/stage/checkpoint_held.bmp", 64, 64},
    };
    for (int k = 1; k <= 50; k++)
        needs.push_back({"bmp/curtain/" + std::to_string(k) + ".bmp", 1280, 680});
    // The title's frames are as tall as the screen: it shows them unstretched.
    for (int k = 51; k <= 120; k++)
        needs.push_back({"bmp/curtain/" + std::to_string(k) + ".bmp", 1280, 720});
    for (const Need& n : needs) {
        DecodedBmp b = Load(n.path);
        EXPECT_GE(b.width, n.w) << n.path;
        EXPECT_GE(b.height, n.h) << n.path;
    }
    // No picture is ever read from a file numbered 0.
    EXPECT_FALSE(fs::exists(DATA + "/bmp/curtain/0.bmp"));
}

TEST(GenData, CurtainsCloseAtZeroAndOpenAsTheNumberGrows)
{
    // Black is the see-through key of the transition curtains.
    int previous = -1;
    for (int k = 0; k < 50; k++) {
        DecodedBmp b = Load("bmp/curtain/" + std::to_string(k + 1) + ".bmp");
        int open = CountKey(b, 0, 0, 1280, 680, 0x000000);
        if (k == 0) {
            EXPECT_EQ(open, 0) << "picture 0 must hide the whole view";
        }
        if (k >= 48) {
            EXPECT_EQ(open, 1280 * 680) << "picture " << k << " must show the whole view";
        }
        EXPECT_GE(open, previous) << "picture " << k;
        previous = open;
    }
}

TEST(GenData, TitleBackgroundMovesSmoothly)
{
    DecodedBmp prev = Load("bmp/curtain/51.bmp");
    for (int k = 52; k <= 120; k++) {
        DecodedBmp cur = Load("bmp/curtain/" + std::to_string(k) + ".bmp");
        ASSERT_EQ(cur.width, prev.width);
        double diff = 0;
        for (size_t i = 0; i < cur.pixels.size(); i += 7)
            diff += std::abs(int(cur.pixels[i] & 255) - int(prev.pixels[i] & 255));
        diff /= double(cur.pixels.size() / 7);
        EXPECT_GT(diff, 0.0) << "frame " << k << " does not move";
        EXPECT_LT(diff, 4.0) << "frame " << k << " jumps";
        prev = std::move(cur);
    }
}

// The title's frames are drawn in flat colours so that each is a small 8-bit
// run-length picture: painted ones were 2.6 MB each, and the title loads all
// seventy on every visit (and the browser build downloads them).
TEST(GenData, TitleFramesStayLight)
{
    std::set<uint32_t> colours;
    for (int k = 51; k <= 120; k++) {
        std::vector<uint8_t> bytes = ReadAll(DATA + "/bmp/curtain/" + std::to_string(k) + ".bmp");
        ASSERT_GE(bytes.size(), 54u);
        EXPECT_EQ(bytes[28], 8) << "frame " << k << " bits per pixel";
        EXPECT_EQ(bytes[30], 1) << "frame " << k << " is not run-length encoded";
        EXPECT_LT(bytes.size(), 160u * 1024) << "frame " << k;
        // Read straight into runs, never through a flat picture.
        DecodedBmpRuns runs;
        EXPECT_TRUE(DecodeBmpRuns(bytes.data(), bytes.size(), &runs)) << "frame " << k;
        uint32_t used = bytes[46] | bytes[47] << 8;
        ASSERT_LE(54 + 4 * size_t(used), bytes.size());
        for (uint32_t i = 0; i < used; i++)
            colours.insert(bytes[54 + 4 * i] | bytes[55 + 4 * i] << 8 | bytes[56 + 4 * i] << 16);
    }
    // One palette for the whole animation, so no colour flickers between
    // neighbouring frames.
    EXPECT_LE(colours.size(), 256u);
}

TEST(GenData, BackdropsRepeatWithoutASeam)
{
    for (const char* path : {"bmp/stage/haikei1.bmp", "bmp/stage/haikei2.bmp"}) {
        DecodedBmp b = Load(path);
        // The game repeats the left 1920 columns side by side.
        double seam = MeanColumnDifference(b, 1919, 0);
        double typical = 0;
        for (int x = 100; x < 1900; x += 150)
            typical += MeanColumnDifference(b, x, x + 1);
        typical /= 12;
        EXPECT_LE(seam, typical * 3 + 2) << path;
    }
    // The middle layer lets the far backdrop through its sky (white) and
    // hides it near the bottom.
    DecodedBmp mid = Load("bmp/stage/haikei1.bmp");
    EXPECT_GT(CountKey(mid, 0, 0, 1920, 200, 0xFFFFFF), 1920 * 150);
    EXPECT_EQ(CountKey(mid, 0, 680, 1920, 40, 0xFFFFFF), 0);
}

TEST(GenData, TileSheetKeysAndSolidBlocks)
{
    DecodedBmp t = Load("bmp/stage/haikei.bmp");
    auto cell = [](int code) { return (code - 1) * 64; };
    std::vector<int> blocks = {1, 2, 3, 4, 46};
    for (int c = 12; c <= 26; c++)
        blocks.push_back(c);
    for (int code : blocks)
        EXPECT_EQ(CountKey(t, cell(code), 0, 64, 64, 0xFF00FF), 0) << "block " << code << " has holes";
    std::vector<int> scenery = {9, 10};
    for (int c = 27; c <= 45; c++)
        scenery.push_back(c);
    for (int code : scenery) {
        int shown = CountNotKey(t, cell(code), 0, 64, 64, 0xFF00FF);
        EXPECT_GT(shown, 40) << "scenery " << code << " is empty";
        EXPECT_LT(shown, 64 * 64 * 3 / 4) << "scenery " << code << " looks like a block";
    }
    for (int code : {5, 6, 7, 8, 11})
        EXPECT_GT(CountKey(t, cell(code), 0, 64, 64, 0xFF00FF), 200) << "tile " << code;
    // Pure white would turn transparent when the stage is drawn.
    EXPECT_EQ(CountKey(t, 0, 0, t.width, 64, 0xFFFFFF), 0);
}

TEST(GenData, SpritesSitInTheirCellsOnTheirKeys)
{
    for (const char* path : {"bmp/character/kyara2.bmp", "bmp/character/kyara3.bmp", "bmp/character/kyara.bmp"}) {
        DecodedBmp k = Load(path);
        for (int facing = 0; facing < 2; facing++) {
            int x0 = facing * 80;
            EXPECT_EQ(At(k, x0, 0), 0xFF00FFu) << path;
            EXPECT_GT(CountNotKey(k, x0, 0, 80, 128, 0xFF00FF), 2000) << path;
            // The feet rest on the line of the foot probes (50 below the
            // centre, row 114 of the picture): never below it, barely above.
            int lowest = 0;
            for (int y = 0; y < 128; y++)
                if (CountNotKey(k, x0, y, 80, 1, 0xFF00FF))
                    lowest = y;
            EXPECT_LE(lowest, 114) << path;
            EXPECT_GE(lowest, 108) << path;
        }
        // The two facings are mirror images.
        for (int y = 0; y < 128; y += 5)
            for (int x = 0; x < 80; x += 3)
                ASSERT_EQ(At(k, x, y), At(k, 159 - x, y)) << path;
    }
    DecodedBmp gun = Load("bmp/character/kousenju2.bmp");
    EXPECT_GT(CountNotKey(gun, 0, 0, 64, 64, 0xFF00FF), 600);
    EXPECT_GT(CountNotKey(gun, 64, 0, 64, 64, 0xFF00FF), 600);

    DecodedBmp bee = Load("bmp/character/bee.bmp");
    for (int row = 0; row < 4; row++)
        for (int col = 0; col < (row < 2 ? 4 : 8); col++)
            EXPECT_GT(CountNotKey(bee, col * 64, row * 64, 64, 64, 0xFF00FF), 30)
                << "bee cell " << col << "," << row;
    EXPECT_GT(CountNotKey(bee, 7 * 64, 4 * 64, 64, 64, 0xFF00FF), 5);
    // Wings beat: the four flying pictures differ.
    EXPECT_NE(CountNotKey(bee, 0, 64, 64, 64, 0xFF00FF), CountNotKey(bee, 128, 64, 64, 64, 0xFF00FF));

    DecodedBmp cursor = Load("bmp/lazer/cursor1.bmp");
    EXPECT_EQ(At(cursor, 0, 0), 0xFF00FFu);
    EXPECT_NE(At(cursor, 16, 16), 0xFF00FFu);

    for (const char* path : {"bmp/lazer/hansya.bmp", "bmp/lazer/hansya2.bmp"}) {
        DecodedBmp b = Load(path);
        EXPECT_EQ(At(b, 0, 0), 0u) << path;
        EXPECT_NE(At(b, b.width / 2, b.height / 2), 0u) << path;
    }
    // The beam's centre line (row 16) is its brightest.
    DecodedBmp beam = Load("bmp/lazer/lazer.bmp");
    auto bright = [&beam](int y) {
        uint32_t p = At(beam, 0, y);
        return int(p & 255) + int((p >> 8) & 255) + int(p >> 16);
    };
    EXPECT_GE(bright(16), bright(2));
    EXPECT_GE(bright(16), bright(30));
}

namespace {

struct Wav {
    int channels = 0, rate = 0, bits = 0, format = 0;
    size_t dataBytes = 0, dataOffset = 0;
};

Wav ParseWav(const std::vector<uint8_t>& b)
{
    Wav w;
    auto u32 = [&b](size_t i) { return uint32_t(b[i] | b[i + 1] << 8 | b[i + 2] << 16 | uint32_t(b[i + 3]) << 24); };
    auto u16 = [&b](size_t i) { return int(b[i] | b[i + 1] << 8); };
    if (b.size() < 12 || std::string(b.begin(), b.begin() + 4) != "RIFF" ||
        std::string(b.begin() + 8, b.begin() + 12) != "WAVE")
        return w;
    for (size_t i = 12; i + 8 <= b.size();) {
        std::string id(b.begin() + i, b.begin() + i + 4);
        size_t len = u32(i + 4);
        if (id == "fmt " && i + 24 <= b.size()) {
            w.format = u16(i + 8);
            w.channels = u16(i + 10);
            w.rate = int(u32(i + 12));
            w.bits = u16(i + 22);
        } else if (id == "data") {
            w.dataBytes = std::min(len, b.size() - i - 8);
            w.dataOffset = i + 8;
        }
        i += 8 + len + (len & 1);
    }
    return w;
}

// Playing time of an MP3 from the frame count in its LAME/Info tag.
double Mp3Seconds(const std::vector<uint8_t>& b)
{
    if (b.size() < 200 || b[0] != 0xFF || (b[1] & 0xE0) != 0xE0)
        return 0;
    for (size_t i = 4; i + 12 < std::min<size_t>(b.size(), 200); i++) {
        std::string id(b.begin() + i, b.begin() + i + 4);
        if (id != "Info" && id != "Xing")
            continue;
        if (!(b[i + 7] & 1))
            return 0;
        uint32_t frames = uint32_t(b[i + 8]) << 24 | b[i + 9] << 16 | b[i + 10] << 8 | b[i + 11];
        return frames * 1152.0 / 44100.0;
    }
    return 0;
}

}  // namespace

TEST(GenData, SoundsAreWaveFilesOfTheRightLength)
{
    Wav shot = ParseWav(ReadAll(DATA + "/se/newSE.wav"));
    ASSERT_EQ(shot.format, 1);
    ASSERT_EQ(shot.bits, 16);
    double shotSeconds = double(shot.dataBytes) / (shot.rate * shot.channels * 2);
    // Restarted every 30 firing frames (0.48 s): it must last about that long.
    EXPECT_GE(shotSeconds, 0.45);
    EXPECT_LE(shotSeconds, 0.6);
    // ... and be silent by then, so the restart never cuts it off with a click.
    std::vector<uint8_t> bytes = ReadAll(DATA + "/se/newSE.wav");
    size_t restart = shot.dataOffset + size_t(0.48 * shot.rate) * 2;
    ASSERT_LE(restart + 2, bytes.size());
    int16_t atRestart = int16_t(bytes[restart] | bytes[restart + 1] << 8);
    EXPECT_EQ(atRestart, 0);
    Wav click = ParseWav(ReadAll(DATA + "/se/se_tavelkorinsu_system24.wav"));
    ASSERT_EQ(click.format, 1);
    EXPECT_GT(click.dataBytes, 0u);
    EXPECT_LE(double(click.dataBytes) / (click.rate * click.channels * 2), 0.2);
}

namespace {

// A mono 16-bit file's samples, scaled to -1..1.
std::vector<float> WavSamples(const std::string& path)
{
    std::vector<uint8_t> bytes = ReadAll(path);
    Wav w = ParseWav(bytes);
    std::vector<float> samples;
    if (w.format != 1 || w.bits != 16 || w.channels != 1) return samples;
    for (size_t i = w.dataOffset; i + 1 < w.dataOffset + w.dataBytes; i += 2)
        samples.push_back(int16_t(bytes[i] | bytes[i + 1] << 8) / 32768.0f);
    return samples;
}

float Peak(const std::vector<float>& samples)
{
    float peak = 0;
    for (float v : samples) peak = std::max(peak, std::fabs(v));
    return peak;
}

}  // namespace

// The feedback sounds: short mono chimes that start at once and die away to
// silence, at their own peak; one of them over a ringing shot and the stage
// music never reaches full scale, however they line up.
TEST(GenData, FeedbackSoundsAreShortAndLeaveHeadroomOverTheShotAndTheMusic)
{
    float shot = Peak(WavSamples(DATA + "/se/newSE.wav"));
    float music = Peak(RenderStageMusic());
    ASSERT_GT(shot, 0.1f);
    for (const char* name : {"/se/checkpoint.wav", "/se/death.wav", "/se/goal.wav"}) {
        SCOPED_TRACE(name);
        std::vector<float> s = WavSamples(DATA + name);
        ASSERT_GT(s.size(), size_t(SAMPLE_RATE / 4));
        EXPECT_LE(s.size(), size_t(SAMPLE_RATE * 1.1));
        EXPECT_NEAR(Peak(s), FEEDBACK_PEAK, 1.0 / 32768);
        // Heard at once: loud within its first 20 ms.
        EXPECT_GT(Peak(std::vector<float>(s.begin(), s.begin() + SAMPLE_RATE / 50)), 0.25 * FEEDBACK_PEAK);
        // Silent at the end, so it stops without a click.
        EXPECT_EQ(s.back(), 0.0f);
        EXPECT_LT(Peak(std::vector<float>(s.end() - SAMPLE_RATE / 100, s.end())), 0.01f);
        EXPECT_LT(music + shot + Peak(s), 0.99f);
    }
}

TEST(GenData, MusicIsMp3OfAtLeastThirtySeconds)
{
    for (const char* path : {"/se/tw044.mp3", "/se/nv_24.mp3"}) {
        double seconds = Mp3Seconds(ReadAll(DATA + path));
        EXPECT_GE(seconds, 30.0) << path;
        EXPECT_LE(seconds, 60.0) << path;
    }
}

TEST(GenData, MusicLoopsWithoutAClick)
{
    for (const std::vector<float>& music : {RenderTitleMusic(), RenderStageMusic()}) {
        ASSERT_GE(music.size(), size_t(30 * SAMPLE_RATE * 2));
        size_t n = music.size();
        // The loop is played end to start with nothing between: the step
        // from the last frame to the first is no bigger than the steps of the
        // music around it, and neither end fades out or is silent.
        for (int ch = 0; ch < 2; ch++) {
            float seam = std::fabs(music[ch] - music[n - 2 + ch]);
            float around = 0;
            for (size_t i = n - 2 * 441; i + 2 < n; i += 2)
                around = std::max(around, std::fabs(music[i + 2 + ch] - music[i + ch]));
            for (size_t i = 0; i < 2 * 441; i += 2)
                around = std::max(around, std::fabs(music[i + 2 + ch] - music[i + ch]));
            EXPECT_LE(seam, around) << "channel " << ch;
        }
        // No fade-out into the seam: the last millisecond is about as loud
        // as the 100 ms before it.
        auto rms = [&music, n](size_t frames) {
            double sum = 0;
            for (size_t i = n - 2 * frames; i < n; i++) sum += music[i] * music[i];
            return std::sqrt(sum / (2 * frames));
        };
        EXPECT_GT(rms(44), 0.3 * rms(4410));
        float peak = 0;
        for (float s : music)
            peak = std::max(peak, std::fabs(s));
        EXPECT_GT(peak, 0.2f);
        EXPECT_LE(peak, MUSIC_PEAK + 1e-6);
    }
}

// Together, a song and an effect stay under full scale, and the stage song
// is in stereo with its upper octaves alive.
TEST(GenData, MusicHasHeadroomWidthAndAir)
{
    std::vector<float> stage = RenderStageMusic();
    double mid = 0, side = 0;
    for (size_t i = 0; i + 1 < stage.size(); i += 2) {
        mid += std::pow(stage[i] + stage[i + 1], 2);
        side += std::pow(stage[i] - stage[i + 1], 2);
    }
    EXPECT_GT(10 * std::log10(side / mid), -17) << "the sides within 17 dB of the middle";  // it was -23
    // Energy above about 2 kHz against the whole: a one-pole split, twice.
    double lpA = 0, lpB = 0, high = 0, all = 0;
    const double k = 1 - std::exp(-6.283185 * 2000 / SAMPLE_RATE);
    for (size_t i = 0; i + 1 < stage.size(); i += 2) {
        double x = 0.5 * (stage[i] + stage[i + 1]);
        lpA += (x - lpA) * k;
        lpB += (lpA - lpB) * k;
        high += (x - lpB) * (x - lpB);
        all += x * x;
    }
    EXPECT_GT(10 * std::log10(high / all), -12) << "above 2 kHz";  // it was -14
    EXPECT_LT(MUSIC_PEAK + EFFECT_PEAK, 0.95);
}

TEST(GenData, ScoreFileIsMadeOnceAndNeverOverwritten)
{
    TempDir dir;
    ASSERT_FALSE(dir.path.empty());
    ASSERT_EQ(RunGenerator(dir.path, "scores"), 0);
    std::vector<uint8_t> bytes = ReadAll(dir.path / "txt/scoretime.txt");
    std::istringstream in(std::string(bytes.begin(), bytes.end()));
    std::vector<long> times;
    for (long t; in >> t;)
        times.push_back(t);
    ASSERT_EQ(times.size(), 20u);
    for (int stage = 0; stage < 4; stage++)
        for (int r = 1; r < 5; r++)
            EXPECT_LE(times[stage * 5 + r - 1], times[stage * 5 + r]) << "stage " << stage + 1;
    // The team's own times: slower than the stage's proven clear (the
    // replays' run, as the results count it), but not by more than three
    // times, so a good run enters the table.
    const long proven[4] = {14992, 17680, 13584, 15456};
    for (int stage = 0; stage < 4; stage++)
        for (int r = 0; r < 5; r++) {
            EXPECT_GT(times[stage * 5 + r], proven[stage]) << "stage " << stage + 1;
            EXPECT_LT(times[stage * 5 + r], 3 * proven[stage]) << "stage " << stage + 1;
        }

    // Someone's best times: a rebuild must leave them alone.
    std::string mine = " 1 2 3 4 5 6 7 8 9 10 11 12 13 14 15 16 17 18 19 20";
    std::ofstream(dir.path / "txt/scoretime.txt", std::ios::binary) << mine;
    ASSERT_EQ(RunGenerator(dir.path, "scores"), 0);
    std::vector<uint8_t> after = ReadAll(dir.path / "txt/scoretime.txt");
    EXPECT_EQ(std::string(after.begin(), after.end()), mine);
}

TEST(GenData, BadCommandLineIsRefused)
{
    TempDir dir;
    EXPECT_NE(RunGenerator(dir.path, "everything"), 0);
    EXPECT_FALSE(fs::exists(dir.path / "bmp"));
}
