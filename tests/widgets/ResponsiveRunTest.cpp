// The window while a real statistics run works through a seeded year: its thread goes on handling
// events (timers fire, a tab switch is done at once), and "Abbrechen" ends the run.
#include "app/StatisticsRun.h"
#include "app/widgets/OrderProfit1.h"
#include "app/widgets/ProfitList.h"
#include "base/Dates.h"
#include "display/DisplayComponents.h"
#include "DemoDatabase.h"
#include "widgets/support/ProfitWindowFixture.h"

#include <QTimer>
#include <QtTest>

using namespace gs;
using gs::test::ProfitWindowFixture;
using gs::test::Settle;

class ResponsiveRunTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ProfitWindowFixture> fx;
    QString database;

    std::unique_ptr<TFOrderProfit1> startedRealWindow()
    {
        CommandLine commandLine;
        commandLine.args = {database.toStdString(), "1", "12229"};
        auto window = std::make_unique<TFOrderProfit1>(commandLine, ReadHostIdentity(fx->runtime()), &RunStatisticsFor);
        window->show();
        Settle();
        return window;
    }

private slots:
    void init()
    {
        fx = std::make_unique<ProfitWindowFixture>();
        // A year of 60,000 documents (about half of them paid or completed invoices and credit
        // notes) in the year the fixture's clock says it is.
        database = fx->programDir() + "/grosse-daten";
        demo::DemoOptions options;
        options.dir = database.toStdString();
        options.orders.documents = 60000;
        options.orders.firstYear = 2006;
        options.orders.lastYear = 2006;
        demo::WriteDemoDatabase(options);
    }
    void cleanup() { fx.reset(); }

    void eventsAreHandledWhileTheRunWorks()
    {
        auto window = startedRealWindow();
        QVERIFY(window->isStarted());
        int ticksWhileRunning = 0;
        bool switchedWhileRunning = false;
        QTimer tick;
        connect(&tick, &QTimer::timeout, [&] {
            if (!window->isRunning())
                return;
            ++ticksWhileRunning;
            if (!switchedWhileRunning) {
                window->pageControl()->setCurrentWidget(window->listTab());
                switchedWhileRunning = window->pageControl()->currentWidget() == window->listTab();
            }
        });
        tick.start(5);
        QTest::mouseClick(window->findButton(), Qt::LeftButton);
        Settle();
        tick.stop();
        QVERIFY2(ticksWhileRunning >= 2, qPrintable(QString::number(ticksWhileRunning)));
        QVERIFY(switchedWhileRunning);
        QVERIFY(window->listModel()->rowCount() > 10000); // and the run finished all the same
        QVERIFY(window->findButton()->isEnabled());
    }

    void abbrechenEndsTheRunSoon()
    {
        auto window = startedRealWindow();
        QVERIFY(window->isStarted());
        QTest::mouseClick(window->findButton(), Qt::LeftButton);
        Settle();
        const int wholeYear = window->listModel()->rowCount();
        QVERIFY(wholeYear > 10000);
        bool clicked = false;
        QTimer click;
        click.setSingleShot(true);
        connect(&click, &QTimer::timeout, [&] {
            if (window->isRunning() && window->cancelButton()->isVisible()) {
                QTest::mouseClick(window->cancelButton(), Qt::LeftButton);
                clicked = true;
            } else if (!clicked && window->isRunning()) {
                click.start(1);
            }
        });
        click.start(1);
        QTest::mouseClick(window->findButton(), Qt::LeftButton);
        Settle();
        if (!clicked)
            QSKIP("the run ended before the click could be made");
        QVERIFY(!window->isRunning());
        QVERIFY2(window->listModel()->rowCount() < wholeYear, "ended at a check after the click");
        QVERIFY(fx->messages().isEmpty());
    }
};

QTEST_MAIN(ResponsiveRunTest)
#include "ResponsiveRunTest.moc"
