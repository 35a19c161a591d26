#pragma once
// The documents of the demo database: rows of Auftraege.ADT spread over the chosen years, over every
// document type and status code, with extended information (profit, commission) in EXTB,
// additional info lines in Endtext and the texts and blobs the host keeps with a document.
#include <cstdint>
#include <filesystem>

namespace gs {
class TAdsConnection;
}

namespace gs::demo {

// The mix of document kinds and statuses. Standard: about half the documents of a year are paid or
// completed invoices and credit notes (what the statistics select). Realistic: about one in four, as
// in a host that keeps many offers, orders, delivery notes and unpaid invoices beside them.
enum class DemoMix { Standard, Realistic };

struct DemoOrdersOptions {
    long long documents = 2000;
    std::uint64_t seed = 1;
    int firstYear = 2022;
    int lastYear = 2026;
    DemoMix mix = DemoMix::Standard;
};

// Creates Auftraege.ADT in the directory (which holds none) and writes the documents.
void WriteDemoOrders(const std::filesystem::path& dir, const DemoOrdersOptions& options);
// The same on a connected database of either kind (a directory or a database server).
void WriteDemoOrders(TAdsConnection& connection, const DemoOrdersOptions& options);

} // namespace gs::demo
