#include "db/AdsCursor.h"

#include <algorithm>
#include <limits>

namespace gs::ads {

namespace {
constexpr size_t kFirstBatch = 16;
constexpr size_t kMaxBatch = 1024;
} // namespace

// --- RowBatch ---------------------------------------------------------------------------------------

void RowBatch::reset(int fieldCount)
{
    n_ = fieldCount;
    cells_.clear();
    rowids_.clear();
    stamps_.clear();
    arena_.clear();
}

void RowBatch::push(const ValueRef& v)
{
    Cell c;
    c.kind = v.kind;
    switch (v.kind) {
    case StorageKind::Integer: c.i = v.i; break;
    case StorageKind::Real: c.d = v.d; break;
    case StorageKind::Text:
    case StorageKind::Blob:
        c.off = arena_.size();
        c.len = v.s.size();
        arena_.append(v.s.data(), v.s.size());
        break;
    default: break;
    }
    cells_.push_back(c);
}

void RowBatch::append(const sql::Statement& st, const Stamp& stamp)
{
    rowids_.push_back(st.columnInt(0));
    stamps_.push_back(stamp);
    for (int f = 0; f < n_; ++f)
        push(st.column(f + 1));
}

void RowBatch::appendRow(const RowBatch& other, size_t row)
{
    rowids_.push_back(other.rowids_[row]);
    stamps_.push_back(other.stamps_[row]);
    for (int f = 0; f < n_; ++f)
        push(other.value(row, f));
}

void RowBatch::appendValues(std::int64_t rowid, const Stamp& stamp, const std::vector<DbValue>& values,
                            const std::vector<FieldInfo>& fields)
{
    rowids_.push_back(rowid);
    stamps_.push_back(stamp);
    for (int f = 0; f < n_; ++f)
        push(fields[static_cast<size_t>(f)].blob ? ValueRef{} : values[static_cast<size_t>(f)].ref());
}

void RowBatch::swap(RowBatch& other) noexcept
{
    std::swap(n_, other.n_);
    cells_.swap(other.cells_);
    rowids_.swap(other.rowids_);
    stamps_.swap(other.stamps_);
    arena_.swap(other.arena_);
}

// --- Cursor -----------------------------------------------------------------------------------------

Cursor::Cursor(TableFile& file) : file_(file)
{
    configure(WalkOrder{}, Filter{});
}

void Cursor::configure(const WalkOrder& order, const Filter& filter)
{
    order_ = order;
    // Walks use only the index of their order; counting may use any index.
    filter_ = filter.toSql(-1, order.keyField);
    valueFilter_ = filter.toSql(order.keyField, order.keyField);
    countFilter_ = filter.toSql();
    statements_.clear();
    statements_.resize(static_cast<size_t>(Query::Count) * 2);
    clear();
}

void Cursor::clear()
{
    window_.reset(static_cast<int>(file_.fields().size()));
    pos_ = 0;
    has_ = false;
    batch_ = kFirstBatch;
}

std::vector<Cursor::Seg> Cursor::segments(bool forward) const
{
    if (order_.keyField < 0)
        return {Seg::All};
    // Empty keys come first in ascending order and last in descending order.
    const bool nullsFirst = forward != order_.descending;
    return nullsFirst ? std::vector<Seg>{Seg::Null, Seg::Values} : std::vector<Seg>{Seg::Values, Seg::Null};
}

Cursor::Pos Cursor::currentPos() const
{
    Pos p;
    p.rowid = rowid();
    if (order_.keyField < 0)
        return p;
    const ValueRef k = value(order_.keyField);
    p.seg = k.isNull() ? Seg::Null : Seg::Values;
    p.key = DbValue::From(k);
    return p;
}

sql::Statement& Cursor::statement(Query query, bool ascending)
{
    const size_t slot = static_cast<size_t>(query) * 2 + (ascending ? 1 : 0);
    std::unique_ptr<sql::Statement>& st = statements_[slot];
    if (st)
        return *st;
    const std::string& rid = file_.rowidName();
    const char* dir = ascending ? " ASC" : " DESC";
    const char* cmp = ascending ? " > " : " < ";
    const std::string key =
        order_.keyField < 0 ? std::string() : sql::Quote(file_.fields()[static_cast<size_t>(order_.keyField)].name);
    // The position terms come first: SQLite bounds the index scan with the first terms it can use,
    // and a filter on the same column must not take their place.
    std::string where;
    std::string orderBy = rid + dir;
    switch (query) {
    case Query::AllFirst: where = "1"; break;
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
    const FilterSql& filter = filterFor(query);
    if (!filter.where.empty())
        where += " AND " + filter.where;
    const std::string text = "SELECT " + file_.selectList() + " FROM " + file_.quotedTable() + " WHERE " + where +
                             " ORDER BY " + orderBy + " LIMIT ?";
    st = std::make_unique<sql::Statement>(file_.db(), text, file_.fileName());
    return *st;
}

const FilterSql& Cursor::filterFor(Query query) const
{
    const bool values = query == Query::ValuesFirst || query == Query::ValuesTail || query == Query::ValuesAfter;
    return values ? valueFilter_ : filter_;
}

void Cursor::run(Query query, bool ascending, const Pos* start, size_t limit, const Stamp& stamp, RowBatch& out)
{
    sql::Statement& st = statement(query, ascending);
    sql::ResetOnExit reset(st);
    int index = 1;
    if (query == Query::ValuesTail || query == Query::ValuesAfter)
        st.bind(index++, start->key.ref());
    if (query == Query::AllFrom || query == Query::NullFrom || query == Query::ValuesTail)
        st.bindInt(index++, start->rowid);
    for (const DbValue& v : filterFor(query).params)
        st.bind(index++, v.ref());
    st.bindInt(index, static_cast<std::int64_t>(limit));
    while (st.step())
        out.append(st, stamp);
}

void Cursor::fetch(bool forward, const Pos* start, size_t limit, RowBatch& out)
{
    const Stamp stamp = file_.stamp(); // taken before the rows: a later commit only causes a re-read
    const std::vector<Seg> segs = segments(forward);
    const bool ascending = forward != order_.descending;
    size_t si = 0;
    if (start) {
        while (si < segs.size() && segs[si] != start->seg)
            ++si;
    }
    const size_t before = out.size();
    auto wanted = [&] { return limit - (out.size() - before); };
    for (; si < segs.size() && wanted() > 0; ++si) {
        const bool from = start && segs[si] == start->seg;
        switch (segs[si]) {
        case Seg::All: run(from ? Query::AllFrom : Query::AllFirst, ascending, start, wanted(), stamp, out); break;
        case Seg::Null: run(from ? Query::NullFrom : Query::NullFirst, ascending, start, wanted(), stamp, out); break;
        case Seg::Values:
            if (!from) {
                run(Query::ValuesFirst, ascending, start, wanted(), stamp, out);
            } else {
                run(Query::ValuesTail, ascending, start, wanted(), stamp, out);
                if (wanted() > 0)
                    run(Query::ValuesAfter, ascending, start, wanted(), stamp, out);
            }
            break;
        }
    }
}

size_t Cursor::growBatch()
{
    const size_t n = batch_;
    batch_ = std::min(batch_ * 4, kMaxBatch);
    return n;
}

void Cursor::reverseInto(const RowBatch& fetched, RowBatch& out, const RowBatch* tailFrom, size_t tailRow)
{
    out.reset(static_cast<int>(file_.fields().size()));
    for (size_t i = fetched.size(); i-- > 0;)
        out.appendRow(fetched, i);
    if (tailFrom)
        out.appendRow(*tailFrom, tailRow);
}

bool Cursor::first()
{
    clear();
    fetch(true, nullptr, growBatch(), window_);
    windowWrites_ = file_.writes();
    has_ = !window_.empty();
    return has_;
}

bool Cursor::last()
{
    clear();
    RowBatch fetched;
    fetched.reset(static_cast<int>(file_.fields().size()));
    fetch(false, nullptr, growBatch(), fetched);
    reverseInto(fetched, window_, nullptr, 0);
    windowWrites_ = file_.writes();
    has_ = !window_.empty();
    pos_ = has_ ? window_.size() - 1 : 0;
    return has_;
}

void Cursor::dropAhead()
{
    if (!has_)
        return;
    RowBatch nb;
    nb.reset(static_cast<int>(file_.fields().size()));
    nb.appendRow(window_, pos_);
    window_.swap(nb);
    pos_ = 0;
    windowWrites_ = file_.writes();
}

bool Cursor::next()
{
    if (!has_)
        return false;
    if (staleWindow())
        dropAhead();
    if (pos_ + 1 < window_.size()) {
        ++pos_;
        return true;
    }
    RowBatch nb;
    nb.reset(static_cast<int>(file_.fields().size()));
    nb.appendRow(window_, pos_);
    const Pos p = currentPos();
    fetch(true, &p, growBatch(), nb);
    if (nb.size() == 1)
        return false;
    window_.swap(nb);
    pos_ = 1;
    windowWrites_ = file_.writes();
    return true;
}

bool Cursor::prior()
{
    if (!has_)
        return false;
    if (staleWindow())
        dropAhead();
    if (pos_ > 0) {
        --pos_;
        return true;
    }
    RowBatch fetched;
    fetched.reset(static_cast<int>(file_.fields().size()));
    const Pos p = currentPos();
    fetch(false, &p, growBatch(), fetched);
    if (fetched.empty())
        return false;
    RowBatch nb;
    reverseInto(fetched, nb, &window_, pos_);
    window_.swap(nb);
    pos_ = window_.size() - 2;
    windowWrites_ = file_.writes();
    return true;
}

bool Cursor::gotoRow(std::int64_t rowid)
{
    const Stamp stamp = file_.stamp();
    sql::Statement& st = file_.rowStatement();
    sql::ResetOnExit reset(st);
    st.bindInt(1, rowid);
    if (!st.step())
        return false;
    RowBatch nb;
    nb.reset(static_cast<int>(file_.fields().size()));
    nb.append(st, stamp);
    window_.swap(nb);
    pos_ = 0;
    has_ = true;
    batch_ = kFirstBatch;
    windowWrites_ = file_.writes();
    return true;
}

void Cursor::placeRow(std::int64_t rowid, const std::vector<DbValue>& values)
{
    window_.reset(static_cast<int>(file_.fields().size()));
    window_.appendValues(rowid, file_.lastStamp(), values, file_.fields());
    pos_ = 0;
    has_ = true;
    batch_ = kFirstBatch;
    windowWrites_ = file_.writes();
}

bool Cursor::reloadCurrent()
{
    if (!has_)
        return false;
    const std::int64_t id = rowid();
    RowBatch keep;
    keep.reset(static_cast<int>(file_.fields().size()));
    keep.appendRow(window_, pos_);
    if (gotoRow(id))
        return true;
    window_.swap(keep); // the row is gone: stay on its last known values
    pos_ = 0;
    return false;
}

bool Cursor::seek(const DbValue& key)
{
    clear();
    Pos p;
    p.seg = Seg::Values;
    p.key = key;
    p.rowid = order_.descending ? std::numeric_limits<std::int64_t>::max() : std::numeric_limits<std::int64_t>::min();
    if (order_.keyField < 0)
        return false;
    fetch(true, &p, growBatch(), window_);
    windowWrites_ = file_.writes();
    has_ = !window_.empty();
    return has_;
}

bool Cursor::afterDelete()
{
    if (!has_)
        return false;
    const Pos p = currentPos();
    batch_ = kFirstBatch;
    RowBatch nb;
    nb.reset(static_cast<int>(file_.fields().size()));
    fetch(true, &p, growBatch(), nb);
    if (!nb.empty()) {
        window_.swap(nb);
        pos_ = 0;
        windowWrites_ = file_.writes();
        return true;
    }
    RowBatch fetched;
    fetched.reset(static_cast<int>(file_.fields().size()));
    fetch(false, &p, growBatch(), fetched);
    reverseInto(fetched, nb, nullptr, 0);
    window_.swap(nb);
    windowWrites_ = file_.writes();
    has_ = !window_.empty();
    pos_ = has_ ? window_.size() - 1 : 0;
    return has_;
}

std::int64_t Cursor::count()
{
    sql::Statement& st = file_.statement("SELECT count(*) FROM " + file_.quotedTable() +
                                         (countFilter_.where.empty() ? std::string() : " WHERE " + countFilter_.where));
    sql::ResetOnExit reset(st);
    int index = 1;
    for (const DbValue& v : countFilter_.params)
        st.bind(index++, v.ref());
    return st.step() ? st.columnInt(0) : 0;
}

} // namespace gs::ads
