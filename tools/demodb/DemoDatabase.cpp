#include "DemoDatabase.h"

#include "DemoOrders.h"
#include "DemoSetup.h"
#include "db/AdsConnection.h"
#include "db/AdsTable.h"
#include "base/Error.h"
#include "base/Text.h"
#include "orders/OrdersTable.h"

#include <unistd.h>

#include <system_error>

namespace gs::demo {

std::vector<std::filesystem::path> ExistingDemoTables(const std::filesystem::path& dir)
{
    std::vector<std::filesystem::path> found;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        for (const char* table : {OrdersTableName, SetupTableName}) {
            for (const char* suffix : {"", "-wal", "-shm", "-journal"}) {
                if (EqualsNoCase(name, std::string(table) + suffix))
                    found.push_back(it->path());
            }
        }
    }
    return found;
}

void WriteDemoDatabase(const DemoOptions& options)
{
    namespace fs = std::filesystem;
    const DemoOrdersOptions& o = options.orders;
    if (o.documents < 0)
        throw Error("Die Anzahl der Dokumente darf nicht negativ sein.");
    if (o.firstYear < 1900 || o.lastYear > 9999 || o.firstYear > o.lastYear)
        throw Error("Ungültiger Jahresbereich: " + std::to_string(o.firstYear) + "-" + std::to_string(o.lastYear));
    std::error_code ec;
    fs::create_directories(options.dir, ec);
    if (!fs::is_directory(options.dir, ec))
        throw Error("Verzeichnis kann nicht angelegt werden: " + options.dir.string());
    const std::vector<fs::path> existing = ExistingDemoTables(options.dir);
    if (!existing.empty() && !options.force)
        throw Error("Das Verzeichnis " + options.dir.string() + " enthält bereits Tabellen (" +
                    existing.front().filename().string() + "). Mit --force werden sie ersetzt.");

    const fs::path work = options.dir / (".gewinnstatistik-demodb-" + std::to_string(::getpid()));
    fs::remove_all(work, ec);
    fs::create_directories(work);
    try {
        WriteDemoSetup(work);
        WriteDemoOrders(work, o);
        if (options.layout.order != RowOrder::Written || !options.layout.sqlIndexes) {
            TableLayout layout = options.layout;
            layout.seed = o.seed;
            const fs::path written = work / (std::string(OrdersTableName) + ".written");
            fs::rename(work / OrdersTableName, written);
            CopyTableFile(written, work / OrdersTableName, layout);
            fs::remove(written);
        }
        for (const fs::path& p : ExistingDemoTables(options.dir))
            fs::remove(p);
        fs::rename(work / SetupTableName, options.dir / SetupTableName);
        fs::rename(work / OrdersTableName, options.dir / OrdersTableName);
    } catch (...) {
        fs::remove_all(work, ec);
        throw;
    }
    fs::remove_all(work, ec);
}

void WriteDemoServerDatabase(const std::string& connection, const DemoOrdersOptions& o, bool force)
{
    if (o.documents < 0)
        throw Error("Die Anzahl der Dokumente darf nicht negativ sein.");
    if (o.firstYear < 1900 || o.lastYear > 9999 || o.firstYear > o.lastYear)
        throw Error("Ungültiger Jahresbereich: " + std::to_string(o.firstYear) + "-" + std::to_string(o.lastYear));
    TAdsConnection conn;
    conn.SetAdsServerTypes({stADS_REMOTE});
    conn.SetConnectPath(connection);
    if (!conn.OnServer())
        throw Error("Keine Verbindungsangabe für den Datenbankserver: " + conn.ShownPath());
    conn.Connect();
    for (const char* table : {OrdersTableName, SetupTableName}) {
        if (conn.TableExists(table)) {
            if (!force)
                throw Error("Die Datenbank " + conn.ShownPath() + " enthält bereits Tabellen (" + table +
                            "). Mit --force werden sie ersetzt.");
            conn.DeleteTable(table);
        }
    }
    try {
        WriteDemoSetup(conn);
        WriteDemoOrders(conn, o);
    } catch (...) {
        try {
            conn.DeleteTable(OrdersTableName);
            conn.DeleteTable(SetupTableName);
        } catch (...) {
        }
        throw;
    }
}

} // namespace gs::demo
