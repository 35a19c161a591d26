#pragma once
// A prepared statement of a table store's engine, as the database layer uses it: bind values by
// position (1-based), step through the rows, read columns as stored values. The SQLite files and
// the PostgreSQL backend each implement it; every failure raises AdsError naming the table.
#include "db/DbValue.h"

#include <cstdint>
#include <string_view>

namespace gs::sql {

class Query {
public:
    virtual ~Query() = default;
    virtual void BindNull(int index) = 0;
    virtual void BindInt(int index, std::int64_t value) = 0;
    virtual void BindReal(int index, double value) = 0;
    virtual void BindText(int index, std::string_view value) = 0;
    virtual void BindBlob(int index, std::string_view value) = 0;
    // Binds without copying where the engine allows: the value must stay alive until Reset().
    virtual void Bind(int index, const ValueRef& value) = 0;

    // True when a row is ready, false when done; raises on errors (the statement is reset then).
    virtual bool Step(std::string_view context = "Lesen fehlgeschlagen") = 0;
    // Ends the statement and clears the bindings.
    virtual void Reset() = 0;

    // The current row's value of a result column; views stay valid until the next Step or Reset.
    virtual ValueRef Column(int index) const = 0;
    virtual std::int64_t ColumnInt(int index) const = 0;
    virtual bool ColumnIsNull(int index) const = 0;

    // After a write statement stepped (before Reset): the rows it changed, and for an insert the
    // row id of the new row.
    virtual std::int64_t Changes() const = 0;
    virtual std::int64_t InsertedRowid() const = 0;
};

// Resets a statement when leaving the scope.
class ResetOnExit {
public:
    explicit ResetOnExit(Query& s) : s_(s) {}
    ~ResetOnExit() { s_.Reset(); }
    ResetOnExit(const ResetOnExit&) = delete;
    ResetOnExit& operator=(const ResetOnExit&) = delete;

private:
    Query& s_;
};

} // namespace gs::sql
