// The board server's state and its parts: the options it was started with,
// the store, the stages it knows, the verification pool and the throttles.
// One Board serves every request thread at once.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "board/stages.h"
#include "board/store.h"
#include "board/throttle.h"
#include "board/verify_pool.h"

namespace httplib { class Server; }

constexpr size_t RUN_BODY_LIMIT = 1u << 20;       // a recording as the game keeps it
constexpr size_t STAGE_BODY_LIMIT = 2u << 20;     // a stage file and its recording

struct BoardOptions {
    std::string host = "127.0.0.1";
    int port = 8787;            // 0: any free port (printed once listening)
    std::string database;
    std::string data;           // the official stages
    std::string play;           // the browser build served at /play/ ("" : none)
    int workers = 0;            // verification threads (0: one per core)
    int queue = 64;             // recordings waiting for a worker at most
    int verifyMs = 2000;        // a check's time budget
    int maxFrames = 225000;     // the longest run checked: an hour of frames
    double keyRate = 30;        // submissions a minute per key (0: no limit)
    double addressRate = 120;   // requests that submit, a minute per address
    int readTimeoutSeconds = 5; // a client that sends nothing this long is dropped
    bool reverify = false;      // play every stored run again at start
};

struct Board {
    BoardOptions options;
    Store* store = nullptr;
    StageSet stages;
    VerifyPool* pool = nullptr;
    Throttle keys, addresses;
};

// A board entry: each player's best on one stage.
struct BoardEntry {
    int rank = 0;
    std::string name;
    int64_t timeMs = 0;
    int64_t run = 0;
    int64_t submitted = 0;  // milliseconds since 1970
};
// The fastest limit entries of the stage with hash text hash: each player's
// best, fastest first, equal times by the earlier run, ranked from 1; at a
// cost that grows with limit, not with the stage's runs. False when the
// store fails.
bool ReadBoardTop(Board* board, const std::string& hash, size_t limit, std::vector<BoardEntry>* entries);
// A player's standing on a board: their best run and its rank (0: they
// have none there), found with a look at their runs and a count of the
// players with a run before it, never the whole board read.
struct BoardStanding {
    int rank = 0;
    int64_t timeMs = 0;
    int64_t run = 0;
};
bool FindStanding(Board* board, const std::string& hash, const std::string& name, BoardStanding* standing);
// The window of limit entries with name in its middle (pushed down to the
// board's end when it is near it), ranked as ReadBoardTop ranks them; the top
// when name has no entry. False when the store fails.
bool ReadBoardAround(Board* board, const std::string& hash, const std::string& name, size_t limit,
                     std::vector<BoardEntry>* entries);
// The stage known under hash, from memory or (a stage another server added)
// from the store; false when no server knows it.
bool LookUpStage(Board* board, uint64_t hash, BoardStage* stage);

// Registers the API's routes, the page and /play/ on server.
void AddBoardRoutes(httplib::Server& server, Board* board);
// The page of the boards (page.cpp) into *html: PAGE_BOARDS of them, the
// official stages first, then the custom stages with runs by hash, from the
// (page - 1) * PAGE_BOARDS th on; the fastest PAGE_ENTRIES of each. False
// when the store fails.
constexpr int PAGE_BOARDS = 20;
constexpr int PAGE_ENTRIES = 20;
bool BoardPage(Board* board, int page, std::string* html);
// Plays every stored run again when the rules version stored differs from
// RULES_VERSION (or always, when forced) and marks those that no longer
// verify; each is reported on standard error. Returns how many failed, or
// -1 when the store fails.
int ReverifyStoredRuns(Board* board, bool forced);
