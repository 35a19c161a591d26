#include "widgets/support/ProfitWindowFixture.h"

#include "base/Dates.h"
#include "app/PeriodSelection.h"
#include "app/ResultColumns.h"
#include "app/Startup.h"
#include "widgets/support/StartDatabase.h"

#include <QCoreApplication>
#include <QFile>
#include <QtTest>

namespace gs::test {

namespace {

// Adds a row to the totals and to its month row, as the run does.
void Count(const KmRow& row, ResultTables& tables, RunTotals& totals)
{
    tables.KM.push_back(row);
    totals.documents += 1;
    totals.net += row.net;
    totals.commission += row.commission;
    totals.profit += row.profit;
    int y = 0, m = 0, d = 0;
    DecodeDate(row.date.value_or(0), y, m, d);
    for (KmcRow& month : tables.KMC) {
        int my = 0, mm = 0, md = 0;
        DecodeDate(*month.DATE, my, mm, md);
        if (my == y && mm == m) {
            month.WW_NETTO_INT = month.WW_NETTO_INT.value_or(0) + WholeEuros(row.net);
            month.PROVISION_INT = month.PROVISION_INT.value_or(0) + WholeEuros(row.commission);
            month.GEWINN_INT = month.GEWINN_INT.value_or(0) + WholeEuros(row.profit);
            month.documents += 1;
            month.net += row.net;
            month.commission += row.commission;
            month.profit += row.profit;
        }
    }
}

} // namespace

RunOutcome FakeRun::operator()(TAdsTable&, const PeriodChoice& choice, ResultTables& tables, RunFeedback* feedback,
                               PreviousYearRun* previous)
{
    calls.push_back({choice.yearText, choice.periodIndex, choice, previous != nullptr});
    tables.clear();
    RunOutcome outcome;
    const PeriodRange range = BuildChoiceRange(choice);
    outcome.rangeText = range.rangeText;
    tables.RangeText = range.rangeText;
    if (previous) {
        previous->tables.clear();
        previous->outcome = RunOutcome();
        const PeriodRange before = PreviousYearRange(range);
        previous->outcome.rangeText = before.rangeText;
        for (TDateTime month : before.monthStarts)
            previous->tables.KMC.push_back(KmcRow{month, std::nullopt, std::nullopt, std::nullopt});
        for (const KmRow& row : previousRows)
            Count(row, previous->tables, previous->outcome.totals);
    }
    for (TDateTime month : range.monthStarts)
        tables.KMC.push_back(KmcRow{month, std::nullopt, std::nullopt, std::nullopt});
    const auto progress = [feedback](const RunProgress& p) {
        if (feedback && feedback->progress)
            feedback->progress(p);
    };
    progress({0, static_cast<int>(rows.size())});
    for (size_t i = 0; i < rows.size(); ++i) {
        Count(rows[i], tables, outcome.totals);
        if ((i + 1) % 20 == 0) {
            ++progressSteps;
            if (atProgress)
                atProgress(static_cast<int>(i + 1));
            progress({static_cast<int>(i + 1), static_cast<int>(rows.size())});
            if (feedback && feedback->cancelRequested()) {
                outcome.cancelled = true;
                return outcome;
            }
        }
    }
    if (during)
        during(tables);
    outcome.error = error;
    outcome.warnings = warnings;
    return outcome;
}

StatisticsRunFunction FakeRun::function()
{
    return [this](TAdsTable& orders, const PeriodChoice& choice, ResultTables& tables, RunFeedback* feedback,
                  PreviousYearRun* previous) { return (*this)(orders, choice, tables, feedback, previous); };
}

KmRow Document(int id, const char* name, int year, int month, int day, double net, double profit, double commission)
{
    KmRow row;
    row.idOrder = id;
    row.adressName = name;
    row.date = EncodeDate(year, month, day);
    row.net = net;
    row.profit = profit;
    row.commission = commission;
    row.zone = ProfitZoneOf(WholeEuros(profit));
    return row;
}

ProfitWindowFixture::ProfitWindowFixture() : dialogs_(std::make_shared<FakeWidgetDialogs>())
{
    runtime_ = std::make_unique<Runtime>(std::filesystem::path(dir_.filePath("gewinnstatistik").toStdString()));
    runtime_->setDialogs(dialogs_);
    runtime_->now = [] { return EncodeDateTime(2006, 12, 8, 23, 55, 49, 0); };
}

ProfitWindowFixture::~ProfitWindowFixture() = default;

QString ProfitWindowFixture::databaseDir()
{
    const QString dir = dir_.filePath("daten");
    if (!databaseMade_) {
        CreateStartDatabase(dir.toStdString());
        databaseMade_ = true;
    }
    return dir;
}

std::unique_ptr<TFOrderProfit1> ProfitWindowFixture::makeWindow(const QStringList& args)
{
    CommandLine commandLine;
    for (QString a : args) {
        if (a.contains(QLatin1String("{db}")))
            a.replace(QLatin1String("{db}"), databaseDir());
        commandLine.args.push_back(a.toStdString());
    }
    return std::make_unique<TFOrderProfit1>(commandLine, ReadHostIdentity(*runtime_), run_.function());
}

std::unique_ptr<TFOrderProfit1> ProfitWindowFixture::startedWindow()
{
    auto window = makeWindow({QStringLiteral("{db}"), QStringLiteral("1"), QStringLiteral("12229")});
    window->show();
    Settle();
    if (!window->isStarted() || !window->isVisible()) {
        QTest::qFail("the window did not start", __FILE__, __LINE__);
        return nullptr;
    }
    return window;
}

QStringList ProfitWindowFixture::messages() const
{
    QStringList list;
    for (const auto& m : dialogs_->messages)
        list << QString::fromStdString(m.text);
    return list;
}

QString ProfitWindowFixture::userMode() const
{
    QFile f(dir_.filePath("UserMode.INI"));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLatin1(f.readAll());
}

void Settle()
{
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
}

} // namespace gs::test
