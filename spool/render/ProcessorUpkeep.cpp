#include "spool/render/ProcessorUpkeep.h"

#include <malloc.h>

#include "base/Error.h"
#include "base/FindFile.h"
#include "base/Text.h"
#include "spool/SpoolTables.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace gs {

namespace {

// "<anything>.PDF.tmp<pid>" whose process is gone.
bool IsPdfLeftover(const std::string& name)
{
    const size_t at = name.rfind(".tmp");
    if (at == std::string::npos || at < 4 || name.compare(at - 4, 4, ".PDF") != 0)
        return false;
    const std::string digits = name.substr(at + 4);
    int pid = 0;
    if (digits.empty() || digits.size() > 9 || !TryParseInt32(digits, pid) || pid <= 0)
        return false;
    return !(::kill(pid, 0) == 0 || errno == EPERM);
}

int RemoveIn(const std::filesystem::path& dir, int depth)
{
    int removed = 0;
    std::error_code ec;
    for (std::filesystem::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        const auto type = it->symlink_status(ec).type();
        if (type == std::filesystem::file_type::directory && depth > 0) {
            removed += RemoveIn(it->path(), depth - 1);
        } else if (type == std::filesystem::file_type::regular && IsPdfLeftover(it->path().filename().string())) {
            std::error_code rc;
            if (std::filesystem::remove(it->path(), rc))
                ++removed;
        }
    }
    return removed;
}

std::string TableProblem(const std::filesystem::path& spoolDir, const char* table, bool& present)
{
    const std::filesystem::path file = FindFileNoCase(spoolDir, table);
    struct stat st {};
    present = false;
    if (::lstat(file.c_str(), &st) != 0)
        return errno == ENOENT ? std::string(table) + " fehlt" : std::string(table) + ": " + SystemErrorText(errno);
    present = true;
    if (S_ISDIR(st.st_mode))
        return std::string(table) + " ist ein Verzeichnis, keine Tabelle";
    if (!S_ISREG(st.st_mode))
        return std::string(table) + " ist keine gewöhnliche Datei";
    if (::access(file.c_str(), R_OK | W_OK) != 0)
        return std::string(table) + ": " + SystemErrorText(errno);
    return {};
}

} // namespace

std::filesystem::path PrintTemporaryFolder(const std::filesystem::path& spoolDir) { return spoolDir / "DRUCKTMP"; }

int PreparePrintTemporaryFolder(const std::filesystem::path& spoolDir)
{
    const std::filesystem::path dir = PrintTemporaryFolder(spoolDir);
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    if (!std::filesystem::is_directory(dir, ec))
        return 0; // the print system's own folder then; the job's cause is logged when it fails
    ::chmod(dir.c_str(), 0700);
    ::setenv("TMPDIR", dir.c_str(), 1);
    int removed = 0;
    for (std::filesystem::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code rc;
        if (it->symlink_status(rc).type() != std::filesystem::file_type::directory &&
            std::filesystem::remove(it->path(), rc))
            ++removed;
    }
    return removed;
}

int RemovePdfLeftovers(const std::filesystem::path& pdfBase)
{
    if (pdfBase.empty())
        return 0;
    return RemoveIn(pdfBase, 2);
}

std::string SpoolTablesProblem(const std::filesystem::path& spoolDir)
{
    bool spoolThere = false, detailThere = false;
    const std::string spool = TableProblem(spoolDir, SpoolTableName, spoolThere);
    const std::string detail = TableProblem(spoolDir, DetailTableName, detailThere);
    if (!spoolThere && !detailThere && spool.ends_with("fehlt") && detail.ends_with("fehlt"))
        return {};
    std::string problem = spool;
    if (!detail.empty())
        problem += (problem.empty() ? "" : "; ") + detail;
    return problem;
}

void KeepHeapForPages()
{
    mallopt(M_TRIM_THRESHOLD, 64 << 20);
    mallopt(M_TOP_PAD, 16 << 20);
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
}

} // namespace gs
