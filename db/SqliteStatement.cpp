#include "db/SqliteStatement.h"

#include "db/AdsError.h"

namespace gs::sql {

void ThrowEngine(sqlite3* db, int rc, const std::string& fileName, std::string_view context)
{
    std::string text(context);
    const char* msg = db ? sqlite3_errmsg(db) : sqlite3_errstr(rc);
    text += ": ";
    text += msg ? msg : sqlite3_errstr(rc);
    throw AdsError(text, fileName, {}, db ? sqlite3_extended_errcode(db) : rc);
}

void Exec(sqlite3* db, const std::string& sqlText, const std::string& fileName, std::string_view context)
{
    char* err = nullptr;
    const int rc = sqlite3_exec(db, sqlText.c_str(), nullptr, nullptr, &err);
    if (rc != SQLITE_OK) {
        std::string text(context);
        text += ": ";
        text += err ? err : sqlite3_errstr(rc);
        sqlite3_free(err);
        throw AdsError(text, fileName, {}, sqlite3_extended_errcode(db));
    }
}

Database Open(const std::string& fileOrUri, int flags, const std::string& fileName, std::string_view context)
{
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(fileOrUri.c_str(), &raw, flags, nullptr);
    Database db(raw); // owned from here, also when opening failed
    if (rc != SQLITE_OK)
        ThrowEngine(raw, rc, fileName, context);
    return db;
}

std::string Quote(std::string_view identifier)
{
    std::string r;
    r.reserve(identifier.size() + 2);
    r += '"';
    for (char c : identifier) {
        if (c == '"')
            r += '"';
        r += c;
    }
    r += '"';
    return r;
}

Statement::Statement(sqlite3* db, const std::string& sqlText, const std::string& fileName,
                     std::string_view context)
    : db_(db), fileName_(fileName)
{
    const int rc = sqlite3_prepare_v3(db, sqlText.c_str(), static_cast<int>(sqlText.size() + 1),
                                      SQLITE_PREPARE_PERSISTENT, &stmt_, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_finalize(stmt_);
        stmt_ = nullptr;
        ThrowEngine(db, rc, fileName, context);
    }
}

Statement::~Statement() { sqlite3_finalize(stmt_); }

void Statement::BindNull(int index) { sqlite3_bind_null(stmt_, index); }
void Statement::BindInt(int index, std::int64_t value) { sqlite3_bind_int64(stmt_, index, value); }
void Statement::BindReal(int index, double value) { sqlite3_bind_double(stmt_, index, value); }
void Statement::BindText(int index, std::string_view value)
{
    sqlite3_bind_text64(stmt_, index, value.data(), value.size(), SQLITE_TRANSIENT, SQLITE_UTF8);
}
void Statement::BindBlob(int index, std::string_view value)
{
    // A zero-length blob must still be a blob, not NULL: give SQLite a valid pointer.
    static const char empty = 0;
    sqlite3_bind_blob64(stmt_, index, value.empty() ? &empty : value.data(), value.size(), SQLITE_TRANSIENT);
}

void Statement::Bind(int index, const ValueRef& value)
{
    static const char empty = 0;
    switch (value.kind) {
    case StorageKind::Null: BindNull(index); break;
    case StorageKind::Integer: BindInt(index, value.i); break;
    case StorageKind::Real: BindReal(index, value.d); break;
    case StorageKind::Text:
        sqlite3_bind_text64(stmt_, index, value.s.empty() ? &empty : value.s.data(), value.s.size(), SQLITE_STATIC,
                            SQLITE_UTF8);
        break;
    case StorageKind::Blob:
        sqlite3_bind_blob64(stmt_, index, value.s.empty() ? &empty : value.s.data(), value.s.size(), SQLITE_STATIC);
        break;
    }
}

bool Statement::Step(std::string_view context)
{
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    // Keep the message before the reset clears it.
    std::string text(context);
    text += ": ";
    text += sqlite3_errmsg(db_);
    const int code = sqlite3_extended_errcode(db_);
    sqlite3_reset(stmt_);
    throw AdsError(text, fileName_, {}, code);
}

void Statement::Reset()
{
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
}

ValueRef Statement::Column(int index) const
{
    ValueRef v;
    switch (sqlite3_column_type(stmt_, index)) {
    case SQLITE_INTEGER:
        v.kind = StorageKind::Integer;
        v.i = sqlite3_column_int64(stmt_, index);
        break;
    case SQLITE_FLOAT:
        v.kind = StorageKind::Real;
        v.d = sqlite3_column_double(stmt_, index);
        break;
    case SQLITE_TEXT: {
        v.kind = StorageKind::Text;
        const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, index));
        const int n = sqlite3_column_bytes(stmt_, index);
        v.s = p ? std::string_view(p, static_cast<size_t>(n)) : std::string_view();
        break;
    }
    case SQLITE_BLOB: {
        v.kind = StorageKind::Blob;
        const auto* p = static_cast<const char*>(sqlite3_column_blob(stmt_, index));
        const int n = sqlite3_column_bytes(stmt_, index);
        v.s = p ? std::string_view(p, static_cast<size_t>(n)) : std::string_view();
        break;
    }
    default: break;
    }
    return v;
}

} // namespace gs::sql
