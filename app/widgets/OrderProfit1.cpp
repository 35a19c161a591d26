#include "app/widgets/OrderProfit1.h"

#include "base/Dates.h"
#include "base/Dialogs.h"
#include "base/Error.h"
#include "app/MenuInstall.h"
#include "app/PeriodSelection.h"
#include "base/Runtime.h"
#include "display/DisplayComponents.h"
#include "display/GridLayout.h"
#include "display/HostFonts.h"
#include "app/widgets/ProfitChart.h"
#include "app/widgets/ProfitList.h"
#include "display/WaitCursor.h"
#include "display/WidgetDialogs.h"
#include "app/widgets/WidgetPlacement.h"
#include "appearance/widgets/ColorWrapper.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QProgressBar>
#include <QVBoxLayout>

#include <algorithm>

namespace gs {

namespace {

// Names the documents a run counted without readable profit information, beside the period box;
// hidden when there are none. Made on first use, so the window keeps the host's layout.
void ShowRunWarnings(QWidget* bottom, const std::vector<std::string>& warnings)
{
    auto* hint = bottom->findChild<QLabel*>(QStringLiteral("lblHinweis"), Qt::FindDirectChildrenOnly);
    if (!hint) {
        hint = new QLabel(bottom);
        hint->setObjectName(QStringLiteral("lblHinweis"));
        hint->setWordWrap(true);
        hint->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        hint->setStyleSheet(QStringLiteral("color: #C00000;"));
    }
    QStringList lines;
    for (const std::string& w : warnings)
        lines << QString::fromStdString(w);
    hint->setText(lines.join(QLatin1Char('\n')));
    hint->setToolTip(hint->text());
    hint->setGeometry(358, 33, std::max(0, bottom->width() - 362), std::max(0, bottom->height() - 35));
    hint->setVisible(!warnings.empty());
    hint->raise();
}

constexpr quint32 LegendNetColor = 16711680u;       // 0xFF0000, blue
constexpr quint32 LegendProfitColor = 65280u;       // 0x00FF00, green
constexpr quint32 LegendCommissionColor = 33023u;   // 0x0080FF, orange
constexpr const char* GroupCaption = "Jahr:                          Monat/Quartal:                            ";

template <class T>
T* Named(T* widget, const char* name)
{
    widget->setObjectName(QString::fromLatin1(name));
    return widget;
}

int CurrentYear()
{
    int y = 0, m = 0, d = 0;
    DecodeDate(Runtime::current().now(), y, m, d);
    return y;
}

// Leaves the running flag on every way out of a run.
struct RunningFlag {
    bool& flag;
    explicit RunningFlag(bool& f) : flag(f) { flag = true; }
    ~RunningFlag() { flag = false; }
};

} // namespace

TFOrderProfit1::TFOrderProfit1(CommandLine commandLine, HostIdentity host, StatisticsRunFunction run, QWidget* parent)
    : QWidget(parent), commandLine_(std::move(commandLine)), host_(std::move(host)), run_(std::move(run)),
      session_(std::make_unique<TDatabaseSession>())
{
    setObjectName(QStringLiteral("FOrderProfit1"));
    setWindowTitle(QString::fromUtf8(ApplicationTitle));
    setFont(HostFont(QStringLiteral("MS Sans Serif"), 8));
    QPalette pal = palette();
    pal.setColor(QPalette::Window, Qt::white);
    setPalette(pal);
    setAutoFillBackground(true);
    setMinimumSize(DesignWidth, DesignHeight);
    resize(DesignWidth, DesignHeight);
    buildComponents();
    FormCreate();
}

TFOrderProfit1::~TFOrderProfit1()
{
    // The list must not look at KM while the widgets go.
    if (listModel_)
        listModel_->setDetached(true);
}

void TFOrderProfit1::buildComponents()
{
    auto* main = new QVBoxLayout(this);
    main->setContentsMargins(0, 0, 0, 0);
    main->setSpacing(0);

    // --- tabs ---------------------------------------------------------------------------------
    PageControl1 = Named(new TPageControl(this), "PageControl1");
    TabSheet1 = Named(new QWidget, "TabSheet1");
    TabSheet2 = Named(new QWidget, "TabSheet2");
    PageControl1->addTab(TabSheet1, QStringLiteral("Liste"));
    PageControl1->addTab(TabSheet2, QStringLiteral("Grafik"));
    main->addWidget(PageControl1, 1);

    auto* listLayout = new QVBoxLayout(TabSheet1);
    listLayout->setContentsMargins(0, 0, 0, 0);
    DBGrid_CURRGW1 = Named(new TI_DBGrid(TabSheet1), "DBGrid_CURRGW1");
    listModel_ = SetupProfitList(DBGrid_CURRGW1, &tables_.KM);
    InstallColumnChooser(DBGrid_CURRGW1);
    listLayout->addWidget(DBGrid_CURRGW1);

    auto* chartLayout = new QVBoxLayout(TabSheet2);
    chartLayout->setContentsMargins(0, 0, 0, 0);
    DBChart1 = new TProfitChart(TabSheet2);
    chartLayout->addWidget(DBChart1);

    // The legend over the chart's top-left corner.
    Panel2 = Named(new TPanel(TabSheet2), "Panel2");
    Panel2->setGeometry(4, 4, 90, 78);
    Panel2->setColor(clWhite);
    const QFont legendFont = HostFont(QStringLiteral("Tahoma"), 8, true);
    struct Legend {
        TFlatPanel** panel;
        const char* name;
        const char* caption;
        quint32 fontColor;
        int top;
    };
    for (const Legend& l : {Legend{&FlatPanel1, "FlatPanel1", "Netto", clWhite, 3},
                            Legend{&FlatPanel2, "FlatPanel2", "Provisionen", clWhite, 21},
                            Legend{&FlatPanel3, "FlatPanel3", "Gewinn", 0xFF0000u, 39}}) {
        TFlatPanel* p = Named(new TFlatPanel(Panel2), l.name);
        p->setGeometry(3, l.top, 84, 17);
        p->setCaption(QString::fromUtf8(l.caption));
        p->setFontColor(l.fontColor);
        p->setFont(legendFont);
        *l.panel = p;
    }
    sCheckBox1 = Named(new TsCheckBox(QStringLiteral("Balken"), Panel2), "sCheckBox1");
    sCheckBox1->setGeometry(5, 58, 82, 17);
    sCheckBox1->setChecked(true);
    Panel2->raise();
    DBChart1->setLeftReserve(Panel2->geometry().right() + 2);

    // --- bottom panel -------------------------------------------------------------------------
    FPbottom = Named(new TFlatPanel(this), "FPbottom");
    FPbottom->setFixedHeight(88);
    main->addWidget(FPbottom);
    auto* bottom = new QVBoxLayout(FPbottom);
    bottom->setContentsMargins(1, 1, 1, 1);
    bottom->setSpacing(0);

    Summen = Named(new QPlainTextEdit(FPbottom), "Summen");
    Summen->setFixedHeight(29);
    Summen->setReadOnly(true);
    Summen->setFrameShape(QFrame::NoFrame);
    Summen->setFont(HostFont(QStringLiteral("Tahoma"), 8, true));
    Summen->setLineWrapMode(QPlainTextEdit::NoWrap);
    Summen->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Summen->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    Summen->setTabStopDistance(8 * QFontMetrics(Summen->font()).averageCharWidth());
    Summen->setPlainText(QStringLiteral("Summen"));
    bottom->addWidget(Summen);

    auto* row = new QHBoxLayout;
    row->setContentsMargins(4, 3, 0, 0);
    row->setSpacing(0);
    bottom->addLayout(row, 1);

    FlatGroupBox1 = Named(new TFlatGroupBox(QString::fromUtf8(GroupCaption), FPbottom), "FlatGroupBox1");
    FlatGroupBox1->setFixedSize(349, 53);
    row->addWidget(FlatGroupBox1, 0, Qt::AlignTop);
    row->addStretch(1);

    dccyear = Named(new TDCComboBox(FlatGroupBox1), "dccyear");
    dccmonths = Named(new TDCComboBox(FlatGroupBox1), "dccmonths");
    fgo = Named(new TFlatButton(QStringLiteral("Finden"), FlatGroupBox1), "fgo");
    PG = Named(new QProgressBar(FlatGroupBox1), "PG");
    // The period box stands under the caption's "Monat/Quartal:".
    const QFontMetrics fm(FlatGroupBox1->font());
    const QString caption = QString::fromUtf8(GroupCaption);
    const int monthsLeft = std::clamp(9 + fm.horizontalAdvance(caption.left(caption.indexOf(QLatin1String("Monat")))),
                                      8 + 97 + 4, 349 - 147 - 4 - 64);
    dccyear->setGeometry(8, 16, 97, 21);
    dccmonths->setGeometry(monthsLeft, 16, 147, 21);
    fgo->setGeometry(monthsLeft + 147 + 4, 15, 349 - 5 - (monthsLeft + 147 + 4), 23);
    PG->setGeometry(8, 39, 336, 13);
    PG->setRange(0, 100);
    PG->setTextVisible(false);
    PG->hide();

    Panel1 = Named(new TPanel(FPbottom), "Panel1");
    Panel1->setFixedWidth(204);
    Panel1->setBevelOuter(TPanel::bvNone);
    row->addWidget(Panel1);
    fprint = Named(new TFlatButton(QStringLiteral("Drucken"), Panel1), "fprint");
    fcancel = Named(new TFlatButton(QString::fromUtf8("Schließen"), Panel1), "fcancel");
    fprint->setGeometry(8, 16, 92, 25);
    fcancel->setGeometry(104, 16, 92, 25);
    fcancel->setToolTip(QString::fromUtf8("schließen"));

    PageControl1->setCurrentWidget(TabSheet2);

    connect(fgo, &QPushButton::clicked, this, [this] { fgoClick(); });
    connect(fprint, &QPushButton::clicked, this, [this] { fprintClick(); });
    connect(fcancel, &QPushButton::clicked, this, [this] { fcancelClick(); });
    connect(sCheckBox1, &QCheckBox::toggled, this, [this] { sCheckBox1Click(); });
}

void TFOrderProfit1::FormCreate()
{
    FPbottom->setColor(clBtnFace);
    ApplySkin(this);
    RestoreWindowPlacement(this, {}, OrderProfitPlacementKey, 1, -1);
    // The legend keeps its colours whatever the skin says.
    FlatPanel1->setColor(LegendNetColor);
    FlatPanel3->setColor(LegendProfitColor);
    FlatPanel2->setColor(LegendCommissionColor);
    guard_.arm();

    for (const std::string& year : YearItems(CurrentYear()))
        dccyear->addItem(QString::fromStdString(year));
    dccyear->setCurrentIndex(dccyear->count() - 1);
    for (const char* item : PeriodItems)
        dccmonths->addItem(QString::fromUtf8(item));
    dccmonths->setCurrentIndex(PeriodWholeYear);

    connect(dccyear, &QComboBox::currentIndexChanged, this, [this] { dccyearChange(); });
    connect(dccmonths, &QComboBox::currentIndexChanged, this, [this] { dccmonthsIndexChange(); });
}

void TFOrderProfit1::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (shownOnce_)
        return;
    shownOnce_ = true;
    FormShow();
}

void TFOrderProfit1::FormShow()
{
    QEvent start(ProfitStartEvent);
    QCoreApplication::sendEvent(this, &start);
    if (commandLine_.isInstall())
        return;
    sCheckBox1Click();
    LoadGridLayout(DBGrid_CURRGW1);
    layoutLoaded_ = true;
    guard_.release();
}

bool TFOrderProfit1::event(QEvent* event)
{
    if (event->type() == ProfitStartEvent) {
        WMProfitStart();
        return true;
    }
    if (event->type() == ProfitRunEvent) {
        WMProfitRun();
        return true;
    }
    return QWidget::event(event);
}

void TFOrderProfit1::setCaption(const std::string& caption)
{
    setWindowTitle(QString::fromStdString(caption));
    if (isVisible())
        repaint();
}

void TFOrderProfit1::requestClose()
{
    // Closing from inside the first show would hide the window while it is being shown: close as
    // soon as the show has returned.
    QMetaObject::invokeMethod(this, [this] { close(); }, Qt::QueuedConnection);
}

void TFOrderProfit1::WMProfitStart()
{
    Runtime& runtime = Runtime::current();
    if (commandLine_.isInstall()) {
        InstallMenuEntry(runtime.programFile(), commandLine_.isSilent());
        requestClose();
        return;
    }
    const auto caption = [this](const std::string& text) { setCaption(text); };
    if (!ConnectForStart(*session_, commandLine_, host_, caption)) {
        requestClose();
        return;
    }
    try {
        if (completeStart_)
            completeStart_(runtime, *session_, caption);
        else
            CompleteStart(runtime, *session_, caption);
        started_ = true;
    } catch (const std::exception& e) {
        if (!isOrdinaryError(e))
            throw;
        // The application's default error display: the error's own text; the window stays open.
        ShowMessageBox(e.what());
    }
}

void TFOrderProfit1::closeEvent(QCloseEvent* event)
{
    SaveWindowPlacement(this, {}, OrderProfitPlacementKey, false, -1);
    if (layoutLoaded_)
        SaveGridLayout(DBGrid_CURRGW1);
    event->accept();
}

void TFOrderProfit1::fcancelClick() { close(); }

void TFOrderProfit1::fgoClick() { QCoreApplication::postEvent(this, new QEvent(ProfitRunEvent)); }

void TFOrderProfit1::dccyearChange()
{
    const bool enabled = PeriodBoxEnabled(dccyear->currentIndex());
    dccmonths->setEnabled(enabled);
    dccmonths->setColor(enabled ? PeriodBoxEnabledColor : PeriodBoxDisabledColor);
    dccmonthsIndexChange();
}

void TFOrderProfit1::dccmonthsIndexChange()
{
    if (guard_.allowsAutoRun())
        fgoClick();
}

void TFOrderProfit1::sCheckBox1Click() { DBChart1->setBarsActive(sCheckBox1->isChecked()); }

void TFOrderProfit1::setRunControlsEnabled(bool enabled)
{
    fgo->setEnabled(enabled);
    fprint->setEnabled(enabled);
    fcancel->setEnabled(enabled);
    FlatGroupBox1->setEnabled(enabled);
}

void TFOrderProfit1::WMProfitRun()
{
    if (running_)
        return; // the controls that start runs are disabled while one runs
    RunningFlag runningFlag(running_);
    BeginWait();
    listModel_->setDetached(true);
    setRunControlsEnabled(false);
    PG->setRange(0, 100);
    PG->setValue(0);
    PG->show();

    const RunProgressCallback progress = [this](const RunProgress& p) {
        PG->setRange(0, std::max(1, p.maximum));
        PG->setValue(std::clamp(p.position, 0, std::max(1, p.maximum)));
        QCoreApplication::processEvents();
    };
    RunOutcome outcome;
    try {
        if (run_)
            outcome = run_(session_->Table_ORDERS, dccyear->currentText().toStdString(), dccmonths->currentIndex(),
                           tables_, progress);
    } catch (const std::exception& e) {
        if (!isOrdinaryError(e))
            throw;
        outcome.error = e.what();
    }

    if (outcome.error) {
        EndWait();
        ShowMessageBox(*outcome.error);
    } else {
        Summen->setPlainText(QString::fromStdString(outcome.summen));
    }
    PG->hide();
    ShowRunWarnings(FPbottom, outcome.warnings);
    if (!outcome.chartTitle.empty())
        DBChart1->setTitleText(QString::fromStdString(outcome.chartTitle));
    DBChart1->refresh(tables_.KMC);
    listModel_->setDetached(false);
    if (listModel_->rowCount() > 0) {
        DBGrid_CURRGW1->setCurrentIndex(listModel_->index(0, 0));
        DBGrid_CURRGW1->scrollToTop();
    }
    setRunControlsEnabled(true);
    EndWait();
}

void TFOrderProfit1::fprintClick()
{
    if (PageControl1->currentWidget() == TabSheet1)
        printList();
    else
        printChart();
}

void TFOrderProfit1::printList()
{
    const std::string t = DateTimeToText(Runtime::current().now());
    ListPrintRequest request;
    request.titleText = "Gewinne, erstellt " + t;
    request.totalsText = Summen->toPlainText().toStdString();
    request.fileStem = "GEWINN-" + t + "-";
    if (listPrinter_)
        listPrinter_(request, DBGrid_CURRGW1, tables_);
}

void TFOrderProfit1::printChart()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(QPageLayout::Landscape);
    printer.setDocName(QString::fromUtf8(ApplicationTitle));
    if (!ChoosePrinter(printer, this))
        return;
    DBChart1->printChart(printer);
}

} // namespace gs
