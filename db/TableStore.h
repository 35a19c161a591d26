#pragma once
// The storage of one host table as the table objects and their cursors use it: its fields and
// index tags, prepared statements in the store's SQL, row writes, snapshots for several reads and
// the bookkeeping that tells a cached row from a stale one. Two stores implement it: one SQLite
// file per table (TableFile, the default and the local server kind) and a table of a PostgreSQL
// database (PgTable, the remote server kind with a connection string). The SQL the layer writes is
// the common part of both dialects: double-quoted names, "?" parameters, LIMIT, row comparisons
// with a row id column; where they differ the store says so (IndexTermHints, CountByReading).
// Every failure raises AdsError naming the table.
#include "db/AdsTypes.h"
#include "db/SqlQuery.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace gs::ads {

struct FieldInfo {
    std::string name;    // as stored
    TAdsFieldType type = TAdsFieldType::Char;
    int size = 0;        // characters of a CHAR(n) column; 0 = unlimited
    bool blob = false;   // MEMO or BINARY: read only on demand
    bool indexed = false; // an SQL index leads with this column
    bool wide = false;    // a server's 64-bit column behind INTEGER or AUTOINC
};

struct IndexTag {
    std::string tag;
    std::string expression;
    int options = 0;
    int field = -1; // the field the expression names; -1 when it names none
};

// What a row's values were read against: other connections' commits and this handle's writes.
struct Stamp {
    std::int64_t dataVersion = -1;
    std::uint64_t writes = 0;
    friend bool operator==(const Stamp& a, const Stamp& b)
    {
        return a.dataVersion == b.dataVersion && a.writes == b.writes;
    }
};

class RowBatch;

// The rows of one query in order, fetched in batches from a server-side cursor: the walk goes on
// where the last batch stopped, without a new query. Only inside a read scope's snapshot.
class RowStream {
public:
    virtual ~RowStream() = default;
    // Appends up to limit rows (row id, then a value for each field the batch carries, by the
    // query's select list) to out, stamped with stamp.
    virtual void Fetch(size_t limit, const Stamp& stamp, RowBatch& out) = 0;
};

// A count running beside the caller's other reads.
class PendingCount {
public:
    virtual ~PendingCount() = default;
    // True once the count is in; never waits.
    virtual bool Ready() = 0;
    // Waits for the count; raises AdsError naming the table when it failed.
    virtual std::int64_t Wait() = 0;
};

// Checks the definition of a new table (names, lengths, index tags on existing plain fields);
// raises AdsError naming fileName.
void CheckNewTable(const std::string& fileName, const std::vector<AdsFieldDef>& fields,
                   const std::vector<AdsIndexDef>& indexes);

class TableStore {
public:
    virtual ~TableStore() = default;

    // The host table's file name ("Auftraege.ADT"), which errors name.
    virtual const std::string& FileName() const = 0;
    // Tells two openings of one table apart from openings of others (the file's path, the
    // server's table).
    virtual std::string Identity() const = 0;
    virtual const std::string& QuotedTable() const = 0;
    virtual const std::vector<FieldInfo>& Fields() const = 0;
    virtual int FindField(std::string_view name) const = 0; // case-insensitive; -1 when absent
    virtual const std::vector<IndexTag>& Tags() const = 0;
    // The tag of that name among Tags(), letter case ignored; null when there is none.
    const IndexTag* FindTag(std::string_view tag) const;
    // "rowid, "A", NULL, "C" ...": the row id, then every field, blobs as NULL.
    virtual const std::string& SelectList() const = 0;
    // The name under which the row id is selected.
    virtual const std::string& RowidName() const = 0;

    // True when a filter must mark the columns the engine must not take as index terms (SQLite's
    // unary "+"); an engine that plans by statistics gets plain columns.
    virtual bool IndexTermHints() const = 0;
    // True when counting inside a snapshot should read the rows into the cursor's window (a walk
    // over them follows); false when the engine counts cheaply and rows are better streamed.
    virtual bool CountByReading() const = 0;
    // True when every statement is a round trip to a database server: a small table read by key
    // many times is then better read at once.
    virtual bool Remote() const { return false; }
    // True when no value of the field can fail to convert as read asks: the store keeps values of
    // the column's own type only (a server's typed columns) and that type always converts so. Table
    // files keep whatever a writer stored, so there only reading the value tells.
    virtual bool ReadsWithoutFail(int field, FieldRead read) const { return false; }

    // A stream over the rows of a SELECT with "?" parameters in the order its ORDER BY gives (NULLS
    // FIRST/LAST spelled out), or null when the store does not stream (then walks fetch keyset
    // batches). Valid while the read scope's snapshot lasts and nothing is written. whole: the
    // caller reads every row, so the store plans for reading all of them, not for the first ones
    // soonest.
    virtual std::unique_ptr<RowStream> OpenStream(const std::string& sqlText, const std::vector<DbValue>& params,
                                                  bool whole)
    {
        return nullptr;
    }

    // Starts "SELECT count(*) ..." (with "?" parameters) in the read scope's snapshot beside the reads
    // that follow; null when the store cannot (the caller then counts at once).
    virtual std::unique_ptr<PendingCount> CountBeside(const std::string& sqlText, const std::vector<DbValue>& params)
    {
        return nullptr;
    }

    // A new prepared statement, owned by the caller; Statement caches one by its text.
    virtual std::unique_ptr<sql::Query> Prepare(const std::string& sqlText) = 0;
    virtual sql::Query& Statement(const std::string& sqlText) = 0;
    // The statements of the row operations, prepared once: insert of every field; the select list,
    // one blob, or the deletion of the row with row id ?1; the given blob fields of that row.
    virtual sql::Query& InsertStatement() = 0;
    virtual sql::Query& RowStatement() = 0;
    virtual sql::Query& BlobStatement(int field) = 0;
    virtual sql::Query& BlobsStatement(const std::vector<int>& fields) = 0;
    virtual sql::Query& DeleteStatement() = 0;

    virtual std::uint64_t Writes() const = 0;
    // The stamp of rows read now; a row stamped earlier is current when the stamps are equal.
    virtual Stamp CurrentStamp() = 0;
    // The stamp of a row this handle has just written.
    virtual Stamp LastStamp() const = 0;

    // A snapshot around several reads; scopes nest; a write ends it first.
    virtual void BeginReadScope() = 0;
    virtual void EndReadScope() noexcept = 0;
    // Identifies the snapshot a read scope holds: 0 when none runs.
    virtual std::uint64_t ReadTransactionId() const = 0;
    virtual bool ReadOnly() const = 0;

    // One row change (inside a connection transaction: part of it).
    virtual void BeginWrite() = 0;
    virtual void CommitWrite() = 0;
    virtual void AbortWrite() noexcept = 0;

    // Next AUTOINC value of a field and its bookkeeping (inside a write, StoreAutoInc before the
    // row is written: a failed insert then only leaves a gap).
    virtual std::int64_t NextAutoInc(int field) = 0;
    virtual void StoreAutoInc(int field, std::int64_t value) = 0;

    virtual void AddIndex(const AdsIndexDef& def) = 0;
    virtual void BeginBulkLoad() = 0;
    virtual void EndBulkLoad() = 0;

    class WriteScope {
    public:
        explicit WriteScope(TableStore& store) : store_(store) { store_.BeginWrite(); }
        ~WriteScope()
        {
            if (!done_)
                store_.AbortWrite();
        }
        void Commit()
        {
            store_.CommitWrite();
            done_ = true;
        }
        WriteScope(const WriteScope&) = delete;
        WriteScope& operator=(const WriteScope&) = delete;

    private:
        TableStore& store_;
        bool done_ = false;
    };
};

} // namespace gs::ads
