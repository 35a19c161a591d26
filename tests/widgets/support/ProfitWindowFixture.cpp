#include "widgets/support/ProfitWindowFixture.h"

#include "base/Dates.h"
#include "app/PeriodSelection.h"
#include "app/Startup.h"
#include "widgets/support/StartDatabase.h"

#include <QCoreApplication>
#include <QFile>
#include <QtTest>

namespace gs::test {

RunOutcome FakeRun::operator()(TAdsTable&, const std::string& year, int period, TResultTables& tables,
                               const RunProgressCallback& progress)
{
    calls.push_back({year, period});
    tables.clear();
    RunOutcome outcome;
    const PeriodRange range = BuildPeriodFilter(year, period);
    outcome.rangeText = range.rangeText;
    for (TDateTime month : range.monthStarts)
        tables.KMC.push_back(KmcRow{month, std::nullopt, std::nullopt, std::nullopt});
    if (progress)
        progress({0, static_cast<int>(rows.size())});
    for (size_t i = 0; i < rows.size(); ++i) {
        const KmRow& row = rows[i];
        tables.KM.push_back(row);
        outcome.totals.net += row.WW_NETTO_INT.value_or(0);
        outcome.totals.commission += row.PROVISION_INT.value_or(0);
        outcome.totals.profit += row.GEWINN_INT.value_or(0);
        int y = 0, m = 0, d = 0;
        DecodeDate(row.DATE.value_or(0), y, m, d);
        for (KmcRow& month : tables.KMC) {
            int my = 0, mm = 0, md = 0;
            DecodeDate(*month.DATE, my, mm, md);
            if (my == y && mm == m) {
                month.WW_NETTO_INT = month.WW_NETTO_INT.value_or(0) + row.WW_NETTO_INT.value_or(0);
                month.PROVISION_INT = month.PROVISION_INT.value_or(0) + row.PROVISION_INT.value_or(0);
                month.GEWINN_INT = month.GEWINN_INT.value_or(0) + row.GEWINN_INT.value_or(0);
            }
        }
        if (progress && (i + 1) % 20 == 0) {
            ++progressSteps;
            if (atProgress)
                atProgress(static_cast<int>(i + 1));
            progress({static_cast<int>(i + 1), static_cast<int>(rows.size())});
        }
    }
    if (during)
        during(tables);
    const std::string totals = "Netto: " + std::to_string(static_cast<int>(outcome.totals.net)) +
                               "\t\tProvision: " + std::to_string(static_cast<int>(outcome.totals.commission)) +
                               "\t\tGewinn: " + std::to_string(static_cast<int>(outcome.totals.profit));
    outcome.chartTitle = "Titel " + range.rangeText;
    outcome.error = error;
    outcome.warnings = warnings;
    if (!error)
        outcome.summen = totals;
    return outcome;
}

StatisticsRunFunction FakeRun::function()
{
    return [this](TAdsTable& orders, const std::string& year, int period, TResultTables& tables,
                  const RunProgressCallback& progress) { return (*this)(orders, year, period, tables, progress); };
}

KmRow Document(int id, const char* name, int year, int month, int day, int net, int profit, int commission)
{
    KmRow row;
    row.ID_ORDER = id;
    row.ADRESSNAME = name;
    row.DATE = EncodeDate(year, month, day);
    row.WW_NETTO_INT = net;
    row.WW_NETTO = std::to_string(net) + ",00 €";
    row.GEWINN_INT = profit;
    row.GEWINN = std::to_string(profit) + ",00 €";
    row.PROVISION_INT = commission;
    row.PROVISION = std::to_string(commission) + ",00 €";
    row.printp = profit > 0 ? "Gewinnzone" : profit < 0 ? "Verlustzone" : "kein Gewinn";
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
