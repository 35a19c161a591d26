#pragma once
// The document list of the statistics window (DBGrid_CURRGW1 in the tab "Liste"): a read-only table
// model over KM, the title row drawn in the titles' colours with the grid's bold markup ("/b"), and
// the warning bar drawn in the column "Warnung". SetupProfitList dresses a TI_DBGrid with all of it.
//
// The columns (field, title, width, cell font, alignment) are those of app/ResultColumns.h.
// Titles: white Tahoma 8 pt on 16744576 (0xFF8080, a light blue); rows 17 pixels high.
#include "app/ResultColumns.h"
#include "app/ResultTables.h"
#include "display/GridLayout.h"

#include <QAbstractTableModel>
#include <QHeaderView>
#include <QStyledItemDelegate>

#include <vector>

class TI_DBGrid;

namespace gs {

inline constexpr unsigned ListTitleColor = 16744576u; // 0x00BBGGRR
inline constexpr int ListRowHeight = 17;

// Model roles beyond Qt's own and the grid roles (FieldNameRole, TitleMarkupRole).
enum ProfitListRole {
    ProfitRole = TitleMarkupRole + 1, // cells: GEWINN_INT of the row (the warning bar's profit)
    NetRole,                          // cells: WW_NETTO_INT of the row (the warning bar's net)
};

// A title as the grid shows it: the markup "/b" removed (" /bWarnung" shows " Warnung"), and
// whether it is bold.
QString ListTitleText(const char* markup, bool* bold = nullptr);

class ProfitListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit ProfitListModel(const std::vector<KmRow>* rows, QObject* parent = nullptr);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // While detached the list shows no rows and never looks at KM, so a run can fill it freely;
    // attaching shows the rows as they are then.
    void setDetached(bool detached);
    // Shows other rows (one group's documents instead of KM).
    void setRows(const std::vector<KmRow>* rows);
    const std::vector<KmRow>* rows() const { return rows_; }
    bool isDetached() const { return detached_; }

private:
    const std::vector<KmRow>* rows_;
    bool detached_ = false;
};

// Draws the warning bar in the "Warnung" column (or the column given, from the model's ProfitRole
// and NetRole); other columns are drawn as usual.
class WarningBarDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    explicit WarningBarDelegate(QObject* parent = nullptr, int barColumn = WarningBarColumn())
        : QStyledItemDelegate(parent), barColumn_(barColumn)
    {
    }
    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;

private:
    int barColumn_;
};

// The title row: every title on its own colour in its own font (from the model's header data).
class ListTitleHeader : public QHeaderView {
    Q_OBJECT
public:
    explicit ListTitleHeader(QWidget* parent = nullptr);

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;
};

// Gives the grid the model over rows, the title row, the delegate, widths, fonts and the grid's
// look (read-only, row and column lines, whole rows selected and kept highlighted, row height 17).
ProfitListModel* SetupProfitList(TI_DBGrid* grid, const std::vector<KmRow>* rows);

// Widens each amount column that still has its design width so that the widest amount of the
// rows shown stands whole in it; a width the user chose stays as it is. Returns the columns widened.
int FitAmountColumns(TI_DBGrid* grid);

// A list title row's header data for a column (its text without markup, bold where marked, white on
// the title colour, field name and markup roles); an invalid value for other roles.
QVariant ListTitleHeaderData(const char* title, const char* field, int role);

} // namespace gs
