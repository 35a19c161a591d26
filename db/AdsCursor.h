#pragma once
// Walking a table file in index order with an optional filter, without loading the table: rows
// come in small batches from statements that continue after the last row's key (key, row id), so
// no read transaction stays open between calls and every batch starts from a fresh snapshot. The
// cursor keeps a window of fetched rows (the plain columns, or the columns it was given; the rest is
// read on demand elsewhere) and the position inside it.
// Inside a read transaction of the file (one snapshot) counting reads every visible row into the
// window at once; the walk then runs over that complete window until the transaction ends or the
// file is written, so that counting and walking read each row once. A store that streams (the
// database server) does not count by reading: inside a snapshot a walk from the first row goes
// through the store's stream instead, segment by segment, and falls back to keyset batches after
// any other move.
#include "db/AdsFilter.h"
#include "db/TableStore.h"
#include "db/DbValue.h"

#include <cstdint>
#include <future>
#include <memory>
#include <string>
#include <vector>

namespace gs::ads {

// Rows of column values: the row id, then a value for each field the batch carries (the others
// read as NULL). Values of a row that a statement delivers come in the order of the select list.
class RowBatch {
public:
    // Empties the batch for rows carrying the fields marked in carried (one flag per field: 0 not
    // carried, 1 carried, kCarriedInflated carried and kept inflated as well, kCarriedInflatedLater
    // carried and kept inflated once InflateRows is asked for it).
    void Reset(const std::vector<char>& carried);
    static constexpr char kCarriedInflated = 2;
    static constexpr char kCarriedInflatedLater = 3;
    // True when the rows' kept inflated bytes come from InflateRows, not with each row.
    bool InflatesLater() const { return inflateLater_ && !inflatedFields_.empty(); }
    // Inflates what the rows keep inflated and does not have yet. Touches nothing but this batch,
    // so another thread may run it while nobody else uses the batch. A failure leaves the rest to
    // be inflated where it is read.
    void InflateRows() noexcept;
    size_t Size() const { return rowids_.size(); }
    bool Empty() const { return rowids_.empty(); }
    // From a statement whose columns are the row id and then one per field, NULL where not carried.
    void Append(const sql::Query& st, const Stamp& stamp);
    // A row of a batch with the same carried fields.
    void AppendRow(const RowBatch& other, size_t row);
    // A row from values as they were stored.
    void AppendValues(std::int64_t rowid, const Stamp& stamp, const std::vector<DbValue>& values);
    std::int64_t Rowid(size_t row) const { return rowids_[row]; }
    const Stamp& StampAt(size_t row) const { return stamps_[row]; }
    ValueRef Value(size_t row, int field) const
    {
        const int slot = slots_[static_cast<size_t>(field)];
        ValueRef v;
        if (slot < 0)
            return v;
        const Cell& c = cells_[row * fields_.size() + static_cast<size_t>(slot)];
        v.kind = c.kind;
        switch (c.kind) {
        case StorageKind::Integer: v.i = c.i; break;
        case StorageKind::Real: v.d = c.d; break;
        case StorageKind::Text:
        case StorageKind::Blob: v.s = std::string_view(c.p, c.len); break;
        default: break;
        }
        return v;
    }
    // The inflated bytes (DecompressOrCopy) of a blob field kept inflated, for that row; false when
    // the batch keeps none for it (a row that came another way), then inflate the stored bytes.
    bool Inflated(size_t row, int field, std::string_view& out) const;
    void Swap(RowBatch& other) noexcept;
    // Empties the batch for rows carrying the same fields as other.
    void ResetLike(const RowBatch& other);
    // Moves every row of other (carrying the same fields) to the end of this batch; their text and
    // bytes stay where they are, in blocks this batch takes over. Leaves other empty.
    void Adopt(RowBatch& other);
    // Empties the batch for rows carrying the same fields, keeping the block it was filling for the
    // next rows: a walk that refills one batch again and again allocates no new memory.
    void Recycle();

private:
    // 16 bytes: a year of documents is held in the window at once.
    struct Cell {
        StorageKind kind = StorageKind::Null;
        std::uint32_t len = 0; // SQLite keeps no value beyond 1 GB
        union {
            std::int64_t i;
            double d;
            const char* p; // into a block of the batch
        };
        Cell() : i(0) {}
    };
    void Push(const ValueRef& v);
    Cell InflatedCell(size_t row, int field); // a row's inflated bytes of a field, kept in this batch
    void PushInflated(size_t row); // after the row's cells: its kept inflated bytes
    void ClearRows();              // keeps the carried fields

    std::vector<int> fields_; // the carried fields, by slot
    std::vector<int> slots_;  // per field: its slot, -1 when not carried
    std::vector<Cell> cells_;
    std::vector<int> inflatedFields_;  // kept inflated, in slot order
    std::vector<Cell> inflatedCells_;  // one per row and field kept inflated (Null: none kept)
    bool inflateLater_ = false;
    std::vector<std::int64_t> rowids_;
    std::vector<Stamp> stamps_;
    // Text and bytes of the cells, in blocks that never move: a batch of every row of a year grows
    // without copying what it holds. Blocks grow from 16 KB to 1 MB (a batch of a few rows stays
    // small, a year's rows take few blocks); a value above 128 KB gets a block of its own.
    static constexpr size_t kFirstBlock = 16 << 10, kMaxBlock = 1 << 20, kOwnBlockFrom = kMaxBlock / 8;
    const char* Store(std::string_view bytes);
    static std::uint32_t CellLength(size_t size); // raises for a value the cell cannot hold
    std::vector<std::unique_ptr<char[]>> blocks_;
    char* free_ = nullptr;
    size_t left_ = 0;
    size_t blockSize_ = 0;
};

class StorageWalk;

struct WalkOrder {
    int keyField = -1;       // -1: natural order (row id)
    bool descending = false;
};

class Cursor {
public:
    explicit Cursor(TableStore& file);
    ~Cursor();

    // New order and filter: the position is dropped.
    void Configure(const WalkOrder& order, const Filter& filter);
    const WalkOrder& Order() const { return order_; }

    bool First();
    bool Last();
    // Move one row; false (position unchanged) when there is none.
    bool Next();
    bool Prior();
    // The row with this row id, whether or not the filter passes it.
    bool GotoRow(std::int64_t rowid);
    // Makes a row just written from these values the current one, without reading it back.
    void PlaceRow(std::int64_t rowid, const std::vector<DbValue>& values);
    // First row in walk order at or after key (ascending) / at or before key (descending).
    bool Seek(const DbValue& key);
    // After the current row was deleted: the next row, else the previous one.
    bool AfterDelete();
    // Rows visible through the filter; inside a read transaction also reads them into the window
    // (the position stays on its row).
    std::int64_t Count();
    // Inside a read transaction of a store that counts cheaply: the count started beside the reads
    // that follow, in the same snapshot; null where that cannot be had (then Count).
    std::unique_ptr<PendingCount> CountBeside();
    // Inside a read transaction: reads every visible row into the window at once (the position stays
    // on its row); walks and seeks then run over the window while the transaction lasts.
    void ReadAll();
    void Clear();
    // The fields that come with every row (plain or blob), in one statement; the others are not
    // fetched (NULL in the window) and are read on demand elsewhere. Empty: every plain field, no
    // blob. The key field of the order always comes. Drops the position, like Configure.
    void SetRowColumns(const std::vector<int>& fields);
    bool Carries(int field) const { return carried_[static_cast<size_t>(field)] != 0; }
    // Blob columns among the row columns whose inflated bytes the rows keep as well, where the store
    // is remote: the stream's reader thread inflates them beside the caller's work. Drops the
    // position, like SetRowColumns.
    void SetInflatedColumns(const std::vector<int>& fields);
    // The current row's inflated bytes of such a column; false when not kept.
    bool Inflated(int field, std::string_view& out) const;
    // True while the window holds every visible row from the file's current snapshot: nothing
    // read from it can have changed.
    bool CompleteWindow() const
    {
        return complete_ && completeTransaction_ == file_.ReadTransactionId() && windowWrites_ == file_.Writes();
    }

    // Lets a walk forward from First inside a read transaction of a table file visit the rows in
    // the order the file stores them (StorageWalk) where that reads fewer pages than the walk on the
    // index: each row then tells its place in the index walk (WalkPosition). Any other move goes
    // back to index order from the current row. Off by default; kept across Configure.
    // On a database server, inside the read scope's snapshot, a walk on a DATE key asks for the
    // selected rows without an order, so that the server reads them the cheapest way it knows (a
    // bitmap heap scan or one scan of the table instead of fetching row after row along the index);
    // each row's position then follows from its date and row id (ServerOrderPosition).
    void AllowStorageOrder(bool allowed);
    // True while the current walk visits the rows in storage order (or in the server's own order).
    bool InStorageOrder() const { return inStorage_; }
    // The current row's place in the walk on the index from First (0 for the first row): rows sorted
    // by it come in index order. In storage order the numbers may leave gaps; otherwise they count
    // the moves from First.
    // Raises AdsError for a row visited in storage order whose key is no date in its stored form.
    std::int64_t WalkPosition() const;
    // During a walk in storage order on a table file planned on the index: the number of rows the
    // plan found, which the walk visits at most (the rest of the filter may leave some out); -1
    // where no such bound is known.
    std::int64_t RowsAtMost() const;
    // The benchmark that measures the server's walk on the index beside its own order clears it.
    static inline bool serverOrderAllowed = true;

    bool HasRow() const { return has_; }
    std::int64_t Rowid() const { return window_.Rowid(pos_); }
    ValueRef Value(int field) const { return window_.Value(pos_, field); }
    const Stamp& RowStamp() const { return window_.StampAt(pos_); }
    // Re-reads the current row; false when it no longer exists (position kept).
    bool ReloadCurrent();
    // Drops fetched rows other than the current one (after writes).
    void DropAhead();

private:
    enum class Seg { All, Null, Values };
    // Statements: a segment from its beginning, or continuing after a row. Rows of the value
    // segment continue in two steps, the rest of the row's key (by row id) and then the keys
    // beyond it, so that SQLite bounds both exactly on the index.
    enum class Query { AllFirst, AllFrom, NullFirst, NullFrom, ValuesFirst, ValuesTail, ValuesAfter, Count };
    struct Pos {
        Seg seg = Seg::All;
        DbValue key;
        std::int64_t rowid = 0;
    };
    std::vector<Seg> Segments(bool forward) const;
    Pos CurrentPos() const;
    // Appends up to limit rows in walk direction after start (or from the beginning).
    void Fetch(bool forward, const Pos* start, size_t limit, RowBatch& out);
    sql::Query& Statement(Query query, bool ascending);
    void Run(Query query, bool ascending, const Pos* start, size_t limit, const Stamp& stamp, RowBatch& out);
    const FilterSql& FilterFor(Query query) const;
    void ReverseInto(const RowBatch& fetched, RowBatch& out, const RowBatch* tailFrom, size_t tailRow);
    bool StaleWindow() const { return windowWrites_ != file_.Writes(); }
    size_t GrowBatch();
    sql::Query& RowStatement();
    void BuildSelectList();
    // A forward walk from the first row inside a snapshot: the store's stream when it has one, one
    // segment after the other (empty keys and keys apart, each in the order of the key's index).
    bool StartStream();
    bool OpenSegmentStream(Seg seg);
    // Appends the stream's next rows, going on to the next segment when one ends.
    void FetchStream(size_t limit, RowBatch& out);
    bool StreamValid() const
    {
        return stream_ && streamTransaction_ == file_.ReadTransactionId() && streamWrites_ == file_.Writes();
    }

    // The storage walk's plan for this snapshot, made when first needed; null when it is not allowed
    // or there is no snapshot.
    StorageWalk* StoragePlan();
    bool NextInStorage();
    void LeaveStorageOrder();
    // The walk in the server's own order: allowed, a DATE key, a snapshot, and every row id of the
    // table within the positions' range (asked once per snapshot).
    bool ServerOrderChosen();
    bool NextInServerOrder();
    [[noreturn]] void NoPosition() const;

    TableStore& file_;
    WalkOrder order_;
    Filter filterTree_;
    bool storageAllowed_ = false;
    bool inStorage_ = false;
    bool serverOrder_ = false; // inStorage_ through the server's stream in its own order
    std::uint64_t rowidsTransaction_ = 0;
    std::uint64_t rowidsWrites_ = 0;
    bool rowidsFit_ = false;
    std::unique_ptr<StorageWalk> storage_;
    std::uint64_t storageTransaction_ = 0;
    std::uint64_t storageWrites_ = 0;
    std::vector<std::int64_t> positions_; // per window row, in storage order
    RowBatch spare_;                      // the storage walk's next batch, filled while window_ is kept
    std::vector<std::int64_t> sparePositions_;
    // The next batch's blobs being inflated on a second core while the window is walked.
    std::future<void> inflatingAhead_;
    void ReadAhead();
    void AwaitAhead() noexcept;
    std::int64_t ordinal_ = 0;
    FilterSql filter_;       // for all rows
    FilterSql valueFilter_;  // for rows whose key is not empty
    FilterSql countFilter_;  // for counting (any index may serve)
    std::vector<std::unique_ptr<sql::Query>> statements_;     // by (query, ascending)
    std::vector<int> inflatedColumns_;
    std::vector<int> rowColumns_;                             // as given to SetRowColumns
    std::vector<char> carried_;                               // per field: fetched with the row
    std::string selectList_;                                  // row id, then each field or NULL
    std::unique_ptr<sql::Query> rowStatement_;                // one row by row id, with the row blobs
    RowBatch window_;
    std::int64_t ReadAllInto(std::uint64_t transaction);
    std::string CountSql() const;
    std::vector<int> KnownFields(const std::vector<int>& fields) const;
    bool SeekInWindow(const DbValue& key);
    bool complete_ = false;
    std::uint64_t completeTransaction_ = 0;
    size_t pos_ = 0;
    bool has_ = false;
    std::uint64_t windowWrites_ = 0;
    size_t batch_ = 0;
    std::unique_ptr<RowStream> stream_; // continues after the window's last row
    std::uint64_t streamTransaction_ = 0;
    std::uint64_t streamWrites_ = 0;
    size_t streamSeg_ = 0; // index into Segments(true)
};

} // namespace gs::ads
