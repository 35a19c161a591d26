#include "app/widgets/ProfitList.h"

#include "app/WarningBar.h"
#include "display/DisplayComponents.h"
#include "display/HostFonts.h"
#include "display/QtColors.h"

#include <QPainter>

namespace gs {

namespace {

QFont GridFont() { return HostFont(QStringLiteral("Tahoma"), 8); }


} // namespace

QString ListTitleText(const char* markup, bool* bold)
{
    QString text = QString::fromUtf8(markup);
    const qsizetype at = text.indexOf(QLatin1String("/b"), 0, Qt::CaseInsensitive);
    if (bold)
        *bold = at >= 0;
    if (at >= 0)
        text.remove(at, 2);
    return text;
}

// --- model ----------------------------------------------------------------------------------------

ProfitListModel::ProfitListModel(const std::vector<KmRow>* rows, QObject* parent)
    : QAbstractTableModel(parent), rows_(rows)
{
}

int ProfitListModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid() || detached_ || !rows_)
        return 0;
    return static_cast<int>(rows_->size());
}

int ProfitListModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(ResultListColumns.size());
}

QVariant ProfitListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount())
        return {};
    const KmRow& row = (*rows_)[static_cast<size_t>(index.row())];
    const ResultColumn& column = ResultListColumns[static_cast<size_t>(index.column())];
    switch (role) {
    case Qt::DisplayRole:
        return QString::fromStdString(KmFieldText(row, column.field).value_or(std::string()));
    case Qt::FontRole:
        switch (column.font) {
        case ListCellFont::Arial:
            return HostFont(QStringLiteral("Arial"), 8);
        case ListCellFont::ArialBold:
            return HostFont(QStringLiteral("Arial"), 8, true);
        default:
            return GridFont();
        }
    case Qt::TextAlignmentRole:
        return QVariant::fromValue(Qt::Alignment(
            (column.alignment == ListCellAlignment::Right ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter));
    case ProfitRole:
        return WholeEuros(row.profit);
    case NetRole:
        return WholeEuros(row.net);
    default:
        return {};
    }
}

QVariant ListTitleHeaderData(const char* title, const char* field, int role)
{
    bool bold = false;
    switch (role) {
    case Qt::DisplayRole:
        return ListTitleText(title);
    case Qt::FontRole: {
        ListTitleText(title, &bold);
        QFont font = GridFont();
        font.setBold(bold);
        return font;
    }
    case Qt::ForegroundRole:
        return QColor(Qt::white);
    case Qt::BackgroundRole:
        return HostColorToQColor(ListTitleColor);
    case FieldNameRole:
        return QString::fromLatin1(field);
    case TitleMarkupRole:
        return QString::fromUtf8(title);
    default:
        return {};
    }
}

QVariant ProfitListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount())
        return QAbstractTableModel::headerData(section, orientation, role);
    const ResultColumn& column = ResultListColumns[static_cast<size_t>(section)];
    const QVariant title = ListTitleHeaderData(column.title, column.field, role);
    return title.isValid() ? title : QAbstractTableModel::headerData(section, orientation, role);
}

Qt::ItemFlags ProfitListModel::flags(const QModelIndex& index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

void ProfitListModel::setDetached(bool detached)
{
    if (detached == detached_)
        return;
    beginResetModel();
    detached_ = detached;
    endResetModel();
}

void ProfitListModel::setRows(const std::vector<KmRow>* rows)
{
    beginResetModel();
    rows_ = rows;
    endResetModel();
}

// --- warning bar ------------------------------------------------------------------------------------

void WarningBarDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    if (index.column() != barColumn_) {
        QStyledItemDelegate::paint(painter, option, index);
        return;
    }
    const QVariant p = index.data(ProfitRole);
    const QVariant n = index.data(NetRole);
    const QRect cell = option.rect;
    const WarningBarGeometry bar =
        ComputeWarningBar(p.isValid() ? std::optional<int>(p.toInt()) : std::nullopt,
                          n.isValid() ? std::optional<int>(n.toInt()) : std::nullopt, cell.width());
    painter->save();
    painter->fillRect(cell, Qt::white);
    if (bar.length > 0)
        painter->fillRect(QRect(cell.left(), cell.top(), bar.length, cell.height()), HostColorToQColor(bar.color));
    painter->restore();
}

// --- title row --------------------------------------------------------------------------------------

ListTitleHeader::ListTitleHeader(QWidget* parent) : QHeaderView(Qt::Horizontal, parent)
{
    setSectionsMovable(true);
    setSectionsClickable(false);
    setHighlightSections(false);
    setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

void ListTitleHeader::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const
{
    if (!rect.isValid() || !model())
        return;
    painter->save();
    const QVariant back = model()->headerData(logicalIndex, Qt::Horizontal, Qt::BackgroundRole);
    const QColor fill = back.canConvert<QColor>() ? back.value<QColor>() : palette().color(QPalette::Button);
    painter->fillRect(rect, fill);
    painter->setPen(fill.darker(140));
    painter->drawLine(rect.topRight(), rect.bottomRight());
    painter->drawLine(rect.bottomLeft(), rect.bottomRight());
    const QVariant font = model()->headerData(logicalIndex, Qt::Horizontal, Qt::FontRole);
    if (font.canConvert<QFont>())
        painter->setFont(font.value<QFont>());
    const QVariant fore = model()->headerData(logicalIndex, Qt::Horizontal, Qt::ForegroundRole);
    painter->setPen(fore.canConvert<QColor>() ? fore.value<QColor>() : palette().color(QPalette::ButtonText));
    const QString text = model()->headerData(logicalIndex, Qt::Horizontal, Qt::DisplayRole).toString();
    painter->drawText(rect.adjusted(2, 0, -2, 0), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, text);
    painter->restore();
}

// --- the grid ---------------------------------------------------------------------------------------

ProfitListModel* SetupProfitList(TI_DBGrid* grid, const std::vector<KmRow>* rows)
{
    auto* model = new ProfitListModel(rows, grid);
    auto* header = new ListTitleHeader(grid);
    grid->setHorizontalHeader(header);
    grid->setModel(model);
    grid->setItemDelegate(new WarningBarDelegate(grid));
    grid->setFont(GridFont());
    header->setFont(GridFont());
    header->setMinimumSectionSize(8);
    header->setStretchLastSection(false);
    header->setFixedHeight(QFontMetrics(GridFont()).height() + 6);
    for (size_t i = 0; i < ResultListColumns.size(); ++i) {
        header->resizeSection(static_cast<int>(i), ResultListColumns[i].width);
        // The column chooser shows it; a saved layout that names it decides.
        grid->setColumnHidden(static_cast<int>(i), !ResultListColumns[i].shownByDefault);
    }

    QHeaderView* rowsHeader = grid->verticalHeader();
    rowsHeader->setMinimumSectionSize(1);
    rowsHeader->setDefaultSectionSize(ListRowHeight);
    rowsHeader->setSectionResizeMode(QHeaderView::Fixed);
    rowsHeader->hide();

    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setShowGrid(true);
    grid->setWordWrap(false);
    grid->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
    // The selected row stays highlighted when the list loses the focus.
    QPalette pal = grid->palette();
    pal.setColor(QPalette::Inactive, QPalette::Highlight, pal.color(QPalette::Active, QPalette::Highlight));
    pal.setColor(QPalette::Inactive, QPalette::HighlightedText, pal.color(QPalette::Active, QPalette::HighlightedText));
    grid->setPalette(pal);
    return model;
}

int FitAmountColumns(TI_DBGrid* grid)
{
    const QAbstractItemModel* model = grid->model();
    QHeaderView* header = grid->horizontalHeader();
    if (!model || !header)
        return 0;
    int widened = 0;
    for (size_t i = 0; i < ResultListColumns.size(); ++i) {
        const ResultColumn& column = ResultListColumns[i];
        const int section = static_cast<int>(i);
        if (!column.amount || header->sectionSize(section) != column.width)
            continue;
        // The longest text is the widest amount: digits, separators and the suffix have the same
        // widths in every row.
        QString widest;
        for (int row = 0; row < model->rowCount(); ++row) {
            const QString text = model->data(model->index(row, section)).toString();
            if (text.size() > widest.size())
                widest = text;
        }
        const QFont font = model->data(model->index(0, section), Qt::FontRole).value<QFont>();
        const int needed = QFontMetrics(font).horizontalAdvance(widest) + 12; // the cell's margins
        if (needed > column.width) {
            header->resizeSection(section, needed);
            ++widened;
        }
    }
    return widened;
}

} // namespace gs
