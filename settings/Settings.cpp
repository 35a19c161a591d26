#include "settings/Settings.h"

namespace gs {

TSettings::TSettings() = default;

} // namespace gs
