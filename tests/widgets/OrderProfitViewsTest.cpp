// The statistics window after start-up: runs started by "Finden" and by changes of the period, the
// controls during a run, the totals line, the list with its titles and warning bars, the column
// layout the list remembers, the chart (bars or lines, the months of the last run, the title) and
// the print dispatch.
#include "app/PeriodSelection.h"
#include "app/WarningBar.h"
#include "display/DisplayComponents.h"
#include "display/GridLayout.h"
#include "app/widgets/OrderProfit1.h"
#include "app/widgets/ProfitChart.h"
#include "app/widgets/ProfitList.h"
#include "display/WaitCursor.h"
#include "appearance/widgets/ColorWrapper.h"
#include "display/QtColors.h"
#include "widgets/support/ProfitWindowFixture.h"

#include <QAreaSeries>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLineSeries>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QProgressBar>
#include <QtTest>

using namespace gs;
using gs::test::Document;
using gs::test::ProfitWindowFixture;
using gs::test::Settle;

class OrderProfitViewsTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ProfitWindowFixture> fx;

private slots:
    void initTestCase() { RegisterColorWrapper(); }
    void init() { fx = std::make_unique<ProfitWindowFixture>(); }
    void cleanup()
    {
        fx.reset();
        EndWait();
    }

    // --- runs -----------------------------------------------------------------------------------

    void findStartsOneRunAfterTheClickHasReturned()
    {
        auto window = fx->startedWindow();
        QVERIFY(window);
        QVERIFY(fx->run().calls.empty());
        QTest::mouseClick(window->findButton(), Qt::LeftButton);
        QVERIFY(fx->run().calls.empty()); // posted, not run inside the click
        Settle();
        QCOMPARE(fx->run().calls.size(), size_t(1));
        QCOMPARE(fx->run().calls[0].year, std::string("2006"));
        QCOMPARE(fx->run().calls[0].period, 0);
    }

    void changesOfPeriodOrYearStartARun()
    {
        auto window = fx->startedWindow();
        QVERIFY(window);
        window->periodBox()->setCurrentIndex(2);
        Settle();
        QCOMPARE(fx->run().calls.size(), size_t(1));
        QCOMPARE(fx->run().calls.back().period, 2);
        window->yearBox()->setCurrentIndex(3);
        Settle();
        QCOMPARE(fx->run().calls.size(), size_t(2));
        QCOMPARE(fx->run().calls.back().year, std::string("2003"));
        QCOMPARE(fx->run().calls.back().period, 2);
        // The first year disables the period box, which keeps and still applies its selection.
        window->yearBox()->setCurrentIndex(0);
        Settle();
        QCOMPARE(fx->run().calls.size(), size_t(3));
        QCOMPARE(fx->run().calls.back().year, std::string("2000"));
        QCOMPARE(fx->run().calls.back().period, 2);
        QVERIFY(!window->periodBox()->isEnabled());
    }

    void controlsAreDisabledDuringTheRunAndEnabledAfter()
    {
        auto window = fx->startedWindow();
        QVERIFY(window);
        for (int i = 0; i < 45; ++i)
            fx->run().rows.push_back(Document(100 + i, "Kunde", 2006, 3, 1 + i % 28, 1000, 100, 10));
        bool checked = false;
        fx->run().during = [&](TResultTables&) {
            checked = true;
            QVERIFY(!window->findButton()->isEnabled());
            QVERIFY(!window->printButton()->isEnabled());
            QVERIFY(!window->closeButton()->isEnabled());
            QVERIFY(!window->periodGroup()->isEnabled());
            QVERIFY(window->progressBar()->isVisible());
            QCOMPARE(window->progressBar()->maximum(), 45);
            QCOMPARE(window->progressBar()->value(), 40);
            QVERIFY(CurrentWait() == WaitKind::Wait);
            QVERIFY(window->isRunning());
            // The list does not follow KM while the run fills it.
            QCOMPARE(window->listModel()->rowCount(), 0);
            QVERIFY(window->barsCheckBox()->isEnabled());
        };
        QTest::mouseClick(window->findButton(), Qt::LeftButton);
        Settle();
        QVERIFY(checked);
        QCOMPARE(fx->run().progressSteps, 2);
        QVERIFY(window->findButton()->isEnabled());
        QVERIFY(window->printButton()->isEnabled());
        QVERIFY(window->closeButton()->isEnabled());
        QVERIFY(window->periodGroup()->isEnabled());
        QVERIFY(window->progressBar()->isHidden());
        QVERIFY(CurrentWait() == WaitKind::None);
        QCOMPARE(window->listModel()->rowCount(), 45);
        QCOMPARE(window->listGrid()->currentIndex().row(), 0);
    }

    void totalsAfterSuccessAndErrorsThroughTheMessageBox()
    {
        auto window = fx->startedWindow();
        QVERIFY(window);
        fx->run().rows = {Document(1, "A", 2006, 1, 5, 1000, 250, 50), Document(2, "B", 2006, 1, 9, 500, -20, 5)};
        QTest::mouseClick(window->findButton(), Qt::LeftButton);
        Settle();
        QCOMPARE(window->totalsLine()->toPlainText(), QStringLiteral("Netto: 1500\t\tProvision: 55\t\tGewinn: 230"));
        QCOMPARE(window->chart()->titleText(), QStringLiteral("Titel Bereich: 01.01.2006-31.12.2006"));
        QVERIFY(fx->messages().isEmpty());

        fx->run().error = "Auftrag kann nicht geladen werden.";
        fx->run().rows.pop_back();
        window->periodBox()->setCurrentIndex(1);
        Settle();
        QCOMPARE(fx->messages(), QStringList{"Auftrag kann nicht geladen werden."});
        // A failed run keeps the totals line of the last successful one; the chart shows its rows.
        QCOMPARE(window->totalsLine()->toPlainText(), QStringLiteral("Netto: 1500\t\tProvision: 55\t\tGewinn: 230"));
        QCOMPARE(window->chart()->titleText(), QStringLiteral("Titel Bereich: 01.01.2006-31.03.2006"));
        QCOMPARE(window->listModel()->rowCount(), 1);
        QVERIFY(window->findButton()->isEnabled());
        QVERIFY(CurrentWait() == WaitKind::None);
    }

    void documentsWithoutReadableProfitAreNamedBesideThePeriod()
    {
        auto window = fx->startedWindow();
        QVERIFY(window);
        fx->run().rows = {Document(1, "A", 2006, 1, 5, 1000, 250, 50)};
        fx->run().warnings = {"Hinweis: 1 Dokument ohne lesbare Gewinnangaben: 1"};
        QTest::mouseClick(window->findButton(), Qt::LeftButton);
        Settle();
        auto* hint = window->findChild<QLabel*>(QStringLiteral("lblHinweis"));
        QVERIFY(hint);
        QVERIFY(hint->isVisible());
        QCOMPARE(hint->text(), QStringLiteral("Hinweis: 1 Dokument ohne lesbare Gewinnangaben: 1"));
        fx->run().warnings.clear();
        window->periodBox()->setCurrentIndex(1);
        Settle();
        QVERIFY(!hint->isVisible());
    }

    void aRaisedErrorEndsTheRunLikeAReportedOne()
    {
        auto window = fx->startedWindow();
        QVERIFY(window);
        fx->run().during = [](TResultTables&) { throw std::runtime_error("Tabelle gesperrt"); };
        QTest::mouseClick(window->findButton(), Qt::LeftButton);
        Settle();
        QCOMPARE(fx->messages(), QStringList{"Tabelle gesperrt"});
        QCOMPARE(window->totalsLine()->toPlainText(), QStringLiteral("Summen"));
        QVERIFY(window->findButton()->isEnabled());
        QVERIFY(window->progressBar()->isHidden());
    }

    // --- list -----------------------------------------------------------------------------------

    void listColumnsTitlesAndFonts()
    {
        auto window = fx->startedWindow();
        QVERIFY(window);
        TI_DBGrid* grid = window->listGrid();
        QCOMPARE(grid->objectName(), QStringLiteral("DBGrid_CURRGW1"));
        const QStringList titles{"Auftrag", "Adresse", "Datum", " Warnung", "Nettowert", "Gewinn", "Provsion"};
        const QList<int> widths{86, 81, 103, 77, 85, 54, 70};
        QAbstractItemModel* model = grid->model();
        QCOMPARE(model->columnCount(), 7);
        for (int c = 0; c < 7; ++c) {
            QCOMPARE(model->headerData(c, Qt::Horizontal).toString(), titles[c]);
            QCOMPARE(grid->horizontalHeader()->sectionSize(c), widths[c]);
            QCOMPARE(model->headerData(c, Qt::Horizontal, Qt::FontRole).value<QFont>().bold(), c == 3);
            QCOMPARE(model->headerData(c, Qt::Horizontal, Qt::BackgroundRole).value<QColor>(), QColor(0x80, 0x80, 0xFF));
            QCOMPARE(model->headerData(c, Qt::Horizontal, Qt::ForegroundRole).value<QColor>(), QColor(Qt::white));
        }
        fx->run().rows = {Document(4711, "Müller GmbH", 2006, 4, 3, 1000, 250, 50)};
        QTest::mouseClick(window->findButton(), Qt::LeftButton);
        Settle();
        QCOMPARE(model->data(model->index(0, 0)).toString(), QStringLiteral("4711"));
        QCOMPARE(model->data(model->index(0, 1)).toString(), QString::fromUtf8("Müller GmbH"));
        QVERIFY(model->data(model->index(0, 1), Qt::FontRole).value<QFont>().bold());
        QCOMPARE(model->data(model->index(0, 1), Qt::FontRole).value<QFont>().families().front(), QStringLiteral("Arial"));
        QCOMPARE(model->data(model->index(0, 2)).toString(), QStringLiteral("03.04.2006"));
        QCOMPARE(model->data(model->index(0, 4)).toString(), QString::fromUtf8("1000,00 €"));
        QCOMPARE(model->data(model->index(0, 4), Qt::FontRole).value<QFont>().families().front(),
                 QStringLiteral("Tahoma"));
        QCOMPARE(grid->rowHeight(0), 17);
        QVERIFY(!(model->flags(model->index(0, 1)) & Qt::ItemIsEditable));
        QVERIFY(grid->showGrid());
        QCOMPARE(grid->selectionBehavior(), QAbstractItemView::SelectRows);
    }

    void warningBarsArePaintedIntoTheirCells()
    {
        auto window = fx->startedWindow();
        QVERIFY(window);
        window->pageControl()->setCurrentWidget(window->listTab());
        fx->run().rows = {Document(1, "Gewinn", 2006, 1, 5, 1000, 250, 0), Document(2, "Verlust", 2006, 1, 6, 1000, -500, 0),
                          Document(3, "Null", 2006, 1, 7, 1000, 0, 0), Document(4, "OhneNetto", 2006, 1, 8, 0, 30, 0)};
        QTest::mouseClick(window->findButton(), Qt::LeftButton);
        Settle();
        TI_DBGrid* grid = window->listGrid();
        grid->clearSelection(); // a selected row is highlighted; the bar cell is not
        const int column = WarningBarColumn();
        const QImage image = grid->viewport()->grab().toImage();
        const int x0 = grid->columnViewportPosition(column);
        const int w = grid->columnWidth(column);
        struct Expect {
            int row;
            unsigned color;
            int length;
        };
        for (const Expect& e : {Expect{0, WarningBarProfitColor, ComputeWarningBar(250, 1000, w - 1).length},
                                Expect{1, WarningBarLossColor, ComputeWarningBar(-500, 1000, w - 1).length},
                                Expect{2, WarningBarNoProfitColor, w - 1}, Expect{3, WarningBarProfitColor, w - 1}}) {
            const int y = grid->rowViewportPosition(e.row) + 8;
            QCOMPARE(image.pixelColor(x0 + 1, y), HostColorToQColor(e.color));
            QCOMPARE(image.pixelColor(x0 + e.length - 2, y), HostColorToQColor(e.color));
            if (e.length < w - 3)
                QCOMPARE(image.pixelColor(x0 + e.length + 2, y), QColor(Qt::white));
        }
    }

    void columnLayoutIsSavedOnCloseAndRestoredOnShow()
    {
        {
            auto window = fx->startedWindow();
            QVERIFY(window);
            QHeaderView* header = window->listGrid()->horizontalHeader();
            header->moveSection(header->visualIndex(3), 0); // "Warnung" first
            header->resizeSection(2, 140);                   // "Datum" wider
            // Hide "Provsion" through the title row's menu, as the user does.
            std::unique_ptr<QMenu> menu(BuildColumnMenu(window->listGrid(), window.get()));
            QCOMPARE(menu->actions().size(), 7);
            QCOMPARE(menu->actions().front()->text(), QStringLiteral("Warnung"));
            menu->actions().back()->setChecked(false);
            QVERIFY(header->isSectionHidden(6));
            window->close();
        }
        QVERIFY(QFileInfo(fx->programDir() + "/gewinnstatistikDBGrid_CURRGW1.COL").size() > 0);
        auto window = fx->makeWindow({"{db}", "1", "12229"});
        QHeaderView* header = window->listGrid()->horizontalHeader();
        QCOMPARE(header->visualIndex(3), 3); // as designed until shown
        window->show();
        Settle();
        QCOMPARE(header->visualIndex(3), 0);
        QCOMPARE(header->sectionSize(2), 140);
        QVERIFY(header->isSectionHidden(6));
        QCOMPARE(header->sectionSize(0), 86);
    }

    void theLastVisibleColumnCannotBeHidden()
    {
        auto window = fx->startedWindow();
        QVERIFY(window);
        std::unique_ptr<QMenu> menu(BuildColumnMenu(window->listGrid(), window.get()));
        for (QAction* a : menu->actions())
            a->setChecked(false);
        QHeaderView* header = window->listGrid()->horizontalHeader();
        QCOMPARE(header->count() - header->hiddenSectionCount(), 1);
        QVERIFY(menu->actions().back()->isChecked());
    }

    // --- chart ----------------------------------------------------------------------------------

    void chartStartsWithItsDesignTitleAndBars()
    {
        auto window = fx->startedWindow();
        QVERIFY(window);
        TProfitChart* chart = window->chart();
        QCOMPARE(chart->titleText(), QStringLiteral("TDBChart"));
        QVERIFY(window->barsCheckBox()->isChecked());
        QCOMPARE(window->barsCheckBox()->text(), QStringLiteral("Balken"));
        QVERIFY(!chart->chart()->legend()->isVisible());
        QCOMPARE(chart->rubberBand(), QChartView::NoRubberBand);
        const QStringList names{"SeriesBWWNETTO", "SeriesBPROV", "SeriesBPROFIT",
                                "SeriesLWWNETTO", "SeriesLPROV",  "SeriesLPROFIT"};
        const QList<QAbstractSeries*> series = chart->chart()->series();
        QCOMPARE(series.size(), 6);
        for (int i = 0; i < 6; ++i)
            QCOMPARE(series[i]->name(), names[i]);
        for (int i = 0; i < 3; ++i) {
            QCOMPARE(chart->lineSeries(i)->pen().width(), 5);
            QVERIFY(!chart->lineSeries(i)->pointsVisible());
            QCOMPARE(chart->barSeries(i)->color(), chart->lineSeries(i)->color());
        }
        QCOMPARE(chart->barSeries(0)->color(), QColor(0, 0, 255));
        QCOMPARE(chart->barSeries(1)->color(), QColor(0xFF, 0x80, 0x40));
        QCOMPARE(chart->barSeries(2)->color(), QColor(0, 255, 0));
        QCOMPARE(window->findChild<TFlatPanel*>("FlatPanel1")->caption(), QStringLiteral("Netto"));
        QCOMPARE(window->findChild<TFlatPanel*>("FlatPanel2")->caption(), QStringLiteral("Provisionen"));
        QCOMPARE(window->findChild<TFlatPanel*>("FlatPanel3")->caption(), QStringLiteral("Gewinn"));
    }

    void balkenSwitchesBetweenBarsAndLines()
    {
        auto window = fx->startedWindow();
        QVERIFY(window);
        TProfitChart* chart = window->chart();
        const auto shown = [chart](bool bars) {
            for (int i = 0; i < 3; ++i)
                if (chart->barSeries(i)->isVisible() != bars || chart->lineSeries(i)->isVisible() == bars)
                    return false;
            return true;
        };
        QVERIFY(shown(true));
        QTest::mouseClick(window->barsCheckBox(), Qt::LeftButton);
        QVERIFY(!window->barsCheckBox()->isChecked());
        QVERIFY(shown(false));
        QTest::mouseClick(window->barsCheckBox(), Qt::LeftButton);
        QVERIFY(shown(true));
    }

    void axisShowsExactlyTheMonthsOfTheLastRun()
    {
        auto window = fx->startedWindow();
        QVERIFY(window);
        fx->run().rows = {Document(1, "A", 2006, 5, 2, 900, 100, 10), Document(2, "B", 2006, 5, 20, 100, 50, 5)};
        QTest::mouseClick(window->findButton(), Qt::LeftButton);
        Settle();
        QCOMPARE(window->chart()->monthLabels().size(), 12);
        QCOMPARE(window->chart()->monthLabels().front(), QStringLiteral("01.2006"));
        window->periodBox()->setCurrentIndex(2); // 2. Quartal
        Settle();
        QCOMPARE(window->chart()->monthLabels(), (QStringList{"04.2006", "05.2006", "06.2006"}));
        // Month-wide bars: every series covers each month from -0.5 to +0.5 around its centre.
        QCOMPARE(window->chart()->barSeries(0)->upperSeries()->points(), BarOutline({0, 1000, 0}));
        QCOMPARE(window->chart()->barSeries(1)->upperSeries()->points(), BarOutline({0, 15, 0}));
        QCOMPARE(window->chart()->barSeries(2)->upperSeries()->points(), BarOutline({0, 150, 0}));
        QCOMPARE(window->chart()->lineSeries(2)->count(), 3);
        QCOMPARE(window->chart()->lineSeries(2)->at(1), QPointF(1, 150));
    }

    // --- print dispatch -------------------------------------------------------------------------

    void chartIsPrintedThroughThePrintDialog()
    {
        auto window = fx->startedWindow();
        QVERIFY(window);
        fx->run().rows = {Document(1, "A", 2006, 5, 2, 900, 100, 10)};
        QTest::mouseClick(window->findButton(), Qt::LeftButton);
        Settle();
        const QString pdf = fx->programDir() + "/grafik.pdf";
        fx->dialogs().configurePrinter = [pdf](QPrinter& p) {
            p.setOutputFormat(QPrinter::PdfFormat);
            p.setOutputFileName(pdf);
        };
        bool listPrinted = false;
        window->setListPrinter([&](const ListPrintRequest&, TI_DBGrid*, TResultTables&) { listPrinted = true; });
        // Cancelled: nothing printed.
        QTest::mouseClick(window->printButton(), Qt::LeftButton);
        QCOMPARE(fx->dialogs().printerRequests, 1);
        QVERIFY(!QFileInfo::exists(pdf));
        fx->dialogs().printerAnswers = {true};
        const QSizeF shownSize = window->chart()->chart()->size();
        const QMargins shownMargins = window->chart()->chart()->margins();
        QTest::mouseClick(window->printButton(), Qt::LeftButton);
        QCOMPARE(window->chart()->chart()->size(), shownSize); // the window's chart is as it was
        QCOMPARE(window->chart()->chart()->margins(), shownMargins);
        QCOMPARE(fx->dialogs().printerRequests, 2);
        QVERIFY(QFileInfo(pdf).size() > 1000);
        QVERIFY(!listPrinted);
    }

    void listPrintHandsTheRequestToTheGridPrintDialog()
    {
        auto window = fx->startedWindow();
        QVERIFY(window);
        fx->run().rows = {Document(1, "A", 2006, 5, 2, 900, 100, 10)};
        QTest::mouseClick(window->findButton(), Qt::LeftButton);
        Settle();
        window->pageControl()->setCurrentWidget(window->listTab());
        std::vector<ListPrintRequest> requests;
        TI_DBGrid* printedGrid = nullptr;
        size_t printedRows = 0;
        window->setListPrinter([&](const ListPrintRequest& r, TI_DBGrid* grid, TResultTables& tables) {
            requests.push_back(r);
            printedGrid = grid;
            printedRows = tables.KM.size();
        });
        QTest::mouseClick(window->printButton(), Qt::LeftButton);
        QCOMPARE(fx->dialogs().printerRequests, 0);
        QCOMPARE(requests.size(), size_t(1));
        const ListPrintRequest& r = requests.front();
        QCOMPARE(r.name, std::string("GEWINN"));
        QCOMPARE(r.titleText, std::string("Gewinne, erstellt 08.12.2006 23:55:49"));
        QCOMPARE(r.fileStem, std::string("GEWINN-08.12.2006 23:55:49-"));
        QCOMPARE(r.totalsText, window->totalsLine()->toPlainText().toStdString());
        QCOMPARE(r.cellMode, 2);
        QCOMPARE(r.flags, 64);
        QVERIFY(!r.currentRecordOnly);
        QVERIFY(r.csvFileName.empty());
        QCOMPARE(printedGrid, window->listGrid());
        QCOMPARE(printedRows, size_t(1));
    }

    void closeButtonClosesAndSavesThePlacement()
    {
        auto window = fx->startedWindow();
        QVERIFY(window);
        window->move(33, 44);
        QTest::mouseClick(window->closeButton(), Qt::LeftButton);
        QVERIFY(!window->isVisible());
        QVERIFY(fx->userMode().contains("TFOrderProfit1.Left=33\r\nTFOrderProfit1.Top=44"));
    }
};

QTEST_MAIN(OrderProfitViewsTest)
#include "OrderProfitViewsTest.moc"
