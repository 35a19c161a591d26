#include "base/Error.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace gs {

std::string SystemErrorText(int error)
{
    if (error == 0)
        return "unbekannter Fehler";
    const char* german = nullptr;
    switch (error) {
    case ENOENT: german = "Datei oder Ordner nicht gefunden"; break;
    case EACCES:
    case EPERM: german = "Keine Berechtigung"; break;
    case ENOSPC: german = "Kein Speicherplatz auf dem Gerät"; break;
    case EDQUOT: german = "Speicherkontingent überschritten"; break;
    case EROFS: german = "Schreibgeschütztes Dateisystem"; break;
    case EISDIR: german = "Ist ein Ordner"; break;
    case ENOTDIR: german = "Ist kein Ordner"; break;
    case EEXIST: german = "Datei existiert bereits"; break;
    case EBUSY: german = "Gerät oder Ressource belegt"; break;
    case ETXTBSY: german = "Programmdatei wird benutzt"; break;
    case EIO: german = "Ein-/Ausgabefehler"; break;
    case ENAMETOOLONG: german = "Dateiname zu lang"; break;
    case EMFILE:
    case ENFILE: german = "Zu viele offene Dateien"; break;
    case ENOMEM: german = "Nicht genügend Speicher"; break;
    case ELOOP: german = "Zu viele Ebenen symbolischer Verknüpfungen"; break;
    case EXDEV: german = "Verschieben über Dateisystemgrenzen nicht möglich"; break;
    case EPIPE: german = "Der Empfänger der Ausgabe ist beendet"; break;
    case EFBIG: german = "Datei zu groß"; break;
    case ENXIO: german = "Kein solches Gerät"; break;
    default: break;
    }
    const std::string system = std::strerror(error);
    return german ? std::string(german) + " (" + system + ")" : system;
}

namespace {

thread_local ErrorTrace* currentTrace = nullptr;

// Read at every traced error, not cached: errors are rare, and a test may switch it.
bool EchoRequested()
{
    const char* value = std::getenv("GS_ERROR_TRACE");
    return value != nullptr && *value != '\0' && std::strcmp(value, "0") != 0;
}

} // namespace

std::string GuardSite::Text() const
{
    std::string s(text);
    if (hasNumber)
        s += std::to_string(number);
    return s;
}

void ErrorTrace::Add(std::string where, std::string what)
{
    if (entries_.size() >= Capacity) {
        ++dropped_;
        return;
    }
    entries_.push_back({std::move(where), std::move(what)});
}

void ErrorTrace::Clear()
{
    entries_.clear();
    dropped_ = 0;
}

std::string ErrorTrace::Text() const
{
    std::string s;
    for (const TracedError& e : entries_)
        s += e.where + ": " + e.what + "\n";
    if (dropped_ > 0)
        s += "(" + std::to_string(dropped_) + " more not kept)\n";
    return s;
}

ErrorTraceScope::ErrorTraceScope(ErrorTrace& trace) : previous_(currentTrace) { currentTrace = &trace; }

ErrorTraceScope::~ErrorTraceScope() { currentTrace = previous_; }

void TraceSwallowedError(const GuardSite& site, const std::exception& e)
{
    const bool echo = EchoRequested();
    if (currentTrace == nullptr && !echo)
        return;
    std::string where = site.Text();
    if (echo)
        std::fprintf(stderr, "Gewinn-Statistik: swallowed error at %s: %s\n", where.c_str(), e.what());
    if (currentTrace != nullptr)
        currentTrace->Add(std::move(where), e.what());
}

} // namespace gs
