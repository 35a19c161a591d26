#pragma once
// The output spool's two tables, SPOOL.ADT (one row per print, PDF or mail job) and DET.ADT (one row
// per printed grid line), in the directory SPOOLER beside the program. They are a file format
// shared with the output processors: fields in this exact order, spelling and declared type, and
// the index tags ID, PRIO, ISMAIL, COMPUTER (SPOOL) and ID, IDMAIN (DET) in each file's ads_index
// with SQL indexes behind them.
//
// Who uses it: the output spooler (TExtSpooler) before every job and once at start, the output
// processors, tests and tools that need an empty spool.
//
// Failures: CreateSpoolTables raises gs::Error (AdsError) when a table cannot be created; the
// helpers below never raise.
#include "db/AdsTypes.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace gs {

class ProcessContext;

inline constexpr const char* SpoolTableName = "SPOOL.ADT";
inline constexpr const char* DetailTableName = "DET.ADT";
inline constexpr const char* SpoolDirectoryName = "SPOOLER";
// Subdirectory of the spool directory where the PDF processor leaves a marker for every finished
// PDF (the print dialog waits for it).
inline constexpr const char* PdfMarkerDirectoryName = "PDFX";

// Tables that grow past this size are compacted at the next start.
inline constexpr std::int64_t SpoolCompactionSize = 10'000'000;

// Number of the cell and caption fields: d1..d15, h1..h15, hw1..hw15, aligh1..15, aligd1..15.
inline constexpr int SpoolMaxColumns = 15;

// Job kinds, as the PRIO a finished job gets; 0 marks a job that is still being written.
inline constexpr int PrioUnfinished = 0;
inline constexpr int PrioPrint = 2;
inline constexpr int PrioMail = 5;
inline constexpr int PrioPdf = 560;
// A job its processor gave up on after failed attempts keeps its row with the PRIO negated (-2,
// -560): no processor takes it, nothing of it is lost, and the next job of the same kind the
// spooler writes sets it back (the user printing again tries it again).
inline constexpr int HeldPrio(int prio) { return -prio; }
// The folder beside the spool tables where a processor leaves a report for each job it could not
// output ("<ID>.TXT", UTF-8: the cause) or whose PDF it wrote but could not open ("<ID>.OFFEN"), for
// the window that spooled it to show.
inline constexpr const char* JobReportDirectoryName = "MELDUNG";
inline constexpr const char* JobReportFailedSuffix = ".TXT";
inline constexpr const char* JobReportOpenSuffix = ".OFFEN";

// The fields of DET.ADT and SPOOL.ADT in table order, and their index tags in creation order.
const std::vector<AdsFieldDef>& DetailTableFields();
const std::vector<AdsIndexDef>& DetailTableIndexes();
const std::vector<AdsFieldDef>& SpoolTableFields();
const std::vector<AdsIndexDef>& SpoolTableIndexes();

// SPOOLER below the program's directory (not created here).
std::filesystem::path SpoolDirectory(const ProcessContext& runtime);

// Creates DET.ADT, then SPOOL.ADT in dir (created with its parents when missing). Without force an
// existing table is left exactly as it is and only missing ones are made. With force the existing
// table files are never deleted: they are moved aside (SetSpoolFilesAside) and fresh tables made,
// so that no waiting job is ever destroyed by a rebuild. Raises when a table cannot be created.
void CreateSpoolTables(const std::filesystem::path& dir, bool force);

// Moves the files of both tables (with their write-ahead logs) aside under names that carry the
// time, "SPOOL.ADT.20261210-130501.defekt", and returns the new names of the moved files. The
// tables must be closed. A file that cannot be moved is left and reported by an empty result path.
// The module's job record (JOBSTAND.DB) goes aside with them under the same stamp (not listed).
std::vector<std::filesystem::path> SetSpoolFilesAside(const std::filesystem::path& dir);

// True when the tables' files are damaged, so that only setting them aside and making fresh ones
// helps: one table without the other (fresh job numbers would meet old detail rows), or a file that
// is no table file or fails SQLite's quick check. Healthy files that merely could not be opened (a
// lock held too long) are not damaged. Neither file there: false.
bool SpoolFilesDamaged(const std::filesystem::path& dir);

// The size probe before the compaction: the size in bytes of the first of SPOOL.ADT, SPOOL's memo
// store, DET.ADT, DET's memo store that reaches SpoolCompactionSize, or of the last one; -1 for a
// missing file. This storage keeps memos and blobs inside the table file, so there is no separate
// memo file: what stands in its place is the table's write-ahead log, the rest of the table's
// bytes on disk.
std::int64_t ProbeSpoolSize(const std::filesystem::path& dir);

// Compacts one table file in place (SQLite's VACUUM): every row stays, the free pages go. The file
// must not be open in a transaction of this process. False (and the file unchanged) when it fails,
// for example because another program holds a transaction open.
bool CompactSpoolTable(const std::filesystem::path& file);

} // namespace gs
