#include "app/Startup.h"
#include "app/ProcessObjects.h"

#include "base/Dialogs.h"
#include "base/Error.h"
#include "base/FormatFloat.h"
#include "app/Runtime.h"
#include "base/Text.h"
#include "base/IniFile.h"
#include "settings/ServerTimeouts.h"
#include "settings/Settings.h"
#include "settings/SettingsLoad.h"
#include "spool/ExtSpooler.h"

namespace gs {

HostIdentity ReadHostIdentity(const Runtime& runtime)
{
    HostIdentity id;
    const bool read = Guarded("TOVIK.INI host identity", [&] {
        IniFile ini(runtime.besideProgram("TOVIK.INI"));
        const std::string host = ini.ReadString("OTHER", "GLOBAL1", "");
        const std::string maker = ini.ReadString("OTHER", "GLOBAL2", "");
        if (!host.empty())
            id.HostName = host;
        if (!maker.empty())
            id.MakerName = maker;
    });
    if (!read)
        id = HostIdentity{};
    return id;
}

DatabaseSession::DatabaseSession()
    : Table_ORDERS(&AdsConnection, "Auftraege.ADT"), AdsTableSettings(&AdsConnection, "setup.ADT")
{
    AdsConnection.SetLoginPrompt(true);
}

void DatabaseSession::ConnectDatabase(bool connect, const std::string& path, const std::string& serverKind)
{
    if (!connect)
        return;
    AdsConnection.SetIsConnected(false);
    // The database layer shows numbers as text in the process's fixed number format.
    AdsSettingsmain.DecimalSeparator = CurrentFormats().decimalSeparator;
    AdsConnection.SetDecimalSeparator(AdsSettingsmain.DecimalSeparator);
    AdsConnection.SetAdsServerTypes(serverKind == "1" ? TAdsServerTypes{stADS_LOCAL} : TAdsServerTypes{stADS_REMOTE});
    AdsConnection.SetConnectPath(path);
    // The time-outs toward a database server come from TOVIK.INI beside the program; the cancel
    // flag stays the one its owner gave.
    if (const Runtime* runtime = Runtime::currentOrNull()) {
        ads::ServerLimits limits = ReadServerTimeouts(runtime->besideProgram("TOVIK.INI"));
        limits.cancel = AdsConnection.Limits().cancel;
        AdsConnection.SetServerLimits(limits);
    }
    AdsConnection.SetIsConnected(true);
    if (AdsConnection.IsConnected()) {
        // The host's tables are only read: opened so that reading never writes their files.
        Table_ORDERS.SetReadOnly(true);
        AdsTableSettings.SetReadOnly(true);
        Table_ORDERS.Open();
        AdsTableSettings.SetIndexName("IDENT");
        AdsTableSettings.Open();
    }
}

std::string StartFailureText(const HostIdentity& host, const std::string& cause)
{
    return "Das Programm kann nur von " + host.HostName + " aus gestartet werden<BR>" + PossibleErrorPrefix + cause;
}

bool ConnectForStart(DatabaseSession& session, const CommandLine& commandLine, const HostIdentity& host,
                     const std::function<void(const std::string&)>& setCaption)
{
    return HandleOrdinaryError([&] {
        if (setCaption)
            setCaption("Verbindung zur Datenbank aufbauen....");
        if (commandLine.position(1).empty() || commandLine.position(2).empty() || commandLine.position(3).empty()) {
            ShowMessageBox("Starten Sie das Programm über zusätzlich > Gewinnstatistik.");
            return false;
        }
        int release = 0;
        const std::string releaseText = commandLine.position(3);
        if (!TryParseInt32(releaseText, release) || releaseText.find_first_of("$xX") != std::string::npos)
            release = 0;
        if (release < MinimumHostRelease) {
            ShowMessageBox("Das Programm benötigt mindestens " + host.HostName + " , Release " +
                           std::to_string(MinimumHostRelease));
            return false;
        }
        session.ConnectDatabase(true, commandLine.position(1), commandLine.position(2));
        if (!session.AdsConnection.IsConnected()) {
            session.AdsConnection.SetIsConnected(false);
            ShowMessageBox("Verbindung zur Datenbank konnte nicht aufgebaut werden.");
            return false;
        }
        return true;
    }, [&](const std::exception& e) {
        // The host's message stays as the user knows it; the cause follows on its own line.
        ShowMessageBox(StartFailureText(host, e.what()));
        return false;
    });
}

void CompleteStart(Runtime& runtime, DatabaseSession& session,
                   const std::function<void(const std::string&)>& setCaption, bool attachSpooler)
{
    if (!runtime.settings)
        CreateSettings(runtime);
    LoadSettings(*runtime.settings, session.AdsTableSettings);
    SetDatabasePath(*runtime.settings, session.AdsConnection.ShownPath());
    if (runtime.spooler && attachSpooler) {
        runtime.spooler->AttachConnection(session.AdsConnection);
        runtime.spooler->EnsureSpoolTables(false);
    }
    if (setCaption)
        setCaption("Datenbank: " + session.AdsConnection.ShownPath());
}

} // namespace gs
