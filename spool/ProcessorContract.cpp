#include "spool/ProcessorContract.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <chrono>
#include <system_error>
#include <thread>

namespace gs {

namespace {

int OpenLockFile(const std::filesystem::path& file)
{
    return ::open(file.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
}

} // namespace

ProcessorInfo ProcessorFor(ProcessorKind kind)
{
    switch (kind) {
    case ProcessorKind::Print: return {"gewinnstatistik-printproc", "PRINTPROC.LCK", "PRINTPROC.CLOSE"};
    case ProcessorKind::Pdf: return {"gewinnstatistik-pdfproc", "PDFPROC.LCK", "PDFPROC.CLOSE"};
    }
    return {"", "", ""};
}

bool ProcessorRunning(const std::filesystem::path& spoolDir, ProcessorKind kind)
{
    const int fd = OpenLockFile(spoolDir / ProcessorFor(kind).lockFile);
    if (fd < 0)
        return false;
    const bool free = ::flock(fd, LOCK_EX | LOCK_NB) == 0;
    ::close(fd); // releases the trial lock
    return !free;
}

ProcessorLock::ProcessorLock(const std::filesystem::path& spoolDir, ProcessorKind kind)
    : file_(spoolDir / ProcessorFor(kind).lockFile)
{
    Acquire(0);
}

bool ProcessorLock::Acquire(int milliseconds)
{
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (fd_ < 0) {
        const int fd = OpenLockFile(file_);
        if (fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            fd_ = fd;
            break;
        }
        if (fd >= 0)
            ::close(fd);
        if (std::chrono::steady_clock::now() >= until)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return fd_ >= 0;
}

ProcessorLock::~ProcessorLock()
{
    if (fd_ >= 0)
        ::close(fd_);
}

bool RequestProcessorClose(const std::filesystem::path& spoolDir, ProcessorKind kind)
{
    const int fd = ::open((spoolDir / ProcessorFor(kind).closeRequest).c_str(), O_WRONLY | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0)
        return false;
    ::close(fd);
    return true;
}

bool TakeCloseRequest(const std::filesystem::path& spoolDir, ProcessorKind kind)
{
    std::error_code ec;
    return std::filesystem::remove(spoolDir / ProcessorFor(kind).closeRequest, ec);
}

SpoolWritersLock::SpoolWritersLock(const std::filesystem::path& spoolDir)
{
    fd_ = OpenLockFile(spoolDir / "WRITERS.LCK");
    if (fd_ >= 0 && ::flock(fd_, LOCK_SH) != 0) {
        ::close(fd_);
        fd_ = -1;
    }
}

SpoolWritersLock::~SpoolWritersLock()
{
    if (fd_ >= 0)
        ::close(fd_);
}

bool SpoolWritersLock::tryExclusive()
{
    if (fd_ < 0)
        return false;
    if (::flock(fd_, LOCK_EX | LOCK_NB) == 0)
        return true;
    // A failed conversion has already dropped the shared lock: take it again.
    ::flock(fd_, LOCK_SH);
    return false;
}

void SpoolWritersLock::share()
{
    if (fd_ >= 0)
        ::flock(fd_, LOCK_SH);
}

} // namespace gs
