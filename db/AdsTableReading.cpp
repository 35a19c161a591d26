// What a walk over the table reads with each row: the columns that come with it, blobs kept
// inflated, the walk in storage order with each row's place in the index walk, every row read at
// once, and several blobs of the current row in one statement.
#include "db/AdsTable.h"

#include "db/AdsCursor.h"
#include "db/TableStore.h"

#include <algorithm>

namespace gs {

std::vector<int> TAdsTable::OwnFieldIndexes(const std::vector<Field*>& fields) const
{
    std::vector<int> indexes;
    for (const Field* f : fields) {
        if (f != nullptr && &f->Table() == this)
            indexes.push_back(f->Index());
    }
    return indexes;
}

void TAdsTable::SetRowColumns(const std::vector<Field*>& fields)
{
    RequireActive();
    CheckBrowseMode();
    cursor_->SetRowColumns(OwnFieldIndexes(fields));
    firstPending_ = true;
}

bool TAdsTable::Remote() const { return file_ && file_->Remote(); }

bool TAdsTable::ReadsWithoutFail(int index, FieldRead read) const
{
    return read == FieldRead::Text || (file_ && file_->ReadsWithoutFail(index, read));
}

void TAdsTable::SetInflatedColumns(const std::vector<Field*>& fields)
{
    RequireActive();
    CheckBrowseMode();
    cursor_->SetInflatedColumns(OwnFieldIndexes(fields));
    firstPending_ = true;
}

bool TAdsTable::InflatedValue(int index, std::string& target)
{
    const size_t i = static_cast<size_t>(index);
    if (!cursor_ || state_ == TDataSetState::Insert || (state_ == TDataSetState::Edit && editChanged_[i]))
        return false;
    SettlePosition();
    std::string_view v;
    if (!cursor_->Inflated(index, v))
        return false;
    target.assign(v.data(), v.size());
    return true;
}

void TAdsTable::SetStorageOrderWalk(bool allowed)
{
    storageOrder_ = allowed;
    if (!Active())
        return;
    CheckBrowseMode();
    cursor_->AllowStorageOrder(allowed);
    firstPending_ = true;
}

bool TAdsTable::InStorageOrder() const { return cursor_ && cursor_->InStorageOrder(); }

long long TAdsTable::WalkPosition() const { return cursor_ && cursor_->HasRow() ? cursor_->WalkPosition() : 0; }

long long TAdsTable::WalkRowsAtMost() const { return cursor_ && !firstPending_ ? cursor_->RowsAtMost() : -1; }

void TAdsTable::ReadAllRows()
{
    RequireActive();
    CheckBrowseMode();
    SettlePosition();
    cursor_->ReadAll();
    PositionChanged();
}

void TAdsTable::PrefetchBlobs(const std::vector<Field*>& fields)
{
    RequireActive();
    if (state_ == TDataSetState::Insert)
        return;
    SettlePosition();
    if (!cursor_->HasRow())
        return;
    std::vector<int>& wanted = prefetch_;
    wanted.clear();
    for (const Field* f : fields) {
        if (f == nullptr || &f->Table() != this || !f->IsBlob() || cursor_->Carries(f->Index()))
            continue;
        const size_t i = static_cast<size_t>(f->Index());
        if (blobs_[i].epoch != blobEpoch_ && std::find(wanted.begin(), wanted.end(), f->Index()) == wanted.end())
            wanted.push_back(f->Index());
    }
    if (wanted.size() < 2) {
        if (!wanted.empty())
            BlobValue(wanted.front());
        return;
    }
    sql::Query& st = file_->BlobsStatement(wanted);
    sql::ResetOnExit reset(st);
    st.BindInt(1, cursor_->Rowid());
    const bool found = st.Step();
    for (size_t k = 0; k < wanted.size(); ++k) {
        BlobSlot& slot = blobs_[static_cast<size_t>(wanted[k])];
        if (found) {
            const ValueRef v = st.Column(static_cast<int>(k));
            slot.value.kind = v.kind;
            slot.value.i = v.i;
            slot.value.d = v.d;
            slot.value.s.assign(v.s.data(), v.s.size()); // keeps the slot's storage
        } else {
            slot.value = DbValue{};
        }
        slot.epoch = blobEpoch_;
    }
}

} // namespace gs
