#pragma once
// The rows of a bulk load on the database server, written through COPY ... FROM STDIN: each insert
// adds one line to the stream, which libpq sends on as its buffer fills, instead of a statement
// and its answer per row. The stream ends, and the server answers for every line of it, before
// any other statement on the connection (the session's Settle), before a row id block is drawn,
// and at the end of the bulk load; a failure then ends the connection's transaction, and Commit
// names the cause.
#include "db/PgSession.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace gs::ads {

class PgCopyInsert final : public PgBoundValues, public PgPending {
public:
    // copySql: "COPY table (ads_rowid, columns...) FROM STDIN"; bytea marks the columns after the
    // row id that take bytes; nextRowid draws the row id of each row (it may run statements).
    PgCopyInsert(PgSession& session, std::string copySql, std::vector<bool> bytea,
                 std::function<std::int64_t()> nextRowid, std::string table);
    ~PgCopyInsert() override;
    PgCopyInsert(const PgCopyInsert&) = delete;
    PgCopyInsert& operator=(const PgCopyInsert&) = delete;

    // Adds the bound row to the stream; never a row to read.
    bool Step(std::string_view context) override;
    void Reset() override;
    ValueRef Column(int) const override { return {}; }
    std::int64_t ColumnInt(int) const override { return 0; }
    bool ColumnIsNull(int) const override { return true; }
    std::int64_t Changes() const override { return stepped_ ? 1 : 0; }
    std::int64_t InsertedRowid() const override { return rowid_; }

    // Ends the stream and takes the server's answer; raises AdsError when the server refused a row.
    void End();
    void Collect() noexcept override;

private:
    void Start();
    void Put(const std::string& bytes);

    PgSession& session_;
    std::string copySql_;
    std::vector<bool> bytea_;
    std::function<std::int64_t()> nextRowid_;
    std::string line_;
    bool open_ = false;
    bool stepped_ = false;
    std::int64_t rowid_ = 0;
};

} // namespace gs::ads
