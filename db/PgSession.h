#pragma once
// One connection to a PostgreSQL database through libpq, shared by every table a TAdsConnection
// opens there, and the prepared statements of the tables (PgQuery). Transactions follow the table
// files' rules: a read scope is one REPEATABLE READ READ ONLY transaction (one snapshot for the
// count and every row of a run), a write outside a connection transaction commits on its own and
// ends a read scope's transaction first, a connection transaction holds every write until Commit.
// Every failure raises AdsError with the server's message; the connection string is shown without
// its password. Every wait for the server keeps the limits (db/ServerLimits.h): a server that stops
// answering, a cancelled wait or a broken connection drops the connection, the run fails with the
// wait's message and the next run connects anew.
#include "db/ServerLimits.h"
#include "db/SqlQuery.h"
#include "db/TableStore.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

struct pg_conn;
struct pg_result;

namespace gs::ads {

// What may hold the connection between two calls of its owner: a stream's batch on its way, a
// bulk load's COPY stream. Collect ends that, so that another statement can run.
class PgPending {
public:
    virtual void Collect() noexcept = 0;

protected:
    ~PgPending() = default;
};

class PgSession {
public:
    // Raises AdsError "Verbindung nicht möglich: <connection without password>: <cause>".
    static std::shared_ptr<PgSession> Connect(const std::string& connection, const ServerLimits& limits = {});
    ~PgSession();
    PgSession(const PgSession&) = delete;
    PgSession& operator=(const PgSession&) = delete;

    // The connection; null after it was dropped (a server that stopped answering, a cancelled wait,
    // a lost connection) until the next run connects anew.
    pg_conn* Conn() const { return conn_; }
    // The connection for a statement: a dropped one is made anew, except inside the run (read scope
    // or transaction) it failed in, which gets that failure raised again.
    pg_conn* Live();
    // Counts the connections made: prepared statements of an older one are prepared again.
    std::uint64_t Generation() const { return generation_; }
    // The connection string without its password.
    const std::string& Shown() const { return shown_; }
    // The server as messages name it ("host:port" or the socket's path).
    const std::string& Server() const { return server_; }

    // Applies to every wait from now on (set them between runs: a reader thread copies them).
    void SetLimits(const ServerLimits& limits) { limits_ = limits; }
    const ServerLimits& Limits() const { return limits_; }

    // Waits for the answer to what was just sent on Conn() (sent: what the send gave) and gives
    // its result, failed or not (null when none came). Raises AdsError with the wait's message when
    // the server stays silent, the caller cancels or the connection breaks (the connection is then
    // dropped).
    pg_result* Await(int sent);
    // Ends the connection with failure as the cause every statement of the failed run raises.
    // Only where no other thread uses the connection.
    void Drop(const std::string& failure) noexcept;
    // Why the connection was dropped (empty while it lives).
    const std::string& Failure() const { return failure_; }

    // Runs a statement without parameters or rows wanted; raises "<context>: <cause>" naming table.
    void Exec(const std::string& sqlText, const std::string& table, std::string_view context);
    // The same without raising: false on any failure (a wait that ends drops the connection).
    bool ExecNoThrow(const char* sqlText) noexcept;
    // Raises AdsError "<context>: <the connection's last message>", or "Verbindung zum
    // Datenbankserver verloren: <libpq's text>" when the connection broke (then dropped).
    [[noreturn]] void Fail(const std::string& table, std::string_view context, const pg_result* result = nullptr);
    std::string NewStatementName() { return "gs_" + std::to_string(++statements_); }

    void BeginReadScope();
    void EndReadScope() noexcept;
    std::uint64_t ReadTransactionId() const { return readTransaction_ ? readTransactionId_ : 0; }

    void BeginWrite(const std::string& table);
    void CommitWrite(const std::string& table);
    void AbortWrite() noexcept;

    void Begin();
    void Commit();
    void Rollback() noexcept;
    bool InTransaction() const { return inTransaction_; }

    // Counts commits of this session: windows of rows read before a write are read again.
    std::uint64_t Writes() const { return writes_; }
    std::int64_t NextStamp() { return ++stamps_; }

    // A stream's next batch may be on its way while the rows before it are processed, or a bulk
    // load's COPY stream open; any other statement first ends that (Settle), since the connection
    // serves one at a time.
    void SetPending(PgPending* pending) { pending_ = pending; }
    // What goes away or has ended is no longer waited for.
    void ClearPending(const PgPending* pending)
    {
        if (pending_ == pending)
            pending_ = nullptr;
    }
    void Settle() noexcept;
    // A write the server refused where no caller could be told (a COPY stream ended by Settle): the
    // transaction has failed, and Commit names this cause.
    void NoteWriteFailure(const std::string& cause) { writeFailure_ = cause; }
    std::string NewCursorName() { return "gs_c" + std::to_string(++cursors_); }

    // Starts "SELECT count(*) ..." on a second connection of this session, in the read scope's
    // snapshot (exported here, imported there), so that the server counts while this connection
    // streams; null when that cannot be had (no read scope, a count already running, the server
    // refusing a second connection or the snapshot): the caller then counts on this connection.
    std::unique_ptr<PendingCount> CountBeside(const std::string& sqlText, const std::vector<DbValue>& params,
                                              const std::string& table);

private:
    PgSession(std::string connection, std::string shown, const ServerLimits& limits)
        : connection_(std::move(connection)), shown_(std::move(shown)), limits_(limits)
    {
    }
    friend class PgSideCount;
    void Attach();
    std::string ExportSnapshot();
    pg_conn* CountConnection();
    void DropCountConnection() noexcept;
    void EndReadTransaction() noexcept;

    pg_conn* conn_ = nullptr;
    std::string connection_; // as given, password included: the count connection logs in alike
    std::string shown_;
    std::string server_;
    ServerLimits limits_;
    std::uint64_t generation_ = 0;
    std::string failure_;
    pg_conn* countConn_ = nullptr;
    bool countRefused_ = false; // the server gave no second connection: not asked again
    bool counting_ = false;
    std::string snapshot_;
    std::uint64_t snapshotOf_ = 0; // the read transaction the exported snapshot belongs to
    std::uint64_t statements_ = 0;
    int readScopes_ = 0;
    bool readTransaction_ = false;
    std::uint64_t readTransactionId_ = 0;
    bool inTransaction_ = false;
    std::uint64_t writes_ = 0;
    std::int64_t stamps_ = 0;
    PgPending* pending_ = nullptr;
    std::string writeFailure_;
    std::uint64_t cursors_ = 0;
};

// Values bound by position (1-based) as the server takes them in text: integers and reals written
// out, texts and bytes as they are, NULL marked. What PgQuery and PgCopyInsert bind.
class PgBoundValues : public sql::Query {
public:
    void BindNull(int index) override;
    void BindInt(int index, std::int64_t value) override;
    void BindReal(int index, double value) override;
    void BindText(int index, std::string_view value) override;
    void BindBlob(int index, std::string_view value) override;
    void Bind(int index, const ValueRef& value) override;

protected:
    PgBoundValues(size_t count, std::string table) : table_(std::move(table)) { ResizeValues(count); }
    // count values, each NULL
    void ResizeValues(size_t count);
    void ClearValues() { ResizeValues(values_.size()); }

    std::string table_;
    std::vector<std::string> values_;
    std::vector<char> nulls_;

private:
    void Slot(int index, std::string_view bytes, bool null);
};

// A prepared statement on the server. The "?" and "?N" parameters of the layer's SQL become $N;
// values go as text and the server types them from the statement, bytes of a bytea parameter go
// in binary. Rows come in binary and read back in the SQLite files' storage forms: integers and
// booleans as integers, double precision as real, varchar as text, bytea as blob, a date as
// "YYYY-MM-DD", a timestamp as "YYYY-MM-DD HH:MM:SS.SSS".
class PgQuery final : public PgBoundValues {
public:
    PgQuery(PgSession& session, std::string_view sqlText, const std::string& table);
    ~PgQuery() override;
    PgQuery(const PgQuery&) = delete;
    PgQuery& operator=(const PgQuery&) = delete;

    bool Step(std::string_view context = "Lesen fehlgeschlagen") override;
    void Reset() override;
    ValueRef Column(int index) const override;
    std::int64_t ColumnInt(int index) const override;
    bool ColumnIsNull(int index) const override;
    std::int64_t Changes() const override { return changes_; }
    std::int64_t InsertedRowid() const override;

private:
    void Prepare();

    PgSession& session_;
    std::string name_;
    std::string text_;
    std::uint64_t generation_ = 0; // the connection the statement is prepared on
    std::vector<unsigned> paramTypes_;
    pg_result* result_ = nullptr;
    int rows_ = 0;
    int row_ = -1;
    std::int64_t changes_ = 0;
    std::vector<unsigned> columnTypes_;
    mutable std::vector<std::string> scratch_; // dates and timestamps as text
};

// One cell of a binary result in the storage forms above (dates and timestamps as text in scratch).
ValueRef DecodeCell(const pg_result* result, int row, int index, unsigned type, std::string& scratch);
// The same for the bytes of one value of the type (an OID) in the server's binary form; a number,
// boolean, date or timestamp of the wrong length raises AdsError. The view may point into bytes.
ValueRef DecodeBinary(unsigned type, std::string_view bytes, std::string& scratch);

// "?" -> "$1", "?3" -> "$3", outside quoted names and literals.
std::string NumberedParameters(std::string_view sqlText);

} // namespace gs::ads
