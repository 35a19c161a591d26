// The statistics window's start-up: the checks of the command line and the host release, the
// connect, the caption, the menu installation branch, the placement restored on creation and saved
// on every close, and the layout of the window.
#include "base/Dates.h"
#include "display/DisplayComponents.h"
#include "app/widgets/OrderProfit1.h"
#include "app/widgets/ProfitChart.h"
#include "app/widgets/WidgetPlacement.h"
#include "appearance/widgets/ColorWrapper.h"
#include "display/QtColors.h"
#include "widgets/support/ProfitWindowFixture.h"

#include <QFile>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QScreen>
#include <QtTest>

using namespace gs;
using gs::test::ProfitWindowFixture;
using gs::test::Settle;

namespace {

void WriteText(const QString& file, const QByteArray& bytes)
{
    QFile f(file);
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

// "R-596": R is the work area's right edge, B its bottom edge; terms are subtracted.
int Evaluate(QString expression, const WorkArea& area)
{
    expression.replace("R", QString::number(area.right)).replace("B", QString::number(area.bottom));
    const QStringList terms = expression.split('-');
    int value = terms.front().toInt();
    for (qsizetype i = 1; i < terms.size(); ++i)
        value -= terms[i].toInt();
    return value;
}

} // namespace

class OrderProfitStartTest : public QObject {
    Q_OBJECT

    std::unique_ptr<ProfitWindowFixture> fx;

private slots:
    void initTestCase() { RegisterColorWrapper(); }
    void init() { fx = std::make_unique<ProfitWindowFixture>(); }
    void cleanup() { fx.reset(); }

    void failedStartShowsItsMessageClosesAndSavesThePlacement_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QByteArray>("tovik");
        QTest::addColumn<QString>("message");
        const QString start = QString::fromUtf8("Starten Sie das Programm über zusätzlich > Gewinnstatistik.");
        const QString release = QString::fromUtf8("Das Programm benötigt mindestens Kvelt , Release 12229");
        QTest::newRow("no arguments") << QStringList{} << QByteArray() << start;
        QTest::newRow("position 3 missing") << QStringList{"{db}", "1"} << QByteArray() << start;
        QTest::newRow("position 2 empty") << QStringList{"{db}", "", "12229"} << QByteArray() << start;
        QTest::newRow("release 12228") << QStringList{"{db}", "1", "12228"} << QByteArray() << release;
        QTest::newRow("release not a number") << QStringList{"{db}", "1", "12229a"} << QByteArray() << release;
        QTest::newRow("release with host name")
            << QStringList{"{db}", "1", "100"} << QByteArray("[OTHER]\r\nGLOBAL1=Hostprodukt\r\n")
            << QString::fromUtf8("Das Programm benötigt mindestens Hostprodukt , Release 12229");
        // The host's message, then the cause on a line of its own.
        const QString cause = QString::fromUtf8(" aus gestartet werden<BR><B>Möglicher Fehler:</B><BR>Verbindung nicht "
                                                "möglich: Datenbankverzeichnis nicht gefunden: /kein/solches/verzeichnis");
        QTest::newRow("path cannot be opened")
            << QStringList{"/kein/solches/verzeichnis", "1", "12229"} << QByteArray()
            << QStringLiteral("Das Programm kann nur von Kvelt") + cause;
        QTest::newRow("path cannot be opened, host from TOVIK.INI")
            << QStringList{"/kein/solches/verzeichnis", "2", "12229"}
            << QByteArray("[OTHER]\r\nGLOBAL1=Hostprodukt\r\nGLOBAL2=\r\n")
            << QStringLiteral("Das Programm kann nur von Hostprodukt") + cause;
        QTest::newRow("empty host name keeps the default")
            << QStringList{"/kein/solches/verzeichnis", "1", "12229"} << QByteArray("[OTHER]\r\nGLOBAL1=\r\n")
            << QStringLiteral("Das Programm kann nur von Kvelt") + cause;
    }

    void failedStartShowsItsMessageClosesAndSavesThePlacement()
    {
        QFETCH(QStringList, args);
        QFETCH(QByteArray, tovik);
        QFETCH(QString, message);
        if (!tovik.isEmpty())
            WriteText(fx->programDir() + "/TOVIK.INI", tovik);
        auto window = fx->makeWindow(args);
        window->show();
        QTRY_VERIFY(!window->isVisible());
        QCOMPARE(fx->messages(), QStringList{message});
        QVERIFY(!window->isStarted());
        QVERIFY(!window->session().AdsConnection.IsConnected());
        QCOMPARE(window->windowTitle(), QStringLiteral("Verbindung zur Datenbank aufbauen...."));
        const QString mode = fx->userMode();
        for (const char* key : {"TFOrderProfit1.Width=596", "TFOrderProfit1.Height=385", "TFOrderProfit1.Left=",
                                "TFOrderProfit1.Top="})
            QVERIFY2(mode.contains(QLatin1String(key)), key);
        QVERIFY(!mode.contains(QLatin1String(".Add0")));
        QVERIFY(fx->run().calls.empty());
        QCOMPARE(window->exitCode(), 1); // a failed start is no success for a script
    }

    void successfulStartShowsTheDatabaseInTheCaption_data()
    {
        QTest::addColumn<QString>("serverKind");
        QTest::addColumn<bool>("local");
        QTest::newRow("local") << "1" << true;
        QTest::newRow("remote") << "0" << false;
        QTest::newRow("remote letter") << "x" << false;
    }

    void successfulStartShowsTheDatabaseInTheCaption()
    {
        QFETCH(QString, serverKind);
        QFETCH(bool, local);
        auto window = fx->makeWindow({"{db}", serverKind, "12229"});
        window->show();
        Settle();
        QVERIFY(window->isVisible());
        QVERIFY(window->isStarted());
        QVERIFY(fx->messages().isEmpty());
        QCOMPARE(window->windowTitle(), "Datenbank: " + fx->databaseDir());
        QVERIFY(window->session().Table_ORDERS.Active());
        QVERIFY(window->session().AdsTableSettings.Active());
        QCOMPARE(window->session().AdsConnection.AdsServerTypes().Contains(stADS_LOCAL), local);
        QCOMPARE(window->autoRunGuard(), 0);
        QVERIFY(fx->run().calls.empty()); // nothing runs by itself
        QCOMPARE(window->exitCode(), 0);
        window->close();
        QVERIFY(fx->userMode().contains(QLatin1String("TFOrderProfit1.Width=")));
    }

    void errorAfterTheConnectIsShownAndTheWindowStaysOpen()
    {
        auto window = fx->makeWindow({"{db}", "1", "12229"});
        window->setStartCompletion([](Runtime&, DatabaseSession&, const std::function<void(const std::string&)>&) {
            throw std::runtime_error("Einstellungen fehlen");
        });
        window->show();
        Settle();
        QCOMPARE(fx->messages(), QStringList{"Einstellungen fehlen"});
        QVERIFY(window->isVisible());
        QVERIFY(!window->isStarted());
        QCOMPARE(window->windowTitle(), QStringLiteral("Verbindung zur Datenbank aufbauen...."));
        QCOMPARE(window->autoRunGuard(), 0);
        QCOMPARE(window->exitCode(), 1);
    }

    void guardStaysArmedUntilShown()
    {
        auto window = fx->makeWindow({"{db}", "1", "12229"});
        QCOMPARE(window->autoRunGuard(), 1);
        window->periodBox()->setCurrentIndex(3);
        window->yearBox()->setCurrentIndex(2);
        Settle();
        QVERIFY(fx->run().calls.empty());
    }

    void installWritesTheMenuEntryAndCloses()
    {
        auto window = fx->makeWindow({"INSTALL", "SILENT"});
        window->show();
        QTRY_VERIFY(!window->isVisible());
        QFile menu(fx->programDir() + "/ZS.MNU");
        QVERIFY(menu.open(QIODevice::ReadOnly));
        QVERIFY(menu.readAll().contains("Gewinnstatistik."));
        QVERIFY(fx->messages().isEmpty()); // silent
        QCOMPARE(window->autoRunGuard(), 1);
        QVERIFY(!QFile::exists(fx->programDir() + "/gewinnstatistikDBGrid_CURRGW1.COL"));
        QVERIFY(fx->userMode().contains(QLatin1String("TFOrderProfit1.Width=")));
        QCOMPARE(window->exitCode(), 0);
    }

    void failedInstallationIsReportedAndExitsNonZero()
    {
        WriteText(fx->programDir() + "/ZS.MNU", "C:\\A\\x.exe;Andere\r\n");
        QFile::setPermissions(fx->programDir() + "/ZS.MNU", QFile::ReadOwner | QFile::ReadGroup);
        auto window = fx->makeWindow({"INSTALL", "SILENT"});
        window->show();
        QTRY_VERIFY(!window->isVisible());
        QCOMPARE(fx->messages().size(), 1); // the failure is shown also when silent
        QVERIFY(fx->messages().front().startsWith(QStringLiteral("Gewinnstatistik.: Installation fehlgeschlagen: Fehler: ")));
        QCOMPARE(window->exitCode(), 1);
        QFile::setPermissions(fx->programDir() + "/ZS.MNU", QFile::ReadOwner | QFile::WriteOwner);
    }

    void windowsCanBeCreatedAndClosedRepeatedly()
    {
        for (int i = 0; i < 3; ++i) {
            auto window = fx->startedWindow();
            QVERIFY(window);
            window->close();
            QVERIFY(!window->isVisible());
        }
    }

    // --- placement ------------------------------------------------------------------------------

    void firstStartOpensAtTheTopLeftOfTheWorkArea()
    {
        auto window = fx->makeWindow({"{db}", "1", "12229"});
        const QRect area = window->screen()->availableGeometry();
        QCOMPARE(window->pos(), area.topLeft());
        QCOMPARE(window->size(), QSize(596, 385));
    }

    void storedPlacementIsRestoredInsideTheWorkArea_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<QString>("expect"); // "x y w h", with R = work area right, B = bottom
        QTest::newRow("inside") << QByteArray("Width=610\r\nTFOrderProfit1.Height=400\r\nTFOrderProfit1.Left=20\r\n"
                                              "TFOrderProfit1.Top=30")
                                << "20 30 610 400";
        QTest::newRow("far right") << QByteArray("Left=5000\r\nTFOrderProfit1.Top=10") << "R-596 10 596 385";
        QTest::newRow("negative top") << QByteArray("Top=-50\r\nTFOrderProfit1.Left=5") << "5 0 596 385";
        QTest::newRow("too wide") << QByteArray("Width=3000\r\nTFOrderProfit1.Left=40") << "0 0 R 385";
        QTest::newRow("below the minimum") << QByteArray("Width=100\r\nTFOrderProfit1.Height=100") << "0 0 596 385";
    }

    void storedPlacementIsRestoredInsideTheWorkArea()
    {
        QFETCH(QByteArray, stored);
        QFETCH(QString, expect);
        WriteText(fx->programDir() + "/UserMode.INI", "[MODE]\r\nTFOrderProfit1." + stored + "\r\n");
        auto window = fx->makeWindow({"{db}", "1", "12229"});
        const WorkArea area = WorkAreaOf(window.get());
        QList<int> values;
        for (const QString& part : expect.split(' '))
            values << Evaluate(part, area);
        QCOMPARE(QRect(window->pos(), window->size()), QRect(values[0], values[1], values[2], values[3]));
    }

    void adapterRoundTripsARealWindow()
    {
        QWidget w;
        w.setObjectName("Fenster");
        w.setMinimumSize(200, 100);
        w.resize(300, 150);
        w.move(40, 50);
        SaveWindowPlacement(&w, {}, {}, false, 12); // the key is the window's name
        QWidget other;
        other.setObjectName("Fenster");
        other.setMinimumSize(200, 100);
        QCOMPARE(RestoreWindowPlacement(&other, {}, {}, 1, -1), 12);
        QCOMPARE(QRect(other.pos(), other.size()), QRect(40, 50, 300, 150));
        SaveWindowPlacement(&w, {}, "Anders", true, -1);
        QVERIFY(fx->userMode().contains("Anders.Left=90\r\nAnders.Top=100"));
    }

    // --- layout ----------------------------------------------------------------------------------

    void layoutAsDesigned()
    {
        auto window = fx->startedWindow();
        QVERIFY(window);
        QCOMPARE(window->objectName(), QStringLiteral("FOrderProfit1"));
        QCOMPARE(window->minimumSize(), QSize(596, 385));
        QCOMPARE(window->pageControl()->count(), 3);
        QCOMPARE(window->pageControl()->tabText(0), QStringLiteral("Liste"));
        QCOMPARE(window->pageControl()->tabText(1), QStringLiteral("Grafik"));
        QCOMPARE(window->pageControl()->tabText(2), QStringLiteral("Auswertung"));
        QCOMPARE(window->pageControl()->currentWidget(), window->chartTab());
        auto* bottom = window->findChild<TFlatPanel*>("FPbottom");
        QVERIFY(bottom);
        QCOMPARE(bottom->height(), 88);
        QCOMPARE(bottom->width(), window->width());
        QCOMPARE(bottom->color(), quint32(clBtnFace));
        QCOMPARE(window->totalsLine()->height(), 29);
        QVERIFY(window->totalsLine()->isReadOnly());
        QVERIFY(window->totalsLine()->font().bold());
        QCOMPARE(window->totalsLine()->frameShape(), QFrame::NoFrame);
        QCOMPARE(window->periodGroup()->size(), QSize(349, 53));
        QCOMPARE(window->periodGroup()->title(),
                 QStringLiteral("Jahr:                          Monat/Quartal:                            "));
        QCOMPARE(window->yearBox()->width(), 97);
        QCOMPARE(window->periodBox()->width(), 147);
        QCOMPARE(window->progressBar()->size(), QSize(336, 13));
        QVERIFY(window->progressBar()->isHidden());
        QCOMPARE(window->findChild<TPanel*>("Panel1")->width(), 204);
        QCOMPARE(window->findButton()->text(), QStringLiteral("Finden"));
        QCOMPARE(window->printButton()->text(), QStringLiteral("Drucken"));
        QCOMPARE(window->closeButton()->text(), QString::fromUtf8("Schließen"));
        QCOMPARE(window->closeButton()->toolTip(), QString::fromUtf8("schließen"));
        QCOMPARE(window->palette().color(QPalette::Window), QColor(Qt::white));
        QCOMPARE(window->font().families().front(), QStringLiteral("MS Sans Serif"));
        QCOMPARE(window->font().pointSize(), 8);
        // Every control lies inside its parent.
        for (QWidget* w : window->findChildren<QWidget*>(Qt::FindChildrenRecursively)) {
            if (!w->isVisible() || w->isWindow() || !w->parentWidget())
                continue;
            const QRect inside = w->parentWidget()->rect();
            QVERIFY2(inside.contains(w->geometry()) || w->objectName().startsWith("qt_") || w->objectName().isEmpty(),
                     qPrintable(w->objectName()));
        }
    }

    void legendColoursAreSetAfterTheSkin()
    {
        WriteText(fx->programDir() + "/gewinnstatistik.SKM",
                  "TFlatPanel_Color=clRed\r\nFOrderProfit1.fgo|Color=$0000FF00\r\n");
        auto window = fx->makeWindow({"{db}", "1", "12229"});
        QCOMPARE(window->findChild<TFlatPanel*>("FlatPanel1")->color(), quint32(16711680));
        QCOMPARE(window->findChild<TFlatPanel*>("FlatPanel2")->color(), quint32(33023));
        QCOMPARE(window->findChild<TFlatPanel*>("FlatPanel3")->color(), quint32(65280));
        QCOMPARE(window->findChild<TFlatPanel*>("FPbottom")->color(), quint32(clRed)); // skinned after its colour
        QCOMPARE(window->findButton()->color(), quint32(0x00FF00));
    }

    void yearListAndPeriodDefaults()
    {
        auto window = fx->makeWindow({"{db}", "1", "12229"});
        QCOMPARE(window->yearBox()->count(), 7); // 2000 .. 2006
        QCOMPARE(window->yearBox()->itemText(0), QStringLiteral("2000"));
        QCOMPARE(window->yearBox()->currentText(), QStringLiteral("2006"));
        QCOMPARE(window->periodBox()->count(), 18);
        QCOMPARE(window->periodBox()->itemText(17), QString::fromUtf8("Zeitraum…"));
        QCOMPARE(window->periodBox()->currentText(), QStringLiteral("Ganzes Jahr"));
        QCOMPARE(window->periodBox()->itemText(7), QString::fromUtf8("März"));
        QVERIFY(window->periodBox()->isEnabled());
    }

    void periodBoxFollowsTheYearIndex()
    {
        auto window = fx->makeWindow({"{db}", "1", "12229"});
        window->yearBox()->setCurrentIndex(0);
        QVERIFY(!window->periodBox()->isEnabled());
        QCOMPARE(window->periodBox()->color(), quint32(14739951));
        window->yearBox()->setCurrentIndex(1);
        QVERIFY(window->periodBox()->isEnabled());
        QCOMPARE(window->periodBox()->color(), quint32(0x80000005));
    }
};

QTEST_MAIN(OrderProfitStartTest)
#include "OrderProfitStartTest.moc"
