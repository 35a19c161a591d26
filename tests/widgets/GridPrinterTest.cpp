// The grid print dialog on a grid with rows: its choices, the jobs they write, the PDF wait, the
// saved layouts and the grid's columns given back.
#include "app/Runtime.h"
#include "display/DisplayComponents.h"
#include "display/GridLayout.h"
#include "settings/Settings.h"
#include "settings/UserMode.h"
#include "spool/GridLayoutTable.h"
#include "spool/widgets/GridPrinter.h"
#include "support/DbTestSupport.h"
#include "spool/SpoolTables.h"
#include "spool/widgets/JobReportWatch.h"
#include "spool/widgets/GridPrinterDialog.h"
#include "spool/widgets/PdfWait.h"
#include "support/SpoolTestSupport.h"
#include "widgets/support/FakeWidgetDialogs.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QHeaderView>
#include <QListWidget>
#include <QPushButton>
#include <QStandardItemModel>
#include <QtTest>

#include <fstream>
#include <memory>

using namespace gs;

namespace {

QCheckBox* Box(QDialog& d, const char* name) { return d.findChild<QCheckBox*>(name); }
QPushButton* Button(QDialog& d, const char* name) { return d.findChild<QPushButton*>(name); }

// A spooler, a PDF folder, the window dialogs' fake and the profit list's grid with three rows.
struct Fixture {
    test::SpoolFixture spool;
    std::shared_ptr<test::FakeWidgetDialogs> dialogs = std::make_shared<test::FakeWidgetDialogs>();
    QStandardItemModel model{3, 3};
    TI_DBGrid grid;

    Fixture()
    {
        spool.rt.runtime().setDialogs(dialogs);
        spool.spooler->EnsureSpoolTables(false); // as the window does after connecting
        const std::filesystem::path pdfDir = spool.rt.dir() / "pdf";
        std::filesystem::create_directories(pdfDir);
        spool.rt.runtime().settings->PrinterDef.BackupDir = pdfDir.string() + "/";
        const char* fields[] = {"ID_ORDER", "ADRESSNAME", "WW_NETTO"};
        const char* titles[] = {"/bNummer", "Kunde", "Netto"};
        for (int c = 0; c < 3; ++c) {
            model.setHeaderData(c, Qt::Horizontal, QString::fromLatin1(fields[c]), FieldNameRole);
            model.setHeaderData(c, Qt::Horizontal, QString::fromLatin1(titles[c]), TitleMarkupRole);
            model.setHeaderData(c, Qt::Horizontal, QString::fromLatin1(titles[c]).remove("/b"));
        }
        const char* rows[3][3] = {{"1001", "Müller", "100,00 €"}, {"1002", "Schulz", "200,00 €"},
                                  {"1003", "Weber", "-5,00 €"}};
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 3; ++c)
                model.setData(model.index(r, c), QString::fromUtf8(rows[r][c]));
        grid.setObjectName(QStringLiteral("DBGrid_CURRGW1"));
        grid.setModel(&model);
    }

    ListDescription request() const
    {
        ListDescription r;
        r.name = "GEWINN";
        r.title = "Gewinne, erstellt 01.04.2024 10:00:00";
        r.footer = "Netto: 295,00 €";
        r.fileStem = "GEWINN-01.04.2024 10:00:00-";
        r.cellMode = 2;
        return r;
    }
    // What the window gives the dialog: the fixture's spooler, settings and dialog seam.
    GridPrinterContext context()
    {
        return {spool.spooler.get(), spool.rt.runtime().settings.get(), &spool.rt.runtime().dialogs()};
    }
    GridPrintResult show(const ListDescription& list, unsigned flags = ShowModal)
    {
        return ShowGridPrinter(list, flags, &grid, context());
    }
    bool columnHidden(int logical) const { return grid.horizontalHeader()->isSectionHidden(logical); }
};

} // namespace

class GridPrinterTest : public QObject {
    Q_OBJECT

private slots:
    void firstOpeningChoosesPdfAndWritesOneOpenedPdfJob()
    {
        Fixture f;
        bool boxesAsDefault = false;
        f.dialogs->modalScripts.push_back([&](QDialog& d) {
            boxesAsDefault = !Box(d, "checkprint")->isChecked() && Box(d, "checkPDF")->isChecked() &&
                             Box(d, "checkPDFOpen")->isChecked() && Box(d, "checkPDFOpen")->isEnabled() &&
                             !Box(d, "checkCSV")->isChecked() && !Box(d, "checkCSVOpen")->isEnabled();
            Button(d, "Fgo")->click();
            return d.result();
        });
        const GridPrintResult result = f.show(f.request());
        QVERIFY(boxesAsDefault);
        QCOMPARE(result.Code, GridPrintNoPrintJob);
        QCOMPARE(result.Options, unsigned(JobPdf | JobPdfOpen));
        QCOMPARE(f.spool.count("SPOOL"), 1LL);
        QCOMPARE(f.spool.count("SPOOL", "MAILTYPE='autopdf' AND PRIO=560"), 1LL);
        QCOMPARE(f.spool.count("DET"), 3LL);
        QCOMPARE(f.dialogs->modalWindows, (std::vector<QString>{"FGridPrinterClass"})); // no wait window
        QVERIFY(QGuiApplication::clipboard()->text().startsWith("file://"));
    }

    void nothingCheckedDisablesGoAndBackWritesNothingButKeepsTheBoxes()
    {
        Fixture f;
        bool goDisabled = false;
        f.dialogs->modalScripts.push_back([&](QDialog& d) {
            Box(d, "checkPDF")->click();
            goDisabled = !Button(d, "Fgo")->isEnabled() && !Box(d, "checkPDFOpen")->isEnabled();
            Box(d, "checkCSV")->click();
            Button(d, "FlatButton_cancel")->click();
            return d.result();
        });
        const GridPrintResult result = f.show(f.request());
        QVERIFY(goDisabled);
        QCOMPARE(result.Code, GridPrintLeft);
        QCOMPARE(result.Options, 0u);
        QCOMPARE(f.spool.count("SPOOL"), 0LL);
        QCOMPARE(ReadModeBool("TFGridPrinterClass2", true), false);
        QCOMPARE(ReadModeBool("TFGridPrinterClass4", false), true);
    }

    void aListOfSixteenColumnsIsRefusedWithItsReason()
    {
        Fixture f;
        f.model.setColumnCount(16);
        for (int c = 3; c < 16; ++c)
            f.model.setHeaderData(c, Qt::Horizontal, QStringLiteral("F%1").arg(c), FieldNameRole);
        f.dialogs->saveFileAnswers = {(f.spool.rt.dir() / "liste.csv").string()};
        f.show(f.request(), JobPdf | JobCsv); // no dialog: the jobs run at once
        QCOMPARE(f.spool.count("SPOOL"), 0LL);
        QCOMPARE(f.dialogs->texts(), (std::vector<std::string>{TooManyColumnsText}));
        QVERIFY(std::filesystem::exists(f.spool.rt.dir() / "liste.csv")); // the CSV still runs
    }

    void aJobThatCannotBeOutputIsReportedInTheWindow()
    {
        Fixture f;
        f.spool.rt.runtime().settings->PrinterDef.DEFAULT = "Büro-Laser";
        f.show(f.request(), JobPrint); // no dialog: the print job is written at once
        QCOMPARE(f.spool.count("SPOOL"), 1LL);
        const std::string id = test::QueryValue(f.spool.spoolFile(), "SELECT max(ID) FROM SPOOL");
        // What the print processor leaves when the printer does not exist.
        const auto reports = f.spool.spoolDir() / JobReportDirectoryName;
        std::filesystem::create_directories(reports);
        test::WriteFile(reports / (id + ".TXT"), "Der Drucker \"Büro-Laser\" ist nicht bekannt.");
        QTRY_COMPARE_WITH_TIMEOUT(f.dialogs->messages.size(), size_t(1), 5000);
        QCOMPARE(f.dialogs->messages[0].text,
                 JobReportMessage(std::stoll(id), false, "Der Drucker \"Büro-Laser\" ist nicht bekannt."));
        QVERIFY(f.dialogs->messages[0].text.find("Auftrag " + id + " wurde nicht gedruckt") != std::string::npos);
        QVERIFY(!std::filesystem::exists(reports / (id + ".TXT"))); // shown once
    }

    void aPdfThatCannotBeOpenedIsShownWithItsPathAndLinks()
    {
        Fixture f;
        WatchJobReport(f.spool.spoolDir(), 41, "/daten/pdf/GEWINN-1-.PDF", std::chrono::milliseconds(10),
                       std::chrono::seconds(5));
        const auto reports = f.spool.spoolDir() / JobReportDirectoryName;
        std::filesystem::create_directories(reports);
        test::WriteFile(reports / (std::string("41") + JobReportOpenSuffix), "xdg-open endete mit 3");
        QTRY_COMPARE_WITH_TIMEOUT(f.dialogs->messages.size(), size_t(1), 5000);
        const std::string& text = f.dialogs->messages[0].text;
        QVERIFY2(text.find("Die PDF-Datei kann nicht geöffnet werden:</B> xdg-open endete mit 3") != std::string::npos,
                 text.c_str());
        QVERIFY(text.find("/daten/pdf") != std::string::npos && text.find("GEWINN-1-.PDF") != std::string::npos);
        QVERIFY(text.find("file:///daten/pdf/GEWINN-1-.PDF") != std::string::npos); // the link to the file
    }

    void emptyGridShowsNothing()
    {
        Fixture f;
        f.model.setRowCount(0);
        QCOMPARE(f.show(f.request()).Code, GridPrintNothingToPrint);
        QVERIFY(f.dialogs->modalWindows.empty());
    }

    void optionArithmetic_data()
    {
        QTest::addColumn<int>("checks"); // bits: print 1, pdf 2, pdfOpen 4, csv 8, csvOpen 16
        QTest::addColumn<unsigned>("flags");
        QTest::addColumn<unsigned>("options");
        QTest::newRow("print") << 1 << 0u << 0x0012u;
        QTest::newRow("print drops the whole range") << 1 << 0x0200u << 0x0012u;
        QTest::newRow("pdf waits") << 2 << 0u << 0x0024u;
        QTest::newRow("pdf opened does not wait") << (2 | 4) << 0u << 0x000Cu;
        QTest::newRow("pdf never waits by flag") << 2 << 0x0100u << 0x0004u;
        QTest::newRow("csv opened keeps range") << (8 | 16) << 0x0200u << 0x0E00u;
        QTest::newRow("all") << (1 | 2 | 8) << 0u << 0x0436u;
    }

    void optionArithmetic()
    {
        QFETCH(int, checks);
        QFETCH(unsigned, flags);
        GridPrintChoice c;
        c.print = checks & 1;
        c.pdf = checks & 2;
        c.pdfOpen = checks & 4;
        c.csv = checks & 8;
        c.csvOpen = checks & 16;
        QTEST(JobOptionsOf(c, flags), "options");
    }

    void pdfWaitEndsWhenTheMarkerComesOrTheTimeIsUp()
    {
        for (const bool markerComes : {true, false}) {
            Fixture f;
            std::filesystem::path marker;
            f.dialogs->modalScripts.push_back([](QDialog& d) {
                Box(d, "checkPDFOpen")->click();
                Button(d, "Fgo")->click();
                return d.result();
            });
            double clock = f.spool.rt.runtime().now();
            f.spool.rt.runtime().now = [&clock] { return clock; };
            f.dialogs->modalScripts.push_back([&](QDialog& d) {
                auto& wait = dynamic_cast<TFPDFWait&>(d);
                marker = wait.markerFile();
                wait.tick();
                if (wait.outcome() != PdfWaitEnd::Waiting)
                    return int(QDialog::Rejected);
                if (markerComes) {
                    std::ofstream(marker) << "";
                } else {
                    clock += 179.0 / 86400.0; // 179 s: still waiting
                    wait.tick();
                    if (wait.outcome() != PdfWaitEnd::Waiting)
                        return int(QDialog::Rejected);
                    clock += 1.0 / 86400.0;
                }
                wait.tick();
                return d.result();
            });
            const GridPrintResult result = f.show(f.request());
            QCOMPARE(result.Options, unsigned(JobPdf | JobPdfWait));
            QCOMPARE(f.dialogs->modalWindows, (std::vector<QString>{"FGridPrinterClass", "FPDFWait"}));
            QCOMPARE(marker.parent_path(), f.spool.spoolDir() / "PDFX");
            QVERIFY(!std::filesystem::exists(marker)); // the marker is removed when the window closes
            QCOMPARE(f.dialogs->messages.size(), size_t(1));
            const std::string& text = f.dialogs->messages[0].text;
            if (markerComes) {
                QVERIFY(text.find("Eine PDF-Datei wird unter folgenden Namen erzeugt") != std::string::npos);
                QVERIFY(text.find("<A href=\"file://" + marker.filename().string()) == std::string::npos);
                QVERIFY(text.find(marker.filename().string() + "\">Klicken Sie hier</A>") != std::string::npos);
                QCOMPARE(f.dialogs->messages[0].help, std::string(PdfDoneHelp));
            } else {
                QCOMPARE(text, PdfTimedOutText(f.spool.spoolDir()));
                QVERIFY(text.rfind(PdfTimedOutMessage, 0) == 0);
                QVERIFY(text.find("PDFPROC.LOG") != std::string::npos);
            }
            const QString clip = QGuiApplication::clipboard()->text();
            QVERIFY(clip.startsWith(QStringLiteral("file://") +
                                    QString::fromStdString(f.spool.rt.runtime().settings->PrinterDef.BackupDir)));
            QVERIFY(clip.endsWith(QStringLiteral("/") + QString::fromStdString(marker.filename().string())));
        }
    }

    void layoutsAreSavedAppliedAndTheGridGetsItsColumnsBack()
    {
        Fixture f;
        // "Neu": the chooser hides the customer, the name is asked and the layout saved.
        f.dialogs->modalScripts.push_back([&](QDialog& d) {
            Button(d, "fnew")->click();
            Button(d, "FlatButton_cancel")->click();
            return d.result();
        });
        f.dialogs->modalScripts.push_back([](QDialog& chooser) {
            chooser.findChild<QListWidget*>("ColumnList")->item(1)->setCheckState(Qt::Unchecked);
            chooser.findChild<QPushButton*>("ColumnOk")->click();
            return chooser.result();
        });
        f.dialogs->inputAnswers = {"Ohne Kunde"};
        QCOMPARE(f.show(f.request()).Code, GridPrintLeft);
        QCOMPARE(f.dialogs->inputRequests.at(0).defaultText, std::string("Standard"));
        QVERIFY(!f.columnHidden(1)); // columns back after closing
        GridLayoutTable saved;
        saved.load(f.spool.rt.dir() / GridLayoutFileName);
        QCOMPARE(saved.rowsOf("DBGrid_CURRGW1").size(), size_t(1));
        QCOMPARE(saved.rowsOf("DBGrid_CURRGW1")[0].user, std::string("Ohne Kunde"));

        // Opening again applies the first layout; a second one is added, moved up, and the first
        // deleted; the grid still gets its own columns back.
        bool appliedWhileOpen = false;
        std::vector<std::string> namesAfterMove;
        f.dialogs->modalScripts.push_back([&](QDialog& d) {
            appliedWhileOpen = f.columnHidden(1);
            Button(d, "fnew")->click();
            auto& dialog = dynamic_cast<TFGridPrinterClass&>(d);
            Button(d, "fup")->click();
            for (const GridLayoutRow& r : dialog.layouts().rowsOf(dialog.layoutKey()))
                namesAfterMove.push_back(r.user);
            Button(d, "fdown")->click(); // the moved layout is current: back down
            Button(d, "fdel")->click();
            Button(d, "FlatButton_cancel")->click();
            return d.result();
        });
        f.dialogs->modalScripts.push_back([](QDialog& chooser) { return int(QDialog::Rejected); });
        f.dialogs->inputAnswers = {"Alle"};
        f.show(f.request());
        QVERIFY(appliedWhileOpen);
        QCOMPARE(namesAfterMove, (std::vector<std::string>{"Alle", "Ohne Kunde"}));
        QCOMPARE(f.dialogs->inputRequests.at(1).defaultText, std::string("Ohne Kunde"));
        QVERIFY(!f.columnHidden(1));
        saved.load(f.spool.rt.dir() / GridLayoutFileName);
        QCOMPARE(saved.rowsOf("DBGrid_CURRGW1").size(), size_t(1));
        QCOMPARE(saved.rowsOf("DBGrid_CURRGW1")[0].user, std::string("Ohne Kunde"));
        QVERIFY(!std::filesystem::exists(GridLayoutFileOf(&f.grid, "TMP")));
    }

    void csvWithoutDialogRunsAtOnce()
    {
        Fixture f;
        const std::filesystem::path csv = f.spool.rt.dir() / "liste.csv";
        f.dialogs->saveFileAnswers = {csv.string()};
        f.show(f.request(), JobCsv | JobCsvOpen);
        QVERIFY(f.dialogs->modalWindows.empty());
        std::ifstream in(csv, std::ios::binary);
        std::string first;
        std::getline(in, first);
        QCOMPARE(first, std::string("\"Nummer\";\"Kunde\";\"Netto\"\r"));
        QCOMPARE(f.dialogs->openedDocuments, (std::vector<std::string>{csv.string()}));
    }
};

QTEST_MAIN(GridPrinterTest)
#include "GridPrinterTest.moc"
