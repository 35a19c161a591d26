#pragma once
// The statistics window "Gewinn-Statistik" (TFOrderProfit1, object name "FOrderProfit1"): the tabs
// "Liste" (the document list DBGrid_CURRGW1) and "Grafik" (the chart DBChart1 with its legend panel
// and the "Balken" switch), and the bottom panel FPbottom with the totals line Summen, the period
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
// Closing always saves the placement and the list's column layout. The window only closes; the
// program ends when its last window has closed.
#include "app/ResultTables.h"
#include "app/Startup.h"
#include "app/PeriodSelection.h"
#include "app/StatisticsRun.h"

#include <QEvent>
#include <QWidget>

#include <functional>
#include <memory>
#include <string>

class QPlainTextEdit;
class QProgressBar;
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

class TProfitChart;
class TProfitListModel;

// Window messages the statistics window sends and posts to itself (as Qt event types).
inline constexpr int WM_PROFIT_START = 1025; // WM_USER + 1
inline constexpr int WM_PROFIT_RUN = 1026;   // WM_USER + 2
inline constexpr QEvent::Type ProfitStartEvent = static_cast<QEvent::Type>(QEvent::User + WM_PROFIT_START);
inline constexpr QEvent::Type ProfitRunEvent = static_cast<QEvent::Type>(QEvent::User + WM_PROFIT_RUN);

// The statistics run the window calls; the program passes RunStatistics, tests a fake.
using StatisticsRunFunction = std::function<RunOutcome(TAdsTable& orders, const std::string& yearText,
                                                       int periodIndex, TResultTables& tables,
                                                       const RunProgressCallback& progress)>;

// What "Drucken" on the list tab hands to the grid print dialog.
struct ListPrintRequest {
    std::string name = "GEWINN";
    std::string titleText;   // "Gewinne, erstellt " + date and time; the dialog makes it rich text (TextToRtf)
    std::string totalsText;  // the text of Summen
    std::string fileStem;    // "GEWINN-" + date and time + "-"
    int cellMode = 2;
    int flags = 64;          // show the dialog modally
    bool currentRecordOnly = false;
    std::string csvFileName; // none
};
// The grid print dialog's entry (ShowGridPrinter with the list grid and KM as its dataset).
using ListPrintFunction = std::function<void(const ListPrintRequest& request, TI_DBGrid* grid, TResultTables& tables)>;

// The start-up step after a successful connect (app/Startup.h CompleteStart).
using StartCompletionFunction =
    std::function<void(Runtime& runtime, TDatabaseSession& session, const std::function<void(const std::string&)>& setCaption)>;

inline constexpr const char* OrderProfitPlacementKey = "TFOrderProfit1";

class TFOrderProfit1 : public QWidget {
    Q_OBJECT
public:
    static constexpr int DesignWidth = 596;
    static constexpr int DesignHeight = 385;

    TFOrderProfit1(CommandLine commandLine, HostIdentity host, StatisticsRunFunction run, QWidget* parent = nullptr);
    ~TFOrderProfit1() override;

    // The grid print dialog "Drucken" calls on the list tab (none: the list is not printed).
    void setListPrinter(ListPrintFunction printer) { listPrinter_ = std::move(printer); }
    // The rest of the start-up after the connect (CompleteStart unless another is given); an error
    // escaping it is shown as the application shows unexpected errors, and the window stays open.
    void setStartCompletion(StartCompletionFunction completion) { completeStart_ = std::move(completion); }

    TDatabaseSession& session() { return *session_; }
    TResultTables& tables() { return tables_; }
    int autoRunGuard() const { return guard_.tag(); }
    bool isRunning() const { return running_; }
    // Whether the start-up step connected and finished.
    bool isStarted() const { return started_; }

    // The components, for the program and tests.
    TPageControl* pageControl() const { return PageControl1; }
    QWidget* listTab() const { return TabSheet1; }
    QWidget* chartTab() const { return TabSheet2; }
    TI_DBGrid* listGrid() const { return DBGrid_CURRGW1; }
    TProfitListModel* listModel() const { return listModel_; }
    TProfitChart* chart() const { return DBChart1; }
    QPlainTextEdit* totalsLine() const { return Summen; }
    TDCComboBox* yearBox() const { return dccyear; }
    TDCComboBox* periodBox() const { return dccmonths; }
    TFlatButton* findButton() const { return fgo; }
    TFlatButton* printButton() const { return fprint; }
    TFlatButton* closeButton() const { return fcancel; }
    TFlatGroupBox* periodGroup() const { return FlatGroupBox1; }
    QProgressBar* progressBar() const { return PG; }
    TsCheckBox* barsCheckBox() const { return sCheckBox1; }

    // "Drucken": the grid print dialog on "Liste", the chart through the system print dialog on
    // "Grafik".
    void fprintClick();
    // The list print with its request made ready (the one place that calls the grid print dialog).
    void printList();
    // The system print dialog, then the chart on one page of the chosen printer.
    void printChart();

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void buildComponents();
    void FormCreate();
    void FormShow();
    void WMProfitStart();
    void WMProfitRun();
    void fgoClick();
    void fcancelClick();
    void dccyearChange();
    void dccmonthsIndexChange();
    void sCheckBox1Click();
    void setCaption(const std::string& caption);
    void setRunControlsEnabled(bool enabled);
    void requestClose();

    CommandLine commandLine_;
    HostIdentity host_;
    StatisticsRunFunction run_;
    ListPrintFunction listPrinter_;
    StartCompletionFunction completeStart_;
    std::unique_ptr<TDatabaseSession> session_;
    TResultTables tables_;
    AutoRunGuard guard_;
    bool shownOnce_ = false;
    bool started_ = false;
    bool running_ = false;
    bool layoutLoaded_ = false;

    TPageControl* PageControl1 = nullptr;
    QWidget* TabSheet1 = nullptr;
    QWidget* TabSheet2 = nullptr;
    TI_DBGrid* DBGrid_CURRGW1 = nullptr;
    TProfitListModel* listModel_ = nullptr;
    TProfitChart* DBChart1 = nullptr;
    TPanel* Panel2 = nullptr;
    TFlatPanel* FlatPanel1 = nullptr;
    TFlatPanel* FlatPanel2 = nullptr;
    TFlatPanel* FlatPanel3 = nullptr;
    TsCheckBox* sCheckBox1 = nullptr;
    TFlatPanel* FPbottom = nullptr;
    QPlainTextEdit* Summen = nullptr;
    TFlatGroupBox* FlatGroupBox1 = nullptr;
    TDCComboBox* dccyear = nullptr;
    TDCComboBox* dccmonths = nullptr;
    TFlatButton* fgo = nullptr;
    QProgressBar* PG = nullptr;
    TPanel* Panel1 = nullptr;
    TFlatButton* fprint = nullptr;
    TFlatButton* fcancel = nullptr;
};

} // namespace gs
