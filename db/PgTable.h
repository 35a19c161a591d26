#pragma once
// A host table in a PostgreSQL database, behind the same TableStore interface as a table file.
// The schema (written down in docs/postgresql.md): one table per host table, named like the file
// without its extension and found without regard to case; a row id column "ads_rowid" (bigint
// identity, primary key) that bookmarks and walks continue from; each field one column of the
// mapped type (CHAR(n) varchar(n) in byte order, MEMO and BINARY bytea told apart by the column's
// comment, LOGICAL boolean, DATE date, AUTOINC integer identity, DOUBLE double precision, SHORTINT
// smallint, INTEGER integer, TIMESTAMP timestamp); the index tags as rows of "ads_index"
// (table_name, tag, expression, options) with an index on (field, ads_rowid) behind each.
// Columns are matched without regard to case. Failures raise AdsError naming the file name.
#include "db/PgSession.h"
#include "db/TableStore.h"

#include <map>
#include <memory>
#include <string>
#include <vector>

namespace gs::ads {

class PgTable final : public TableStore {
public:
    // Raises AdsError "Tabelle nicht gefunden in <connection>" when the database has no such table.
    static std::shared_ptr<PgTable> Open(std::shared_ptr<PgSession> session, const std::string& fileName,
                                         bool readOnly);
    static bool Exists(PgSession& session, const std::string& fileName);
    // Creates the table, its tags and indexes in one transaction (or as part of the running one).
    static void Create(PgSession& session, const std::string& fileName, const std::vector<AdsFieldDef>& fields,
                       const std::vector<AdsIndexDef>& indexes);
    // Drops the table and its tags; a missing table is no error.
    static void Drop(PgSession& session, const std::string& fileName);
    // The server's name of a host table ("Auftraege.ADT" -> "Auftraege").
    static std::string TableName(const std::string& fileName);

    const std::string& FileName() const override { return fileName_; }
    std::string Identity() const override { return "pg:" + tableName_; }
    const std::string& QuotedTable() const override { return quotedTable_; }
    const std::vector<FieldInfo>& Fields() const override { return fields_; }
    int FindField(std::string_view name) const override;
    const std::vector<IndexTag>& Tags() const override { return tags_; }
    const std::string& SelectList() const override { return selectList_; }
    const std::string& RowidName() const override { return rowidName_; }
    bool IndexTermHints() const override { return false; }
    bool CountByReading() const override { return false; }
    bool Remote() const override { return true; }
    bool ReadsWithoutFail(int field, FieldRead read) const override;

    std::unique_ptr<sql::Query> Prepare(const std::string& sqlText) override;
    // A server-side cursor inside the read scope's transaction; null outside one.
    std::unique_ptr<RowStream> OpenStream(const std::string& sqlText, const std::vector<DbValue>& params,
                                          bool whole) override;
    // On the session's second connection, in the read scope's snapshot.
    std::unique_ptr<PendingCount> CountBeside(const std::string& sqlText, const std::vector<DbValue>& params) override
    {
        return session_->CountBeside(sqlText, params, fileName_);
    }
    sql::Query& Statement(const std::string& sqlText) override;
    sql::Query& InsertStatement() override;
    sql::Query& RowStatement() override;
    sql::Query& BlobStatement(int field) override;
    sql::Query& BlobsStatement(const std::vector<int>& fields) override;
    sql::Query& DeleteStatement() override;

    std::uint64_t Writes() const override { return session_->Writes(); }
    // Inside a read scope's snapshot a row read stays current (the stamp names the snapshot);
    // outside it the server tells no commit count: every stamp is new, a refresh reads again.
    Stamp CurrentStamp() override
    {
        const std::uint64_t snapshot = session_->ReadTransactionId();
        return Stamp{snapshot != 0 ? -static_cast<std::int64_t>(snapshot) - 1 : session_->NextStamp(),
                     session_->Writes()};
    }
    Stamp LastStamp() const override { return Stamp{-1, session_->Writes()}; }
    void BeginReadScope() override { session_->BeginReadScope(); }
    void EndReadScope() noexcept override { session_->EndReadScope(); }
    std::uint64_t ReadTransactionId() const override { return session_->ReadTransactionId(); }
    bool ReadOnly() const override { return readOnly_; }
    void BeginWrite() override;
    void CommitWrite() override { session_->CommitWrite(fileName_); }
    void AbortWrite() noexcept override { session_->AbortWrite(); }
    std::int64_t NextAutoInc(int field) override;
    void StoreAutoInc(int, std::int64_t) override {} // the identity's sequence keeps the mark
    void AddIndex(const AdsIndexDef& def) override;
    // The rows of a bulk load go through one COPY stream (PgCopyInsert) instead of a statement per
    // row; row ids and AUTOINC numbers are drawn in large blocks. EndBulkLoad ends the stream.
    void BeginBulkLoad() override;
    void EndBulkLoad() override;

private:
    PgTable(std::shared_ptr<PgSession> session, std::string fileName, bool readOnly);
    void LoadSchema(unsigned oid);
    void LoadTags();
    sql::Query& Cached(std::unique_ptr<sql::Query>& slot, const std::string& sqlText);
    // The next number of the column's identity sequence, drawn in blocks (key: the field, or -1
    // for the row id).
    std::int64_t NextFromSequence(int key, const std::string& column);

    std::shared_ptr<PgSession> session_;
    std::string fileName_;
    std::string tableName_;
    std::string quotedTable_;
    std::string selectList_;
    std::string rowidName_ = "ads_rowid";
    bool readOnly_ = false;
    std::vector<FieldInfo> fields_;
    std::vector<IndexTag> tags_;
    std::map<std::string, std::unique_ptr<sql::Query>> statements_;
    std::unique_ptr<sql::Query> insert_, row_, delete_;
    std::vector<std::unique_ptr<sql::Query>> blobReads_;
    std::map<std::vector<int>, std::unique_ptr<sql::Query>> blobsReads_;
    std::map<int, std::vector<std::int64_t>> autoIncs_; // drawn, not yet used (last first)
    std::int64_t autoIncBlock_ = 1;
    bool bulkLoad_ = false;
    std::unique_ptr<class PgCopyInsert> copy_;
};

} // namespace gs::ads
