#pragma once
// Filling the settings object from the host's settings table, once after connecting.
#include "db/AdsTable.h"

namespace gs {

class TSettings;

// Fills the settings from the open settings table in the host's order of steps. When the table
// cannot be prepared, its access message is shown and the object keeps its values. The steps with
// a guard of their own keep what they reached when their reading fails and the load goes on; an
// error in any other step ends the load with "<B>Möglicher Fehler in der Datenbank:<BR></B>", the
// error text and "<BR>Führen Sie das Datenbankdienstprogramm aus.". The closing step (three-decimal
// switch restored, list paddings and defaults) runs however the load ends. Needs a current process context
// (number formats, dialogs, TOVIK.INI beside the program). What the guarded steps swallowed (with
// the loaders they call: second currency, TOVIK.INI, blobs) is kept in settings.LoadTrace.
void LoadSettings(TSettings& settings, TAdsTable& table);

} // namespace gs
