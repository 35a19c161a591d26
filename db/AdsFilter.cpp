#include "db/AdsFilter.h"

#include "app/Dates.h"
#include "app/TextUtil.h"
#include "db/AdsError.h"
#include "db/SqliteStatement.h"

#include <cctype>
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

class Parser {
public:
    Parser(std::string_view filter, const std::vector<FieldInfo>& fields, FilterSql& out)
        : lex_(filter), fields_(fields), out_(out)
    {
        advance();
    }

    void parseAll()
    {
        out_.where = orExpr();
        if (tok_.kind != Tok::End)
            throw FilterFailure{describe(tok_) + " unerwartet an Position " + std::to_string(tok_.pos)};
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

    std::string orExpr()
    {
        std::string r = andExpr();
        while (tok_.kind == Tok::Or) {
            advance();
            r = "(" + r + " OR " + andExpr() + ")";
        }
        return r;
    }

    std::string andExpr()
    {
        std::string r = unary();
        while (tok_.kind == Tok::And) {
            advance();
            r = "(" + r + " AND " + unary() + ")";
        }
        return r;
    }

    std::string unary()
    {
        if (tok_.kind == Tok::Not) {
            advance();
            return "(NOT " + unary() + ")";
        }
        if (tok_.kind == Tok::LParen) {
            advance();
            std::string r = orExpr();
            if (tok_.kind != Tok::RParen)
                throw FilterFailure{"')' erwartet an Position " + std::to_string(tok_.pos)};
            advance();
            return r;
        }
        return comparison();
    }

    std::string comparison()
    {
        if (tok_.kind != Tok::Ident)
            throw FilterFailure{"Feldname erwartet an Position " + std::to_string(tok_.pos) + ", gefunden " +
                                describe(tok_)};
        const Token name = tok_;
        const FieldInfo* field = nullptr;
        for (const FieldInfo& f : fields_) {
            if (EqualsNoCase(f.name, name.text)) {
                field = &f;
                break;
            }
        }
        if (!field)
            throw FilterFailure{"Spalte nicht gefunden: " + name.text};
        if (field->blob)
            throw FilterFailure{"Memo- und Binärfelder können nicht gefiltert werden: " + field->name};
        advance();
        if (tok_.kind != Tok::Op)
            throw FilterFailure{"Vergleichsoperator erwartet nach " + name.text};
        const std::string op = tok_.text;
        advance();
        if (tok_.kind != Tok::Number && tok_.kind != Tok::String)
            throw FilterFailure{"Wert erwartet nach " + name.text + op + ", gefunden " + describe(tok_)};
        const Token value = tok_;
        advance();

        DbValue param;
        int emptyCmp = 0; // how the empty value compares with the literal
        switch (field->type) {
        case TAdsFieldType::ShortInt:
        case TAdsFieldType::Integer:
        case TAdsFieldType::AutoInc:
        case TAdsFieldType::Double:
        case TAdsFieldType::Logical: {
            if (!ParseNumber(Trim(value.text), param))
                throw FilterFailure{"Zahl erwartet für " + field->name + ": " + describe(value)};
            const double v = param.kind == StorageKind::Integer ? static_cast<double>(param.i) : param.d;
            emptyCmp = 0.0 < v ? -1 : (0.0 > v ? 1 : 0);
            break;
        }
        case TAdsFieldType::Date:
        case TAdsFieldType::Timestamp: {
            TDateTime d = 0;
            if (value.kind != Tok::String || (!TryTextToDate(value.text, d) && !IsoToDateTime(value.text, d)))
                throw FilterFailure{"Datum erwartet (TT.MM.JJJJ) für " + field->name + ": " + describe(value)};
            param = DbValue::Text(field->type == TAdsFieldType::Date ? DateToIso(d) : TimestampToIso(d));
            emptyCmp = -1; // the empty date lies before every date
            break;
        }
        default: // CHAR
            param = DbValue::Text(value.text);
            emptyCmp = value.text.empty() ? 0 : -1;
            break;
        }
        out_.params.push_back(std::move(param));
        const std::string col = sql::Quote(field->name);
        // Every comparison is TRUE or FALSE, never NULL, so that NOT and OR treat empty values alike.
        if (Holds(emptyCmp, op))
            return "(" + col + " " + op + " ? OR " + col + " IS NULL)";
        return "(" + col + " " + op + " ? AND " + col + " IS NOT NULL)";
    }

    Lexer lex_;
    const std::vector<FieldInfo>& fields_;
    FilterSql& out_;
    Token tok_;
};

} // namespace

FilterSql TranslateFilter(std::string_view filter, const std::vector<FieldInfo>& fields, const std::string& fileName)
{
    FilterSql out;
    if (Trim(filter).empty())
        return out;
    try {
        Parser p(filter, fields, out);
        p.parseAll();
    } catch (const FilterFailure& f) {
        std::string column;
        if (f.reason.rfind("Spalte nicht gefunden: ", 0) == 0)
            column = f.reason.substr(23);
        throw AdsError("Ungültiger Filter \"" + std::string(filter) + "\": " + f.reason, fileName, column);
    }
    return out;
}

} // namespace gs::ads
