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

// Gives the process a private runtime directory (XDG_RUNTIME_DIR) before a Qt application is made:
// where none is set, or the one set is no folder of this user's with mode 0700, it becomes
// "/tmp/runtime-<user id>", made with mode 0700 when missing. Qt then neither warns on every start
// nor shares its sockets with other users. Leaves a usable setting alone; never raises.
void PreparePrivateRuntimeDirectory();

} // namespace gs
