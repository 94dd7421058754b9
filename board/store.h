// The board's database, SQLite or PostgreSQL, chosen at run time by its URL,
// behind one set of plain functions: named statements, all prepared when the
// store opens, run with typed parameters, answering rows of text. Both
// backends take the same SQL ($1, $2, ... for parameters, in order of first
// use) and the same numbered migrations (schema.cpp).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

struct Store;

enum StoreKind { STORE_SQLITE, STORE_POSTGRES };

// A parameter: a whole number, text, or bytes (a BLOB / bytea).
struct StoreValue {
    enum { INT, TEXT, BYTES } type = INT;
    int64_t number = 0;
    std::string text;
};
inline StoreValue StoreInt(int64_t n) { return {StoreValue::INT, n, ""}; }
inline StoreValue StoreText(std::string t) { return {StoreValue::TEXT, 0, std::move(t)}; }
inline StoreValue StoreBytes(std::string b) { return {StoreValue::BYTES, 0, std::move(b)}; }

// A row's columns as text (whole numbers in decimal, bytes as they are).
using StoreRow = std::vector<std::string>;

// Opens "sqlite:FILE" (WAL mode) or "postgresql://..." / "postgres://...",
// brings the schema up to the latest migration (one server at a time) and
// prepares every statement. nullptr with a reason for anything else. The
// caller owns the store (CloseStore).
Store* OpenStore(const std::string& url, std::string* why);
void CloseStore(Store* store);
StoreKind KindOfStore(const Store* store);

// Runs the statement named (one of schema.cpp's) with params; the rows it
// answers go to *rows (when given). False with a reason in *why (when given)
// when the database refuses it. Safe from many threads at once.
bool StoreRun(Store* store, const char* name, const std::vector<StoreValue>& params,
              std::vector<StoreRow>* rows = nullptr, std::string* why = nullptr);

// The schema's migrations and statements, and what each backend differs in.
struct StoreStatement {
    const char* name;
    const char* sql;
};
extern const char* const STORE_MIGRATIONS[];  // numbered from 1, ended by nullptr
extern const StoreStatement STORE_STATEMENTS[];  // ended by {nullptr, nullptr}
// A migration's SQL for kind: {id} becomes the backend's generated key,
// {bytes} its type for bytes.
std::string MigrationSql(const char* sql, StoreKind kind);

// The backends (store_sqlite.cpp, store_postgres.cpp), for store.cpp.
struct SqliteStore;
SqliteStore* OpenSqliteStore(const std::string& file, std::string* why);
void CloseSqliteStore(SqliteStore* store);
bool RunSqlite(SqliteStore* store, const char* name, const std::vector<StoreValue>& params,
               std::vector<StoreRow>* rows, std::string* why);
struct PostgresStore;
PostgresStore* OpenPostgresStore(const std::string& url, std::string* why);
void ClosePostgresStore(PostgresStore* store);
bool RunPostgres(PostgresStore* store, const char* name, const std::vector<StoreValue>& params,
                 std::vector<StoreRow>* rows, std::string* why);
