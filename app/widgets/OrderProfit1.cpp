#include "app/widgets/OrderProfit1.h"

#include "app/ChartGroups.h"
#include "app/ProfitListRows.h"
#include "app/WindowChoices.h"
#include "display/DateRangeDialog.h"
#include "app/GroupColumns.h"
#include "app/widgets/ProfitGroupsPage.h"
#include "spool/ListCellText.h"
#include "spool/widgets/GridPrinter.h"

#include "base/Dates.h"
#include "base/Dialogs.h"
#include "base/Error.h"
#include "app/MenuInstall.h"
#include "app/PeriodSelection.h"
#include "app/Runtime.h"
#include "display/DisplayComponents.h"
#include "display/GridLayout.h"
#include "display/HostFonts.h"
#include "app/widgets/ChartPicture.h"
#include "app/widgets/ProfitChart.h"
#include "app/widgets/ProfitList.h"
#include "display/WaitCursor.h"
#include "display/WidgetDialogs.h"
#include "app/widgets/WidgetPlacement.h"
#include "appearance/widgets/ColorWrapper.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QEventLoop>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPrinter>
#include <QProgressBar>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <exception>
#include <stdexcept>
#include <thread>

namespace gs {

namespace {

// Names the documents a run counted without readable profit information in the hint line; the
// whole text stands in its tooltip. Hidden when there is nothing to say.
void ShowRunWarnings(QLabel* hint, const std::vector<std::string>& warnings)
{
    QStringList lines;
    for (const std::string& w : warnings)
        lines << QString::fromStdString(w);
    hint->setText(lines.join(QLatin1Char('\n')));
    hint->setToolTip(hint->text());
    hint->setVisible(!warnings.empty());
}

constexpr quint32 LegendNetColor = 16711680u;       // 0xFF0000, blue
constexpr quint32 LegendProfitColor = 65280u;       // 0x00FF00, green
constexpr quint32 LegendCommissionColor = 33023u;   // 0x0080FF, orange
constexpr quint32 LegendLightTextColor = clWhite;   // "Netto" and "Provisionen"
constexpr quint32 LegendProfitTextColor = 0xFF0000u; // blue on the green "Gewinn"
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

int CurrentMonth()
{
    int y = 0, m = 0, d = 0;
    DecodeDate(Runtime::current().now(), y, m, d);
    return m;
}

constexpr const char* MonthNames[12] = {"Januar", "Februar", "März",     "April",   "Mai",      "Juni",
                                        "Juli",   "August",  "September", "Oktober", "November", "Dezember"};

// The chart's groups of a run over a choice's range (the months as they are when the range cannot be built).
// Leaves the running flag on every way out of a run.
struct RunningFlag {
    bool& flag;
    explicit RunningFlag(bool& f) : flag(f) { flag = true; }
    ~RunningFlag() { flag = false; }
};

} // namespace

TFOrderProfit1::TFOrderProfit1(CommandLine commandLine, HostIdentity host, StatisticsRunFunction run, QWidget* parent)
    : QWidget(parent), commandLine_(std::move(commandLine)), host_(std::move(host)), run_(std::move(run)),
      session_(std::make_unique<DatabaseSession>())
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
    prepareOnCreate();
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
    pages_ = Named(new TPageControl(this), "PageControl1");
    listTab_ = Named(new QWidget, "TabSheet1");
    chartTab_ = Named(new QWidget, "TabSheet2");
    pages_->addTab(listTab_, QStringLiteral("Liste"));
    pages_->addTab(chartTab_, QStringLiteral("Grafik"));
    groupsTab_ = Named(new ProfitGroupsPage, "TabSheet3");
    groupsTab_->setTables(&tables_);
    pages_->addTab(groupsTab_, QStringLiteral("Auswertung"));
    main->addWidget(pages_, 1);

    auto* listLayout = new QVBoxLayout(listTab_);
    listLayout->setContentsMargins(0, 0, 0, 0);
    listLayout->setSpacing(0);
    // Over the list while it shows one group: "Gefiltert: Kunde Müller GmbH — alle zeigen".
    filterLine_ = Named(new QLabel(listTab_), "lblFilter");
    filterLine_->setTextFormat(Qt::RichText);
    filterLine_->setContentsMargins(4, 2, 4, 2);
    filterLine_->setStyleSheet(QStringLiteral("background: #FFF4C0; color: #000000;"));
    filterLine_->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    filterLine_->hide();
    listLayout->addWidget(filterLine_);
    listGrid_ = Named(new TI_DBGrid(listTab_), "DBGrid_CURRGW1");
    listModel_ = SetupProfitList(listGrid_, &tables_.KM);
    InstallColumnChooser(listGrid_);
    listLayout->addWidget(listGrid_);

    auto* chartLayout = new QVBoxLayout(chartTab_);
    chartLayout->setContentsMargins(0, 0, 0, 0);
    chart_ = new ProfitChart(chartTab_);
    InstallChartMenu(chart_); // "Bild speichern…"
    chartLayout->addWidget(chart_);

    // The legend over the chart's top-left corner.
    legendPanel_ = Named(new TPanel(chartTab_), "Panel2");
    legendPanel_->setGeometry(4, 4, 90, 96);
    legendPanel_->setColor(clWhite);
    const QFont legendFont = HostFont(QStringLiteral("Tahoma"), 8, true);
    struct Legend {
        TFlatPanel** panel;
        const char* name;
        const char* caption;
        quint32 fontColor;
        int top;
    };
    for (const Legend& l : {Legend{&netLegend_, "FlatPanel1", "Netto", LegendLightTextColor, 3},
                            Legend{&commissionLegend_, "FlatPanel2", "Provisionen", LegendLightTextColor, 21},
                            Legend{&profitLegend_, "FlatPanel3", "Gewinn", LegendProfitTextColor, 39}}) {
        TFlatPanel* p = Named(new TFlatPanel(legendPanel_), l.name);
        p->setGeometry(3, l.top, 84, 17);
        p->setCaption(QString::fromUtf8(l.caption));
        p->setFontColor(l.fontColor);
        p->setFont(legendFont);
        *l.panel = p;
    }
    barsCheckBox_ = Named(new TsCheckBox(QStringLiteral("Balken"), legendPanel_), "sCheckBox1");
    barsCheckBox_->setGeometry(5, 58, 82, 17);
    barsCheckBox_->setChecked(true);
    previousYearCheckBox_ = Named(new TsCheckBox(QStringLiteral("Vorjahr"), legendPanel_), "sCheckBox2");
    previousYearCheckBox_->setGeometry(5, 76, 82, 17);
    previousYearCheckBox_->setToolTip(
        QStringLiteral("Derselbe Zeitraum ein Jahr früher: Netto und Gewinn als gestrichelte Linien"));
    legendPanel_->raise();
    chart_->setLeftReserve(legendPanel_->geometry().right() + 2);

    // The hint line between the tabs and the bottom panel: one line across the whole width (what does
    // not fit stands in its tooltip), shown only when a run has something to say; it pushes the tabs
    // up rather than covering anything.
    hintLabel_ = Named(new QLabel(this), "lblHinweis");
    hintLabel_->setWordWrap(false);
    hintLabel_->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    hintLabel_->setStyleSheet(QStringLiteral("color: #C00000;"));
    hintLabel_->setContentsMargins(4, 1, 4, 1);
    hintLabel_->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Fixed);
    hintLabel_->hide();
    main->addWidget(hintLabel_);

    // --- bottom panel -------------------------------------------------------------------------
    bottomPanel_ = Named(new TFlatPanel(this), "FPbottom");
    bottomPanel_->setFixedHeight(88);
    main->addWidget(bottomPanel_);
    auto* bottom = new QVBoxLayout(bottomPanel_);
    bottom->setContentsMargins(1, 1, 1, 1);
    bottom->setSpacing(0);

    totalsLine_ = Named(new QPlainTextEdit(bottomPanel_), "Summen");
    totalsLine_->setFixedHeight(29);
    totalsLine_->setReadOnly(true);
    totalsLine_->setFrameShape(QFrame::NoFrame);
    totalsLine_->setFont(HostFont(QStringLiteral("Tahoma"), 8, true));
    totalsLine_->setLineWrapMode(QPlainTextEdit::NoWrap);
    totalsLine_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    totalsLine_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    totalsLine_->setTabStopDistance(8 * QFontMetrics(totalsLine_->font()).averageCharWidth());
    totalsLine_->setPlainText(QStringLiteral("Summen"));
    bottom->addWidget(totalsLine_);

    auto* row = new QHBoxLayout;
    row->setContentsMargins(4, 3, 0, 0);
    row->setSpacing(0);
    bottom->addLayout(row, 1);

    periodGroup_ = Named(new TFlatGroupBox(QString::fromUtf8(GroupCaption), bottomPanel_), "FlatGroupBox1");
    periodGroup_->setFixedSize(349, 53);
    row->addWidget(periodGroup_, 0, Qt::AlignTop);
    row->addStretch(1);

    yearBox_ = Named(new TDCComboBox(periodGroup_), "dccyear");
    periodBox_ = Named(new TDCComboBox(periodGroup_), "dccmonths");
    findButton_ = Named(new TFlatButton(QStringLiteral("Finden"), periodGroup_), "fgo");
    progressBar_ = Named(new QProgressBar(periodGroup_), "PG");
    // The period box stands under the caption's "Monat/Quartal:".
    const QFontMetrics fm(periodGroup_->font());
    const QString caption = QString::fromUtf8(GroupCaption);
    const int monthsLeft = std::clamp(9 + fm.horizontalAdvance(caption.left(caption.indexOf(QLatin1String("Monat")))),
                                      8 + 97 + 4, 349 - 147 - 4 - 64);
    yearBox_->setGeometry(8, 16, 97, 21);
    periodBox_->setGeometry(monthsLeft, 16, 147, 21);
    findButton_->setGeometry(monthsLeft + 147 + 4, 15, 349 - 5 - (monthsLeft + 147 + 4), 23);
    progressBar_->setGeometry(8, 39, 336, 13);
    progressBar_->setRange(0, 100);
    progressBar_->setTextVisible(false);
    progressBar_->hide();
    cancelButton_ = Named(new TFlatButton(QStringLiteral("Abbrechen"), bottomPanel_), "fabbrechen");
    cancelButton_->hide();

    buttonPanel_ = Named(new TPanel(bottomPanel_), "Panel1");
    buttonPanel_->setFixedWidth(204);
    buttonPanel_->setBevelOuter(TPanel::bvNone);
    row->addWidget(buttonPanel_);
    printButton_ = Named(new TFlatButton(QStringLiteral("Drucken"), buttonPanel_), "fprint");
    closeButton_ = Named(new TFlatButton(QString::fromUtf8("Schließen"), buttonPanel_), "fcancel");
    printButton_->setGeometry(8, 16, 92, 25);
    closeButton_->setGeometry(104, 16, 92, 25);
    closeButton_->setToolTip(QString::fromUtf8("schließen"));

    pages_->setCurrentWidget(chartTab_);

    connect(findButton_, &QPushButton::clicked, this, [this] { findClicked(); });
    connect(printButton_, &QPushButton::clicked, this, [this] { printClicked(); });
    connect(closeButton_, &QPushButton::clicked, this, [this] { closeClicked(); });
    connect(cancelButton_, &QPushButton::clicked, this, [this] { cancelRun(); });
    connect(barsCheckBox_, &QCheckBox::toggled, this, [this] { barsToggled(); });
    yearBox_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(yearBox_, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) { showYearMenu(pos); });
    connect(chart_, &ProfitChart::monthClicked, this, [this](int month) { monthClicked(month); });
    connect(groupsTab_, &ProfitGroupsPage::groupActivated, this, [this](const GroupFilter& f) { showGroup(f); });
    connect(filterLine_, &QLabel::linkActivated, this, [this] { showWholeList(); });
}

void TFOrderProfit1::prepareOnCreate()
{
    bottomPanel_->setColor(clBtnFace);
    ApplySkin(this);
    RestoreWindowPlacement(this, {}, OrderProfitPlacementKey, 1, -1);
    // The legend keeps its colours whatever the skin says.
    netLegend_->setColor(LegendNetColor);
    profitLegend_->setColor(LegendProfitColor);
    commissionLegend_->setColor(LegendCommissionColor);
    guard_.arm();

    fiscalStart_ = ReadFiscalStartMonth();
    fillYearBox(-1);
    fillPeriodBox(PeriodWholeYear);
    previousYearCheckBox_->setChecked(ReadPreviousYearShown());

    connect(yearBox_, &QComboBox::currentIndexChanged, this, [this] { yearChanged(); });
    connect(periodBox_, &QComboBox::currentIndexChanged, this, [this] { periodChanged(); });
    connect(previousYearCheckBox_, &QCheckBox::toggled, this, [this] { previousYearToggled(); });
}

void TFOrderProfit1::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (shownOnce_)
        return;
    shownOnce_ = true;
    startOnFirstShow();
}

void TFOrderProfit1::startOnFirstShow()
{
    QEvent start(ProfitStartEvent);
    QCoreApplication::sendEvent(this, &start);
    if (commandLine_.isInstall())
        return;
    barsToggled();
    LoadGridLayout(listGrid_);
    layoutLoaded_ = true;
    guard_.release();
}

bool TFOrderProfit1::event(QEvent* event)
{
    if (event->type() == ProfitStartEvent) {
        handleStart();
        return true;
    }
    if (event->type() == ProfitRunEvent) {
        handleRun();
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

void TFOrderProfit1::handleStart()
{
    Runtime& runtime = Runtime::current();
    if (commandLine_.isInstall()) {
        if (!InstallMenuEntry(runtime.programFile(), commandLine_.isSilent()))
            startFailed_ = true;
        requestClose();
        return;
    }
    const auto caption = [this](const std::string& text) { setCaption(text); };
    if (!ConnectForStart(*session_, commandLine_, host_, caption)) {
        startFailed_ = true;
        requestClose();
        return;
    }
    HandleOrdinaryError([&] {
        if (completeStart_)
            completeStart_(runtime, *session_, caption);
        else
            CompleteStart(runtime, *session_, caption);
        started_ = true;
    }, [this](const std::exception& e) {
        // The application's default error display: the error's own text; the window stays open.
        startFailed_ = true;
        ShowMessageBox(e.what());
    });
}

void TFOrderProfit1::closeEvent(QCloseEvent* event)
{
    if (running_) {
        // The close arrives while the run processes window messages: the window stays until the
        // run has stopped at its next check, then closes itself (and saves its placement then).
        closeRequested_ = true;
        cancelRun();
        event->ignore();
        return;
    }
    SaveWindowPlacement(this, {}, OrderProfitPlacementKey, false, -1);
    if (layoutLoaded_)
        SaveGridLayout(listGrid_);
    event->accept();
}

void TFOrderProfit1::closeClicked() { close(); }

void TFOrderProfit1::findClicked() { QCoreApplication::postEvent(this, new QEvent(ProfitRunEvent)); }

void TFOrderProfit1::yearChanged()
{
    const bool enabled = PeriodBoxEnabled(yearBox_->currentIndex());
    periodBox_->setEnabled(enabled);
    periodBox_->setColor(enabled ? PeriodBoxEnabledColor : PeriodBoxDisabledColor);
    periodChanged();
}

void TFOrderProfit1::periodChanged()
{
    if (selectedPeriodIndex() == PeriodFreeRange) {
        // Asked once the window is ready; during the start-up the last range (if any) stands.
        if (guard_.allowsAutoRun() && !askFreeRange())
            return;
    } else {
        lastPeriodIndex_ = selectedPeriodIndex();
    }
    if (guard_.allowsAutoRun())
        findClicked();
}

bool TFOrderProfit1::askFreeRange()
{
    TDateTime first = freeFirst_, last = freeLast_;
    if (first == 0) {
        // First asked: the period chosen before.
        HandleOrdinaryError([&] {
            PeriodChoice before = currentChoice();
            before.periodIndex = lastPeriodIndex_;
            const PeriodRange r = BuildChoiceRange(before);
            first = r.start;
            last = r.end;
        }, [&](const std::exception&) { first = last = std::floor(Runtime::current().now()); });
    }
    const auto range = AskDateRange(first, last, this);
    if (!range) {
        const QSignalBlocker block(periodBox_);
        selectPeriodIndex(lastPeriodIndex_);
        return false;
    }
    freeFirst_ = range->first;
    freeLast_ = range->second;
    return true;
}

PeriodChoice TFOrderProfit1::currentChoice() const
{
    PeriodChoice choice;
    choice.yearText = yearBox_->currentText().toStdString();
    choice.periodIndex = selectedPeriodIndex();
    choice.fiscalStartMonth = fiscalStart_;
    choice.first = freeFirst_;
    choice.last = freeLast_;
    if (choice.periodIndex == PeriodFreeRange && freeFirst_ == 0)
        choice.periodIndex = lastPeriodIndex_; // no range asked yet
    return choice;
}

void TFOrderProfit1::fillYearBox(int selectYear)
{
    const QSignalBlocker block(yearBox_);
    yearBox_->clear();
    for (const std::string& year : YearItems(CurrentYear(), fiscalStart_, CurrentMonth()))
        yearBox_->addItem(QString::fromStdString(year));
    int index = yearBox_->count() - 1;
    for (int i = 0; selectYear > 0 && i < yearBox_->count(); ++i)
        if (yearBox_->itemText(i).left(4).toInt() == selectYear)
            index = i;
    yearBox_->setCurrentIndex(index);
}

int TFOrderProfit1::selectedPeriodIndex() const
{
    const QVariant index = periodBox_->currentData();
    return index.isValid() ? index.toInt() : periodBox_->currentIndex();
}

void TFOrderProfit1::selectPeriodIndex(int periodIndex)
{
    const int row = periodBox_->findData(periodIndex);
    periodBox_->setCurrentIndex(row >= 0 ? row : PeriodWholeYear);
}

void TFOrderProfit1::fillPeriodBox(int selectPeriodIndex)
{
    const QSignalBlocker block(periodBox_);
    periodBox_->clear();
    for (const PeriodBoxItem& item : PeriodBoxItems(fiscalStart_))
        periodBox_->addItem(QString::fromStdString(item.text), item.periodIndex);
    this->selectPeriodIndex(selectPeriodIndex);
}

void TFOrderProfit1::setFiscalStartMonth(int month)
{
    if (month < 1 || month > 12 || month == fiscalStart_)
        return;
    fiscalStart_ = month;
    WriteFiscalStartMonth(month);
    fillYearBox(yearBox_->currentText().left(4).toInt());
    // The quarters name the fiscal year's months, the months follow its order: the same period stays chosen.
    fillPeriodBox(selectedPeriodIndex());
    yearChanged();
}

void TFOrderProfit1::showYearMenu(const QPoint& pos)
{
    QMenu menu(this);
    QMenu* months = menu.addMenu(QString::fromUtf8("Geschäftsjahr beginnt im"));
    for (int m = 1; m <= 12; ++m) {
        QAction* a = months->addAction(QString::fromUtf8(MonthNames[m - 1]));
        a->setCheckable(true);
        a->setChecked(m == fiscalStart_);
        connect(a, &QAction::triggered, this, [this, m] { setFiscalStartMonth(m); });
    }
    menu.exec(yearBox_->mapToGlobal(pos));
}

void TFOrderProfit1::previousYearToggled()
{
    WritePreviousYearShown(previousYearCheckBox_->isChecked());
    if (!previousYearCheckBox_->isChecked()) {
        previousYear_ = PreviousYearRun();
        chart_->setPreviousYear(nullptr);
    }
    if (guard_.allowsAutoRun())
        findClicked();
}

void TFOrderProfit1::barsToggled() { chart_->setBarsActive(barsCheckBox_->isChecked()); }

void TFOrderProfit1::setRunControlsEnabled(bool enabled)
{
    findButton_->setEnabled(enabled);
    printButton_->setEnabled(enabled);
    closeButton_->setEnabled(enabled);
    periodGroup_->setEnabled(enabled);
}

void TFOrderProfit1::handleRun()
{
    if (running_)
        return; // the controls that start runs are disabled while one runs
    RunningFlag runningFlag(running_);
    BeginWait();
    showWholeList();
    listModel_->setDetached(true);
    groupsTab_->setDetached(true);
    setRunControlsEnabled(false);
    progressBar_->setRange(0, 100);
    progressBar_->setValue(0);
    progressBar_->show();

    // The run works on a thread of its own while this one goes on handling the window: it repaints,
    // switches tabs and takes "Abbrechen" or a close at once. Its progress comes back as events; the
    // run's tables are not looked at until it has ended.
    RunFeedback feedback;
    feedback.progress = [this](const RunProgress& p) {
        QMetaObject::invokeMethod(this, [this, p] { showProgress(p); }, Qt::QueuedConnection);
    };
    activeRun_ = &feedback;
    progressBar_->setRange(0, 0); // busy until the count is in
    progressBar_->setGeometry(8, 39, 256, 13);
    // Beside the progress bar; not a child of the period group, which is disabled while the run works.
    cancelButton_->setGeometry(QRect(periodGroup_->mapTo(bottomPanel_, QPoint(268, 36)), QSize(76, 17)));
    cancelButton_->raise();
    cancelButton_->show();
    cancelButton_->setEnabled(true);
    RunOutcome outcome;
    const PeriodChoice choice = currentChoice();
    const bool compare = previousYearCheckBox_->isChecked();
    previousYear_ = PreviousYearRun();
    QEventLoop untilDone;
    std::exception_ptr escaped;
    std::thread worker([&] {
        try {
            HandleOrdinaryError([&] {
                if (run_)
                    outcome = run_(session_->Table_ORDERS, choice, tables_, &feedback, compare ? &previousYear_ : nullptr);
            }, [&](const std::exception& e) { outcome.error = e.what(); });
        } catch (...) {
            escaped = std::current_exception();
        }
        QMetaObject::invokeMethod(&untilDone, &QEventLoop::quit, Qt::QueuedConnection);
    });
    untilDone.exec();
    worker.join();
    activeRun_ = nullptr;
    cancelButton_->hide();
    progressBar_->setGeometry(8, 39, 336, 13);
    if (escaped)
        std::rethrow_exception(escaped); // not an ordinary error: as if the run had raised it here
    const bool compared = compare && outcome.completed() && !previousYear_.outcome.error;

    if (closeRequested_) {
        // Closed during the run: nothing more to show; the window closes once the run has unwound.
        progressBar_->hide();
        setRunControlsEnabled(true);
        EndWait();
        requestClose();
        return;
    }
    if (outcome.error) {
        EndWait();
        ShowMessageBox(*outcome.error);
    } else if (outcome.completed()) {
        totalsLine_->setPlainText(
            QString::fromStdString(SummenText(outcome.totals, compared ? &previousYear_.outcome.totals : nullptr)));
    }
    progressBar_->hide();
    ShowRunWarnings(hintLabel_, outcome.warnings);
    chart_->setTitleText(QString::fromStdString(ChartTitleText(outcome.totals, outcome.rangeText)));
    const ChartGroups groups = ChartGroupsOf(tables_.KMC, choice, false);
    QStringList labels;
    for (const std::string& l : groups.labels)
        labels << QString::fromStdString(l);
    chart_->refresh(groups.rows, labels);
    if (compared) {
        const ChartGroups before = ChartGroupsOf(previousYear_.tables.KMC, choice, true);
        chart_->setPreviousYear(&before.rows);
    } else {
        chart_->setPreviousYear(nullptr);
    }
    listModel_->setDetached(false);
    FitAmountColumns(listGrid_);
    keepTotalsWhole();
    groupsTab_->setDetached(false);
    if (listModel_->rowCount() > 0) {
        listGrid_->setCurrentIndex(listModel_->index(0, 0));
        listGrid_->scrollToTop();
    }
    setRunControlsEnabled(true);
    EndWait();
}

void TFOrderProfit1::showProgress(const RunProgress& p)
{
    if (!activeRun_)
        return;
    if (p.maximum > 0) {
        progressBar_->setRange(0, p.maximum);
        progressBar_->setValue(std::clamp(p.position, 0, p.maximum));
    } else {
        progressBar_->setRange(0, 0); // busy until the count is in (a database server counts beside)
    }
}

void TFOrderProfit1::cancelRun()
{
    if (activeRun_)
        activeRun_->requestCancel(); // the run ends at its next check
}

void TFOrderProfit1::keepTotalsWhole()
{
    // The totals line never cuts a figure: the window is at least as wide as the longest line.
    int widest = 0;
    const QFontMetrics metrics(totalsLine_->font());
    const qreal tabStop = std::max<qreal>(1, totalsLine_->tabStopDistance());
    for (const QString& line : totalsLine_->toPlainText().split(QLatin1Char('\n'))) {
        qreal x = 0; // the text's own tab stops, as the line lays them out
        const QStringList parts = line.split(QLatin1Char('\t'));
        for (qsizetype i = 0; i < parts.size(); ++i) {
            x += metrics.horizontalAdvance(parts[i]);
            if (i + 1 < parts.size())
                x = (std::floor(x / tabStop) + 1) * tabStop;
        }
        widest = std::max(widest, static_cast<int>(std::ceil(x)));
    }
    const int margins = width() - totalsLine_->viewport()->width() + 2 * static_cast<int>(totalsLine_->document()->documentMargin());
    setMinimumWidth(std::max(DesignWidth, widest + margins + 4));
}

void TFOrderProfit1::printClicked()
{
    if (pages_->currentWidget() == listTab_)
        printList();
    else if (pages_->currentWidget() == groupsTab_)
        printGroups();
    else
        printChart();
}

void PrintListWithGridPrinter(const ListDescription& list, TI_DBGrid* grid)
{
    Runtime& runtime = Runtime::current();
    ShowGridPrinter(list, ShowModal, grid, {runtime.spooler.get(), runtime.settings.get(), &runtime.dialogs()});
}

void TFOrderProfit1::printList()
{
    KmGridDataSet rows(listFilter_ ? filtered_ : tables_);
    ListDescription list =
        ProfitListDescription(rows, totalsLine_->toPlainText().toStdString(), Runtime::current().now(), tables_.RangeText);
    if (listFilter_) {
        // The list of one group prints what it shows: its documents, its totals, the group named.
        list.title = FilteredListTitle(GroupFilterText(tables_, *listFilter_), DateTimeToText(Runtime::current().now()));
        if (!tables_.RangeText.empty())
            list.title += "\r\n" + tables_.RangeText;
        list.footer = SummenText(TotalsOf(filtered_));
    }
    if (listPrinter_)
        listPrinter_(list, listGrid_);
}

void TFOrderProfit1::printChart()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(QPageLayout::Landscape);
    printer.setDocName(QString::fromUtf8(ApplicationTitle));
    if (!ChoosePrinter(printer, this))
        return;
    if (!chart_->printChart(printer)) {
        // A printer that cannot be started must not look like a finished printout.
        const QString target = printer.outputFileName().isEmpty() ? printer.printerName() : printer.outputFileName();
        ShowMessageBox("Die Grafik kann nicht gedruckt werden: Der Drucker" +
                       (target.isEmpty() ? std::string() : " \"" + target.toStdString() + "\"") +
                       " lässt sich nicht starten.");
    }
}

void TFOrderProfit1::printGroups()
{
    const std::string t = DateTimeToText(Runtime::current().now());
    ProfitGroupModel* model = groupsTab_->model();
    GroupGridDataSet rows(model->groups(), model->grouping());
    ListDescription list;
    list.name = "GEWINN";
    list.title = GroupPrintTitle(model->grouping(), {}, t);
    if (!tables_.RangeText.empty())
        list.title += "\r\n" + tables_.RangeText;
    list.footer = groupsTab_->totalsText().toStdString();
    list.fileStem = std::string("GEWINN-") + GroupByCaption(model->grouping()) + "-" + t + "-";
    list.cellMode = CellModeOrderList;
    list.grid = ProfitGroupGrid(rows);
    list.landscape = true;
    Runtime& runtime = Runtime::current();
    ShowGridPrinter(list, ShowModal, groupsTab_->grid(),
                    {runtime.spooler.get(), runtime.settings.get(), &runtime.dialogs()});
}

void TFOrderProfit1::showGroup(const GroupFilter& filter)
{
    if (running_)
        return;
    listFilter_ = filter;
    filtered_ = FilterTables(tables_, filter);
    listModel_->setRows(&filtered_.KM);
    const QString text = QString::fromStdString(GroupFilterText(tables_, filter)).toHtmlEscaped();
    filterLine_->setText(QStringLiteral("Gefiltert: ") + text + QString::fromUtf8(" — ") +
                         QStringLiteral("<a href=\"alle\">alle zeigen</a>"));
    filterLine_->show();
    if (listModel_->rowCount() > 0)
        listGrid_->setCurrentIndex(listModel_->index(0, 0));
    pages_->setCurrentWidget(listTab_);
}

void TFOrderProfit1::showWholeList()
{
    if (!listFilter_)
        return;
    listFilter_.reset();
    listModel_->setRows(&tables_.KM);
    filtered_ = ResultTables();
    filterLine_->hide();
    filterLine_->clear();
    if (listModel_->rowCount() > 0)
        listGrid_->setCurrentIndex(listModel_->index(0, 0));
}

void TFOrderProfit1::monthClicked(int month)
{
    if (running_ || month < 0 || static_cast<size_t>(month) >= tables_.KMC.size() || !tables_.KMC[static_cast<size_t>(month)].DATE)
        return;
    int y = 0, m = 0, d = 0;
    DecodeDate(*tables_.KMC[static_cast<size_t>(month)].DATE, y, m, d);
    showGroup(GroupFilter{GroupBy::Monat, static_cast<GroupKey>(y) * 100 + m});
}

} // namespace gs
