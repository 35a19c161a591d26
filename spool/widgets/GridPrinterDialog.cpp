#include "spool/widgets/GridPrinterDialog.h"

#include "base/Dialogs.h"
#include "base/Error.h"
#include "base/ProcessContext.h"
#include "display/ClassRegistry.h"
#include "display/ColumnChooser.h"
#include "display/DisplayComponents.h"
#include "display/GridColumnSet.h"
#include "display/GridLayout.h"
#include "display/QtColors.h"
#include "settings/UserMode.h"

#include <QCoreApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QStandardItemModel>
#include <QTableView>

namespace gs {

namespace {

constexpr const char* kTmpSuffix = "TMP";
constexpr int kProgressMax = 1000;
constexpr HostColor kLayoutTitleColor = 16744576; // 0x00FF8080, the list titles' blue
constexpr const char* kLayoutSaveFailed = "Die Spaltenlayouts konnten nicht gespeichert werden:<BR>";

// UserMode.INI keys of the five check boxes.
constexpr const char* kPrintKey = "TFGridPrinterClass1";
constexpr const char* kPdfKey = "TFGridPrinterClass2";
constexpr const char* kPdfOpenKey = "TFGridPrinterClass3";
constexpr const char* kCsvKey = "TFGridPrinterClass4";
constexpr const char* kCsvOpenKey = "TFGridPrinterClass5";
constexpr const char* kAutoSizeOffKey = "TFGridPrinterClass.AutoSizeGridOff";

constexpr int kIdRole = Qt::UserRole + 10;

QCheckBox* MakeCheckBox(QWidget* parent, const char* name, const char* caption, const char* hint, QRect geometry)
{
    auto* box = new TFlatCheckBox(parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setText(QString::fromUtf8(caption));
    box->setToolTip(QString::fromUtf8(hint));
    box->setGeometry(geometry);
    return box;
}

QPushButton* MakeButton(QWidget* parent, const char* name, const QString& caption, const char* hint, QRect geometry)
{
    auto* button = new TFlatButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setText(caption);
    if (hint)
        button->setToolTip(QString::fromUtf8(hint));
    button->setGeometry(geometry);
    return button;
}

std::filesystem::path LayoutFile()
{
    return ProcessContext::current().besideProgram(GridLayoutFileName);
}

} // namespace

std::string GridLayoutSuffix(const QTableView* grid)
{
    return grid->property("LayoutSuffix").toString().toStdString();
}

void SetGridLayoutSuffix(QTableView* grid, const std::string& suffix)
{
    grid->setProperty("LayoutSuffix", QString::fromStdString(suffix));
}

TFGridPrinterClass::TFGridPrinterClass(QTableView* grid, unsigned flags, GridJobRunner runner, QWidget* parent)
    : QDialog(parent), grid_(grid), flags_(flags), runner_(std::move(runner))
{
    setObjectName(QStringLiteral("FGridPrinterClass"));
    setWindowTitle(QStringLiteral("Liste drucken/exportieren"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setFixedSize(350, 177);
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSize(8);
    setFont(font);
    buildOptionsPanel();
    buildProgressPanel();
    ApplySkin(this);
    printBox_->setChecked(true);

    layoutGrid_->setVisible(!(flags_ & HideLayouts));
    layoutButtons_->setVisible(!(flags_ & HideLayouts));
    printBox_->setVisible(!(flags_ & HidePrint));
    pdfBox_->setVisible(!(flags_ & HidePdf));
    pdfOpenBox_->setVisible(!(flags_ & HidePdf));
    csvBox_->setVisible(!(flags_ & HideCsv));
    csvOpenBox_->setVisible(!(flags_ & HideCsv));
    textButton_->setVisible(!(flags_ & HideText));
    openOnGrid();
}

TFGridPrinterClass::~TFGridPrinterClass() = default;

void TFGridPrinterClass::buildOptionsPanel()
{
    optionsPanel_ = new TPanel(this);
    optionsPanel_->setObjectName(QStringLiteral("P1"));
    optionsPanel_->setGeometry(0, 0, 350, 177);
    printBox_ = MakeCheckBox(optionsPanel_, "checkprint", "Drucken", "Sie können den Drucker im Anschluss wählen",
                             {6, 8, 178, 17});
    pdfBox_ = MakeCheckBox(optionsPanel_, "checkPDF", "Ausgabe in PDF-Datei", "Ausgabe erfolgt als PDF-Datei",
                           {6, 28, 178, 17});
    pdfOpenBox_ = MakeCheckBox(optionsPanel_, "checkPDFOpen", "PDF im Anschluss öffnen",
                               "Öffnet die  PDF-Datei im Anschluss (Reader muss vorhanden sein)", {20, 46, 164, 17});
    csvBox_ = MakeCheckBox(optionsPanel_, "checkCSV", "Als CSV(Excel) exportieren", "Ausgabe erfolgt als CSV-Format",
                           {6, 66, 178, 17});
    csvOpenBox_ = MakeCheckBox(optionsPanel_, "checkCSVOpen", "CSV im Anschuss öffnen",
                               "Öffnet die  CSV-Datei im Anschluss", {20, 84, 164, 17});
    pdfOpenBox_->setEnabled(false);
    csvOpenBox_->setEnabled(false);
    for (QCheckBox* box : {printBox_, pdfBox_, csvBox_})
        connect(box, &QCheckBox::clicked, this, &TFGridPrinterClass::updateEnabling);

    layoutButtons_ = new TPanel(optionsPanel_);
    layoutButtons_->setObjectName(QStringLiteral("PX"));
    layoutButtons_->setGeometry(4, 106, 180, 34);
    auto* label = new QLabel(QStringLiteral("Layout:"), layoutButtons_);
    label->setGeometry(4, 9, 40, 16);
    struct LayoutButton {
        const char* name;
        QString glyph;
        const char* hint;
    };
    const LayoutButton buttons[] = {{"fdel", QStringLiteral("\u2212"), "löschen"},
                                    {"fnew", QStringLiteral("+"), "Neu"},
                                    {"fedit", QStringLiteral("\u270E"), "Bearbeiten"},
                                    {"fup", QStringLiteral("\u25B2"), "nach oben"},
                                    {"fdown", QStringLiteral("\u25BC"), "nach unten"}};
    int x = 46;
    for (const LayoutButton& b : buttons) {
        MakeButton(layoutButtons_, b.name, b.glyph, b.hint, {x, 5, 24, 24});
        x += 26;
    }
    connect(layoutButtons_->findChild<QPushButton*>("fdel"), &QPushButton::clicked, this, [this] { deleteLayout(); });
    connect(layoutButtons_->findChild<QPushButton*>("fnew"), &QPushButton::clicked, this, [this] { editLayout(true); });
    connect(layoutButtons_->findChild<QPushButton*>("fedit"), &QPushButton::clicked, this,
            [this] { editLayout(false); });
    connect(layoutButtons_->findChild<QPushButton*>("fup"), &QPushButton::clicked, this, [this] { moveLayout(-1); });
    connect(layoutButtons_->findChild<QPushButton*>("fdown"), &QPushButton::clicked, this, [this] { moveLayout(+1); });

    layoutModel_ = new QStandardItemModel(0, 1, this);
    layoutModel_->setHeaderData(0, Qt::Horizontal, QStringLiteral("Layout-Name"));
    layoutModel_->setHeaderData(0, Qt::Horizontal, QStringLiteral("User"), FieldNameRole);
    layoutModel_->setHeaderData(0, Qt::Horizontal, QStringLiteral("/bLayout-Name"), TitleMarkupRole);
    layoutGrid_ = new TI_DBGrid(optionsPanel_);
    layoutGrid_->setObjectName(QStringLiteral("IG"));
    layoutGrid_->setModel(layoutModel_);
    layoutGrid_->setGeometry(188, 8, 154, 132);
    layoutGrid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    layoutGrid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    layoutGrid_->setSelectionMode(QAbstractItemView::SingleSelection);
    layoutGrid_->verticalHeader()->hide();
    layoutGrid_->horizontalHeader()->setStretchLastSection(true);
    QFont titleFont = layoutGrid_->horizontalHeader()->font();
    titleFont.setBold(true);
    layoutModel_->setHeaderData(0, Qt::Horizontal, titleFont, Qt::FontRole);
    layoutModel_->setHeaderData(0, Qt::Horizontal, HostColorToQColor(kLayoutTitleColor), Qt::BackgroundRole);
    layoutModel_->setHeaderData(0, Qt::Horizontal, HostColorToQColor(clWhite), Qt::ForegroundRole);
    connect(layoutGrid_->selectionModel(), &QItemSelectionModel::currentRowChanged, this, [this] {
        if (!applyingPaused_)
            applyCurrentLayout();
    });
    connect(layoutGrid_, &QTableView::doubleClicked, this, [this] { editLayout(false); });

    textButton_ = MakeButton(optionsPanel_, "ftext", QStringLiteral("Text"), nullptr, {8, 146, 60, 24});
    connect(textButton_, &QPushButton::clicked, this, [this] {
        if (TextAction)
            TextAction();
    });
    backButton_ = MakeButton(optionsPanel_, "FlatButton_cancel", QStringLiteral("&Zurück"), nullptr, {188, 146, 74, 24});
    goButton_ = MakeButton(optionsPanel_, "Fgo", QStringLiteral("&Weiter (F3)"), nullptr, {264, 146, 78, 24});
    connect(backButton_, &QPushButton::clicked, this, [this] {
        if (!busy_)
            reject();
    });
    connect(goButton_, &QPushButton::clicked, this, &TFGridPrinterClass::go);
}

void TFGridPrinterClass::buildProgressPanel()
{
    progressPanel_ = new TPanel(this);
    progressPanel_->setObjectName(QStringLiteral("P2"));
    progressPanel_->setGeometry(0, 0, 350, 177);
    auto* label = new QLabel(QStringLiteral("Transportieren..    ( [ESC] bricht ab)"), progressPanel_);
    label->setObjectName(QStringLiteral("Label1"));
    label->setGeometry(16, 40, 318, 18);
    progress_ = new QProgressBar(progressPanel_);
    progress_->setObjectName(QStringLiteral("PG"));
    progress_->setRange(0, kProgressMax);
    progress_->setTextVisible(false);
    progress_->setGeometry(16, 64, 318, 18);
    stopButton_ = MakeButton(progressPanel_, "FlatButton2", QStringLiteral("&Abbrechen"), nullptr, {135, 100, 80, 24});
    connect(stopButton_, &QPushButton::clicked, this, [this] {
        if (busy_)
            cancelRequested_ = true;
    });
    progressPanel_->hide();
    optionsPanel_->raise();
}

void TFGridPrinterClass::openOnGrid()
{
    printBox_->setChecked(ReadModeBool(kPrintKey, false));
    pdfBox_->setChecked(ReadModeBool(kPdfKey, true));
    pdfOpenBox_->setChecked(ReadModeBool(kPdfOpenKey, true));
    csvBox_->setChecked(ReadModeBool(kCsvKey, false));
    csvOpenBox_->setChecked(ReadModeBool(kCsvOpenKey, false));
    updateEnabling();

    savedSuffix_ = GridLayoutSuffix(grid_);
    SaveGridLayout(grid_, kTmpSuffix); // a failure only loses the way back to the opening columns
    layoutKey_ = grid_->objectName().toStdString() + savedSuffix_;
    restoreColumns_ = !(flags_ & KeepChosenColumns);

    // The grid's automatic sizing (its last column stretched) would undo the widths of a layout.
    QHeaderView* header = grid_->horizontalHeader();
    if (header->stretchLastSection() && ReadModeBool(kAutoSizeOffKey, true, {}, true)) {
        header->setStretchLastSection(false);
        autoSizeSwitchedOff_ = true;
    }

    try {
        layouts_.load(LayoutFile());
    } catch (const std::exception& e) {
        if (!isOrdinaryError(e))
            throw;
        // An unreadable layout file is kept as it is; the list starts empty.
    }
    fillLayoutList(0);
    applyCurrentLayout();
}

void TFGridPrinterClass::updateEnabling()
{
    pdfOpenBox_->setEnabled(pdfBox_->isChecked());
    csvOpenBox_->setEnabled(csvBox_->isChecked());
    goButton_->setEnabled(printBox_->isChecked() || pdfBox_->isChecked() || csvBox_->isChecked());
}

int TFGridPrinterClass::currentLayoutId() const
{
    const QModelIndex current = layoutGrid_->currentIndex();
    return current.isValid() ? layoutModel_->data(layoutModel_->index(current.row(), 0), kIdRole).toInt() : 0;
}

void TFGridPrinterClass::fillLayoutList(int selectId)
{
    applyingPaused_ = true;
    layoutModel_->removeRows(0, layoutModel_->rowCount());
    int selectRow = 0;
    for (const GridLayoutRow& row : layouts_.rowsOf(layoutKey_)) {
        auto* item = new QStandardItem(QString::fromStdString(row.user));
        item->setData(row.id, kIdRole);
        if (row.id == selectId)
            selectRow = layoutModel_->rowCount();
        layoutModel_->appendRow(item);
    }
    if (layoutModel_->rowCount() > 0)
        layoutGrid_->setCurrentIndex(layoutModel_->index(selectRow, 0));
    applyingPaused_ = false;
}

void TFGridPrinterClass::applyCurrentLayout()
{
    const GridLayoutRow* row = layouts_.find(currentLayoutId());
    if (row && !row->colums.empty()) {
        ApplyColumnSet(grid_, ParseColumnSet(row->colums));
    } else {
        SetGridLayoutSuffix(grid_, kTmpSuffix);
        LoadGridLayout(grid_, kTmpSuffix);
    }
}

void TFGridPrinterClass::saveLayouts()
{
    try {
        layouts_.save(LayoutFile());
    } catch (const std::exception& e) {
        if (!isOrdinaryError(e))
            throw;
        ShowMessageBox(std::string(kLayoutSaveFailed) + e.what());
    }
}

void TFGridPrinterClass::editLayout(bool asNew)
{
    ChooseGridColumns(grid_, this);
    const GridLayoutRow* current = layouts_.find(currentLayoutId());
    InputRequest request;
    request.defaultText = current ? current->user : "Standard";
    const std::string name = AskInput(request);
    if (!name.empty()) {
        const std::string colums = FormatColumnSet(ReadColumnSet(grid_));
        int id = 0;
        if (asNew || !current) {
            id = layouts_.append(layoutKey_, name, colums);
        } else {
            id = current->id;
            layouts_.edit(id, name, colums);
        }
        saveLayouts();
        fillLayoutList(id);
    }
    // A cancelled name drops the chooser's changes.
    applyCurrentLayout();
    grid_->viewport()->update();
}

void TFGridPrinterClass::deleteLayout()
{
    const int id = currentLayoutId();
    if (!id)
        return;
    const int row = layoutGrid_->currentIndex().row();
    layouts_.remove(id);
    saveLayouts();
    const auto rows = layouts_.rowsOf(layoutKey_);
    fillLayoutList(rows.empty() ? 0 : rows[std::min<size_t>(static_cast<size_t>(row), rows.size() - 1)].id);
    applyCurrentLayout();
}

void TFGridPrinterClass::moveLayout(int direction)
{
    const int id = currentLayoutId();
    if (!id)
        return;
    const int moved = direction < 0 ? layouts_.moveUp(id) : layouts_.moveDown(id);
    if (moved == id)
        return;
    saveLayouts();
    fillLayoutList(moved);
}

void TFGridPrinterClass::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_F3:
        if (!busy_ && goButton_->isEnabled())
            goButton_->click();
        event->accept();
        return;
    case Qt::Key_Escape:
        (busy_ ? stopButton_ : backButton_)->click();
        event->accept();
        return;
    default: QDialog::keyPressEvent(event);
    }
}

bool TFGridPrinterClass::progressTick()
{
    QCoreApplication::processEvents();
    if (progress_->value() >= progress_->maximum())
        progress_->setValue(1);
    progress_->setValue(progress_->value() + 1);
    return cancelRequested_;
}

void TFGridPrinterClass::go()
{
    if (busy_)
        return;
    busy_ = true;
    progressPanel_->show();
    progressPanel_->raise();
    progress_->setValue(1);
    GridPrintChoice choice;
    choice.print = !printBox_->isHidden() && printBox_->isChecked();
    choice.pdf = !pdfBox_->isHidden() && pdfBox_->isChecked();
    choice.pdfOpen = !pdfOpenBox_->isHidden() && pdfOpenBox_->isChecked();
    choice.csv = !csvBox_->isHidden() && csvBox_->isChecked();
    choice.csvOpen = choice.csv && csvOpenBox_->isChecked();
    const unsigned options = JobOptionsOf(choice, flags_);
    result_ = {-200, options};
    if (runner_) {
        GridJobsHooks hooks;
        hooks.Progress = [this] { return progressTick(); };
        hooks.OutputDone = [this] { progress_->setValue(progress_->maximum()); };
        result_ = runner_(options, hooks);
    }
    accept();
}

void TFGridPrinterClass::done(int r)
{
    try {
        WriteModeBool(kPrintKey, printBox_->isChecked());
        WriteModeBool(kPdfKey, pdfBox_->isChecked());
        WriteModeBool(kPdfOpenKey, pdfOpenBox_->isChecked());
        WriteModeBool(kCsvKey, csvBox_->isChecked());
        WriteModeBool(kCsvOpenKey, csvOpenBox_->isChecked());
    } catch (const std::exception& e) {
        if (!isOrdinaryError(e))
            throw;
        // The choice is only not remembered; the grid must still get its columns back.
    }
    if (autoSizeSwitchedOff_)
        grid_->horizontalHeader()->setStretchLastSection(true);
    if (restoreColumns_) {
        SetGridLayoutSuffix(grid_, kTmpSuffix);
        LoadGridLayout(grid_, kTmpSuffix);
        std::error_code ec;
        std::filesystem::path col = GridLayoutFileOf(grid_, kTmpSuffix);
        std::filesystem::remove(col, ec);
        std::filesystem::remove(col.replace_extension(".COX"), ec);
    }
    SetGridLayoutSuffix(grid_, savedSuffix_);
    QDialog::done(r);
}

} // namespace gs
