#pragma once
// A walk over the rows a filter passes in the order the table file stores them (row ids ascending),
// each row with its position in the walk on the order's index: every page of the table is read at
// most once, front to back, however the rows of the index's keys lie in the file. The positions
// come from the row ids of the rows in question, found first: on the key's SQL index (from the
// filter's conditions on the key alone, without reading the table) or, where the key has none, by
// one scan of the table with the whole filter, whose keys are then ordered in memory as the index
// would order them (empty keys apart, equal keys by row id). Nothing is sorted by SQLite, so no
// temporary file is written. Only inside a read transaction of a table file, which the positions
// describe; the rows themselves are read with the filter again, so a row that no longer passes it
// is left out.
#include "db/AdsCursor.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace gs::ads {

class StorageWalk {
public:
    // Below this many rows found on the key's index the walk on the index is as quick (see the
    // crossover in docs/storage-order.md). The benchmark that measures the crossover sets it to 0.
    static constexpr std::int64_t kMinRows = 256;
    static inline std::int64_t minRows = kMinRows;

    // The plan for a walk in this order with this filter, reading the columns of selectList (row id
    // first). Chosen() is false when the walk on the index is the better one.
    StorageWalk(TableStore& file, const WalkOrder& order, const Filter& filter, const std::string& selectList);
    ~StorageWalk();

    bool Chosen() const { return chosen_; }
    // True when the rows found are exactly the rows the filter passes: Count() is their number.
    bool ExactCount() const { return exact_; }
    std::int64_t Count() const { return static_cast<std::int64_t>(plan_.size()); }

    // Starts the walk again at the first stored row.
    void Restart();
    // Appends the next rows (up to limit) in storage order to out, stamped with stamp, and each
    // row's position in the index walk to positions. Nothing more when the walk is done.
    void Fetch(size_t limit, const Stamp& stamp, RowBatch& out, std::vector<std::int64_t>& positions);
    bool Done() const { return next_ >= plan_.size(); }

    // The number of rows the filter passes, known once a walk has gone through every row: from a
    // count started beside the walk that follows, ready when the walk is done, or counted on the
    // index when waited for before.
    std::unique_ptr<PendingCount> CountAlongside(std::string countSql, std::vector<DbValue> countParams);

private:
    struct Entry {
        std::int64_t rowid;
        std::int64_t position;
    };
    struct Tally {
        bool done = false;
        std::int64_t passed = 0;
    };
    void PlanOnIndex(const Filter& keyPart);
    void PlanByScan(const FilterSql& filter);
    sql::Query& Lookup();
    sql::Query& Range();

    TableStore& file_;
    WalkOrder order_;
    FilterSql filter_;
    std::string selectList_;
    bool chosen_ = true;
    bool exact_ = false;
    std::vector<Entry> plan_; // by row id
    size_t next_ = 0;
    std::int64_t walkPassed_ = 0;
    std::unique_ptr<sql::Query> lookup_, range_;
    std::shared_ptr<Tally> tally_;
};

} // namespace gs::ads
