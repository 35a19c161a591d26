#pragma once
// The start-up step the statistics window and the report command share: the host identity from
// TOVIK.INI, the command-line contract, the release check, the connection to the host database with
// its two tables, and the loading of the settings.
#include "base/Dialogs.h"
#include "db/AdsConnection.h"
#include "db/AdsSettings.h"
#include "db/AdsTable.h"

#include <functional>
#include <string>
#include <vector>

namespace gs {

class Runtime;

inline constexpr int MinimumHostRelease = 12229;

// The host product's identity, read once before the window exists.
struct HostIdentity {
    std::string HostName = "Kvelt";
    std::string MakerName = "Ambrel";
};

// OTHER/GLOBAL1 and OTHER/GLOBAL2 of TOVIK.INI beside the program; empty values and every failure
// keep the defaults. Never raises.
HostIdentity ReadHostIdentity(const Runtime& runtime);

// The command line as the host passes it: position 1 the database path, 2 the server kind ("1"
// local, any other text remote), 3 the host release; or "INSTALL" with an optional "SILENT".
struct CommandLine {
    std::vector<std::string> args; // position 1 is args[0]
    std::string position(size_t n) const { return n >= 1 && n <= args.size() ? args[n - 1] : std::string(); }
    bool isInstall() const { return position(1) == "INSTALL"; }
    bool isSilent() const { return position(2) == "SILENT"; }
};

// The database components the statistics window owns: the connection and the two tables.
class DatabaseSession {
public:
    DatabaseSession();
    TAdsSettings AdsSettingsmain;
    TAdsConnection AdsConnection;
    TAdsTable Table_ORDERS;       // Auftraege.ADT
    TAdsTable AdsTableSettings;   // setup.ADT, index IDENT

    // (Re)connects to the path with the server kind ("1" local, otherwise remote) and opens the
    // orders table, then the settings table. Does nothing when connect is false.
    void ConnectDatabase(bool connect, const std::string& path, const std::string& serverKind);
};

// The host's message for a start that failed, with its cause: "Das Programm kann nur von Kvelt aus
// gestartet werden", then "<B>Möglicher Fehler:</B><BR>" and the cause on a line of its own.
std::string StartFailureText(const HostIdentity& host, const std::string& cause);

// The checked part of the start-up: shows "Verbindung zur Datenbank aufbauen....", checks the
// command line and the release, connects and opens the two tables (read-only). Every failure shows
// its message through the dialog seam and returns false: the caller then closes. An error while
// connecting or opening shows the host's "Das Programm kann nur von ... aus gestartet werden" with
// its cause on a line of its own ("<B>Möglicher Fehler:</B><BR>" + the error's text).
bool ConnectForStart(DatabaseSession& session, const CommandLine& commandLine, const HostIdentity& host,
                     const std::function<void(const std::string&)>& setCaption);

// The rest of the start-up after a successful connect: loads the settings object of the runtime
// from the settings table, gives it the database path, gives the output spooler (when the runtime
// has one and attachSpooler is set) the connection and lets it check its tables, and sets the
// caption "Datenbank: <path>" (a connection string without its password). Errors are not caught here; they go to the caller's default error
// display.
void CompleteStart(Runtime& runtime, DatabaseSession& session,
                   const std::function<void(const std::string&)>& setCaption, bool attachSpooler = true);

} // namespace gs
