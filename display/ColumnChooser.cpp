#include "display/ColumnChooser.h"

#include "display/ClassRegistry.h"
#include "display/DisplayComponents.h"
#include "display/GridLayout.h"
#include "display/WidgetDialogs.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QSpinBox>
#include <QTableView>
#include <QVBoxLayout>

namespace gs {

namespace {
constexpr int kDefaultWidth = 64; // a column shown again after being hidden
constexpr int kMaxWidth = 2000;
} // namespace

TFColumnChooser::TFColumnChooser(const GridColumnSet& columns, const std::vector<QString>& captions, QWidget* parent)
    : QDialog(parent), columns_(columns)
{
    setObjectName(QStringLiteral("FColumnChooser"));
    setWindowTitle(QStringLiteral("Spalten auswählen"));
    list_ = new QListWidget(this);
    list_->setObjectName(QStringLiteral("ColumnList"));
    for (size_t i = 0; i < columns_.size(); ++i) {
        auto* item = new QListWidgetItem(i < captions.size() ? captions[i] : QString::fromStdString(columns_[i].field));
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(columns_[i].visible ? Qt::Checked : Qt::Unchecked);
        list_->addItem(item);
    }
    auto* up = new TFlatButton(this);
    up->setObjectName(QStringLiteral("ColumnUp"));
    up->setText(QStringLiteral("nach oben"));
    auto* down = new TFlatButton(this);
    down->setObjectName(QStringLiteral("ColumnDown"));
    down->setText(QStringLiteral("nach unten"));
    width_ = new QSpinBox(this);
    width_->setObjectName(QStringLiteral("ColumnWidth"));
    width_->setRange(1, kMaxWidth);
    width_->setSuffix(QStringLiteral(" px"));
    auto* ok = new TFlatButton(this);
    ok->setObjectName(QStringLiteral("ColumnOk"));
    ok->setText(QStringLiteral("&OK"));
    ok->setDefault(true);
    auto* cancel = new TFlatButton(this);
    cancel->setObjectName(QStringLiteral("ColumnCancel"));
    cancel->setText(QStringLiteral("&Abbrechen"));

    auto* side = new QVBoxLayout;
    side->addWidget(up);
    side->addWidget(down);
    side->addWidget(new QLabel(QStringLiteral("Breite:"), this));
    side->addWidget(width_);
    side->addStretch();
    side->addWidget(ok);
    side->addWidget(cancel);
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(list_, 1);
    layout->addLayout(side);
    resize(360, 300);

    connect(up, &QPushButton::clicked, this, [this] { move(-1); });
    connect(down, &QPushButton::clicked, this, [this] { move(+1); });
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(list_, &QListWidget::currentRowChanged, this, [this] { showWidthOfCurrent(); });
    connect(width_, qOverload<int>(&QSpinBox::valueChanged), this, [this](int value) {
        const int row = list_->currentRow();
        if (row >= 0 && static_cast<size_t>(row) < columns_.size())
            columns_[static_cast<size_t>(row)].width = value;
    });
    if (list_->count() > 0)
        list_->setCurrentRow(0);
    ApplySkin(this);
}

void TFColumnChooser::showWidthOfCurrent()
{
    const int row = list_->currentRow();
    width_->setEnabled(row >= 0);
    if (row < 0 || static_cast<size_t>(row) >= columns_.size())
        return;
    const int width = columns_[static_cast<size_t>(row)].width;
    width_->setValue(width > 0 ? width : kDefaultWidth);
}

void TFColumnChooser::move(int by)
{
    const int row = list_->currentRow();
    const int to = row + by;
    if (row < 0 || to < 0 || to >= list_->count())
        return;
    QListWidgetItem* item = list_->takeItem(row);
    list_->insertItem(to, item);
    std::swap(columns_[static_cast<size_t>(row)], columns_[static_cast<size_t>(to)]);
    list_->setCurrentRow(to);
}

GridColumnSet TFColumnChooser::columns() const
{
    GridColumnSet result = columns_;
    for (size_t i = 0; i < result.size(); ++i) {
        result[i].visible = list_->item(static_cast<int>(i))->checkState() == Qt::Checked;
        if (result[i].visible && result[i].width <= 0)
            result[i].width = kDefaultWidth;
    }
    return result;
}

bool ChooseGridColumns(QTableView* grid, QWidget* parent)
{
    if (!grid || !grid->model())
        return false;
    const GridColumnSet present = ReadColumnSet(grid);
    std::vector<QString> captions;
    const QHeaderView* header = grid->horizontalHeader();
    for (int visual = 0; visual < header->count(); ++visual)
        captions.push_back(grid->model()->headerData(header->logicalIndex(visual), Qt::Horizontal).toString());
    TFColumnChooser chooser(present, captions, parent ? parent : grid->window());
    if (RunModal(chooser) != QDialog::Accepted)
        return false;
    ApplyColumnSet(grid, chooser.columns());
    return true;
}

} // namespace gs
