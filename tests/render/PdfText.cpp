#include "PdfText.h"

#include <cstdio>
#include <stdexcept>

namespace gs::test {

std::vector<std::string> PdfPages(const std::filesystem::path& pdf)
{
    const std::string command = "pdftotext -layout -enc UTF-8 '" + pdf.string() + "' - 2>&1";
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe)
        throw std::runtime_error("pdftotext cannot be started");
    std::string text;
    char buf[65536];
    size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, pipe)) > 0)
        text.append(buf, n);
    if (::pclose(pipe) != 0)
        throw std::runtime_error("pdftotext failed: " + text);
    std::vector<std::string> pages;
    size_t start = 0;
    for (size_t ff; (ff = text.find('\f', start)) != std::string::npos; start = ff + 1)
        pages.push_back(text.substr(start, ff - start));
    return pages;
}

int CountOccurrences(const std::string& text, const std::string& needle)
{
    int count = 0;
    for (size_t p = text.find(needle); p != std::string::npos; p = text.find(needle, p + needle.size()))
        ++count;
    return count;
}

} // namespace gs::test
