// The colour skin over a small window built from the display components.
#include "app/Runtime.h"
#include "display/ClassRegistry.h"
#include "display/DisplayComponents.h"
#include "appearance/SkinFile.h"
#include "appearance/SkinRules.h"
#include "appearance/widgets/ColorWrapper.h"
#include "display/QtColors.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <stdexcept>

using namespace gs;

// A flat button under another class name: the skin leaves it alone.
class TMyFlatButton : public TFlatButton {
    Q_OBJECT
public:
    using TFlatButton::TFlatButton;
};

namespace {

enum FileKind { NoFile, TextFile, DirectoryInstead };

// FOrderProfit1: fgo, Panel1 { sCheckBox1, fInner }, fprint, fsub (a TFlatButton subclass).
struct TestWindow {
    QWidget window;
    TFlatButton* fgo;
    TPanel* panel;
    TsCheckBox* check;
    TFlatButton* inner;
    TFlatButton* fprint;
    TMyFlatButton* fsub;

    TestWindow()
    {
        window.setObjectName("FOrderProfit1");
        fgo = new TFlatButton("Finden", &window);
        fgo->setObjectName("fgo");
        panel = new TPanel(&window);
        panel->setObjectName("Panel1");
        check = new TsCheckBox("Balken", panel);
        check->setObjectName("sCheckBox1");
        inner = new TFlatButton("Innen", panel);
        inner->setObjectName("fInner");
        fprint = new TFlatButton("Drucken", &window);
        fprint->setObjectName("fprint");
        fsub = new TMyFlatButton("Anders", &window);
        fsub->setObjectName("fsub");
    }
};

// Fails while styling sCheckBox1.
class ThrowingWrapper : public TColorWrapper {
    Q_OBJECT
protected:
    void styleComponent(const SkinFile& skin, QObject* component, const QString& windowName) override
    {
        if (component->objectName() == "sCheckBox1")
            throw std::runtime_error("styling failed");
        TColorWrapper::styleComponent(skin, component, windowName);
    }
};

} // namespace

class SkinTest : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    std::unique_ptr<Runtime> runtime_;

    QString skinPath() const { return dir_.filePath("gewinnstatistik.SKM"); }
    QString debugPath() const { return dir_.filePath("DEBUGSKIN/FOrderProfit1-DEBUG.DAT"); }

    void prepareSkin(int kind, const QByteArray& bytes)
    {
        QFile::remove(skinPath());
        QDir(skinPath()).removeRecursively();
        QDir(dir_.filePath("DEBUGSKIN")).removeRecursively();
        if (kind == TextFile) {
            QFile f(skinPath());
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(bytes);
        } else if (kind == DirectoryInstead) {
            QVERIFY(QDir().mkpath(skinPath()));
        }
    }

private slots:
    void initTestCase()
    {
        QVERIFY(dir_.isValid());
        runtime_ = std::make_unique<Runtime>(std::filesystem::path(dir_.filePath("gewinnstatistik").toStdString()));
    }

    void init() { RegisterColorWrapper(); }

    void appliesTheSkinFile_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QByteArray>("skin");
        QTest::addColumn<quint32>("fgo");
        QTest::addColumn<quint32>("fprint");
        QTest::addColumn<quint32>("inner");
        QTest::addColumn<quint32>("check");
        QTest::addColumn<int>("bevelOuter");
        QTest::addColumn<bool>("fprintShown");
        QTest::addColumn<QColor>("window");
        QTest::addColumn<QByteArray>("debugList");

        const quint32 face = clBtnFace;
        const QColor none;
        QTest::newRow("no skin file") << int(NoFile) << QByteArray() << face << face << face << clNone << 2 << true
                                      << none << QByteArray();
        QTest::newRow("empty skin file") << int(TextFile) << QByteArray() << face << face << face << clNone << 2
                                         << true << none << QByteArray();
        QTest::newRow("unreadable skin file") << int(DirectoryInstead) << QByteArray() << face << face << face
                                              << clNone << 2 << true << none << QByteArray();
        QTest::newRow("garbage") << int(TextFile) << QByteArray("\x00\xFF\xFE=\x01\r\n===\r\nTFlatButton_Color\r\n"
                                                                "\x89PNG\x1A\n",
                                                                27)
                                 << face << face << face << clNone << 2 << true << none << QByteArray();
        QTest::newRow("class key colours every flat button")
            << int(TextFile) << QByteArray("TFlatButton_Color=clRed\r\n") << clRed << clRed << clRed << clNone << 2
            << true << none << QByteArray();
        QTest::newRow("per-control key wins over the class key")
            << int(TextFile) << QByteArray("TFlatButton_Color=clRed\r\nFOrderProfit1.fgo|Color=$0000FF00\r\n")
            << quint32(0x00FF00) << clRed << clRed << clNone << 2 << true << none << QByteArray();
        QTest::newRow("invalid per-control value falls back to the class key")
            << int(TextFile) << QByteArray("FOrderProfit1.fgo|Color=gruen\r\nTFlatButton_Color=clRed\r\n") << clRed
            << clRed << clRed << clNone << 2 << true << none << QByteArray();
        QTest::newRow("nested components use the window's name as prefix")
            << int(TextFile)
            << QByteArray("FOrderProfit1.fInner|Color=clBlue\r\nFOrderProfit1.sCheckBox1|Color=clYellow\r\n"
                          "FOrderProfit1.Panel1.fgo|Color=clRed\r\n")
            << face << face << clBlue << clYellow << 2 << true << none << QByteArray();
        QTest::newRow("integer -1 changes nothing")
            << int(TextFile) << QByteArray("TPanel_BevelOuter=-1\r\n") << face << face << face << clNone << 2 << true
            << none << QByteArray();
        QTest::newRow("integer per control")
            << int(TextFile) << QByteArray("FOrderProfit1.Panel1|BevelOuter=0\r\nTPanel_BevelOuter=1\r\n") << face
            << face << face << clNone << 0 << true << none << QByteArray();
        QTest::newRow("Visible only per control")
            << int(TextFile) << QByteArray("TFlatButton_Visible=0\r\nFOrderProfit1.fprint|Visible=0\r\n") << face
            << face << face << clNone << 2 << false << none << QByteArray();
        QTest::newRow("first line of a key counts")
            << int(TextFile) << QByteArray("tflatbutton_color=clRed\r\nTFlatButton_Color=clBlue\r\n") << clRed
            << clRed << clRed << clNone << 2 << true << none << QByteArray();
        QTest::newRow("window colour by class")
            << int(TextFile) << QByteArray("Form_Color=clYellow\r\n") << face << face << face << clNone << 2 << true
            << QColor(255, 255, 0) << QByteArray();
        QTest::newRow("window colour by name")
            << int(TextFile) << QByteArray("Form_Color=clYellow\r\nFOrderProfit1|Color=$FF0000\r\n") << face << face
            << face << clNone << 2 << true << QColor(0, 0, 255) << QByteArray();
        QTest::newRow("lower-case debugoutput writes nothing")
            << int(TextFile) << QByteArray("debugoutput\r\nTFlatButton_Color=clRed\r\n") << clRed << clRed << clRed
            << clNone << 2 << true << none << QByteArray();
        QTest::newRow("DEBUGOUTPUT writes the names in walk order")
            << int(TextFile) << QByteArray("DEBUGOUTPUT\r\nTFlatButton_Color=clRed\r\n") << clRed << clRed << clRed
            << clNone << 2 << true << none
            << QByteArray("FOrderProfit1.\r\nfgo\r\nPanel1\r\nsCheckBox1\r\nfInner\r\nfprint\r\nfsub\r\n");
    }

    void appliesTheSkinFile()
    {
        QFETCH(int, kind);
        QFETCH(QByteArray, skin);
        prepareSkin(kind, skin);

        TestWindow w;
        ApplySkin(&w.window);

        QTEST(w.fgo->color(), "fgo");
        QTEST(w.fprint->color(), "fprint");
        QTEST(w.inner->color(), "inner");
        QTEST(w.check->color(), "check");
        QTEST(w.panel->bevelOuter(), "bevelOuter");
        QTEST(!w.fprint->isHidden(), "fprintShown");
        QVERIFY(!w.fgo->isHidden());
        QCOMPARE(w.fsub->color(), quint32(clBtnFace)); // a subclass under another name is not styled
        QFETCH(QColor, window);
        if (window.isValid()) {
            QVERIFY(w.window.autoFillBackground());
            QCOMPARE(w.window.palette().color(QPalette::Window), window);
        } else {
            QVERIFY(!w.window.autoFillBackground());
        }
        QCOMPARE(w.window.property("HelpContext").toInt(), 1);
        QFETCH(QByteArray, debugList);
        QFile debug(debugPath());
        if (debugList.isEmpty()) {
            QVERIFY(!debug.exists());
        } else {
            QVERIFY(debug.open(QIODevice::ReadOnly));
            QCOMPARE(debug.readAll(), debugList);
        }
    }

    void withoutAnApplierNothingIsStyled()
    {
        prepareSkin(TextFile, "TFlatButton_Color=clRed\r\n");
        UnregisterNamedClass("TColorWrapper");
        TestWindow w;
        ApplySkin(&w.window);
        QCOMPARE(w.fgo->color(), quint32(clBtnFace));
        QCOMPARE(w.window.property("HelpContext").toInt(), 1);
    }

    void anErrorEndsOnlyTheOwnersLaterComponents()
    {
        prepareSkin(TextFile, "TFlatButton_Color=clRed\r\n");
        RegisterNamedClass<ThrowingWrapper>("TColorWrapper");
        TestWindow w;
        ApplySkin(&w.window); // must not throw
        QCOMPARE(w.fgo->color(), quint32(clRed));
        QCOMPARE(w.inner->color(), quint32(clBtnFace)); // after the failing check box in Panel1
        QCOMPARE(w.fprint->color(), quint32(clRed));    // the window's own list goes on
    }

    void propertiesAreSetOnlyWhereTheyArePublished()
    {
        QObject plain;
        SkinSetting setting{"Color", SkinValueKind::Color, clRed, 0};
        QVERIFY(!SetSkinProperty(&plain, setting));
        QVERIFY(!plain.property("Color").isValid()); // no dynamic property appears

        TFlatButton button;
        QVERIFY(SetSkinProperty(&button, setting));
        QCOMPARE(button.color(), quint32(clRed));
        QVERIFY(SetSkinProperty(&button, SkinSetting{"Round", SkinValueKind::Integer, 0, 5}));
        QCOMPARE(button.round(), 5);
    }

    void walkSkipsOwnedWindowsAndQtInternals()
    {
        prepareSkin(TextFile, "DEBUGOUTPUT\r\nTFlatButton_Color=clRed\r\nTDCCustomChoiceEdit_Color=clAqua\r\n");
        QWidget window;
        window.setObjectName("FOrderProfit1");
        auto* pages = new TPageControl(&window);
        pages->setObjectName("PageControl1");
        auto* sheet = new QWidget;
        sheet->setObjectName("TabSheet1");
        pages->addTab(sheet, "Liste");
        auto* year = new TDCComboBox(sheet);
        year->setObjectName("dccyear");
        auto* dialog = new QWidget(&window, Qt::Dialog); // another window owned by this one
        dialog->setObjectName("FOther");
        auto* foreign = new TFlatButton("x", dialog);
        foreign->setObjectName("fforeign");
        auto* unnamed = new TFlatButton("y", &window); // no name: still a component of a styled class

        ApplySkin(&window);
        QCOMPARE(year->color(), quint32(clAqua));
        QCOMPARE(unnamed->color(), quint32(clRed));
        QCOMPARE(foreign->color(), quint32(clBtnFace));
        QFile debug(debugPath());
        QVERIFY(debug.open(QIODevice::ReadOnly));
        QCOMPARE(debug.readAll(), QByteArray("FOrderProfit1.\r\nPageControl1\r\nTabSheet1\r\ndccyear\r\n\r\n"));
    }
};

QTEST_MAIN(SkinTest)
#include "SkinTest.moc"
