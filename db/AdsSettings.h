#pragma once
// Client settings of the database engine, set once at start. Plain data: the layer itself reads
// none of them (dates are always day numbers, text forms DD.MM.YYYY).
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
};

} // namespace gs
