#include "base/AmountText.h"

#include "base/Text.h"

#include <charconv>
#include <cmath>
#include <system_error>

namespace gs {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool EndsWith(std::string_view text, std::string_view tail)
{
    return !tail.empty() && text.size() >= tail.size() && text.substr(text.size() - tail.size()) == tail;
}

// The text without a currency text at its end (and the blanks before it).
std::string_view WithoutCurrency(std::string_view text, const NumberFormats& formats)
{
    // The suffix is format text: quotes only mark its literal part (" SFr\".\"" shows " SFr.").
    std::string suffix = Trim(formats.moneySuffix);
    std::erase(suffix, '"');
    std::erase(suffix, '\'');
    for (std::string_view tail : {std::string_view(suffix), std::string_view("\xE2\x82\xAC"), std::string_view("EUR")}) {
        if (EndsWith(text, tail)) {
            text.remove_suffix(tail.size());
            while (!text.empty() && text.back() == ' ')
                text.remove_suffix(1);
            break;
        }
    }
    return text;
}

std::string SeparatorText(char c)
{
    return std::string("\xE2\x80\x9E") + c + "\xE2\x80\x9C"; // „.“
}

AmountReading Refused(std::string cause)
{
    AmountReading r;
    r.cause = std::move(cause);
    return r;
}

// True when the integer digits are grouped by three behind a first group of one to three digits.
bool GroupedByThree(std::string_view integer, char separator)
{
    size_t group = 0;
    bool first = true;
    for (char c : integer) {
        if (c == separator) {
            if (group == 0 || group > 3 || (!first && group != 3))
                return false;
            first = false;
            group = 0;
        } else {
            ++group;
        }
    }
    return first || group == 3;
}

} // namespace

AmountReading ReadAmount(std::string_view text, const NumberFormats& formats, int maxDecimals)
{
    const std::string trimmed = Trim(text);
    if (trimmed.empty()) {
        AmountReading r;
        r.empty = true;
        r.cause = "ist leer";
        return r;
    }
    std::string_view t = WithoutCurrency(trimmed, formats);
    std::string plain; // the form the locale-independent reader takes: sign, digits, "."
    if (!t.empty() && (t.front() == '-' || t.front() == '+')) {
        if (t.front() == '-')
            plain += '-';
        t.remove_prefix(1);
    }
    const char decimal = formats.decimalSeparator;
    const char thousands = formats.thousandSeparator;
    const size_t point = t.find(decimal);
    const std::string_view integer = t.substr(0, point);
    const std::string_view fraction = point == std::string_view::npos ? std::string_view() : t.substr(point + 1);

    int integerDigits = 0;
    bool grouped = false;
    for (char c : integer) {
        if (IsDigit(c)) {
            ++integerDigits;
        } else if (thousands != '\0' && c == thousands) {
            grouped = true;
        } else if (c == '.' || c == ',' || c == '\'') {
            return Refused("hat das Trennzeichen " + SeparatorText(c) + " an falscher Stelle (Dezimaltrennzeichen ist " +
                           SeparatorText(decimal) + ")");
        } else {
            return Refused("ist keine Zahl");
        }
    }
    for (char c : fraction) {
        if (!IsDigit(c)) {
            if (c == decimal || c == thousands || c == '.' || c == ',' || c == '\'')
                return Refused("hat das Trennzeichen " + SeparatorText(c) + " an falscher Stelle (Dezimaltrennzeichen ist " +
                               SeparatorText(decimal) + ")");
            return Refused("ist keine Zahl");
        }
    }
    if (integerDigits == 0 && fraction.empty())
        return Refused("ist keine Zahl");
    if (grouped && !GroupedByThree(integer, thousands))
        return Refused("hat das Trennzeichen " + SeparatorText(thousands) +
                       " an falscher Stelle (Tausender werden in Dreiergruppen getrennt)");
    if (static_cast<int>(fraction.size()) > maxDecimals)
        return Refused("hat mehr als " + std::to_string(maxDecimals) + " Nachkommastellen");
    if (integerDigits > AmountMaxIntegerDigits)
        return Refused("ist zu groß (höchstens " + std::to_string(AmountMaxIntegerDigits) + " Stellen vor dem Komma)");

    for (char c : integer)
        if (IsDigit(c))
            plain += c;
    if (integerDigits == 0)
        plain += '0';
    if (!fraction.empty()) {
        plain += '.';
        plain += fraction;
    }
    double value = 0;
    const auto res = std::from_chars(plain.data(), plain.data() + plain.size(), value);
    if (res.ec != std::errc() || res.ptr != plain.data() + plain.size() || !std::isfinite(value))
        return Refused("ist keine Zahl");
    AmountReading r;
    r.value = value == 0 ? 0.0 : value;
    return r;
}

} // namespace gs
