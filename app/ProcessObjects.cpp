#include "app/ProcessObjects.h"

#include "app/Runtime.h"
#include "settings/Settings.h"

#include <memory>

namespace gs {

void StartProcessObjects(Runtime& runtime)
{
    // The settings object with its construction values; LoadSettings fills it after connecting.
    if (!runtime.settings)
        runtime.settings = std::make_shared<TSettings>();
    // The default order patterns join here once the order data provides them.
}

} // namespace gs
