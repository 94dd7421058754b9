// The PostgreSQL backend: a few connections, each with every statement
// prepared on it, lent to one call at a time. Several board servers may
// share the database: migrations run under an advisory lock.
#include <libpq-fe.h>

#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

#include "board/store.h"

namespace {
constexpr int POSTGRES_CONNECTIONS = 8;
constexpr long long MIGRATION_LOCK = 0x707269736d;  // any number, the same on every server
constexpr unsigned BYTEA_OID = 17;
}

struct PostgresStore {
    std::string url;
    std::mutex lock;
    std::condition_variable freed;
    std::vector<PGconn*> idle;
    std::vector<PGconn*> all;
};

namespace {

bool Exec(PGconn* c, const std::string& sql, std::string* why)
{
    PGresult* r = PQexec(c, sql.c_str());
    bool ok = PQresultStatus(r) == PGRES_COMMAND_OK || PQresultStatus(r) == PGRES_TUPLES_OK;
    if (!ok && why) *why = std::string("postgresql: ") + PQerrorMessage(c);
    PQclear(r);
    return ok;
}

bool Migrate(PGconn* c, std::string* why)
{
    if (!Exec(c, "BEGIN", why)) return false;
    bool ok = Exec(c, "SELECT pg_advisory_xact_lock(" + std::to_string(MIGRATION_LOCK) + ")", why) &&
              Exec(c, "CREATE TABLE IF NOT EXISTS schema_migrations (version INTEGER PRIMARY KEY,"
                      " applied BIGINT NOT NULL)", why);
    int done = 0;
    if (ok) {
        PGresult* r = PQexec(c, "SELECT COALESCE(MAX(version), 0) FROM schema_migrations");
        if (PQresultStatus(r) == PGRES_TUPLES_OK && PQntuples(r) == 1) done = atoi(PQgetvalue(r, 0, 0));
        else ok = false;
        PQclear(r);
    }
    for (int v = done + 1; ok && STORE_MIGRATIONS[v - 1]; v++)
        ok = Exec(c, MigrationSql(STORE_MIGRATIONS[v - 1], STORE_POSTGRES), why) &&
             Exec(c, "INSERT INTO schema_migrations (version, applied) VALUES (" + std::to_string(v) +
                     ", EXTRACT(EPOCH FROM now())::BIGINT)", why);
    if (!ok) {
        Exec(c, "ROLLBACK", nullptr);
        return false;
    }
    return Exec(c, "COMMIT", why);
}

bool Prepare(PGconn* c, std::string* why)
{
    for (const StoreStatement* st = STORE_STATEMENTS; st->name; st++) {
        PGresult* r = PQprepare(c, st->name, st->sql, 0, nullptr);
        bool ok = PQresultStatus(r) == PGRES_COMMAND_OK;
        PQclear(r);
        if (!ok) {
            if (why) *why = std::string("postgresql: statement ") + st->name + ": " + PQerrorMessage(c);
            return false;
        }
    }
    return true;
}

PGconn* Connect(const std::string& url, std::string* why)
{
    PGconn* c = PQconnectdb(url.c_str());
    if (PQstatus(c) != CONNECTION_OK) {
        if (why) *why = std::string("postgresql: ") + PQerrorMessage(c);
        PQfinish(c);
        return nullptr;
    }
    return c;
}

bool Reconnect(PGconn* c)
{
    PQreset(c);
    return PQstatus(c) == CONNECTION_OK && Prepare(c, nullptr);
}

// bytea as text is "\x" and two hex digits a byte.
std::string FromBytea(const char* text, size_t length)
{
    if (length < 2 || text[0] != '\\' || text[1] != 'x') return std::string(text, length);
    std::string bytes;
    auto digit = [](char h) { return h <= '9' ? h - '0' : (h | 32) - 'a' + 10; };
    for (size_t i = 2; i + 1 < length; i += 2) bytes += (char)(digit(text[i]) << 4 | digit(text[i + 1]));
    return bytes;
}

}  // namespace

PostgresStore* OpenPostgresStore(const std::string& url, std::string* why)
{
    PostgresStore* store = new PostgresStore;
    store->url = url;
    for (int i = 0; i < POSTGRES_CONNECTIONS; i++) {
        PGconn* c = Connect(url, why);
        if (!c || (i == 0 && !Migrate(c, why)) || !Prepare(c, why)) {
            if (c) PQfinish(c);
            ClosePostgresStore(store);
            return nullptr;
        }
        store->all.push_back(c);
        store->idle.push_back(c);
    }
    return store;
}

void ClosePostgresStore(PostgresStore* store)
{
    for (PGconn* c : store->all) PQfinish(c);
    delete store;
}

bool RunPostgres(PostgresStore* store, const char* name, const std::vector<StoreValue>& params,
                 std::vector<StoreRow>* rows, std::string* why)
{
    PGconn* c;
    {
        std::unique_lock<std::mutex> hold(store->lock);
        store->freed.wait(hold, [&] { return !store->idle.empty(); });
        c = store->idle.back();
        store->idle.pop_back();
    }
    std::vector<std::string> texts(params.size());
    std::vector<const char*> values(params.size());
    std::vector<int> lengths(params.size()), formats(params.size());
    for (size_t i = 0; i < params.size(); i++) {
        const StoreValue& v = params[i];
        texts[i] = v.type == StoreValue::INT ? std::to_string(v.number) : v.text;
        values[i] = texts[i].data();
        lengths[i] = (int)texts[i].size();
        formats[i] = v.type == StoreValue::BYTES ? 1 : 0;
    }
    // A connection found dropped (the database restarted, a proxy between
    // timed it out) is made again, with its statements, and the statement is
    // sent once more: libpq finds a dead connection only by using it. Sending
    // again is safe: every statement that writes does nothing the second time
    // (an insert of what is there, a delete of what is gone).
    if (PQstatus(c) != CONNECTION_OK) Reconnect(c);
    PGresult* r = PQexecPrepared(c, name, (int)params.size(), values.data(), lengths.data(), formats.data(), 0);
    if (PQresultStatus(r) != PGRES_COMMAND_OK && PQresultStatus(r) != PGRES_TUPLES_OK &&
        PQstatus(c) != CONNECTION_OK && Reconnect(c)) {
        PQclear(r);
        r = PQexecPrepared(c, name, (int)params.size(), values.data(), lengths.data(), formats.data(), 0);
    }
    ExecStatusType state = PQresultStatus(r);
    bool ok = state == PGRES_COMMAND_OK || state == PGRES_TUPLES_OK;
    if (!ok && why) *why = std::string("postgresql: ") + PQerrorMessage(c);
    if (ok && rows)
        for (int i = 0; i < PQntuples(r); i++) {
            StoreRow row;
            for (int f = 0; f < PQnfields(r); f++) {
                const char* text = PQgetvalue(r, i, f);
                size_t length = (size_t)PQgetlength(r, i, f);
                row.push_back(PQftype(r, f) == BYTEA_OID ? FromBytea(text, length) : std::string(text, length));
            }
            rows->push_back(std::move(row));
        }
    PQclear(r);
    {
        std::lock_guard<std::mutex> hold(store->lock);
        store->idle.push_back(c);
    }
    store->freed.notify_one();
    return ok;
}
