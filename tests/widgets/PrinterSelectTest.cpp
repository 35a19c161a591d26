// The printer selection window of print jobs and its place behind the dialog seam.
#include "app/Runtime.h"
#include "spool/widgets/PrinterSelect.h"

#include <QCheckBox>
#include <QComboBox>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

using namespace gs;

class PrinterSelectTest : public QObject {
    Q_OBJECT
private slots:
    void presetShowsTheStoredChoices()
    {
        PrintTargetRequest preset{"Laser", "Schacht 2", 3, 7, false};
        TFPrinterselect window(preset, nullptr, {"Tinte", "Laser"});
        QCOMPARE(window.windowTitle(), QStringLiteral("Druckerauswahl:"));
        QCOMPARE(window.printerBox()->currentText(), QStringLiteral("Laser"));
        QCOMPARE(window.binBox()->currentText(), QStringLiteral("Schacht 2")); // kept though unknown
        QCOMPARE(window.copiesBox()->value(), 3);
        QCOMPARE(window.duplexBox()->currentText(), QStringLiteral("kein")); // 7 is no duplex choice
        QVERIFY(window.alsoPdfBox()->isHidden());
        QVERIFY(window.onlyPdfBox()->isHidden());
        const PrintTargetChoice c = window.choice();
        QCOMPARE(c.printerName, std::string("Laser"));
        QCOMPARE(c.binName.value_or("-"), std::string("Schacht 2"));
        QCOMPARE(c.duplex, 0);
    }

    void choiceFollowsTheUser()
    {
        TFPrinterselect window(PrintTargetRequest{"", "", 0, 2, true}, nullptr, {"Tinte", "Laser"});
        QCOMPARE(window.copiesBox()->value(), 1); // at least one copy
        QCOMPARE(window.duplexBox()->currentText(), QStringLiteral("vertikal"));
        QVERIFY(!window.alsoPdfBox()->isHidden());
        window.printerBox()->setCurrentText(QStringLiteral("Tinte"));
        window.copiesBox()->setValue(5);
        window.duplexBox()->setCurrentIndex(1);
        const PrintTargetChoice c = window.choice();
        QCOMPARE(c.printerName, std::string("Tinte"));
        QVERIFY(!c.binName); // no bin selected: the preset stays
        QCOMPARE(c.copies, 5);
        QCOMPARE(c.duplex, 1);
    }

    void unknownPresetPrinterIsStillOffered()
    {
        TFPrinterselect window(PrintTargetRequest{"Abteilung 3", "", 1, 0, false}, nullptr, {"Tinte"});
        QCOMPARE(window.printerBox()->count(), 2);
        QCOMPARE(window.printerBox()->currentText(), QStringLiteral("Abteilung 3"));
    }

    void theSeamRunsTheWindowModally()
    {
        QTemporaryDir dir;
        Runtime runtime(std::filesystem::path(dir.path().toStdString()) / "gewinnstatistik");
        SpoolWidgetDialogs dialogs;
        // Confirm the window as soon as it is shown, then cancel the next one.
        QTimer::singleShot(0, [] {
            auto* w = qobject_cast<TFPrinterselect*>(QApplication::activeModalWidget());
            QVERIFY(w);
            w->copiesBox()->setValue(4);
            w->accept();
        });
        auto choice = dialogs.choosePrintTarget(PrintTargetRequest{"Laser", "", 1, 0, false});
        QVERIFY(choice);
        QCOMPARE(choice->printerName, std::string("Laser"));
        QCOMPARE(choice->copies, 4);
        QTimer::singleShot(0, [] { QApplication::activeModalWidget()->close(); });
        QVERIFY(!dialogs.choosePrintTarget(PrintTargetRequest{"Laser", "", 1, 0, false}));
    }
};

QTEST_MAIN(PrinterSelectTest)
#include "PrinterSelectTest.moc"
