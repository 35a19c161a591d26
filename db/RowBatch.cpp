#include "db/AdsCursor.h"

#include "db/AdsError.h"
#include "db/BlobFields.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <string>

namespace gs::ads {

std::uint32_t RowBatch::CellLength(size_t size)
{
    // Neither store keeps a value beyond 1 GB; a longer one (an inflated blob) is refused, not cut.
    if (size > std::numeric_limits<std::uint32_t>::max())
        throw AdsError("Wert zu groß zum Lesen: " + std::to_string(size) + " Bytes", {});
    return static_cast<std::uint32_t>(size);
}

void RowBatch::Reset(const std::vector<char>& carried)
{
    fields_.clear();
    inflatedFields_.clear();
    inflateLater_ = false;
    slots_.assign(carried.size(), -1);
    for (size_t f = 0; f < carried.size(); ++f) {
        if (carried[f]) {
            slots_[f] = static_cast<int>(fields_.size());
            fields_.push_back(static_cast<int>(f));
            if (carried[f] == kCarriedInflated || carried[f] == kCarriedInflatedLater)
                inflatedFields_.push_back(static_cast<int>(f));
            inflateLater_ = inflateLater_ || carried[f] == kCarriedInflatedLater;
        }
    }
    ClearRows();
}

void RowBatch::ClearRows()
{
    cells_.clear();
    inflatedCells_.clear();
    rowids_.clear();
    stamps_.clear();
    blocks_.clear();
    free_ = nullptr;
    left_ = blockSize_ = 0;
}

const char* RowBatch::Store(std::string_view bytes)
{
    const size_t n = bytes.size();
    if (n == 0)
        return nullptr;
    if (n > kOwnBlockFrom) { // a large value gets a block of its own; the current block stays in use
        blocks_.push_back(std::make_unique_for_overwrite<char[]>(n));
        std::memcpy(blocks_.back().get(), bytes.data(), n);
        return blocks_.back().get();
    }
    if (n > left_) {
        // The doubled size, but never less than the value: a value above the block's size (up to
        // kOwnBlockFrom) still fits the new block.
        const size_t size = std::max(n, std::clamp(blockSize_ * 2, kFirstBlock, kMaxBlock));
        blocks_.push_back(std::make_unique_for_overwrite<char[]>(size));
        free_ = blocks_.back().get();
        left_ = blockSize_ = size;
    }
    char* p = free_;
    std::memcpy(p, bytes.data(), n);
    free_ += n;
    left_ -= n;
    return p;
}

void RowBatch::Push(const ValueRef& v)
{
    Cell c;
    c.kind = v.kind;
    switch (v.kind) {
    case StorageKind::Integer: c.i = v.i; break;
    case StorageKind::Real: c.d = v.d; break;
    case StorageKind::Text:
    case StorageKind::Blob:
        c.len = CellLength(v.s.size());
        c.p = Store(v.s);
        break;
    default: break;
    }
    cells_.push_back(c);
}

RowBatch::Cell RowBatch::InflatedCell(size_t row, int field)
{
    const ValueRef v = Value(row, field);
    Cell c;
    if (v.kind == StorageKind::Blob || v.kind == StorageKind::Text) {
        const std::string inflated = DecompressOrCopy(v.s);
        c.kind = StorageKind::Blob;
        c.len = CellLength(inflated.size());
        c.p = Store(inflated);
    }
    return c;
}

void RowBatch::PushInflated(size_t row)
{
    if (inflateLater_) {
        inflatedCells_.resize(inflatedCells_.size() + inflatedFields_.size()); // made by InflateRows
        return;
    }
    for (int f : inflatedFields_)
        inflatedCells_.push_back(InflatedCell(row, f));
}

void RowBatch::InflateRows() noexcept
{
    const size_t n = inflatedFields_.size();
    try {
        for (size_t row = 0; row < rowids_.size(); ++row) {
            for (size_t k = 0; k < n; ++k) {
                Cell& c = inflatedCells_[row * n + k];
                if (c.kind == StorageKind::Null)
                    c = InflatedCell(row, inflatedFields_[k]);
            }
        }
    } catch (...) {
        // Out of memory: the rows not done are inflated where they are read.
    }
}

void RowBatch::Append(const sql::Query& st, const Stamp& stamp)
{
    rowids_.push_back(st.ColumnInt(0));
    stamps_.push_back(stamp);
    for (int f : fields_)
        Push(st.Column(f + 1));
    if (!inflatedFields_.empty())
        PushInflated(rowids_.size() - 1);
}

void RowBatch::AppendRow(const RowBatch& other, size_t row)
{
    rowids_.push_back(other.rowids_[row]);
    stamps_.push_back(other.stamps_[row]);
    for (int f : fields_)
        Push(other.Value(row, f));
    for (int f : inflatedFields_) {
        std::string_view v;
        Cell c;
        if (other.Inflated(row, f, v)) {
            c.kind = StorageKind::Blob;
            c.len = CellLength(v.size());
            c.p = Store(v);
        }
        inflatedCells_.push_back(c);
    }
}

void RowBatch::AppendValues(std::int64_t rowid, const Stamp& stamp, const std::vector<DbValue>& values)
{
    rowids_.push_back(rowid);
    stamps_.push_back(stamp);
    for (int f : fields_)
        Push(values[static_cast<size_t>(f)].Ref());
    inflatedCells_.resize(inflatedCells_.size() + inflatedFields_.size()); // none kept: read as stored
}

bool RowBatch::Inflated(size_t row, int field, std::string_view& out) const
{
    for (size_t k = 0; k < inflatedFields_.size(); ++k) {
        if (inflatedFields_[k] != field)
            continue;
        const Cell& c = inflatedCells_[row * inflatedFields_.size() + k];
        if (c.kind != StorageKind::Blob)
            return false;
        out = std::string_view(c.p, c.len);
        return true;
    }
    return false;
}

void RowBatch::ResetLike(const RowBatch& other)
{
    fields_ = other.fields_;
    slots_ = other.slots_;
    inflatedFields_ = other.inflatedFields_;
    ClearRows();
}

void RowBatch::Adopt(RowBatch& other)
{
    cells_.insert(cells_.end(), other.cells_.begin(), other.cells_.end());
    if (inflatedFields_ == other.inflatedFields_)
        inflatedCells_.insert(inflatedCells_.end(), other.inflatedCells_.begin(), other.inflatedCells_.end());
    else
        inflatedCells_.resize(inflatedCells_.size() + other.rowids_.size() * inflatedFields_.size());
    rowids_.insert(rowids_.end(), other.rowids_.begin(), other.rowids_.end());
    stamps_.insert(stamps_.end(), other.stamps_.begin(), other.stamps_.end());
    for (auto& block : other.blocks_)
        blocks_.push_back(std::move(block)); // this batch's own free space stays where it was
    other.ClearRows();
}

void RowBatch::Recycle()
{
    cells_.clear();
    inflatedCells_.clear();
    rowids_.clear();
    stamps_.clear();
    if (blockSize_ == 0) {
        blocks_.clear();
        return;
    }
    char* const start = free_ - (blockSize_ - left_);
    for (auto& block : blocks_) {
        if (block.get() == start) {
            std::unique_ptr<char[]> kept = std::move(block);
            blocks_.clear();
            blocks_.push_back(std::move(kept));
            free_ = start;
            left_ = blockSize_;
            return;
        }
    }
    blocks_.clear();
    free_ = nullptr;
    left_ = blockSize_ = 0;
}

void RowBatch::Swap(RowBatch& other) noexcept
{
    fields_.swap(other.fields_);
    slots_.swap(other.slots_);
    cells_.swap(other.cells_);
    inflatedFields_.swap(other.inflatedFields_);
    inflatedCells_.swap(other.inflatedCells_);
    std::swap(inflateLater_, other.inflateLater_);
    rowids_.swap(other.rowids_);
    stamps_.swap(other.stamps_);
    blocks_.swap(other.blocks_);
    std::swap(free_, other.free_);
    std::swap(left_, other.left_);
    std::swap(blockSize_, other.blockSize_);
}

} // namespace gs::ads
