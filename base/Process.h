#pragma once
// Starting another program without waiting for it: the output processors (by the spooler), the
// desktop's opener for a finished PDF or CSV. The program runs in a session of its own with its
// standard streams on /dev/null; a short-lived child starts it and ends at once, so the program is
// adopted by init and no zombie of this process stays behind.
//
// How it fails: false when the process cannot be forked or the program cannot be found or
// executed (the short-lived child reports that through its exit status). Never raises.
#include <filesystem>
#include <string>
#include <vector>

namespace gs {

// argv[0] is the program: a path, or a name looked up on PATH. workDir empty: the current one.
bool StartDetached(const std::vector<std::string>& argv, const std::filesystem::path& workDir = {});

// Runs a program with its standard streams on /dev/null and waits for it at most timeoutMs: its exit
// status (0 success), 127 when it cannot be started, 128 + the signal when a signal ended it, or -1
// when it still runs at the time-out (it is left running then, as an opener that became the viewer).
int RunAndWait(const std::vector<std::string>& argv, int timeoutMs);

// Gives the process a private runtime directory (XDG_RUNTIME_DIR) before a Qt application is made:
// where none is set, or the one set is no folder of this user's with mode 0700, it becomes
// "/tmp/runtime-<user id>", made with mode 0700 when missing. Qt then neither warns on every start
// nor shares its sockets with other users. Leaves a usable setting alone; never raises.
void PreparePrivateRuntimeDirectory();

// Dates in Qt's own dialogs in German (the file dialog's "Änderungsdatum" column reads the system
// locale's time category): sets LC_TIME to de_DE.UTF-8 before a Qt application is made, unless the
// user chose LC_ALL or LC_TIME. Numbers are not touched: the module formats its own. Never raises.
void PrepareGermanDates();

} // namespace gs
