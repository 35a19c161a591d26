#pragma once
// Where the PDF of a spooled job goes, in one place for the spooler (which writes the job and
// tells the user) and the PDF processor (which writes the file):
//     PDF base directory / database folder / job subfolder / print name [+ order number] ".PDF"
// The base directory is PDF/BackupDir of TOVIK.INI, the database folder comes from the job's X5
// field, the job subfolder (SubPath) from the spooler's job name.
//
// Every job has a PDF name of its own: the print name's file name with the job's ID before ".PDF"
// ("GEWINN-10_12_2026_13_05_09-123.PDF"), and a counter after it when a file of that name is already
// there ("...-123_2.PDF"). The spooler stores the whole path it announced in the job (DESTADRESS of
// a PDF job); the processor writes that path and no other, after checking it against the job's own
// values, so that a spool row cannot send a PDF outside the PDF folder.
//
// Pure text and path work: nothing here touches the disk or raises.
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace gs {

// The 28 characters a job name loses and a PDF file name has replaced by "_":
// ? ä ü ö # + * ~ ! " § & ( ) [ ] { } : ; , = < > | space \ . /
bool IsPdfUnsafeCharacter(char32_t c);

// The job name without every unsafe character, with a trailing delimiter; empty for an empty result.
std::string PdfSubPath(std::string_view jobName);

// The print name, followed by the order number when it is above 0, with CR, LF and TAB removed and
// every unsafe character replaced by "_" (only ASCII letters are lowered for the comparison, so
// upper-case umlauts stay), then ".PDF".
std::string PdfFileName(std::string_view printName, long long idOrder);

// The database folder of a job: X5 from its fourth character on, at most 50 characters, trimmed.
std::string PdfFolderOfX5(std::string_view x5);

// Base directory + folder + subPath, each with a trailing delimiter.
std::string PdfDirectory(std::string_view backupDir, std::string_view folder, std::string_view subPath);

// The full path of a job's PDF from the values stored in its row.
std::string PdfPathOfJob(std::string_view backupDir, std::string_view x5, std::string_view subPath,
                         std::string_view printName, long long idOrder);

// The file name of a job's PDF: PdfFileName's name (cut to leave room on file systems with names of
// 255 bytes), a "-" unless it ends in "-" or "_", the job ID, "_<counter>" from counter 2 on, ".PDF".
std::string PdfJobFileName(std::string_view printName, long long idOrder, std::int64_t jobId, int counter = 1);

// Why a value of a spool row cannot be a folder name under the PDF folder; empty when it can.
// folder: the database folder of X5 (empty: none); subPath: SubPath, one name with its delimiter
// (empty: none). Refused: "." and "..", a separator inside the name, control characters, more than
// 255 bytes.
std::string PdfFolderProblem(std::string_view folder);
std::string PdfSubPathProblem(std::string_view subPath);

// What a processor needs of a PDF job to know its file.
struct PdfJobValues {
    std::int64_t id = 0;
    std::string x5;
    std::string subPath;
    std::string printName;
    long long idOrder = 0;
    std::string announced; // the path the spooler announced and stored; empty for a job without one
};

struct PdfTarget {
    std::filesystem::path file;       // where the PDF goes
    std::filesystem::path baseDir;    // the PDF folder it lies under (must exist; below it may be made)
    std::string problem;              // why the job is refused (German); file is then empty
};

// The file of a PDF job. A stored path is taken as it is when it is absolute, has no "." or ".."
// and ends in the job's own folder, subfolder and a file name made for this job ID; a job without
// one goes under backupDir (PDF/BackupDir of TOVIK.INI) with PdfJobFileName. Anything else is
// refused with the reason.
PdfTarget PdfTargetOfJob(const PdfJobValues& job, std::string_view backupDir);

} // namespace gs
