#include "db/PgStream.h"

#include "db/AdsCursor.h"
#include "db/AdsError.h"
#include "db/PgApi.h"
#include "db/PgWait.h"

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
                   const std::string& table, bool whole)
    : session_(session), table_(table), name_(session.NewCursorName()), transaction_(session.ReadTransactionId())
{
    const std::string text = "DECLARE " + name_ + " NO SCROLL CURSOR FOR " + NumberedParameters(sqlText);
    const TextParams values(params);
    // Only this cursor: the walks on an index want their first rows soon.
    if (whole)
        session_.Exec("SET LOCAL cursor_tuple_fraction = 1", table_, "Lesen fehlgeschlagen");
    struct Restore {
        PgSession& session;
        bool whole;
        ~Restore()
        {
            if (whole)
                session.ExecNoThrow("SET LOCAL cursor_tuple_fraction TO DEFAULT");
        }
    } restore{session_, whole};
    session_.Settle();
    pg_conn* conn = session_.Live();
    generation_ = session_.Generation();
    const ResultPtr r(session_.Await(Pq().PQsendQueryParams(conn, text.c_str(), values.Count(), nullptr,
                                                            values.values.data(), nullptr, nullptr, 0)));
    if (!r || Pq().PQresultStatus(r.get()) != PGRES_COMMAND_OK)
        session_.Fail(table_, "Lesen fehlgeschlagen", r.get());
}

PgStream::~PgStream()
{
    Collect();
    session_.ClearPending(this);
    if (Alive() && session_.ReadTransactionId() == transaction_ && transaction_ != 0) {
        const std::string text = "CLOSE " + name_;
        session_.ExecNoThrow(text.c_str());
    }
    Pq().PQclear(early_);
}

bool PgStream::Alive() const { return session_.Conn() && session_.Generation() == generation_; }

void PgStream::Send()
{
    const std::string text = "FETCH FORWARD " + std::to_string(kStreamBatch) + " FROM " + name_;
    // A failed send leaves the next batch to a plain fetch, which names the cause.
    sent_ = Pq().PQsendQueryParams(session_.Conn(), text.c_str(), 0, nullptr, nullptr, nullptr, nullptr, 1) == 1;
}

pg_result* PgStream::Receive(const ServerLimits& limits, std::string& failure) noexcept
{
    sent_ = false;
    pg_conn* conn = session_.Conn();
    const Answer answer = TakeAnswer(conn, limits);
    if (answer.end != WaitEnd::Answered)
        failure = WaitMessage(answer.end, conn, session_.Server(), limits);
    else if (answer.result && Pq().PQresultStatus(answer.result) != PGRES_TUPLES_OK && ConnectionBroken(conn))
        failure = kLostLead + Message(conn, answer.result);
    return answer.result;
}

void PgStream::StartReader(const Stamp& stamp, const RowBatch& like)
{
    if (!aheadRows_)
        aheadRows_ = std::make_unique<RowBatch>();
    aheadRows_->ResetLike(like);
    aheadStamp_ = stamp;
    aheadCount_ = 0;
    aheadFailure_.clear();
    aheadLost_.clear();
    aheadError_ = nullptr;
    readerLimits_ = session_.Limits();
    session_.SetPending(this);
    try {
        reader_ = std::thread([this] { Read(); });
        reading_ = true;
    } catch (...) {
        Read(); // no thread to be had: the batch is taken in here
        ahead_ = true;
        LoseIfFailed();
    }
}

void PgStream::Read() noexcept
{
    pg_result* r = Receive(readerLimits_, aheadLost_);
    try {
        if (!aheadLost_.empty()) {
            // The owner drops the connection when it takes the batch (LoseIfFailed).
        } else if (!r || Pq().PQresultStatus(r) != PGRES_TUPLES_OK) {
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

void PgStream::LoseIfFailed() noexcept
{
    if (aheadLost_.empty())
        return;
    sent_ = false;
    if (session_.Conn() && session_.Generation() == generation_)
        session_.Drop(aheadLost_);
}

void PgStream::JoinReader() noexcept
{
    if (!reading_)
        return;
    reading_ = false;
    reader_.join();
    ahead_ = true;
    LoseIfFailed();
}

void PgStream::Collect() noexcept
{
    JoinReader();
    if (sent_ && !Alive())
        sent_ = false; // went with the dropped connection
    if (sent_) {
        Pq().PQclear(early_);
        std::string failure;
        early_ = Receive(session_.Limits(), failure);
        if (!failure.empty()) {
            Pq().PQclear(early_);
            early_ = nullptr;
            aheadLost_ = failure;
            LoseIfFailed();
        }
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
    if (!aheadLost_.empty()) {
        done_ = true;
        throw AdsError(aheadLost_, {});
    }
    if (!Alive()) {
        done_ = true;
        throw AdsError(session_.Conn() ? "Lesen fehlgeschlagen: die Verbindung wurde neu aufgebaut" : session_.Failure(),
                       session_.Conn() ? table_ : std::string());
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
    ResultPtr r(early_);
    early_ = nullptr;
    size_t asked = kStreamBatch;
    if (!r) {
        const std::string text = "FETCH FORWARD " + std::to_string(limit) + " FROM " + name_;
        session_.Settle();
        pg_conn* conn = session_.Live();
        try {
            r.reset(session_.Await(Pq().PQsendQueryParams(conn, text.c_str(), 0, nullptr, nullptr, nullptr, nullptr, 1)));
        } catch (...) {
            done_ = true;
            throw;
        }
        asked = limit;
    }
    if (!r || Pq().PQresultStatus(r.get()) != PGRES_TUPLES_OK) {
        done_ = true;
        session_.Fail(table_, "Lesen fehlgeschlagen", r.get());
    }
    const int rows = Pq().PQntuples(r.get());
    PgRows view(r.get(), scratch_);
    for (int i = 0; i < rows; ++i) {
        view.At(i);
        out.Append(view, stamp);
    }
    r.reset();
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
