#pragma once
// A list as a PDF file (PDF/A-1b, the archivable form, with the fonts embedded).
//
// The file is written under a temporary name in the target's directory and renamed over the
// target only when it is complete and flushed to the disk: a failed or interrupted run (full disk,
// a row source that fails) never leaves a truncated PDF under the target's name.
//
// Used by the PDF processor and the report command. Needs a QGuiApplication. Raises gs::Error
// naming the file and the reason (directory missing or not writable, disk full, rendering failed).
#include "spool/render/ListRenderer.h"

#include <filesystem>

namespace gs {

RenderResult WriteListPdf(const ListDescription& list, const ListPrint& print, ListRowSource& rows,
                           const std::filesystem::path& file);

} // namespace gs
