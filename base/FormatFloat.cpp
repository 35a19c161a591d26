#include "base/FormatFloat.h"

#include "base/ProcessContext.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <system_error>
#include <vector>

namespace gs {

namespace {

// A finite value as decimal digits: |value| = 0.d1d2d3... * 10^pointPos.
struct Decimal {
    std::string digits; // no leading zeros; empty for zero
    int pointPos = 0;
};

// The shortest digits that read back as the same double.
Decimal ShortestDecimal(double value)
{
    Decimal d;
    if (value == 0)
        return d;
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::scientific);
    const std::string_view text(buf, static_cast<size_t>(res.ptr - buf)); // "2.675e+00", "1e+20"
    const size_t e = text.find('e');
    for (size_t i = 0; i < e; ++i)
        if (text[i] != '.')
            d.digits += text[i];
    d.pointPos = std::atoi(std::string(text.substr(e + 1)).c_str()) + 1;
    while (!d.digits.empty() && d.digits.back() == '0')
        d.digits.pop_back();
    return d;
}

// Rounds to the given number of decimals, halves away from zero.
void RoundDecimal(Decimal& d, int decimals)
{
    const long keep = static_cast<long>(d.pointPos) + decimals; // digits that stay
    if (keep >= static_cast<long>(d.digits.size()))
        return;
    if (keep < 0) {
        d.digits.clear();
        return;
    }
    const bool up = d.digits[static_cast<size_t>(keep)] >= '5';
    d.digits.resize(static_cast<size_t>(keep));
    if (up) {
        size_t i = d.digits.size();
        while (i > 0 && d.digits[i - 1] == '9') {
            d.digits.pop_back();
            --i;
        }
        if (i == 0) {
            d.digits.assign(1, '1');
            ++d.pointPos;
        } else {
            ++d.digits[i - 1];
        }
    }
    while (!d.digits.empty() && d.digits.back() == '0')
        d.digits.pop_back();
}

const char* NonFiniteText(double value)
{
    if (std::isnan(value))
        return "NAN";
    return value < 0 ? "-INF" : "INF";
}

enum class TokenKind { Digit, Point, Literal };

struct Token {
    TokenKind kind;
    char placeholder = 0; // '0' or '#'
    std::string text;     // literal text
};

struct ParsedFormat {
    std::vector<Token> tokens;
    bool grouping = false;
    bool hasPoint = false;
    int intPlaces = 0;
    int minIntDigits = 0;
    int fracPlaces = 0;
    int minFracDigits = 0;
};

ParsedFormat ParseFormat(std::string_view format)
{
    ParsedFormat f;
    int firstIntZero = -1;
    for (size_t i = 0; i < format.size(); ++i) {
        const char c = format[i];
        if (c == '"' || c == '\'') {
            const size_t end = format.find(c, i + 1);
            const size_t stop = end == std::string_view::npos ? format.size() : end;
            f.tokens.push_back({TokenKind::Literal, 0, std::string(format.substr(i + 1, stop - i - 1))});
            i = stop;
        } else if (c == '0' || c == '#') {
            f.tokens.push_back({TokenKind::Digit, c, {}});
            if (!f.hasPoint) {
                if (c == '0' && firstIntZero < 0)
                    firstIntZero = f.intPlaces;
                ++f.intPlaces;
            } else {
                ++f.fracPlaces;
                if (c == '0')
                    f.minFracDigits = f.fracPlaces;
            }
        } else if (c == '.' && !f.hasPoint) {
            f.hasPoint = true;
            f.tokens.push_back({TokenKind::Point, 0, {}});
        } else if (c == ',') {
            f.grouping = true;
        } else {
            f.tokens.push_back({TokenKind::Literal, 0, std::string(1, c)});
        }
    }
    f.minIntDigits = firstIntZero < 0 ? 0 : f.intPlaces - firstIntZero;
    return f;
}

// The parsed form of the last few format texts: the same few formats (money, price) are used over
// and over, for every document of a run.
const ParsedFormat& CachedFormat(std::string_view format)
{
    thread_local std::vector<std::pair<std::string, ParsedFormat>> cache;
    for (const auto& entry : cache)
        if (entry.first == format)
            return entry.second;
    if (cache.size() >= 8)
        cache.erase(cache.begin());
    cache.emplace_back(std::string(format), ParseFormat(format));
    return cache.back().second;
}

} // namespace

const NumberFormats& CurrentFormats()
{
    static const NumberFormats defaults;
    const ProcessContext* rt = ProcessContext::currentOrNull();
    return rt ? rt->formats : defaults;
}

std::string FormatFloat(std::string_view format, double value) { return FormatFloat(format, value, CurrentFormats()); }

std::string FormatFloat(std::string_view format, double value, const NumberFormats& formats)
{
    if (!std::isfinite(value))
        return NonFiniteText(value);
    if (format.empty())
        return FloatToText(value, formats.decimalSeparator);
    const ParsedFormat& f = CachedFormat(format);

    Decimal d = ShortestDecimal(value);
    RoundDecimal(d, f.fracPlaces);
    const bool negative = value < 0 && !d.digits.empty();

    // Integer and fraction digits of the rounded value.
    std::string intDigits, fracDigits;
    if (!d.digits.empty()) {
        if (d.pointPos > 0) {
            const size_t n = static_cast<size_t>(d.pointPos);
            intDigits = d.digits.substr(0, n);
            if (intDigits.size() < n)
                intDigits.append(n - intDigits.size(), '0');
            if (d.digits.size() > n)
                fracDigits = d.digits.substr(n);
        } else {
            fracDigits = std::string(static_cast<size_t>(-d.pointPos), '0') + d.digits;
        }
    }
    if (intDigits.size() < static_cast<size_t>(f.minIntDigits))
        intDigits.insert(0, static_cast<size_t>(f.minIntDigits) - intDigits.size(), '0');
    fracDigits.resize(static_cast<size_t>(f.fracPlaces), '0');
    while (fracDigits.size() > static_cast<size_t>(f.minFracDigits) && fracDigits.back() == '0')
        fracDigits.pop_back();

    std::string out;
    out.reserve(intDigits.size() + intDigits.size() / 3 + fracDigits.size() + format.size() + 2);
    if (negative)
        out += '-';
    const int nInt = static_cast<int>(intDigits.size());
    const int extra = nInt - f.intPlaces; // digits before the first place (or places left empty)
    auto emitIntDigit = [&](int j) {
        out += intDigits[static_cast<size_t>(j)];
        const int remaining = nInt - 1 - j;
        if (f.grouping && remaining > 0 && remaining % 3 == 0)
            out += formats.thousandSeparator;
    };
    auto emitAllInt = [&]() {
        for (int j = 0; j < nInt; ++j)
            emitIntDigit(j);
    };
    bool afterPoint = false;
    int intIndex = 0, fracIndex = 0;
    for (const Token& t : f.tokens) {
        if (t.kind == TokenKind::Literal) {
            out += t.text;
        } else if (t.kind == TokenKind::Point) {
            afterPoint = true;
            if (f.intPlaces == 0)
                emitAllInt(); // ".00": the integer digits stand before the point
            if (!fracDigits.empty())
                out += formats.decimalSeparator;
        } else if (!afterPoint) {
            if (intIndex == 0)
                for (int j = 0; j < extra; ++j)
                    emitIntDigit(j);
            if (intIndex + extra >= 0)
                emitIntDigit(intIndex + extra);
            ++intIndex;
        } else {
            if (fracIndex < static_cast<int>(fracDigits.size()))
                out += fracDigits[static_cast<size_t>(fracIndex)];
            ++fracIndex;
        }
    }
    if (f.intPlaces == 0 && !f.hasPoint)
        emitAllInt(); // a format of literals only still shows the number
    return out;
}

std::string FloatToText(double value) { return FloatToText(value, CurrentFormats().decimalSeparator); }

std::string FloatToText(double value, char decimalSeparator)
{
    if (!std::isfinite(value))
        return NonFiniteText(value);
    if (value == 0)
        return "0";
    // 15 significant digits, correctly rounded.
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.14e", std::fabs(value));
    const std::string_view text(buf);
    const size_t e = text.find('e');
    std::string digits;
    for (size_t i = 0; i < e; ++i)
        if (text[i] != '.')
            digits += text[i];
    while (digits.size() > 1 && digits.back() == '0')
        digits.pop_back();
    const int exponent = std::atoi(buf + e + 1); // value = d.ddd * 10^exponent
    const int pointPos = exponent + 1;

    std::string out = value < 0 ? "-" : "";
    if (pointPos > 15 || pointPos < -3) {
        out += digits[0];
        if (digits.size() > 1) {
            out += decimalSeparator;
            out.append(digits, 1);
        }
        out += 'E';
        if (exponent < 0)
            out += '-';
        out += std::to_string(std::abs(exponent));
    } else if (pointPos <= 0) {
        out += '0';
        out += decimalSeparator;
        out.append(static_cast<size_t>(-pointPos), '0');
        out += digits;
    } else {
        const size_t n = static_cast<size_t>(pointPos);
        if (digits.size() <= n) {
            out += digits;
            out.append(n - digits.size(), '0');
        } else {
            out.append(digits, 0, n);
            out += decimalSeparator;
            out.append(digits, n);
        }
    }
    return out;
}

} // namespace gs
