#pragma once
// A list as a PDF file (PDF/A-1b, the archivable form, with the fonts embedded).
//
// The file is written under a temporary name in the target's directory and renamed over the
// target only when it is complete and flushed to the disk: a failed or interrupted run (full disk,
// a row source that fails) never leaves a truncated PDF under the target's name.
//
// The temporary name is "<file name>.tmp<pid>" (PdfTemporaryName); one that a killed process left
// is removed by the next PDF processor at its start. An existing target that is not a regular file
// (a link, a pipe, a device, a folder) is refused, never replaced.
//
// Used by the PDF processor and the report command. Needs a QGuiApplication. Raises gs::Error
// naming the file and the reason with the system's cause (folder missing or not writable, disk
// full, rendering failed).
#include "spool/render/ListRenderer.h"

#include <filesystem>
#include <string>

namespace gs {

// "<file name>.tmp<pid>": the name the PDF is written under until it is complete.
std::string PdfTemporaryName(const std::filesystem::path& file, long pid);

// jobMark: a spooled job's mark (the processor's token of the attempt), written into the PDF's
// metadata as part of its creator ("Gewinn-Statistik, Auftrag <mark>"), so that a file found after
// an interruption can be told to be this job's complete output; empty: none.
RenderResult WriteListPdf(const ListDescription& list, const ListPrint& print, ListRowSource& rows,
                           const std::filesystem::path& file, const std::string& jobMark = {});

// True when file is a complete PDF (it ends with its end-of-file marker) whose metadata carries the
// job's mark. Never raises.
bool PdfCarriesJobMark(const std::filesystem::path& file, const std::string& jobMark);

// The PDF straight into an open file descriptor (standard output); name is what messages call it
// ("Die Standardausgabe"). Raises gs::Error with the system's cause when a write fails.
RenderResult WriteListPdfToStream(const ListDescription& list, const ListPrint& print, ListRowSource& rows, int fd,
                                  const std::string& name);

} // namespace gs
