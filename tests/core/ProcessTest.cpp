#include "base/Process.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

using namespace gs;
using namespace gs::test;

TEST(Process, StartsDetachedInItsDirectoryAndReportsAMissingProgram)
{
    TempDir dir;
    ASSERT_TRUE(StartDetached({"sh", "-c", "pwd > started.txt.part && mv started.txt.part started.txt"}, dir.path()));
    // The program runs on its own; wait a bounded while for its file.
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!std::filesystem::exists(dir / "started.txt") && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ASSERT_TRUE(std::filesystem::exists(dir / "started.txt"));
    EXPECT_EQ(ReadFile(dir / "started.txt"), dir.path().string() + "\n");

    EXPECT_FALSE(StartDetached({"gs-no-such-program"}));
    EXPECT_FALSE(StartDetached({"true"}, dir / "missing-directory"));
    EXPECT_FALSE(StartDetached({}));
}

TEST(RunAndWait, GivesTheExitStatusOrTellsThatTheProgramStillRuns)
{
    EXPECT_EQ(gs::RunAndWait({"true"}, 5000), 0);
    EXPECT_EQ(gs::RunAndWait({"sh", "-c", "exit 3"}, 5000), 3);
    EXPECT_EQ(gs::RunAndWait({"/nonexistent/opener", "x.pdf"}, 5000), 127);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(gs::RunAndWait({"sleep", "5"}, 100), -1) << "still running: left to itself";
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
}
