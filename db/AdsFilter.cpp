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

struct FilterFailure {
    std::string reason;
};

class Lexer {
public:
    explicit Lexer(std::string_view s) : s_(s) {}

    Token next()
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

    bool excludesNull() const { return kind == Kind::Compare && !nullMatches; }
};

namespace {

class Parser {
public:
    Parser(std::string_view filter, const std::vector<FieldInfo>& fields) : lex_(filter), fields_(fields)
    {
        advance();
    }

    FilterNode parseAll()
    {
        FilterNode root = orExpr();
        if (tok_.kind != Tok::End)
            throw FilterFailure{describe(tok_) + " unerwartet an Position " + std::to_string(tok_.pos)};
        return root;
    }

private:
    void advance() { tok_ = lex_.next(); }

    static std::string describe(const Token& t)
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
    static FilterNode join(FilterNode::Kind kind, FilterNode a, FilterNode b)
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

    FilterNode orExpr()
    {
        FilterNode r = andExpr();
        while (tok_.kind == Tok::Or) {
            advance();
            r = join(FilterNode::Kind::Or, std::move(r), andExpr());
        }
        return r;
    }

    FilterNode andExpr()
    {
        FilterNode r = unary();
        while (tok_.kind == Tok::And) {
            advance();
            r = join(FilterNode::Kind::And, std::move(r), unary());
        }
        return r;
    }

    FilterNode unary()
    {
        if (tok_.kind == Tok::Not) {
            advance();
            FilterNode r;
            r.kind = FilterNode::Kind::Not;
            r.kids.push_back(unary());
            return r;
        }
        if (tok_.kind == Tok::LParen) {
            advance();
            FilterNode r = orExpr();
            if (tok_.kind != Tok::RParen)
                throw FilterFailure{"')' erwartet an Position " + std::to_string(tok_.pos)};
            advance();
            return r;
        }
        return comparison();
    }

    FilterNode comparison()
    {
        if (tok_.kind != Tok::Ident)
            throw FilterFailure{"Feldname erwartet an Position " + std::to_string(tok_.pos) + ", gefunden " +
                                describe(tok_)};
        const Token name = tok_;
        int index = -1;
        for (size_t i = 0; i < fields_.size(); ++i) {
            if (EqualsNoCase(fields_[i].name, name.text)) {
                index = static_cast<int>(i);
                break;
            }
        }
        if (index < 0)
            throw FilterFailure{"Spalte nicht gefunden: " + name.text};
        const FieldInfo& field = fields_[static_cast<size_t>(index)];
        if (field.blob)
            throw FilterFailure{"Memo- und Binärfelder können nicht gefiltert werden: " + field.name};
        advance();
        if (tok_.kind != Tok::Op)
            throw FilterFailure{"Vergleichsoperator erwartet nach " + name.text};
        const std::string op = tok_.text;
        advance();
        if (tok_.kind != Tok::Number && tok_.kind != Tok::String)
            throw FilterFailure{"Wert erwartet nach " + name.text + op + ", gefunden " + describe(tok_)};
        const Token value = tok_;
        advance();

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
                throw FilterFailure{"Zahl erwartet für " + field.name + ": " + describe(value)};
            const double v = n.value.kind == StorageKind::Integer ? static_cast<double>(n.value.i) : n.value.d;
            emptyCmp = 0.0 < v ? -1 : (0.0 > v ? 1 : 0);
            break;
        }
        case TAdsFieldType::Date:
        case TAdsFieldType::Timestamp: {
            TDateTime d = 0;
            if (value.kind != Tok::String || (!TryTextToDate(value.text, d) && !IsoToDateTime(value.text, d)))
                throw FilterFailure{"Datum erwartet (TT.MM.JJJJ) für " + field.name + ": " + describe(value)};
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
            if (k.excludesNull() && std::find(guarded.begin(), guarded.end(), k.field) == guarded.end()) {
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
        f.root_ = std::make_shared<const FilterNode>(p.parseAll());
    } catch (const FilterFailure& e) {
        std::string column;
        if (e.reason.rfind("Spalte nicht gefunden: ", 0) == 0)
            column = e.reason.substr(23);
        throw AdsError("Ungültiger Filter \"" + std::string(text) + "\": " + e.reason, fileName, column);
    }
    return f;
}

FilterSql Filter::toSql(int knownNonNull, int indexField) const
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
