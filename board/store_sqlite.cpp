// The SQLite backend: one connection in WAL mode, every statement prepared
// once, calls taken one at a time.
#include <sqlite3.h>

#include <map>
#include <mutex>
#include <string>

#include "board/store.h"

struct SqliteStore {
    sqlite3* db = nullptr;
    std::mutex lock;
    std::map<std::string, sqlite3_stmt*> statements;
};

namespace {

bool Exec(sqlite3* db, const std::string& sql, std::string* why)
{
    char* error = nullptr;
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error) == SQLITE_OK) return true;
    if (why) *why = std::string("sqlite: ") + (error ? error : "failed");
    sqlite3_free(error);
    return false;
}

// Brings the schema up to the last migration inside one write transaction,
// so that two servers starting on one file migrate it once.
bool Migrate(sqlite3* db, std::string* why)
{
    if (!Exec(db, "BEGIN IMMEDIATE", why)) return false;
    bool ok = Exec(db, "CREATE TABLE IF NOT EXISTS schema_migrations (version INTEGER PRIMARY KEY,"
                       " applied BIGINT NOT NULL)", why);
    int done = 0;
    sqlite3_stmt* s = nullptr;
    if (ok && sqlite3_prepare_v2(db, "SELECT COALESCE(MAX(version), 0) FROM schema_migrations", -1, &s,
                                 nullptr) == SQLITE_OK && sqlite3_step(s) == SQLITE_ROW)
        done = sqlite3_column_int(s, 0);
    sqlite3_finalize(s);
    for (int v = done + 1; ok && STORE_MIGRATIONS[v - 1]; v++)
        ok = Exec(db, MigrationSql(STORE_MIGRATIONS[v - 1], STORE_SQLITE), why) &&
             Exec(db, "INSERT INTO schema_migrations (version, applied) VALUES (" + std::to_string(v) +
                      ", strftime('%s','now'))", why);
    if (!ok) {
        Exec(db, "ROLLBACK", nullptr);
        return false;
    }
    return Exec(db, "COMMIT", why);
}

}  // namespace

SqliteStore* OpenSqliteStore(const std::string& file, std::string* why)
{
    SqliteStore* store = new SqliteStore;
    if (sqlite3_open_v2(file.c_str(), &store->db,
                        SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX, nullptr) != SQLITE_OK) {
        *why = "sqlite: cannot open " + file + ": " + sqlite3_errmsg(store->db);
        CloseSqliteStore(store);
        return nullptr;
    }
    sqlite3_busy_timeout(store->db, 10000);
    // WAL: readers never wait for the writer; FULL: a run answered 201 is on
    // the disk even if the machine loses power just after.
    bool ok = Exec(store->db, "PRAGMA journal_mode=WAL", why) && Exec(store->db, "PRAGMA synchronous=FULL", why) &&
              Exec(store->db, "PRAGMA foreign_keys=ON", why) && Migrate(store->db, why);
    for (const StoreStatement* st = STORE_STATEMENTS; ok && st->name; st++) {
        sqlite3_stmt* s = nullptr;
        if (sqlite3_prepare_v3(store->db, st->sql, -1, SQLITE_PREPARE_PERSISTENT, &s, nullptr) != SQLITE_OK) {
            *why = std::string("sqlite: statement ") + st->name + ": " + sqlite3_errmsg(store->db);
            ok = false;
            break;
        }
        // Parameters are bound by number: each must be $N at its place.
        for (int i = 1; i <= sqlite3_bind_parameter_count(s); i++) {
            const char* name = sqlite3_bind_parameter_name(s, i);
            if (!name || std::string(name) != "$" + std::to_string(i)) {
                *why = std::string("statement ") + st->name + ": parameters out of order";
                ok = false;
            }
        }
        store->statements[st->name] = s;
    }
    if (!ok) {
        CloseSqliteStore(store);
        return nullptr;
    }
    return store;
}

void CloseSqliteStore(SqliteStore* store)
{
    for (auto& named : store->statements) sqlite3_finalize(named.second);
    if (store->db) sqlite3_close(store->db);
    delete store;
}

bool RunSqlite(SqliteStore* store, const char* name, const std::vector<StoreValue>& params,
               std::vector<StoreRow>* rows, std::string* why)
{
    std::lock_guard<std::mutex> hold(store->lock);
    auto found = store->statements.find(name);
    if (found == store->statements.end()) {
        if (why) *why = std::string("no statement ") + name;
        return false;
    }
    sqlite3_stmt* s = found->second;
    sqlite3_reset(s);
    sqlite3_clear_bindings(s);
    for (size_t i = 0; i < params.size(); i++) {
        const StoreValue& v = params[i];
        int at = (int)i + 1;
        if (v.type == StoreValue::INT) sqlite3_bind_int64(s, at, v.number);
        else if (v.type == StoreValue::TEXT) sqlite3_bind_text(s, at, v.text.data(), (int)v.text.size(), SQLITE_TRANSIENT);
        else sqlite3_bind_blob(s, at, v.text.data(), (int)v.text.size(), SQLITE_TRANSIENT);
    }
    int state;
    while ((state = sqlite3_step(s)) == SQLITE_ROW) {
        if (!rows) continue;
        StoreRow row;
        for (int c = 0; c < sqlite3_column_count(s); c++) {
            const void* bytes = sqlite3_column_blob(s, c);
            int size = sqlite3_column_bytes(s, c);
            row.emplace_back(bytes ? static_cast<const char*>(bytes) : "", bytes ? (size_t)size : 0);
        }
        rows->push_back(std::move(row));
    }
    bool ok = state == SQLITE_DONE;
    if (!ok && why) *why = std::string("sqlite: ") + sqlite3_errmsg(store->db);
    sqlite3_reset(s);
    return ok;
}
