// The board's HTTP API: submitting runs and stages, reading boards and
// recordings, removing a player, the page and the browser build.
#include <httplib.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <string>

#include "board/board.h"
#include "board/sha256.h"
#include "board/text.h"
#include "game/recording.h"

namespace {

using httplib::Request;
using httplib::Response;

double SteadySeconds()
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

int64_t NowMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::system_clock::now().time_since_epoch()).count();
}

void Json(Response& res, int status, const std::string& body)
{
    res.status = status;
    res.set_content(body, "application/json");
}

void Error(Response& res, int status, const std::string& reason)
{
    Json(res, status, "{\"error\":" + JsonString(reason) + "}");
}

// 1 to 16 printable ASCII characters.
bool GoodName(const std::string& name)
{
    if (name.empty() || name.size() > 16) return false;
    for (unsigned char c : name)
        if (c < 0x20 || c > 0x7E) return false;
    return true;
}

bool GoodKey(const std::string& key)
{
    return key.size() == 32 && key.find_first_not_of("0123456789abcdefABCDEF") == std::string::npos;
}

// The key as kept: the SHA-256 of its lower-case hex.
std::string KeyHash(std::string key)
{
    for (char& c : key) c = (char)std::tolower((unsigned char)c);
    return Sha256Hex(key);
}

// What makes a run one run, whatever its clocks and pauses say: its stage and
// every play frame's input. Two players may not rank the same one.
std::string Fingerprint(const Recording& r)
{
    std::string text = HashText(r.stageHash);
    for (const RecordedFrame& f : r.frames)
        if (!f.curtain)
            text += " " + std::to_string(f.mouseX) + "," + std::to_string(f.mouseY) + "," +
                    std::to_string(f.buttons) + "," + std::to_string(f.keys);
    return Sha256Hex(text);
}

struct Player {
    std::string name, keyHash;
    int64_t id = 0;
};

// The headers' player, checked and throttled; false with the answer made.
bool TakePlayer(Board* board, const Request& req, Response& res, Player* player)
{
    if (!ThrottleAllows(&board->addresses, req.remote_addr, SteadySeconds())) {
        Error(res, 429, "too many submissions from this address");
        return false;
    }
    player->name = req.get_header_value("X-Player-Name");
    std::string key = req.get_header_value("X-Player-Key");
    if (req.get_header_value_count("X-Player-Name") != 1 || !GoodName(player->name)) {
        Error(res, 400, "X-Player-Name must be 1 to 16 printable characters");
        return false;
    }
    if (req.get_header_value_count("X-Player-Key") != 1 || !GoodKey(key)) {
        Error(res, 400, "X-Player-Key must be 32 hex digits");
        return false;
    }
    player->keyHash = KeyHash(key);
    if (!ThrottleAllows(&board->keys, player->keyHash, SteadySeconds())) {
        Error(res, 429, "too many submissions with this key");
        return false;
    }
    return true;
}

// The name for the key: taken when free; false with 403 when another key
// owns it (or 500 when the store fails).
bool ClaimName(Board* board, Player* player, Response& res)
{
    std::vector<StoreRow> rows;
    if (!StoreRun(board->store, "claim_name", {StoreText(player->name), StoreText(player->keyHash), StoreInt(NowMs())}) ||
        !StoreRun(board->store, "find_player", {StoreText(player->name)}, &rows) || rows.empty()) {
        Error(res, 500, "the board's database failed");
        return false;
    }
    if (rows[0][1] != player->keyHash) {
        Error(res, 403, "the name belongs to another key");
        return false;
    }
    player->id = std::atoll(rows[0][0].c_str());
    return true;
}

// The answer for a stored run: its player's rank now, and whether it is
// their best.
void AnswerRun(Board* board, Response& res, int64_t runId, const Player& player, const Recording& r)
{
    std::string hash = HashText(r.stageHash);
    BoardStanding standing;
    if (!FindStanding(board, hash, player.name, &standing)) return Error(res, 500, "the board's database failed");
    int rank = standing.rank;
    bool best = standing.run == runId;
    Json(res, 201, "{\"id\":" + std::to_string(runId) + ",\"stage\":" + std::to_string(r.stage) +
                       ",\"stage_hash\":\"" + hash + "\",\"time_ms\":" + std::to_string(r.timeMs) +
                       ",\"rank\":" + std::to_string(rank) + ",\"best\":" + (best ? "true" : "false") + "}");
}

// A run that the same player already sent is answered again; another
// player's is refused. False when the fingerprint is new.
bool AnswerKnownRun(Board* board, Response& res, const std::string& fingerprint, const Player& player,
                    const Recording& r)
{
    std::vector<StoreRow> rows;
    if (!StoreRun(board->store, "find_fingerprint", {StoreText(fingerprint)}, &rows) || rows.empty()) return false;
    if (std::atoll(rows[0][1].c_str()) != player.id)
        Error(res, 422, "another player's run is on the board with these very inputs");
    else
        AnswerRun(board, res, std::atoll(rows[0][0].c_str()), player, r);
    return true;
}

// Verifies recording (its text bytes) on stage for player and ranks it.
void RankRun(Board* board, Response& res, Player& player, const Recording& r, const std::string& bytes,
             const BoardStage& stage)
{
    if (stage.official && r.stage != stage.number)
        return Error(res, 422, "it names stage " + std::to_string(r.stage) + " but was played on stage " +
                                   std::to_string(stage.number) + "'s file");
    if (r.frames.size() > (size_t)board->options.maxFrames)
        return Error(res, 422, "it is longer than the board checks");
    if (!ClaimName(board, &player, res)) return;
    std::string fingerprint = Fingerprint(r);
    if (AnswerKnownRun(board, res, fingerprint, player, r)) return;
    std::string why;
    int outcome = VerifyOnPool(board->pool, r, stage.grid, &why);
    if (outcome == VERIFY_QUEUE_FULL) {
        res.set_header("Retry-After", "1");
        return Error(res, 503, "the board is busy checking other runs");
    }
    if (outcome == VERIFY_REFUSED) return Error(res, 422, why);
    std::vector<StoreRow> rows;
    std::string failed;
    if (!StoreRun(board->store, "add_run",
                  {StoreInt(player.id), StoreText(HashText(r.stageHash)), StoreInt(r.stage), StoreInt(r.timeMs),
                   StoreInt(r.playFrames), StoreInt(r.rules), StoreBytes(bytes), StoreText(Sha256Hex(bytes)),
                   StoreText(fingerprint), StoreInt(NowMs())},
                  &rows, &failed))
        return Error(res, 500, "the board's database failed");
    // Sent twice at once: the other request stored it first.
    if (rows.empty()) {
        if (!AnswerKnownRun(board, res, fingerprint, player, r)) Error(res, 500, "the run was lost");
        return;
    }
    AnswerRun(board, res, std::atoll(rows[0][0].c_str()), player, r);
}

void PostRun(Board* board, const Request& req, Response& res)
{
    if (req.body.size() > RUN_BODY_LIMIT) return Error(res, 413, "a recording is at most 1 MiB");
    Player player;
    if (!TakePlayer(board, req, res, &player)) return;
    Recording r;
    std::string why;
    if (!ParseRecording(req.body.data(), req.body.size(), &r, &why)) return Error(res, 422, why);
    BoardStage stage;
    if (!LookUpStage(board, r.stageHash, &stage)) return Error(res, 404, "the board does not know this stage");
    RankRun(board, res, player, r, req.body, stage);
}

void PostStage(Board* board, const Request& req, Response& res)
{
    if (req.body.size() > STAGE_BODY_LIMIT) return Error(res, 413, "a stage and its recording are at most 2 MiB");
    Player player;
    if (!TakePlayer(board, req, res, &player)) return;
    if (!req.has_file("stage") || !req.has_file("recording"))
        return Error(res, 400, "send the parts \"stage\" (a stage file) and \"recording\" (a run that clears it)");
    std::string text = req.get_file_value("stage").content;
    std::string bytes = req.get_file_value("recording").content;
    if (bytes.size() > RUN_BODY_LIMIT) return Error(res, 413, "a recording is at most 1 MiB");
    auto grid = std::make_shared<StageGrid>();
    if (!ParseStageText(text, grid.get())) return Error(res, 422, "the stage part is not a stage file");
    Recording r;
    std::string why;
    if (!ParseRecording(bytes.data(), bytes.size(), &r, &why)) return Error(res, 422, why);
    BoardStage stage;
    stage.hash = GridHash(*grid);
    if (r.stageHash != stage.hash) return Error(res, 422, "the recording was played on another stage");
    if (LookUpStage(board, stage.hash, &stage)) return RankRun(board, res, player, r, bytes, stage);
    stage.number = r.stage;
    stage.content = text;
    stage.grid = grid;
    // Known only once a run has cleared it: verified first, then stored.
    if (!ClaimName(board, &player, res)) return;
    int outcome = VerifyOnPool(board->pool, r, grid, &why);
    if (outcome == VERIFY_QUEUE_FULL) {
        res.set_header("Retry-After", "1");
        return Error(res, 503, "the board is busy checking other runs");
    }
    if (outcome == VERIFY_REFUSED) return Error(res, 422, why);
    if (!StoreRun(board->store, "add_stage", {StoreText(HashText(stage.hash)), StoreInt(stage.number),
                                              StoreBytes(text), StoreInt(NowMs())}))
        return Error(res, 500, "the board's database failed");
    AddStage(&board->stages, stage);
    RankRun(board, res, player, r, bytes, stage);
}

void GetBoard(Board* board, const Request& req, Response& res)
{
    uint64_t hash;
    std::string text = req.matches[1];
    if (!ParseHashText(text, &hash)) return Error(res, 400, "a stage hash is 16 lower-case hex digits");
    BoardStage stage;
    if (!LookUpStage(board, hash, &stage)) return Error(res, 404, "the board does not know this stage");
    size_t limit = 100;
    if (req.has_param("limit")) {
        std::string l = req.get_param_value("limit");
        if (l.empty() || l.size() > 6 || l.find_first_not_of("0123456789") != std::string::npos || std::stoul(l) == 0)
            return Error(res, 400, "limit is a whole number from 1");
        limit = std::min<size_t>(std::stoul(l), 1000);
    }
    // The top, or the window round a name: read at a cost that grows with
    // limit, and with the name's rank only by a count.
    std::vector<BoardEntry> entries;
    bool read = req.has_param("around") ? ReadBoardAround(board, text, req.get_param_value("around"), limit, &entries)
                                        : ReadBoardTop(board, text, limit, &entries);
    if (!read) return Error(res, 500, "the board's database failed");
    std::string body = "{\"stage_hash\":\"" + text + "\",\"entries\":[";
    for (size_t i = 0; i < entries.size(); i++) {
        const BoardEntry& e = entries[i];
        if (i > 0) body += ",";
        body += "{\"rank\":" + std::to_string(e.rank) + ",\"name\":" + JsonString(e.name) +
                ",\"time_ms\":" + std::to_string(e.timeMs) + ",\"run\":" + std::to_string(e.run) +
                ",\"submitted\":" + std::to_string(e.submitted) + "}";
    }
    Json(res, 200, body + "]}");
}

void GetRecording(Board* board, const Request& req, Response& res)
{
    std::string id = req.matches[1];
    if (id.size() > 18) return Error(res, 404, "no such run");
    std::vector<StoreRow> rows;
    if (!StoreRun(board->store, "recording", {StoreInt(std::atoll(id.c_str()))}, &rows))
        return Error(res, 500, "the board's database failed");
    if (rows.empty()) return Error(res, 404, "no such run");
    std::string tag = "\"" + rows[0][1] + "\"";
    res.set_header("ETag", tag);
    res.set_header("Cache-Control", "public, max-age=31536000, immutable");
    if (req.get_header_value("If-None-Match") == tag) {
        res.status = 304;
        return;
    }
    res.status = 200;
    res.set_content(rows[0][0], "application/octet-stream");
}

void DeletePlayer(Board* board, const Request& req, Response& res)
{
    std::string key = req.get_header_value("X-Player-Key");
    if (req.get_header_value_count("X-Player-Key") != 1 || !GoodKey(key))
        return Error(res, 400, "X-Player-Key must be 32 hex digits");
    std::string hash = KeyHash(key);
    std::vector<StoreRow> rows;
    if (!StoreRun(board->store, "delete_runs", {StoreText(hash)}) ||
        !StoreRun(board->store, "delete_players", {StoreText(hash)}, &rows))
        return Error(res, 500, "the board's database failed");
    if (rows.empty()) return Error(res, 404, "no player has this key");
    Json(res, 200, "{\"deleted\":" + std::to_string(rows.size()) + "}");
}

}  // namespace

void AddBoardRoutes(httplib::Server& server, Board* board)
{
    // Bodies too large are refused from their Content-Length, before a byte
    // of them is read; the connection is then closed, its body unread.
    server.set_pre_routing_handler([](const Request& req, Response& res) {
        if (req.method != "POST") return httplib::Server::HandlerResponse::Unhandled;
        size_t limit = req.path == "/api/v1/stages" ? STAGE_BODY_LIMIT : RUN_BODY_LIMIT;
        if (!req.has_header("Content-Length")) {
            Error(res, 411, "send the body's Content-Length");
            res.set_header("Connection", "close");
            return httplib::Server::HandlerResponse::Handled;
        }
        std::string length = req.get_header_value("Content-Length");
        if (length.empty() || length.size() > 12 || length.find_first_not_of("0123456789") != std::string::npos ||
            std::stoull(length) > limit) {
            Error(res, 413, "the body is larger than the board takes");
            res.set_header("Connection", "close");
            return httplib::Server::HandlerResponse::Handled;
        }
        // A form's body would be parsed (and refused past 8 KiB) as a form.
        if (req.path == "/api/v1/runs" && req.get_header_value("Content-Type") != "application/octet-stream") {
            Error(res, 415, "a recording is sent as application/octet-stream");
            res.set_header("Connection", "close");
            return httplib::Server::HandlerResponse::Handled;
        }
        return httplib::Server::HandlerResponse::Unhandled;
    });
    server.set_payload_max_length(STAGE_BODY_LIMIT);
    // A browser build served from another origin may use the API: it holds
    // nothing a cookie would open (a player is their key, sent by hand), so
    // any origin may read its answers, and its preflight allows the headers
    // a run is sent with. The page and /play/ stay same-origin only.
    server.set_post_routing_handler([](const Request& req, Response& res) {
        if (req.path.rfind("/api/v1/", 0) == 0) res.set_header("Access-Control-Allow-Origin", "*");
    });
    server.Options("/api/v1/.*", [](const Request&, Response& res) {
        res.status = 204;
        res.set_header("Access-Control-Allow-Methods", "GET, POST");
        res.set_header("Access-Control-Allow-Headers", "X-Player-Name, X-Player-Key, Content-Type");
        res.set_header("Access-Control-Max-Age", "86400");
    });
    server.Post("/api/v1/runs", [board](const Request& req, Response& res) { PostRun(board, req, res); });
    server.Post("/api/v1/stages", [board](const Request& req, Response& res) { PostStage(board, req, res); });
    server.Get("/api/v1/boards/([0-9a-zA-Z]+)", [board](const Request& req, Response& res) { GetBoard(board, req, res); });
    server.Get("/api/v1/runs/([0-9]+)/recording",
               [board](const Request& req, Response& res) { GetRecording(board, req, res); });
    server.Delete("/api/v1/players/me", [board](const Request& req, Response& res) { DeletePlayer(board, req, res); });
    server.Get("/healthz", [board](const Request&, Response& res) {
        bool ok = StoreRun(board->store, "alive", {});
        res.status = ok ? 200 : 503;
        res.set_content(ok ? "ok\n" : "database unavailable\n", "text/plain");
    });
    server.Get("/", [board](const Request& req, Response& res) {
        // ?page=N, from 1; anything else is the first page.
        std::string asked = req.get_param_value("page");
        int page = 1;
        if (!asked.empty() && asked.size() <= 6 && asked.find_first_not_of("0123456789") == std::string::npos)
            page = std::max(1, std::atoi(asked.c_str()));
        std::string html;
        if (!BoardPage(board, page, &html)) return Error(res, 500, "the board's database failed");
        res.set_content(html, "text/html; charset=utf-8");
    });
    if (!board->options.play.empty()) server.set_mount_point("/play", board->options.play);
}
