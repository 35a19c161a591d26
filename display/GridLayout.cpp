#include "display/GridLayout.h"

#include "base/Error.h"
#include "base/ProcessContext.h"

#include <QAction>
#include <QHeaderView>
#include <QMenu>
#include <QTableView>

namespace gs {

namespace {

QString FieldOf(const QTableView* grid, int logical)
{
    return grid->model()->headerData(logical, Qt::Horizontal, FieldNameRole).toString();
}

int VisibleColumns(const QHeaderView* header)
{
    return header->count() - header->hiddenSectionCount();
}

} // namespace

GridColumnSet ReadColumnSet(const QTableView* grid)
{
    GridColumnSet set;
    const QHeaderView* header = grid->horizontalHeader();
    if (!grid->model())
        return set;
    for (int visual = 0; visual < header->count(); ++visual) {
        const int logical = header->logicalIndex(visual);
        GridColumnState c;
        c.field = FieldOf(grid, logical).toStdString();
        c.visible = !header->isSectionHidden(logical);
        c.width = c.visible ? header->sectionSize(logical) : 0;
        set.push_back(std::move(c));
    }
    return set;
}

void ApplyColumnSet(QTableView* grid, const GridColumnSet& columns)
{
    if (!grid->model())
        return;
    QHeaderView* header = grid->horizontalHeader();
    const GridColumnSet arranged = ArrangeColumns(ReadColumnSet(grid), columns);
    bool anyVisible = false;
    for (const GridColumnState& c : arranged)
        anyVisible = anyVisible || c.visible;
    for (int visual = 0; visual < static_cast<int>(arranged.size()); ++visual) {
        const GridColumnState& c = arranged[static_cast<size_t>(visual)];
        int logical = -1;
        for (int i = 0; i < header->count(); ++i)
            if (FieldOf(grid, i).toStdString() == c.field)
                logical = i;
        if (logical < 0)
            continue;
        header->moveSection(header->visualIndex(logical), visual);
        const bool visible = c.visible || !anyVisible;
        header->setSectionHidden(logical, !visible);
        if (visible && c.width > 0)
            header->resizeSection(logical, c.width);
    }
}

std::filesystem::path GridLayoutFileOf(const QTableView* grid, const std::string& suffix)
{
    return GridLayoutFile(ProcessContext::current().programFile(), grid->objectName().toStdString(), suffix);
}

bool SaveGridLayout(const QTableView* grid, const std::string& suffix)
{
    return Guarded("grid layout file, writing",
                   [&] { SaveColumnSetFile(GridLayoutFileOf(grid, suffix), ReadColumnSet(grid)); });
}

bool LoadGridLayout(QTableView* grid, const std::string& suffix)
{
    const GridColumnSet saved = LoadColumnSetFile(GridLayoutFileOf(grid, suffix));
    if (saved.empty())
        return false;
    ApplyColumnSet(grid, saved);
    return true;
}

QMenu* BuildColumnMenu(QTableView* grid, QWidget* parent)
{
    auto* menu = new QMenu(parent);
    QHeaderView* header = grid->horizontalHeader();
    if (!grid->model())
        return menu;
    for (int visual = 0; visual < header->count(); ++visual) {
        const int logical = header->logicalIndex(visual);
        const QString title = grid->model()->headerData(logical, Qt::Horizontal, Qt::DisplayRole).toString().trimmed();
        QAction* action = menu->addAction(title);
        action->setCheckable(true);
        action->setChecked(!header->isSectionHidden(logical));
        action->setData(logical);
        QObject::connect(action, &QAction::toggled, grid, [grid, logical, action](bool on) {
            QHeaderView* h = grid->horizontalHeader();
            if (!on && VisibleColumns(h) <= 1) {
                action->setChecked(true); // the last visible column stays
                return;
            }
            h->setSectionHidden(logical, !on);
        });
    }
    return menu;
}

void InstallColumnChooser(QTableView* grid)
{
    QHeaderView* header = grid->horizontalHeader();
    header->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(header, &QHeaderView::customContextMenuRequested, grid, [grid](const QPoint& pos) {
        QMenu* menu = BuildColumnMenu(grid, grid);
        menu->setAttribute(Qt::WA_DeleteOnClose);
        menu->popup(grid->horizontalHeader()->mapToGlobal(pos));
    });
}

} // namespace gs
