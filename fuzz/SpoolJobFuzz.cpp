// A spool job as the output processors read it: another program's row in SPOOL.ADT and its detail
// rows in DET.ADT, with values of any storage kind, read into a list job (title, footer, columns,
// output settings) and its rows. Reading either works or raises gs::Error; it never crashes.
//
// The input is split at the byte 0x1E into values: first the job's columns (kJobColumns, in order),
// then the detail cells, 15 to a row. A value's first byte chooses how it is stored: 'i' an integer,
// 'r' a real, 'n' NULL, 'b' the rest as a blob, anything else the whole value as text.
#include "base/Error.h"
#include "spool/SpoolTables.h"
#include "spool/render/SpoolJobs.h"

#include <sqlite3.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace {

std::vector<std::string> JobColumns()
{
    std::vector<std::string> c = {"PRIO",    "ISMAIL", "DataGrid", "MAILTYPE", "PRINTERNAME", "PRINTERBIN1",
                                  "COPIES",  "RTPID",  "PrintName", "ID_ORDER", "X5",         "SubPath",
                                  "LANDSCAPE", "Header", "HTEXT",  "Footer",   "FTEXT"};
    for (const char* prefix : {"h", "hw", "aligh", "aligd"})
        for (int k = 1; k <= gs::SpoolMaxColumns; ++k)
            c.push_back(prefix + std::to_string(k));
    return c;
}

void Exec(sqlite3* db, const std::string& sql)
{
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr) != SQLITE_OK)
        std::abort();
}

sqlite3* OpenFile(const std::filesystem::path& file)
{
    sqlite3* db = nullptr;
    if (sqlite3_open(file.c_str(), &db) != SQLITE_OK)
        std::abort();
    sqlite3_busy_timeout(db, 1000);
    Exec(db, "PRAGMA synchronous = OFF");
    return db;
}

void BindValue(sqlite3_stmt* st, int index, std::string_view v)
{
    const char kind = v.empty() ? 't' : v[0];
    const std::string rest(v.substr(v.empty() ? 0 : 1));
    switch (kind) {
    case 'i': sqlite3_bind_int64(st, index, std::strtoll(rest.c_str(), nullptr, 10)); break;
    case 'r': sqlite3_bind_double(st, index, std::strtod(rest.c_str(), nullptr)); break;
    case 'n': sqlite3_bind_null(st, index); break;
    case 'b': sqlite3_bind_blob(st, index, rest.data(), static_cast<int>(rest.size()), SQLITE_TRANSIENT); break;
    default: sqlite3_bind_text(st, index, v.data(), static_cast<int>(v.size()), SQLITE_TRANSIENT); break;
    }
}

struct Spool {
    std::filesystem::path dir;
    sqlite3* jobs = nullptr;
    sqlite3* details = nullptr;
    sqlite3_stmt* update = nullptr;
    sqlite3_stmt* insert = nullptr;
    std::vector<std::string> columns = JobColumns();
    gs::SpoolJobs reader;

    Spool()
    {
        const char* shm = "/dev/shm";
        dir = std::filesystem::path(std::filesystem::is_directory(shm) ? shm : std::filesystem::temp_directory_path()) /
              ("gs-spoolfuzz-" + std::to_string(::getpid()));
        std::filesystem::remove_all(dir);
        gs::CreateSpoolTables(dir, true);
        jobs = OpenFile(dir / gs::SpoolTableName);
        details = OpenFile(dir / gs::DetailTableName);
        Exec(jobs, "INSERT INTO SPOOL (ID, PRIO) VALUES (1, 2)");
        std::string sql = "UPDATE SPOOL SET ";
        for (size_t i = 0; i < columns.size(); ++i)
            sql += (i ? ", \"" : "\"") + columns[i] + "\" = ?" + std::to_string(i + 1);
        sql += " WHERE ID = 1";
        std::string detail = "INSERT INTO DET (idmain";
        for (int k = 1; k <= gs::SpoolMaxColumns; ++k)
            detail += ", d" + std::to_string(k);
        detail += ") VALUES (1";
        for (int k = 1; k <= gs::SpoolMaxColumns; ++k)
            detail += ", ?";
        detail += ")";
        if (sqlite3_prepare_v2(jobs, sql.c_str(), -1, &update, nullptr) != SQLITE_OK ||
            sqlite3_prepare_v2(details, detail.c_str(), -1, &insert, nullptr) != SQLITE_OK)
            std::abort();
        if (!reader.Open(dir))
            std::abort();
    }
    ~Spool()
    {
        reader.Close();
        sqlite3_finalize(update);
        sqlite3_finalize(insert);
        sqlite3_close(jobs);
        sqlite3_close(details);
        std::error_code ec;
        std::filesystem::remove_all(dir, ec); // the throw-away tables go with the run
    }

    void Write(const std::vector<std::string_view>& values)
    {
        size_t next = 0;
        sqlite3_reset(update);
        sqlite3_clear_bindings(update); // a column without a value is NULL
        for (size_t i = 0; i < columns.size() && next < values.size(); ++i)
            BindValue(update, static_cast<int>(i + 1), values[next++]);
        if (sqlite3_step(update) != SQLITE_DONE)
            std::abort();
        Exec(details, "BEGIN; DELETE FROM DET");
        for (int row = 0; row < 40 && next < values.size(); ++row) {
            sqlite3_reset(insert);
            sqlite3_clear_bindings(insert);
            for (int k = 1; k <= gs::SpoolMaxColumns && next < values.size(); ++k)
                BindValue(insert, k, values[next++]);
            if (sqlite3_step(insert) != SQLITE_DONE)
                std::abort();
        }
        Exec(details, "COMMIT");
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 16384)
        return 0;
    static Spool spool;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::vector<std::string_view> values;
    size_t start = 0;
    while (start <= bytes.size()) {
        size_t end = bytes.find('\x1e', start);
        if (end == std::string_view::npos)
            end = bytes.size();
        values.push_back(bytes.substr(start, end - start));
        start = end + 1;
    }
    spool.Write(values);
    try {
        const gs::SpoolJob job = spool.reader.ReadJob(1);
        if (job.copies < 1 || job.duplex < 0 || job.duplex > 2 ||
            job.list.grid.columns.size() > static_cast<size_t>(gs::SpoolMaxColumns))
            std::abort();
        auto rows = spool.reader.DetailRows(1, static_cast<int>(job.list.grid.columns.size()));
        std::vector<std::string> cells;
        for (int n = 0;; ++n) {
            cells.clear();
            if (!rows->NextRow(cells))
                break;
            if (n >= 40 || cells.size() != job.list.grid.columns.size())
                std::abort();
        }
    } catch (const gs::Error&) {
        // a value that does not convert is refused with its column and table
    }
    return 0;
}
