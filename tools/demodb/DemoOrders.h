#pragma once
// The documents of the demo database: rows of Auftraege.ADT spread over the chosen years, over every
// document type and status code, with extended information (profit, commission) in EXTB,
// additional info lines in Endtext and the texts and blobs the host keeps with a document.
#include <cstdint>
#include <filesystem>

namespace gs::demo {

struct DemoOrdersOptions {
    long long documents = 2000;
    std::uint64_t seed = 1;
    int firstYear = 2022;
    int lastYear = 2026;
};

// Creates Auftraege.ADT in the directory (which holds none) and writes the documents.
void WriteDemoOrders(const std::filesystem::path& dir, const DemoOrdersOptions& options);

} // namespace gs::demo
