#pragma once
// The column layout of a grid: the user drags titles to rearrange the columns, drags their edges to
// resize them, and hides or shows them through the title row's context menu (one check item per
// column title). The grid keeps that layout in its layout file beside the program
// (display/GridColumnSet.h) and loads it back by field name. Works on any QTableView whose model gives
// the field name of every column as horizontal header data in FieldNameRole.
#include "display/GridColumnSet.h"

#include <Qt>

#include <filesystem>
#include <string>

class QMenu;
class QTableView;
class QWidget;

namespace gs {

// Header data role that gives a column's field name; grid models answer it for every column, and
// their own roles start after TitleMarkupRole.
inline constexpr int FieldNameRole = Qt::UserRole + 1;
// Header data role that gives a column's title as designed, with the grid's markup ("/b" makes the
// rest bold); printed and exported lists take their captions from it.
inline constexpr int TitleMarkupRole = Qt::UserRole + 2;

// The grid's columns in shown order (a hidden column has width 0: its width is the grid's own).
GridColumnSet ReadColumnSet(const QTableView* grid);
// Arranges the grid's columns by the set (display/GridColumnSet.h ArrangeColumns); at least one column
// stays visible.
void ApplyColumnSet(QTableView* grid, const GridColumnSet& columns);

// The grid's layout file for a suffix (empty: the grid's everyday layout), beside the current
// runtime's program, named after the grid's object name.
std::filesystem::path GridLayoutFileOf(const QTableView* grid, const std::string& suffix = {});
// Writes the grid's columns to its layout file; false when the file cannot be written.
bool SaveGridLayout(const QTableView* grid, const std::string& suffix = {});
// Reloads the grid's layout file; false (the grid unchanged) when there is none.
bool LoadGridLayout(QTableView* grid, const std::string& suffix = {});

// The column chooser: a menu with one check item per column title; unchecking hides the column.
// The last visible column cannot be hidden.
QMenu* BuildColumnMenu(QTableView* grid, QWidget* parent);
// Lets the grid's title row open the column chooser on a right click.
void InstallColumnChooser(QTableView* grid);

} // namespace gs
