#pragma once
// A table of a connection, opened by file name ("Auftraege.ADT"), walked in the order of the
// selected index (none: natural row order) and, with Filtered, through its filter. Navigation and
// edit states follow the host's client:
// - Open and First go to the first visible row (Bof true); on an empty set Eof and Bof are both true.
// - Next past the last row sets Eof and stays on the last row; Prior before the first sets Bof.
// - Last goes to the last row with Eof true.
// - Changing index, filter or Filtered goes to the first row.
// - Moving, seeking, refreshing and changing the order post a pending edit (or cancel it when
//   nothing was changed); closing discards it.
// - After Post of an insert the table is on the new row; Delete moves to the next row, or the
//   previous one at the end.
#include "db/AdsField.h"
#include "db/AdsFilter.h"
#include "db/AdsTypes.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace gs {

class TAdsConnection;
namespace ads {
class PendingCount;
class TableStore;
class Cursor;
} // namespace ads

class TAdsTable {
public:
    TAdsTable();
    explicit TAdsTable(TAdsConnection* connection, std::string tableName = {});
    ~TAdsTable();
    TAdsTable(const TAdsTable&) = delete;
    TAdsTable& operator=(const TAdsTable&) = delete;

    void SetAdsConnection(TAdsConnection* connection);
    TAdsConnection* AdsConnection() const { return connection_; }
    void SetTableName(const std::string& name);
    const std::string& TableName() const { return tableName_; }
    // Read-only: the table's file is opened without any write of this process (the host's tables,
    // which the module only reads): its journal mode and schema stay as they are, a missing SQL index
    // of an index tag is walked around (SQLite sorts), no side file is left behind, and Post and
    // Delete raise "Tabelle ist schreibgeschützt". Takes effect with the next opening.
    void SetReadOnly(bool readOnly) { readOnly_ = readOnly; }
    bool ReadOnly() const { return readOnly_; }

    void SetActive(bool active);
    bool Active() const { return file_ != nullptr; }
    // Identifies this opening of the table: unique in the process, 0 while closed. Field references
    // obtained while it stays the same remain valid.
    std::uint64_t OpenId() const { return openId_; }
    void Open() { SetActive(true); }
    void Close() { SetActive(false); }

    // Index tag by name (without regard to case); empty: natural row order.
    void SetIndexName(const std::string& tag);
    const std::string& IndexName() const { return indexName_; }
    void SetFilter(const std::string& filter);
    const std::string& Filter() const { return filter_; }
    void SetFiltered(bool on);
    bool Filtered() const { return filtered_; }

    // A new order, filter or set of row columns goes to the first row when the table is next used
    // (a read of its position, a field or a move), so that setting several of them reads the table
    // once, not once for each.
    void First();
    void Last();
    void Next();
    void Prior();
    bool Eof();
    bool Bof();
    bool IsEmpty();
    // Rows visible through the filter. Inside a ReadScope the rows are read once into memory, in
    // walk order, and the walk that follows runs over them: counting and walking read the table
    // once, and both see the same rows.
    int RecordCount();

    // RecordCount for a walk that follows at once: where the table lives on a database server and a
    // ReadScope holds its snapshot, the server counts on a second connection in that snapshot while
    // the walk streams its rows; elsewhere the count is taken here, as RecordCount takes it.
    class RecordCounting {
    public:
        RecordCounting(RecordCounting&&) noexcept;
        RecordCounting& operator=(RecordCounting&&) noexcept;
        ~RecordCounting(); // a count not waited for is cancelled
        // True once the count is in; never waits.
        bool Ready();
        // Waits for the count; raises what the count raised.
        int Count();

    private:
        friend class TAdsTable;
        RecordCounting();
        int count_ = -1;
        std::unique_ptr<ads::PendingCount> pending_;
    };
    RecordCounting StartRecordCount();

    Bookmark GetBookmark();
    void GotoBookmark(Bookmark bookmark);
    bool BookmarkValid(Bookmark bookmark);

    int FieldCount() const { return static_cast<int>(fields_.size()); }
    Field& Fields(int index);
    // Raises AdsError "Spalte nicht gefunden: NAME (Tabelle FILE)" for a column the table lacks.
    Field& FieldByName(std::string_view name);
    Field* FindField(std::string_view name);

    TDataSetState State() const { return state_; }
    bool Modified() const { return modified_; }
    void Edit();   // on an empty table: Insert
    void Insert();
    void Append();
    void Post();   // in browse state: nothing
    void Cancel();
    void Delete();

    // Posts a pending edit, then re-reads the current row from storage (skipped when nothing can
    // have changed since it was read).
    void RefreshRecord();

    // Several reads of the table (refresh, columns, blobs, a whole count and walk) from one snapshot
    // of its file: the file's lock is taken once for all of them. Other programs' commits stay
    // invisible while it lasts, so keep it as long as the reads must agree (a statistics run keeps
    // one from its count to its last row) and no longer; a write ends it early. In WAL mode it blocks
    // no writer; in a rollback-journal file a writer waits for its end.
    class ReadScope {
    public:
        explicit ReadScope(TAdsTable& table);
        ~ReadScope();
        ReadScope(const ReadScope&) = delete;
        ReadScope& operator=(const ReadScope&) = delete;

    private:
        std::shared_ptr<ads::TableStore> file_;
    };

    // Reads these blob columns of the current row with one statement; the fields then answer from
    // it until the row changes. Null entries and fields of other tables are skipped.
    void PrefetchBlobs(const std::vector<Field*>& fields);
    // The columns that come with every row the table reads, plain or blob, in one statement; every
    // other column is read on demand, with a statement of its own. For walks that read the same
    // columns of every row: each row's pages are read once, and only what is needed is kept. By
    // default every plain column comes and blobs are read on demand. Goes to the first row, like a
    // new filter. Null entries and fields of other tables are ignored; an empty list restores the
    // default. Holds for this opening.
    void SetRowColumns(const std::vector<Field*>& fields);
    // Blob columns among the row columns read through ReadBlobField for every row: on a database
    // server the rows keep their inflated bytes too, inflated beside the caller's work while the
    // rows stream in. Elsewhere nothing changes. Goes to the first row, like SetRowColumns.
    void SetInflatedColumns(const std::vector<Field*>& fields);
    // The inflated bytes of such a column in the current row, as ReadBlobField would give them;
    // false when the row keeps none (it came another way, or the field is being edited).
    bool InflatedValue(int index, std::string& target);
    // Lets a walk forward from First inside a ReadScope visit the rows in the order the table file
    // stores them, where that reads fewer pages than the walk on the index (a selection spread over
    // a large file, or an index tag whose SQL index is missing): every page is then read at most
    // once, front to back, and nothing is sorted into temporary files. WalkPosition gives each row's
    // place in the walk on the index, so that the caller puts what it gathered into index order
    // afterwards. Any other move returns to index order from the current row. Off by default; holds
    // across openings. Goes to the first row, like a new filter.
    void SetStorageOrderWalk(bool allowed);
    bool StorageOrderWalk() const { return storageOrder_; }
    // True while the current walk visits the rows in storage order.
    bool InStorageOrder() const;
    // The current row's place in the walk on the index from First (0 for its first row): rows sorted
    // by it come in index order, also when they were visited in storage order (the numbers may then
    // leave gaps).
    long long WalkPosition() const;
    // While walking in storage order from First: at most this many rows come (the rows the plan
    // found on the index); -1 where that is not known. Lets a caller make room for them once.
    long long WalkRowsAtMost() const;
    // Inside a ReadScope: reads every row the filter passes (with the row columns) at once; seeks and
    // walks then run over them in memory until the scope ends or the table is written. For a small
    // table read by key many times where every statement is a round trip (Remote). Outside a scope
    // it reads nothing.
    void ReadAllRows();
    // True when the table lives on a database server.
    bool Remote() const;
    // See Field::ReadsWithoutFail.
    bool ReadsWithoutFail(int index, FieldRead read) const;

    // Posts a pending edit, then seeks key on the current index: exact finds an equal key; otherwise
    // the first row at or after it in index order. True when a row with that key was found.
    bool SeekKey(std::string_view key, bool exact = true);

    // Fast filling of a new, empty table that no other program has opened yet: no rollback journal
    // and no syncs until EndBulkLoad, which syncs the file and returns it to its normal journal; the
    // file is laid out in 16 KB pages, which the host's large order rows fill better.
    // Wrap the rows in one transaction of the connection. A failure before EndBulkLoad leaves a
    // file that must be deleted. Raises when the table is not empty, a transaction runs or another
    // connection uses the file.
    void BeginBulkLoad();
    void EndBulkLoad();

    bool TableExists() const;
    void CreateTable(const std::vector<AdsFieldDef>& fields, const std::vector<AdsIndexDef>& indexes = {},
                     TAdsCharType charType = TAdsCharType::ANSI);
    void AddIndex(const std::string& tag, const std::string& expression, int options = 0);
    void DeleteTable();
    std::vector<AdsIndexDef> IndexDefs() const;

private:
    friend class TAdsConnection;
    friend class Field;
    ValueRef FieldValue(int index);
    void SetFieldValue(int index, DbValue value);
    [[noreturn]] void Fail(const std::string& text, const std::string& column = {}) const;
    const std::string& DisplayName() const { return tableName_; }
    void CloseNoThrow() noexcept;
    void RequireActive() const;
    void CheckBrowseMode();
    void ApplyOrderAndFilter(const std::string& indexName, const std::string& filter, bool filtered);
    void PositionChanged() { ++blobEpoch_; }
    // The indexes of those fields that belong to this table.
    std::vector<int> OwnFieldIndexes(const std::vector<Field*>& fields) const;
    // Goes to the first row when a new order, filter or set of row columns left that for later.
    void SettlePosition()
    {
        if (firstPending_)
            First();
    }
    ValueRef BlobValue(int index);
    DbValue KeyFromText(std::string_view key, int field) const;
    void ClearEditBuffer();
    void PostEdit();
    void PostInsert();

    TAdsConnection* connection_ = nullptr;
    std::string tableName_;
    std::string indexName_;
    std::string filter_;
    bool filtered_ = false;
    bool readOnly_ = false;
    bool storageOrder_ = false;

    std::shared_ptr<ads::TableStore> file_;
    std::uint64_t openId_ = 0;
    std::unique_ptr<ads::Cursor> cursor_;
    std::vector<std::unique_ptr<Field>> fields_;
    bool eof_ = true;
    bool bof_ = true;
    bool firstPending_ = false;

    TDataSetState state_ = TDataSetState::Inactive;
    bool modified_ = false;
    std::vector<DbValue> editValues_;
    std::vector<char> editChanged_;
    bool savedEof_ = false, savedBof_ = false;

    struct BlobSlot {
        std::uint64_t epoch = 0;
        DbValue value;
    };
    std::vector<BlobSlot> blobs_;
    std::uint64_t blobEpoch_ = 1;
    std::vector<int> prefetch_;
};

} // namespace gs
