#pragma once
// Errors of the module. Every operation that fails raises an error carrying a text; window-level
// handlers catch them and show the text. "Ordinary run-time errors" are everything derived from
// std::exception except resource exhaustion (std::bad_alloc), which passes through the handlers
// that only swallow ordinary errors.
//
// The guards. Every block that may swallow or handle an error goes through one of two helpers, so
// the rule "only ordinary errors; everything else passes" lives in one place:
// - Guarded(site, body): for loaders of optional data (blobs, extended information, INI files,
//   settings items, the skin). An ordinary error ends the body silently (values keep what they had
//   reached), is traced (below) and makes Guarded return false, so a caller can fall back.
// - HandleOrdinaryError(body, handler): for the places that report the error (a message box, a
//   run's result, another error). The handler gets the error and gives the body's result type.
// An error that is not ordinary (std::bad_alloc, or anything not derived from std::exception)
// passes both unchanged.
//
// The trace. A swallowed error would otherwise leave no sign: a developer looking at a settings
// value that kept its default could not tell a missing item from an unreadable one. The module
// writes no log file (the skin's debug output is its only diagnostic file), so Guarded hands a
// swallowed error to two places, both passive:
// - the ErrorTrace of the innermost ErrorTraceScope open on this thread, if any. LoadSettings opens
//   one on TSettings::LoadTrace, so a test, a debugger or a tool reads what the load swallowed;
//   any other caller may open its own scope around the loaders it runs.
// - standard error, one line per error, when the environment variable GS_ERROR_TRACE is set to
//   anything but "" or "0": for a developer running a program from a terminal. Users see nothing.
// Guard sites are passed as literals (GuardSite); nothing is formatted until an error is traced, so
// guards inside the per-document loop cost nothing while nothing fails. A trace keeps at most
// ErrorTrace::Capacity entries and counts the rest, so a table full of damaged rows cannot make it
// grow without bound.
#include <cstddef>
#include <exception>
#include <new>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace gs {

// A cause the system reported (an errno value), in German where the program knows it, with the
// system's own text after it: "Kein Speicherplatz auf dem Gerät (No space left on device)". 0 gives
// "unbekannter Fehler".
std::string SystemErrorText(int error);

class Error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A text that cannot be converted to a number or a date.
class ConvertError : public Error {
public:
    using Error::Error;
};

// True for errors the module's guarded blocks may swallow.
inline bool isOrdinaryError(const std::exception& e)
{
    return dynamic_cast<const std::bad_alloc*>(&e) == nullptr;
}

// --- traces of swallowed errors ------------------------------------------------------------------

// Where a guard stands, as its trace names it: a text and, where it helps, a number put right
// after it ({"setup.ADT item ", 21003} reads "setup.ADT item 21003"). It only refers to the text,
// which must outlive the guard's call (a literal, a column's name).
struct GuardSite {
    GuardSite(const char* text) : text(text) {}
    GuardSite(std::string_view text) : text(text) {}
    GuardSite(const std::string& text) : text(text) {}
    GuardSite(std::string_view text, long long number) : text(text), number(number), hasNumber(true) {}
    std::string Text() const;

    std::string_view text;
    long long number = 0;
    bool hasNumber = false;
};

struct TracedError {
    std::string where; // the guard site
    std::string what;  // the error's own text
    bool operator==(const TracedError&) const = default;
};

class ErrorTrace {
public:
    static constexpr std::size_t Capacity = 200;

    void Add(std::string where, std::string what);
    void Clear();
    bool Empty() const { return entries_.empty() && dropped_ == 0; }
    const std::vector<TracedError>& Entries() const { return entries_; }
    std::size_t Dropped() const { return dropped_; } // errors beyond Capacity, counted only
    // One line "where: what" per entry, and a last line with the count of dropped ones.
    std::string Text() const;

private:
    std::vector<TracedError> entries_;
    std::size_t dropped_ = 0;
};

// While it lives, the errors that Guarded swallows on this thread go into `trace` (and into no
// scope opened before it); its end makes the scope before it current again. Scopes nest strictly.
class ErrorTraceScope {
public:
    explicit ErrorTraceScope(ErrorTrace& trace);
    ~ErrorTraceScope();
    ErrorTraceScope(const ErrorTraceScope&) = delete;
    ErrorTraceScope& operator=(const ErrorTraceScope&) = delete;

private:
    ErrorTrace* previous_;
};

// Records one swallowed error in the current scope and, when GS_ERROR_TRACE asks for it, on
// standard error. Guarded calls it; a handler that falls back silently may call it too.
void TraceSwallowedError(const GuardSite& site, const std::exception& e);

// --- the guards ----------------------------------------------------------------------------------

// Runs body; true when it finished, false when an ordinary error ended it (that error is traced
// under site and swallowed). Other errors pass.
template <typename Body>
bool Guarded(const GuardSite& site, Body&& body)
{
    try {
        body();
        return true;
    } catch (const std::exception& e) {
        if (!isOrdinaryError(e))
            throw;
        TraceSwallowedError(site, e);
        return false;
    }
}

// Runs body and gives its result; when an ordinary error ends it, gives handler(error) instead.
// Other errors, and errors the handler raises, pass.
template <typename Body, typename Handler>
auto HandleOrdinaryError(Body&& body, Handler&& handler) -> decltype(body())
{
    try {
        return body();
    } catch (const std::exception& e) {
        if (!isOrdinaryError(e))
            throw;
        return handler(e);
    }
}

} // namespace gs
