// Output files of the generator (see files.h).
#include "files.h"

#include <cstdio>
#include <filesystem>

static void Put16(std::vector<unsigned char>& b, unsigned v)
{
    b.push_back(v & 255);
    b.push_back((v >> 8) & 255);
}
static void Put32(std::vector<unsigned char>& b, unsigned v)
{
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}

// The file header and a BITMAPINFOHEADER for a bottom-up picture.
static void PutHeaders(std::vector<unsigned char>& b, const Picture& pic, unsigned bpp,
                       unsigned compression, unsigned paletteEntries, unsigned imageBytes)
{
    unsigned offBits = 54 + 4 * paletteEntries;
    b.push_back('B');
    b.push_back('M');
    Put32(b, offBits + imageBytes);
    Put32(b, 0);
    Put32(b, offBits);
    Put32(b, 40);
    Put32(b, unsigned(pic.w));
    Put32(b, unsigned(pic.h));  // positive: rows stored bottom-up
    Put16(b, 1);
    Put16(b, bpp);
    Put32(b, compression);
    Put32(b, imageBytes);
    Put32(b, 2835);  // 72 dpi
    Put32(b, 2835);
    Put32(b, paletteEntries);
    Put32(b, 0);
}

static std::vector<unsigned char> Bmp24(const Picture& pic)
{
    unsigned rowBytes = (unsigned(pic.w) * 3 + 3) & ~3u;
    unsigned imageBytes = rowBytes * unsigned(pic.h);
    std::vector<unsigned char> b;
    b.reserve(54 + imageBytes);
    PutHeaders(b, pic, 24, 0, 0, imageBytes);
    for (int y = pic.h - 1; y >= 0; y--) {
        const uint32_t* row = &pic.px[size_t(y) * pic.w];
        for (int x = 0; x < pic.w; x++) {
            b.push_back(row[x] & 255);
            b.push_back((row[x] >> 8) & 255);
            b.push_back((row[x] >> 16) & 255);
        }
        for (unsigned pad = unsigned(pic.w) * 3; pad < rowBytes; pad++)
            b.push_back(0);
    }
    return b;
}

// Run-length rows of palette indices, bottom-up: a run of one index as
// (count, index), three or more different ones as an absolute run padded to
// an even length, each row ended by (0, 0) and the picture by (0, 1).
static std::vector<unsigned char> Rle8Rows(const Picture& pic, const std::vector<unsigned char>& index)
{
    std::vector<unsigned char> out;
    for (int y = pic.h - 1; y >= 0; y--) {
        const unsigned char* row = &index[size_t(y) * pic.w];
        int x = 0;
        while (x < pic.w) {
            int run = 1;
            while (x + run < pic.w && run < 255 && row[x + run] == row[x])
                run++;
            if (run >= 2) {
                out.push_back((unsigned char)run);
                out.push_back(row[x]);
                x += run;
                continue;
            }
            // Pixels up to the next pair of equal ones.
            int length = 1;
            while (x + length < pic.w && length < 255 &&
                   !(x + length + 1 < pic.w && row[x + length] == row[x + length + 1]))
                length++;
            if (length < 3) {
                for (int k = 0; k < length; k++) {
                    out.push_back(1);
                    out.push_back(row[x + k]);
                }
            } else {
                out.push_back(0);
                out.push_back((unsigned char)length);
                out.insert(out.end(), row + x, row + x + length);
                if (length & 1)
                    out.push_back(0);
            }
            x += length;
        }
        out.push_back(0);
        out.push_back(y == 0 ? 1 : 0);
    }
    return out;
}

// A picture of at most 256 colours as 8-bit indices (palette in the order the
// colours first appear), run-length encoded when that is smaller; false for
// a picture of more colours.
static bool Bmp8(const Picture& pic, std::vector<unsigned char>* file)
{
    std::vector<uint32_t> palette;
    std::vector<unsigned char> index(pic.px.size());
    for (size_t i = 0; i < pic.px.size(); i++) {
        uint32_t colour = pic.px[i] & 0xFFFFFF;
        size_t k = 0;
        // Neighbours mostly share a colour: look at the last one first.
        if (i > 0 && (pic.px[i - 1] & 0xFFFFFF) == colour) {
            index[i] = index[i - 1];
            continue;
        }
        while (k < palette.size() && palette[k] != colour)
            k++;
        if (k == palette.size()) {
            if (palette.size() == 256)
                return false;
            palette.push_back(colour);
        }
        index[i] = (unsigned char)k;
    }
    unsigned rowBytes = (unsigned(pic.w) + 3) & ~3u;
    std::vector<unsigned char> rle = Rle8Rows(pic, index);
    bool useRle = rle.size() < size_t(rowBytes) * unsigned(pic.h);
    unsigned imageBytes = useRle ? unsigned(rle.size()) : rowBytes * unsigned(pic.h);
    std::vector<unsigned char>& b = *file;
    b.clear();
    PutHeaders(b, pic, 8, useRle ? 1 : 0, unsigned(palette.size()), imageBytes);
    for (uint32_t colour : palette) {
        b.push_back(colour & 255);
        b.push_back((colour >> 8) & 255);
        b.push_back((colour >> 16) & 255);
        b.push_back(0);
    }
    if (useRle) {
        b.insert(b.end(), rle.begin(), rle.end());
        return true;
    }
    for (int y = pic.h - 1; y >= 0; y--) {
        const unsigned char* row = &index[size_t(y) * pic.w];
        b.insert(b.end(), row, row + pic.w);
        for (unsigned pad = unsigned(pic.w); pad < rowBytes; pad++)
            b.push_back(0);
    }
    return true;
}

std::vector<unsigned char> EncodeBmp(const Picture& pic)
{
    std::vector<unsigned char> b;
    if (!Bmp8(pic, &b))
        b = Bmp24(pic);
    return b;
}

bool WriteBmp(const std::string& path, const Picture& pic)
{
    return WriteFile(path, EncodeBmp(pic));
}

bool MakeDirs(const std::string& dir)
{
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    return std::filesystem::is_directory(dir, ec);
}

bool FileExists(const std::string& path)
{
    std::error_code ec;
    return std::filesystem::exists(path, ec);
}

bool WriteFile(const std::string& path, const std::vector<unsigned char>& bytes)
{
    std::filesystem::path p(path);
    if (p.has_parent_path() && !MakeDirs(p.parent_path().string()))
        return false;
    // Write beside the target and rename, so an interrupted run never leaves
    // a half-written picture that the game would refuse to load.
    std::string tmp = path + ".part";
    FILE* f = std::fopen(tmp.c_str(), "wb");
    if (!f)
        return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    ok = std::fclose(f) == 0 && ok;
    std::error_code ec;
    if (ok)
        std::filesystem::rename(tmp, path, ec);
    if (!ok || ec) {
        std::filesystem::remove(tmp, ec);
        return false;
    }
    return true;
}
