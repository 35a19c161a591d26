#pragma once
// A grid list as the renderer draws it, without any database: the title and footer as stored
// (rich text or plain, Windows-1252 bytes), the printed columns in order with their captions,
// widths in screen pixels and alignments, the page orientation and the print date. The rows come
// from a TListRowSource, one after the other, so that a list of any length is drawn without holding
// it in memory.
//
// Filled by the output processors from a spooled job (SPOOL.ADT / DET.ADT), by the report command
// from its result tables, by tests and benchmarks from plain rows.
#include <memory>
#include <string>
#include <vector>

namespace gs {

// Alignments in the host's coding, as aligh/aligd store them.
enum TListAlignment { ListAlignLeft = 0, ListAlignRight = 1, ListAlignCentre = 2 };

struct TListColumnSpec {
    std::string caption;       // UTF-8
    int width = 0;             // screen pixels; only the proportions count on paper
    int captionAlignment = ListAlignLeft;
    int cellAlignment = ListAlignLeft;
};

struct TListJob {
    std::string title;         // HTEXT: rich text (or plain text), Windows-1252 bytes; may be empty
    std::string footer;        // FTEXT: drawn after the last row; may be empty
    std::vector<TListColumnSpec> columns;
    bool landscape = false;
    std::string printDate;     // shown on every page, e.g. "10.12.2026 14:03"
    std::string documentName;  // the PDF's title and the print job's name
};

// The rows of a list in print order. RowCount is asked once before the first row (the page count
// depends on it); NextRow then gives each row's cell texts (UTF-8, one per column) and false after
// the last. A source that raises ends the rendering with that error.
class TListRowSource {
public:
    virtual ~TListRowSource() = default;
    virtual long long RowCount() = 0;
    virtual bool NextRow(std::vector<std::string>& cells) = 0;
};

// Rows held in memory (tests, the report command).
class TVectorRowSource : public TListRowSource {
public:
    explicit TVectorRowSource(std::vector<std::vector<std::string>> rows) : rows_(std::move(rows)) {}
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
