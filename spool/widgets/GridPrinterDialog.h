#pragma once
// The grid print dialog "Liste drucken/exportieren" (TFGridPrinterClass): the user chooses print, PDF
// and/or CSV and a saved column layout of the grid, then "&Weiter (F3)" runs the jobs with a progress
// bar that "&Abbrechen" (or Escape) stops. The window only collects the choice and shows progress;
// the jobs themselves run in the core (spool/GridPrintJobs.h), handed in as a function.
//
// While the window is open the grid may show a saved layout; when it closes, the grid gets back the
// columns it had at opening (kept meanwhile in its layout file for the suffix "TMP"), unless the
// caller's flags say to keep them. The check boxes are remembered in UserMode.INI
// ("TFGridPrinterClass1" ... "TFGridPrinterClass5").
//
// Layouts live in USERGRIDOUT.TXT beside the program (spool/GridLayoutTable.h). A layout that cannot
// be saved keeps the file as it was and the user is told.
#include "spool/GridLayoutTable.h"
#include "spool/GridPrintJobs.h"

#include <QDialog>

#include <functional>
#include <string>

class QCheckBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QStandardItemModel;
class QTableView;
class QWidget;
class TPanel;

namespace gs {

// Runs the chosen jobs; the dialog's hooks show the progress (true from Progress stops).
using GridJobRunner = std::function<GridPrintResult(unsigned options, GridJobsHooks hooks)>;

class TFGridPrinterClass : public QDialog {
    Q_OBJECT
public:
    TFGridPrinterClass(QTableView* grid, unsigned flags, GridJobRunner runner, QWidget* parent = nullptr);
    ~TFGridPrinterClass() override;

    // "Text": turns the title into rich text (no rich-text editor is registered in this program).
    std::function<void()> TextAction;

    GridPrintResult result() const { return result_; }
    bool busy() const { return busy_; }
    const GridLayoutTable& layouts() const { return layouts_; }
    std::string layoutKey() const { return layoutKey_; }
    // The layout row shown as current (0: none).
    int currentLayoutId() const;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void done(int result) override;

private:
    void buildOptionsPanel();
    void buildProgressPanel();
    void openOnGrid();
    void updateEnabling();
    void go();
    bool progressTick();
    void fillLayoutList(int selectId);
    void applyCurrentLayout();
    void editLayout(bool asNew);
    void deleteLayout();
    void moveLayout(int direction);
    void saveLayouts();

    QTableView* grid_;
    unsigned flags_;
    GridJobRunner runner_;
    GridPrintResult result_;
    bool busy_ = false;
    bool cancelRequested_ = false;
    bool restoreColumns_ = false;
    bool autoSizeSwitchedOff_ = false;
    bool applyingPaused_ = false;
    std::string savedSuffix_;
    std::string layoutKey_;
    GridLayoutTable layouts_;

    TPanel* optionsPanel_ = nullptr;
    TPanel* progressPanel_ = nullptr;
    QCheckBox* printBox_ = nullptr;
    QCheckBox* pdfBox_ = nullptr;
    QCheckBox* pdfOpenBox_ = nullptr;
    QCheckBox* csvBox_ = nullptr;
    QCheckBox* csvOpenBox_ = nullptr;
    QTableView* layoutGrid_ = nullptr;
    QStandardItemModel* layoutModel_ = nullptr;
    QWidget* layoutButtons_ = nullptr;
    QPushButton* textButton_ = nullptr;
    QPushButton* backButton_ = nullptr;
    QPushButton* goButton_ = nullptr;
    QPushButton* stopButton_ = nullptr;
    QProgressBar* progress_ = nullptr;
};

// The grid's layout suffix (dynamic property "LayoutSuffix"; empty: its everyday layout).
std::string GridLayoutSuffix(const QTableView* grid);
void SetGridLayoutSuffix(QTableView* grid, const std::string& suffix);

} // namespace gs
