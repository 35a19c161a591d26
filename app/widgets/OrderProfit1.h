#pragma once
// The statistics window "Gewinn-Statistik" (TFOrderProfit1, object name "FOrderProfit1"): the tabs
// "Liste" (the document list DBGrid_CURRGW1), "Grafik" (the chart DBChart1 with its legend panel
// and the "Balken" switch) and "Auswertung" (the period's documents in groups,
// app/widgets/ProfitGroupsPage.h), and the bottom panel FPbottom with the totals line Summen, the period
// selection (year dccyear, period dccmonths, "Finden" fgo, progress bar PG) and the buttons
// "Drucken" (fprint) and "Schließen" (fcancel).
//
// Start-up: the constructor builds the window (FormCreate: skin, placement "TFOrderProfit1" mode 1,
// legend colours, auto-run guard 1, year list). The first show (FormShow) sends itself
// WM_PROFIT_START and waits for it: either the menu installation ("INSTALL"), which then closes the
// window, or the checked connect and the rest of the start-up; a failed start shows its message and
// closes the window. FormShow then synchronises the chart with "Balken", reloads the list's column
// layout and releases the auto-run guard.
//
// Runs: "Finden", or a change of year or period once the guard is released, posts WM_PROFIT_RUN; its
// handler runs the statistics (the run function given to the constructor) with the controls
// disabled and the progress bar shown, then shows the totals and refreshes the list and the chart.
//
// Drill-down: a group activated on "Auswertung" or a click on a month in the chart shows "Liste"
// with that group's documents only and the filter line "Gefiltert: ... — alle zeigen" over it; its
// link (or the next run) shows the whole list again. Printing the filtered list prints what it
// shows, its title naming the filter.
//
// Closing always saves the placement and the list's column layout. Closing during a run stops the
// run at its next progress check (after at most 20 documents) and then closes the window. The window
// only closes; the program ends when its last window has closed.
//
// Beside the host's window: "Vorjahr" under "Balken" draws the same period one year earlier into the
// chart (from the same snapshot) and names the profit's change in the totals line; "Zeitraum…" after
// "Dezember" asks for a first and a last day (TFDateRange) and runs that range; the year box's
// context menu sets the month the fiscal year begins in ("Geschäftsjahr beginnt im"), which makes
// the year items "2024/25", the quarters follow the fiscal year (their items name their months,
// "1. Quartal (Jul–Sep)") and the months its order. "Vorjahr" and the fiscal year
// are stored in UserMode.INI (app/WindowChoices.h).

#include "app/ProfitGroups.h"
#include "app/ResultTables.h"
#include "app/Startup.h"
#include "app/PeriodSelection.h"
#include "app/StatisticsRun.h"
#include "spool/ListDescription.h"

#include <QEvent>
#include <QWidget>

#include <functional>
#include <memory>
#include <optional>
#include <string>

class QLabel;
class QPlainTextEdit;
class QProgressBar;
class QLabel;
class QPrinter;
class QTabWidget;
class TDCComboBox;
class TFlatButton;
class TFlatGroupBox;
class TFlatPanel;
class TI_DBGrid;
class TPageControl;
class TPanel;
class TsCheckBox;

namespace gs {

class Runtime;

class ProfitChart;
class ProfitGroupsPage;
class ProfitListModel;

// Window messages the statistics window sends and posts to itself (as Qt event types).
inline constexpr int WM_PROFIT_START = 1025; // WM_USER + 1
inline constexpr int WM_PROFIT_RUN = 1026;   // WM_USER + 2
inline constexpr QEvent::Type ProfitStartEvent = static_cast<QEvent::Type>(QEvent::User + WM_PROFIT_START);
inline constexpr QEvent::Type ProfitRunEvent = static_cast<QEvent::Type>(QEvent::User + WM_PROFIT_RUN);

// The statistics run the window calls; the program passes RunStatisticsFor, tests a fake. previous
// is given when the chart's "Vorjahr" is on.
using StatisticsRunFunction =
    std::function<RunOutcome(TAdsTable& orders, const PeriodChoice& choice, ResultTables& tables,
                             RunFeedback* feedback, PreviousYearRun* previous)>;

// "Drucken" on the list tab: the statistics list's description (its rows are KM; its title, totals
// line and file stem made when the user prints) with the list grid, whose shown columns are printed.
using ListPrintFunction = std::function<void(const ListDescription& list, TI_DBGrid* grid)>;
// The window's own: the grid print dialog, shown modally, on the list grid.
void PrintListWithGridPrinter(const ListDescription& list, TI_DBGrid* grid);

// The start-up step after a successful connect (app/Startup.h CompleteStart).
using StartCompletionFunction =
    std::function<void(Runtime& runtime, DatabaseSession& session, const std::function<void(const std::string&)>& setCaption)>;

inline constexpr const char* OrderProfitPlacementKey = "TFOrderProfit1";

class TFOrderProfit1 : public QWidget {
    Q_OBJECT
public:
    static constexpr int DesignWidth = 596;
    static constexpr int DesignHeight = 385;

    TFOrderProfit1(CommandLine commandLine, HostIdentity host, StatisticsRunFunction run, QWidget* parent = nullptr);
    ~TFOrderProfit1() override;

    // The grid print dialog "Drucken" calls on the list tab (PrintListWithGridPrinter unless another
    // is given).
    void setListPrinter(ListPrintFunction printer) { listPrinter_ = std::move(printer); }
    // The rest of the start-up after the connect (CompleteStart unless another is given); an error
    // escaping it is shown as the application shows unexpected errors, and the window stays open.
    void setStartCompletion(StartCompletionFunction completion) { completeStart_ = std::move(completion); }

    DatabaseSession& session() { return *session_; }
    ResultTables& tables() { return tables_; }
    int autoRunGuard() const { return guard_.tag(); }
    bool isRunning() const { return running_; }
    // Whether the start-up step connected and finished.
    bool isStarted() const { return started_; }
    // The program's exit status: 1 after a failed start or a failed menu installation (the host may
    // ignore it, scripts and installers do not), otherwise 0.
    int exitCode() const { return startFailed_ ? 1 : 0; }

    // The components, for the program and tests.
    TPageControl* pageControl() const { return pages_; }
    QWidget* listTab() const { return listTab_; }
    QWidget* chartTab() const { return chartTab_; }
    ProfitGroupsPage* groupsTab() const { return groupsTab_; }
    // The filter line over the list (hidden while the whole list shows).
    QLabel* filterLine() const { return filterLine_; }
    // The group the list shows, if it shows one.
    const std::optional<GroupFilter>& listFilter() const { return listFilter_; }
    // What the list shows: KM, or the tables of the group it is filtered to.
    const ResultTables& shownTables() const { return listFilter_ ? filtered_ : tables_; }
    TI_DBGrid* listGrid() const { return listGrid_; }
    ProfitListModel* listModel() const { return listModel_; }
    ProfitChart* chart() const { return chart_; }
    QPlainTextEdit* totalsLine() const { return totalsLine_; }
    TDCComboBox* yearBox() const { return yearBox_; }
    TDCComboBox* periodBox() const { return periodBox_; }
    TFlatButton* findButton() const { return findButton_; }
    TFlatButton* printButton() const { return printButton_; }
    TFlatButton* closeButton() const { return closeButton_; }
    TFlatButton* cancelButton() const { return cancelButton_; }
    TFlatGroupBox* periodGroup() const { return periodGroup_; }
    QProgressBar* progressBar() const { return progressBar_; }
    TsCheckBox* barsCheckBox() const { return barsCheckBox_; }
    TsCheckBox* previousYearCheckBox() const { return previousYearCheckBox_; }
    // The previous year of the last run (empty tables when "Vorjahr" was off).
    const PreviousYearRun& previousYear() const { return previousYear_; }
    // The period the boxes (and the last free range) describe.
    PeriodChoice currentChoice() const;
    int fiscalStartMonth() const { return fiscalStart_; }
    // The period index of the period box's item (its place differs from it where the months follow
    // a fiscal year), and the item of a period index chosen.
    int selectedPeriodIndex() const;
    void selectPeriodIndex(int periodIndex);
    // Sets the month the fiscal year begins in, stores it and fills the year box anew (keeping the
    // selected year), then runs once the window is ready; the year box's context menu calls it.
    void setFiscalStartMonth(int month);

    // "Drucken": the grid print dialog on "Liste", the chart through the system print dialog on
    // "Grafik".
    void printClicked();
    // The list print with its request made ready (the one place that calls the grid print dialog).
    void printList();
    // The system print dialog, then the chart on one page of the chosen printer; a printer that
    // cannot be started is reported through the message box.
    void printChart();
    // The grid print dialog on the group table ("Auswertung"): print, PDF or CSV of the groups as
    // they are sorted on screen.
    void printGroups();

    // "Liste" with only the documents of one group, and the filter line; back to the whole list.
    void showGroup(const GroupFilter& filter);
    void showWholeList();

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildComponents();
    void prepareOnCreate();  // the host's FormCreate
    void startOnFirstShow(); // FormShow
    void handleStart();      // WM_PROFIT_START
    void handleRun();        // WM_PROFIT_RUN
    void findClicked();      // "Finden": posts WM_PROFIT_RUN
    void closeClicked();     // "Schließen"
    void yearChanged();      // the year box enables the period box and may start a run
    void periodChanged();    // a new period starts a run once the guard is released
    void barsToggled();      // "Balken": bars or lines
    void previousYearToggled(); // "Vorjahr": stored; a run fetches the previous year
    // "Zeitraum…" chosen: asks for the days; false (the period box back on its last period) when
    // the user cancels.
    bool askFreeRange();
    void fillYearBox(int selectYear);
    // The period box's items for the fiscal start (app/PeriodSelection.h PeriodBoxItems), each
    // carrying its period index; then the item of the period index given chosen, without a run.
    void fillPeriodBox(int selectPeriodIndex);
    void showYearMenu(const QPoint& pos);
    void monthClicked(int month); // a month in the chart: its documents in the list
    void setCaption(const std::string& caption);
    void setRunControlsEnabled(bool enabled);
    void keepTotalsWhole(); // the window's minimum width holds the whole totals line
    void showProgress(const RunProgress& progress);
    void cancelRun();
    void requestClose();

    CommandLine commandLine_;
    HostIdentity host_;
    StatisticsRunFunction run_;
    ListPrintFunction listPrinter_ = &PrintListWithGridPrinter;
    StartCompletionFunction completeStart_;
    std::unique_ptr<DatabaseSession> session_;
    ResultTables tables_;
    std::optional<GroupFilter> listFilter_; // the group "Liste" shows
    ResultTables filtered_;                // its documents, months and names
    AutoRunGuard guard_;
    bool shownOnce_ = false;
    bool started_ = false;
    bool running_ = false;
    bool layoutLoaded_ = false;
    bool startFailed_ = false;
    bool closeRequested_ = false; // closed during a run: the run stops at its next check
    PreviousYearRun previousYear_;
    int fiscalStart_ = 1;
    int lastPeriodIndex_ = PeriodWholeYear; // the period box's last choice before "Zeitraum…"
    TDateTime freeFirst_ = 0;               // the last free range; 0: none asked yet
    TDateTime freeLast_ = 0;

    // The components; the comment names the object name the skin, the layout files and the tests use.
    TPageControl* pages_ = nullptr;          // "PageControl1": the tabs "Liste" and "Grafik"
    QWidget* listTab_ = nullptr;             // "TabSheet1"
    QWidget* chartTab_ = nullptr;            // "TabSheet2"
    ProfitGroupsPage* groupsTab_ = nullptr; // "TabSheet3" "Auswertung"
    QLabel* filterLine_ = nullptr;           // "lblFilter" over the list
    TI_DBGrid* listGrid_ = nullptr;          // "DBGrid_CURRGW1"
    ProfitListModel* listModel_ = nullptr;
    ProfitChart* chart_ = nullptr;          // "DBChart1"
    TPanel* legendPanel_ = nullptr;          // "Panel2": the legend over the chart
    TFlatPanel* netLegend_ = nullptr;        // "FlatPanel1" "Netto"
    TFlatPanel* commissionLegend_ = nullptr; // "FlatPanel2" "Provisionen"
    TFlatPanel* profitLegend_ = nullptr;     // "FlatPanel3" "Gewinn"
    TsCheckBox* barsCheckBox_ = nullptr;     // "sCheckBox1" "Balken"
    TsCheckBox* previousYearCheckBox_ = nullptr; // "sCheckBox2" "Vorjahr"
    TFlatPanel* bottomPanel_ = nullptr;      // "FPbottom"
    QPlainTextEdit* totalsLine_ = nullptr;   // "Summen"
    TFlatGroupBox* periodGroup_ = nullptr;   // "FlatGroupBox1"
    TDCComboBox* yearBox_ = nullptr;         // "dccyear"
    TDCComboBox* periodBox_ = nullptr;       // "dccmonths"
    TFlatButton* findButton_ = nullptr;      // "fgo" "Finden"; its tag is the auto-run guard
    QProgressBar* progressBar_ = nullptr;    // "PG"
    TFlatButton* cancelButton_ = nullptr;    // "Abbrechen": ends a run at its next check
    RunFeedback* activeRun_ = nullptr;       // the run under way, if any
    QLabel* hintLabel_ = nullptr;            // "lblHinweis": documents counted without readable profit
    TPanel* buttonPanel_ = nullptr;          // "Panel1"
    TFlatButton* printButton_ = nullptr;     // "fprint" "Drucken"
    TFlatButton* closeButton_ = nullptr;     // "fcancel" "Schließen"
};

} // namespace gs
