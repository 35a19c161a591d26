#include "settings/SecondCurrency.h"

namespace gs {

double SecondCurrencyRate(const TAlterCurrencyInfo& info) { return info.Enabled ? info.Rate : 1.5; }

std::string SecondCurrencySymbol(const TAlterCurrencyInfo& info) { return info.Enabled ? info.Symbol : " 2.W."; }

} // namespace gs
