#pragma once
// The in-memory copy of the host's settings (one process-wide instance, Runtime::settings), filled
// once from setup.ADT after connecting and read-only afterwards.
#include "settings/SecondCurrency.h"

#include <string>

namespace gs {

class TSettings {
public:
    TSettings();

    // Database identity (SetDatabasePath).
    std::string DatabasePath;
    std::string DatabaseName;

    // Currency and tax.
    TAlterCurrencyInfo SecondCurrency;
    double TaxRateFull = 0;
    double TaxRateFullCurrent = 0;
    double TaxRateReduced = 0;
    double TaxRateReducedCurrent = 0;
};

} // namespace gs
