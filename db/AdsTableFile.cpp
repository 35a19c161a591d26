#include "db/AdsTableFile.h"

#include "base/Text.h"
#include "db/AdsError.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <system_error>

namespace gs::ads {

namespace {

constexpr int kBusyTimeoutMs = 5000;

std::string SqlIndexName(std::string_view tag) { return "ads_idx_" + LowerAscii(tag); }

void Configure(sqlite3* db, bool writable)
{
    sqlite3_extended_result_codes(db, 1);
    sqlite3_busy_timeout(db, kBusyTimeoutMs);
    // WAL lets readers in other processes work while this one writes; NORMAL syncs at checkpoints.
    // No memory mapping: a table file that another program truncates or rebuilds must give an
    // error, never a bus fault. A read-only opening keeps the file's journal mode as the host set it
    // and refuses every write of its own (query_only).
    if (writable)
        sqlite3_exec(db, "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL", nullptr, nullptr, nullptr);
    else
        sqlite3_exec(db, "PRAGMA query_only=1", nullptr, nullptr, nullptr);
    // A host table the module only reads is mostly walked once per run, each page once (the
    // operating system keeps the file): a small cache holds the index and the tree's inner pages.
    sqlite3_exec(db, writable ? "PRAGMA cache_size=-16384; PRAGMA mmap_size=0" : "PRAGMA cache_size=-2048; PRAGMA mmap_size=0",
                 nullptr, nullptr, nullptr);
}

// The file as an SQLite URI ("file:/dir/Auftraege.ADT?mode=ro"): every byte but letters, digits and
// "/-_.~" percent-encoded, so that "?", "#" and "%" in a path stay part of it.
std::string FileUri(const std::filesystem::path& file, std::string_view query)
{
    static const char* hex = "0123456789ABCDEF";
    std::string uri = "file:";
    for (unsigned char c : std::filesystem::absolute(file).string()) {
        if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '/' || c == '-' ||
            c == '_' || c == '.' || c == '~') {
            uri += static_cast<char>(c);
        } else {
            uri += '%';
            uri += hex[c >> 4];
            uri += hex[c & 15];
        }
    }
    uri += '?';
    uri += query;
    return uri;
}

bool FileExists(const std::filesystem::path& file, const char* suffix, std::uintmax_t* size = nullptr)
{
    std::filesystem::path p = file;
    p += suffix;
    std::error_code ec;
    const bool exists = std::filesystem::is_regular_file(p, ec);
    if (exists && size)
        *size = std::filesystem::file_size(p, ec);
    return exists;
}

// True when the file's header marks it as a WAL database (read and write version 2).
bool IsWalFile(const std::filesystem::path& file)
{
    unsigned char header[20] = {};
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool read = ::pread(fd, header, sizeof header, 0) == static_cast<ssize_t>(sizeof header);
    ::close(fd);
    return read && std::memcmp(header, "SQLite format 3", 16) == 0 && header[18] == 2 && header[19] == 2;
}

// How a read-only opening reads a file without leaving anything behind. A rollback-journal file,
// and a WAL file that a program has open (its -shm exists), are read under SQLite's own locks:
// SQLite uses the existing -wal and -shm and creates none, and a writer is never blocked by a WAL
// reader. A WAL file that no program has open (no -shm) cannot be read that way without creating
// -wal and -shm, which a read-only connection cannot remove again: a run by another user would
// leave them behind, owned by that user, and the owner's next write would fail; in a read-only
// directory they cannot be created at all. Such a file holds all its data in the main file, so it
// is read as immutable (no locks, no side files); a program that starts writing it meanwhile writes
// into its own -wal, which is not read. A -wal left by a crash (non-empty, without -shm) still holds
// committed rows: that file is opened normally, and SQLite's recovery may need to create the -shm.
std::string ReadOnlyUri(const std::filesystem::path& file)
{
    std::uintmax_t walSize = 0;
    const bool wal = FileExists(file, "-wal", &walSize);
    if (IsWalFile(file) && !FileExists(file, "-shm") && (!wal || walSize == 0))
        return FileUri(file, "mode=ro&immutable=1");
    return FileUri(file, "mode=ro");
}

bool NameLess(const std::pair<std::string, int>& a, std::string_view b) { return CompareNoCase(a.first, b) < 0; }

} // namespace

TAdsFieldType ParseSqlType(std::string_view declared, int& size)
{
    const std::string t = UpperAscii(Trim(declared));
    size = 0;
    auto has = [&](const char* s) { return t.find(s) != std::string::npos; };
    if (t == "MEMO")
        return TAdsFieldType::Memo;
    if (t == "BINARY" || has("BLOB") || t == "IMAGE" || t == "RAW")
        return TAdsFieldType::Binary;
    if (t == "AUTOINC")
        return TAdsFieldType::AutoInc;
    if (t == "SHORTINT" || t == "SMALLINT")
        return TAdsFieldType::ShortInt;
    if (t == "LOGICAL" || has("BOOL"))
        return TAdsFieldType::Logical;
    if (t == "DATE")
        return TAdsFieldType::Date;
    if (t == "TIMESTAMP" || t == "DATETIME" || t == "MODTIME")
        return TAdsFieldType::Timestamp;
    if (has("CHAR") || has("TEXT") || has("CLOB")) {
        const auto open = t.find('(');
        if (open != std::string::npos) {
            int n = 0;
            const auto close = t.find(')', open);
            if (close != std::string::npos && TryParseInt32(Trim(t.substr(open + 1, close - open - 1)), n) && n > 0)
                size = n;
        }
        return TAdsFieldType::Char;
    }
    if (has("INT"))
        return TAdsFieldType::Integer;
    if (has("DOUB") || has("REAL") || has("FLOA") || has("NUMERIC") || has("DEC") || has("MONEY"))
        return TAdsFieldType::Double;
    return TAdsFieldType::Char; // no or unknown type: read as text
}

} // namespace gs::ads

namespace gs {

std::string SqlTypeName(TAdsFieldType type, int size)
{
    switch (type) {
    case TAdsFieldType::Char: return "CHAR(" + std::to_string(size) + ")";
    case TAdsFieldType::Memo: return "MEMO";
    case TAdsFieldType::Binary: return "BINARY";
    case TAdsFieldType::ShortInt: return "SHORTINT";
    case TAdsFieldType::Integer: return "INTEGER";
    case TAdsFieldType::AutoInc: return "AUTOINC";
    case TAdsFieldType::Double: return "DOUBLE";
    case TAdsFieldType::Logical: return "LOGICAL";
    case TAdsFieldType::Date: return "DATE";
    case TAdsFieldType::Timestamp: return "TIMESTAMP";
    }
    return "CHAR(1)";
}

} // namespace gs

namespace gs::ads {

// --- opening -------------------------------------------------------------------------------------

TableFile::TableFile(sql::Database db, std::filesystem::path path)
    : owner_(std::move(db)), db_(owner_.get()), path_(std::move(path)), fileName_(path_.filename().string())
{
}

TableFile::~TableFile()
{
    statements_.clear();
    insert_.reset();
    row_.reset();
    delete_.reset();
    blobReads_.clear();
    blobsReads_.clear();
    dataVersion_.reset();
    beginRead_.reset();
    endRead_.reset();
    if (inTransaction_ || readTransaction_)
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    // owner_ closes the handle as the last member to go.
}

std::shared_ptr<TableFile> TableFile::Open(const std::filesystem::path& file, bool readOnly)
{
    const std::string fileName = file.filename().string();
    // Never SQLITE_OPEN_CREATE: a missing file must not turn into an empty one.
    sql::Database db =
        readOnly ? sql::Open(ReadOnlyUri(file), SQLITE_OPEN_READONLY | SQLITE_OPEN_URI | SQLITE_OPEN_NOMUTEX, fileName,
                             "Tabelle kann nicht geöffnet werden")
                 : sql::Open(file.string(), SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, fileName,
                             "Tabelle kann nicht geöffnet werden");
    sqlite3* handle = db.get();
    std::shared_ptr<TableFile> tf(new TableFile(std::move(db), file));
    tf->readOnly_ = readOnly || sqlite3_db_readonly(handle, "main") == 1;
    sqlite3_extended_result_codes(handle, 1);
    sqlite3_busy_timeout(handle, kBusyTimeoutMs);
    tf->LoadSchema(); // first read: fails here for files that are no table files
    Configure(handle, !tf->readOnly_);
    tf->EnsureSqlIndexes();
    return tf;
}

bool TableFile::HasTable(std::string_view name)
{
    sql::Statement& st = Statement("SELECT 1 FROM sqlite_master WHERE type='table' AND name=?");
    sql::ResetOnExit reset(st);
    st.BindText(1, name);
    return st.Step();
}

void TableFile::LoadSchema()
{
    const std::string stem = path_.stem().string();
    {
        const char* context = "Tabellendatei kann nicht gelesen werden";
        sql::Statement st(db_, "SELECT name FROM sqlite_master WHERE type='table'", fileName_, context);
        sql::ResetOnExit reset(st);
        while (st.Step(context)) {
            const ValueRef v = st.Column(0);
            if (EqualsNoCase(v.s, stem)) {
                tableName_.assign(v.s);
                break;
            }
        }
    }
    if (tableName_.empty())
        throw AdsError("Tabellendatei enthält keine Tabelle " + stem, fileName_);
    quotedTable_ = sql::Quote(tableName_);

    fields_.clear();
    {
        sql::Statement st(db_, "SELECT name, type FROM pragma_table_info(?)", fileName_);
        st.BindText(1, tableName_);
        while (st.Step()) {
            FieldInfo f;
            f.name.assign(st.Column(0).s);
            f.type = ParseSqlType(st.Column(1).s, f.size);
            f.blob = IsBlobType(f.type);
            fields_.push_back(std::move(f));
        }
    }
    fieldsByName_.clear();
    for (size_t i = 0; i < fields_.size(); ++i)
        fieldsByName_.emplace_back(fields_[i].name, static_cast<int>(i));
    std::stable_sort(fieldsByName_.begin(), fieldsByName_.end(),
                     [](const auto& a, const auto& b) { return CompareNoCase(a.first, b.first) < 0; });
    {
        sql::Statement st(db_,
                          "SELECT ii.name FROM pragma_index_list(?) il, pragma_index_info(il.name) ii "
                          "WHERE ii.seqno = 0",
                          fileName_);
        st.BindText(1, tableName_);
        while (st.Step()) {
            const int f = FindField(st.Column(0).s);
            if (f >= 0)
                fields_[static_cast<size_t>(f)].indexed = true;
        }
    }

    // The row id under a name that no field shadows.
    std::string rowid = "rowid";
    for (const char* candidate : {"rowid", "_rowid_", "oid"}) {
        if (FindField(candidate) < 0) {
            rowid = candidate;
            break;
        }
    }
    selectList_ = rowid;
    for (const FieldInfo& f : fields_) {
        selectList_ += ", ";
        selectList_ += f.blob ? std::string("NULL") : sql::Quote(f.name);
    }
    rowidName_ = rowid;
    blobReads_.clear();
    blobReads_.resize(fields_.size());
    blobsReads_.clear();
    LoadTags();
}

void TableFile::LoadTags()
{
    tags_.clear();
    if (!HasTable("ads_index"))
        return;
    sql::Statement st(db_, "SELECT tag, expression, options FROM ads_index ORDER BY rowid", fileName_);
    while (st.Step()) {
        IndexTag t;
        t.tag = Trim(st.Column(0).s);
        t.expression = Trim(st.Column(1).s);
        t.options = static_cast<int>(st.ColumnInt(2));
        t.field = FindField(t.expression);
        if (!t.tag.empty())
            tags_.push_back(std::move(t));
    }
}

void TableFile::EnsureSqlIndexes()
{
    if (readOnly_)
        return;
    for (const IndexTag& t : tags_) {
        if (t.field < 0 || fields_[static_cast<size_t>(t.field)].indexed || fields_[static_cast<size_t>(t.field)].blob)
            continue;
        const std::string body = " INDEX IF NOT EXISTS " + sql::Quote(SqlIndexName(t.tag)) + " ON " + quotedTable_ +
                                 "(" + sql::Quote(fields_[static_cast<size_t>(t.field)].name) + ")";
        // A unique tag over data that holds duplicates still gets its (plain) index for the order.
        int rc = SQLITE_ERROR;
        if (t.options & ADS_UNIQUE)
            rc = sqlite3_exec(db_, ("CREATE UNIQUE" + body).c_str(), nullptr, nullptr, nullptr);
        if (rc != SQLITE_OK)
            rc = sqlite3_exec(db_, ("CREATE" + body).c_str(), nullptr, nullptr, nullptr);
        if (rc == SQLITE_OK)
            fields_[static_cast<size_t>(t.field)].indexed = true;
    }
}

int TableFile::FindField(std::string_view name) const
{
    auto it = std::lower_bound(fieldsByName_.begin(), fieldsByName_.end(), name, NameLess);
    if (it != fieldsByName_.end() && EqualsNoCase(it->first, name))
        return it->second;
    return -1;
}

const IndexTag* TableStore::FindTag(std::string_view tag) const
{
    for (const IndexTag& t : Tags()) {
        if (EqualsNoCase(t.tag, tag))
            return &t;
    }
    return nullptr;
}

sql::Statement& TableFile::Statement(const std::string& sqlText)
{
    auto it = statements_.find(sqlText);
    if (it == statements_.end())
        it = statements_.emplace(sqlText, std::make_unique<sql::Statement>(db_, sqlText, fileName_)).first;
    return *it->second;
}

std::unique_ptr<sql::Query> TableFile::Prepare(const std::string& sqlText)
{
    return std::make_unique<sql::Statement>(db_, sqlText, fileName_);
}

sql::Statement& TableFile::InsertStatement()
{
    if (!insert_) {
        std::string columns, marks;
        for (size_t i = 0; i < fields_.size(); ++i) {
            columns += (i ? ", " : "") + sql::Quote(fields_[i].name);
            marks += i ? ", ?" : "?";
        }
        insert_ = std::make_unique<sql::Statement>(
            db_, "INSERT INTO " + quotedTable_ + " (" + columns + ") VALUES (" + marks + ")", fileName_);
    }
    return *insert_;
}

sql::Statement& TableFile::RowStatement()
{
    if (!row_)
        row_ = std::make_unique<sql::Statement>(
            db_, "SELECT " + selectList_ + " FROM " + quotedTable_ + " WHERE " + rowidName_ + " = ?1", fileName_);
    return *row_;
}

sql::Statement& TableFile::BlobStatement(int field)
{
    std::unique_ptr<sql::Statement>& st = blobReads_[static_cast<size_t>(field)];
    if (!st)
        st = std::make_unique<sql::Statement>(db_,
                                              "SELECT " + sql::Quote(fields_[static_cast<size_t>(field)].name) +
                                                  " FROM " + quotedTable_ + " WHERE " + rowidName_ + " = ?1",
                                              fileName_);
    return *st;
}

sql::Statement& TableFile::BlobsStatement(const std::vector<int>& fields)
{
    std::unique_ptr<sql::Statement>& st = blobsReads_[fields];
    if (!st) {
        std::string columns;
        for (int f : fields)
            columns += (columns.empty() ? "" : ", ") + sql::Quote(fields_[static_cast<size_t>(f)].name);
        st = std::make_unique<sql::Statement>(
            db_, "SELECT " + columns + " FROM " + quotedTable_ + " WHERE " + rowidName_ + " = ?1", fileName_);
    }
    return *st;
}

sql::Statement& TableFile::DeleteStatement()
{
    if (!delete_)
        delete_ = std::make_unique<sql::Statement>(
            db_, "DELETE FROM " + quotedTable_ + " WHERE " + rowidName_ + " = ?1", fileName_);
    return *delete_;
}

Stamp TableFile::CurrentStamp()
{
    if (!dataVersion_)
        dataVersion_ = std::make_unique<sql::Statement>(db_, "PRAGMA data_version", fileName_);
    sql::Statement& st = *dataVersion_;
    sql::ResetOnExit reset(st);
    Stamp s;
    s.dataVersion = st.Step() ? st.ColumnInt(0) : -1;
    s.writes = writes_;
    lastDataVersion_ = s.dataVersion;
    return s;
}

// --- writing ---------------------------------------------------------------------------------------

void TableFile::BeginWrite()
{
    if (readOnly_)
        throw AdsError("Tabelle ist schreibgeschützt", fileName_);
    EndReadTransaction();
    if (!inTransaction_)
        sql::Exec(db_, "BEGIN IMMEDIATE", fileName_, "Schreiben nicht möglich");
}

void TableFile::AbortWrite() noexcept
{
    if (!inTransaction_)
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
}

void TableFile::CommitWrite()
{
    if (!inTransaction_)
        sql::Exec(db_, "COMMIT", fileName_, "Schreiben nicht möglich");
    NoteWrite();
}

void TableFile::BeginReadScope()
{
    if (readScopes_++ > 0 || inTransaction_ || bulkLoad_)
        return;
    // A deferred transaction: the first read takes the snapshot. Without it the reads simply run one
    // by one.
    if (!beginRead_) {
        beginRead_ = std::make_unique<sql::Statement>(db_, "BEGIN", fileName_);
        endRead_ = std::make_unique<sql::Statement>(db_, "COMMIT", fileName_);
    }
    readTransaction_ = sqlite3_step(beginRead_->Handle()) == SQLITE_DONE;
    sqlite3_reset(beginRead_->Handle());
    if (readTransaction_)
        ++readTransactionId_;
}

void TableFile::EndReadScope() noexcept
{
    if (readScopes_ > 0 && --readScopes_ == 0)
        EndReadTransaction();
}

void TableFile::EndReadTransaction() noexcept
{
    if (!readTransaction_)
        return;
    readTransaction_ = false;
    const bool ok = sqlite3_step(endRead_->Handle()) == SQLITE_DONE;
    sqlite3_reset(endRead_->Handle());
    if (!ok)
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
}

void TableFile::BeginTransaction()
{
    EndReadTransaction();
    // A writable file takes its write lock at once, waiting for other writers within the busy
    // time-out: a deferred transaction that read first could not wait for it and would fail at
    // its first write when another program has written since ("database is locked").
    sql::Exec(db_, readOnly_ ? "BEGIN" : "BEGIN IMMEDIATE", fileName_, "Transaktion kann nicht beginnen");
    inTransaction_ = true;
    autoIncCache_.clear();
}

void TableFile::CommitTransaction()
{
    if (!inTransaction_)
        return;
    for (const auto& [field, value] : autoIncCache_)
        WriteAutoInc(field, value);
    sql::Exec(db_, "COMMIT", fileName_, "Transaktion kann nicht abgeschlossen werden");
    inTransaction_ = false;
    autoIncCache_.clear();
    NoteWrite();
}

void TableFile::RollbackTransaction() noexcept
{
    if (!inTransaction_)
        return;
    sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
    inTransaction_ = false;
    autoIncCache_.clear();
    NoteWrite(); // rows read inside the transaction may be gone
}

std::int64_t TableFile::NextAutoInc(int field)
{
    if (inTransaction_) {
        auto it = autoIncCache_.find(field);
        if (it != autoIncCache_.end())
            return it->second = it->second + 1;
    }
    const FieldInfo& f = fields_[static_cast<size_t>(field)];
    sql::Exec(db_, "CREATE TABLE IF NOT EXISTS ads_autoinc(field TEXT PRIMARY KEY, last INTEGER NOT NULL)",
              fileName_, "Schreiben nicht möglich");
    std::int64_t high = 0;
    bool known = false;
    {
        sql::Statement& st = Statement("SELECT last FROM ads_autoinc WHERE field=?");
        sql::ResetOnExit reset(st);
        const std::string key = LowerAscii(f.name);
        st.BindText(1, key);
        if (st.Step()) {
            high = st.ColumnInt(0);
            known = true;
        }
    }
    // Rows written by other tools: never hand out a number the table already holds. The maximum is
    // cheap with an index; without one the mark alone counts once it exists.
    if (!known || f.indexed) {
        sql::Statement& st = Statement("SELECT max(" + sql::Quote(f.name) + ") FROM " + quotedTable_);
        sql::ResetOnExit reset(st);
        if (st.Step()) {
            const ValueRef v = st.Column(0);
            if (v.kind == StorageKind::Integer)
                high = std::max(high, v.i);
            else if (v.kind == StorageKind::Real)
                high = std::max(high, static_cast<std::int64_t>(v.d));
        }
    }
    const std::int64_t next = high + 1;
    if (inTransaction_)
        autoIncCache_[field] = next;
    return next;
}

void TableFile::StoreAutoInc(int field, std::int64_t value)
{
    if (inTransaction_)
        return; // kept in autoIncCache_ until the commit
    WriteAutoInc(field, value);
}

void TableFile::WriteAutoInc(int field, std::int64_t value)
{
    const std::string key = LowerAscii(fields_[static_cast<size_t>(field)].name);
    sql::Statement& up = Statement("UPDATE ads_autoinc SET last=? WHERE field=? AND last<?");
    {
        sql::ResetOnExit reset(up);
        up.BindInt(1, value);
        up.BindText(2, key);
        up.BindInt(3, value);
        up.Step("Schreiben nicht möglich");
    }
    if (sqlite3_changes(db_) > 0)
        return;
    sql::Statement& ins = Statement("INSERT OR IGNORE INTO ads_autoinc(field, last) VALUES(?, ?)");
    sql::ResetOnExit reset(ins);
    ins.BindText(1, key);
    ins.BindInt(2, value);
    ins.Step("Schreiben nicht möglich");
}

void TableFile::AddIndex(const AdsIndexDef& def)
{
    const std::string tag = Trim(def.tag);
    if (tag.empty())
        throw AdsError("Index ohne Namen", fileName_);
    if (FindTag(tag))
        throw AdsError("Index existiert bereits: " + tag, fileName_);
    const int field = FindField(Trim(def.expression));
    if (field < 0)
        throw AdsError("Spalte nicht gefunden: " + def.expression, fileName_, def.expression);
    FieldInfo& f = fields_[static_cast<size_t>(field)];
    if (f.blob)
        throw AdsError("Index auf Memo- oder Binärfeld nicht möglich: " + f.name, fileName_, f.name);
    {
        WriteScope scope(*this);
        sql::Exec(db_, "CREATE TABLE IF NOT EXISTS ads_index(tag TEXT, expression TEXT, options INTEGER)", fileName_,
                  "Index kann nicht angelegt werden");
        {
            sql::Statement st(db_, "INSERT INTO ads_index(tag, expression, options) VALUES(?, ?, ?)", fileName_);
            st.BindText(1, tag);
            st.BindText(2, Trim(def.expression));
            st.BindInt(3, def.options);
            st.Step("Index kann nicht angelegt werden");
        }
        if ((def.options & ADS_UNIQUE) || !f.indexed) {
            const std::string kind = (def.options & ADS_UNIQUE) ? "CREATE UNIQUE INDEX " : "CREATE INDEX ";
            sql::Exec(db_, kind + sql::Quote(SqlIndexName(tag)) + " ON " + quotedTable_ + "(" + sql::Quote(f.name) + ")",
                      fileName_, "Index kann nicht angelegt werden");
        }
        scope.Commit();
    }
    f.indexed = true;
    LoadTags();
}

// --- bulk loading ----------------------------------------------------------------------------------

void TableFile::BeginBulkLoad()
{
    const char* context = "Massenladen nicht möglich";
    if (readOnly_)
        throw AdsError("Tabelle ist schreibgeschützt", fileName_);
    if (bulkLoad_)
        return;
    if (inTransaction_)
        throw AdsError(std::string(context) + ": eine Transaktion läuft", fileName_);
    EndReadTransaction();
    {
        sql::Statement st(db_, "SELECT 1 FROM " + quotedTable_ + " LIMIT 1", fileName_);
        if (st.Step(context))
            throw AdsError(std::string(context) + ": die Tabelle ist nicht leer", fileName_);
    }
    // Leaving WAL needs the only connection to the file: with another one it fails at once.
    sqlite3_busy_timeout(db_, 0);
    std::string mode;
    {
        sql::Statement st(db_, "PRAGMA journal_mode=OFF", fileName_);
        try {
            if (st.Step(context))
                mode.assign(st.Column(0).s);
        } catch (const AdsError&) {
        }
    }
    sqlite3_busy_timeout(db_, kBusyTimeoutMs);
    if (mode != "off")
        throw AdsError(std::string(context) + ": die Tabelle wird von einer anderen Verbindung benutzt", fileName_);
    // Rows of several kilobytes (the host's documents with their texts) fill large pages better;
    // the empty file takes the new page size when it is rebuilt.
    sql::Exec(db_, "PRAGMA page_size=16384; VACUUM", fileName_, context);
    sql::Exec(db_, "PRAGMA synchronous=OFF; PRAGMA cache_size=-262144", fileName_, context);
    bulkLoad_ = true;
}

void TableFile::EndBulkLoad()
{
    if (!bulkLoad_)
        return;
    const char* context = "Massenladen kann nicht abgeschlossen werden";
    if (inTransaction_)
        throw AdsError(std::string(context) + ": eine Transaktion läuft", fileName_);
    sql::Exec(db_, "PRAGMA cache_size=-16384", fileName_, context);
    // Everything written so far reaches the disk before the file counts as complete.
    const int fd = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC);
    const bool synced = fd >= 0 && ::fsync(fd) == 0;
    if (fd >= 0)
        ::close(fd);
    if (!synced)
        throw AdsError(std::string(context) + ": die Datei kann nicht gesichert werden", fileName_);
    {
        sql::Statement st(db_, "PRAGMA journal_mode=WAL", fileName_);
        if (!st.Step(context) || st.Column(0).s != "wal")
            throw AdsError(std::string(context) + ": WAL kann nicht eingeschaltet werden", fileName_);
    }
    sql::Exec(db_, "PRAGMA synchronous=NORMAL", fileName_, context);
    bulkLoad_ = false;
    NoteWrite();
}

// --- creating and deleting -------------------------------------------------------------------------

void CheckNewTable(const std::string& fileName, const std::vector<AdsFieldDef>& fields,
                   const std::vector<AdsIndexDef>& indexes)
{
    if (fields.empty())
        throw AdsError("Tabelle ohne Felder kann nicht angelegt werden", fileName);
    for (size_t i = 0; i < fields.size(); ++i) {
        const AdsFieldDef& f = fields[i];
        if (Trim(f.name).empty() || f.name != Trim(f.name))
            throw AdsError("Ungültiger Feldname: \"" + f.name + "\"", fileName, f.name);
        if (f.type == TAdsFieldType::Char && f.size <= 0)
            throw AdsError("Feld " + f.name + " braucht eine Länge", fileName, f.name);
        for (size_t j = 0; j < i; ++j) {
            if (EqualsNoCase(fields[j].name, f.name))
                throw AdsError("Feld doppelt definiert: " + f.name, fileName, f.name);
        }
    }
    auto fieldOf = [&](std::string_view name) -> const AdsFieldDef* {
        for (const AdsFieldDef& f : fields) {
            if (EqualsNoCase(f.name, name))
                return &f;
        }
        return nullptr;
    };
    for (size_t i = 0; i < indexes.size(); ++i) {
        const AdsIndexDef& x = indexes[i];
        if (Trim(x.tag).empty())
            throw AdsError("Index ohne Namen", fileName);
        const AdsFieldDef* f = fieldOf(Trim(x.expression));
        if (!f)
            throw AdsError("Spalte nicht gefunden: " + x.expression, fileName, x.expression);
        if (IsBlobType(f->type))
            throw AdsError("Index auf Memo- oder Binärfeld nicht möglich: " + f->name, fileName, f->name);
        for (size_t j = 0; j < i; ++j) {
            if (EqualsNoCase(Trim(indexes[j].tag), Trim(x.tag)))
                throw AdsError("Index existiert bereits: " + x.tag, fileName);
        }
    }
}

void TableFile::Create(const std::filesystem::path& file, const std::vector<AdsFieldDef>& fields,
                       const std::vector<AdsIndexDef>& indexes)
{
    const std::string fileName = file.filename().string();
    CheckNewTable(fileName, fields, indexes);
    auto fieldOf = [&](std::string_view name) -> const AdsFieldDef* {
        for (const AdsFieldDef& f : fields) {
            if (EqualsNoCase(f.name, name))
                return &f;
        }
        return nullptr;
    };
    std::error_code ec;
    if (std::filesystem::exists(file, ec))
        throw AdsError("Tabelle existiert bereits", fileName);

    sql::Database owner = sql::Open(file.string(), SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX,
                                    fileName, "Tabelle kann nicht angelegt werden");
    sqlite3* db = owner.get();
    try {
        Configure(db, true);
        std::string ddl = "BEGIN; CREATE TABLE " + sql::Quote(file.stem().string()) + " (";
        for (size_t i = 0; i < fields.size(); ++i) {
            if (i)
                ddl += ", ";
            ddl += sql::Quote(fields[i].name) + " " + SqlTypeName(fields[i].type, fields[i].size);
        }
        ddl += "); CREATE TABLE ads_index(tag TEXT, expression TEXT, options INTEGER);"
               " CREATE TABLE ads_autoinc(field TEXT PRIMARY KEY, last INTEGER NOT NULL);";
        sql::Exec(db, ddl, fileName, "Tabelle kann nicht angelegt werden");
        for (const AdsIndexDef& x : indexes) {
            const AdsFieldDef* f = fieldOf(Trim(x.expression));
            sql::Statement st(db, "INSERT INTO ads_index(tag, expression, options) VALUES(?, ?, ?)", fileName);
            st.BindText(1, Trim(x.tag));
            st.BindText(2, Trim(x.expression));
            st.BindInt(3, x.options);
            st.Step("Index kann nicht angelegt werden");
            sql::Exec(db,
                      std::string((x.options & ADS_UNIQUE) ? "CREATE UNIQUE INDEX " : "CREATE INDEX ") +
                          sql::Quote(SqlIndexName(Trim(x.tag))) + " ON " + sql::Quote(file.stem().string()) + "(" +
                          sql::Quote(f->name) + ")",
                      fileName, "Index kann nicht angelegt werden");
        }
        sql::Exec(db, "COMMIT", fileName, "Tabelle kann nicht angelegt werden");
    } catch (...) {
        owner.reset(); // closed before its files go
        RemoveTableFiles(file, fileName);
        throw;
    }
}

void RemoveTableFiles(const std::filesystem::path& file, const std::string& fileName)
{
    for (const char* suffix : {"", "-wal", "-shm", "-journal"}) {
        std::filesystem::path p = file;
        p += suffix;
        std::error_code ec;
        std::filesystem::remove(p, ec);
        if (ec && ec != std::errc::no_such_file_or_directory)
            throw AdsError("Tabelle kann nicht gelöscht werden: " + SystemErrorText(ec.value()), fileName);
    }
}

} // namespace gs::ads
