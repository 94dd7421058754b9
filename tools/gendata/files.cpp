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

bool WriteBmp(const std::string& path, const Picture& pic)
{
    unsigned rowBytes = (unsigned(pic.w) * 3 + 3) & ~3u;
    unsigned imageBytes = rowBytes * unsigned(pic.h);
    std::vector<unsigned char> b;
    b.reserve(54 + imageBytes);
    b.push_back('B');
    b.push_back('M');
    Put32(b, 54 + imageBytes);
    Put32(b, 0);
    Put32(b, 54);
    Put32(b, 40);
    Put32(b, unsigned(pic.w));
    Put32(b, unsigned(pic.h));  // positive: rows stored bottom-up
    Put16(b, 1);
    Put16(b, 24);
    Put32(b, 0);  // no compression
    Put32(b, imageBytes);
    Put32(b, 2835);  // 72 dpi
    Put32(b, 2835);
    Put32(b, 0);
    Put32(b, 0);
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
    return WriteFile(path, b);
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
