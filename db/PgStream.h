#pragma once
// The rows of one walk from the database server, streamed through a server-side cursor.
#include "db/PgSession.h"
#include "db/TableStore.h"

#include <exception>
#include <memory>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace gs::ads {

// A server-side cursor (DECLARE ... NO SCROLL CURSOR inside the read scope's transaction) whose
// batches come with FETCH FORWARD n, in binary. From the third batch on the stream reads ahead: a
// reader thread takes in the batch asked for, at once asks for the one after it and decodes the
// rows, while the caller works on the rows before. So the server reads one batch, the reader
// decodes the next and the caller works on a third, each on its own processor; at most three
// batches are held. The connection serves one thread at a time: any other statement first waits
// for the reader and takes in the answer on its way (the session's Settle).
class PgStream final : public RowStream, public PgPending {
public:
    // whole: the caller reads every row; the server plans the cursor for all rows (a cursor is
    // otherwise planned for its first tenth, which favours a walk along an index or a scan of the
    // whole table over a bitmap heap scan).
    PgStream(PgSession& session, std::string_view sqlText, const std::vector<DbValue>& params, const std::string& table,
             bool whole);
    ~PgStream() override;
    PgStream(const PgStream&) = delete;
    PgStream& operator=(const PgStream&) = delete;
    void Fetch(size_t limit, const Stamp& stamp, RowBatch& out) override;
    // Waits for the reader and takes in the answer on its way (called by the session before
    // another statement).
    void Collect() noexcept override;

private:
    bool Alive() const; // the connection the cursor lives on
    void Send();
    // Takes the answer on its way; failure gets the wait's message when it ended otherwise.
    pg_result* Receive(const ServerLimits& limits, std::string& failure) noexcept;
    void LoseIfFailed() noexcept; // drops the connection after a wait the reader gave up
    void StartReader(const Stamp& stamp, const RowBatch& like);
    void JoinReader() noexcept;
    void Read() noexcept; // on the reader thread

    PgSession& session_;
    std::string table_;
    std::string name_;
    std::uint64_t transaction_ = 0; // the snapshot the cursor lives in
    std::uint64_t generation_ = 0;  // the connection it lives on
    bool done_ = false;
    int fetches_ = 0;
    std::vector<std::string> scratch_;
    bool sent_ = false;           // a FETCH is on its way on the connection
    pg_result* early_ = nullptr;  // an answer taken in for another statement, not yet decoded
    // The batch read ahead: filled by the reader thread while reading_, handed out after.
    std::thread reader_;
    bool reading_ = false;
    bool ahead_ = false;
    std::unique_ptr<RowBatch> aheadRows_;
    Stamp aheadStamp_;
    int aheadCount_ = 0;
    std::string aheadFailure_; // the server's message when the batch failed
    std::string aheadLost_;    // the wait's message when the server went silent, the wait was
                               // cancelled or the connection broke
    ServerLimits readerLimits_;
    std::exception_ptr aheadError_;
    std::vector<std::string> readerScratch_;
};

} // namespace gs::ads
