// The glyph source on Windows: the system's own fonts through GDI. A line of
// text is drawn with TextOutW, white on black, into a grey-scale-antialiased
// DIB section, and handed back as one coverage box, so the system's font
// mapper, font linking and spacing are exactly those of any Windows program.
#include "platform/windows/win_internal.h"

#include "platform/platform.h"

#include <cstring>
#include <string>
#include <vector>

struct GlyphFontData {
    std::string faceName; // as the game asked for it
    int width;
    int height;
    HFONT font;
    int cellHeight;
    int ascent;
    std::string family;   // what the mapper gave, UTF-8
};

// A handful of recent fonts: a results frame asks for the same few sizes over
// and over. The handle handed out last is never the one evicted.
static const int FONT_CACHE_SIZE = 16;
static GlyphFontData* fontCache[FONT_CACHE_SIZE];
static int nextEviction = 0;

static HDC glyphDC = nullptr;
static HBITMAP glyphBitmap = nullptr;
static HGDIOBJ glyphOldBitmap = nullptr;
static uint32_t* glyphBits = nullptr;
static int glyphBitmapWidth = 0;
static int glyphBitmapHeight = 0;
static std::vector<uint8_t> coverageRows;

// Longest line and tallest font the drawing surface is grown for: far beyond
// any caption of the game, small enough that no text can ask for absurd memory.
static const int MAX_RASTER_WIDTH = 8192;
static const int MAX_RASTER_HEIGHT = 2048;

static std::string WideToUtf8(const wchar_t* text) {
    int length = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (length <= 1) return std::string();
    std::string utf8(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8.data(), length, nullptr, nullptr);
    utf8.resize(static_cast<size_t>(length - 1));
    return utf8;
}

// UTF-16 of length bytes of UTF-8; malformed bytes become U+FFFD one by one,
// the same walk the Linux glyph source makes.
static std::wstring TextToWide(const char* text, int length) {
    std::wstring wide;
    if (text == nullptr || length <= 0) return wide;
    const char* cursor = text;
    const char* end = text + length;
    while (cursor < end) {
        uint32_t c = static_cast<unsigned char>(*cursor);
        if (c < 0x80) ++cursor; // plain ASCII needs no decoding
        else c = NextCodepoint(&cursor, end);
        if (c >= 0x10000) {
            c -= 0x10000;
            wide.push_back(static_cast<wchar_t>(0xD800 + (c >> 10)));
            wide.push_back(static_cast<wchar_t>(0xDC00 + (c & 0x3FF)));
        } else {
            wide.push_back(static_cast<wchar_t>(c));
        }
    }
    return wide;
}

static HDC GlyphDC() {
    if (glyphDC == nullptr) {
        glyphDC = CreateCompatibleDC(nullptr);
        SetBkMode(glyphDC, TRANSPARENT);
        SetTextColor(glyphDC, RGB(255, 255, 255));
        SetTextAlign(glyphDC, TA_TOP | TA_LEFT | TA_NOUPDATECP);
    }
    return glyphDC;
}

// Makes the drawing surface at least width x height; false when it cannot be.
static bool EnsureGlyphBitmap(int width, int height) {
    if (width <= glyphBitmapWidth && height <= glyphBitmapHeight && glyphBitmap != nullptr) return true;
    int newWidth = width > glyphBitmapWidth ? width : glyphBitmapWidth;
    int newHeight = height > glyphBitmapHeight ? height : glyphBitmapHeight;
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = newWidth;
    info.bmiHeader.biHeight = -newHeight; // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(GlyphDC(), &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap == nullptr || bits == nullptr) return false;
    if (glyphBitmap != nullptr) {
        SelectObject(glyphDC, glyphOldBitmap);
        DeleteObject(glyphBitmap);
    }
    glyphOldBitmap = SelectObject(glyphDC, bitmap);
    glyphBitmap = bitmap;
    glyphBits = static_cast<uint32_t*>(bits);
    glyphBitmapWidth = newWidth;
    glyphBitmapHeight = newHeight;
    return true;
}

static void FreeGlyphFont(GlyphFontData* data) {
    if (data == nullptr) return;
    if (data->font != nullptr) DeleteObject(data->font);
    delete data;
}

static HFONT CreateGameFont(const std::wstring& face, int width, int height, DWORD pitchAndFamily) {
    // The game's font: weight 400, default character set, modern fixed-pitch
    // family; grey-scale antialiasing, since the coverage is blended in colour
    // and sub-pixel fringes would come out as coloured edges.
    return CreateFontW(height, width, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                       OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY,
                       pitchAndFamily, face.c_str());
}

// The face the mapper actually gave, as GetTextFaceW names it.
static std::wstring FaceOf(HFONT font) {
    HDC dc = GlyphDC();
    HGDIOBJ previous = SelectObject(dc, font);
    wchar_t face[LF_FACESIZE] = {};
    GetTextFaceW(dc, LF_FACESIZE, face);
    SelectObject(dc, previous);
    return face;
}

static GlyphFontData* CreateGlyphFont(const char* faceName, int width, int height) {
    std::wstring face = Utf8ToWide(faceName);
    if (face.size() > 31) face.resize(31); // LOGFONT's face name holds 31 characters
    HFONT font = CreateGameFont(face, width, height, FF_MODERN | FIXED_PITCH);
    if (font == nullptr) return nullptr;
    // Asking for a fixed pitch can make the mapper pass over a proportional
    // face it has by that very name (Impact) for a fixed-pitch one. The named
    // face wins when the system has it.
    if (!face.empty() && lstrcmpiW(FaceOf(font).c_str(), face.c_str()) != 0) {
        HFONT named = CreateGameFont(face, width, height, FF_DONTCARE | DEFAULT_PITCH);
        if (named != nullptr && lstrcmpiW(FaceOf(named).c_str(), face.c_str()) == 0) {
            DeleteObject(font);
            font = named;
        } else if (named != nullptr) {
            DeleteObject(named);
        }
    }
    GlyphFontData* data = new GlyphFontData{faceName, width, height, font, 0, 0, ""};
    HDC dc = GlyphDC();
    HGDIOBJ previous = SelectObject(dc, font);
    TEXTMETRICW metrics = {};
    GetTextMetricsW(dc, &metrics);
    wchar_t family[LF_FACESIZE] = {};
    GetTextFaceW(dc, LF_FACESIZE, family);
    SelectObject(dc, previous);
    data->cellHeight = metrics.tmHeight;
    data->ascent = metrics.tmAscent;
    data->family = WideToUtf8(family);
    return data;
}

GlyphFont PlatformOpenGlyphFont(const char* faceName, int width, int height) {
    if (faceName == nullptr) faceName = "";
    if (width < 0) width = -width;
    if (height < 0) height = -height;
    // Absurd sizes would make absurd bitmaps; no caption comes near these.
    if (width > MAX_RASTER_HEIGHT) width = MAX_RASTER_HEIGHT;
    if (height > MAX_RASTER_HEIGHT) height = MAX_RASTER_HEIGHT;
    for (GlyphFontData* cached : fontCache) {
        if (cached != nullptr && cached->width == width && cached->height == height &&
            cached->faceName == faceName)
            return cached;
    }
    GlyphFontData* data = CreateGlyphFont(faceName, width, height);
    if (data == nullptr) return nullptr;
    FreeGlyphFont(fontCache[nextEviction]);
    fontCache[nextEviction] = data;
    nextEviction = (nextEviction + 1) % FONT_CACHE_SIZE;
    return data;
}

int PlatformGlyphCellHeight(GlyphFont font) {
    return font != nullptr ? font->cellHeight : 0;
}

int PlatformGlyphAscent(GlyphFont font) {
    return font != nullptr ? font->ascent : 0;
}

int PlatformMeasureGlyphText(GlyphFont font, const char* text, int length) {
    if (font == nullptr) return 0;
    std::wstring wide = TextToWide(text, length);
    if (wide.empty()) return 0;
    HDC dc = GlyphDC();
    HGDIOBJ previous = SelectObject(dc, font->font);
    SIZE extent = {0, 0};
    GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &extent);
    SelectObject(dc, previous);
    return extent.cx;
}

void PlatformRasteriseGlyphText(GlyphFont font, const char* text, int length,
                        GlyphSink sink, void* context) {
    if (font == nullptr || sink == nullptr) return;
    std::wstring wide = TextToWide(text, length);
    if (wide.empty()) return;
    HDC dc = GlyphDC();
    HGDIOBJ previous = SelectObject(dc, font->font);
    SIZE extent = {0, 0};
    GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &extent);
    // A margin of half a cell on every side keeps overhanging strokes (italic
    // tails, glyphs reaching left of their pen) from being cut off.
    int margin = font->cellHeight / 2 + 2;
    int width = extent.cx + 2 * margin;
    int height = font->cellHeight + 2 * margin;
    if (width > MAX_RASTER_WIDTH) width = MAX_RASTER_WIDTH;
    if (height > MAX_RASTER_HEIGHT) height = MAX_RASTER_HEIGHT;
    if (width <= 0 || height <= 0 || !EnsureGlyphBitmap(width, height)) {
        SelectObject(dc, previous);
        return;
    }
    for (int y = 0; y < height; ++y)
        std::memset(glyphBits + static_cast<size_t>(y) * glyphBitmapWidth, 0,
                    static_cast<size_t>(width) * sizeof(uint32_t));
    TextOutW(dc, margin, margin, wide.c_str(), static_cast<int>(wide.size()));
    GdiFlush();
    SelectObject(dc, previous);

    // White ink on black: any channel is the coverage; the brightest one
    // keeps a little more of the edge should the system smooth per channel.
    coverageRows.resize(static_cast<size_t>(width) * height);
    bool inked = false;
    for (int y = 0; y < height; ++y) {
        const uint32_t* row = glyphBits + static_cast<size_t>(y) * glyphBitmapWidth;
        uint8_t* out = coverageRows.data() + static_cast<size_t>(y) * width;
        for (int x = 0; x < width; ++x) {
            uint32_t p = row[x];
            uint8_t r = static_cast<uint8_t>(p >> 16), g = static_cast<uint8_t>(p >> 8),
                    b = static_cast<uint8_t>(p);
            uint8_t c = r > g ? (r > b ? r : b) : (g > b ? g : b);
            out[x] = c;
            inked |= c != 0;
        }
    }
    if (!inked) return; // spaces only
    GlyphCoverage glyph = {coverageRows.data(), width, height, width, -margin, -margin};
    sink(context, glyph);
}

const char* PlatformGlyphFontFamily(GlyphFont font) {
    return font != nullptr ? font->family.c_str() : "";
}

// GDI does not say which file a face came from.
const char* PlatformGlyphFontFile(GlyphFont) {
    return "";
}
