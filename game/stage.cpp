// The stage grid, the meaning of its tile codes, and the reading of stage
// files. Drawing the stage picture lives in stage_render.cpp and the file
// itself is opened in stage_load.cpp, so the rules here link without graphics.
#include "game/stage.h"
#include <cstdint>

PRISMVELDT_GRID_STORAGE int tileMap[MAP_ROWS][MAP_COLS];

int TileAt(float x, float y)
{
    // Written so that NaN also counts as outside. Only points at 0 or beyond
    // get past this test, and for those truncating the quotient is flooring
    // it: x in [64k, 64k + 64) is column k, a point on a cell's edge belongs
    // to the cell right of or below it, as in the beam's whole-pixel TileAt.
    // Truncation and floor part only for -64 < x < 0 (or y), which truncation
    // would put into column 0: the test above turns those into TILE_OUTSIDE
    // first, so a probe a fraction of a pixel off the stage meets a block,
    // not the edge cell. Recorded runs are played again through these same
    // probes, so the cell a point falls in must never move.
    if (!(x >= 0.0f && x < (float)MAP_WIDTH && y >= 0.0f && y < (float)MAP_HEIGHT))
        return TILE_OUTSIDE;
    int col = (int)(x / (float)TILE_SIZE);
    int row = (int)(y / (float)TILE_SIZE);
    if (col >= MAP_COLS) col = MAP_COLS - 1;  // only reachable through rounding
    if (row >= MAP_ROWS) row = MAP_ROWS - 1;
    return tileMap[row][col];
}

int TileAt(int x, int y)
{
    if (x < 0 || x >= MAP_WIDTH || y < 0 || y >= MAP_HEIGHT)
        return TILE_OUTSIDE;
    return tileMap[y / TILE_SIZE][x / TILE_SIZE];
}

bool IsSolidTile(int code)
{
    return (code >= 1 && code <= 4) || (code >= 12 && code <= 26) || code == 46;
}

bool IsDeadlyTile(int code)
{
    return code >= 5 && code <= 8;
}

bool IsHiveTile(int code)
{
    return code == TILE_HIVE || code == TILE_BEE_NEST;
}

// Reading follows "%d " exactly: white space is skipped, a sign may lead, then
// digits; the first thing that is not a number ends the reading for good,
// since every later "%d " would stop at the same character. A number beyond
// the range of an int is treated as not a number. Before that, the first bytes
// tell how the text is stored: a UTF-8 byte-order mark is skipped, and text
// saved as UTF-16 (with its mark) is read character by character.
namespace {
enum { SKIP_SPACE, AFTER_SIGN, IN_DIGITS, STOPPED };
enum { TEXT_UNKNOWN, TEXT_BYTES, TEXT_UTF16_LE, TEXT_UTF16_BE };

bool IsScanfSpace(unsigned char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}
}

void StartStageParser(StageParser* parser)
{
    parser->count = 0;
    parser->state = SKIP_SPACE;
    parser->negative = false;
    parser->magnitude = 0;
    parser->stoppedAtJunk = false;
    parser->encoding = TEXT_UNKNOWN;
    parser->headLength = 0;
    parser->pendingByte = -1;
}

static void FinishNumber(StageParser* parser, int cells[MAP_CELLS])
{
    // magnitude is capped just above 2^31, so this never overflows.
    long long value = parser->negative ? -parser->magnitude : parser->magnitude;
    if (value < INT32_MIN || value > INT32_MAX) {
        parser->state = STOPPED;
        parser->stoppedAtJunk = true;
        return;
    }
    cells[parser->count++] = (int)value;
    parser->state = parser->count >= MAP_CELLS ? STOPPED : SKIP_SPACE;
}

static void Stop(StageParser* parser)
{
    parser->state = STOPPED;
    parser->stoppedAtJunk = true;
}

// One character of the text, whatever it was stored as; characters beyond
// ASCII arrive as 0x80, which is never part of a number.
static void TakeCharacter(StageParser* parser, unsigned char c, int cells[MAP_CELLS])
{
    bool digit = c >= '0' && c <= '9';
    if (parser->state == IN_DIGITS) {
        if (digit) {
            if (parser->magnitude <= 2147483648LL)
                parser->magnitude = parser->magnitude * 10 + (c - '0');
            return;
        }
        FinishNumber(parser, cells);
        if (parser->state == STOPPED) return;
        // this character starts the white space (or the next number)
    }
    if (parser->state == SKIP_SPACE) {
        if (IsScanfSpace(c)) return;
        parser->negative = false;
        parser->magnitude = 0;
        if (c == '+' || c == '-') {
            parser->negative = c == '-';
            parser->state = AFTER_SIGN;
        } else if (digit) {
            parser->magnitude = c - '0';
            parser->state = IN_DIGITS;
        } else {
            Stop(parser);
        }
    } else if (parser->state == AFTER_SIGN) {
        if (digit) {
            parser->magnitude = c - '0';
            parser->state = IN_DIGITS;
        } else {
            Stop(parser);
        }
    }
}

static void TakeByte(StageParser* parser, unsigned char byte, int cells[MAP_CELLS])
{
    if (parser->encoding == TEXT_BYTES) {
        TakeCharacter(parser, byte, cells);
        return;
    }
    if (parser->pendingByte < 0) {
        parser->pendingByte = byte;
        return;
    }
    unsigned unit = parser->encoding == TEXT_UTF16_LE ? (unsigned)parser->pendingByte | byte << 8
                                                      : (unsigned)parser->pendingByte << 8 | byte;
    parser->pendingByte = -1;
    TakeCharacter(parser, unit < 0x80 ? (unsigned char)unit : 0x80, cells);
}

// Decides the encoding once the first bytes are in (or the text ended), then
// passes on the bytes held back that are not a mark.
static void DecideEncoding(StageParser* parser, int cells[MAP_CELLS])
{
    const unsigned char* head = parser->head;
    int length = parser->headLength;
    int skip = 0;
    parser->encoding = TEXT_BYTES;
    if (length >= 3 && head[0] == 0xEF && head[1] == 0xBB && head[2] == 0xBF) {
        skip = 3;
    } else if (length >= 2 && head[0] == 0xFF && head[1] == 0xFE) {
        parser->encoding = TEXT_UTF16_LE;
        skip = 2;
    } else if (length >= 2 && head[0] == 0xFE && head[1] == 0xFF) {
        parser->encoding = TEXT_UTF16_BE;
        skip = 2;
    }
    for (int i = skip; i < length && parser->state != STOPPED; ++i) TakeByte(parser, head[i], cells);
}

bool FeedStageParser(StageParser* parser, const char* text, size_t length, int cells[MAP_CELLS])
{
    for (size_t i = 0; i < length && parser->state != STOPPED; ++i) {
        unsigned char c = (unsigned char)text[i];
        if (parser->encoding == TEXT_UNKNOWN) {
            parser->head[parser->headLength++] = c;
            if (parser->headLength == (int)sizeof parser->head) DecideEncoding(parser, cells);
            continue;
        }
        TakeByte(parser, c, cells);
    }
    return parser->state != STOPPED;
}

int FinishStageParser(StageParser* parser, int cells[MAP_CELLS])
{
    if (parser->encoding == TEXT_UNKNOWN) DecideEncoding(parser, cells);
    if (parser->state == IN_DIGITS) FinishNumber(parser, cells);
    // A sign with nothing after it is not a number either.
    if (parser->state == AFTER_SIGN) parser->stoppedAtJunk = true;
    parser->state = STOPPED;
    return parser->count;
}

int ParseStageNumbers(const char* text, size_t length, int cells[MAP_CELLS])
{
    StageParser parser;
    StartStageParser(&parser);
    FeedStageParser(&parser, text, length, cells);
    return FinishStageParser(&parser, cells);
}
