// The spooler's place in the start-up and at program end.
#include "app/ProcessObjects.h"
#include "app/Startup.h"
#include "app/Runtime.h"
#include "spool/ExtSpooler.h"
#include "spool/SpoolTables.h"
#include "support/TestSupport.h"
#include "DemoDatabase.h"

#include <gtest/gtest.h>

namespace gs {
namespace {

struct StartedModule {
    // Before the runtime: the spooler's launcher threads record here until the runtime joins them.
    std::vector<std::filesystem::path> launched;
    test::TestRuntime rt;
    DatabaseSession session;

    explicit StartedModule(bool attachSpooler)
    {
        demo::DemoOptions options;
        options.dir = rt.dir() / "db";
        options.orders.documents = 40;
        options.orders.firstYear = options.orders.lastYear = 2024;
        demo::WriteDemoDatabase(options);
        StartProcessObjects(rt.runtime());
        rt.runtime().spooler->LaunchProgram = [this](const std::filesystem::path& p) {
            launched.push_back(p);
            return true;
        };
        CommandLine commandLine;
        commandLine.args = {options.dir.string(), "1", "12229"};
        const bool connected = ConnectForStart(session, commandLine, HostIdentity{}, {});
        EXPECT_TRUE(connected);
        CompleteStart(rt.runtime(), session, {}, attachSpooler);
    }
};

TEST(SpoolStart, TheWindowStartAttachesTheSpoolerAndChecksItsTables)
{
    StartedModule m(true);
    TExtSpooler& spooler = *m.rt.runtime().spooler;
    EXPECT_TRUE(spooler.Ready());
    EXPECT_TRUE(std::filesystem::exists(m.rt.dir() / "SPOOLER" / SpoolTableName));
    EXPECT_TRUE(m.rt.dialogs().messages.empty());
    EndProcessObjects(m.rt.runtime());
    EXPECT_FALSE(spooler.Ready());
    ASSERT_EQ(m.launched.size(), 1u); // the print processor only; the PDF processor starts with a PDF job
    EndProcessObjects(m.rt.runtime()); // a second end changes nothing
}

TEST(SpoolStart, ACommandWithoutSpoolingLeavesTheSpoolAlone)
{
    StartedModule m(false);
    EXPECT_FALSE(m.rt.runtime().spooler->Ready());
    EXPECT_FALSE(std::filesystem::exists(m.rt.dir() / "SPOOLER"));
    EXPECT_TRUE(m.launched.empty());
}

} // namespace
} // namespace gs
