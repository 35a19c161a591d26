#include "app/ProcessObjects.h"

#include "base/Runtime.h"
#include "orders/DefaultPatterns.h"
#include "settings/Settings.h"

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
}

} // namespace gs
