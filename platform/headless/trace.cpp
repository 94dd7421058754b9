// The harness trace: JSON Lines, one object per line, in the order things happen.
#include <cstdio>

#include "platform/headless/headless.h"

static FILE* traceFile = nullptr;
static bool traceToStdout = false;
static std::string tracePath;

// Length of the valid UTF-8 sequence at text, or 0 when it is not one.
static int Utf8SequenceLength(const unsigned char* text)
{
    unsigned char lead = text[0];
    int length;
    uint32_t code;
    if (lead >= 0xC2 && lead <= 0xDF) { length = 2; code = lead & 0x1F; }
    else if (lead >= 0xE0 && lead <= 0xEF) { length = 3; code = lead & 0x0F; }
    else if (lead >= 0xF0 && lead <= 0xF4) { length = 4; code = lead & 0x07; }
    else return 0;
    for (int i = 1; i < length; i++) {
        if ((text[i] & 0xC0) != 0x80) return 0;  // also stops at the terminating zero
        code = (code << 6) | (text[i] & 0x3F);
    }
    // no over-long forms, no surrogates, nothing past U+10FFFF
    static const uint32_t smallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < smallest[length] || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF) return 0;
    return length;
}

void AppendJsonEscaped(std::string* out, const char* text)
{
    const unsigned char* p = reinterpret_cast<const unsigned char*>(text);
    while (*p != 0) {
        unsigned char c = *p;
        if (c == '"' || c == '\\') {
            *out += '\\';
            *out += static_cast<char>(c);
            p++;
        } else if (c < 0x20) {
            switch (c) {
            case '\n': *out += "\\n"; break;
            case '\r': *out += "\\r"; break;
            case '\t': *out += "\\t"; break;
            case '\b': *out += "\\b"; break;
            case '\f': *out += "\\f"; break;
            default: {
                char escaped[8];
                snprintf(escaped, sizeof escaped, "\\u%04x", c);
                *out += escaped;
            }
            }
            p++;
        } else if (c < 0x80) {
            *out += static_cast<char>(c);
            p++;
        } else {
            int length = Utf8SequenceLength(p);
            if (length == 0) {
                *out += "\\ufffd";
                p++;
            } else {
                out->append(reinterpret_cast<const char*>(p), length);
                p += length;
            }
        }
    }
}

bool OpenTrace(const std::string& path)
{
    tracePath = path == "-" ? "(standard output)" : path;
    if (path == "-") {
        traceFile = stdout;
        traceToStdout = true;
        return true;
    }
    traceFile = fopen(path.c_str(), "w");
    return traceFile != nullptr;
}

bool TraceOpen() { return traceFile != nullptr; }
bool TraceIsStdout() { return traceToStdout; }

void TraceLine(const std::string& fields)
{
    if (traceFile == nullptr) return;
    fputc('{', traceFile);
    fwrite(fields.data(), 1, fields.size(), traceFile);
    fputs("}\n", traceFile);
    if (fflush(traceFile) != 0 || ferror(traceFile)) {
        // A trace with lines missing would pass for a whole one.
        FILE* failed = traceFile;
        traceFile = nullptr;
        if (!traceToStdout) fclose(failed);
        HarnessOutputFailed("the trace", tracePath);
    }
}

bool CloseTrace()
{
    if (traceFile == nullptr) return true;
    bool ok = fflush(traceFile) == 0 && !ferror(traceFile);
    if (!traceToStdout) ok = fclose(traceFile) == 0 && ok;
    traceFile = nullptr;
    return ok;
}

const std::string& TracePath() { return tracePath; }
