#pragma once
// What the renderer takes beside the list's description: what the print adds (date, document name)
// and the rows, which come from a ListRowSource one after the other, so that a list of any length
// is drawn without holding it in memory.
//
// The output processors read the rows from a spooled job's detail rows (DET.ADT), the report command
// from its result tables, tests and benchmarks from plain rows.
#include "spool/ListDescription.h"

#include <memory>
#include <string>
#include <vector>

namespace gs {

// What a print adds to a list (spool/ListDescription.h): the print date shown on every page (e.g.
// "10.12.2026 14:03") and the document name (the PDF's title, the print job's name).
struct ListPrint {
    std::string printDate;
    std::string documentName;
};

// The rows of a list in print order. RowCount is asked once before the first row (the page count
// depends on it); NextRow then gives each row's cell texts (UTF-8, one per column) and false after
// the last. A source that raises ends the rendering with that error.
class ListRowSource {
public:
    virtual ~ListRowSource() = default;
    virtual long long RowCount() = 0;
    virtual bool NextRow(std::vector<std::string>& cells) = 0;
};

// Rows held in memory (tests, the report command).
class VectorRowSource : public ListRowSource {
public:
    explicit VectorRowSource(std::vector<std::vector<std::string>> rows) : rows_(std::move(rows)) {}
    long long RowCount() override { return static_cast<long long>(rows_.size()); }
    bool NextRow(std::vector<std::string>& cells) override
    {
        if (next_ >= rows_.size())
            return false;
        cells = rows_[next_++];
        return true;
    }

private:
    std::vector<std::vector<std::string>> rows_;
    size_t next_ = 0;
};

} // namespace gs
