#pragma once
// Start-up of the process number formats from the maker's country file ALTEURO.INI beside the
// program: euro mode (decimal ",", thousands ".", currency text " €") or franc mode (decimal ".",
// thousands "'", the configured currency text or " SFr\".\"", rounding to 0.05), and the
// three-decimals switch for prices. A missing file or key gives the euro defaults; errors (an
// unreadable file) are swallowed and keep what was set so far.
#include <string>

namespace gs {

class ProcessContext;

// The franc default currency text: blank, S, F, r and a quoted full stop (printed literally).
inline constexpr const char* FrancDefaultSuffix = " SFr\".\"";
inline constexpr const char* CountryFileName = "ALTEURO.INI";

// Runs LoadCurrencyText, ApplyFixedLibraryFormats and LoadCountryFormats, in this order.
void InitNumberFormats(ProcessContext& runtime);

// MoneySuffix from CH-CHAR/VALUE and COUNTRY/EURO; a text without a leading blank gets one.
void LoadCurrencyText(ProcessContext& runtime);
// The run-time library's separators and currency settings, whatever the system locale says.
void ApplyFixedLibraryFormats(ProcessContext& runtime);
// Separators and SwissMode from COUNTRY/EURO, ThreeDecimals from COUNTRY/NACHKOMMA3 (0 or 1).
void LoadCountryFormats(ProcessContext& runtime);

} // namespace gs
