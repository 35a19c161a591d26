#include "db/PgStream.h"

#include "db/AdsCursor.h"
#include "db/AdsError.h"
#include "db/PgApi.h"

#include <algorithm>
#include <cstdio>

namespace gs::ads {

// --- streams -----------------------------------------------------------------------------------------

namespace {

// The rows of a result as a statement's rows, for RowBatch::Append.
class PgRows final : public sql::Query {
public:
    PgRows(const pg_result* result, std::vector<std::string>& scratch) : result_(result), scratch_(scratch)
    {
        const int columns = Pq().PQnfields(result);
        types_.resize(static_cast<size_t>(columns));
        for (int c = 0; c < columns; ++c)
            types_[static_cast<size_t>(c)] = Pq().PQftype(result, c);
        scratch_.resize(types_.size());
    }
    void At(int row) { row_ = row; }
    void BindNull(int) override {}
    void BindInt(int, std::int64_t) override {}
    void BindReal(int, double) override {}
    void BindText(int, std::string_view) override {}
    void BindBlob(int, std::string_view) override {}
    void Bind(int, const ValueRef&) override {}
    bool Step(std::string_view) override { return false; }
    void Reset() override {}
    ValueRef Column(int index) const override
    {
        return DecodeCell(result_, row_, index, types_[static_cast<size_t>(index)], scratch_[static_cast<size_t>(index)]);
    }
    std::int64_t ColumnInt(int index) const override { return Column(index).i; }
    bool ColumnIsNull(int index) const override { return Pq().PQgetisnull(result_, row_, index) != 0; }
    std::int64_t Changes() const override { return 0; }
    std::int64_t InsertedRowid() const override { return 0; }

private:
    const pg_result* result_;
    std::vector<std::string>& scratch_;
    std::vector<unsigned> types_;
    int row_ = 0;
};

constexpr size_t kStreamBatch = 1024;

} // namespace

PgStream::PgStream(PgSession& session, std::string_view sqlText, const std::vector<DbValue>& params,
                   const std::string& table)
    : session_(session), table_(table), name_(session.NewCursorName()), transaction_(session.ReadTransactionId())
{
    const std::string text = "DECLARE " + name_ + " NO SCROLL CURSOR FOR " + NumberedParameters(sqlText);
    const TextParams values(params);
    session_.Settle();
    pg_result* r = Pq().PQexecParams(session_.Conn(), text.c_str(), values.Count(), nullptr, values.values.data(),
                                     nullptr, nullptr, 0);
    if (!r || Pq().PQresultStatus(r) != PGRES_COMMAND_OK) {
        const std::string cause = Message(session_.Conn(), r);
        Pq().PQclear(r);
        throw AdsError("Lesen fehlgeschlagen: " + cause, table_);
    }
    Pq().PQclear(r);
}

PgStream::~PgStream()
{
    Collect();
    session_.ClearPending(this);
    if (session_.ReadTransactionId() == transaction_ && transaction_ != 0) {
        const std::string text = "CLOSE " + name_;
        Pq().PQclear(Pq().PQexec(session_.Conn(), text.c_str()));
    }
    Pq().PQclear(early_);
}

void PgStream::Send()
{
    const std::string text = "FETCH FORWARD " + std::to_string(kStreamBatch) + " FROM " + name_;
    // A failed send leaves the next batch to a plain fetch, which names the cause.
    sent_ = Pq().PQsendQueryParams(session_.Conn(), text.c_str(), 0, nullptr, nullptr, nullptr, nullptr, 1) == 1;
}

pg_result* PgStream::Receive()
{
    sent_ = false;
    pg_result* r = Pq().PQgetResult(session_.Conn());
    while (pg_result* more = Pq().PQgetResult(session_.Conn()))
        Pq().PQclear(more);
    return r;
}

void PgStream::StartReader(const Stamp& stamp, const RowBatch& like)
{
    if (!aheadRows_)
        aheadRows_ = std::make_unique<RowBatch>();
    aheadRows_->ResetLike(like);
    aheadStamp_ = stamp;
    aheadCount_ = 0;
    aheadFailure_.clear();
    aheadError_ = nullptr;
    session_.SetPending(this);
    try {
        reader_ = std::thread([this] { Read(); });
        reading_ = true;
    } catch (...) {
        Read(); // no thread to be had: the batch is taken in here
        ahead_ = true;
    }
}

void PgStream::Read() noexcept
{
    pg_result* r = Receive();
    try {
        if (!r || Pq().PQresultStatus(r) != PGRES_TUPLES_OK) {
            aheadFailure_ = Message(session_.Conn(), r);
        } else {
            aheadCount_ = Pq().PQntuples(r);
            if (static_cast<size_t>(aheadCount_) == kStreamBatch)
                Send(); // the server reads on while these rows are decoded
            PgRows view(r, readerScratch_);
            for (int i = 0; i < aheadCount_; ++i) {
                view.At(i);
                aheadRows_->Append(view, aheadStamp_);
            }
        }
    } catch (...) {
        aheadError_ = std::current_exception();
    }
    Pq().PQclear(r);
}

void PgStream::JoinReader() noexcept
{
    if (!reading_)
        return;
    reading_ = false;
    reader_.join();
    ahead_ = true;
}

void PgStream::Collect() noexcept
{
    JoinReader();
    if (sent_) {
        Pq().PQclear(early_);
        early_ = Receive();
    }
}

void PgStream::Fetch(size_t limit, const Stamp& stamp, RowBatch& out)
{
    if (done_)
        return;
    if (reading_) {
        session_.SetPending(nullptr);
        JoinReader();
    }
    if (ahead_) {
        ahead_ = false;
        if (aheadError_ || !aheadFailure_.empty()) {
            done_ = true;
            if (aheadError_)
                std::rethrow_exception(aheadError_);
            throw AdsError("Lesen fehlgeschlagen: " + aheadFailure_, table_);
        }
        out.Adopt(*aheadRows_);
        if (sent_)
            StartReader(stamp, out);
        else if (!early_ && static_cast<size_t>(aheadCount_) < kStreamBatch)
            done_ = true;
        return;
    }
    pg_result* r = early_;
    size_t asked = kStreamBatch;
    if (r) {
        early_ = nullptr;
    } else {
        const std::string text = "FETCH FORWARD " + std::to_string(limit) + " FROM " + name_;
        session_.Settle();
        r = Pq().PQexecParams(session_.Conn(), text.c_str(), 0, nullptr, nullptr, nullptr, nullptr, 1);
        asked = limit;
    }
    if (!r || Pq().PQresultStatus(r) != PGRES_TUPLES_OK) {
        const std::string cause = Message(session_.Conn(), r);
        Pq().PQclear(r);
        done_ = true;
        throw AdsError("Lesen fehlgeschlagen: " + cause, table_);
    }
    const int rows = Pq().PQntuples(r);
    try {
        PgRows view(r, scratch_);
        for (int i = 0; i < rows; ++i) {
            view.At(i);
            out.Append(view, stamp);
        }
    } catch (...) {
        Pq().PQclear(r);
        throw;
    }
    Pq().PQclear(r);
    // Reading ahead starts with the third batch: a table also reads the first one when it only goes
    // to its first row (a new order or filter), and the second may end the walk as well.
    if (static_cast<size_t>(rows) < std::min(asked, kStreamBatch)) {
        done_ = true;
    } else if (fetches_++ > 0) {
        Send();
        if (sent_)
            StartReader(stamp, out);
    }
}

} // namespace gs::ads
