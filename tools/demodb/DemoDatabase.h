#pragma once
// The demo database of the host: a directory with Auftraege.ADT and setup.ADT, made from a seed.
#include "DemoLayout.h"
#include "DemoOrders.h"

#include <filesystem>
#include <string>
#include <vector>

namespace gs::demo {

struct DemoOptions {
    std::filesystem::path dir;
    DemoOrdersOptions orders;
    bool force = false; // replace the tables of a directory that holds them
    TableLayout layout;  // the orders table's storage order and SQL indexes (the seed is the orders' seed)
};

// Writes both tables into options.dir (created when missing). The tables are built in a temporary
// directory inside it and moved into place when complete. A directory that already holds one of
// the tables raises gs::Error unless force is set; then they are replaced.
void WriteDemoDatabase(const DemoOptions& options);

// Writes both tables into the PostgreSQL database of a connection string (postgresql:// URI or
// service=NAME), the same rows as WriteDemoDatabase for the same options. A database that already
// holds one of the tables raises gs::Error unless force is set; then they are replaced. A failure
// drops the tables written so far. Messages show the connection without its password.
void WriteDemoServerDatabase(const std::string& connection, const DemoOrdersOptions& orders, bool force);

// The table files of the database the directory holds (Auftraege.ADT, setup.ADT and their side
// files, found without regard to case).
std::vector<std::filesystem::path> ExistingDemoTables(const std::filesystem::path& dir);

} // namespace gs::demo
