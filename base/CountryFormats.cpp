#include "base/CountryFormats.h"

#include "base/Error.h"
#include "base/ProcessContext.h"
#include "base/IniFile.h"

#include <exception>

namespace gs {

namespace {
const char* const kEuroText = " \xE2\x82\xAC"; // " €"
}

void InitNumberFormats(ProcessContext& runtime)
{
    LoadCurrencyText(runtime);
    ApplyFixedLibraryFormats(runtime);
    LoadCountryFormats(runtime);
}

void LoadCurrencyText(ProcessContext& runtime)
{
    NumberFormats& f = runtime.formats;
    f.moneySuffix = kEuroText;
    Guarded(CountryFileName, [&] {
        const IniFile ini(runtime.besideProgram(CountryFileName));
        const std::string value = ini.ReadString("CH-CHAR", "VALUE", "");
        const bool euro = ini.ReadBool("COUNTRY", "EURO", true);
        if (!euro)
            f.moneySuffix = value.empty() ? std::string(FrancDefaultSuffix) : value;
        else
            f.moneySuffix = kEuroText;
        if (f.moneySuffix.empty() || f.moneySuffix.front() != ' ')
            f.moneySuffix.insert(0, 1, ' ');
    });
}

void ApplyFixedLibraryFormats(ProcessContext& runtime)
{
    NumberFormats& f = runtime.formats;
    f.currencyText = kEuroText;
    f.currencyFormat = 1;
    f.negCurrencyFormat = 5;
    f.thousandSeparator = '.';
    f.decimalSeparator = ',';
    f.currencyDecimals = 2;
    f.dateSeparator = '.';
}

void LoadCountryFormats(ProcessContext& runtime)
{
    NumberFormats& f = runtime.formats;
    Guarded(CountryFileName, [&] {
        const IniFile ini(runtime.besideProgram(CountryFileName));
        const bool euro = ini.ReadBool("COUNTRY", "EURO", true);
        f.decimalSeparator = euro ? ',' : '.';
        f.thousandSeparator = euro ? '.' : '\'';
        f.swissMode = !euro;
        const int three = ini.ReadInteger("COUNTRY", "NACHKOMMA3", 0);
        f.threeDecimals = three == 1 ? 1 : 0;
    });
}

} // namespace gs
