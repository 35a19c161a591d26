#pragma once
// A minimal host database for window tests: the orders table Auftraege.ADT and the settings table
// setup.ADT, empty, so that the statistics window can connect and finish its start-up.
#include <filesystem>

namespace gs::test {

void CreateStartDatabase(const std::filesystem::path& dir);

} // namespace gs::test
