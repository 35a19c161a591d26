#include "db/PgCopy.h"

#include "db/AdsError.h"
#include "db/PgApi.h"
#include "db/PgWait.h"

namespace gs::ads {

namespace {

// A value as COPY's text format takes it: backslash, tab, line feed and carriage return escaped.
void AppendText(std::string& line, std::string_view text)
{
    for (char c : text) {
        switch (c) {
        case '\\': line += "\\\\"; break;
        case '\t': line += "\\t"; break;
        case '\n': line += "\\n"; break;
        case '\r': line += "\\r"; break;
        default: line += c;
        }
    }
}

// Bytes for a bytea column: "\x" and their hex digits, the backslash escaped for COPY.
void AppendBytes(std::string& line, std::string_view bytes)
{
    static constexpr char kHex[] = "0123456789abcdef";
    line += "\\\\x";
    for (unsigned char b : bytes) {
        line += kHex[b >> 4];
        line += kHex[b & 15];
    }
}

} // namespace

PgCopyInsert::PgCopyInsert(PgSession& session, std::string copySql, std::vector<bool> bytea,
                           std::function<std::int64_t()> nextRowid, std::string table)
    : PgBoundValues(bytea.size(), std::move(table)), session_(session), copySql_(std::move(copySql)),
      bytea_(std::move(bytea)), nextRowid_(std::move(nextRowid))
{
}

PgCopyInsert::~PgCopyInsert()
{
    if (!open_)
        return;
    // Left without its end (a failed load): the stream is broken off, the transaction fails.
    open_ = false;
    session_.ClearPending(this);
    if (!session_.Conn())
        return;
    Pq().PQputCopyEnd(session_.Conn(), "Massenladen abgebrochen");
    const Answer answer = TakeAnswer(session_.Conn(), session_.Limits());
    Pq().PQclear(answer.result);
    if (answer.end != WaitEnd::Answered)
        session_.Drop(WaitMessage(answer.end, session_.Conn(), session_.Server(), session_.Limits()));
}

void PgCopyInsert::Reset()
{
    ClearValues();
    stepped_ = false;
}

void PgCopyInsert::Start()
{
    session_.Settle();
    const ResultPtr r(session_.Await(Pq().PQsendQuery(session_.Live(), copySql_.c_str())));
    if (!r || Pq().PQresultStatus(r.get()) != PGRES_COPY_IN)
        session_.Fail(table_, "Datensatz kann nicht gespeichert werden", r.get());
    open_ = true;
    session_.SetPending(this);
}

void PgCopyInsert::Put(const std::string& bytes)
{
    if (Pq().PQputCopyData(session_.Conn(), bytes.data(), static_cast<int>(bytes.size())) != 1)
        throw AdsError("Datensatz kann nicht gespeichert werden: " + Message(session_.Conn(), nullptr), table_);
}

bool PgCopyInsert::Step(std::string_view)
{
    // The row id first: drawing a block runs a statement, which ends the stream.
    rowid_ = nextRowid_();
    line_ = std::to_string(rowid_);
    for (size_t i = 0; i < values_.size(); ++i) {
        line_ += '\t';
        if (nulls_[i])
            line_ += "\\N";
        else if (bytea_[i])
            AppendBytes(line_, values_[i]);
        else
            AppendText(line_, values_[i]);
    }
    line_ += '\n';
    if (!open_)
        Start();
    Put(line_);
    stepped_ = true;
    return false;
}

void PgCopyInsert::End()
{
    if (!open_)
        return;
    open_ = false;
    session_.ClearPending(this);
    std::string cause;
    if (!session_.Conn())
        cause = session_.Failure();
    else if (Pq().PQputCopyEnd(session_.Conn(), nullptr) != 1)
        cause = Message(session_.Conn(), nullptr);
    if (cause.empty()) {
        const Answer answer = TakeAnswer(session_.Conn(), session_.Limits());
        if (answer.end != WaitEnd::Answered) {
            session_.Drop(WaitMessage(answer.end, session_.Conn(), session_.Server(), session_.Limits()));
            cause = session_.Failure();
        } else if (!answer.result || Pq().PQresultStatus(answer.result) != PGRES_COMMAND_OK) {
            cause = Message(session_.Conn(), answer.result);
        }
        Pq().PQclear(answer.result);
    }
    if (!cause.empty()) {
        session_.NoteWriteFailure(cause);
        throw AdsError("Datensatz kann nicht gespeichert werden: " + cause, table_);
    }
}

void PgCopyInsert::Collect() noexcept
{
    try {
        End();
    } catch (...) {
        // Noted in the session: the transaction has failed, and its Commit names the cause.
    }
}

} // namespace gs::ads
