// Loading the settings object from the demo database's settings table (about 130 items: texts,
// streams, lists, parts groups, collections) with the demo TOVIK.INI beside the program.
#include "DemoSetup.h"
#include "app/ProcessObjects.h"
#include "app/Runtime.h"
#include "db/AdsConnection.h"
#include "db/AdsTable.h"
#include "settings/Settings.h"
#include "settings/SettingsLoad.h"
#include "settings/SettingsTable.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

using namespace gs;

namespace {

struct Fixture {
    std::filesystem::path dir;
    std::unique_ptr<Runtime> runtime;
    TAdsConnection conn;
    TAdsTable table;

    Fixture()
    {
        dir = std::filesystem::temp_directory_path() / ("gs-settings-bench-" + std::to_string(::getpid()));
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir / "db");
        std::ofstream(dir / "TOVIK.INI", std::ios::binary) << demo::DemoPrinterIni();
        runtime = std::make_unique<Runtime>(dir / "gewinnstatistik");
        CreateSettings(*runtime);
        conn.SetAdsServerTypes({stADS_LOCAL});
        conn.SetConnectPath((dir / "db").string());
        conn.Connect();
        table.SetAdsConnection(&conn);
        table.SetTableName(SettingsTableName);
        CreateSettingsTable(table);
        PutSettingItems(table, demo::DemoSetupItems());
    }
    ~Fixture()
    {
        table.Close();
        conn.Disconnect();
        runtime.reset();
        std::filesystem::remove_all(dir);
    }
};

void BM_LoadSettings(benchmark::State& state)
{
    Fixture f;
    for (auto _ : state) {
        TSettings settings;
        LoadSettings(settings, f.table);
        benchmark::DoNotOptimize(settings.PartsGroups.Groups.size());
    }
    state.counters["items"] = static_cast<double>(demo::DemoSetupItems().size());
}
BENCHMARK(BM_LoadSettings)->Unit(benchmark::kMicrosecond);

void BM_LoadIniSettings(benchmark::State& state)
{
    Fixture f;
    for (auto _ : state) {
        TUserPrinterDef def;
        LoadIniSettings(def, f.dir / "TOVIK.INI");
        benchmark::DoNotOptimize(def.MaxLinks);
    }
}
BENCHMARK(BM_LoadIniSettings)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
