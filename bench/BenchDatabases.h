#pragma once
// The demo databases the run benchmarks measure on: the same seeded orders (2022-2026, seed 4711) in
// either mix, written once into the temporary directory and reused by later runs (a "complete"
// marker says the database was written whole).
#include "DemoDatabase.h"

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

} // namespace gs::bench
