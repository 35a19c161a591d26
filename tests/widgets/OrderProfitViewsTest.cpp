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

#include <cmath>

#include <QFileInfo>
#include <QHeaderView>
#include <QHelpEvent>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QProgressBar>
#include <QRegularExpression>
#include <QToolTip>
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
        // Looked at from the window's thread while the run waits on its own.
        fx->run().during = [&](ResultTables&) {
            QMetaObject::invokeMethod(
                window.get(),
                [&] {
                    checked = true;
                    QVERIFY(!window->findButton()->isEnabled());
                    QVERIFY(!window->printButton()->isEnabled());
                    QVERIFY(!window->closeButton()->isEnabled());
                    QVERIFY(!window->periodGroup()->isEnabled());
                    QVERIFY(window->cancelButton()->isVisible() && window->cancelButton()->isEnabled());
                    QVERIFY(window->progressBar()->isVisible());
                    QCOMPARE(window->progressBar()->maximum(), 45);
                    QCOMPARE(window->progressBar()->value(), 40);
                    QVERIFY(CurrentWait() == WaitKind::Wait);
                    QVERIFY(window->isRunning());
                    // The list does not follow KM while the run fills it.
                    QCOMPARE(window->listModel()->rowCount(), 0);
                    QVERIFY(window->barsCheckBox()->isEnabled());
                },
                Qt::BlockingQueuedConnection);
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
        const QString totals = QString::fromUtf8("Netto: 1.500,00 \u20AC\t\tProvision: 55,00 \u20AC\t\tGewinn: 230,00 \u20AC\t\tMarge: 15,3 %");
        QCOMPARE(window->totalsLine()->toPlainText(), totals);
        QCOMPARE(window->chart()->titleText(),
                 QString::fromUtf8("Netto: 1.500,00 \u20AC Provision: 55,00 \u20AC  Gewinn: 230,00 \u20AC  Marge: 15,3 % "
                                   "Bereich: 01.01.2006-31.12.2006"));
        QVERIFY(fx->messages().isEmpty());

        fx->run().error = "Auftrag kann nicht geladen werden.";
        fx->run().rows.pop_back();
        window->periodBox()->setCurrentIndex(1);
        Settle();
        QCOMPARE(fx->messages(), QStringList{"Auftrag kann nicht geladen werden."});
        // A failed run keeps the totals line of the last successful one; the chart shows its rows.
        QCOMPARE(window->totalsLine()->toPlainText(), totals);
        QCOMPARE(window->chart()->titleText(),
                 QString::fromUtf8("Netto: 1.000,00 \u20AC Provision: 50,00 \u20AC  Gewinn: 250,00 \u20AC  Marge: 25,0 % "
                                   "Bereich: 01.01.2006-31.03.2006"));
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

    void theHintTakesItsOwnRoomAndEveryButtonTakesAClickAtAnySize()
    {
        auto window = fx->startedWindow();
        QVERIFY(window);
        fx->run().rows = {Document(1, "A", 2006, 1, 5, 1000, 250, 50)};
        QStringList ids;
        for (int i = 0; i < 391; ++i)
            ids << QString::number(100000 + i);
        fx->run().warnings = {"Hinweis: 391 Dokumente ohne lesbare Gewinnangaben: " + ids.join(", ").toStdString()};
        QTest::mouseClick(window->findButton(), Qt::LeftButton);
        Settle();
        auto* hint = window->findChild<QLabel*>(QStringLiteral("lblHinweis"));
        QVERIFY(hint && hint->isVisible());
        int printed = 0;
        window->setListPrinter([&](const ListDescription&, TI_DBGrid*) { ++printed; });
        window->pageControl()->setCurrentWidget(window->listTab());
        const QList<QWidget*> controls{window->findButton(), window->printButton(), window->closeButton(),
                                       window->periodGroup()};
        for (const QSize size : {QSize(TFOrderProfit1::DesignWidth, TFOrderProfit1::DesignHeight), QSize(800, 500),
                                 QSize(1100, 600), QSize(1590, 800), QSize(TFOrderProfit1::DesignWidth + 1, 700)}) {
            window->resize(size);
            Settle();
            const QRect hintArea(hint->mapTo(window.get(), QPoint(0, 0)), hint->size());
            QVERIFY2(hintArea.width() > 0, qPrintable(QString("%1x%2").arg(size.width()).arg(size.height())));
            for (QWidget* c : controls) {
                const QRect area(c->mapTo(window.get(), QPoint(0, 0)), c->size());
                QVERIFY2(!hintArea.intersects(area), qPrintable(QString("%1 covered at %2x%3")
                                                                     .arg(c->objectName())
                                                                     .arg(size.width())
                                                                     .arg(size.height())));
                // The widget under the control's centre is the control itself (or a child of it).
                QWidget* under = window->childAt(c->mapTo(window.get(), c->rect().center()));
                QVERIFY2(under == c || c->isAncestorOf(under), qPrintable(c->objectName()));
            }
            const int before = printed;
            QTest::mouseClick(window->printButton(), Qt::LeftButton);
            Settle();
            QCOMPARE(printed, before + 1);
        }
        QVERIFY(hint->toolTip().endsWith(QStringLiteral("100390")));
    }

    void amountsStandRightWholeAndTheTotalsLineIsNeverCut()
    {
        auto window = fx->startedWindow();
        QVERIFY(window);
        fx->run().rows = {Document(1, "A", 2006, 1, 5, 987654321.12, -123456789.5, 44444444.25),
                          Document(2, "B", 2006, 1, 9, 5, 1, 0)};
        QTest::mouseClick(window->findButton(), Qt::LeftButton);
        Settle();
        ProfitListModel* model = window->listModel();
        QHeaderView* header = window->listGrid()->horizontalHeader();
        for (int c : {4, 5, 6}) {
            QVERIFY(model->data(model->index(0, c), Qt::TextAlignmentRole).toInt() & Qt::AlignRight);
            const QString text = model->data(model->index(0, c), Qt::DisplayRole).toString();
            const QFont font = model->data(model->index(0, c), Qt::FontRole).value<QFont>();
            QVERIFY2(QFontMetrics(font).horizontalAdvance(text) < header->sectionSize(c),
                     qPrintable(QString("%1 in %2 px").arg(text).arg(header->sectionSize(c))));
        }
        // The window keeps room for the whole totals line.
        const QString totals = window->totalsLine()->toPlainText();
        QVERIFY(totals.contains(QString::fromUtf8("987.654.326,12 €")));
        window->resize(TFOrderProfit1::DesignWidth, TFOrderProfit1::DesignHeight);
        Settle();
        QVERIFY(window->width() > TFOrderProfit1::DesignWidth);
        const QFontMetrics metrics(window->totalsLine()->font());
        // Where the last figure ends: each tab goes on to the next tab stop.
        const qreal tabStop = window->totalsLine()->tabStopDistance();
        const QStringList parts = totals.split(QLatin1Char('\t'));
        qreal lastFigureEnd = 0;
        for (int i = 0; i < parts.size(); ++i) {
            lastFigureEnd += metrics.horizontalAdvance(parts[i]);
            if (i + 1 < parts.size())
                lastFigureEnd = (std::floor(lastFigureEnd / tabStop) + 1) * tabStop;
        }
        QVERIFY2(window->totalsLine()->viewport()->width() > lastFigureEnd,
                 qPrintable(QString("%1 px for %2 px").arg(window->totalsLine()->viewport()->width()).arg(lastFigureEnd)));

        // A width the user chose stays.
        header->resizeSection(4, 300);
        window->periodBox()->setCurrentIndex(1);
        Settle();
        QCOMPARE(header->sectionSize(4), 300);
    }

    void aRaisedErrorEndsTheRunLikeAReportedOne()
    {
        auto window = fx->startedWindow();
        QVERIFY(window);
        fx->run().during = [](ResultTables&) { throw std::runtime_error("Tabelle gesperrt"); };
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
        const QStringList titles{"Auftrag", "Adresse", "Datum", " Warnung", "Nettowert", "Gewinn", "Provsion", "Marge"};
        const QList<int> widths{86, 81, 103, 77, 85, 54, 70, 56};
        QAbstractItemModel* model = grid->model();
        QCOMPARE(model->columnCount(), 8);
        QVERIFY(grid->isColumnHidden(7)); // the margin only once the user shows it
        grid->setColumnHidden(7, false);
        for (int c = 0; c < 8; ++c) {
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
        QCOMPARE(model->data(model->index(0, 4)).toString(), QString::fromUtf8("1.000,00 €"));
        QCOMPARE(model->data(model->index(0, 4), Qt::FontRole).value<QFont>().families().front(),
                 QStringLiteral("Tahoma"));
        QCOMPARE(model->data(model->index(0, 7)).toString(), QStringLiteral("25,0 %"));
        QVERIFY(model->data(model->index(0, 7), Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignRight);
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
            QCOMPARE(menu->actions().size(), 8);
            QCOMPARE(menu->actions().front()->text(), QStringLiteral("Warnung"));
            // "Marge" is offered unchecked; the user shows it and hides "Provsion".
            QAction* margin = menu->actions().back();
            QCOMPARE(margin->text(), QStringLiteral("Marge"));
            QVERIFY(!margin->isChecked());
            margin->setChecked(true);
            QVERIFY(!header->isSectionHidden(7));
            menu->actions()[6]->setChecked(false);
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
        QVERIFY(!header->isSectionHidden(7));
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
        QVERIFY(menu->actions()[6]->isChecked()); // "Provsion": "Marge" after it was hidden already
    }

    // --- chart ----------------------------------------------------------------------------------

    void chartStartsWithAHintWhatToDoAndBars()
    {
        auto window = fx->startedWindow();
        QVERIFY(window);
        ProfitChart* chart = window->chart();
        QCOMPARE(chart->objectName(), QStringLiteral("DBChart1"));
        QCOMPARE(chart->titleText(), QString::fromUtf8("Jahr und Zeitraum wählen, dann „Finden“ klicken."));
        QVERIFY(window->barsCheckBox()->isChecked());
        QCOMPARE(window->barsCheckBox()->text(), QStringLiteral("Balken"));
        const QStringList names{"SeriesBWWNETTO", "SeriesBPROV", "SeriesBPROFIT",
                                "SeriesLWWNETTO", "SeriesLPROV",  "SeriesLPROFIT"};
        const QStringList objectNames{"Series2", "Series1", "Series3", "Series4", "Series6", "Series5"};
        for (int i = 0; i < 6; ++i) {
            QCOMPARE(chart->series()[static_cast<size_t>(i)].name, names[i]);
            QCOMPARE(chart->series()[static_cast<size_t>(i)].objectName, objectNames[i]);
        }
        for (int i = 0; i < 3; ++i)
            QCOMPARE(chart->barSeries(i).color, chart->lineSeries(i).color);
        QCOMPARE(HostColorToQColor(chart->barSeries(0).color), QColor(0, 0, 255));
        QCOMPARE(HostColorToQColor(chart->barSeries(1).color), QColor(0xFF, 0x80, 0x40));
        QCOMPARE(HostColorToQColor(chart->barSeries(2).color), QColor(0, 255, 0));
        // Before the first run the value axis reads 0 and 1, not a row of digits.
        QCOMPARE(chart->valueLabels(), (QStringList{"0", "1"}));
        QCOMPARE(window->findChild<TFlatPanel*>("FlatPanel1")->caption(), QStringLiteral("Netto"));
        QCOMPARE(window->findChild<TFlatPanel*>("FlatPanel2")->caption(), QStringLiteral("Provisionen"));
        QCOMPARE(window->findChild<TFlatPanel*>("FlatPanel3")->caption(), QStringLiteral("Gewinn"));
    }

    void balkenSwitchesBetweenBarsAndLines()
    {
        auto window = fx->startedWindow();
        QVERIFY(window);
        ProfitChart* chart = window->chart();
        const auto shown = [chart](bool bars) {
            for (int i = 0; i < 3; ++i)
                if (chart->barSeries(i).visible != bars || chart->lineSeries(i).visible == bars)
                    return false;
            return chart->barsActive() == bars;
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
        QCOMPARE(window->chart()->barSeries(0).values, (QList<qreal>{0, 1000, 0}));
        QCOMPARE(window->chart()->barSeries(1).values, (QList<qreal>{0, 15, 0}));
        QCOMPARE(window->chart()->barSeries(2).values, (QList<qreal>{0, 150, 0}));
        QCOMPARE(window->chart()->lineSeries(2).values, (QList<qreal>{0, 150, 0}));
    }

    // Counts, for each month and series, the pixels in the month's area painted in one of the
    // series' shades; fails when a series does not show in a month.
    static void verifyEverySeriesShows(ProfitChart* chart, const char* mode)
    {
        const QImage image = chart->grab().toImage();
        for (int month = 0; month < chart->monthLabels().size(); ++month) {
            const QRect area = chart->monthArea(month).toAlignedRect() & image.rect();
            for (int s = 0; s < 3; ++s) {
                const ChartShades shades = ShadesOf(chart->barSeries(s).color);
                int pixels = 0;
                for (int y = area.top(); y <= area.bottom(); ++y)
                    for (int x = area.left(); x <= area.right(); ++x) {
                        const QColor c = image.pixelColor(x, y);
                        if (c == shades.face || c == shades.top || c == shades.side)
                            ++pixels;
                    }
                QVERIFY2(pixels >= 4, qPrintable(QStringLiteral("%1, month %2, series %3: %4 pixels")
                                                     .arg(mode).arg(month + 1).arg(s).arg(pixels)));
            }
        }
    }

    void everySeriesShowsInEveryMonthAsBars()
    {
        auto window = fx->startedWindow();
        QVERIFY(window);
        // The year of the demo: a commission of a tenth of the profit, which 2D bars of full width
        // hid completely behind the profit; then every order of size, a loss, equal values and
        // months without documents.
        fx->run().rows = {Document(1, "A", 2006, 1, 5, 2147000, 438000, 39000),
                          Document(2, "B", 2006, 2, 5, 300000, 20000, 60000),
                          Document(3, "C", 2006, 3, 5, 500000, -50000, 10000),
                          Document(4, "D", 2006, 4, 5, 100000, 100000, 100000),
                          Document(5, "E", 2006, 5, 5, 10000, 300000, 400000)};
        QTest::mouseClick(window->findButton(), Qt::LeftButton);
        Settle();
        QCOMPARE(window->chart()->monthLabels().size(), 12);
        verifyEverySeriesShows(window->chart(), "bars");
        // The same in a quarter, where the months are wide.
        window->periodBox()->setCurrentIndex(1);
        Settle();
        QCOMPARE(window->chart()->monthLabels().size(), 3);
        verifyEverySeriesShows(window->chart(), "bars of a quarter");
    }

    void everySeriesShowsInEveryMonthAsLines()
    {
        auto window = fx->startedWindow();
        QVERIFY(window);
        // Lines 5 pixels thick can cover each other where their values happen to meet; each series
        // stands at its own depth, so equal values and empty months still show all three.
        fx->run().rows = {Document(1, "A", 2006, 1, 5, 2147000, 438000, 39000),
                          Document(2, "B", 2006, 2, 5, 1500000, 300000, 30000),
                          Document(3, "C", 2006, 3, 5, 100000, 100000, 100000)};
        QTest::mouseClick(window->findButton(), Qt::LeftButton);
        Settle();
        QTest::mouseClick(window->barsCheckBox(), Qt::LeftButton);
        QVERIFY(!window->chart()->barsActive());
        verifyEverySeriesShows(window->chart(), "lines");
        window->periodBox()->setCurrentIndex(5); // Januar: one month
        Settle();
        QCOMPARE(window->chart()->monthLabels().size(), 1);
        verifyEverySeriesShows(window->chart(), "lines of one month");
    }

    void valueAxisStepsAndTitleLines_data()
    {
        QTest::addColumn<double>("low");
        QTest::addColumn<double>("high");
        QTest::addColumn<int>("maxTicks");
        QTest::addColumn<QList<double>>("ticks");
        QTest::newRow("empty") << 0.0 << 0.0 << 8 << QList<double>{0, 1};
        QTest::newRow("small") << 0.0 << 3.0 << 8 << QList<double>{0, 1, 2, 3};
        QTest::newRow("millions") << 0.0 << 2147000.0 << 6 << QList<double>{0, 500000, 1000000, 1500000, 2000000, 2500000};
        QTest::newRow("loss") << -50000.0 << 400000.0 << 6 << QList<double>{-100000, 0, 100000, 200000, 300000, 400000};
        QTest::newRow("two ticks at most") << 0.0 << 7.0 << 2 << QList<double>{0, 10};
        QTest::newRow("never below one") << 0.0 << 1.0 << 20 << QList<double>{0, 1};
    }

    void valueAxisStepsAndTitleLines()
    {
        QFETCH(double, low);
        QFETCH(double, high);
        QFETCH(int, maxTicks);
        QFETCH(QList<double>, ticks);
        const std::vector<qreal> got = ValueAxisTicks(low, high, maxTicks);
        QCOMPARE(QList<double>(got.begin(), got.end()), ticks);
    }

    void titleWrapsAtItsLabelsFirst()
    {
        const auto widthOf = [](const QString& s) { return qreal(s.size()); }; // one unit a character
        const QString title = QStringLiteral("Netto: 1.000,00 E Provision: 20,00 E  Gewinn: 300,00 E Bereich: 01.01.2006-31.12.2006");
        QCOMPARE(WrapChartTitle(title, 200, widthOf), QStringList{title});
        QCOMPARE(WrapChartTitle(title, 60, widthOf),
                 (QStringList{"Netto: 1.000,00 E Provision: 20,00 E  Gewinn: 300,00 E",
                              "Bereich: 01.01.2006-31.12.2006"}));
        QCOMPARE(WrapChartTitle(title, 40, widthOf),
                 (QStringList{"Netto: 1.000,00 E Provision: 20,00 E", "Gewinn: 300,00 E",
                              "Bereich: 01.01.2006-31.12.2006"}));
        // A labelled part wider than the room breaks between its words; a word wider stands alone.
        QCOMPARE(WrapChartTitle(title, 12, widthOf),
                 (QStringList{"Netto:", "1.000,00 E", "Provision:", "20,00 E", "Gewinn:", "300,00 E", "Bereich:",
                              "01.01.2006-31.12.2006"}));
        QCOMPARE(WrapChartTitle(QStringLiteral("TDBChart"), 3, widthOf), QStringList{"TDBChart"});
    }

    void titleAndAxisStayReadableBesideTheLegendAtTheMinimumSize()
    {
        auto window = fx->startedWindow();
        QVERIFY(window);
        QCOMPARE(window->size(), QSize(TFOrderProfit1::DesignWidth, TFOrderProfit1::DesignHeight));
        fx->run().rows = {Document(1, "A", 2006, 5, 2, 2147000, 1000000, 300000)};
        QTest::mouseClick(window->findButton(), Qt::LeftButton);
        Settle();
        ProfitChart* chart = window->chart();
        // A title as long as a real one: it must neither lie under the legend nor leave the chart.
        const QString title = QString::fromUtf8(
            "Netto: 25.764.825,70 \u20AC Provision: 471.375,37 \u20AC  Gewinn: 5.265.296,13 \u20AC  Marge: 20,4 % "
            "Bereich: 01.01.2026-31.12.2026");
        chart->setTitleText(title);
        const ChartLayout layout = chart->chartLayout();
        const QRect legend = window->findChild<TPanel*>("Panel2")->geometry();
        const QRectF legendInChart(chart->mapFrom(window->chartTab(), legend.topLeft()), legend.size());
        QVERIFY(!layout.titleFrame.intersects(legendInChart));
        QVERIFY(QRectF(chart->rect()).contains(layout.titleFrame));
        // However many lines it takes (the window may have grown for its totals line), no word is lost.
        QCOMPARE(layout.titleLines.join(QLatin1Char(' ')).simplified(), title.simplified());
        QVERIFY(layout.titleLines.front().startsWith(QStringLiteral("Netto: ")));
        // The plot and its value labels lie beside the legend as well.
        QVERIFY(layout.frontPlane.left() > legendInChart.right());
        // Whole numbers in the program's format.
        const QStringList labels = chart->valueLabels();
        QVERIFY(labels.size() >= 3);
        QCOMPARE(labels.front(), QStringLiteral("0"));
        const QRegularExpression grouped(QStringLiteral("^\\d{1,3}(\\.\\d{3})+$"));
        QVERIFY2(grouped.match(labels.back()).hasMatch(), qPrintable(labels.back()));
        QVERIFY(layout.high >= 2147000);
    }

    void restingOnAMonthShowsItsValuesAsATooltip()
    {
        auto window = fx->startedWindow();
        QVERIFY(window);
        fx->run().rows = {Document(1, "A", 2006, 5, 2, 1234567.45, 5000.49, 250.5),
                          Document(2, "B", 2006, 5, 9, 0.10, 0.02, 0)};
        window->periodBox()->setCurrentIndex(2); // 2. Quartal
        Settle();
        ProfitChart* chart = window->chart();
        // The month's exact sums with cents, not the whole euros the bars stand for.
        QCOMPARE(chart->monthToolTip(1),
                 QString::fromUtf8("05.2006\nNetto: 1.234.567,55 \u20AC\nProvisionen: 250,50 \u20AC\nGewinn: 5.000,51 \u20AC"));
        const QPoint inMay = chart->monthArea(1).center().toPoint();
        QCOMPARE(chart->monthAt(inMay), 1);
        QHelpEvent help(QEvent::ToolTip, inMay, chart->mapToGlobal(inMay));
        QCoreApplication::sendEvent(chart, &help);
        QCOMPARE(QToolTip::text(), chart->monthToolTip(1));
        QCOMPARE(chart->monthAt(QPoint(1, 1)), -1);
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
        window->setListPrinter([&](const ListDescription&, TI_DBGrid*) { listPrinted = true; });
        // Cancelled: nothing printed.
        QTest::mouseClick(window->printButton(), Qt::LeftButton);
        QCOMPARE(fx->dialogs().printerRequests, 1);
        QVERIFY(!QFileInfo::exists(pdf));
        fx->dialogs().printerAnswers = {true};
        const QSize shownSize = window->chart()->size();
        QTest::mouseClick(window->printButton(), Qt::LeftButton);
        QCOMPARE(window->chart()->size(), shownSize); // the window's chart is as it was
        QCOMPARE(fx->dialogs().printerRequests, 2);
        QVERIFY(QFileInfo(pdf).size() > 1000);
        QVERIFY(!listPrinted);
        QVERIFY(fx->messages().isEmpty());
    }

    void aPrinterThatCannotStartIsReported()
    {
        auto window = fx->startedWindow();
        QVERIFY(window);
        const QString pdf = fx->programDir() + "/fehlt/grafik.pdf"; // a directory that does not exist
        fx->dialogs().configurePrinter = [pdf](QPrinter& p) {
            p.setOutputFormat(QPrinter::PdfFormat);
            p.setOutputFileName(pdf);
        };
        fx->dialogs().printerAnswers = {true};
        QTest::mouseClick(window->printButton(), Qt::LeftButton);
        QCOMPARE(fx->messages().size(), 1);
        QVERIFY(fx->messages().front().startsWith(QStringLiteral("Die Grafik kann nicht gedruckt werden")));
        QVERIFY(fx->messages().front().contains(pdf));
        QVERIFY(!QFileInfo::exists(pdf));
    }

    void listPrintHandsTheRequestToTheGridPrintDialog()
    {
        auto window = fx->startedWindow();
        QVERIFY(window);
        fx->run().rows = {Document(1, "A", 2006, 5, 2, 900, 100, 10)};
        QTest::mouseClick(window->findButton(), Qt::LeftButton);
        Settle();
        window->pageControl()->setCurrentWidget(window->listTab());
        std::vector<ListDescription> requests;
        TI_DBGrid* printedGrid = nullptr;
        size_t printedRows = 0;
        window->setListPrinter([&](const ListDescription& r, TI_DBGrid* grid) {
            requests.push_back(r);
            printedGrid = grid;
            printedRows = static_cast<size_t>(r.grid.dataSet->RecordCount());
        });
        QTest::mouseClick(window->printButton(), Qt::LeftButton);
        QCOMPARE(fx->dialogs().printerRequests, 0);
        QCOMPARE(requests.size(), size_t(1));
        const ListDescription& r = requests.front();
        QCOMPARE(r.name, std::string("GEWINN"));
        // The period's range on the title's second line.
        QCOMPARE(r.title, "Gewinne, erstellt 08.12.2006 23:55:49\r\n" + window->tables().RangeText);
        QVERIFY(!window->tables().RangeText.empty());
        QCOMPARE(r.fileStem, std::string("GEWINN-08.12.2006 23:55:49-"));
        QCOMPARE(r.footer, window->totalsLine()->toPlainText().toStdString());
        QCOMPARE(r.cellMode, 2);
        QVERIFY(r.landscape);
        QVERIFY(!r.currentRecordOnly);
        QVERIFY(r.csvFileName.empty());
        QCOMPARE(printedGrid, window->listGrid());
        QCOMPARE(printedRows, size_t(1));
    }

    void theWindowHandlesEventsWhileARunWorksAndAbbrechenEndsIt()
    {
        auto window = fx->startedWindow();
        QVERIFY(window);
        for (int i = 0; i < 200; ++i)
            fx->run().rows.push_back(Document(100 + i, "Kunde", 2006, 3, 1 + i % 28, 1000, 100, 10));
        // The run waits at its first check until the window has switched tabs, painted and taken a
        // click on "Abbrechen": all of it while the run is under way.
        int handled = 0;
        fx->run().atProgress = [&](int position) {
            if (position != 20)
                return;
            QMetaObject::invokeMethod(
                window.get(),
                [&] {
                    window->pageControl()->setCurrentWidget(window->listTab());
                    window->repaint();
                    QTest::mouseClick(window->cancelButton(), Qt::LeftButton);
                    ++handled;
                },
                Qt::BlockingQueuedConnection);
        };
        bool ranToItsEnd = false;
        fx->run().during = [&](ResultTables&) { ranToItsEnd = true; };
        QTest::mouseClick(window->findButton(), Qt::LeftButton);
        Settle();
        QCOMPARE(handled, 1);
        QCOMPARE(window->pageControl()->currentWidget(), window->listTab());
        QVERIFY(!ranToItsEnd); // ended at the check after the click
        QCOMPARE(fx->run().progressSteps, 1);
        QVERIFY(!window->isRunning());
        QVERIFY(window->findButton()->isEnabled());
        QVERIFY(window->cancelButton()->isHidden());
        QVERIFY(fx->messages().isEmpty()); // a cancelled run is no error
    }

    void closingDuringARunStopsItAtItsNextCheckAndCloses()
    {
        auto window = fx->startedWindow();
        QVERIFY(window);
        window->move(33, 44);
        for (int i = 0; i < 100; ++i)
            fx->run().rows.push_back(Document(100 + i, "Kunde", 2006, 3, 1 + i % 28, 1000, 100, 10));
        // The title bar's close while the run processes window messages.
        fx->run().atProgress = [&](int position) {
            if (position == 20)
                QMetaObject::invokeMethod(window.get(), [&] { window->close(); }, Qt::BlockingQueuedConnection);
        };
        bool ranToItsEnd = false;
        fx->run().during = [&](ResultTables&) { ranToItsEnd = true; };
        QTest::mouseClick(window->findButton(), Qt::LeftButton);
        Settle();
        QCOMPARE(fx->run().progressSteps, 1); // stopped at the check that followed the close
        QVERIFY(!ranToItsEnd);
        QVERIFY(!window->isVisible());
        QVERIFY(!window->isRunning());
        QVERIFY(fx->messages().isEmpty()); // the cancelled run is no error to show
        QVERIFY(CurrentWait() == WaitKind::None);
        QVERIFY(fx->userMode().contains("TFOrderProfit1.Left=33\r\nTFOrderProfit1.Top=44"));
        QCOMPARE(window->exitCode(), 0);
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
