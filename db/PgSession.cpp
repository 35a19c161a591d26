#include "db/PgSession.h"

#include "db/AdsCursor.h"
#include "db/AdsError.h"
#include "db/PgApi.h"
#include "db/PgConnInfo.h"
#include "db/PgStream.h"
#include "db/PgWait.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace gs::ads {

namespace {

// Type oids of the built-in types the tables use.
constexpr unsigned kBool = 16, kBytea = 17, kInt8 = 20, kInt2 = 21, kInt4 = 23, kText = 25, kOid = 26,
                   kFloat4 = 700, kFloat8 = 701, kBpchar = 1042, kVarchar = 1043, kDate = 1082, kTimestamp = 1114,
                   kTimestampTz = 1184, kName = 19, kUnknown = 705;

std::uint64_t Be(const char* p, int n)
{
    std::uint64_t v = 0;
    for (int i = 0; i < n; ++i)
        v = (v << 8) | static_cast<unsigned char>(p[i]);
    return v;
}

// Days since 2000-01-01 -> "YYYY-MM-DD" (civil calendar, proleptic Gregorian).
void DayText(std::int64_t days, char* out)
{
    std::int64_t z = days + 10957 + 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    std::int64_t y = yoe + era * 400;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    const std::int64_t d = doy - (153 * mp + 2) / 5 + 1;
    const std::int64_t m = mp < 10 ? mp + 3 : mp - 9;
    if (m <= 2)
        ++y;
    if (y >= 0 && y <= 9999) {
        // Every row carries dates: written digit by digit, not through printf.
        const int yy = static_cast<int>(y);
        out[0] = static_cast<char>('0' + yy / 1000);
        out[1] = static_cast<char>('0' + yy / 100 % 10);
        out[2] = static_cast<char>('0' + yy / 10 % 10);
        out[3] = static_cast<char>('0' + yy % 10);
        out[4] = '-';
        out[5] = static_cast<char>('0' + m / 10);
        out[6] = static_cast<char>('0' + m % 10);
        out[7] = '-';
        out[8] = static_cast<char>('0' + d / 10);
        out[9] = static_cast<char>('0' + d % 10);
        out[10] = 0;
        return;
    }
    char text[48];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", static_cast<int>(y), static_cast<int>(m), static_cast<int>(d));
    std::memcpy(out, text, 10);
    out[10] = 0;
}

} // namespace

// --- session -----------------------------------------------------------------------------------------

std::shared_ptr<PgSession> PgSession::Connect(const std::string& connection, const ServerLimits& limits)
{
    std::shared_ptr<PgSession> session(new PgSession(connection, WithoutPassword(connection), limits));
    session->Attach();
    return session;
}

void PgSession::Attach()
{
    const std::string context = "Verbindung nicht möglich: " + shown_;
    std::string why;
    pg_conn* conn = ConnectWithin(connection_, limits_, why);
    if (!conn) // libpq may quote a malformed part of the string: the cause loses the password too
        throw AdsError(context + ": " + ScrubPassword(why, connection_), {});
    conn_ = conn;
    server_ = ServerName(conn);
    failure_.clear();
    ++generation_;
    snapshot_.clear();
    snapshotOf_ = 0;
    countRefused_ = false;
    // Notices ("already exists, skipping") are no concern of the user's: libpq would print them.
    Pq().PQsetNoticeProcessor(conn, [](void*, const char*) {}, nullptr);
    Exec("SET client_encoding = 'UTF8'", {}, context);
    Exec("SET DateStyle = ISO", {}, context);
    // The server would compile a walk's cursor to machine code when its plan over the whole table
    // looks expensive (on a million rows a third of a second before the first row), although the
    // walk fetches its rows in small batches. A server without that setting simply has no such cost.
    ExecNoThrow("SET jit = off");
}

PgSession::~PgSession()
{
    DropCountConnection();
    Pq().PQfinish(conn_);
}

pg_conn* PgSession::Live()
{
    if (conn_)
        return conn_;
    // The run that lost the connection fails as a whole: no statement of it continues on a new one
    // (outside its snapshot, without its cursors).
    if (readScopes_ > 0 || inTransaction_)
        throw AdsError(failure_, {});
    Attach();
    return conn_;
}

void PgSession::Drop(const std::string& failure) noexcept
{
    failure_ = failure;
    pending_ = nullptr;
    DropCountConnection();
    Pq().PQfinish(conn_);
    conn_ = nullptr;
    readTransaction_ = false;
}

pg_result* PgSession::Await(int sent)
{
    if (!conn_)
        throw AdsError(failure_, {});
    if (sent != 1) {
        if (ConnectionBroken(conn_))
            Fail({}, {}, nullptr);
        return nullptr; // the caller names libpq's cause
    }
    const Answer answer = TakeAnswer(conn_, limits_);
    if (answer.end != WaitEnd::Answered) {
        Drop(WaitMessage(answer.end, conn_, server_, limits_));
        throw AdsError(failure_, {});
    }
    return answer.result;
}

void PgSession::Fail(const std::string& table, std::string_view context, const pg_result* result)
{
    if (!conn_)
        throw AdsError(failure_, {});
    if (ConnectionBroken(conn_)) {
        Drop(kLostLead + Message(conn_, result));
        throw AdsError(failure_, {});
    }
    std::string text(context);
    text += ": ";
    text += Message(conn_, result);
    throw AdsError(text, table);
}

void PgSession::Settle() noexcept
{
    if (PgPending* pending = pending_) {
        pending_ = nullptr;
        pending->Collect();
    }
}

void PgSession::Exec(const std::string& sqlText, const std::string& table, std::string_view context)
{
    Settle();
    pg_conn* conn = Live();
    const ResultPtr r(Await(Pq().PQsendQuery(conn, sqlText.c_str())));
    const ExecStatusType status = r ? Pq().PQresultStatus(r.get()) : PGRES_FATAL_ERROR;
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK)
        Fail(table, context, r.get());
}

bool PgSession::ExecNoThrow(const char* sqlText) noexcept
{
    Settle();
    if (!conn_)
        return false;
    if (Pq().PQsendQuery(conn_, sqlText) != 1) {
        if (ConnectionBroken(conn_))
            Drop(kLostLead + Message(conn_, nullptr));
        return false;
    }
    const Answer answer = TakeAnswer(conn_, limits_);
    if (answer.end != WaitEnd::Answered) {
        Drop(WaitMessage(answer.end, conn_, server_, limits_));
        return false;
    }
    const bool ok = answer.result && Pq().PQresultStatus(answer.result) == PGRES_COMMAND_OK;
    Pq().PQclear(answer.result);
    if (!ok && ConnectionBroken(conn_))
        Drop(kLostLead + Message(conn_, nullptr));
    return ok;
}

void PgSession::BeginReadScope()
{
    if (readScopes_ > 0 || inTransaction_) {
        ++readScopes_;
        return;
    }
    Settle();
    Live(); // a new run: a dropped connection is made anew
    ++readScopes_;
    try {
        Exec("BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY", {}, "Lesen nicht möglich");
    } catch (...) {
        --readScopes_;
        throw;
    }
    readTransaction_ = true;
    ++readTransactionId_;
}

void PgSession::EndReadScope() noexcept
{
    if (readScopes_ > 0 && --readScopes_ == 0)
        EndReadTransaction();
}

void PgSession::EndReadTransaction() noexcept
{
    if (!readTransaction_)
        return;
    readTransaction_ = false;
    if (!ExecNoThrow("COMMIT"))
        ExecNoThrow("ROLLBACK");
}

void PgSession::BeginWrite(const std::string& table)
{
    EndReadTransaction();
    if (!inTransaction_)
        Exec("BEGIN", table, "Schreiben nicht möglich");
}

void PgSession::CommitWrite(const std::string& table)
{
    if (!inTransaction_)
        Exec("COMMIT", table, "Schreiben nicht möglich");
    ++writes_;
}

void PgSession::AbortWrite() noexcept
{
    if (!inTransaction_)
        ExecNoThrow("ROLLBACK");
}

void PgSession::Begin()
{
    EndReadTransaction();
    writeFailure_.clear();
    Exec("BEGIN", {}, "Transaktion kann nicht beginnen");
    inTransaction_ = true;
}

void PgSession::Commit()
{
    if (!inTransaction_)
        return;
    inTransaction_ = false;
    ++writes_;
    Settle();
    if (!conn_)
        throw AdsError("Transaktion kann nicht abgeschlossen werden: " + failure_, {});
    pg_result* r = Await(Pq().PQsendQuery(conn_, "COMMIT"));
    // A transaction that failed earlier answers COMMIT with ROLLBACK: that is no success.
    const bool ok = r && Pq().PQresultStatus(r) == PGRES_COMMAND_OK && std::strcmp(Pq().PQcmdStatus(r), "COMMIT") == 0;
    if (!ok) {
        std::string cause = r && Pq().PQresultStatus(r) != PGRES_COMMAND_OK
                                ? Message(conn_, r)
                                : std::string("die Transaktion wurde zurückgesetzt");
        if (!writeFailure_.empty())
            cause += " (" + writeFailure_ + ")";
        writeFailure_.clear();
        Pq().PQclear(r);
        throw AdsError("Transaktion kann nicht abgeschlossen werden: " + cause, {});
    }
    Pq().PQclear(r);
}

void PgSession::Rollback() noexcept
{
    if (!inTransaction_)
        return;
    inTransaction_ = false;
    writeFailure_.clear();
    ++writes_;
    ExecNoThrow("ROLLBACK");
}

// --- bound values ------------------------------------------------------------------------------------

void PgBoundValues::ResizeValues(size_t count)
{
    values_.resize(count);
    for (std::string& v : values_)
        v.clear();
    nulls_.assign(count, 1);
}

void PgBoundValues::Slot(int index, std::string_view bytes, bool null)
{
    const size_t i = static_cast<size_t>(index - 1);
    if (index < 1 || i >= values_.size())
        throw AdsError("Abfrage nicht möglich: Parameter " + std::to_string(index) + " gibt es nicht", table_);
    values_[i].assign(bytes.data(), bytes.size());
    nulls_[i] = null ? 1 : 0;
}

void PgBoundValues::BindNull(int index) { Slot(index, {}, true); }
void PgBoundValues::BindInt(int index, std::int64_t value) { Slot(index, std::to_string(value), false); }
void PgBoundValues::BindReal(int index, double value)
{
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.17g", value);
    Slot(index, buf, false);
}
void PgBoundValues::BindText(int index, std::string_view value) { Slot(index, value, false); }
void PgBoundValues::BindBlob(int index, std::string_view value) { Slot(index, value, false); }

void PgBoundValues::Bind(int index, const ValueRef& value)
{
    switch (value.kind) {
    case StorageKind::Null: BindNull(index); break;
    case StorageKind::Integer: BindInt(index, value.i); break;
    case StorageKind::Real: BindReal(index, value.d); break;
    case StorageKind::Text:
    case StorageKind::Blob: Slot(index, value.s, false); break;
    }
}

// --- statements --------------------------------------------------------------------------------------

std::string NumberedParameters(std::string_view sqlText)
{
    std::string out;
    out.reserve(sqlText.size() + 8);
    int next = 0;
    char quote = 0;
    for (size_t i = 0; i < sqlText.size(); ++i) {
        const char c = sqlText[i];
        if (quote) {
            out += c;
            if (c == quote)
                quote = 0;
            continue;
        }
        if (c == '"' || c == '\'') {
            quote = c;
            out += c;
            continue;
        }
        if (c != '?') {
            out += c;
            continue;
        }
        size_t j = i + 1;
        int n = 0;
        while (j < sqlText.size() && sqlText[j] >= '0' && sqlText[j] <= '9')
            n = n * 10 + (sqlText[j++] - '0');
        if (j == i + 1)
            n = ++next;
        else if (n > next)
            next = n;
        out += '$';
        out += std::to_string(n);
        i = j - 1;
    }
    return out;
}

PgQuery::PgQuery(PgSession& session, std::string_view sqlText, const std::string& table)
    : PgBoundValues(0, table), session_(session), name_(session.NewStatementName()), text_(NumberedParameters(sqlText))
{
    session_.Settle();
    session_.Live();
    Prepare();
    ResizeValues(paramTypes_.size());
}

void PgQuery::Prepare()
{
    pg_conn* conn = session_.Conn();
    ResultPtr r(session_.Await(Pq().PQsendPrepare(conn, name_.c_str(), text_.c_str(), 0, nullptr)));
    if (!r || Pq().PQresultStatus(r.get()) != PGRES_COMMAND_OK)
        session_.Fail(table_, "Abfrage nicht möglich", r.get());
    r.reset(session_.Await(Pq().PQsendDescribePrepared(conn, name_.c_str())));
    if (!r || Pq().PQresultStatus(r.get()) != PGRES_COMMAND_OK)
        session_.Fail(table_, "Abfrage nicht möglich", r.get());
    paramTypes_.resize(static_cast<size_t>(Pq().PQnparams(r.get())));
    for (size_t i = 0; i < paramTypes_.size(); ++i)
        paramTypes_[i] = Pq().PQparamtype(r.get(), static_cast<int>(i));
    generation_ = session_.Generation();
}

PgQuery::~PgQuery()
{
    Pq().PQclear(result_);
    // A statement of an aborted transaction stays until the session ends; one of a dropped
    // connection went with it.
    session_.Settle();
    if (session_.Conn() && session_.Generation() == generation_) {
        const std::string text = "DEALLOCATE " + name_;
        session_.ExecNoThrow(text.c_str());
    }
}


bool PgQuery::Step(std::string_view context)
{
    if (result_) {
        ++row_;
        return row_ < rows_;
    }
    session_.Settle();
    pg_conn* conn = session_.Live();
    if (generation_ != session_.Generation())
        Prepare(); // the connection was made anew: the statement too (the same parameters)
    const size_t n = values_.size();
    std::vector<const char*> values(n);
    std::vector<int> lengths(n), formats(n);
    for (size_t i = 0; i < n; ++i) {
        values[i] = nulls_[i] ? nullptr : values_[i].c_str();
        lengths[i] = static_cast<int>(values_[i].size());
        formats[i] = paramTypes_[i] == kBytea ? 1 : 0; // bytes as they are; the rest as text
    }
    ResultPtr r(session_.Await(Pq().PQsendQueryPrepared(conn, name_.c_str(), static_cast<int>(n), values.data(),
                                                         lengths.data(), formats.data(), 1)));
    const ExecStatusType status = r ? Pq().PQresultStatus(r.get()) : PGRES_FATAL_ERROR;
    if (status != PGRES_TUPLES_OK && status != PGRES_COMMAND_OK) {
        Reset();
        session_.Fail(table_, context, r.get());
    }
    result_ = r.release();
    const char* tuples = Pq().PQcmdTuples(result_);
    changes_ = tuples && *tuples ? std::atoll(tuples) : 0;
    rows_ = status == PGRES_TUPLES_OK ? Pq().PQntuples(result_) : 0;
    const int columns = Pq().PQnfields(result_);
    columnTypes_.resize(static_cast<size_t>(columns));
    for (int c = 0; c < columns; ++c)
        columnTypes_[static_cast<size_t>(c)] = Pq().PQftype(result_, c);
    scratch_.resize(static_cast<size_t>(columns));
    row_ = 0;
    return row_ < rows_;
}

void PgQuery::Reset()
{
    Pq().PQclear(result_);
    result_ = nullptr;
    rows_ = 0;
    row_ = -1;
    ClearValues();
}

bool PgQuery::ColumnIsNull(int index) const
{
    return !result_ || row_ < 0 || row_ >= rows_ || Pq().PQgetisnull(result_, row_, index);
}

ValueRef DecodeCell(const pg_result* result, int row, int index, unsigned type, std::string& scratch)
{
    if (Pq().PQgetisnull(result, row, index))
        return {};
    const int n = Pq().PQgetlength(result, row, index);
    return DecodeBinary(type, std::string_view(Pq().PQgetvalue(result, row, index), static_cast<size_t>(std::max(n, 0))),
                        scratch);
}

namespace {

// The bytes of a fixed-size binary value, or the error naming the type and the length that came.
const char* Fixed(std::string_view bytes, size_t size, const char* type)
{
    if (bytes.size() != size)
        throw AdsError(std::string("Ungültiger Wert vom Datenbankserver: ") + type + " mit " +
                           std::to_string(bytes.size()) + " statt " + std::to_string(size) + " Bytes",
                       {});
    return bytes.data();
}

} // namespace

ValueRef DecodeBinary(unsigned type, std::string_view bytes, std::string& scratch)
{
    ValueRef v;
    switch (type) {
    case kBool:
        v.kind = StorageKind::Integer;
        v.i = *Fixed(bytes, 1, "boolean") != 0 ? 1 : 0;
        break;
    case kInt2:
        v.kind = StorageKind::Integer;
        v.i = static_cast<std::int16_t>(Be(Fixed(bytes, 2, "smallint"), 2));
        break;
    case kInt4:
    case kOid:
        v.kind = StorageKind::Integer;
        v.i = static_cast<std::int32_t>(Be(Fixed(bytes, 4, "integer"), 4));
        break;
    case kInt8:
        v.kind = StorageKind::Integer;
        v.i = static_cast<std::int64_t>(Be(Fixed(bytes, 8, "bigint"), 8));
        break;
    case kFloat4: {
        const std::uint32_t bits = static_cast<std::uint32_t>(Be(Fixed(bytes, 4, "real"), 4));
        float f;
        std::memcpy(&f, &bits, sizeof f);
        v.kind = StorageKind::Real;
        v.d = f;
        break;
    }
    case kFloat8: {
        const std::uint64_t bits = Be(Fixed(bytes, 8, "double precision"), 8);
        v.kind = StorageKind::Real;
        std::memcpy(&v.d, &bits, sizeof v.d);
        break;
    }
    case kDate: {
        // The server's infinite dates and those beyond the year 9999 come as their day text, which
        // is no date a conversion reads: the load then names the value.
        std::string& s = scratch;
        s.resize(11);
        DayText(static_cast<std::int32_t>(Be(Fixed(bytes, 4, "date"), 4)), s.data());
        s.resize(10);
        v.kind = StorageKind::Text;
        v.s = s;
        break;
    }
    case kTimestamp:
    case kTimestampTz: {
        const std::int64_t us = static_cast<std::int64_t>(Be(Fixed(bytes, 8, "timestamp"), 8));
        constexpr std::int64_t kDay = 86400000000LL;
        std::int64_t days = us / kDay, rest = us % kDay;
        if (rest < 0) {
            rest += kDay;
            --days;
        }
        const std::int64_t ms = rest / 1000;
        char buf[40];
        DayText(days, buf);
        std::snprintf(buf + 10, sizeof buf - 10, " %02d:%02d:%02d.%03d", static_cast<int>(ms / 3600000),
                      static_cast<int>(ms / 60000 % 60), static_cast<int>(ms / 1000 % 60), static_cast<int>(ms % 1000));
        std::string& s = scratch;
        s = buf;
        v.kind = StorageKind::Text;
        v.s = s;
        break;
    }
    case kBytea:
        v.kind = StorageKind::Blob;
        v.s = bytes;
        break;
    case kText:
    case kVarchar:
    case kBpchar:
    case kName:
    case kUnknown:
    default:
        v.kind = StorageKind::Text;
        v.s = bytes;
        break;
    }
    return v;
}

ValueRef PgQuery::Column(int index) const
{
    if (ColumnIsNull(index))
        return {};
    return DecodeCell(result_, row_, index, columnTypes_[static_cast<size_t>(index)],
                      scratch_[static_cast<size_t>(index)]);
}

std::int64_t PgQuery::ColumnInt(int index) const
{
    const ValueRef v = Column(index);
    return v.kind == StorageKind::Integer ? v.i : v.kind == StorageKind::Real ? static_cast<std::int64_t>(v.d) : 0;
}

std::int64_t PgQuery::InsertedRowid() const
{
    return result_ && rows_ > 0 && !Pq().PQgetisnull(result_, 0, 0) ? static_cast<std::int64_t>(Be(Pq().PQgetvalue(result_, 0, 0), 8))
                                                               : 0;
}

} // namespace gs::ads
