#pragma once
// The grid's column chooser "Spalten auswählen": a modal window listing every column of a grid by its
// title, in shown order, with a check mark for the shown ones; "nach oben" / "nach unten" move the
// selected column, "Breite" sets its width in pixels. "&OK" arranges the grid accordingly (at least
// one column stays shown); "&Abbrechen" leaves it as it was. Shown through the dialog seam
// (display/WidgetDialogs.h RunModal), so tests work it by the object names of its controls:
// "ColumnList", "ColumnUp", "ColumnDown", "ColumnWidth", "ColumnOk", "ColumnCancel".
#include "display/GridColumnSet.h"

#include <QDialog>
#include <QString>

#include <vector>

class QListWidget;
class QSpinBox;
class QTableView;

namespace gs {

class TFColumnChooser : public QDialog {
    Q_OBJECT
public:
    // captions[i] is the title shown for columns[i].
    TFColumnChooser(const GridColumnSet& columns, const std::vector<QString>& captions, QWidget* parent = nullptr);
    // The columns as the user arranged them.
    GridColumnSet columns() const;

private:
    void move(int by);
    void showWidthOfCurrent();
    QListWidget* list_ = nullptr;
    QSpinBox* width_ = nullptr;
    GridColumnSet columns_; // widths and fields, in the list's order
};

// Lets the user choose the grid's columns; true (and the grid arranged) when confirmed.
bool ChooseGridColumns(QTableView* grid, QWidget* parent = nullptr);

} // namespace gs
