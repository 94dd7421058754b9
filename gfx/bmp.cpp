// Decoding Windows .bmp files into plain 0x00RRGGBB pixels. Every field of the
// header is treated as hostile: sizes, offsets and palette counts are checked
// against the file before anything is read or allocated.
#include "gfx/bmp.h"

#include <algorithm>
#include <climits>

namespace {

enum { BI_RGB = 0, BI_RLE8 = 1, BI_RLE4 = 2, BI_BITFIELDS = 3 };

uint32_t U16(const uint8_t* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8; }
uint32_t U32(const uint8_t* p) { return U16(p) | U16(p + 2) << 16; }

// One channel of a bit-field pixel: where its bits sit and how to widen them
// to 8 bits (by repeating the pattern, so that full scale stays full scale).
struct Channel {
    int shift = 0;
    int bits = 0;
    uint8_t Extract(uint32_t value) const {
        if (bits == 0) return 0;
        uint32_t v = (value >> shift) & ((1u << bits) - 1);
        uint32_t wide = 0;
        int have = 0;
        while (have < 8) {
            wide = (wide << bits) | v;
            have += bits;
        }
        return uint8_t(wide >> (have - 8));
    }
};

Channel ChannelFromMask(uint32_t mask) {
    Channel channel;
    if (mask == 0) return channel;
    channel.shift = __builtin_ctz(mask);
    uint32_t run = mask >> channel.shift;
    channel.bits = (~run == 0) ? 32 : __builtin_ctz(~run);
    if (channel.bits > 8) { // keep the top 8 bits of a wide channel
        channel.shift += channel.bits - 8;
        channel.bits = 8;
    }
    return channel;
}

struct Header {
    int64_t width = 0, height = 0;
    bool topDown = false;
    int bpp = 0;
    uint32_t compression = BI_RGB;
    uint32_t sizeImage = 0;
    uint32_t offBits = 0;
    size_t paletteStart = 0;
    int paletteEntrySize = 4;
    int64_t paletteInFile = 0; // entries stored in the file
    uint32_t masks[3] = {0, 0, 0};
};

bool ReadHeader(const uint8_t* data, size_t size, Header* h) {
    if (size < 18 || data[0] != 'B' || data[1] != 'M') return false;
    h->offBits = U32(data + 10);
    uint32_t headerSize = U32(data + 14);
    if (headerSize != 12 && headerSize != 40 && headerSize != 52 && headerSize != 56 &&
        headerSize != 108 && headerSize != 124) {
        return false;
    }
    if (14 + size_t(headerSize) > size) return false;
    const uint8_t* info = data + 14;
    uint32_t coloursUsed = 0;
    if (headerSize == 12) { // BITMAPCOREHEADER: 16-bit sizes, 3-byte palette entries
        h->width = U16(info + 4);
        h->height = U16(info + 6);
        h->bpp = int(U16(info + 10));
        h->paletteEntrySize = 3;
    } else {
        h->width = int32_t(U32(info + 4));
        int32_t height = int32_t(U32(info + 8));
        if (height == INT_MIN) return false;
        h->topDown = height < 0;
        h->height = height < 0 ? -int64_t(height) : height;
        h->bpp = int(U16(info + 14));
        h->compression = U32(info + 16);
        h->sizeImage = U32(info + 20);
        coloursUsed = U32(info + 32);
    }
    if (h->width <= 0 || h->height <= 0) return false;
    if (h->width * h->height > BMP_MAX_PIXELS) return false;
    if (h->bpp != 1 && h->bpp != 4 && h->bpp != 8 && h->bpp != 16 && h->bpp != 24 &&
        h->bpp != 32) {
        return false;
    }
    switch (h->compression) {
    case BI_RGB: break;
    case BI_RLE8: if (h->bpp != 8 || h->topDown) return false; break;
    case BI_RLE4: if (h->bpp != 4 || h->topDown) return false; break;
    case BI_BITFIELDS: if (h->bpp != 16 && h->bpp != 32) return false; break;
    default: return false;
    }

    h->paletteStart = 14 + size_t(headerSize);
    if (h->compression == BI_BITFIELDS) {
        // A plain info header keeps its three masks just after it; the later
        // headers hold them inside.
        if (headerSize == 40) {
            if (h->paletteStart + 12 > size) return false;
            h->paletteStart += 12;
        }
        for (int i = 0; i < 3; i++) h->masks[i] = U32(info + 40 + 4 * i);
    } else if (h->bpp == 16) {
        h->masks[0] = 0x7C00; h->masks[1] = 0x03E0; h->masks[2] = 0x001F;
    } else {
        h->masks[0] = 0xFF0000; h->masks[1] = 0xFF00; h->masks[2] = 0xFF;
    }

    if (h->bpp <= 8) {
        int64_t full = int64_t(1) << h->bpp;
        h->paletteInFile = coloursUsed ? std::min<int64_t>(coloursUsed, full) : full;
        if (h->paletteStart + size_t(h->paletteInFile) * h->paletteEntrySize > size) return false;
    } else {
        h->paletteInFile = std::min<int64_t>(coloursUsed, 1 << 16);
    }
    if (h->offBits == 0) { // some writers leave it out: the pixels follow the palette
        int64_t after = int64_t(h->paletteStart) + h->paletteInFile * h->paletteEntrySize;
        if (after > int64_t(size)) return false;
        h->offBits = uint32_t(after);
    }
    if (h->offBits < 14 + headerSize || h->offBits >= size) return false;
    return true;
}

// Rows of stored pixels, each `stride` bytes, the last one possibly without
// its padding: all of them must be in the file.
bool UncompressedFits(size_t size, const Header& h) {
    int64_t rowBytes = (h.width * h.bpp + 7) / 8;
    int64_t stride = (h.width * h.bpp + 31) / 32 * 4;
    return int64_t(h.offBits) + stride * (h.height - 1) + rowBytes <= int64_t(size);
}

void DecodeUncompressed(const uint8_t* data, const Header& h,
                        const uint32_t* palette, int64_t paletteCount, uint32_t* out) {
    int64_t stride = (h.width * h.bpp + 31) / 32 * 4;
    Channel red = ChannelFromMask(h.masks[0]);
    Channel green = ChannelFromMask(h.masks[1]);
    Channel blue = ChannelFromMask(h.masks[2]);
    for (int64_t r = 0; r < h.height; r++) {
        const uint8_t* row = data + h.offBits + r * stride;
        uint32_t* dst = out + (h.topDown ? r : h.height - 1 - r) * h.width;
        // The common kinds without the per-pixel choice below.
        if (h.bpp == 24) {
            for (int64_t x = 0; x < h.width; x++)
                dst[x] = uint32_t(row[3 * x + 2]) << 16 | uint32_t(row[3 * x + 1]) << 8 | row[3 * x];
            continue;
        }
        if (h.bpp == 8) {
            for (int64_t x = 0; x < h.width; x++)
                dst[x] = int64_t(row[x]) < paletteCount ? palette[row[x]] : 0;
            continue;
        }
        for (int64_t x = 0; x < h.width; x++) {
            uint32_t pixel = 0;
            switch (h.bpp) {
            case 1:
            case 4:
            case 8: {
                int perByte = 8 / h.bpp;
                uint32_t byte = row[x / perByte];
                int shift = 8 - h.bpp * int(x % perByte + 1);
                uint32_t index = (byte >> shift) & ((1u << h.bpp) - 1);
                pixel = int64_t(index) < paletteCount ? palette[index] : 0;
                break;
            }
            case 16: {
                uint32_t v = U16(row + 2 * x);
                pixel = uint32_t(red.Extract(v)) << 16 | uint32_t(green.Extract(v)) << 8 |
                        blue.Extract(v);
                break;
            }
            case 24:
                pixel = uint32_t(row[3 * x + 2]) << 16 | uint32_t(row[3 * x + 1]) << 8 |
                        row[3 * x];
                break;
            case 32: {
                uint32_t v = U32(row + 4 * x);
                if (h.compression == BI_RGB) {
                    pixel = v & 0xFFFFFF;
                } else {
                    pixel = uint32_t(red.Extract(v)) << 16 |
                            uint32_t(green.Extract(v)) << 8 | blue.Extract(v);
                }
                break;
            }
            }
            dst[x] = pixel;
        }
    }
}

// Where the run-length data ends: the file's end, or sooner when the header
// gives the data's size.
size_t RleDataEnd(size_t size, const Header& h) {
    if (h.sizeImage != 0 && size_t(h.offBits) + h.sizeImage < size) return h.offBits + h.sizeImage;
    return size;
}

// Run-length data, bottom-up. Runs and deltas that leave the picture are cut
// at its edges; data that ends early leaves the rest black, as do skipped
// pixels. The pixels go to sink.Run(y, x, n, colour) (y counted from the
// bottom, x + n inside the row) in the order of the file: y never decreases,
// and within a row x only grows.
template <typename Sink>
void WalkRle(const uint8_t* data, size_t size, const Header& h,
             const uint32_t* palette, int64_t paletteCount, Sink& sink) {
    bool four = h.compression == BI_RLE4;
    size_t p = h.offBits;
    size_t end = RleDataEnd(size, h);
    int64_t x = 0, y = 0;
    auto colour = [&](uint32_t index) { return int64_t(index) < paletteCount ? palette[index] : 0; };
    while (p + 1 < end && y < h.height) {
        uint32_t count = data[p], code = data[p + 1];
        p += 2;
        if (count > 0) {
            // A run stops at the row's end; y is inside the picture here.
            if (x < h.width) {
                int64_t n = std::min<int64_t>(count, h.width - x);
                if (!four || (code >> 4) == (code & 15)) {
                    sink.Run(y, x, n, colour(four ? code & 15 : code));
                } else {
                    uint32_t pair[2] = {colour(code >> 4), colour(code & 15)};
                    for (int64_t k = 0; k < n; k++) sink.Run(y, x + k, 1, pair[k & 1]);
                }
                x += n;
            }
        } else if (code == 0) {
            x = 0;
            y++;
        } else if (code == 1) {
            break;
        } else if (code == 2) {
            if (p + 1 >= end) break;
            x += data[p];
            y += data[p + 1];
            p += 2;
        } else {
            size_t bytes = four ? (code + 1) / 2 : code;
            // As many pixels as the data holds; those past the row's end are
            // dropped but still move x on.
            int64_t n = four ? int64_t(std::min(bytes, end - p)) * 2 : int64_t(std::min(bytes, end - p));
            n = std::min<int64_t>(n, code);
            for (int64_t k = 0; k < n && x + k < h.width; k++) {
                uint32_t index = four ? ((k & 1) ? data[p + k / 2] & 15 : data[p + k / 2] >> 4) : data[p + k];
                sink.Run(y, x + k, 1, colour(index));
            }
            x += n;
            p += (bytes + 1) & ~size_t(1); // absolute runs are padded to 16 bits
        }
    }
}

// Into a flat, black picture.
struct FlatSink {
    uint32_t* out;
    int64_t width, height;
    void Run(int64_t y, int64_t x, int64_t n, uint32_t colour) {
        std::fill_n(out + (height - 1 - y) * width + x, n, colour);
    }
};

// Into runs of one colour: the pieces as the file gives them, then each row
// completed with black and its neighbouring pieces of one colour joined.
// A picture of more pieces than a quarter of its pixels is not worth holding
// as runs; the sink then stops collecting, so it never holds more memory than
// the flat picture would (give or take a few pieces for tiny pictures).
struct RunSink {
    struct Piece {
        int32_t y, x, n;
        uint32_t colour;
    };
    std::vector<Piece> pieces;
    size_t limit = 0;
    bool full = false;
    void Run(int64_t y, int64_t x, int64_t n, uint32_t colour) {
        if (full) return;
        if (!pieces.empty()) {
            Piece& last = pieces.back();
            if (last.y == y && last.x + last.n == x && last.colour == colour) {
                last.n += n;
                return;
            }
        }
        if (pieces.size() >= limit) {
            full = true;
            return;
        }
        pieces.push_back({int32_t(y), int32_t(x), int32_t(n), colour});
    }
};

// The checks every decode makes before it reads a pixel: the header, the
// file's size against the picture's, and for run-length data how many pixels
// it may claim per byte. Fills the palette.
bool PrepareDecode(const uint8_t* data, size_t size, Header* h, uint32_t palette[256],
                   int64_t* paletteCount) {
    if (!data || !ReadHeader(data, size, h)) return false;
    *paletteCount = h->bpp <= 8 ? h->paletteInFile : 0;
    for (int64_t i = 0; i < *paletteCount; i++) {
        const uint8_t* entry = data + h->paletteStart + i * h->paletteEntrySize;
        palette[i] = uint32_t(entry[2]) << 16 | uint32_t(entry[1]) << 8 | entry[0];
    }
    if (int64_t(size) > BmpLargestFileSize(data, size)) return false;
    bool rle = h->compression == BI_RLE8 || h->compression == BI_RLE4;
    if (!rle && !UncompressedFits(size, *h)) return false;
    if (rle) {
        int64_t dataBytes = int64_t(RleDataEnd(size, *h)) - int64_t(h->offBits);
        if (h->width * h->height > BMP_RLE_MAX_PIXELS_PER_BYTE * std::max<int64_t>(dataBytes, 1))
            return false;
    }
    return true;
}

} // namespace

int64_t BmpLargestFileSize(const uint8_t* head, size_t headSize) {
    if (headSize < 18 || head[0] != 'B' || head[1] != 'M') return -1;
    uint32_t headerSize = U32(head + 14);
    if (headSize < 14 + size_t(headerSize) || headerSize > 124) return -1;
    const uint8_t* info = head + 14;
    int64_t width, height, bpp;
    uint32_t compression = BI_RGB;
    if (headerSize == 12) {
        width = U16(info + 4);
        height = U16(info + 6);
        bpp = U16(info + 10);
    } else if (headerSize >= 40) {
        width = int32_t(U32(info + 4));
        height = int32_t(U32(info + 8));
        if (height < 0) height = -height;
        bpp = U16(info + 14);
        compression = U32(info + 16);
    } else {
        return -1;
    }
    if (width <= 0 || height <= 0 || width * height > BMP_MAX_PIXELS || bpp <= 0 || bpp > 32)
        return -1;
    // Run-length data is at worst a little longer than the same pixels
    // stored plainly, plus the end of every row.
    if (compression == BI_RLE8) bpp = 8;
    if (compression == BI_RLE4) bpp = 4;
    int64_t stride = (width * bpp + 31) / 32 * 4;
    int64_t pixelBytes = stride * height + 2 * height + 2;
    // The pixels' offset counts only up to 64 KiB (more than any header,
    // palette and colour profile take): a file whose offset claims more is
    // padding, and is refused before it is read rather than read whole.
    int64_t offset = std::min<int64_t>(U32(head + 10), 64 << 10);
    int64_t headers = std::max<int64_t>(offset, 14 + headerSize + 12 + 256 * 4);
    return headers + 2 * pixelBytes + (int64_t(1) << 20);
}

bool DecodeBmp(const uint8_t* data, size_t size, DecodedBmp* out) {
    out->width = out->height = 0;
    out->pixels.clear();
    Header h;
    uint32_t palette[256] = {};
    int64_t paletteCount = 0;
    if (!PrepareDecode(data, size, &h, palette, &paletteCount)) return false;
    std::vector<uint32_t> pixels(size_t(h.width * h.height), 0);
    if (h.compression == BI_RLE8 || h.compression == BI_RLE4) {
        FlatSink sink{pixels.data(), h.width, h.height};
        WalkRle(data, size, h, palette, paletteCount, sink);
    } else {
        DecodeUncompressed(data, h, palette, paletteCount, pixels.data());
    }
    out->width = int(h.width);
    out->height = int(h.height);
    out->pixels = std::move(pixels);
    return true;
}

bool DecodeBmpRuns(const uint8_t* data, size_t size, DecodedBmpRuns* out) {
    *out = DecodedBmpRuns{};
    Header h;
    uint32_t palette[256] = {};
    int64_t paletteCount = 0;
    if (!PrepareDecode(data, size, &h, palette, &paletteCount)) return false;
    if (h.compression != BI_RLE8 && h.compression != BI_RLE4) return false;
    RunSink sink;
    sink.limit = size_t(std::max<int64_t>(h.width * h.height / 4, 1024));
    // Mostly a piece takes a byte or two of the file.
    sink.pieces.reserve(std::min(sink.limit, RleDataEnd(size, h) - h.offBits));
    WalkRle(data, size, h, palette, paletteCount, sink);
    if (sink.full) return false;
    // The pieces come bottom row first; where each row's pieces begin.
    std::vector<size_t> firstPiece(size_t(h.height) + 1, sink.pieces.size());
    for (size_t i = sink.pieces.size(); i-- > 0;) firstPiece[size_t(sink.pieces[i].y)] = i;
    for (int64_t y = h.height - 1; y >= 0; y--)
        firstPiece[size_t(y)] = std::min(firstPiece[size_t(y)], firstPiece[size_t(y) + 1]);
    out->rowStart.reserve(size_t(h.height) + 1);
    out->runs.reserve(sink.pieces.size() + size_t(h.height));
    for (int64_t row = 0; row < h.height; row++) {
        const int64_t y = h.height - 1 - row;
        out->rowStart.push_back(uint32_t(out->runs.size()));
        const size_t rowBegin = out->runs.size();
        auto put = [&](uint32_t colour, int64_t n) {
            if (out->runs.size() > rowBegin && out->runs.back().colour == colour)
                out->runs.back().length += uint32_t(n);  // at most the width
            else
                out->runs.push_back({colour, uint32_t(n)});
        };
        int64_t x = 0;
        for (size_t i = firstPiece[size_t(y)]; i < firstPiece[size_t(y) + 1]; i++) {
            const RunSink::Piece& piece = sink.pieces[i];
            if (piece.x > x) put(0, piece.x - x);
            put(piece.colour, piece.n);
            x = piece.x + piece.n;
        }
        if (x < h.width) put(0, h.width - x);
    }
    out->rowStart.push_back(uint32_t(out->runs.size()));
    out->width = int(h.width);
    out->height = int(h.height);
    return true;
}
