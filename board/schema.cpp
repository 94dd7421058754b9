// The board's schema, one migration after another, and every statement the
// board runs: the same SQL for SQLite and PostgreSQL.
#include "board/store.h"

// Never change a migration once it has shipped: add the next one.
const char* const STORE_MIGRATIONS[] = {
    // 1: players own their names; a key is kept only as its SHA-256.
    "CREATE TABLE players (id {id}, name TEXT NOT NULL UNIQUE, key_hash TEXT NOT NULL,"
    " created BIGINT NOT NULL);"
    "CREATE INDEX players_key ON players (key_hash);"
    // Custom stages, known by their grid's hash, with the file as given.
    "CREATE TABLE stages (hash TEXT PRIMARY KEY, number INTEGER NOT NULL, content {bytes} NOT NULL,"
    " added BIGINT NOT NULL);"
    // Every ranked run: verified before it was stored. valid turns 0 when a
    // later version of the rules no longer accepts it. fingerprint: the
    // hash of its inputs, so one run is ranked for one player only.
    "CREATE TABLE runs (id {id}, player_id BIGINT NOT NULL REFERENCES players (id) ON DELETE CASCADE,"
    " stage_hash TEXT NOT NULL, stage INTEGER NOT NULL, time_ms BIGINT NOT NULL,"
    " play_frames BIGINT NOT NULL, rules INTEGER NOT NULL, recording {bytes} NOT NULL,"
    " sha256 TEXT NOT NULL, fingerprint TEXT NOT NULL UNIQUE, submitted BIGINT NOT NULL,"
    " valid INTEGER NOT NULL DEFAULT 1);"
    "CREATE INDEX runs_board ON runs (stage_hash, valid, time_ms, id);"
    "CREATE INDEX runs_player ON runs (player_id);"
    "CREATE TABLE meta (key TEXT PRIMARY KEY, value TEXT NOT NULL);",
    // 2: a player's runs of one stage, fastest first, so that whether a run
    // is its player's best is one look.
    "CREATE INDEX runs_player_best ON runs (player_id, stage_hash, valid, time_ms, id);",
    nullptr,
};

// Keeps a run r of stage $1 only when it is its player's best there: the
// fastest, and of equal times the earlier run.
#define BEST_OF_ITS_PLAYER                                                                         \
    " AND NOT EXISTS (SELECT 1 FROM runs q WHERE q.player_id = r.player_id AND q.stage_hash = $1" \
    " AND q.valid = 1 AND (q.time_ms < r.time_ms OR (q.time_ms = r.time_ms AND q.id < r.id)))"

const StoreStatement STORE_STATEMENTS[] = {
    {"claim_name", "INSERT INTO players (name, key_hash, created) VALUES ($1, $2, $3)"
                   " ON CONFLICT (name) DO NOTHING"},
    {"find_player", "SELECT id, key_hash FROM players WHERE name = $1"},
    {"add_run", "INSERT INTO runs (player_id, stage_hash, stage, time_ms, play_frames, rules, recording,"
                " sha256, fingerprint, submitted) VALUES ($1, $2, $3, $4, $5, $6, $7, $8, $9, $10)"
                " ON CONFLICT (fingerprint) DO NOTHING RETURNING id"},
    {"find_fingerprint", "SELECT r.id, r.player_id FROM runs r WHERE r.fingerprint = $1"},
    // The fastest $2 of the board, each player's best only: walked fastest
    // first until there are enough, however many runs the stage has.
    {"board_top", "SELECT p.name, r.time_ms, r.id, r.submitted FROM runs r JOIN players p ON p.id = r.player_id"
                  " WHERE r.stage_hash = $1 AND r.valid = 1" BEST_OF_ITS_PLAYER " ORDER BY r.time_ms, r.id LIMIT $2"},
    // A player's best on the board ($1 the stage, $2 the name), as
    // "board_top" picks it: one look in runs_player_best.
    {"player_best", "SELECT r.time_ms, r.id FROM runs r JOIN players p ON p.id = r.player_id"
                    " WHERE r.stage_hash = $1 AND p.name = $2 AND r.valid = 1"
                    " ORDER BY r.time_ms, r.id LIMIT 1"},
    // How many players rank above the run ($2 ms, id $3): those with any run
    // before it, since their best is before it too.
    {"players_before", "SELECT COUNT(DISTINCT r.player_id) FROM runs r WHERE r.stage_hash = $1 AND r.valid = 1"
                       " AND r.time_ms <= $2 AND (r.time_ms < $2 OR r.id < $3)"},
    // The $4 entries just before that run, nearest first, and the $4 from it
    // on, fastest first: "board_top" walked from a point of the board. The
    // bound on time_ms alone is what lets an index start the walk there.
    {"board_before", "SELECT p.name, r.time_ms, r.id, r.submitted FROM runs r JOIN players p ON p.id = r.player_id"
                     " WHERE r.stage_hash = $1 AND r.valid = 1 AND r.time_ms <= $2 AND (r.time_ms < $2 OR r.id < $3)"
                     BEST_OF_ITS_PLAYER " ORDER BY r.time_ms DESC, r.id DESC LIMIT $4"},
    {"board_from", "SELECT p.name, r.time_ms, r.id, r.submitted FROM runs r JOIN players p ON p.id = r.player_id"
                   " WHERE r.stage_hash = $1 AND r.valid = 1 AND r.time_ms >= $2 AND (r.time_ms > $2 OR r.id >= $3)"
                   BEST_OF_ITS_PLAYER " ORDER BY r.time_ms, r.id LIMIT $4"},
    // The custom stages with runs, by hash, $1 of them from the $2nd on.
    {"custom_boards", "SELECT s.hash FROM stages s WHERE EXISTS"
                      " (SELECT 1 FROM runs r WHERE r.stage_hash = s.hash AND r.valid = 1)"
                      " ORDER BY s.hash LIMIT $1 OFFSET $2"},
    {"recording", "SELECT recording, sha256 FROM runs WHERE id = $1 AND valid = 1"},
    {"delete_runs", "DELETE FROM runs WHERE player_id IN (SELECT id FROM players WHERE key_hash = $1)"},
    {"delete_players", "DELETE FROM players WHERE key_hash = $1 RETURNING id"},
    {"add_stage", "INSERT INTO stages (hash, number, content, added) VALUES ($1, $2, $3, $4)"
                  " ON CONFLICT (hash) DO NOTHING"},
    {"find_stage", "SELECT number, content FROM stages WHERE hash = $1"},
    {"all_stages", "SELECT hash, number, content FROM stages ORDER BY hash"},
    {"valid_runs", "SELECT r.id, p.name, r.stage_hash, r.recording FROM runs r"
                   " JOIN players p ON p.id = r.player_id WHERE r.valid = 1 ORDER BY r.id"},
    {"invalidate_run", "UPDATE runs SET valid = 0 WHERE id = $1"},
    {"get_meta", "SELECT value FROM meta WHERE key = $1"},
    {"set_meta", "INSERT INTO meta (key, value) VALUES ($1, $2)"
                 " ON CONFLICT (key) DO UPDATE SET value = excluded.value"},
    // The health check's: the database answers, at no cost however many runs it holds.
    {"alive", "SELECT 1"},
    {nullptr, nullptr},
};
