// The display components, the host colour conversion and the window layer's dialog seam.
#include "app/Runtime.h"
#include "display/ColumnChooser.h"
#include "display/DisplayComponents.h"
#include "display/GridLayout.h"
#include "display/WidgetDialogs.h"
#include "appearance/SkinRules.h"
#include "display/QtColors.h"
#include "widgets/support/FakeWidgetDialogs.h"

#include <QHeaderView>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QStandardItemModel>
#include <QPrinter>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

using namespace gs;

namespace {

QColor PixelAt(QWidget& w, QPoint p)
{
    return w.grab().toImage().pixelColor(p);
}

std::vector<std::unique_ptr<QWidget>> EveryComponent()
{
    std::vector<std::unique_ptr<QWidget>> all;
    all.push_back(std::make_unique<TFlatButton>());
    all.push_back(std::make_unique<TFlatSpeedButton>());
    all.push_back(std::make_unique<TFlatCheckBox>());
    all.push_back(std::make_unique<TsCheckBox>());
    all.push_back(std::make_unique<TPanel>());
    all.push_back(std::make_unique<TFlatPanel>());
    all.push_back(std::make_unique<TFlatGroupBox>());
    all.push_back(std::make_unique<THTMLabel>());
    all.push_back(std::make_unique<TFlatMemo>());
    all.push_back(std::make_unique<TI_DBGrid>());
    all.push_back(std::make_unique<TDCComboBox>());
    all.push_back(std::make_unique<TPageControl>());
    return all;
}

} // namespace

class DisplayComponentsTest : public QObject {
    Q_OBJECT

private slots:
    void hostColorsToScreenColors_data()
    {
        QTest::addColumn<quint32>("host");
        QTest::addColumn<QColor>("expected");
        const QPalette pal = QGuiApplication::palette();
        QTest::newRow("red") << quint32(clRed) << QColor(255, 0, 0);
        QTest::newRow("bgr order") << quint32(0xFF8080) << QColor(128, 128, 255);
        QTest::newRow("orange") << quint32(0x0080FF) << QColor(255, 128, 0);
        QTest::newRow("button face") << quint32(clBtnFace) << pal.color(QPalette::Button);
        QTest::newRow("window") << quint32(clWindow) << pal.color(QPalette::Base);
        QTest::newRow("window text") << quint32(clWindowText) << pal.color(QPalette::Text);
        QTest::newRow("highlight") << quint32(clHighlight) << pal.color(QPalette::Highlight);
        QTest::newRow("info background") << quint32(0x80000018) << pal.color(QPalette::ToolTipBase);
        QTest::newRow("gray text") << quint32(clGrayText) << pal.color(QPalette::Disabled, QPalette::Text);
        QTest::newRow("past the last system colour") << quint32(0x80000019) << QColor(0, 0, 0);
        QTest::newRow("none") << quint32(clNone) << QColor();
    }

    void hostColorsToScreenColors()
    {
        QFETCH(quint32, host);
        QTEST(HostColorToQColor(host), "expected");
    }

    void screenColorsToHostColors()
    {
        QCOMPARE(QColorToHostColor(QColor(255, 128, 0)), HostColor(0x0080FF));
        QCOMPARE(QColorToHostColor(QColor()), clNone);
        QCOMPARE(QColorToHostColor(HostColorToQColor(0x4080FF)), HostColor(0x4080FF));
    }

    // Every property the skin names for a class must be published by our component of that name.
    void componentsPublishWhatTheSkinSets()
    {
        for (const auto& component : EveryComponent()) {
            const QMetaObject* meta = component->metaObject();
            const SkinRow* row = FindSkinRow(meta->className());
            QVERIFY2(row, meta->className());
            for (const SkinProperty& p : row->properties) {
                const QByteArray name(p.target.data(), qsizetype(p.target.size()));
                QVERIFY2(meta->indexOfProperty(name.constData()) >= 0,
                         QByteArray(meta->className()) + " lacks " + name);
            }
        }
    }

    void flatButtonPaintsItsColours()
    {
        TFlatButton b;
        b.setFocusPolicy(Qt::NoFocus);
        b.resize(60, 24);
        b.setProperty("Color", QVariant::fromValue(quint32(clRed)));
        b.setProperty("ColorBorder", QVariant::fromValue(quint32(clBlue)));
        QCOMPARE(PixelAt(b, {30, 12}), QColor(255, 0, 0));
        QCOMPARE(PixelAt(b, {0, 12}), QColor(0, 0, 255));
        b.setColorShadow(clFuchsia); // the 3D edge just inside the border, bottom and right
        QCOMPARE(PixelAt(b, {58, 12}), QColor(255, 0, 255));
        QCOMPARE(PixelAt(b, {30, 22}), QColor(255, 0, 255));
        b.setDown(true);
        b.setColorDown(clLime);
        QCOMPARE(PixelAt(b, {30, 12}), QColor(0, 255, 0));
        b.setProperty("Visible", false);
        QVERIFY(b.isHidden());
        QCOMPARE(b.property("Visible").toBool(), false);
    }

    void panelsPaintColourAndBevels()
    {
        TPanel panel;
        panel.resize(40, 30);
        panel.setColor(clLime);
        QCOMPARE(PixelAt(panel, {20, 15}), QColor(0, 255, 0));
        QCOMPARE(panel.frameShape(), QFrame::Panel);
        QCOMPARE(panel.frameShadow(), QFrame::Raised);
        panel.setProperty("BevelOuter", 1);
        QCOMPARE(panel.frameShadow(), QFrame::Sunken);
        panel.setProperty("BevelOuter", 0);
        QCOMPARE(panel.frameShape(), QFrame::NoFrame);
        panel.setProperty("BevelOuter", 9); // no bevel kind: ignored
        QCOMPARE(panel.bevelOuter(), 0);
        panel.setProperty("BevelInner", 2);
        QCOMPARE(panel.contentsMargins().left(), 1);

        TFlatPanel legend;
        legend.resize(60, 20);
        legend.setColor(0xFF0000); // blue
        legend.setColorShadow(clRed);
        QCOMPARE(PixelAt(legend, {30, 10}), QColor(0, 0, 255));
        QCOMPARE(PixelAt(legend, {59, 10}), QColor(255, 0, 0));
        legend.setColor(clNone);
        QVERIFY(!legend.autoFillBackground());
    }

    void checkBoxesAndLabelsTakeTheirBackground()
    {
        TsCheckBox check("Balken");
        check.resize(100, 20);
        check.setColor(clYellow);
        QCOMPARE(PixelAt(check, {95, 10}), QColor(255, 255, 0));

        THTMLabel label;
        label.setHTMLText("<B>fett</B>#13#10");
        QCOMPARE(label.text(), QString("<b>fett</b>#13#10"));
        QCOMPARE(label.textFormat(), Qt::RichText);
        label.resize(80, 20);
        label.setColor(clAqua);
        QCOMPARE(PixelAt(label, {79, 19}), QColor(0, 255, 255));
    }

    void gridComboAndMemoSettings()
    {
        TI_DBGrid grid;
        grid.setProperty("Color", QVariant::fromValue(quint32(clSilver)));
        grid.setProperty("FixedColor", QVariant::fromValue(quint32(0xFF8080)));
        QCOMPARE(grid.palette().color(QPalette::Base), QColor(192, 192, 192));
        QCOMPARE(grid.horizontalHeader()->palette().color(QPalette::Button), QColor(128, 128, 255));
        QCOMPARE(grid.frameShape(), QFrame::StyledPanel);
        grid.setProperty("BorderStyle", 0);
        QCOMPARE(grid.frameShape(), QFrame::NoFrame);

        TDCComboBox combo;
        combo.setProperty("DrawStyle", 1);
        QVERIFY(!combo.hasFrame());
        combo.setProperty("Color", QVariant::fromValue(quint32(clYellow)));
        QCOMPARE(combo.palette().color(QPalette::Base), QColor(255, 255, 0));

        TFlatMemo memo;
        memo.setColorFlat(clYellow);
        QCOMPARE(memo.palette().color(QPalette::Base), QColor(255, 255, 0));
        memo.setColorBorder(clRed);
        QCOMPARE(memo.palette().color(QPalette::WindowText), QColor(255, 0, 0));
    }

    // --- dialogs seam -------------------------------------------------------------------------

    void fileFiltersForQt_data()
    {
        QTest::addColumn<QString>("host");
        QTest::addColumn<QString>("qt");
        QTest::newRow("two") << "CSV Dateien|*.csv|Text Dateien|*.txt" << "CSV Dateien (*.csv);;Text Dateien (*.txt)";
        QTest::newRow("several patterns") << "Bilder|*.png;*.jpg" << "Bilder (*.png *.jpg)";
        QTest::newRow("none") << "" << "Alle Dateien (*)";
    }

    void fileFiltersForQt()
    {
        QFETCH(QString, host);
        QTEST(QtFileFilter(host.toStdString()), "qt");
    }

    void printerChoiceGoesThroughTheSeam()
    {
        QTemporaryDir dir;
        Runtime runtime(std::filesystem::path(dir.filePath("gewinnstatistik").toStdString()));
        QPrinter printer;
        QVERIFY(!ChoosePrinter(printer, nullptr)); // console dialogs print nothing

        auto fake = std::make_shared<test::FakeWidgetDialogs>();
        runtime.setDialogs(fake);
        fake->printerAnswers = {true};
        const QString pdf = dir.filePath("chart.pdf");
        fake->configurePrinter = [pdf](QPrinter& p) { p.setOutputFileName(pdf); };
        QVERIFY(ChoosePrinter(printer, nullptr));
        QCOMPARE(printer.outputFileName(), pdf);
        QVERIFY(!ChoosePrinter(printer, nullptr));
        QCOMPARE(fake->printerRequests, 2);

        fake->yesNoAnswers = {true};
        QVERIFY(AskYesNo("Drucken?"));
        QVERIFY(!AskYesNo("Noch einmal?"));
        ShowMessageBox("Fertig");
        QCOMPARE(fake->texts(), (std::vector<std::string>{"Drucken?", "Noch einmal?", "Fertig"}));
        InputRequest pick;
        pick.items = {"a"};
        pick.pickFromList = true;
        QCOMPARE(AskInput(pick), std::string("-1"));
    }

    // --- column chooser -----------------------------------------------------------------------

    void columnChooserHidesMovesAndSizesColumns()
    {
        QTemporaryDir dir;
        Runtime runtime(std::filesystem::path(dir.filePath("gewinnstatistik").toStdString()));
        auto fake = std::make_shared<test::FakeWidgetDialogs>();
        runtime.setDialogs(fake);
        QStandardItemModel model(1, 3);
        const QStringList fields{"ID_ORDER", "DATE", "GEWINN"};
        for (int i = 0; i < 3; ++i) {
            model.setHeaderData(i, Qt::Horizontal, fields[i], FieldNameRole);
            model.setHeaderData(i, Qt::Horizontal, QStringLiteral("Titel ") + fields[i]);
        }
        TI_DBGrid grid;
        grid.setModel(&model);
        grid.horizontalHeader()->resizeSection(0, 80);

        // Cancel leaves the grid as it was, even after changes inside the window.
        fake->modalScripts.push_back([](QDialog& d) {
            d.findChild<QListWidget*>("ColumnList")->item(0)->setCheckState(Qt::Unchecked);
            return int(QDialog::Rejected);
        });
        QVERIFY(!ChooseGridColumns(&grid));
        QVERIFY(!grid.horizontalHeader()->isSectionHidden(0));

        fake->modalScripts.push_back([](QDialog& d) {
            auto* list = d.findChild<QListWidget*>("ColumnList");
            if (list->item(2)->text() != QStringLiteral("Titel GEWINN"))
                return int(QDialog::Rejected);
            list->item(1)->setCheckState(Qt::Unchecked);     // hide DATE
            list->setCurrentRow(2);                           // GEWINN to the front
            d.findChild<QPushButton*>("ColumnUp")->click();
            d.findChild<QPushButton*>("ColumnUp")->click();
            d.findChild<QPushButton*>("ColumnUp")->click();   // already first: stays
            d.findChild<QSpinBox*>("ColumnWidth")->setValue(123);
            d.findChild<QPushButton*>("ColumnOk")->click();
            return d.result();
        });
        QVERIFY(ChooseGridColumns(&grid));
        QCOMPARE(fake->modalWindows, (std::vector<QString>{"FColumnChooser", "FColumnChooser"}));
        const QHeaderView* header = grid.horizontalHeader();
        QCOMPARE(header->logicalIndex(0), 2);
        QCOMPARE(header->sectionSize(2), 123);
        QVERIFY(header->isSectionHidden(1));
        QCOMPARE(header->sectionSize(0), 80);
    }
};

QTEST_MAIN(DisplayComponentsTest)
#include "DisplayComponentsTest.moc"
