// The tab "Auswertung": the period's documents in groups with the period's totals; a group (or a
// month in the chart) shows its documents in "Liste" under a filter line that returns to the whole
// list; the group table goes through the grid print dialog like the list.
#include "app/GroupColumns.h"
#include "app/ProfitGroups.h"
#include "app/widgets/OrderProfit1.h"
#include "app/widgets/ProfitChart.h"
#include "app/widgets/ProfitGroupsPage.h"
#include "app/widgets/ProfitList.h"
#include "appearance/widgets/ColorWrapper.h"
#include "display/DisplayComponents.h"
#include "display/WaitCursor.h"
#include "widgets/support/ProfitWindowFixture.h"

#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QtTest>

using namespace gs;
using namespace gs::test;

namespace {

KmRow CustomerDocument(int id, int customer, const char* name, int month, double net, double profit)
{
    KmRow row = Document(id, name, 2006, month, 10, net, profit, 0);
    row.adressId = customer;
    return row;
}

} // namespace

class GroupsWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ProfitWindowFixture> fx;

    std::unique_ptr<TFOrderProfit1> ranWindow()
    {
        auto window = fx->startedWindow();
        if (!window)
            return window;
        fx->run().rows = {CustomerDocument(1, 10, "Müller GmbH", 2, 1000, 100),
                          CustomerDocument(2, 20, "Schulz KG", 3, 500, 300),
                          CustomerDocument(3, 10, "Müller GmbH", 3, 200, -50)};
        QTest::mouseClick(window->findButton(), Qt::LeftButton);
        Settle();
        return window;
    }

private slots:
    void initTestCase() { RegisterColorWrapper(); }
    void init() { fx = std::make_unique<ProfitWindowFixture>(); }
    void cleanup()
    {
        fx.reset();
        EndWait();
    }

    void groupsByCustomerLargestProfitFirstWithThePeriodsTotals()
    {
        auto window = ranWindow();
        QVERIFY(window);
        ProfitGroupsPage* page = window->groupsTab();
        page->setGrouping(GroupBy::Kunde);
        const std::vector<ProfitGroup>& groups = page->model()->groups();
        QCOMPARE(groups.size(), size_t(2));
        QCOMPARE(groups[0].name, std::string("Schulz KG")); // 300 before 50
        QCOMPARE(groups[0].documents, 1);
        QCOMPARE(groups[1].documents, 2);
        QCOMPARE(groups[1].profit, 50.0);
        QCOMPARE(groups[1].net, 1200.0);
        // The totals line names the same sums as the window's totals line.
        const QString totals = page->totalsText();
        QVERIFY2(totals.contains(QString::fromUtf8("Gewinn: 350,00 €")), qPrintable(totals));
        QVERIFY(window->totalsLine()->toPlainText().contains(QString::fromUtf8("Gewinn: 350,00 €")));
    }

    void everyFigureAndCaptionIsShownWhole()
    {
        auto window = fx->startedWindow();
        QVERIFY(window);
        fx->run().rows = {CustomerDocument(1, 123456, "Müller GmbH", 2, 98765432.10, 1234567.89)};
        fx->run().rows[0].commission = 7654321.98;
        QTest::mouseClick(window->findButton(), Qt::LeftButton);
        Settle();
        ProfitGroupsPage* page = window->groupsTab();
        window->pageControl()->setCurrentWidget(page);
        Settle();
        QHeaderView* header = page->grid()->horizontalHeader();
        const QAbstractItemModel* model = page->model();
        for (int c = 0; c < model->columnCount(); ++c) {
            if (c == GroupBarColumn)
                continue;
            const QString text = model->data(model->index(0, c), Qt::DisplayRole).toString();
            const QFont font = page->grid()->font();
            QVERIFY2(QFontMetrics(font).horizontalAdvance(text) < header->sectionSize(c),
                     qPrintable(QString("%1 in %2 px").arg(text).arg(header->sectionSize(c))));
        }
    }

    void aGroupShowsItsDocumentsUntilAllAreShownAgain()
    {
        auto window = ranWindow();
        QVERIFY(window);
        ProfitGroupsPage* page = window->groupsTab();
        page->setGrouping(GroupBy::Kunde);
        window->pageControl()->setCurrentWidget(page);
        // Enter on Müller GmbH (the second group).
        page->grid()->setFocus();
        page->grid()->setCurrentIndex(page->model()->index(1, 0));
        QTest::keyClick(page->grid(), Qt::Key_Return);
        Settle();
        QCOMPARE(window->pageControl()->currentWidget(), window->listTab());
        QCOMPARE(window->listModel()->rowCount(), 2);
        QVERIFY(window->filterLine()->isVisible());
        QVERIFY2(window->filterLine()->text().contains(QString::fromUtf8("Müller GmbH")),
                 qPrintable(window->filterLine()->text()));
        // The filtered list prints what it shows, with the group in its title.
        std::vector<ListDescription> printed;
        window->setListPrinter([&](const ListDescription& list, TI_DBGrid*) { printed.push_back(list); });
        QTest::mouseClick(window->printButton(), Qt::LeftButton);
        QCOMPARE(printed.size(), size_t(1));
        QCOMPARE(printed[0].grid.dataSet->RecordCount(), 2);
        QVERIFY2(printed[0].title.find("Müller GmbH") != std::string::npos, printed[0].title.c_str());
        QVERIFY2(printed[0].footer.find("Gewinn: 50,00 €") != std::string::npos, printed[0].footer.c_str());

        emit window->filterLine()->linkActivated(QStringLiteral("alle"));
        QCOMPARE(window->listModel()->rowCount(), 3);
        QVERIFY(!window->filterLine()->isVisible());
        QVERIFY(!window->listFilter());
    }

    void aClickOnAMonthInTheChartShowsThatMonthsDocuments()
    {
        auto window = ranWindow();
        QVERIFY(window);
        ProfitChart* chart = window->chart();
        emit chart->monthClicked(2); // March: the year's third month
        Settle();
        QVERIFY(window->listFilter());
        QCOMPARE(window->listFilter()->by, GroupBy::Monat);
        QCOMPARE(window->listModel()->rowCount(), 2);
        QCOMPARE(window->pageControl()->currentWidget(), window->listTab());
    }

    void aNewRunShowsTheWholeListAgain()
    {
        auto window = ranWindow();
        QVERIFY(window);
        emit window->chart()->monthClicked(1);
        QVERIFY(window->listFilter());
        QTest::mouseClick(window->findButton(), Qt::LeftButton);
        Settle();
        QVERIFY(!window->listFilter());
        QCOMPARE(window->listModel()->rowCount(), 3);
    }

    void theGroupTableGoesThroughTheGridPrintDialog()
    {
        auto window = ranWindow();
        QVERIFY(window);
        window->pageControl()->setCurrentWidget(window->groupsTab());
        QTest::mouseClick(window->printButton(), Qt::LeftButton);
        Settle();
        QCOMPARE(fx->dialogs().modalWindows.size(), size_t(1));
        QCOMPARE(fx->dialogs().modalWindows.front(), QStringLiteral("FGridPrinterClass"));
    }
};

QTEST_MAIN(GroupsWindowTest)
#include "GroupsWindowTest.moc"
