#pragma once
// The text of a PDF as poppler's pdftotext reads it (layout kept), one string per page.
#include <filesystem>
#include <string>
#include <vector>

namespace gs::test {

std::vector<std::string> PdfPages(const std::filesystem::path& pdf);
// How often needle occurs in text.
int CountOccurrences(const std::string& text, const std::string& needle);

} // namespace gs::test
