// PLAN.INI: one section per calendar year, written atomically and only where the plan changed; a
// damaged file gives what is readable and traces the rest.
#include "app/PlanFile.h"
#include "base/Error.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

using namespace gs;
namespace fs = std::filesystem;

TEST(PlanFile, TwoYearsAndAFiscalYearWriteCalendarSections)
{
    test::TestRuntime rt;
    const fs::path file = PlanFileIn(rt.dir());
    EXPECT_EQ(file.filename(), "PLAN.INI");
    PlanBook book;
    book.SetMonth({2025, 1}, {120000.00, 24000.5});
    YearPlan fiscal;
    fiscal.year = {2025, 11}; // November 2025 to October 2026
    fiscal.months[1] = {1234.56, std::nullopt};
    fiscal.months[2] = {std::nullopt, -99.99};
    book.SetYear(fiscal);
    SavePlanBook(book, file);
    EXPECT_TRUE(book.Changed().empty());
    EXPECT_EQ(test::ReadFile(file),
              "; Planwerte der Gewinn-Statistik: Netto und Gewinn je Kalendermonat in Euro (Dezimalpunkt)\r\n"
              "[2025]\r\n"
              "01.Netto=120000.00\r\n"
              "01.Gewinn=24000.50\r\n"
              "12.Netto=1234.56\r\n"
              "[2026]\r\n"
              "01.Gewinn=-99.99\r\n");

    const PlanBook read = LoadPlanBook(file);
    EXPECT_EQ(read.Months(), book.Months());
    EXPECT_TRUE(read.Changed().empty());
    EXPECT_EQ(read.PlanOf({2025, 11}), fiscal);
    // The same months under a fiscal year that begins in another month.
    EXPECT_EQ(read.PlanOf({2025, 12}).months[0], (MonthPlan{1234.56, std::nullopt}));
}

TEST(PlanFile, SavingWritesOnlyTheChangedMonthsOverWhatIsOnTheDisk)
{
    test::TestRuntime rt;
    const fs::path file = rt.dir() / "plan.ini"; // found without regard to case
    test::WriteFile(file, "; von Hand\r\n[2026]\r\n01.Netto=100.00\r\n02.Netto=abc\r\n[Notiz]\r\nx=y\r\n");
    EXPECT_EQ(PlanFileIn(rt.dir()), file);
    PlanBook mine = LoadPlanBook(file);

    // Another program saves March meanwhile.
    PlanBook other = LoadPlanBook(file);
    other.SetMonth({2026, 3}, {300.0, 30.0});
    SavePlanBook(other, file);

    mine.SetMonth({2026, 1}, {});                  // removed
    mine.SetMonth({2026, 4}, {400.0, std::nullopt});
    SavePlanBook(mine, file);
    EXPECT_EQ(test::ReadFile(file), "; von Hand\r\n[2026]\r\n02.Netto=abc\r\n03.Netto=300.00\r\n03.Gewinn=30.00\r\n"
                                    "04.Netto=400.00\r\n[Notiz]\r\nx=y\r\n");

    PlanBook emptied = LoadPlanBook(file);
    emptied.SetMonth({2026, 3}, {});
    emptied.SetMonth({2026, 4}, {});
    SavePlanBook(emptied, file);
    // The damaged entry keeps its year's section; it was not touched.
    EXPECT_EQ(test::ReadFile(file), "; von Hand\r\n[2026]\r\n02.Netto=abc\r\n[Notiz]\r\nx=y\r\n");
    test::WriteFile(file, "[2027]\r\n05.Gewinn=1.00\r\n");
    PlanBook last = LoadPlanBook(file);
    last.SetMonth({2027, 5}, {});
    SavePlanBook(last, file);
    EXPECT_EQ(test::ReadFile(file), ""); // a year without months loses its section
}

TEST(PlanFile, ADamagedFileGivesWhatIsReadableAndTracesTheRest)
{
    test::TestRuntime rt;
    const fs::path file = rt.dir() / "PLAN.INI";
    test::WriteFile(file, "M\xE4rz\r\n[2026]\r\n01.Netto=100.5\r\n01.Gewinn=1.000,00\r\n13.Netto=5.00\r\nNetto=1\r\n"
                          "02.Umsatz=1.00\r\n02.gewinn=7.25\r\n03.Netto=1.005\r\n[zwanzig]\r\n01.Netto=1.00\r\n"
                          "[2027\r\n\x1A");
    ErrorTrace trace;
    PlanBook book;
    {
        ErrorTraceScope scope(trace);
        book = LoadPlanBook(file);
    }
    EXPECT_EQ(book.At({2026, 1}), (MonthPlan{100.5, std::nullopt}));
    EXPECT_EQ(book.At({2026, 2}), (MonthPlan{std::nullopt, 7.25}));
    EXPECT_EQ(book.Months().size(), 2u);
    ASSERT_EQ(trace.Entries().size(), 6u) << trace.Text();
    for (const TracedError& e : trace.Entries())
        EXPECT_EQ(e.where, "PLAN.INI");
    EXPECT_EQ(trace.Entries()[0].what, "[2026] 01.Gewinn: „1.000,00“ hat das Trennzeichen „,“ an falscher Stelle "
                                       "(Dezimaltrennzeichen ist „.“)");
    EXPECT_EQ(trace.Entries()[1].what, "[2026] 13.Netto: kein Monatswert (erwartet z. B. 03.Netto oder 03.Gewinn)");
    EXPECT_EQ(trace.Entries()[4].what, "[2026] 03.Netto: „1.005“ hat mehr als 2 Nachkommastellen");
    EXPECT_EQ(trace.Entries()[5].what, "Abschnitt [zwanzig] ist kein Jahr");
}

TEST(PlanFile, AMissingOrUnreadableFileIsAnEmptyPlan)
{
    test::TestRuntime rt;
    ErrorTrace trace;
    ErrorTraceScope scope(trace);
    EXPECT_TRUE(LoadPlanBook(rt.dir() / "PLAN.INI").empty());
    EXPECT_TRUE(trace.Empty());
    EXPECT_FALSE(fs::exists(rt.dir() / "PLAN.INI")); // reading creates nothing
    fs::create_directory(rt.dir() / "PLAN.INI");
    EXPECT_TRUE(LoadPlanBook(rt.dir() / "PLAN.INI").empty());
    ASSERT_EQ(trace.Entries().size(), 1u);
    EXPECT_NE(trace.Entries()[0].what.find("PLAN.INI"), std::string::npos);
}

TEST(PlanFile, AFailedSaveLeavesTheFileAsItWasAndKeepsTheChanges)
{
    test::TestRuntime rt;
    const fs::path file = rt.dir() / "PLAN.INI";
    // Larger than the limit below, so that any rewrite of it fails.
    const std::string old = "; " + std::string(5000, '-') + "\r\n[2026]\r\n01.Netto=1.00\r\n";
    test::WriteFile(file, old);
    PlanBook book = LoadPlanBook(file);
    book.SetMonth({2026, 1}, {2.0, 3.0});

    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 4096;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    std::string message;
    try {
        SavePlanBook(book, file);
    } catch (const Error& e) {
        message = e.what();
    }
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_EQ(message.rfind("Die Planwerte können nicht gespeichert werden: ", 0), 0u) << message;
    EXPECT_NE(message.find("PLAN.INI"), std::string::npos) << message;
    EXPECT_EQ(test::ReadFile(file), old);
    EXPECT_EQ(std::distance(fs::directory_iterator(rt.dir()), fs::directory_iterator()), 1); // no temporary file
    EXPECT_EQ(book.Changed().size(), 1u);
    SavePlanBook(book, file); // with room again the change goes through
    EXPECT_EQ(LoadPlanBook(file).At({2026, 1}), (MonthPlan{2.0, 3.0}));

    fs::permissions(file, fs::perms::owner_read); // read-only: refused, even for root
    book.SetMonth({2026, 1}, {});
    EXPECT_THROW(SavePlanBook(book, file), Error);
    fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(LoadPlanBook(file).At({2026, 1}), (MonthPlan{2.0, 3.0}));
}
