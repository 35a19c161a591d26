#pragma once
// A count on the session's second connection, in the snapshot of the session's read scope: the
// server counts while the first connection streams the rows of the same walk.
#include "db/PgSession.h"
#include "db/TableStore.h"

#include <cstdint>
#include <string>

namespace gs::ads {

class PgSideCount final : public PendingCount {
public:
    // The count's statement is on its way on session's count connection.
    PgSideCount(PgSession& session, std::string table) : session_(session), table_(std::move(table)) {}
    // A count not waited for is cancelled: the second connection is free at once.
    ~PgSideCount() override;
    PgSideCount(const PgSideCount&) = delete;
    PgSideCount& operator=(const PgSideCount&) = delete;

    bool Ready() override;
    std::int64_t Wait() override;

private:
    void Finish(bool commit) noexcept;

    PgSession& session_;
    std::string table_;
    bool done_ = false;
    std::int64_t count_ = 0;
    std::string failure_;
};

} // namespace gs::ads
