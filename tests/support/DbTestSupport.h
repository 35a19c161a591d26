#pragma once
// Database fixtures for the core tests: a connected database directory in a temporary folder, and
// plain SQLite access to table files (as outside tools read and write them).
#include "db/AdsConnection.h"
#include "db/AdsTable.h"
#include "support/TestSupport.h"

#include <filesystem>
#include <string>
#include <vector>

namespace gs::test {

// A temporary database directory with a connected local connection.
struct DbDir {
    TempDir dir;
    TAdsConnection conn;
    DbDir();
    std::filesystem::path operator/(const std::string& name) const { return dir / name; }
};

// Runs SQL statements on a file with the sqlite3 C API (creates the file when missing).
void ExecSql(const std::filesystem::path& file, const std::string& sql);
// All rows of a query; every value as text, NULL as "<null>", blobs as their bytes.
std::vector<std::vector<std::string>> QuerySql(const std::filesystem::path& file, const std::string& sql);
// The first value of a query ("" when there is no row).
std::string QueryValue(const std::filesystem::path& file, const std::string& sql);

// The values of one field over a walk from First to Eof.
std::vector<std::string> WalkColumn(TAdsTable& table, const std::string& field);
// The same walk from Last back to Bof (in the order visited).
std::vector<std::string> WalkColumnBackward(TAdsTable& table, const std::string& field);

// Creates the table (not yet created, its connection set) with a field of every type, ID (AUTOINC),
// Name CHAR(3), Text, Data, Kurz, Zahl, Betrag, Ok, Tag, Zeit, and the tags ID (unique) and TAG
// (descending), opens it and appends one row: "äöüß" (cut to 3), "Grüße €", bytes 0 1 2, -5,
// "20010" as text, 195.58, true, 01.04.2006 18:00 in the date, 01.04.2006 12:30:15.250.
void CreateTableOfEveryType(TAdsTable& table);

} // namespace gs::test
