#pragma once
// One table file on disk: an SQLite database "NAME.ADT" holding the data table NAME, the index
// tags (ads_index) and the AUTOINC high-water marks (ads_autoinc). All table objects of one
// connection that open the same file share one TableFile and its SQLite handle.
#include "db/AdsTypes.h"
#include "db/DbValue.h"
#include "db/SqliteStatement.h"
#include "db/TableStore.h"

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

struct sqlite3;

namespace gs::ads {

// Declared SQL type -> field type (tolerant of types written by other tools).
TAdsFieldType ParseSqlType(std::string_view declared, int& size);

class TableFile final : public TableStore {
public:
    // Opens an existing table file; raises AdsError when it is no table file. A read-only opening
    // never writes the file or creates a side file: no journal mode switch, no SQL index, no -wal or
    // -shm file (see OpenReadOnly in the .cpp for how a WAL file is read then); writes raise.
    static std::shared_ptr<TableFile> Open(const std::filesystem::path& file, bool readOnly = false);
    // Creates a new table file with the fields and index tags; raises AdsError (and leaves no file).
    static void Create(const std::filesystem::path& file, const std::vector<AdsFieldDef>& fields,
                       const std::vector<AdsIndexDef>& indexes);
    ~TableFile() override;
    TableFile(const TableFile&) = delete;
    TableFile& operator=(const TableFile&) = delete;

    sqlite3* Db() const { return db_; }
    const std::string& FileName() const override { return fileName_; }
    const std::filesystem::path& Path() const { return path_; }
    const std::string& QuotedTable() const override { return quotedTable_; }
    const std::vector<FieldInfo>& Fields() const override { return fields_; }
    int FindField(std::string_view name) const override;
    const std::vector<IndexTag>& Tags() const override { return tags_; }
    // "rowid, "A", NULL, "C" ...": the row id, then every field, blobs as NULL.
    const std::string& SelectList() const override { return selectList_; }
    // The name under which the row id is selected ("rowid" unless a field shadows it).
    const std::string& RowidName() const override { return rowidName_; }

    // Prepared statements, cached by their text; always reset after use.
    sql::Statement& Statement(const std::string& sqlText) override;
    std::unique_ptr<sql::Query> Prepare(const std::string& sqlText) override;
    std::string Identity() const override { return path_.string(); }
    bool IndexTermHints() const override { return true; }
    bool CountByReading() const override { return true; }

    std::uint64_t Writes() const override { return writes_; }
    void NoteWrite() { ++writes_; }
    Stamp CurrentStamp() override;
    // The stamp from the last data version read and the writes since: a row stamped with it is read
    // again by the next refresh when another connection committed in the meantime.
    Stamp LastStamp() const override { return Stamp{lastDataVersion_, writes_}; }
    // The statements of the row operations, prepared once: insert of every field; the select list,
    // one blob, or the deletion of the row with row id ?1.
    sql::Statement& InsertStatement() override;
    sql::Statement& RowStatement() override;
    sql::Statement& BlobStatement(int field) override;
    // The given blob fields of the row with row id ?1, in this order.
    sql::Statement& BlobsStatement(const std::vector<int>& fields) override;
    sql::Statement& DeleteStatement() override;

    // One row change: BEGIN IMMEDIATE ... COMMIT; inside a connection transaction nothing more is
    // needed (each change is one statement, the AUTOINC mark is written at commit).
    void BeginWrite() override;
    void CommitWrite() override;
    void AbortWrite() noexcept override;

    // A read transaction around several reads: one snapshot and one lock instead of one per
    // statement. Scopes nest; inside a connection transaction or a bulk load they do nothing. A write
    // on the file ends the read transaction first (later reads of the scope run on their own).
    void BeginReadScope() override;
    void EndReadScope() noexcept override;
    // Identifies the read transaction a read scope holds: unique per file, 0 when none runs. Rows read
    // under the same id come from one snapshot.
    std::uint64_t ReadTransactionId() const override { return readTransaction_ ? readTransactionId_ : 0; }
    bool ReadOnly() const override { return readOnly_; }

    // Connection transactions.
    void BeginTransaction();
    void CommitTransaction();
    void RollbackTransaction() noexcept;
    bool InTransaction() const { return inTransaction_; }

    // Next AUTOINC value of a field and its bookkeeping (inside a WriteScope, StoreAutoInc before the
    // row is written: a failed insert then only leaves a gap).
    std::int64_t NextAutoInc(int field) override;
    void StoreAutoInc(int field, std::int64_t value) override;

    void AddIndex(const AdsIndexDef& def) override;

    // Bulk loading of a new, empty file that no other connection uses: no rollback journal, no
    // syncs and a large page cache while it runs, and 16 KB pages, which large rows fill better.
    // EndBulkLoad syncs the file and switches it back to WAL with normal syncs. A failure in between
    // leaves a file that only deleting repairs.
    void BeginBulkLoad() override;
    void EndBulkLoad() override;
    bool InBulkLoad() const { return bulkLoad_; }

private:
    TableFile(sql::Database db, std::filesystem::path path);
    void LoadSchema();
    void LoadTags();
    void EnsureSqlIndexes();
    bool HasTable(std::string_view name);

    sql::Database owner_; // first member: closes the handle after every statement is gone
    sqlite3* db_ = nullptr; // owner_'s handle
    std::filesystem::path path_;
    std::string fileName_;
    std::string tableName_;
    std::string quotedTable_;
    std::string selectList_;
    std::string rowidName_ = "rowid";
    std::vector<FieldInfo> fields_;
    std::vector<std::pair<std::string, int>> fieldsByName_; // sorted without regard to case
    std::vector<IndexTag> tags_;
    std::map<std::string, std::unique_ptr<sql::Statement>> statements_;
    std::uint64_t writes_ = 0;
    std::int64_t lastDataVersion_ = -1;
    std::unique_ptr<sql::Statement> insert_, row_, delete_;
    std::vector<std::unique_ptr<sql::Statement>> blobReads_;
    std::map<std::vector<int>, std::unique_ptr<sql::Statement>> blobsReads_;
    std::unique_ptr<sql::Statement> dataVersion_, beginRead_, endRead_;
    int readScopes_ = 0;
    bool readTransaction_ = false;
    std::uint64_t readTransactionId_ = 0;
    void EndReadTransaction() noexcept;
    bool inTransaction_ = false;
    bool readOnly_ = false;
    bool bulkLoad_ = false;
    std::map<int, std::int64_t> autoIncCache_; // high-water marks within a connection transaction,
                                               // written to ads_autoinc at commit
    void WriteAutoInc(int field, std::int64_t value);
};

// Removes a table file and SQLite's side files; missing files are no error.
void RemoveTableFiles(const std::filesystem::path& file, const std::string& fileName);

} // namespace gs::ads
