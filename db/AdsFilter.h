#pragma once
// Filter expressions of the tables, translated to an SQL condition with bound parameters:
//   comparison := field ( = | <> | != | < | <= | > | >= ) value
//   value      := number | "text" | 'text' | "DD.MM.YYYY" (quotes doubled inside a text)
//   expression := comparison, joined by AND / OR (any case), negated by NOT, grouped by parentheses
// Field names match without regard to case. Values compare as the field's type: a DATE field as a
// date, a LOGICAL field with 1 or 0, numbers numerically, CHAR fields as text. An empty (NULL)
// column value counts as the type's empty value (0, empty text, the earliest date).
#include "db/AdsTableFile.h"
#include "db/DbValue.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace gs::ads {

struct FilterSql {
    std::string where;            // SQL condition, empty for "all rows"
    std::vector<DbValue> params;  // values of its "?" in order
};

struct FilterNode;

// A checked filter expression.
class Filter {
public:
    Filter() = default; // no filter: all rows
    // Raises AdsError "Ungültiger Filter "<filter>": <reason>" for malformed filters and for names of
    // fields the table lacks.
    static Filter Parse(std::string_view text, const std::vector<FieldInfo>& fields, const std::string& fileName);

    bool Empty() const { return !root_; }
    // The SQL condition. knownNonNull: a field the surrounding query restricts to non-NULL values
    // (-1: none); comparisons on it then need no NULL handling, which keeps them usable as index
    // bounds. indexField: the only field whose comparisons SQLite may use as index terms (-1: none;
    // AnyIndex: every field). A walk in the order of one index gives only that index's field, so that
    // SQLite never picks another index (say STATUS for "STATUS=4 OR STATUS=1") and then sorts every
    // batch.
    static constexpr int AnyIndex = -2;
    FilterSql ToSql(int knownNonNull = -1, int indexField = AnyIndex) const;
    // The conditions joined by AND at the top of the expression that name no field but this one:
    // every row this filter passes passes them too. whole tells whether they are the whole filter.
    // Empty (all rows) when there are none.
    Filter OnlyField(int field, bool& whole) const;

private:
    std::shared_ptr<const FilterNode> root_;
};

} // namespace gs::ads
