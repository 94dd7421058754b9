// Escaping for the board's JSON and HTML.
#include "board/text.h"

#include <cstdio>

std::string JsonString(const std::string& s)
{
    std::string out = "\"";
    for (unsigned char c : s) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += (char)c;
        } else if (c < 0x20 || c >= 0x7F) {
            char code[8];
            snprintf(code, sizeof code, "\\u%04x", c);
            out += code;
        } else {
            out += (char)c;
        }
    }
    return out + "\"";
}

std::string HtmlEscape(const std::string& s)
{
    std::string out;
    for (char c : s) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&#39;"; break;
        default: out += c;
        }
    }
    return out;
}
