#pragma once
// The tab "Auswertung" of the statistics window: the period's documents in groups (by customer,
// representative, document type or month, chosen in the box "dccgroup"), as a sortable table
// "DBGrid_GROUPS" with the list's title row and a profit bar in the list's warning-bar style, and
// under it the totals line "GroupSummen", which equals the period's totals. Double-click or Enter
// on a group asks the window to show that group's documents (groupActivated).
//
// The page reads the window's result tables; while it is detached (during a run) it shows nothing
// and never looks at them.
#include "app/GroupColumns.h"
#include "app/ProfitGroups.h"
#include "app/ResultTables.h"

#include <QAbstractTableModel>
#include <QWidget>

#include <vector>

class QLabel;
class TDCComboBox;
class TI_DBGrid;

namespace gs {

// The groups as a table model: the columns of app/GroupColumns.h, cell texts as the report writes
// them, the warning bar's roles (ProfitRole, NetRole) on every cell, and sorting by any column
// (ties by key).
class ProfitGroupModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit ProfitGroupModel(QObject* parent = nullptr);

    // Groups the tables' documents anew (nullptr: no groups) and keeps the current sort.
    void setTables(const ResultTables* tables, GroupBy by);
    const std::vector<ProfitGroup>& groups() const { return groups_; }
    GroupBy grouping() const { return by_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

private:
    void sortGroups();

    std::vector<ProfitGroup> groups_;
    GroupBy by_ = GroupBy::Kunde;
    int sortColumn_ = -1; // -1: as built (profit, largest first)
    Qt::SortOrder sortOrder_ = Qt::DescendingOrder;
};

class ProfitGroupsPage : public QWidget {
    Q_OBJECT
public:
    explicit ProfitGroupsPage(QWidget* parent = nullptr);

    // The tables the page groups; refresh() groups them again (after a run).
    void setTables(const ResultTables* tables) { tables_ = tables; }
    void refresh();
    // While detached the page shows no groups and never looks at the tables.
    void setDetached(bool detached);

    GroupBy grouping() const;
    void setGrouping(GroupBy by);

    TDCComboBox* groupBox() const { return groupBox_; }
    TI_DBGrid* grid() const { return grid_; }
    ProfitGroupModel* model() const { return model_; }
    QLabel* totalsLine() const { return totals_; }
    // The totals line's text: "Summe: N Dokumente" and the period's totals.
    QString totalsText() const;
    // As a click on a column's title: sorts by it, a second time the other way round.
    void sortBy(int section);

signals:
    void groupActivated(const gs::GroupFilter& filter);

private:
    void widenToContents();

    const ResultTables* tables_ = nullptr;
    bool detached_ = false;
    int sortSection_ = -1;
    Qt::SortOrder sortOrder_ = Qt::DescendingOrder;
    TDCComboBox* groupBox_ = nullptr; // "dccgroup"
    TI_DBGrid* grid_ = nullptr;       // "DBGrid_GROUPS"
    ProfitGroupModel* model_ = nullptr;
    QLabel* totals_ = nullptr;        // "GroupSummen"
};

} // namespace gs
