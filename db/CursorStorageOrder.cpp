// The cursor's walks in the order the rows are stored: on a table file by a StorageWalk plan, the
// next batch read ahead with its blobs inflated on a second core; on a database server in the
// order the server reads them. Each row tells its place in the walk on the index.
#include "db/AdsCursor.h"

#include "db/AdsError.h"
#include "db/StorageWalk.h"

#include <string>

namespace gs::ads {

void Cursor::AllowStorageOrder(bool allowed)
{
    storageAllowed_ = allowed;
    if (!allowed)
        storage_.reset();
}

StorageWalk* Cursor::StoragePlan()
{
    const std::uint64_t transaction = file_.ReadTransactionId();
    if (!storageAllowed_ || order_.keyField < 0 || transaction == 0 || file_.Remote() || !file_.CountByReading())
        return nullptr;
    if (!storage_ || storageTransaction_ != transaction || storageWrites_ != file_.Writes()) {
        if (inStorage_)
            return nullptr; // a walk in storage order goes on with its own plan
        storage_ = std::make_unique<StorageWalk>(file_, order_, filterTree_, selectList_);
        storageTransaction_ = transaction;
        storageWrites_ = file_.Writes();
    }
    return storage_->Chosen() ? storage_.get() : nullptr;
}

bool Cursor::NextInStorage()
{
    if (pos_ + 1 < window_.Size()) {
        ++pos_;
        return true;
    }
    AwaitAhead();
    if (spare_.Empty())
        ReadAhead();
    AwaitAhead();
    if (spare_.Empty())
        return false;
    window_.Swap(spare_);
    positions_.swap(sparePositions_);
    spare_.Recycle();
    pos_ = 0;
    windowWrites_ = file_.Writes();
    ReadAhead();
    return true;
}

void Cursor::ReadAhead()
{
    sparePositions_.clear();
    while (spare_.Empty() && !storage_->Done())
        storage_->Fetch(GrowBatch(), file_.CurrentStamp(), spare_, sparePositions_);
    // The rows are read here (the file's connection stays with this thread); their blobs are
    // inflated on a second core while the caller works through the window.
    if (spare_.InflatesLater() && !spare_.Empty())
        inflatingAhead_ = std::async(std::launch::async, [this] { spare_.InflateRows(); });
}

void Cursor::AwaitAhead() noexcept
{
    if (inflatingAhead_.valid())
        inflatingAhead_.wait();
    inflatingAhead_ = {};
}

bool Cursor::ServerOrderChosen()
{
    const std::uint64_t transaction = file_.ReadTransactionId();
    if (!storageAllowed_ || !serverOrderAllowed || order_.keyField < 0 || transaction == 0 || !file_.Remote() ||
        file_.Fields()[static_cast<size_t>(order_.keyField)].type != TAdsFieldType::Date)
        return false;
    if (rowidsTransaction_ != transaction || rowidsWrites_ != file_.Writes()) {
        rowidsFit_ = StorageWalk::RowidsForPositions(file_);
        rowidsTransaction_ = transaction;
        rowidsWrites_ = file_.Writes();
    }
    return rowidsFit_;
}

std::int64_t Cursor::WalkPosition() const
{
    if (!inStorage_)
        return ordinal_;
    std::int64_t position = StorageWalk::kNoPosition;
    if (serverOrder_)
        StorageWalk::DatePosition(window_.Value(pos_, order_.keyField), Rowid(), order_.descending, position);
    else
        position = positions_[pos_];
    if (position == StorageWalk::kNoPosition)
        NoPosition();
    return position;
}

void Cursor::NoPosition() const
{
    const ValueRef k = window_.Value(pos_, order_.keyField);
    throw AdsError("Kein Datum im Feld " + file_.Fields()[static_cast<size_t>(order_.keyField)].name + ": " +
                       (k.kind == StorageKind::Integer ? std::to_string(k.i) : std::string(k.s)),
                   file_.FileName());
}

bool Cursor::NextInServerOrder()
{
    if (pos_ + 1 < window_.Size()) {
        ++pos_;
        return true;
    }
    spare_.ResetLike(window_);
    FetchStream(GrowBatch(), spare_);
    if (spare_.Empty())
        return false;
    window_.Swap(spare_);
    pos_ = 0;
    windowWrites_ = file_.Writes();
    return true;
}

std::int64_t Cursor::RowsAtMost() const
{
    return inStorage_ && !serverOrder_ && storage_ && !storage_->Scans() ? storage_->Count() : -1;
}

void Cursor::LeaveStorageOrder()
{
    if (!inStorage_)
        return;
    DropAhead();
    ordinal_ = 0;
}

} // namespace gs::ads
