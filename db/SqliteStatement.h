#pragma once
// Thin RAII layer over the SQLite C API for the table files. Every failure raises AdsError naming
// the table file and carrying SQLite's message.
#include "db/DbValue.h"
#include "db/SqlQuery.h"

#include <sqlite3.h>

#include <memory>
#include <string>
#include <string_view>

namespace gs::sql {

// Owner of an open SQLite handle: closes it when the owner goes, on every path. Statements still
// alive then keep the handle open until they are finalized (sqlite3_close_v2).
struct CloseDatabase {
    void operator()(sqlite3* db) const noexcept { sqlite3_close_v2(db); }
};
using Database = std::unique_ptr<sqlite3, CloseDatabase>;

// Opens the file with the flags of sqlite3_open_v2 (and a URI when flags hold SQLITE_OPEN_URI);
// raises AdsError "<context>: <engine message>" naming fileName when it cannot.
Database Open(const std::string& fileOrUri, int flags, const std::string& fileName, std::string_view context);

[[noreturn]] void ThrowEngine(sqlite3* db, int rc, const std::string& fileName, std::string_view context);

// Runs statements without results (DDL, BEGIN/COMMIT ...).
void Exec(sqlite3* db, const std::string& sqlText, const std::string& fileName, std::string_view context);

// Double-quoted SQL identifier.
std::string Quote(std::string_view identifier);

class Statement final : public Query {
public:
    Statement(sqlite3* db, const std::string& sqlText, const std::string& fileName,
              std::string_view context = "Abfrage nicht möglich");
    ~Statement() override;
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    sqlite3_stmt* Handle() const { return stmt_; }
    void BindNull(int index) override;
    void BindInt(int index, std::int64_t value) override;
    void BindReal(int index, double value) override;
    void BindText(int index, std::string_view value) override;
    void BindBlob(int index, std::string_view value) override;
    // Binds without copying text or bytes: the value must stay alive until Reset().
    void Bind(int index, const ValueRef& value) override;

    // True when a row is ready, false when done; raises on errors (the statement is reset then).
    bool Step(std::string_view context = "Lesen fehlgeschlagen") override;
    // Ends the statement (and with it the read transaction it held) and clears the bindings.
    void Reset() override;

    // The current row's value of a result column; views stay valid until the next Step or Reset.
    ValueRef Column(int index) const override;
    std::int64_t ColumnInt(int index) const override { return sqlite3_column_int64(stmt_, index); }
    bool ColumnIsNull(int index) const override { return sqlite3_column_type(stmt_, index) == SQLITE_NULL; }
    std::int64_t Changes() const override { return sqlite3_changes64(db_); }
    std::int64_t InsertedRowid() const override { return sqlite3_last_insert_rowid(db_); }

private:
    sqlite3* db_;
    sqlite3_stmt* stmt_ = nullptr;
    const std::string& fileName_;
};

} // namespace gs::sql
