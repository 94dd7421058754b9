// The game's side of the online records board: the outbox of runs waiting to
// be sent, their sending a frame at a time, the player's key and what the
// board answered.
//
// Only while online records are on (OnlineReady) is anything read, written
// or sent. A run is queued in the outbox, a folder beside the score file
// (outbox/, one file per run, named by a hash of its bytes, holding the
// recording's bytes as kept), in one step (PlatformReplaceFile) before it is
// ever sent. The file goes only once the board has answered: 201 (ranked) or
// a refusal that sending again cannot change (400, 403, 404, 413, 422 and any
// other 4xx but 408 and 429: one line on standard error). Anything else (no
// answer, a timeout, 408, 429, 5xx) is tried again later, each wait twice the
// last, from 2 s to 5 minutes; what is still there at the next start goes
// then. A run whose file cannot be written (a full disk) is still sent from
// memory, and its file tried again before each send. A run sent again after
// a kill between the board's answer and the file's removal is answered by
// the board with the same run: it never ranks twice.
//
// The player's key, 32 hex digits from the system's random source, is made
// once and kept in online-key.txt beside the score file (never in the
// settings, which a player may show others, and never written to any log).
// Nothing works without a score file's folder (scoreFilePath nullptr).
#pragma once
#include <cstdint>
#include <string>

struct Recording;

// The outbox file's name for a recording's bytes: 16 hex digits and ".replay".
std::string OutboxName(const std::string& bytes);
// Where the outbox is: "outbox" beside the score file at scorePath.
std::string OutboxFolder(const char* scorePath);

// Queues the run (a counted run that improved the player's best for its
// stage) when online records are on; the outbox name it is known by ("" when
// nothing was queued).
std::string QueueOnlineRun(const Recording& recording);
// Once a frame: starts, or asks about, the one request under way. Never waits.
void StepOnlineRecords();

// What the board answered for the run queued as name.
enum { ONLINE_UNKNOWN = 0, ONLINE_RANKED = 1, ONLINE_REFUSED = 2 };
int OnlineAnswer(const std::string& name, int* rank);

// The player's key: made and kept the first time it is asked for; "" when
// there is no score file's folder.
const std::string& OnlinePlayerKey();
// The board's address with nothing after its host's path: settings'
// onlineServer without a trailing '/'.
std::string OnlineBase();
// The headers every request to the board carries, as PlatformHttpStart takes them.
std::string OnlineHeaders();
// A whole number field of a JSON answer ("rank": 12), from after the first
// occurrence of "\"name\":" at or after from; false when missing.
bool JsonNumber(const std::string& json, const char* name, long long* value, size_t from = 0);
