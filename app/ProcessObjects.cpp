#include "app/ProcessObjects.h"

#include "app/Runtime.h"
#include "settings/Settings.h"

namespace gs {

void StartProcessObjects(Runtime& runtime)
{
    // The settings object with its construction values (LoadSettings fills it after connecting);
    // the number conversions take the second currency's rate and rounding from it.
    if (!runtime.settings)
        CreateSettings(runtime);
    // The default order patterns join here once the order data provides them.
}

} // namespace gs
