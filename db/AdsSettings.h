#pragma once
// Client settings of the database engine, set once at start. Plain data: the layer reads only the
// decimal separator, which the connection takes over (dates are always day numbers, text forms
// DD.MM.YYYY).
#include "db/AdsTypes.h"

#include <string>

namespace gs {

struct TAdsSettings {
    std::string DateFormat = "DD.MM.YYYY";
    int NumDecimals = 2;
    bool SetDelphiDate = true;
    bool ShowDeleted = true;
    TAdsServerTypes AdsServerTypes{stADS_REMOTE, stADS_LOCAL, stADS_AIS};
    int NumCachedTables = 0;
    int NumCachedCursors = 25;
    // Decimal separator of numbers read as text (Field::AsString of a DOUBLE column); start-up sets
    // it from the process's fixed number formats.
    char DecimalSeparator = ',';
};

} // namespace gs
