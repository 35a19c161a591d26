#include "db/StorageWalk.h"

#include <algorithm>
#include <limits>
#include <numeric>

namespace gs::ads {

namespace {

// A count that is known once a walk in storage order has gone through every row; waited for before
// that, it counts on the index.
class AlongsideCount final : public PendingCount {
public:
    AlongsideCount(std::shared_ptr<const bool> done, std::shared_ptr<const std::int64_t> passed, TableStore& file,
                   std::string sqlText, std::vector<DbValue> params)
        : done_(std::move(done)), passed_(std::move(passed)), file_(file), sql_(std::move(sqlText)),
          params_(std::move(params))
    {
    }
    bool Ready() override { return *done_; }
    std::int64_t Wait() override
    {
        if (*done_)
            return *passed_;
        sql::Query& st = file_.Statement(sql_);
        sql::ResetOnExit reset(st);
        int index = 1;
        for (const DbValue& v : params_)
            st.Bind(index++, v.Ref());
        return st.Step() ? st.ColumnInt(0) : 0;
    }

private:
    std::shared_ptr<const bool> done_;
    std::shared_ptr<const std::int64_t> passed_;
    TableStore& file_;
    std::string sql_;
    std::vector<DbValue> params_;
};

// Gaps between the row ids of a batch up to this factor are read in one range: the rows between
// cost less than a lookup for each row.
constexpr std::int64_t kRangeSpan = 8;

} // namespace

StorageWalk::StorageWalk(TableStore& file, const WalkOrder& order, const Filter& filter, const std::string& selectList)
    : file_(file), order_(order), filter_(filter.ToSql(-1, -1)), selectList_(selectList),
      tally_(std::make_shared<Tally>())
{
    const FieldInfo& key = file_.Fields()[static_cast<size_t>(order_.keyField)];
    std::int64_t tableRows = 0;
    const bool byDate = key.type == TAdsFieldType::Date && RowidsForPositions(file_, &tableRows);
    if (key.indexed) {
        bool whole = false;
        const Filter keyPart = filter.OnlyField(order_.keyField, whole);
        PlanOnIndex(keyPart);
        count_ = static_cast<std::int64_t>(plan_.size());
        exact_ = whole;
        chosen_ = Count() >= minRows;
        // Rows spread over the table, too far apart to be read as ranges, and many of them: most
        // pages hold one, and reading the table front to back passes each page once without a
        // lookup per row.
        const std::int64_t span = plan_.empty() ? 0 : plan_.back().rowid - plan_.front().rowid + 1;
        if (chosen_ && byDate && span > kRangeSpan * count_ && count_ * scanShare >= tableRows) {
            scan_ = true;
            plan_ = {};
        }
    } else if (byDate) {
        scan_ = true; // the count is known once the scan has passed the last row
    } else {
        PlanByScan(filter.ToSql(-1, -1));
        count_ = static_cast<std::int64_t>(plan_.size());
        exact_ = true;
    }
}

bool StorageWalk::DatePosition(const ValueRef& key, std::int64_t rowid, bool descending, std::int64_t& position)
{
    if (rowid < 0 || rowid >= (std::int64_t{1} << kRowidBits))
        return false;
    std::int64_t day = 0; // empty: before every date
    if (!key.IsNull()) {
        const std::string_view t = key.s;
        if (key.kind != StorageKind::Text || t.size() != 10 || t[4] != '-' || t[7] != '-')
            return false;
        std::int64_t parts[3] = {0, 0, 0};
        const size_t starts[3] = {0, 5, 8}, lengths[3] = {4, 2, 2};
        for (int p = 0; p < 3; ++p) {
            for (size_t i = starts[p]; i < starts[p] + lengths[p]; ++i) {
                if (t[i] < '0' || t[i] > '9')
                    return false;
                parts[p] = parts[p] * 10 + (t[i] - '0');
            }
        }
        if (parts[1] < 1 || parts[1] > 12 || parts[2] < 1 || parts[2] > 31)
            return false;
        day = 1 + parts[0] * 372 + (parts[1] - 1) * 31 + (parts[2] - 1); // below 2^22

    }
    position = (day << kRowidBits) | rowid;
    if (descending)
        position = -position;
    return true;
}

bool StorageWalk::RowidsForPositions(TableStore& store, std::int64_t* rows)
{
    // Two subqueries: each end of the row ids is one step down the tree.
    const std::string& rid = store.RowidName();
    sql::Query& st = store.Statement("SELECT (SELECT min(" + rid + ") FROM " + store.QuotedTable() + "), (SELECT max(" +
                                     rid + ") FROM " + store.QuotedTable() + ")");
    sql::ResetOnExit reset(st);
    if (!st.Step() || st.ColumnIsNull(0)) {
        if (rows)
            *rows = 0;
        return true;
    }
    const std::int64_t low = st.ColumnInt(0), high = st.ColumnInt(1);
    if (rows)
        *rows = high - low + 1;
    return low >= 0 && high < (std::int64_t{1} << kRowidBits);
}

StorageWalk::~StorageWalk() = default;

void StorageWalk::PlanOnIndex(const Filter& keyPart)
{
    const std::string& rid = file_.RowidName();
    const std::string key = sql::Quote(file_.Fields()[static_cast<size_t>(order_.keyField)].name);
    const char* dir = order_.descending ? " DESC" : " ASC";
    // Empty keys come first going up and last going down, as the walk on the index has them.
    for (bool nulls : order_.descending ? std::vector<bool>{false, true} : std::vector<bool>{true, false}) {
        const FilterSql kp = keyPart.ToSql(nulls ? -1 : order_.keyField, order_.keyField);
        std::string text = "SELECT " + rid + " FROM " + file_.QuotedTable() + " WHERE " + key +
                           (nulls ? " IS NULL" : " IS NOT NULL");
        if (!kp.where.empty())
            text += " AND " + kp.where;
        text += " ORDER BY " + (nulls ? rid + dir : key + dir + ", " + rid + dir);
        std::unique_ptr<sql::Query> st = file_.Prepare(text);
        int index = 1;
        for (const DbValue& v : kp.params)
            st->Bind(index++, v.Ref());
        sql::ResetOnExit reset(*st);
        while (st->Step())
            plan_.push_back(Entry{st->ColumnInt(0), static_cast<std::int64_t>(plan_.size())});
    }
    std::sort(plan_.begin(), plan_.end(), [](const Entry& a, const Entry& b) { return a.rowid < b.rowid; });
}

void StorageWalk::PlanByScan(const FilterSql& filter)
{
    const std::string& rid = file_.RowidName();
    const std::string key = sql::Quote(file_.Fields()[static_cast<size_t>(order_.keyField)].name);
    std::string text = "SELECT " + rid + ", " + key + " FROM " + file_.QuotedTable() + " NOT INDEXED";
    if (!filter.where.empty())
        text += " WHERE " + filter.where;
    std::vector<DbValue> keys;
    {
        std::unique_ptr<sql::Query> st = file_.Prepare(text);
        int index = 1;
        for (const DbValue& v : filter.params)
            st->Bind(index++, v.Ref());
        sql::ResetOnExit reset(*st);
        while (st->Step()) {
            plan_.push_back(Entry{st->ColumnInt(0), 0});
            keys.push_back(DbValue::From(st->Column(1)));
        }
    }
    // The index's order going up: empty keys first, then the keys, equal keys by row id; going
    // down exactly the reverse.
    std::vector<std::uint32_t> byKey(plan_.size());
    std::iota(byKey.begin(), byKey.end(), 0u);
    std::sort(byKey.begin(), byKey.end(), [&](std::uint32_t a, std::uint32_t b) {
        const int c = CompareValues(keys[a].Ref(), keys[b].Ref());
        return c != 0 ? c < 0 : plan_[a].rowid < plan_[b].rowid;
    });
    const std::int64_t n = static_cast<std::int64_t>(byKey.size());
    for (std::int64_t rank = 0; rank < n; ++rank)
        plan_[byKey[static_cast<size_t>(rank)]].position = order_.descending ? n - 1 - rank : rank;
    // The scan gave the rows by row id already.
    if (!std::is_sorted(plan_.begin(), plan_.end(), [](const Entry& a, const Entry& b) { return a.rowid < b.rowid; }))
        std::sort(plan_.begin(), plan_.end(), [](const Entry& a, const Entry& b) { return a.rowid < b.rowid; });
}

sql::Query& StorageWalk::Lookup()
{
    if (!lookup_) {
        std::string text = "SELECT " + selectList_ + " FROM " + file_.QuotedTable() + " WHERE " + file_.RowidName() +
                           " = ?1";
        if (!filter_.where.empty())
            text += " AND " + filter_.where;
        lookup_ = file_.Prepare(text);
    }
    return *lookup_;
}

sql::Query& StorageWalk::Range()
{
    if (!range_) {
        const std::string& rid = file_.RowidName();
        std::string text = "SELECT " + selectList_ + " FROM " + file_.QuotedTable() + " WHERE " + rid + " >= ?1 AND " +
                           rid + " <= ?2";
        if (!filter_.where.empty())
            text += " AND " + filter_.where;
        range_ = file_.Prepare(text + " ORDER BY " + rid);
    }
    return *range_;
}

sql::Query& StorageWalk::Scan()
{
    if (!scanStatement_) {
        const std::string& rid = file_.RowidName();
        std::string text = "SELECT " + selectList_ + " FROM " + file_.QuotedTable() + " NOT INDEXED WHERE " + rid +
                           " > ?1";
        if (!filter_.where.empty())
            text += " AND (" + filter_.where + ")";
        scanStatement_ = file_.Prepare(text + " ORDER BY " + rid + " LIMIT ?");
    }
    return *scanStatement_;
}

void StorageWalk::Restart()
{
    next_ = 0;
    walkPassed_ = 0;
    scanDone_ = false;
    scanAfter_ = std::numeric_limits<std::int64_t>::min();
}

void StorageWalk::FetchScan(size_t limit, const Stamp& stamp, RowBatch& out, std::vector<std::int64_t>& positions)
{
    if (scanDone_)
        return;
    sql::Query& st = Scan();
    sql::ResetOnExit reset(st);
    st.BindInt(1, scanAfter_);
    int index = 2;
    for (const DbValue& v : filter_.params)
        st.Bind(index++, v.Ref());
    st.BindInt(index, static_cast<std::int64_t>(std::min<size_t>(limit, std::numeric_limits<std::int64_t>::max())));
    const int keyColumn = 1 + order_.keyField; // the select list has the row id first, then each field
    size_t got = 0;
    while (st.Step()) {
        scanAfter_ = st.ColumnInt(0);
        out.Append(st, stamp);
        std::int64_t position = kNoPosition;
        DatePosition(st.Column(keyColumn), scanAfter_, order_.descending, position);
        positions.push_back(position);
        ++got;
    }
    walkPassed_ += static_cast<std::int64_t>(got);
    if (got < limit) {
        scanDone_ = true;
        tally_->passed = walkPassed_;
        tally_->done = true;
    }
}

void StorageWalk::Fetch(size_t limit, const Stamp& stamp, RowBatch& out, std::vector<std::int64_t>& positions)
{
    if (scan_)
        return FetchScan(limit, stamp, out, positions);
    const size_t end = std::min(plan_.size(), next_ + limit);
    if (next_ >= end)
        return;
    const size_t before = out.Size();
    const std::int64_t span = plan_[end - 1].rowid - plan_[next_].rowid + 1;
    if (span <= kRangeSpan * static_cast<std::int64_t>(end - next_)) {
        // Rows the plan does not hold cannot pass the filter (or came after the plan's snapshot).
        sql::Query& st = Range();
        sql::ResetOnExit reset(st);
        st.BindInt(1, plan_[next_].rowid);
        st.BindInt(2, plan_[end - 1].rowid);
        int index = 3;
        for (const DbValue& v : filter_.params)
            st.Bind(index++, v.Ref());
        size_t k = next_;
        while (st.Step()) {
            const std::int64_t id = st.ColumnInt(0);
            while (k < end && plan_[k].rowid < id)
                ++k;
            if (k == end)
                break;
            if (plan_[k].rowid != id)
                continue;
            out.Append(st, stamp);
            positions.push_back(plan_[k].position);
        }
    } else {
        sql::Query& st = Lookup();
        for (size_t k = next_; k < end; ++k) {
            sql::ResetOnExit reset(st);
            st.BindInt(1, plan_[k].rowid);
            int index = 2;
            for (const DbValue& v : filter_.params)
                st.Bind(index++, v.Ref());
            if (st.Step()) {
                out.Append(st, stamp);
                positions.push_back(plan_[k].position);
            }
        }
    }
    next_ = end;
    walkPassed_ += static_cast<std::int64_t>(out.Size() - before);
    if (Done()) {
        tally_->passed = walkPassed_;
        tally_->done = true;
    }
}

std::unique_ptr<PendingCount> StorageWalk::CountAlongside(std::string countSql, std::vector<DbValue> countParams)
{
    std::shared_ptr<const bool> done(tally_, &tally_->done);
    std::shared_ptr<const std::int64_t> passed(tally_, &tally_->passed);
    return std::make_unique<AlongsideCount>(std::move(done), std::move(passed), file_, std::move(countSql),
                                            std::move(countParams));
}

} // namespace gs::ads
