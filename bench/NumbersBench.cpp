// Speed of the number texts (one money text and one read-back per document of a statistics run),
// of loading and rewriting an INI file of the size UserMode.INI grows to, and of AddMonths.
#include "base/DateLibrary.h"
#include "base/FormatFloat.h"
#include "base/Numbers.h"
#include "base/IniFile.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

namespace {

void BM_FormatMoney(benchmark::State& state)
{
    const gs::NumberFormats euro;
    const std::string format = ",#############0.00 \xE2\x82\xAC";
    double v = 1234.565;
    for (auto _ : state) {
        benchmark::DoNotOptimize(gs::FormatFloat(format, v, euro));
        v += 0.01;
    }
}
BENCHMARK(BM_FormatMoney);

void BM_RoundTripCents(benchmark::State& state)
{
    const gs::NumberFormats euro;
    double v = 1234.565;
    for (auto _ : state) {
        benchmark::DoNotOptimize(gs::ParseNumber(gs::FormatFloat("#############0.00", v, euro), ','));
        v += 0.01;
    }
}
BENCHMARK(BM_RoundTripCents);

void BM_FloatToText(benchmark::State& state)
{
    double v = 1.0 / 3;
    for (auto _ : state) {
        benchmark::DoNotOptimize(gs::FloatToText(v, ','));
        v += 1.1;
    }
}
BENCHMARK(BM_FloatToText);

std::filesystem::path MakeIni(int keys)
{
    const auto file = std::filesystem::temp_directory_path() / ("gs-bench-" + std::to_string(::getpid()) + ".ini");
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << "[MODE]\r\n";
    for (int i = 0; i < keys; ++i)
        out << "TFOrderProfit1.Key" << i << "=" << i << "\r\n";
    return file;
}

void BM_IniLoadAndRead(benchmark::State& state)
{
    const auto file = MakeIni(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        gs::IniFile ini(file);
        benchmark::DoNotOptimize(ini.ReadInteger("MODE", "TFOrderProfit1.Key17", 0));
    }
    std::filesystem::remove(file);
}
BENCHMARK(BM_IniLoadAndRead)->Arg(100)->Arg(2000)->Unit(benchmark::kMicrosecond);

void BM_IniChangeAndWrite(benchmark::State& state)
{
    const auto file = MakeIni(static_cast<int>(state.range(0)));
    int n = 0;
    for (auto _ : state) {
        gs::IniFile ini(file);
        ini.WriteInteger("MODE", "TFOrderProfit1.Width", ++n);
        ini.UpdateFile();
    }
    std::filesystem::remove(file);
}
BENCHMARK(BM_IniChangeAndWrite)->Arg(100)->Arg(2000)->Unit(benchmark::kMicrosecond);

void BM_AddMonths(benchmark::State& state)
{
    const double start = gs::EncodeDate(2006, 1, 31);
    int n = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(gs::AddMonths(start, (n++ % 48) - 24));
}
BENCHMARK(BM_AddMonths);

} // namespace

BENCHMARK_MAIN();
