#pragma once
// Where the PDF of a spooled job goes, in one place for the spooler (which writes the job and
// tells the user) and the PDF processor (which writes the file):
//     PDF base directory / database folder / job subfolder / print name [+ order number] ".PDF"
// The base directory is PDF/BackupDir of TOVIK.INI, the database folder comes from the job's X5
// field, the job subfolder (SubPath) from the spooler's job name.
//
// Pure text and path work: nothing here touches the disk or raises.
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

} // namespace gs
