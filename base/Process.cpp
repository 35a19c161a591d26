#include "base/Process.h"

#include <cerrno>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace gs {

bool StartDetached(const std::vector<std::string>& argv, const std::filesystem::path& workDir)
{
    if (argv.empty())
        return false;
    // Everything the child needs is prepared before fork: between fork and exec only
    // async-signal-safe calls run.
    std::vector<char*> args;
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    const std::string dir = workDir.string();
    const pid_t child = ::fork();
    if (child < 0)
        return false;
    if (child == 0) {
        ::setsid();
        if (!dir.empty() && ::chdir(dir.c_str()) != 0)
            ::_exit(127);
        posix_spawn_file_actions_t actions;
        if (::posix_spawn_file_actions_init(&actions) != 0)
            ::_exit(127);
        for (int fd = 0; fd <= 2; ++fd)
            ::posix_spawn_file_actions_addopen(&actions, fd, "/dev/null", fd == 0 ? O_RDONLY : O_WRONLY, 0);
        pid_t program = 0;
        const int rc = ::posix_spawnp(&program, args[0], &actions, nullptr, args.data(), environ);
        ::_exit(rc == 0 ? 0 : 127);
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

int RunAndWait(const std::vector<std::string>& argv, int timeoutMs)
{
    if (argv.empty())
        return 127;
    // A short-lived child starts the program and waits for it; at the time-out the child ends and
    // the program, adopted by init, runs on without becoming a zombie of this process. Everything
    // the child needs is prepared before fork: between fork and exec only async-signal-safe calls.
    std::vector<char*> args;
    for (const std::string& a : argv)
        args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    constexpr int StillRunning = 254;
    const pid_t child = ::fork();
    if (child < 0)
        return 127;
    if (child == 0) {
        ::setsid();
        posix_spawn_file_actions_t actions;
        if (::posix_spawn_file_actions_init(&actions) != 0)
            ::_exit(127);
        for (int fd = 0; fd <= 2; ++fd)
            ::posix_spawn_file_actions_addopen(&actions, fd, "/dev/null", fd == 0 ? O_RDONLY : O_WRONLY, 0);
        pid_t program = 0;
        if (::posix_spawnp(&program, args[0], &actions, nullptr, args.data(), environ) != 0)
            ::_exit(127);
        const struct timespec step = {0, 20 * 1000 * 1000};
        for (int waited = 0; waited < timeoutMs; waited += 20) {
            int status = 0;
            const pid_t done = ::waitpid(program, &status, WNOHANG);
            if (done == program)
                ::_exit(WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status));
            ::nanosleep(&step, nullptr);
        }
        ::_exit(StillRunning);
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    if (!WIFEXITED(status))
        return 127;
    return WEXITSTATUS(status) == StillRunning ? -1 : WEXITSTATUS(status);
}

namespace {

bool IsPrivateDirectory(const char* path)
{
    struct stat st {};
    return path && *path && ::lstat(path, &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::getuid() &&
           (st.st_mode & 0777) == 0700;
}

} // namespace

void PreparePrivateRuntimeDirectory()
{
    if (IsPrivateDirectory(std::getenv("XDG_RUNTIME_DIR")))
        return;
    const std::string dir = "/tmp/runtime-" + std::to_string(::getuid());
    if (::mkdir(dir.c_str(), 0700) != 0 && errno != EEXIST)
        return;
    if (IsPrivateDirectory(dir.c_str()))
        ::setenv("XDG_RUNTIME_DIR", dir.c_str(), 1);
}

void PrepareGermanDates()
{
    const char* all = std::getenv("LC_ALL");
    const char* time = std::getenv("LC_TIME");
    if ((all && *all) || (time && *time))
        return;
    ::setenv("LC_TIME", "de_DE.UTF-8", 1);
}

} // namespace gs
