// Fetching, verifying and tracking the board's ghosts; see world_ghost.h.
#include "game/world_ghost.h"

#include <cstdio>

#include "game/online.h"
#include "game/recording.h"
#include "game/settings.h"
#include "game/verify.h"
#include "platform/platform.h"

namespace {

// A verification of a ghost's run may take this long at most: a frame's hitch.
constexpr int GHOST_VERIFY_BUDGET_MS = 200;

// The JSON string that starts at at (its opening quote), unescaped as the
// board escapes names (\" \\ and \uXXXX of control characters, which no
// good name holds).
std::string JsonString(const std::string& json, size_t at)
{
    std::string text;
    for (size_t i = at + 1; i < json.size() && json[i] != '"'; i++) {
        if (json[i] == '\\' && i + 1 < json.size()) i++;
        text += json[i];
    }
    return text;
}

void Request(WorldGhost* g, const std::string& path)
{
    std::string url = OnlineBase() + path;
    g->handle = PlatformHttpStart("GET", url.c_str(), "", nullptr, 0);
    g->state = g->handle ? WORLD_GHOST_FETCHING : WORLD_GHOST_NONE;
}

char HexDigit(unsigned v) { return "0123456789abcdef"[v & 15]; }

std::string HashHex(uint64_t hash)
{
    std::string text(16, '0');
    for (int i = 15; i >= 0; i--, hash >>= 4) text[(size_t)i] = HexDigit((unsigned)hash);
    return text;
}

// The name as a query's value: everything but letters and digits escaped.
std::string QueryValue(const std::string& name)
{
    std::string value;
    for (unsigned char c : name) {
        if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) value += (char)c;
        else value += std::string("%") + HexDigit(c >> 4) + HexDigit(c);
    }
    return value;
}

// A recording the board sent: raced only once it verifies here.
void TakeRecording(WorldGhost* g, const std::string& bytes, GhostTrack* track)
{
    Recording r;
    std::string why;
    if (!ParseRecording(bytes.data(), bytes.size(), &r, &why) || r.stageHash != g->stageHash ||
        !VerifyRecordingOnStage(r, &why, GHOST_VERIFY_BUDGET_MS)) {
        if (why.empty()) why = "it was played on another stage";
        fprintf(stderr, "Prismveldt: the records board's run does not verify (%s); no ghost\n", why.c_str());
        g->state = WORLD_GHOST_NONE;
        return;
    }
    TrackRecordedRun(r, track);
    g->state = WORLD_GHOST_READY;
}

}  // namespace

long long PickBoardRun(const std::string& board, int which, const std::string& name)
{
    long long above = 0, last = 0;
    for (size_t at = board.find("\"rank\":"); at != std::string::npos; at = board.find("\"rank\":", at + 1)) {
        long long run = 0;
        if (!JsonNumber(board, "run", &run, at)) break;
        if (which == WORLD_GHOST_RECORD) return run;
        size_t quote = board.find("\"name\":\"", at);
        if (quote != std::string::npos && JsonString(board, quote + 7) == name) {
            above = last;
            break;
        }
        last = run;
    }
    return which == WORLD_GHOST_ABOVE ? above : 0;
}

void StartWorldGhost(WorldGhost* g, int which, GhostTrack* track)
{
    StopWorldGhost(g);
    track->samples.clear();
    g->which = which;
    g->stageHash = StageHash();
    g->gotBoard = false;
    g->state = WORLD_GHOST_NONE;
    if (!OnlineReady(settings) || which == 0) return;
    std::string path = "/api/v1/boards/" + HashHex(g->stageHash);
    path += which == WORLD_GHOST_RECORD ? "?limit=1" : "?around=" + QueryValue(settings.onlineName);
    Request(g, path);
}

void StepWorldGhost(WorldGhost* g, GhostTrack* track)
{
    if (g->state != WORLD_GHOST_FETCHING) return;
    int status = 0;
    const char* body = nullptr;
    size_t size = 0;
    int state = PlatformHttpPoll(g->handle, &status, &body, &size);
    if (state == PLATFORM_HTTP_WAITING) return;
    std::string answer = state == PLATFORM_HTTP_ANSWERED && status == 200 ? std::string(body, size) : "";
    PlatformHttpEnd(g->handle);
    g->handle = 0;
    g->state = WORLD_GHOST_NONE;
    if (answer.empty()) return;
    if (g->gotBoard) return TakeRecording(g, answer, track);
    long long run = PickBoardRun(answer, g->which, settings.onlineName);
    if (run <= 0) return;
    g->gotBoard = true;
    Request(g, "/api/v1/runs/" + std::to_string(run) + "/recording");
}

void StopWorldGhost(WorldGhost* g)
{
    if (g->handle) PlatformHttpEnd(g->handle);
    g->handle = 0;
    g->state = WORLD_GHOST_IDLE;
}
