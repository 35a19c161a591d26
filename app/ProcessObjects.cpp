#include "app/ProcessObjects.h"

#include "app/Runtime.h"
#include "orders/DefaultPatterns.h"
#include "settings/Settings.h"

#include <memory>

namespace gs {

void StartProcessObjects(Runtime& runtime)
{
    // The settings object with its construction values; LoadSettings fills it after connecting.
    if (!runtime.settings)
        runtime.settings = std::make_shared<TSettings>();
    // The thirteen default order patterns, one per document type, dated the day the program started.
    if (!runtime.defaultPatterns)
        CreateDefaultPatterns(runtime);
}

} // namespace gs
