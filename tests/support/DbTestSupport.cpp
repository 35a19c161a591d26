#include "support/DbTestSupport.h"

#include "base/Dates.h"

#include <sqlite3.h>

#include <stdexcept>

namespace gs::test {

DbDir::DbDir()
{
    conn.SetAdsServerTypes({stADS_LOCAL});
    conn.SetConnectPath(dir.path().string());
    conn.SetIsConnected(true);
}

namespace {
struct Db {
    sqlite3* db = nullptr;
    explicit Db(const std::filesystem::path& file)
    {
        if (sqlite3_open(file.string().c_str(), &db) != SQLITE_OK)
            throw std::runtime_error("cannot open " + file.string());
        sqlite3_busy_timeout(db, 5000);
    }
    ~Db() { sqlite3_close(db); }
};
} // namespace

void ExecSql(const std::filesystem::path& file, const std::string& sql)
{
    Db d(file);
    char* err = nullptr;
    if (sqlite3_exec(d.db, sql.c_str(), nullptr, nullptr, &err) != SQLITE_OK) {
        std::string msg = err ? err : "?";
        sqlite3_free(err);
        throw std::runtime_error("SQL failed: " + msg + " in: " + sql);
    }
}

std::vector<std::vector<std::string>> QuerySql(const std::filesystem::path& file, const std::string& sql)
{
    Db d(file);
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(d.db, sql.c_str(), -1, &st, nullptr) != SQLITE_OK)
        throw std::runtime_error(std::string("SQL failed: ") + sqlite3_errmsg(d.db) + " in: " + sql);
    std::vector<std::vector<std::string>> rows;
    while (sqlite3_step(st) == SQLITE_ROW) {
        std::vector<std::string> row;
        for (int i = 0; i < sqlite3_column_count(st); ++i) {
            if (sqlite3_column_type(st, i) == SQLITE_NULL) {
                row.emplace_back("<null>");
            } else {
                const auto* p = static_cast<const char*>(sqlite3_column_blob(st, i));
                row.emplace_back(p ? std::string(p, static_cast<size_t>(sqlite3_column_bytes(st, i))) : std::string());
            }
        }
        rows.push_back(std::move(row));
    }
    sqlite3_finalize(st);
    return rows;
}

std::string QueryValue(const std::filesystem::path& file, const std::string& sql)
{
    const auto rows = QuerySql(file, sql);
    return rows.empty() || rows[0].empty() ? std::string() : rows[0][0];
}

std::vector<std::string> WalkColumn(TAdsTable& table, const std::string& field)
{
    std::vector<std::string> r;
    Field& f = table.FieldByName(field);
    for (table.First(); !table.Eof(); table.Next())
        r.push_back(f.IsNull() ? "-" : f.AsString());
    return r;
}

std::vector<std::string> WalkColumnBackward(TAdsTable& table, const std::string& field)
{
    std::vector<std::string> r;
    Field& f = table.FieldByName(field);
    table.Last();
    while (!table.Bof()) {
        r.push_back(f.IsNull() ? "-" : f.AsString());
        table.Prior();
    }
    return r;
}

void CreateTableOfEveryType(TAdsTable& t)
{
    t.CreateTable({{"ID", TAdsFieldType::AutoInc},
                   {"Name", TAdsFieldType::Char, 3},
                   {"Text", TAdsFieldType::Memo},
                   {"Data", TAdsFieldType::Binary},
                   {"Kurz", TAdsFieldType::ShortInt},
                   {"Zahl", TAdsFieldType::Integer},
                   {"Betrag", TAdsFieldType::Double},
                   {"Ok", TAdsFieldType::Logical},
                   {"Tag", TAdsFieldType::Date},
                   {"Zeit", TAdsFieldType::Timestamp}},
                  {{"ID", "ID", ADS_UNIQUE}, {"TAG", "Tag", ADS_DESCENDING}});
    t.Open();
    t.Append();
    t.FieldByName("name").SetString("äöüß");
    t.FieldByName("text").SetString("Grüße €");
    t.FieldByName("data").SetBytes(std::string("\0\1\2", 3));
    t.FieldByName("kurz").SetInteger(-5);
    t.FieldByName("zahl").SetString("20010");
    t.FieldByName("betrag").SetFloat(195.58);
    t.FieldByName("ok").SetBoolean(true);
    t.FieldByName("tag").SetDateTime(EncodeDateTime(2006, 4, 1, 18, 0, 0, 0));
    t.FieldByName("zeit").SetDateTime(EncodeDateTime(2006, 4, 1, 12, 30, 15, 250));
    t.Post();
}

} // namespace gs::test
