#pragma once
// A data grid as the spooler and the cell texts see it, without any window: its columns in grid
// order (field, title caption, width, alignments; a hidden column has width 0) and its row source.
// The statistics window adapts its list view to this; the report command, tests and benchmarks
// fill it from plain rows.
//
// Alignments use the host's coding: 0 left, 1 right, 2 centre.
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace gs {

struct GridColumn {
    std::string fieldName;  // empty: the column names no field
    std::string title;      // caption in the grid's markup ("/b" makes the rest bold)
    int width = 0;          // pixels; 0 for a hidden column
    int titleAlignment = 0;
    int cellAlignment = 0;
};

// The rows behind a grid. Row numbers run from 0 to RecordCount() - 1 in grid order.
class GridDataSet {
public:
    virtual ~GridDataSet() = default;
    virtual bool Active() const { return true; }
    virtual int RecordCount() const = 0;
    // The text of a field in a row, as the grid shows it; nullopt when the data set has no such
    // field (field names match without regard to case).
    virtual std::optional<std::string> FieldText(int row, std::string_view field) const = 0;
    // The current row (the grid's cursor); writing a list moves it and restores it afterwards.
    virtual int CurrentRow() const { return current_; }
    virtual void SetCurrentRow(int row) { current_ = row; }
    // While rows are written the grid on screen does not follow every move.
    virtual void DisableControls() {}
    virtual void EnableControls() {}

private:
    int current_ = 0;
};

// One row of a data set, as the cell-text rules and the callbacks see it.
class GridRecord {
public:
    GridRecord(const GridDataSet& data, int row) : data_(data), row_(row) {}
    int row() const { return row_; }
    const GridDataSet& dataSet() const { return data_; }
    std::optional<std::string> field(std::string_view name) const { return data_.FieldText(row_, name); }

private:
    const GridDataSet& data_;
    int row_;
};

struct GridDescription {
    std::vector<GridColumn> columns;
    GridDataSet* dataSet = nullptr;
    // Shown columns: width above 0.
    int shownColumnCount() const
    {
        int n = 0;
        for (const GridColumn& c : columns)
            n += c.width > 0 ? 1 : 0;
        return n;
    }
};

// Rows kept in memory: one vector of texts per row, in the order of fieldNames.
class TextRowsDataSet : public GridDataSet {
public:
    explicit TextRowsDataSet(std::vector<std::string> fieldNames) : fieldNames_(std::move(fieldNames)) {}
    void addRow(std::vector<std::string> values) { rows_.push_back(std::move(values)); }
    void reserve(size_t n) { rows_.reserve(n); }
    int RecordCount() const override { return static_cast<int>(rows_.size()); }
    std::optional<std::string> FieldText(int row, std::string_view field) const override;
    const std::vector<std::string>& fieldNames() const { return fieldNames_; }

private:
    std::vector<std::string> fieldNames_;
    std::vector<std::vector<std::string>> rows_;
};

} // namespace gs
