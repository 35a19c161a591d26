#include "app/WindowChoices.h"

#include "settings/UserMode.h"

namespace gs {

int ReadFiscalStartMonth()
{
    const int month = ReadModeInteger(FiscalStartKey, 1);
    return month >= 1 && month <= 12 ? month : 1;
}

void WriteFiscalStartMonth(int month) { WriteModeInteger(FiscalStartKey, month >= 1 && month <= 12 ? month : 1); }

bool ReadPreviousYearShown() { return ReadModeBool(PreviousYearKey, false); }

void WritePreviousYearShown(bool shown) { WriteModeBool(PreviousYearKey, shown); }

} // namespace gs
