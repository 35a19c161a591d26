#include "db/AdsCursor.h"

#include "db/BlobFields.h"
#include "db/StorageWalk.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace gs::ads {

namespace {
constexpr size_t kFirstBatch = 16;
constexpr size_t kMaxBatch = 1024;
} // namespace

// --- Cursor -----------------------------------------------------------------------------------------

Cursor::Cursor(TableStore& file) : file_(file)
{
    Configure(WalkOrder{}, Filter{});
}

Cursor::~Cursor()
{
    AwaitAhead();
}

std::vector<int> Cursor::KnownFields(const std::vector<int>& fields) const
{
    std::vector<int> known;
    for (int f : fields) {
        if (f >= 0 && static_cast<size_t>(f) < file_.Fields().size())
            known.push_back(f);
    }
    return known;
}

void Cursor::SetRowColumns(const std::vector<int>& fields)
{
    rowColumns_ = KnownFields(fields);
    BuildSelectList();
    storage_.reset();
    Clear();
}

void Cursor::SetInflatedColumns(const std::vector<int>& fields)
{
    inflatedColumns_ = KnownFields(fields);
    BuildSelectList();
    storage_.reset();
    Clear();
}

bool Cursor::Inflated(int field, std::string_view& out) const
{
    return has_ && window_.Inflated(pos_, field, out);
}

void Cursor::BuildSelectList()
{
    const auto& fields = file_.Fields();
    std::vector<char> carried(fields.size(), 0);
    for (size_t i = 0; i < fields.size(); ++i)
        carried[i] = rowColumns_.empty() && !fields[i].blob;
    for (int f : rowColumns_)
        carried[static_cast<size_t>(f)] = 1;
    if (order_.keyField >= 0)
        carried[static_cast<size_t>(order_.keyField)] = 1; // positions continue after the key
    for (int f : inflatedColumns_) {
        if (carried[static_cast<size_t>(f)])
            carried[static_cast<size_t>(f)] = file_.Remote() ? RowBatch::kCarriedInflated : RowBatch::kCarriedInflatedLater;
    }
    if (carried == carried_)
        return;
    carried_ = std::move(carried);
    selectList_ = file_.RowidName();
    for (size_t i = 0; i < carried_.size(); ++i) {
        selectList_ += ", ";
        selectList_ += carried_[i] ? sql::Quote(fields[i].name) : std::string("NULL");
    }
    for (auto& st : statements_)
        st.reset();
    rowStatement_.reset();
}

sql::Query& Cursor::RowStatement()
{
    if (selectList_ == file_.SelectList())
        return file_.RowStatement();
    if (!rowStatement_)
        rowStatement_ = file_.Prepare("SELECT " + selectList_ + " FROM " + file_.QuotedTable() + " WHERE " +
                                      file_.RowidName() + " = ?1");
    return *rowStatement_;
}

void Cursor::Configure(const WalkOrder& order, const Filter& filter)
{
    order_ = order;
    filterTree_ = filter;
    storage_.reset();
    BuildSelectList();
    // Walks use only the index of their order. Counting does the same when there is one: left to
    // itself SQLite (without statistics) prefers an equality index such as STATUS for
    // "STATUS=4 OR STATUS=1" and then reads every row of every year to count one year's documents.
    const int indexField = file_.IndexTermHints() ? order.keyField : Filter::AnyIndex;
    filter_ = filter.ToSql(-1, indexField);
    valueFilter_ = filter.ToSql(order.keyField, indexField);
    countFilter_ = order.keyField >= 0 ? filter_ : filter.ToSql();
    statements_.clear();
    statements_.resize(static_cast<size_t>(Query::Count) * 2);
    Clear();
}

void Cursor::Clear()
{
    AwaitAhead();
    stream_.reset();
    complete_ = false;
    window_.Reset(carried_);
    pos_ = 0;
    has_ = false;
    batch_ = kFirstBatch;
    inStorage_ = false;
    serverOrder_ = false;
    positions_.clear();
    ordinal_ = 0;
}

std::vector<Cursor::Seg> Cursor::Segments(bool forward) const
{
    if (order_.keyField < 0)
        return {Seg::All};
    // Empty keys come first in ascending order and last in descending order.
    const bool nullsFirst = forward != order_.descending;
    return nullsFirst ? std::vector<Seg>{Seg::Null, Seg::Values} : std::vector<Seg>{Seg::Values, Seg::Null};
}

Cursor::Pos Cursor::CurrentPos() const
{
    Pos p;
    p.rowid = Rowid();
    if (order_.keyField < 0)
        return p;
    const ValueRef k = Value(order_.keyField);
    p.seg = k.IsNull() ? Seg::Null : Seg::Values;
    p.key = DbValue::From(k);
    return p;
}

sql::Query& Cursor::Statement(Query query, bool ascending)
{
    const size_t slot = static_cast<size_t>(query) * 2 + (ascending ? 1 : 0);
    std::unique_ptr<sql::Query>& st = statements_[slot];
    if (st)
        return *st;
    const std::string& rid = file_.RowidName();
    const char* dir = ascending ? " ASC" : " DESC";
    const char* cmp = ascending ? " > " : " < ";
    const std::string key =
        order_.keyField < 0 ? std::string() : sql::Quote(file_.Fields()[static_cast<size_t>(order_.keyField)].name);
    // The position terms come first: SQLite bounds the index scan with the first terms it can use,
    // and a filter on the same column must not take their place.
    std::string where;
    std::string orderBy = rid + dir;
    switch (query) {
    case Query::AllFirst: where = "1 = 1"; break;
    case Query::AllFrom: where = rid + cmp + "?"; break;
    case Query::NullFirst: where = key + " IS NULL"; break;
    case Query::NullFrom: where = key + " IS NULL AND " + rid + cmp + "?"; break;
    case Query::ValuesFirst:
        where = key + " IS NOT NULL";
        orderBy = key + dir + ", " + rid + dir;
        break;
    case Query::ValuesTail: where = key + " = ? AND " + rid + cmp + "?"; break;
    case Query::ValuesAfter:
        where = key + cmp + "?";
        orderBy = key + dir + ", " + rid + dir;
        break;
    case Query::Count: break;
    }
    const FilterSql& filter = FilterFor(query);
    if (!filter.where.empty())
        where += " AND " + filter.where;
    const std::string text = "SELECT " + selectList_ + " FROM " + file_.QuotedTable() + " WHERE " + where +
                             " ORDER BY " + orderBy + " LIMIT ?";
    st = file_.Prepare(text);
    return *st;
}

const FilterSql& Cursor::FilterFor(Query query) const
{
    const bool values = query == Query::ValuesFirst || query == Query::ValuesTail || query == Query::ValuesAfter;
    return values ? valueFilter_ : filter_;
}

void Cursor::Run(Query query, bool ascending, const Pos* start, size_t limit, const Stamp& stamp, RowBatch& out)
{
    sql::Query& st = Statement(query, ascending);
    sql::ResetOnExit reset(st);
    int index = 1;
    if (query == Query::ValuesTail || query == Query::ValuesAfter)
        st.Bind(index++, start->key.Ref());
    if (query == Query::AllFrom || query == Query::NullFrom || query == Query::ValuesTail)
        st.BindInt(index++, start->rowid);
    for (const DbValue& v : FilterFor(query).params)
        st.Bind(index++, v.Ref());
    // "Every row" is the largest limit both engines take (the server refuses a negative one).
    st.BindInt(index, static_cast<std::int64_t>(std::min<size_t>(limit, std::numeric_limits<std::int64_t>::max())));
    while (st.Step())
        out.Append(st, stamp);
}

void Cursor::Fetch(bool forward, const Pos* start, size_t limit, RowBatch& out)
{
    const Stamp stamp = file_.CurrentStamp(); // taken before the rows: a later commit only causes a re-read
    const std::vector<Seg> segs = Segments(forward);
    const bool ascending = forward != order_.descending;
    size_t si = 0;
    if (start) {
        while (si < segs.size() && segs[si] != start->seg)
            ++si;
    }
    const size_t before = out.Size();
    auto wanted = [&] { return limit - (out.Size() - before); };
    for (; si < segs.size() && wanted() > 0; ++si) {
        const bool from = start && segs[si] == start->seg;
        switch (segs[si]) {
        case Seg::All: Run(from ? Query::AllFrom : Query::AllFirst, ascending, start, wanted(), stamp, out); break;
        case Seg::Null: Run(from ? Query::NullFrom : Query::NullFirst, ascending, start, wanted(), stamp, out); break;
        case Seg::Values:
            if (!from) {
                Run(Query::ValuesFirst, ascending, start, wanted(), stamp, out);
            } else {
                Run(Query::ValuesTail, ascending, start, wanted(), stamp, out);
                if (wanted() > 0)
                    Run(Query::ValuesAfter, ascending, start, wanted(), stamp, out);
            }
            break;
        }
    }
}

size_t Cursor::GrowBatch()
{
    const size_t n = batch_;
    batch_ = std::min(batch_ * 4, kMaxBatch);
    return n;
}

void Cursor::ReverseInto(const RowBatch& fetched, RowBatch& out, const RowBatch* tailFrom, size_t tailRow)
{
    out.Reset(carried_);
    for (size_t i = fetched.Size(); i-- > 0;)
        out.AppendRow(fetched, i);
    if (tailFrom)
        out.AppendRow(*tailFrom, tailRow);
}

bool Cursor::First()
{
    if (CompleteWindow()) {
        pos_ = 0;
        ordinal_ = 0;
        has_ = !window_.Empty();
        return has_;
    }
    inStorage_ = false;
    if (StorageWalk* walk = StoragePlan()) {
        Clear();
        inStorage_ = true;
        spare_.Reset(carried_);
        walk->Restart();
        // A batch whose rows all fail the rest of the filter is not the end of the walk.
        while (window_.Empty() && !walk->Done())
            walk->Fetch(GrowBatch(), file_.CurrentStamp(), window_, positions_);
        windowWrites_ = file_.Writes();
        has_ = !window_.Empty();
        if (has_)
            ReadAhead();
        return has_;
    }
    Clear();
    if (!StartStream())
        Fetch(true, nullptr, GrowBatch(), window_);
    windowWrites_ = file_.Writes();
    has_ = !window_.Empty();
    return has_;
}

bool Cursor::OpenSegmentStream(Seg seg)
{
    const std::string& rid = file_.RowidName();
    const std::string key =
        order_.keyField < 0 ? std::string() : sql::Quote(file_.Fields()[static_cast<size_t>(order_.keyField)].name);
    const bool ascending = !order_.descending;
    const char* dir = ascending ? " ASC" : " DESC";
    std::string where, orderBy = rid + dir;
    switch (seg) {
    case Seg::All: where = "1 = 1"; break;
    case Seg::Null: where = key + " IS NULL"; break;
    case Seg::Values:
        where = key + " IS NOT NULL";
        orderBy = key + dir + ", " + rid + dir;
        break;
    }
    const FilterSql& filter = seg == Seg::Values ? valueFilter_ : filter_;
    if (!filter.where.empty())
        where += " AND " + filter.where;
    stream_ = file_.OpenStream("SELECT " + selectList_ + " FROM " + file_.QuotedTable() + " WHERE " + where +
                                   " ORDER BY " + orderBy,
                               filter.params, false);
    return stream_ != nullptr;
}

bool Cursor::StartStream()
{
    if (file_.ReadTransactionId() == 0)
        return false;
    streamSeg_ = 0;
    if (ServerOrderChosen()) {
        // One statement for every selected row, in whatever order the server reads them.
        stream_ = file_.OpenStream("SELECT " + selectList_ + " FROM " + file_.QuotedTable() +
                                       (filter_.where.empty() ? std::string() : " WHERE " + filter_.where),
                                   filter_.params, true);
        if (stream_) {
            inStorage_ = true;
            serverOrder_ = true;
            spare_.Reset(carried_);
        }
    }
    if (!stream_ && !OpenSegmentStream(Segments(true)[0]))
        return false;
    streamTransaction_ = file_.ReadTransactionId();
    streamWrites_ = file_.Writes();
    FetchStream(GrowBatch(), window_);
    return true;
}

void Cursor::FetchStream(size_t limit, RowBatch& out)
{
    const std::vector<Seg> segs = Segments(true);
    const Stamp stamp = file_.CurrentStamp();
    const size_t before = out.Size();
    while (stream_) {
        stream_->Fetch(limit, stamp, out);
        if (out.Size() > before)
            return;
        // This segment is done: the next one, if any (the server's own order has one).
        stream_.reset();
        if (serverOrder_ || ++streamSeg_ >= segs.size() || !OpenSegmentStream(segs[streamSeg_]))
            return;
    }
}

bool Cursor::Last()
{
    if (CompleteWindow()) {
        has_ = !window_.Empty();
        pos_ = has_ ? window_.Size() - 1 : 0;
        return has_;
    }
    Clear();
    RowBatch fetched;
    fetched.Reset(carried_);
    Fetch(false, nullptr, GrowBatch(), fetched);
    ReverseInto(fetched, window_, nullptr, 0);
    windowWrites_ = file_.Writes();
    has_ = !window_.Empty();
    pos_ = has_ ? window_.Size() - 1 : 0;
    return has_;
}

void Cursor::DropAhead()
{
    AwaitAhead();
    spare_.Recycle();
    sparePositions_.clear();
    stream_.reset();
    complete_ = false;
    inStorage_ = false;
    serverOrder_ = false;
    positions_.clear();
    if (!has_)
        return;
    RowBatch nb;
    nb.Reset(carried_);
    nb.AppendRow(window_, pos_);
    window_.Swap(nb);
    pos_ = 0;
    windowWrites_ = file_.Writes();
}

bool Cursor::Next()
{
    if (!has_)
        return false;
    if (inStorage_) {
        // The server's stream goes on while the snapshot lasts; once it has sent every row the
        // walk is done.
        if (serverOrder_ && !StaleWindow() && (pos_ + 1 < window_.Size() || !stream_ || StreamValid()))
            return NextInServerOrder();
        if (!serverOrder_ && !StaleWindow())
            return NextInStorage();
        LeaveStorageOrder(); // this handle wrote or the snapshot ended: on in index order from the current row
    }
    if (CompleteWindow()) {
        if (pos_ + 1 >= window_.Size())
            return false;
        ++pos_;
        ++ordinal_;
        return true;
    }
    complete_ = false;
    if (StaleWindow())
        DropAhead();
    if (pos_ + 1 < window_.Size()) {
        ++pos_;
        ++ordinal_;
        return true;
    }
    RowBatch nb;
    nb.Reset(carried_);
    nb.AppendRow(window_, pos_);
    if (StreamValid()) {
        FetchStream(GrowBatch(), nb);
    } else {
        stream_.reset();
        const Pos p = CurrentPos();
        Fetch(true, &p, GrowBatch(), nb);
    }
    if (nb.Size() == 1)
        return false;
    window_.Swap(nb);
    pos_ = 1;
    ++ordinal_;
    windowWrites_ = file_.Writes();
    return true;
}

bool Cursor::Prior()
{
    if (!has_)
        return false;
    LeaveStorageOrder();
    if (CompleteWindow()) {
        if (pos_ == 0)
            return false;
        --pos_;
        --ordinal_;
        return true;
    }
    complete_ = false;
    if (StaleWindow())
        DropAhead();
    if (pos_ > 0) {
        --pos_;
        --ordinal_;
        return true;
    }
    RowBatch fetched;
    fetched.Reset(carried_);
    const Pos p = CurrentPos();
    Fetch(false, &p, GrowBatch(), fetched);
    if (fetched.Empty())
        return false;
    stream_.reset(); // the window no longer ends where the stream goes on
    RowBatch nb;
    ReverseInto(fetched, nb, &window_, pos_);
    window_.Swap(nb);
    pos_ = window_.Size() - 2;
    --ordinal_;
    windowWrites_ = file_.Writes();
    return true;
}

bool Cursor::GotoRow(std::int64_t rowid)
{
    const Stamp stamp = file_.CurrentStamp();
    sql::Query& st = RowStatement();
    sql::ResetOnExit reset(st);
    st.BindInt(1, rowid);
    if (!st.Step())
        return false;
    stream_.reset();
    complete_ = false;
    inStorage_ = false;
    serverOrder_ = false;
    positions_.clear();
    ordinal_ = 0;
    RowBatch nb;
    nb.Reset(carried_);
    nb.Append(st, stamp);
    window_.Swap(nb);
    pos_ = 0;
    has_ = true;
    batch_ = kFirstBatch;
    windowWrites_ = file_.Writes();
    return true;
}

void Cursor::PlaceRow(std::int64_t rowid, const std::vector<DbValue>& values)
{
    stream_.reset();
    complete_ = false;
    inStorage_ = false;
    serverOrder_ = false;
    positions_.clear();
    ordinal_ = 0;
    window_.Reset(carried_);
    window_.AppendValues(rowid, file_.LastStamp(), values);
    pos_ = 0;
    has_ = true;
    batch_ = kFirstBatch;
    windowWrites_ = file_.Writes();
}

bool Cursor::ReloadCurrent()
{
    complete_ = false;
    if (!has_)
        return false;
    const std::int64_t id = Rowid();
    RowBatch keep;
    keep.Reset(carried_);
    keep.AppendRow(window_, pos_);
    if (GotoRow(id))
        return true;
    window_.Swap(keep); // the row is gone: stay on its last known values
    pos_ = 0;
    return false;
}

bool Cursor::SeekInWindow(const DbValue& key)
{
    // The window is in walk order: empty keys first going up, last going down; the keys between
    // ascend (descend), equal keys by row id. As a fetch from the key would, a seek past the last
    // key going down lands on the first empty key.
    const int field = order_.keyField;
    auto isNull = [&](size_t i) { return window_.Value(i, field).IsNull(); };
    auto firstWhere = [](size_t lo, size_t hi, auto&& holds) { // holds is false, then true
        while (lo < hi) {
            const size_t mid = lo + (hi - lo) / 2;
            if (holds(mid))
                hi = mid;
            else
                lo = mid + 1;
        }
        return lo;
    };
    size_t lo = 0, hi = window_.Size();
    if (!order_.descending)
        lo = firstWhere(lo, hi, [&](size_t i) { return !isNull(i); });
    else
        hi = firstWhere(lo, hi, isNull);
    const ValueRef k = key.Ref();
    lo = firstWhere(lo, hi, [&](size_t i) { // the first key not before the one sought
        const int c = CompareValues(window_.Value(i, field), k);
        return order_.descending ? c <= 0 : c >= 0;
    });
    has_ = lo < window_.Size();
    if (has_)
        pos_ = lo;
    return has_;
}

bool Cursor::Seek(const DbValue& key)
{
    if (order_.keyField >= 0 && CompleteWindow())
        return SeekInWindow(key);
    Clear();
    Pos p;
    p.seg = Seg::Values;
    p.key = key;
    p.rowid = order_.descending ? std::numeric_limits<std::int64_t>::max() : std::numeric_limits<std::int64_t>::min();
    if (order_.keyField < 0)
        return false;
    // A seek mostly looks up one row (a settings item, a document by number): the row found comes
    // alone, and a walk on from it fetches the usual batches.
    Fetch(true, &p, 1, window_);
    windowWrites_ = file_.Writes();
    has_ = !window_.Empty();
    return has_;
}

bool Cursor::AfterDelete()
{
    stream_.reset();
    complete_ = false;
    inStorage_ = false;
    serverOrder_ = false;
    positions_.clear();
    if (!has_)
        return false;
    const Pos p = CurrentPos();
    batch_ = kFirstBatch;
    RowBatch nb;
    nb.Reset(carried_);
    Fetch(true, &p, GrowBatch(), nb);
    if (!nb.Empty()) {
        window_.Swap(nb);
        pos_ = 0;
        windowWrites_ = file_.Writes();
        return true;
    }
    RowBatch fetched;
    fetched.Reset(carried_);
    Fetch(false, &p, GrowBatch(), fetched);
    ReverseInto(fetched, nb, nullptr, 0);
    window_.Swap(nb);
    windowWrites_ = file_.Writes();
    has_ = !window_.Empty();
    pos_ = has_ ? window_.Size() - 1 : 0;
    return has_;
}

std::int64_t Cursor::Count()
{
    const std::uint64_t transaction = file_.ReadTransactionId();
    // A walk in storage order reads the rows itself, one page after the other: the count comes
    // from its plan, or is taken on the index, and no row is read for it.
    StorageWalk* walk = transaction != 0 && !CompleteWindow() ? StoragePlan() : nullptr;
    if (walk && walk->ExactCount())
        return walk->Count();
    if (walk || transaction == 0 || !file_.CountByReading()) {
        sql::Query& st = file_.Statement(CountSql());
        sql::ResetOnExit reset(st);
        int index = 1;
        for (const DbValue& v : countFilter_.params)
            st.Bind(index++, v.Ref());
        return st.Step() ? st.ColumnInt(0) : 0;
    }
    if (CompleteWindow())
        return static_cast<std::int64_t>(window_.Size());
    // One snapshot: the rows counted are the rows walked, so they are read once, here.
    return ReadAllInto(transaction);
}

std::string Cursor::CountSql() const
{
    return "SELECT count(*) FROM " + file_.QuotedTable() +
           (countFilter_.where.empty() ? std::string() : " WHERE " + countFilter_.where);
}

std::unique_ptr<PendingCount> Cursor::CountBeside()
{
    if (file_.ReadTransactionId() == 0)
        return nullptr;
    if (file_.CountByReading()) {
        // The walk in storage order that follows counts the rows as it goes.
        StorageWalk* walk = CompleteWindow() ? nullptr : StoragePlan();
        if (walk && !walk->ExactCount())
            return walk->CountAlongside(CountSql(), countFilter_.params);
        return nullptr;
    }
    return file_.CountBeside(CountSql(), countFilter_.params);
}

void Cursor::ReadAll()
{
    const std::uint64_t transaction = file_.ReadTransactionId();
    if (transaction != 0 && !CompleteWindow())
        ReadAllInto(transaction);
}

std::int64_t Cursor::ReadAllInto(std::uint64_t transaction)
{
    stream_.reset();
    RowBatch all;
    all.Reset(carried_);
    Fetch(true, nullptr, std::numeric_limits<size_t>::max(), all);
    const std::int64_t count = static_cast<std::int64_t>(all.Size());
    size_t pos = 0;
    if (has_) {
        const std::int64_t current = Rowid();
        while (pos < all.Size() && all.Rowid(pos) != current)
            ++pos;
        if (pos == all.Size())
            return count; // positioned on a row the filter hides: the window stays as it is
    }
    window_.Swap(all);
    pos_ = pos;
    inStorage_ = false;
    serverOrder_ = false;
    positions_.clear();
    ordinal_ = static_cast<std::int64_t>(pos);
    has_ = !window_.Empty();
    complete_ = true;
    completeTransaction_ = transaction;
    windowWrites_ = file_.Writes();
    return count;
}

} // namespace gs::ads
