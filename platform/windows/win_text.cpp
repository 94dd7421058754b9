// UTF-8 to UTF-16 for the wide Windows functions: the game's texts (window
// titles, dialog texts, Japanese captions) are UTF-8, Windows shows UTF-16.
#include "platform/windows/win_internal.h"

std::wstring Utf8ToWide(const char* text) {
    if (text == nullptr || text[0] == '\0') return std::wstring();
    int length = MultiByteToWideChar(CP_UTF8, 0, text, -1, nullptr, 0);
    if (length <= 0) {
        // Not UTF-8 after all: show it byte for byte rather than nothing.
        std::wstring wide;
        for (const char* p = text; *p; ++p) wide.push_back(static_cast<unsigned char>(*p));
        return wide;
    }
    std::wstring wide(static_cast<size_t>(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text, -1, wide.data(), length);
    wide.resize(static_cast<size_t>(length - 1)); // drop the terminator
    return wide;
}
