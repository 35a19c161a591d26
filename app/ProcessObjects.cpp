#include "app/ProcessObjects.h"

#include "app/Runtime.h"
#include "orders/DefaultPatterns.h"
#include "settings/Settings.h"
#include "settings/SecondCurrency.h"
#include "spool/ExtSpooler.h"
#include "spool/SpoolTables.h"

namespace gs {

void CreateSettings(Runtime& runtime)
{
    runtime.settings = std::make_shared<TSettings>();
    Runtime* rt = &runtime;
    runtime.secondCurrency = [rt] {
        if (!rt->settings)
            return SecondCurrencyTerms{};
        const TAlterCurrencyInfo& info = rt->settings->SecondCurrency;
        return SecondCurrencyTerms{SecondCurrencyRate(info), info.RoundToFiveHundredths};
    };
}

void CreateDefaultPatterns(Runtime& runtime)
{
    runtime.defaultPatterns = std::make_shared<DefaultPatterns>(runtime.startDate, runtime.settings.get());
}

const DefaultPatterns& DefaultPatternsOf(Runtime& runtime)
{
    if (!runtime.defaultPatterns)
        CreateDefaultPatterns(runtime);
    return *runtime.defaultPatterns;
}

void CreateSpooler(Runtime& runtime)
{
    if (!runtime.spooler)
        runtime.spooler = std::make_shared<TExtSpooler>(SpoolDirectory(runtime), runtime.programDir());
}


void StartProcessObjects(Runtime& runtime)
{
    // The settings object with its construction values (LoadSettings fills it after connecting);
    // the number conversions take the second currency's rate and rounding from it.
    if (!runtime.settings)
        CreateSettings(runtime);
    // The thirteen default order patterns, one per document type, dated the day the program started.
    if (!runtime.defaultPatterns)
        CreateDefaultPatterns(runtime);
    // The output spooler with its two run items; the window gives it the connection after
    // connecting, and the program's end lets it shut down.
    if (!runtime.spooler)
        CreateSpooler(runtime);
}

void EndProcessObjects(Runtime& runtime)
{
    if (runtime.spooler)
        runtime.spooler->Shutdown();
}

} // namespace gs
