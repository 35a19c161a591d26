#include "base/AtomicFile.h"

#include "base/Error.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace gs {

namespace {

[[noreturn]] void Fail(const std::filesystem::path& file, const char* what, int err)
{
    throw Error("Die Datei " + file.string() + " konnte nicht geschrieben werden (" + what + ": " +
                SystemErrorText(err) + ")");
}

// Closes the descriptor and removes the temporary file unless released.
struct TempFile {
    std::string name;
    int fd = -1;
    ~TempFile()
    {
        if (fd >= 0)
            ::close(fd);
        if (!name.empty())
            ::unlink(name.c_str());
    }
};

// Writes the bytes over the file itself (same inode, so owner and mode stay), then cuts it to
// their length. Only for files whose owner the replacement could not carry over.
void RewriteInPlace(const std::filesystem::path& file, const std::filesystem::path& target, std::string_view bytes)
{
    const int fd = ::open(target.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0)
        Fail(file, "öffnen", errno);
    TempFile guard; // closes the descriptor on every way out; no name, so nothing is removed
    guard.fd = fd;
    const char* p = bytes.data();
    size_t left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            Fail(file, "schreiben", errno);
        }
        p += n;
        left -= static_cast<size_t>(n);
    }
    if (::ftruncate(fd, static_cast<off_t>(bytes.size())) != 0)
        Fail(file, "kürzen", errno);
    if (::fsync(fd) != 0)
        Fail(file, "fsync", errno);
    guard.fd = -1;
    if (::close(fd) != 0)
        Fail(file, "schließen", errno);
}

} // namespace

void WriteFileAtomically(const std::filesystem::path& file, std::string_view bytes)
{
    std::filesystem::path target = file;
    std::error_code ec;
    if (std::filesystem::is_symlink(target, ec)) {
        const auto resolved = std::filesystem::canonical(target, ec);
        if (!ec)
            target = resolved;
    }
    struct stat old {};
    const bool exists = ::stat(target.c_str(), &old) == 0;
    // A file the user may not write, or one marked read-only (no write permission for anyone), is
    // not replaced: renaming over it would bypass exactly that protection (even for root).
    if (exists && (::access(target.c_str(), W_OK) != 0 || (old.st_mode & 0222) == 0))
        Fail(file, "schreibgeschützt", errno == 0 || (old.st_mode & 0222) == 0 ? EACCES : errno);

    // A fresh name beside the target; O_EXCL so that nothing else is ever overwritten.
    static std::atomic<unsigned> counter{0};
    TempFile tmp;
    const std::filesystem::path dir = target.parent_path();
    for (int attempt = 0;; ++attempt) {
        const auto stamp = static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count());
        std::string leaf(1, '.');
        leaf += target.filename().string();
        leaf += ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(counter++) + "-" +
                std::to_string(stamp % 1000000);
        tmp.name = (dir.empty() ? std::filesystem::path(leaf) : dir / leaf).string();
        tmp.fd = ::open(tmp.name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (tmp.fd >= 0)
            break;
        const int err = errno;
        tmp.name.clear();
        if (err != EEXIST || attempt >= 100)
            Fail(file, "temporäre Datei", err);
    }
    if (exists && ::fchmod(tmp.fd, old.st_mode & 07777) != 0 && errno != EPERM)
        Fail(file, "Rechte", errno);
    // The replacement keeps the file's owner and group; where this process may not give them away,
    // the file is written over in place instead, which keeps them by itself.
    if (exists && (old.st_uid != ::geteuid() || old.st_gid != ::getegid()) &&
        ::fchown(tmp.fd, old.st_uid, old.st_gid) != 0) {
        RewriteInPlace(file, target, bytes);
        return;
    }

    const char* p = bytes.data();
    size_t left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(tmp.fd, p, left);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            Fail(file, "schreiben", errno);
        }
        p += n;
        left -= static_cast<size_t>(n);
    }
    if (::fsync(tmp.fd) != 0)
        Fail(file, "fsync", errno);
    const int fd = tmp.fd;
    tmp.fd = -1;
    if (::close(fd) != 0)
        Fail(file, "schließen", errno);
    if (::rename(tmp.name.c_str(), target.c_str()) != 0)
        Fail(file, "umbenennen", errno);
    tmp.name.clear();

    // Make the new directory entry durable as well (best effort).
    const int dirFd = ::open(dir.empty() ? "." : dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        ::fsync(dirFd);
        ::close(dirFd);
    }
}

} // namespace gs
