#include "db/AdsConnection.h"

#include "base/FindFile.h"
#include "base/Text.h"
#include "db/AdsError.h"
#include "db/AdsTable.h"
#include "db/AdsTableFile.h"
#include "db/PgConnInfo.h"
#include "db/PgSession.h"
#include "db/PgTable.h"

#include <unistd.h>

#include <algorithm>
#include <system_error>

namespace gs {

TAdsConnection::TAdsConnection() = default;

TAdsConnection::~TAdsConnection()
{
    CloseTables();
    for (TAdsTable* t : tables_)
        t->connection_ = nullptr;
    tables_.clear();
}

void TAdsConnection::SetConnectPath(const std::string& path)
{
    if (connected_ && path != connectPath_)
        SetIsConnected(false);
    connectPath_ = path;
}

std::filesystem::path TAdsConnection::Directory() const { return std::filesystem::path(connectPath_); }

bool TAdsConnection::OnServer() const
{
    return !serverTypes_.Contains(stADS_LOCAL) && ads::IsConnectionString(connectPath_);
}

std::string TAdsConnection::ShownPath() const { return ads::WithoutPassword(connectPath_); }

void TAdsConnection::SetServerLimits(const ads::ServerLimits& limits)
{
    limits_ = limits;
    if (session_)
        session_->SetLimits(limits_);
}

void TAdsConnection::SetCancelFlag(const std::atomic<bool>* cancel)
{
    ads::ServerLimits limits = limits_;
    limits.cancel = cancel;
    SetServerLimits(limits);
}

void TAdsConnection::SetIsConnected(bool connect)
{
    if (!connect) {
        CloseTables();
        session_.reset();
        connected_ = false;
        return;
    }
    if (connected_)
        return;
    if (!serverTypes_.Contains(stADS_LOCAL) && !serverTypes_.Contains(stADS_REMOTE))
        throw AdsError("Verbindung nicht möglich: kein unterstützter Servertyp (lokal oder entfernt) gewählt", {});
    if (connectPath_.empty())
        throw AdsError("Verbindung nicht möglich: kein Datenbankpfad angegeben", {});
    if (OnServer()) {
        session_ = ads::PgSession::Connect(connectPath_, limits_);
        connected_ = true;
        return;
    }
    std::error_code ec;
    const auto dir = Directory();
    if (!std::filesystem::exists(dir, ec))
        throw AdsError("Verbindung nicht möglich: Datenbankverzeichnis nicht gefunden: " + connectPath_, {});
    if (!std::filesystem::is_directory(dir, ec))
        throw AdsError("Verbindung nicht möglich: kein Verzeichnis: " + connectPath_, {});
    if (::access(dir.c_str(), R_OK | X_OK) != 0)
        throw AdsError("Verbindung nicht möglich: Datenbankverzeichnis kann nicht gelesen werden: " + connectPath_, {});
    connected_ = true;
}

void TAdsConnection::CloseTables() noexcept
{
    if (inTransaction_)
        Rollback();
    const std::vector<TAdsTable*> open = tables_;
    for (TAdsTable* t : open)
        t->CloseNoThrow();
    files_.clear();
}

std::filesystem::path TAdsConnection::TablePath(const std::string& fileName) const
{
    return FindFileNoCase(Directory(), fileName);
}

bool TAdsConnection::TableExists(const std::string& fileName) const
{
    if (connectPath_.empty() || fileName.empty())
        return false;
    if (session_)
        return ads::PgTable::Exists(*session_, fileName);
    std::error_code ec;
    return std::filesystem::is_regular_file(TablePath(fileName), ec);
}

void TAdsConnection::CreateTable(const std::string& fileName, const std::vector<AdsFieldDef>& fields,
                                 const std::vector<AdsIndexDef>& indexes)
{
    if (!connected_)
        throw AdsError("Keine Verbindung zur Datenbank", fileName);
    if (session_)
        ads::PgTable::Create(*session_, fileName, fields, indexes);
    else
        ads::TableFile::Create(TablePath(fileName), fields, indexes);
}

void TAdsConnection::DeleteTable(const std::string& fileName)
{
    if (session_) {
        const std::string name = ads::PgTable::TableName(fileName);
        for (TAdsTable* t : tables_) {
            if (t->Active() && EqualsNoCase(ads::PgTable::TableName(t->file_->FileName()), name))
                throw AdsError("Tabelle ist geöffnet und kann nicht gelöscht werden", fileName);
        }
        ads::PgTable::Drop(*session_, fileName);
        return;
    }
    const auto path = TablePath(fileName);
    for (TAdsTable* t : tables_) {
        if (t->Active() && t->file_->Identity() == path.string())
            throw AdsError("Tabelle ist geöffnet und kann nicht gelöscht werden", fileName);
    }
    std::error_code ec;
    const std::string key = std::filesystem::weakly_canonical(path, ec).string();
    files_.erase(key);
    files_.erase(key + "|ro");
    ads::RemoveTableFiles(path, fileName);
}

std::shared_ptr<ads::TableStore> TAdsConnection::AcquireFile(const std::string& fileName, bool readOnly)
{
    if (!connected_)
        throw AdsError("Keine Verbindung zur Datenbank", fileName);
    if (session_)
        return ads::PgTable::Open(session_, fileName, readOnly);
    const auto path = TablePath(fileName);
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec))
        throw AdsError("Tabelle nicht gefunden in " + connectPath_, fileName);
    const std::string key = std::filesystem::weakly_canonical(path, ec).string() + (readOnly ? "|ro" : "");
    if (auto it = files_.find(key); it != files_.end()) {
        if (auto f = it->second.lock())
            return f;
    }
    auto f = ads::TableFile::Open(path, readOnly);
    if (inTransaction_) {
        f->BeginTransaction();
        pinned_.push_back(f);
    }
    files_[key] = f;
    return f;
}

void TAdsConnection::RegisterTable(TAdsTable* table)
{
    if (std::find(tables_.begin(), tables_.end(), table) == tables_.end())
        tables_.push_back(table);
}

void TAdsConnection::UnregisterTable(TAdsTable* table)
{
    tables_.erase(std::remove(tables_.begin(), tables_.end(), table), tables_.end());
}

void TAdsConnection::BeginTransaction()
{
    if (!connected_)
        throw AdsError("Keine Verbindung zur Datenbank", {});
    if (inTransaction_)
        throw AdsError("Es läuft bereits eine Transaktion", {});
    if (session_) {
        session_->Begin();
        inTransaction_ = true;
        return;
    }
    std::vector<std::shared_ptr<ads::TableFile>> begun;
    try {
        for (auto& [key, weak] : files_) {
            if (auto f = weak.lock()) {
                f->BeginTransaction();
                begun.push_back(f);
            }
        }
    } catch (...) {
        for (auto& f : begun)
            f->RollbackTransaction();
        throw;
    }
    pinned_ = std::move(begun);
    inTransaction_ = true;
}

void TAdsConnection::Commit()
{
    if (!inTransaction_)
        throw AdsError("Keine Transaktion aktiv", {});
    if (session_) {
        inTransaction_ = false;
        session_->Commit();
        return;
    }
    // Commit file by file; when one fails, the rest is rolled back and the error reported.
    std::vector<std::shared_ptr<ads::TableFile>> files = std::move(pinned_);
    pinned_.clear();
    inTransaction_ = false;
    for (size_t i = 0; i < files.size(); ++i) {
        try {
            files[i]->CommitTransaction();
        } catch (...) {
            for (size_t j = i; j < files.size(); ++j)
                files[j]->RollbackTransaction();
            throw;
        }
    }
}

void TAdsConnection::Rollback()
{
    if (session_)
        session_->Rollback();
    for (auto& f : pinned_)
        f->RollbackTransaction();
    pinned_.clear();
    inTransaction_ = false;
}

} // namespace gs
