#pragma once
// What an output processor tidies and checks before it takes jobs:
// - the PDF processor removes the temporary PDFs ("<name>.PDF.tmp<pid>") that a killed PDF
//   processor left in the PDF folder tree (the folder, its database folders and their job
//   subfolders), when the process of that ID no longer runs; nothing else is touched;
// - the print processor has the print system's temporary files made in a folder of its own in the
//   spool (PrintTemporaryFolder), not in /tmp, and empties it at its start: the files hold customer
//   data and are only needed until the print system has taken the job;
// - the spool's tables are checked for what makes them unusable (one of them missing, a folder or
//   something else where a table file belongs, no permission), so that the cause can be logged.
//
// Called with the processor's lock held (spool/ProcessorContract.h): no other processor of the
// same kind works in these folders then. Nothing here raises.
#include <filesystem>
#include <string>

namespace gs {

// SPOOLER/DRUCKTMP.
std::filesystem::path PrintTemporaryFolder(const std::filesystem::path& spoolDir);

// Creates the print folder and has this process make its temporary files there (TMPDIR, which the
// print system and Qt both follow); removes every file left in it. Returns what was removed.
int PreparePrintTemporaryFolder(const std::filesystem::path& spoolDir);

// Removes the PDF processor's leftovers below pdfBase (at most two folder levels deep); returns
// how many.
int RemovePdfLeftovers(const std::filesystem::path& pdfBase);

// Lets the heap keep what a page of a PDF or a print job needs between pages: without it every page
// gives its drawing buffers back to the system and takes them anew, which cost about a quarter of a
// long job's CPU time. The heap then stays at its largest page's size (a few MB). Called once at a
// processor's start.
void KeepHeapForPages();

// Why the spool tables in spoolDir cannot be used (German, with the system's cause); empty when
// both are usable or neither is there yet (a spool nobody has written to).
std::string SpoolTablesProblem(const std::filesystem::path& spoolDir);

} // namespace gs
