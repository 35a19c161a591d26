#pragma once
// The demo databases the run benchmarks measure on: the same seeded orders (2022-2026, seed 4711) in
// either mix, written once into the temporary directory and reused by later runs (a "complete"
// marker says the database was written whole).
#include "DemoDatabase.h"
#include "DemoSetup.h"
#include "orders/OrdersTable.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace gs::bench {

inline demo::DemoOrdersOptions BenchOrders(long long documents, demo::DemoMix mix)
{
    demo::DemoOrdersOptions o;
    o.documents = documents;
    o.seed = 4711;
    o.firstYear = 2022;
    o.lastYear = 2026;
    o.mix = mix;
    return o;
}

inline std::filesystem::path BenchDatabase(long long documents, demo::DemoMix mix)
{
    const auto dir = std::filesystem::temp_directory_path() /
                     ("gs-run-bench-" + std::to_string(documents) + (mix == demo::DemoMix::Realistic ? "-realistic" : ""));
    if (!std::filesystem::exists(dir / "complete")) {
        std::filesystem::remove_all(dir);
        demo::DemoOptions o;
        o.dir = dir;
        o.orders = BenchOrders(documents, mix);
        const auto start = std::chrono::steady_clock::now();
        demo::WriteDemoDatabase(o);
        std::fprintf(stderr, "  built %lld documents in %.1f s\n", documents,
                     std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        std::ofstream(dir / "complete") << "ok\n";
    }
    return dir;
}

// The same database with the orders stored in another layout (another physical order, or without
// the SQL indexes), copied from the one written in date order.
inline std::filesystem::path BenchDatabase(long long documents, demo::DemoMix mix, const demo::TableLayout& layout)
{
    const auto base = BenchDatabase(documents, mix);
    if (layout.order == demo::RowOrder::Written && layout.sqlIndexes)
        return base;
    const char* order = layout.order == demo::RowOrder::Shuffled   ? "-shuffled"
                        : layout.order == demo::RowOrder::Reversed ? "-reversed"
                                                                    : "";
    auto dir = base;
    dir += std::string(order) + (layout.sqlIndexes ? "" : "-noindex");
    if (!std::filesystem::exists(dir / "complete")) {
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir);
        const auto start = std::chrono::steady_clock::now();
        std::filesystem::copy_file(base / demo::SetupTableName, dir / demo::SetupTableName);
        demo::TableLayout l = layout;
        l.seed = BenchOrders(documents, mix).seed;
        demo::CopyTableFile(base / OrdersTableName, dir / OrdersTableName, l);
        std::fprintf(stderr, "  copied %lld documents%s%s in %.1f s\n", documents, order,
                     layout.sqlIndexes ? "" : " without indexes",
                     std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        std::ofstream(dir / "complete") << "ok\n";
    }
    return dir;
}

} // namespace gs::bench
