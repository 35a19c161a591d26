#pragma once
// Thin RAII layer over the SQLite C API for the table files. Every failure raises AdsError naming
// the table file and carrying SQLite's message.
#include "db/DbValue.h"

#include <sqlite3.h>

#include <string>
#include <string_view>

namespace gs::sql {

[[noreturn]] void ThrowEngine(sqlite3* db, int rc, const std::string& fileName, std::string_view context);

// Runs statements without results (DDL, BEGIN/COMMIT ...).
void Exec(sqlite3* db, const std::string& sqlText, const std::string& fileName, std::string_view context);

// Double-quoted SQL identifier.
std::string Quote(std::string_view identifier);

class Statement {
public:
    Statement(sqlite3* db, const std::string& sqlText, const std::string& fileName,
              std::string_view context = "Abfrage nicht möglich");
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    sqlite3_stmt* handle() const { return stmt_; }
    void bindNull(int index);
    void bindInt(int index, std::int64_t value);
    void bindReal(int index, double value);
    void bindText(int index, std::string_view value);
    void bindBlob(int index, std::string_view value);
    // Binds without copying text or bytes: the value must stay alive until reset().
    void bind(int index, const ValueRef& value);

    // True when a row is ready, false when done; raises on errors (the statement is reset then).
    bool step(std::string_view context = "Lesen fehlgeschlagen");
    // Ends the statement (and with it the read transaction it held) and clears the bindings.
    void reset();

    // The current row's value of a result column; views stay valid until the next step or reset.
    ValueRef column(int index) const;
    std::int64_t columnInt(int index) const { return sqlite3_column_int64(stmt_, index); }
    bool columnIsNull(int index) const { return sqlite3_column_type(stmt_, index) == SQLITE_NULL; }

private:
    sqlite3* db_;
    sqlite3_stmt* stmt_ = nullptr;
    const std::string& fileName_;
};

// Resets a statement when leaving the scope.
class ResetOnExit {
public:
    explicit ResetOnExit(Statement& s) : s_(s) {}
    ~ResetOnExit() { s_.reset(); }
    ResetOnExit(const ResetOnExit&) = delete;
    ResetOnExit& operator=(const ResetOnExit&) = delete;

private:
    Statement& s_;
};

} // namespace gs::sql
