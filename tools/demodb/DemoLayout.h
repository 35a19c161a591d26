#pragma once
// The physical layout of a demo orders table: the same rows in another storage (row id) order, with
// or without the SQL indexes behind its index tags. Real host tables are seldom stored in date
// order: documents are entered late, imported or rewritten; and a host file may lack an SQL index.
#include <cstdint>
#include <filesystem>

namespace gs::demo {

enum class RowOrder {
    Written,  // as generated: by document number, so by date
    Reversed, // the last document first
    Shuffled, // a permutation drawn from the seed
};

struct TableLayout {
    RowOrder order = RowOrder::Written;
    bool sqlIndexes = true; // false: the index tags stay, the SQL indexes behind them are missing
    std::uint64_t seed = 1;
};

// Copies the table file from into the new file to (which must not exist): the same schema, the same
// rows with the same values, stored in the layout's order; its bookkeeping tables as they were.
// Raises gs::Error.
void CopyTableFile(const std::filesystem::path& from, const std::filesystem::path& to, const TableLayout& layout);

} // namespace gs::demo
