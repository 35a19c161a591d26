#pragma once
// The database connection. The local server kind opens a directory of table files (one SQLite file
// per host table). The remote server kind with a libpq connection string as the path (a
// "postgresql://" URI or "service=NAME" from pg_service.conf) works on a PostgreSQL database, one
// table per host table (db/PgTable.h); with a directory path it opens the directory's files like
// the local kind. Tables register with their connection; disconnecting closes them. Messages and
// the shown path never carry the connection's password.
#include "db/AdsSettings.h"
#include "db/AdsTypes.h"
#include "db/ServerLimits.h"

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace gs {

namespace ads {
class TableFile;
class TableStore;
class PgSession;
} // namespace ads
class TAdsTable;

class TAdsConnection {
public:
    TAdsConnection();
    ~TAdsConnection();
    TAdsConnection(const TAdsConnection&) = delete;
    TAdsConnection& operator=(const TAdsConnection&) = delete;

    void SetAdsServerTypes(TAdsServerTypes kinds) { serverTypes_ = kinds; }
    TAdsServerTypes AdsServerTypes() const { return serverTypes_; }
    // The database directory, read back exactly as set. A new path while connected disconnects
    // (closing the tables) first.
    void SetConnectPath(const std::string& path);
    const std::string& ConnectPath() const { return connectPath_; }
    // The path as it may be shown: a connection string without its password.
    std::string ShownPath() const;
    // True when the connection works on a database server (remote kind with a connection string).
    bool OnServer() const;
    void SetLoginPrompt(bool on) { loginPrompt_ = on; }
    bool LoginPrompt() const { return loginPrompt_; }
    // Decimal separator of the numbers its tables' fields give as text (default ",").
    void SetDecimalSeparator(char separator) { decimalSeparator_ = separator; }
    char DecimalSeparator() const { return decimalSeparator_; }

    // On a database server: the connect time-out, how long a wait for an answer may stay without
    // one, and the cancel flag. Taken by the next connect and by a live connection at once; set
    // them between runs, not during one.
    void SetServerLimits(const ads::ServerLimits& limits);
    const ads::ServerLimits& Limits() const { return limits_; }
    // The caller's flag (it must outlive the connection; null: none): once it is true, a wait for
    // the server ends within about 100 ms with AdsError "Abgebrochen." and the run fails; the
    // connection is dropped and the next run (with the flag false again) connects anew.
    void SetCancelFlag(const std::atomic<bool>* cancel);

    // true: connects (raises AdsError when the directory does not exist or cannot be used, or no
    // usable server kind is set); false: disconnects, closing the connection's tables and rolling
    // back an open transaction.
    void SetIsConnected(bool connect);
    bool IsConnected() const { return connected_; }
    void Connect() { SetIsConnected(true); }
    void Disconnect() { SetIsConnected(false); }

    // The file of a table in the directory, found without regard to case (dir/name when none).
    std::filesystem::path TablePath(const std::string& fileName) const;
    // Creates a table (file or server table) with its fields and index tags; raises AdsError.
    void CreateTable(const std::string& fileName, const std::vector<AdsFieldDef>& fields,
                     const std::vector<AdsIndexDef>& indexes);
    bool TableExists(const std::string& fileName) const;
    // Deletes a table file with its side files; a missing file is no error. The table must not be
    // open on this connection.
    void DeleteTable(const std::string& fileName);

    // One transaction over every table file the connection uses (and opens while it runs). Bulk
    // writers wrap their rows in one to write fast.
    void BeginTransaction();
    void Commit();
    void Rollback();
    bool InTransaction() const { return inTransaction_; }

    // --- used by TAdsTable ---
    // The open file of a table; tables opening the same file the same way share it.
    std::shared_ptr<ads::TableStore> AcquireFile(const std::string& fileName, bool readOnly = false);
    void RegisterTable(TAdsTable* table);
    void UnregisterTable(TAdsTable* table);

private:
    std::filesystem::path Directory() const;
    void CloseTables() noexcept;

    TAdsServerTypes serverTypes_{stADS_REMOTE};
    std::string connectPath_;
    bool loginPrompt_ = true;
    char decimalSeparator_ = TAdsSettings{}.DecimalSeparator;
    bool connected_ = false;
    bool inTransaction_ = false;
    std::vector<TAdsTable*> tables_;
    std::map<std::string, std::weak_ptr<ads::TableFile>> files_; // by canonical path (+ "|ro")
    std::vector<std::shared_ptr<ads::TableFile>> pinned_;      // files in the running transaction
    std::shared_ptr<ads::PgSession> session_;                  // on a database server
    ads::ServerLimits limits_;
};

} // namespace gs
