#include "DemoLayout.h"

#include "DemoRandom.h"
#include "base/Error.h"

#include <sqlite3.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace gs::demo {

namespace {

struct Closer {
    void operator()(sqlite3* db) const { sqlite3_close_v2(db); }
};
struct Finalizer {
    void operator()(sqlite3_stmt* st) const { sqlite3_finalize(st); }
};
using Db = std::unique_ptr<sqlite3, Closer>;
using Stmt = std::unique_ptr<sqlite3_stmt, Finalizer>;

[[noreturn]] void Fail(sqlite3* db, const std::string& what)
{
    throw Error("Tabelle kann nicht umgeschrieben werden (" + what + "): " + sqlite3_errmsg(db));
}

void Exec(sqlite3* db, const std::string& sql)
{
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK)
        Fail(db, sql.substr(0, 60));
}

Stmt Prepare(sqlite3* db, const std::string& sql)
{
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr) != SQLITE_OK)
        Fail(db, sql.substr(0, 60));
    return Stmt(st);
}

std::string Quote(const std::string& name)
{
    std::string q = "\"";
    for (char c : name) {
        q += c;
        if (c == '"')
            q += '"';
    }
    return q + "\"";
}

} // namespace

void CopyTableFile(const std::filesystem::path& from, const std::filesystem::path& to, const TableLayout& layout)
{
    if (std::filesystem::exists(to))
        throw Error("Datei existiert bereits: " + to.string());
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(to.c_str(), &raw, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    Db db(raw);
    if (rc != SQLITE_OK)
        Fail(raw, "öffnen");
    Exec(db.get(), "PRAGMA page_size=16384; PRAGMA journal_mode=OFF; PRAGMA synchronous=OFF;"
                   " PRAGMA cache_size=-65536");
    {
        Stmt st = Prepare(db.get(), "ATTACH ?1 AS src");
        sqlite3_bind_text(st.get(), 1, from.c_str(), -1, SQLITE_TRANSIENT);
        if (sqlite3_step(st.get()) != SQLITE_DONE)
            Fail(db.get(), "ATTACH");
    }
    Exec(db.get(), "BEGIN");
    // The tables as they were created; the indexes after the rows, unless they are left out.
    std::vector<std::string> tables, indexes;
    std::string dataTable;
    {
        Stmt st = Prepare(db.get(), "SELECT type, name, sql FROM src.sqlite_master WHERE sql IS NOT NULL ORDER BY rowid");
        while (sqlite3_step(st.get()) == SQLITE_ROW) {
            const std::string type = reinterpret_cast<const char*>(sqlite3_column_text(st.get(), 0));
            const std::string name = reinterpret_cast<const char*>(sqlite3_column_text(st.get(), 1));
            const std::string sql = reinterpret_cast<const char*>(sqlite3_column_text(st.get(), 2));
            if (type == "table") {
                Exec(db.get(), sql);
                if (name.rfind("ads_", 0) == 0 || name.rfind("sqlite_", 0) == 0)
                    tables.push_back(name);
                else
                    dataTable = name;
            } else if (type == "index") {
                indexes.push_back(sql);
            }
        }
    }
    if (dataTable.empty())
        throw Error("Keine Datentabelle in " + from.string());
    for (const std::string& t : tables)
        Exec(db.get(), "INSERT INTO main." + Quote(t) + " SELECT * FROM src." + Quote(t));

    std::vector<std::int64_t> rowids;
    {
        Stmt st = Prepare(db.get(), "SELECT rowid FROM src." + Quote(dataTable) + " ORDER BY rowid");
        while (sqlite3_step(st.get()) == SQLITE_ROW)
            rowids.push_back(sqlite3_column_int64(st.get(), 0));
    }
    if (layout.order == RowOrder::Reversed) {
        std::reverse(rowids.begin(), rowids.end());
    } else if (layout.order == RowOrder::Shuffled) {
        Random r(layout.seed ^ 0x5A17ULL);
        for (size_t i = rowids.size(); i > 1; --i)
            std::swap(rowids[i - 1], rowids[static_cast<size_t>(r.next() % i)]);
    }
    // Each row gets the next row id of the new file: its storage order is the order copied.
    Stmt copy = Prepare(db.get(), "INSERT INTO main." + Quote(dataTable) + " SELECT * FROM src." + Quote(dataTable) +
                                      " WHERE rowid = ?1");
    for (std::int64_t id : rowids) {
        sqlite3_bind_int64(copy.get(), 1, id);
        if (sqlite3_step(copy.get()) != SQLITE_DONE)
            Fail(db.get(), "Zeile kopieren");
        sqlite3_reset(copy.get());
    }
    copy.reset();
    if (layout.sqlIndexes) {
        for (const std::string& sql : indexes)
            Exec(db.get(), sql);
    }
    Exec(db.get(), "COMMIT");
    Exec(db.get(), "DETACH src");
    Exec(db.get(), "PRAGMA journal_mode=WAL");
}

} // namespace gs::demo
