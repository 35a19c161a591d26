#include "db/AdsFilter.h"

#include "base/Dates.h"
#include "base/Text.h"
#include "db/AdsError.h"
#include "db/SqliteStatement.h"

#include <cctype>
#include <algorithm>
#include <charconv>
#include <cmath>

namespace gs::ads {

namespace {

enum class Tok { End, LParen, RParen, Ident, Number, String, Op, And, Or, Not };

struct Token {
    Tok kind = Tok::End;
    std::string text; // identifier, number text, string contents, operator
    size_t pos = 0;
};

// Why a filter was refused; column names the table column the reason is about, where there is one,
// so the caller's error carries it without reading it back out of the text.
struct FilterFailure {
    std::string reason;
    std::string column = {};
};

class Lexer {
public:
    explicit Lexer(std::string_view s) : s_(s) {}

    Token Next()
    {
        while (i_ < s_.size() && static_cast<unsigned char>(s_[i_]) <= ' ')
            ++i_;
        Token t;
        t.pos = i_ + 1;
        if (i_ >= s_.size())
            return t;
        const char c = s_[i_];
        if (c == '(' || c == ')') {
            t.kind = c == '(' ? Tok::LParen : Tok::RParen;
            ++i_;
            return t;
        }
        if (c == '"' || c == '\'') {
            t.kind = Tok::String;
            ++i_;
            for (;;) {
                if (i_ >= s_.size())
                    throw FilterFailure{"Text ohne schließendes Anführungszeichen ab Position " + std::to_string(t.pos)};
                if (s_[i_] == c) {
                    if (i_ + 1 < s_.size() && s_[i_ + 1] == c) { // doubled quote inside the text
                        t.text += c;
                        i_ += 2;
                        continue;
                    }
                    ++i_;
                    return t;
                }
                t.text += s_[i_++];
            }
        }
        if (c == '=' || c == '<' || c == '>' || c == '!') {
            t.kind = Tok::Op;
            t.text = c;
            ++i_;
            if (i_ < s_.size() && (s_[i_] == '=' || (c == '<' && s_[i_] == '>'))) {
                t.text += s_[i_++];
            }
            if (t.text == "!")
                throw FilterFailure{"unerwartetes Zeichen '!' an Position " + std::to_string(t.pos)};
            if (t.text == "==")
                t.text = "=";
            if (t.text == "!=")
                t.text = "<>";
            return t;
        }
        if ((c >= '0' && c <= '9') || c == '.' || c == '-' || c == '+') {
            t.kind = Tok::Number;
            size_t j = i_;
            if (s_[j] == '-' || s_[j] == '+')
                ++j;
            const size_t digits = j;
            while (j < s_.size() && ((s_[j] >= '0' && s_[j] <= '9') || s_[j] == '.'))
                ++j;
            if (j == digits)
                throw FilterFailure{"unerwartetes Zeichen '" + std::string(1, c) + "' an Position " +
                                    std::to_string(t.pos)};
            t.text.assign(s_.substr(i_, j - i_));
            i_ = j;
            return t;
        }
        if (std::isalpha(static_cast<unsigned char>(c)) || c == '_') {
            size_t j = i_;
            while (j < s_.size() && (std::isalnum(static_cast<unsigned char>(s_[j])) || s_[j] == '_'))
                ++j;
            t.text.assign(s_.substr(i_, j - i_));
            i_ = j;
            if (EqualsNoCase(t.text, "AND"))
                t.kind = Tok::And;
            else if (EqualsNoCase(t.text, "OR"))
                t.kind = Tok::Or;
            else if (EqualsNoCase(t.text, "NOT"))
                t.kind = Tok::Not;
            else
                t.kind = Tok::Ident;
            return t;
        }
        throw FilterFailure{"unerwartetes Zeichen '" + std::string(1, c) + "' an Position " + std::to_string(t.pos)};
    }

private:
    std::string_view s_;
    size_t i_ = 0;
};

bool ParseNumber(std::string_view text, DbValue& out)
{
    std::string_view t = text;
    if (!t.empty() && t.front() == '+')
        t.remove_prefix(1);
    if (t.empty())
        return false;
    long long iv = 0;
    auto r = std::from_chars(t.data(), t.data() + t.size(), iv);
    if (r.ec == std::errc() && r.ptr == t.data() + t.size()) {
        out = DbValue::Integer(iv);
        return true;
    }
    double dv = 0;
    auto rd = std::from_chars(t.data(), t.data() + t.size(), dv, std::chars_format::fixed);
    if (rd.ec == std::errc() && rd.ptr == t.data() + t.size() && std::isfinite(dv)) {
        out = DbValue::Real(dv);
        return true;
    }
    return false;
}

bool Holds(int cmp, const std::string& op)
{
    if (op == "=")
        return cmp == 0;
    if (op == "<>")
        return cmp != 0;
    if (op == "<")
        return cmp < 0;
    if (op == "<=")
        return cmp <= 0;
    if (op == ">")
        return cmp > 0;
    return cmp >= 0;
}

} // namespace

struct FilterNode {
    enum class Kind { And, Or, Not, Compare };
    Kind kind = Kind::Compare;
    std::vector<FilterNode> kids;
    // Compare:
    int field = -1;
    std::string column; // quoted
    std::string op;
    DbValue value;
    bool nullMatches = false; // an empty (NULL) column value satisfies the comparison

    bool ExcludesNull() const { return kind == Kind::Compare && !nullMatches; }
};

namespace {

class Parser {
public:
    Parser(std::string_view filter, const std::vector<FieldInfo>& fields) : lex_(filter), fields_(fields)
    {
        Advance();
    }

    FilterNode ParseAll()
    {
        FilterNode root = OrExpr();
        if (tok_.kind != Tok::End)
            throw FilterFailure{Describe(tok_) + " unerwartet an Position " + std::to_string(tok_.pos)};
        return root;
    }

private:
    void Advance() { tok_ = lex_.Next(); }

    static std::string Describe(const Token& t)
    {
        switch (t.kind) {
        case Tok::End: return "Ende";
        case Tok::LParen: return "'('";
        case Tok::RParen: return "')'";
        case Tok::String: return "\"" + t.text + "\"";
        default: return "'" + t.text + "'";
        }
    }

    // Joins a and b into one AND or OR node, flattening nested nodes of the same kind.
    static FilterNode Join(FilterNode::Kind kind, FilterNode a, FilterNode b)
    {
        FilterNode r;
        r.kind = kind;
        for (FilterNode* n : {&a, &b}) {
            if (n->kind == kind) {
                for (FilterNode& k : n->kids)
                    r.kids.push_back(std::move(k));
            } else {
                r.kids.push_back(std::move(*n));
            }
        }
        return r;
    }

    FilterNode OrExpr()
    {
        FilterNode r = AndExpr();
        while (tok_.kind == Tok::Or) {
            Advance();
            r = Join(FilterNode::Kind::Or, std::move(r), AndExpr());
        }
        return r;
    }

    FilterNode AndExpr()
    {
        FilterNode r = Unary();
        while (tok_.kind == Tok::And) {
            Advance();
            r = Join(FilterNode::Kind::And, std::move(r), Unary());
        }
        return r;
    }

    FilterNode Unary()
    {
        if (tok_.kind == Tok::Not) {
            Advance();
            FilterNode r;
            r.kind = FilterNode::Kind::Not;
            r.kids.push_back(Unary());
            return r;
        }
        if (tok_.kind == Tok::LParen) {
            Advance();
            FilterNode r = OrExpr();
            if (tok_.kind != Tok::RParen)
                throw FilterFailure{"')' erwartet an Position " + std::to_string(tok_.pos)};
            Advance();
            return r;
        }
        return Comparison();
    }

    FilterNode Comparison()
    {
        if (tok_.kind != Tok::Ident)
            throw FilterFailure{"Feldname erwartet an Position " + std::to_string(tok_.pos) + ", gefunden " +
                                Describe(tok_)};
        const Token name = tok_;
        int index = -1;
        for (size_t i = 0; i < fields_.size(); ++i) {
            if (EqualsNoCase(fields_[i].name, name.text)) {
                index = static_cast<int>(i);
                break;
            }
        }
        if (index < 0)
            throw FilterFailure{"Spalte nicht gefunden: " + name.text, name.text};
        const FieldInfo& field = fields_[static_cast<size_t>(index)];
        if (field.blob)
            throw FilterFailure{"Memo- und Binärfelder können nicht gefiltert werden: " + field.name, field.name};
        Advance();
        if (tok_.kind != Tok::Op)
            throw FilterFailure{"Vergleichsoperator erwartet nach " + name.text, field.name};
        const std::string op = tok_.text;
        Advance();
        if (tok_.kind != Tok::Number && tok_.kind != Tok::String)
            throw FilterFailure{"Wert erwartet nach " + name.text + op + ", gefunden " + Describe(tok_), field.name};
        const Token value = tok_;
        Advance();

        FilterNode n;
        n.field = index;
        n.column = sql::Quote(field.name);
        n.op = op;
        int emptyCmp = 0; // how the empty value compares with the literal
        switch (field.type) {
        case TAdsFieldType::ShortInt:
        case TAdsFieldType::Integer:
        case TAdsFieldType::AutoInc:
        case TAdsFieldType::Double:
        case TAdsFieldType::Logical: {
            if (!ParseNumber(Trim(value.text), n.value))
                throw FilterFailure{"Zahl erwartet für " + field.name + ": " + Describe(value), field.name};
            const double v = n.value.kind == StorageKind::Integer ? static_cast<double>(n.value.i) : n.value.d;
            emptyCmp = 0.0 < v ? -1 : (0.0 > v ? 1 : 0);
            break;
        }
        case TAdsFieldType::Date:
        case TAdsFieldType::Timestamp: {
            TDateTime d = 0;
            if (value.kind != Tok::String || (!TryTextToDate(value.text, d) && !IsoToDateTime(value.text, d)))
                throw FilterFailure{"Datum erwartet (TT.MM.JJJJ) für " + field.name + ": " + Describe(value),
                                    field.name};
            n.value = DbValue::Text(field.type == TAdsFieldType::Date ? DateToIso(d) : TimestampToIso(d));
            emptyCmp = -1; // the empty date lies before every date
            break;
        }
        default: // CHAR
            n.value = DbValue::Text(value.text);
            emptyCmp = value.text.empty() ? 0 : -1;
            break;
        }
        n.nullMatches = Holds(emptyCmp, op);
        return n;
    }

    Lexer lex_;
    const std::vector<FieldInfo>& fields_;
    Token tok_;
};

// Every comparison comes out TRUE or FALSE, never NULL, so that NOT and OR treat empty values as the
// host does. Where a NULL column value cannot matter (the surrounding query or an AND sibling already
// rules it out with a definite FALSE), the comparison is written plainly, which keeps it usable as
// an index bound.
// A column SQLite must not use as an index term is written with the no-op unary "+" (stored values
// already carry the column's affinity, and the parameters are of the field's kind, so comparisons
// give the same results).
void Emit(const FilterNode& n, const std::vector<int>& nonNull, int indexField, FilterSql& out)
{
    auto known = [&](int field) { return std::find(nonNull.begin(), nonNull.end(), field) != nonNull.end(); };
    switch (n.kind) {
    case FilterNode::Kind::Compare: {
        out.params.push_back(n.value);
        const std::string column =
            (indexField == Filter::AnyIndex || indexField == n.field) ? n.column : "+" + n.column;
        if (known(n.field))
            out.where += column + " " + n.op + " ?";
        else if (n.nullMatches)
            out.where += "(" + column + " " + n.op + " ? OR " + column + " IS NULL)";
        else
            out.where += "(" + column + " " + n.op + " ? AND " + column + " IS NOT NULL)";
        return;
    }
    case FilterNode::Kind::Not:
        out.where += "(NOT ";
        Emit(n.kids[0], nonNull, indexField, out);
        out.where += ")";
        return;
    case FilterNode::Kind::Or:
        out.where += "(";
        for (size_t i = 0; i < n.kids.size(); ++i) {
            if (i)
                out.where += " OR ";
            Emit(n.kids[i], nonNull, indexField, out);
        }
        out.where += ")";
        return;
    case FilterNode::Kind::And: {
        // One comparison per column that rejects empty values guards the others.
        std::vector<size_t> guards;
        std::vector<int> guarded = nonNull;
        for (size_t i = 0; i < n.kids.size(); ++i) {
            const FilterNode& k = n.kids[i];
            if (k.ExcludesNull() && std::find(guarded.begin(), guarded.end(), k.field) == guarded.end()) {
                guards.push_back(i);
                guarded.push_back(k.field);
            }
        }
        out.where += "(";
        for (size_t i = 0; i < n.kids.size(); ++i) {
            if (i)
                out.where += " AND ";
            const bool guard = std::find(guards.begin(), guards.end(), i) != guards.end();
            Emit(n.kids[i], guard ? nonNull : guarded, indexField, out);
        }
        out.where += ")";
        return;
    }
    }
}

} // namespace

Filter Filter::Parse(std::string_view text, const std::vector<FieldInfo>& fields, const std::string& fileName)
{
    Filter f;
    if (Trim(text).empty())
        return f;
    try {
        Parser p(text, fields);
        f.root_ = std::make_shared<const FilterNode>(p.ParseAll());
    } catch (const FilterFailure& e) {
        throw AdsError("Ungültiger Filter \"" + std::string(text) + "\": " + e.reason, fileName, e.column);
    }
    return f;
}

namespace {

bool NamesOnly(const FilterNode& n, int field)
{
    if (n.kind == FilterNode::Kind::Compare)
        return n.field == field;
    return std::all_of(n.kids.begin(), n.kids.end(), [&](const FilterNode& k) { return NamesOnly(k, field); });
}

void Conjuncts(const FilterNode& n, std::vector<const FilterNode*>& out)
{
    if (n.kind != FilterNode::Kind::And) {
        out.push_back(&n);
        return;
    }
    for (const FilterNode& k : n.kids)
        Conjuncts(k, out);
}

} // namespace

Filter Filter::OnlyField(int field, bool& whole) const
{
    whole = true;
    if (!root_)
        return *this;
    std::vector<const FilterNode*> all;
    Conjuncts(*root_, all);
    FilterNode kept;
    kept.kind = FilterNode::Kind::And;
    for (const FilterNode* n : all) {
        if (NamesOnly(*n, field))
            kept.kids.push_back(*n);
        else
            whole = false;
    }
    Filter f;
    if (kept.kids.size() == 1)
        f.root_ = std::make_shared<const FilterNode>(kept.kids.front());
    else if (!kept.kids.empty())
        f.root_ = std::make_shared<const FilterNode>(std::move(kept));
    return f;
}

FilterSql Filter::ToSql(int knownNonNull, int indexField) const
{
    FilterSql out;
    if (root_) {
        std::vector<int> nonNull;
        if (knownNonNull >= 0)
            nonNull.push_back(knownNonNull);
        Emit(*root_, nonNull, indexField, out);
    }
    return out;
}

} // namespace gs::ads
