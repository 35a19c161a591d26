// The window's own periods: "Zeitraum…" asks for a first and a last day and runs that range; the
// chart's "Vorjahr" runs the same period a year earlier, draws it beside the current one, names the
// profit's change in the totals line, and is remembered for the next window.
#include "app/PeriodSelection.h"
#include "app/WindowChoices.h"
#include "app/widgets/OrderProfit1.h"
#include "app/widgets/ProfitChart.h"
#include "appearance/widgets/ColorWrapper.h"
#include "display/DateRangeDialog.h"
#include "display/DisplayComponents.h"
#include "display/WaitCursor.h"
#include "widgets/support/ProfitWindowFixture.h"

#include <QDateEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

using namespace gs;
using namespace gs::test;

class PeriodChoiceWindowTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ProfitWindowFixture> fx;

    // Answers the next "Zeitraum" question with the days given, or cancels it.
    void answerRange(std::optional<std::pair<QDate, QDate>> days)
    {
        fx->dialogs().modalScripts.push_back([days](QDialog& dialog) {
            auto* range = qobject_cast<TFDateRange*>(&dialog);
            if (!range || !days)
                return int(QDialog::Rejected);
            range->firstEdit()->setDate(days->first);
            range->lastEdit()->setDate(days->second);
            if (!range->okButton()->isEnabled())
                return int(QDialog::Rejected);
            return int(QDialog::Accepted);
        });
    }

private slots:
    void initTestCase() { RegisterColorWrapper(); }
    void init() { fx = std::make_unique<ProfitWindowFixture>(); }
    void cleanup()
    {
        fx.reset();
        EndWait();
    }

    void aFreeRangeIsAskedForAndRun()
    {
        auto window = fx->startedWindow();
        QVERIFY(window);
        fx->run().rows = {Document(1, "A", 2006, 3, 20, 100, 25, 5)};
        answerRange(std::make_pair(QDate(2006, 3, 15), QDate(2006, 4, 20)));
        window->periodBox()->setCurrentIndex(PeriodFreeRange);
        Settle();
        QCOMPARE(fx->dialogs().modalScripts.size(), size_t(0));
        QVERIFY(!fx->run().calls.empty());
        const PeriodChoice& choice = fx->run().calls.back().choice;
        QCOMPARE(choice.periodIndex, PeriodFreeRange);
        QCOMPARE(DayToQDate(choice.first), QDate(2006, 3, 15));
        QCOMPARE(DayToQDate(choice.last), QDate(2006, 4, 20));
        QCOMPARE(window->tables().RangeText, std::string("Bereich: 15.03.2006-20.04.2006"));
        QVERIFY(window->chart()->titleText().contains(QStringLiteral("Bereich: 15.03.2006-20.04.2006")));
    }

    void aRangeEndingBeforeItBeginsCannotBeConfirmed()
    {
        TFDateRange dialog(QDateToDay(QDate(2006, 1, 1)), QDateToDay(QDate(2006, 1, 31)));
        QVERIFY(dialog.okButton()->isEnabled());
        dialog.lastEdit()->setDate(QDate(2005, 12, 31));
        QVERIFY(!dialog.okButton()->isEnabled());
        dialog.lastEdit()->setDate(QDate(2006, 1, 1)); // a single day is a range
        QVERIFY(dialog.okButton()->isEnabled());
    }

    void cancellingTheRangeKeepsThePeriodBeforeAndRunsNothing()
    {
        auto window = fx->startedWindow();
        QVERIFY(window);
        window->periodBox()->setCurrentIndex(2); // 2. Quartal
        Settle();
        const size_t runs = fx->run().calls.size();
        answerRange(std::nullopt);
        window->periodBox()->setCurrentIndex(PeriodFreeRange);
        Settle();
        QCOMPARE(window->periodBox()->currentIndex(), 2);
        QCOMPARE(fx->run().calls.size(), runs);
    }

    void aFiscalYearBeginningInAprilNamesItsYearsAndIsRemembered()
    {
        {
            auto window = fx->startedWindow();
            QVERIFY(window);
            window->setFiscalStartMonth(4);
            Settle();
            QVERIFY2(window->yearBox()->currentText().contains(QLatin1Char('/')),
                     qPrintable(window->yearBox()->currentText()));
            QCOMPARE(fx->run().calls.back().choice.fiscalStartMonth, 4);
            QCOMPARE(ReadFiscalStartMonth(), 4);
            // "Ganzes Jahr" of a fiscal year runs from April to March.
            QVERIFY2(QString::fromStdString(window->tables().RangeText).contains(QStringLiteral("01.04.")),
                     window->tables().RangeText.c_str());
        }
        auto window = fx->startedWindow();
        QVERIFY(window);
        QVERIFY(window->yearBox()->currentText().contains(QLatin1Char('/')));
    }

    void thePeriodBoxFollowsTheFiscalYearAndKeepsThePeriodChosen()
    {
        auto window = fx->startedWindow();
        QVERIFY(window);
        window->periodBox()->setCurrentIndex(2); // 2. Quartal
        Settle();
        window->setFiscalStartMonth(7);
        Settle();
        TDCComboBox* box = window->periodBox();
        QCOMPARE(box->count(), 18);
        QCOMPARE(box->currentText(), QString::fromUtf8("2. Quartal (Okt–Dez)"));
        QCOMPARE(window->selectedPeriodIndex(), 2);
        QCOMPARE(box->itemText(5), QStringLiteral("Juli"));
        QCOMPARE(box->itemText(16), QStringLiteral("Juni"));
        QCOMPARE(box->itemText(17), QString::fromUtf8("Zeitraum…"));
        const QString year = window->yearBox()->currentText();
        QCOMPARE(fx->run().calls.back().choice.periodIndex, 2);
        // "Januar", the seventh month of the fiscal year, runs January of its second calendar year.
        box->setCurrentIndex(box->findText(QStringLiteral("Januar")));
        Settle();
        QCOMPARE(box->currentIndex(), 11);
        QCOMPARE(fx->run().calls.back().choice.periodIndex, 5);
        const int next = year.left(4).toInt() + 1;
        QCOMPARE(QString::fromStdString(window->tables().RangeText),
                 QStringLiteral("Bereich: 01.01.%1-31.01.%1").arg(next));
        // Back to the calendar year: the host's items in the host's order, January still chosen.
        window->setFiscalStartMonth(1);
        Settle();
        QCOMPARE(box->currentIndex(), 5);
        QCOMPARE(box->currentText(), QStringLiteral("Januar"));
        QCOMPARE(box->itemText(1), QStringLiteral("1. Quartal"));
    }

    void thePreviousYearIsComparedDrawnAndRemembered()
    {
        {
            auto window = fx->startedWindow();
            QVERIFY(window);
            QVERIFY(!window->previousYearCheckBox()->isChecked());
            fx->run().rows = {Document(1, "A", 2006, 5, 2, 1000, 216.5, 0)};
            fx->run().previousRows = {Document(2, "B", 2005, 5, 9, 900, 200, 0)};
            QTest::mouseClick(window->previousYearCheckBox(), Qt::LeftButton);
            Settle();
            QVERIFY(window->previousYearCheckBox()->isChecked());
            QVERIFY(fx->run().calls.back().previousYear);
            // 216,50 against 200,00: 8,25 % more profit.
            const QString totals = window->totalsLine()->toPlainText();
            QVERIFY2(totals.contains(QString::fromUtf8("Gewinn: 216,50 € (+8,3 % zum Vorjahr)")), qPrintable(totals));
            QVERIFY2(totals.contains(QString::fromUtf8("Marge: 21,7 %")), qPrintable(totals));
            // The previous year's May beside this year's May.
            const QList<qreal>& before = window->chart()->previousNet();
            QVERIFY(!before.isEmpty());
            QVERIFY(before.contains(900));
            QVERIFY(ReadPreviousYearShown());
        }
        {
            // The next window starts with the comparison on, and switching it off clears the drawing.
            auto window = fx->startedWindow();
            QVERIFY(window);
            QVERIFY(window->previousYearCheckBox()->isChecked());
            QTest::mouseClick(window->previousYearCheckBox(), Qt::LeftButton);
            Settle();
            QVERIFY(!fx->run().calls.back().previousYear);
            QVERIFY(window->chart()->previousNet().isEmpty());
            QVERIFY(!window->totalsLine()->toPlainText().contains(QStringLiteral("Vorjahr")));
            QVERIFY(!ReadPreviousYearShown());
        }
    }
};

QTEST_MAIN(PeriodChoiceWindowTest)
#include "PeriodChoiceWindowTest.moc"
