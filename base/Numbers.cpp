#include "base/Numbers.h"

#include "base/ProcessContext.h"

#include <charconv>
#include <cmath>
#include <system_error>

namespace gs {

namespace {

SecondCurrencyTerms CurrentSecondCurrency()
{
    const ProcessContext* rt = ProcessContext::currentOrNull();
    return rt && rt->secondCurrency ? rt->secondCurrency() : SecondCurrencyTerms{};
}

// The result when it is a finite number, otherwise the fallback.
double FiniteOr(double result, double fallback) { return std::isfinite(result) ? result : fallback; }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

} // namespace

double ParseNumber(std::string_view text) { return ParseNumber(text, CurrentFormats().decimalSeparator); }

double ParseNumber(std::string_view text, char decimalSeparator)
{
    size_t b = 0, e = text.size();
    while (b < e && text[b] == ' ')
        ++b;
    while (e > b && text[e - 1] == ' ')
        --e;
    // Rewrite into the form the locale-independent reader takes: sign, digits, ".", exponent.
    std::string plain;
    plain.reserve(e - b + 1);
    size_t i = b;
    if (i < e && (text[i] == '+' || text[i] == '-')) {
        if (text[i] == '-')
            plain += '-';
        ++i;
    }
    int digits = 0;
    bool point = false;
    for (; i < e; ++i) {
        const char c = text[i];
        if (IsDigit(c)) {
            plain += c;
            ++digits;
        } else if (c == decimalSeparator && !point) {
            plain += '.';
            point = true;
        } else {
            break;
        }
    }
    if (digits == 0)
        return 0;
    if (i < e && (text[i] == 'E' || text[i] == 'e')) {
        plain += 'e';
        ++i;
        if (i < e && (text[i] == '+' || text[i] == '-'))
            plain += text[i++];
        int expDigits = 0;
        for (; i < e && IsDigit(text[i]); ++i, ++expDigits)
            plain += text[i];
        if (expDigits == 0)
            return 0;
    }
    if (i != e)
        return 0;
    double value = 0;
    const auto res = std::from_chars(plain.data(), plain.data() + plain.size(), value);
    if (res.ec != std::errc() || res.ptr != plain.data() + plain.size() || !std::isfinite(value))
        return 0;
    return value == 0 ? 0.0 : value; // no negative zero
}

std::string MoneyFormat() { return "#############0.00"; }

std::string PriceFormat() { return CurrentFormats().threeDecimals == 1 ? "#############0.000" : MoneyFormat(); }

std::string MoneySuffix() { return CurrentFormats().moneySuffix; }

double MoneyValue(double amount)
{
    // Below 2^31 cents the product carries at most a few units of its last place beyond the
    // shortest decimal that the format rounds, so away from a half cent both round alike; and
    // cents / 100 is the double nearest to the decimal, as the reader gives it.
    const double cents = amount * 100.0;
    if (std::fabs(cents) < 2147483648.0) {
        const double fraction = std::fabs(cents - std::trunc(cents));
        if (std::fabs(fraction - 0.5) > 1e-5) {
            const double whole = std::round(cents);
            return whole == 0 ? 0.0 : whole / 100.0;
        }
    }
    return ParseNumber(FormatFloat(MoneyFormat(), amount));
}

std::string MoneyDisplayFormat() { return "," + MoneyFormat() + MoneySuffix(); }

std::string FormatMoney(double amount) { return FormatFloat(MoneyDisplayFormat(), amount); }

double FromSecondCurrency(double amount) { return FiniteOr(amount / CurrentSecondCurrency().rate, amount); }

double ToSecondCurrency(double amount) { return FiniteOr(amount * CurrentSecondCurrency().rate, amount); }

double ToSecondCurrencyRounded(bool skip, double amount)
{
    double result = ToSecondCurrency(amount);
    ApplyFiveHundredthsRounding(result, skip);
    return result;
}

double AddPercentRounded(bool skip, double value, double percent)
{
    double result = FiniteOr(value + (value / 100) * percent, value);
    ApplyFiveHundredthsRounding(result, skip);
    return result;
}

double RoundedToFiveHundredths(double amount)
{
    const double scaled = amount >= 0 ? std::trunc(amount * 20 + 0.5) : std::trunc(amount * 20 - 0.5);
    return FiniteOr(scaled / 20, amount);
}

void ApplyFiveHundredthsRounding(double& amount, bool skip)
{
    if (CurrentFormats().swissMode || (!skip && CurrentSecondCurrency().roundToFiveHundredths))
        amount = RoundedToFiveHundredths(amount);
}

double RoundHalfEven(double value)
{
    // The default floating-point rounding mode rounds to nearest, ties to even.
    const double r = std::nearbyint(value);
    return r == 0 ? 0.0 : r; // no negative zero
}

} // namespace gs
