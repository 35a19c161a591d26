#pragma once
// Shared pieces of the statistics window tests: a fresh runtime per test in its own program
// directory (clock fixed at 08.12.2006 23:55:49, fake dialogs), a database the window can start on,
// and a fake statistics run that counts its calls and fills KM and KMC for the selected period.
#include "app/ResultTables.h"
#include "app/Runtime.h"
#include "app/StatisticsRun.h"
#include "app/widgets/OrderProfit1.h"
#include "widgets/support/FakeWidgetDialogs.h"

#include <QStringList>
#include <QTemporaryDir>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace gs::test {

struct FakeRun {
    struct Call {
        std::string year;
        int period = 0;
        PeriodChoice choice;
        bool previousYear = false; // the previous year was asked for
    };
    std::vector<Call> calls;
    std::vector<KmRow> rows;                          // appended to KM by every run
    std::vector<KmRow> previousRows;                  // the previous year's, when it is asked for
    std::optional<std::string> error;                 // reported by the next runs while set
    std::vector<std::string> warnings;                // reported by the next runs while set
    std::function<void(ResultTables&)> during;       // called inside the run, after KM is filled
    int progressSteps = 0;                            // progress reports (each after 20 documents)
    std::function<void(int position)> atProgress;     // called inside the run before each such report

    RunOutcome operator()(TAdsTable& orders, const PeriodChoice& choice, ResultTables& tables, RunFeedback* feedback,
                          PreviousYearRun* previous);
    StatisticsRunFunction function();
};

// A document row as a run makes it.
KmRow Document(int id, const char* name, int year, int month, int day, double net, double profit, double commission);

class ProfitWindowFixture {
public:
    ProfitWindowFixture();
    ~ProfitWindowFixture();

    Runtime& runtime() { return *runtime_; }
    FakeWidgetDialogs& dialogs() { return *dialogs_; }
    FakeRun& run() { return run_; }
    QString programDir() const { return dir_.path(); }
    QString databaseDir();   // created on first use

    // A window for the command line; {db} in an argument stands for databaseDir().
    std::unique_ptr<TFOrderProfit1> makeWindow(const QStringList& args);
    // A window shown on the database ("1", release 12229); nullptr (with a test failure) when the
    // start did not succeed.
    std::unique_ptr<TFOrderProfit1> startedWindow();

    // The texts of the messages shown so far.
    QStringList messages() const;
    QString userMode() const; // UserMode.INI beside the program ("" when missing)

private:
    QTemporaryDir dir_;
    std::shared_ptr<FakeWidgetDialogs> dialogs_;
    std::unique_ptr<Runtime> runtime_;
    FakeRun run_;
    bool databaseMade_ = false;
};

// Processes events until nothing is pending (the posted run has run).
void Settle();

} // namespace gs::test
