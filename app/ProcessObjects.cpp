#include "app/ProcessObjects.h"

#include "base/Runtime.h"
#include "orders/DefaultPatterns.h"
#include "settings/Settings.h"
#include "spool/ExtSpooler.h"

namespace gs {

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
