// Start-up failures of the database: every damaged directory or table file keeps the host's message
// and names its own cause on the line below it, through the dialog seam.
#include "DemoDatabase.h"
#include "app/Startup.h"
#include "support/DbTestSupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>

using namespace gs;
using namespace gs::test;

namespace {

namespace fs = std::filesystem;

const char* const kHostMessage = "Das Programm kann nur von Kvelt aus gestartet werden<BR><B>Möglicher Fehler:</B><BR>";

// A small, good database, copied for every case.
const fs::path& GoodDatabase()
{
    static TempDir dir;
    static const fs::path db = [] {
        demo::DemoOptions o;
        o.dir = dir / "db";
        o.orders.documents = 20;
        o.orders.seed = 5;
        o.orders.firstYear = 2024;
        o.orders.lastYear = 2024;
        demo::WriteDemoDatabase(o);
        return o.dir;
    }();
    return db;
}

} // namespace

TEST(StartFault, EachDamagedDatabaseNamesItsCause)
{
    struct Case {
        const char* what;
        std::function<fs::path(const fs::path& db)> damage; // returns the path to start with
        std::vector<const char*> cause;                     // parts of the cause line
    };
    const auto garbage = [](const fs::path& file) { WriteFile(file, std::string(8192, 'x')); };
    const Case cases[] = {
        {"missing directory", [](const fs::path& db) { return db / "fehlt"; },
         {"Datenbankverzeichnis nicht gefunden", "fehlt"}},
        {"a file instead of a directory",
         [](const fs::path& db) {
             WriteFile(db / "datei", "x");
             return db / "datei";
         },
         {"kein Verzeichnis", "datei"}},
        {"orders table renamed",
         [](const fs::path& db) {
             fs::rename(db / "Auftraege.ADT", db / "Auftraege.alt");
             return db;
         },
         {"Tabelle nicht gefunden", "Auftraege.ADT"}},
        {"empty orders table",
         [](const fs::path& db) {
             WriteFile(db / "Auftraege.ADT", "");
             return db;
         },
         {"enthält keine Tabelle Auftraege", "(Tabelle Auftraege.ADT)"}},
        {"garbage orders table",
         [&](const fs::path& db) {
             garbage(db / "Auftraege.ADT");
             return db;
         },
         {"file is not a database", "(Tabelle Auftraege.ADT)"}},
        {"truncated orders table",
         [](const fs::path& db) {
             fs::resize_file(db / "Auftraege.ADT", 512);
             return db;
         },
         {"(Tabelle Auftraege.ADT)"}},
        {"garbage settings table",
         [&](const fs::path& db) {
             garbage(db / "setup.ADT");
             return db;
         },
         {"file is not a database", "(Tabelle setup.ADT)"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TestRuntime rt;
        const fs::path copy = rt.dir() / "db";
        fs::copy(GoodDatabase(), copy, fs::copy_options::recursive);
        const fs::path start = c.damage(copy);
        DatabaseSession session;
        CommandLine line;
        line.args = {start.string(), "1", "12229"};
        EXPECT_FALSE(ConnectForStart(session, line, HostIdentity{}, {}));
        ASSERT_EQ(rt.dialogs().messages.size(), 1u);
        const std::string& text = rt.dialogs().messages[0].text;
        EXPECT_EQ(text.rfind(kHostMessage, 0), 0u) << text;
        for (const char* part : c.cause)
            EXPECT_NE(text.find(part, std::strlen(kHostMessage)), std::string::npos) << part << " in " << text;
    }
}

TEST(StartFault, AGoodDatabaseStartsWithBothTablesReadOnly)
{
    TestRuntime rt;
    DatabaseSession session;
    CommandLine line;
    line.args = {GoodDatabase().string(), "1", "12229"};
    ASSERT_TRUE(ConnectForStart(session, line, HostIdentity{}, {}));
    EXPECT_TRUE(rt.dialogs().messages.empty());
    EXPECT_TRUE(session.Table_ORDERS.ReadOnly());
    EXPECT_TRUE(session.AdsTableSettings.ReadOnly());
    EXPECT_GT(session.Table_ORDERS.RecordCount(), 0);
}
