// Choosing the backend by the database URL, and handing each call to it.
#include "board/store.h"

struct Store {
    StoreKind kind;
    SqliteStore* sqlite = nullptr;
    PostgresStore* postgres = nullptr;
};

Store* OpenStore(const std::string& url, std::string* why)
{
    Store* store = nullptr;
    if (url.rfind("sqlite:", 0) == 0 && url.size() > 7) {
        SqliteStore* s = OpenSqliteStore(url.substr(7), why);
        if (s) store = new Store{STORE_SQLITE, s, nullptr};
    } else if (url.rfind("postgresql://", 0) == 0 || url.rfind("postgres://", 0) == 0) {
        PostgresStore* p = OpenPostgresStore(url, why);
        if (p) store = new Store{STORE_POSTGRES, nullptr, p};
    } else {
        *why = "a database is sqlite:FILE or postgresql://...";
    }
    return store;
}

void CloseStore(Store* store)
{
    if (!store) return;
    if (store->sqlite) CloseSqliteStore(store->sqlite);
    if (store->postgres) ClosePostgresStore(store->postgres);
    delete store;
}

StoreKind KindOfStore(const Store* store) { return store->kind; }

bool StoreRun(Store* store, const char* name, const std::vector<StoreValue>& params,
              std::vector<StoreRow>* rows, std::string* why)
{
    if (rows) rows->clear();
    if (store->kind == STORE_SQLITE) return RunSqlite(store->sqlite, name, params, rows, why);
    return RunPostgres(store->postgres, name, params, rows, why);
}

std::string MigrationSql(const char* sql, StoreKind kind)
{
    std::string text = sql;
    auto replace = [&](const std::string& token, const std::string& with) {
        for (size_t at; (at = text.find(token)) != std::string::npos;) text.replace(at, token.size(), with);
    };
    replace("{id}", kind == STORE_SQLITE ? "INTEGER PRIMARY KEY AUTOINCREMENT" : "BIGSERIAL PRIMARY KEY");
    replace("{bytes}", kind == STORE_SQLITE ? "BLOB" : "BYTEA");
    return text;
}
