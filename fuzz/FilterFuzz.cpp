// Filter expressions (a table's Filter, also typed by users in the host): any text either raises
// gs::Error or gives an SQL condition that SQLite takes, with exactly one bound value for each "?".
#include "base/Error.h"
#include "db/AdsFilter.h"

#include <sqlite3.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

const std::vector<gs::ads::FieldInfo>& Fields()
{
    using gs::TAdsFieldType;
    static const std::vector<gs::ads::FieldInfo> fields = {
        {"NAME", TAdsFieldType::Char, 20},    {"DATUM", TAdsFieldType::Date},
        {"BETRAG", TAdsFieldType::Double},    {"STATUS", TAdsFieldType::ShortInt},
        {"NR", TAdsFieldType::Integer},       {"ID", TAdsFieldType::AutoInc},
        {"BEZAHLT", TAdsFieldType::Logical},  {"ZEIT", TAdsFieldType::Timestamp},
        {"NOTIZ", TAdsFieldType::Memo, 0, true}};
    return fields;
}

sqlite3* Db()
{
    static sqlite3* db = [] {
        sqlite3* d = nullptr;
        if (sqlite3_open(":memory:", &d) != SQLITE_OK ||
            sqlite3_exec(d, "CREATE TABLE T (NAME TEXT, DATUM TEXT, BETRAG REAL, STATUS INTEGER, NR INTEGER, "
                            "ID INTEGER, BEZAHLT INTEGER, ZEIT TEXT, NOTIZ BLOB)",
                         nullptr, nullptr, nullptr) != SQLITE_OK)
            std::abort();
        return d;
    }();
    return db;
}

void Check(const gs::ads::FilterSql& sql)
{
    if (sql.where.empty())
        return;
    const std::string text = "SELECT rowid FROM T WHERE " + sql.where;
    sqlite3_stmt* st = nullptr;
    if (sqlite3_prepare_v2(Db(), text.c_str(), -1, &st, nullptr) != SQLITE_OK || !st)
        std::abort(); // the filter's SQL does not parse
    if (sqlite3_bind_parameter_count(st) != static_cast<int>(sql.params.size()))
        std::abort();
    sqlite3_finalize(st);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 4096)
        return 0;
    const std::string text(reinterpret_cast<const char*>(data), size);
    try {
        const gs::ads::Filter filter = gs::ads::Filter::Parse(text, Fields(), "T.ADT");
        Check(filter.ToSql());
        for (int field = -1; field < static_cast<int>(Fields().size()); ++field)
            Check(filter.ToSql(field, field));
    } catch (const gs::Error&) {
        // a malformed filter is refused with its reason
    }
    return 0;
}
