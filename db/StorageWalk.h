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
// Where the key is a DATE, the positions need no plan: a row's date and row id in one number
// (DatePosition) order the rows as the index does. Without the key's SQL index, and where the
// selected rows lie spread over most of the table, the walk is then one scan of the table in row-id
// order with the whole filter, each page read once and no row looked up.
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
    // The selected rows found on the index are read by one scan of the table where they are at
    // least one in kScanShare of the table's rows and lie spread over it: below that the lookups by
    // row id are quicker, at about one in twelve both take the same time (the crossover in
    // docs/storage-order.md).
    static constexpr std::int64_t kScanShare = 8;
    static inline std::int64_t scanShare = kScanShare; // the crossover benchmark sets it

    // Row ids in [0, 2^kRowidBits) go into a date position beside the day.
    static constexpr int kRowidBits = 41;
    // A number that orders rows as the walk on a DATE key's index does: empty dates first, then
    // the dates, equal dates by row id; going down the reverse. False where the key is no date in
    // its stored form (YYYY-MM-DD) or the row id lies outside the range.
    static bool DatePosition(const ValueRef& key, std::int64_t rowid, bool descending, std::int64_t& position);
    // True when every row id of the table lies in the range of DatePosition; rows gives the number
    // of row ids between the smallest and the largest.
    static bool RowidsForPositions(TableStore& store, std::int64_t* rows = nullptr);
    // The position the walk in storage order gives a row whose key has none: WalkPosition raises.
    static constexpr std::int64_t kNoPosition = INT64_MIN;

    // The plan for a walk in this order with this filter, reading the columns of selectList (row id
    // first). Chosen() is false when the walk on the index is the better one.
    StorageWalk(TableStore& file, const WalkOrder& order, const Filter& filter, const std::string& selectList);
    ~StorageWalk();

    bool Chosen() const { return chosen_; }
    // True when the rows found are exactly the rows the filter passes: Count() is their number.
    bool ExactCount() const { return exact_; }
    std::int64_t Count() const { return count_; }

    // Starts the walk again at the first stored row.
    void Restart();
    // Appends the next rows (up to limit) in storage order to out, stamped with stamp, and each
    // row's position in the index walk to positions. Nothing more when the walk is done.
    void Fetch(size_t limit, const Stamp& stamp, RowBatch& out, std::vector<std::int64_t>& positions);
    bool Done() const { return scan_ ? scanDone_ : next_ >= plan_.size(); }
    // True when the rows come from one scan of the table (positions from their dates).
    bool Scans() const { return scan_; }

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
    sql::Query& Scan();
    void FetchScan(size_t limit, const Stamp& stamp, RowBatch& out, std::vector<std::int64_t>& positions);

    TableStore& file_;
    WalkOrder order_;
    FilterSql filter_;
    std::string selectList_;
    bool chosen_ = true;
    bool exact_ = false;
    std::vector<Entry> plan_; // by row id
    std::int64_t count_ = 0;
    bool scan_ = false;
    bool scanDone_ = false;
    std::int64_t scanAfter_ = -1; // the last row id the scan gave
    size_t next_ = 0;
    std::int64_t walkPassed_ = 0;
    std::unique_ptr<sql::Query> lookup_, range_, scanStatement_;
    std::shared_ptr<Tally> tally_;
};

} // namespace gs::ads
