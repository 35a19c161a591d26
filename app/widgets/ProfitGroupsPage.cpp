#include "app/widgets/ProfitGroupsPage.h"

#include "app/widgets/ProfitList.h"
#include "display/DisplayComponents.h"
#include "display/GridLayout.h"
#include "display/HostFonts.h"
#include "display/QtColors.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include <algorithm>

#include <QHeaderView>

namespace gs {

namespace {

QFont GridFont() { return HostFont(QStringLiteral("Tahoma"), 8); }

const GroupColumn& ColumnAt(int section) { return ProfitGroupColumns[static_cast<size_t>(section)]; }

// a < b in a column's order; groups without a margin or share stand below every number.
bool Less(const ProfitGroup& a, const ProfitGroup& b, std::string_view field)
{
    auto optionalLess = [](const std::optional<double>& x, const std::optional<double>& y) {
        if (!x || !y)
            return !x && y;
        return *x < *y;
    };
    if (field == "NAME")
        return QString::fromStdString(a.name).localeAwareCompare(QString::fromStdString(b.name)) < 0;
    if (field == "DOKUMENTE")
        return a.documents < b.documents;
    if (field == "WW_NETTO")
        return a.net < b.net;
    if (field == "PROVISION")
        return a.commission < b.commission;
    if (field == "GEWINN" || field == "printp")
        return a.profit < b.profit;
    if (field == "MARGE")
        return optionalLess(a.margin, b.margin);
    if (field == "ANTEIL")
        return optionalLess(a.share, b.share);
    return a.key < b.key;
}

} // namespace

// --- model ----------------------------------------------------------------------------------------

ProfitGroupModel::ProfitGroupModel(QObject* parent) : QAbstractTableModel(parent) {}

void ProfitGroupModel::setTables(const ResultTables* tables, GroupBy by)
{
    beginResetModel();
    by_ = by;
    groups_ = tables ? BuildProfitGroups(*tables, by) : std::vector<ProfitGroup>();
    sortGroups();
    endResetModel();
}

int ProfitGroupModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(groups_.size());
}

int ProfitGroupModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(ProfitGroupColumns.size());
}

QVariant ProfitGroupModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount())
        return {};
    const ProfitGroup& g = groups_[static_cast<size_t>(index.row())];
    const GroupColumn& column = ColumnAt(index.column());
    switch (role) {
    case Qt::DisplayRole:
        return QString::fromStdString(GroupFieldText(g, by_, column.field).value_or(std::string()));
    case Qt::FontRole:
        return index.column() == 1 ? HostFont(QStringLiteral("Arial"), 8, true) : GridFont();
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::Alignment(
            (column.alignment == ListCellAlignment::Right ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter));
    case ProfitRole:
        return WholeEuros(g.profit);
    case NetRole:
        return WholeEuros(g.net);
    default:
        return {};
    }
}

QVariant ProfitGroupModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount())
        return QAbstractTableModel::headerData(section, orientation, role);
    const GroupColumn& column = ColumnAt(section);
    if (role == Qt::DisplayRole) {
        QString title = ListTitleText(column.title);
        const int shown = sortColumn_ < 0 ? 6 : sortColumn_; // built by profit, largest first
        if (section == shown)
            title += (sortColumn_ < 0 || sortOrder_ == Qt::DescendingOrder) ? QStringLiteral(" ▼") : QStringLiteral(" ▲");
        return title;
    }
    const QVariant title = ListTitleHeaderData(column.title, column.field, role);
    return title.isValid() ? title : QAbstractTableModel::headerData(section, orientation, role);
}

Qt::ItemFlags ProfitGroupModel::flags(const QModelIndex& index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

void ProfitGroupModel::sort(int column, Qt::SortOrder order)
{
    if (column < 0 || column >= columnCount())
        return;
    emit layoutAboutToBeChanged();
    sortColumn_ = column;
    sortOrder_ = order;
    sortGroups();
    emit layoutChanged();
    emit headerDataChanged(Qt::Horizontal, 0, columnCount() - 1);
}

void ProfitGroupModel::sortGroups()
{
    if (sortColumn_ < 0)
        return; // as built: by profit, largest first, ties by key
    const std::string_view field = ColumnAt(sortColumn_).field;
    const bool descending = sortOrder_ == Qt::DescendingOrder;
    std::stable_sort(groups_.begin(), groups_.end(), [&](const ProfitGroup& a, const ProfitGroup& b) {
        if (Less(a, b, field))
            return !descending;
        if (Less(b, a, field))
            return descending;
        return a.key < b.key;
    });
}

// --- page -------------------------------------------------------------------------------------------

ProfitGroupsPage::ProfitGroupsPage(QWidget* parent) : QWidget(parent)
{
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);

    auto* top = new QHBoxLayout;
    top->setContentsMargins(4, 3, 4, 0);
    auto* caption = new QLabel(QStringLiteral("Gruppiert nach:"), this);
    caption->setObjectName(QStringLiteral("lblGroup"));
    groupBox_ = new TDCComboBox(this);
    groupBox_->setObjectName(QStringLiteral("dccgroup"));
    for (GroupBy by : AllGroupings)
        groupBox_->addItem(QString::fromUtf8(GroupByCaption(by)));
    groupBox_->setFixedWidth(147);
    caption->setBuddy(groupBox_);
    top->addWidget(caption);
    top->addWidget(groupBox_);
    top->addStretch(1);
    layout->addLayout(top);

    grid_ = new TI_DBGrid(this);
    grid_->setObjectName(QStringLiteral("DBGrid_GROUPS"));
    model_ = new ProfitGroupModel(grid_);
    auto* header = new ListTitleHeader(grid_);
    grid_->setHorizontalHeader(header);
    grid_->setModel(model_);
    grid_->setItemDelegate(new WarningBarDelegate(grid_, GroupBarColumn));
    grid_->setFont(GridFont());
    header->setFont(GridFont());
    header->setMinimumSectionSize(8);
    header->setStretchLastSection(false);
    header->setFixedHeight(QFontMetrics(GridFont()).height() + 6);
    header->setSectionsClickable(true);
    for (size_t i = 0; i < ProfitGroupColumns.size(); ++i)
        header->resizeSection(static_cast<int>(i), ProfitGroupColumns[i].width);
    QHeaderView* rows = grid_->verticalHeader();
    rows->setMinimumSectionSize(1);
    rows->setDefaultSectionSize(ListRowHeight);
    rows->setSectionResizeMode(QHeaderView::Fixed);
    rows->hide();
    grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid_->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid_->setSelectionMode(QAbstractItemView::SingleSelection);
    grid_->setWordWrap(false);
    grid_->setToolTip(QString::fromUtf8("Doppelklick oder Eingabetaste: die Dokumente der Gruppe in der Liste"));
    // A click on a title sorts by that column; the first click on a number sorts largest first.
    connect(header, &QHeaderView::sectionClicked, this, [this](int section) { sortBy(section); });
    layout->addWidget(grid_, 1);

    totals_ = new QLabel(this);
    totals_->setObjectName(QStringLiteral("GroupSummen"));
    totals_->setFont(HostFont(QStringLiteral("Tahoma"), 8, true));
    totals_->setContentsMargins(4, 2, 4, 2);
    totals_->setWordWrap(true);
    totals_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(totals_);

    connect(groupBox_, &QComboBox::currentIndexChanged, this, [this] { refresh(); });
    connect(grid_, &QAbstractItemView::activated, this, [this](const QModelIndex& index) {
        if (!index.isValid() || index.row() >= model_->rowCount())
            return;
        emit groupActivated(GroupFilter{model_->grouping(), model_->groups()[static_cast<size_t>(index.row())].key});
    });
}

void ProfitGroupsPage::sortBy(int section)
{
    // A click on a title sorts by that column, a second click turns the order; a number sorts
    // largest first, the key and the name from the start of the alphabet.
    if (section == sortSection_)
        sortOrder_ = sortOrder_ == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder;
    else
        sortOrder_ = section <= 1 ? Qt::AscendingOrder : Qt::DescendingOrder;
    sortSection_ = section;
    model_->sort(section, sortOrder_);
}

GroupBy ProfitGroupsPage::grouping() const
{
    const int i = std::clamp(groupBox_->currentIndex(), 0, static_cast<int>(std::size(AllGroupings)) - 1);
    return AllGroupings[i];
}

void ProfitGroupsPage::setGrouping(GroupBy by)
{
    for (size_t i = 0; i < std::size(AllGroupings); ++i)
        if (AllGroupings[i] == by)
            groupBox_->setCurrentIndex(static_cast<int>(i));
}

QString ProfitGroupsPage::totalsText() const { return totals_->text(); }

void ProfitGroupsPage::setDetached(bool detached)
{
    detached_ = detached;
    refresh();
}

void ProfitGroupsPage::refresh()
{
    const ResultTables* tables = detached_ ? nullptr : tables_;
    model_->setTables(tables, grouping());
    totals_->setText(tables ? QString::fromStdString(GroupTotalsText(TotalsOf(*tables))).replace(
                                  QLatin1String("\t\t"), QLatin1String("     "))
                            : QString());
    if (model_->rowCount() > 0)
        grid_->setCurrentIndex(model_->index(0, 0));
    widenToContents();
}

void ProfitGroupsPage::widenToContents()
{
    // Amounts and captions are shown whole: a column only grows (never past a third of the page
    // for the names), so a width the user chose stays when it is wide enough.
    QHeaderView* header = grid_->horizontalHeader();
    for (int c = 0; c < model_->columnCount(); ++c) {
        if (grid_->isColumnHidden(c))
            continue;
        const int wanted = std::min(std::max(static_cast<QAbstractItemView*>(grid_)->sizeHintForColumn(c), header->sectionSizeHint(c)),
                                    std::max(120, width() / 3));
        if (wanted > header->sectionSize(c))
            header->resizeSection(c, wanted);
    }
}

} // namespace gs
