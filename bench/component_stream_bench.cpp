// Reading and writing component streams and blob values of realistic sizes.
#include "db/ComponentStream.h"
#include "db/BlobFields.h"

#include <benchmark/benchmark.h>

using namespace gs;

namespace {

// An EXTB value as the host writes it: 26 items, a few longer texts.
std::string ExtbStream()
{
    std::vector<StreamItem> items;
    for (int type : {1, 2, 4, 3, 5, 6, 12, 8, 20, 27, 9, 10, 14, 16, 15, 17, 18, 19, 21, 24, 28, 30, 110, 120, 130, 140}) {
        StreamItem item;
        item.Add("SimpleData", StreamValue::Text(type == 1 ? "Einkauf\r\nHerr\r\n\r\nJörg\r\nMüller\r\nHauptstraße 1\r\nKöln\r\n50667\r\n\r\n\r\n1\r\n"
                                                            : "1234,5"));
        item.Add("DataType", StreamValue::Integer(type));
        items.push_back(item);
    }
    return WriteCollectionComponent("TAdressExInfoDatasWrapper", "AdressExInfoDatas", items);
}

std::string OrderText(size_t lines)
{
    std::string s;
    for (size_t i = 0; i < lines; ++i)
        s += "Position " + std::to_string(i) + ": Artikel " + std::to_string(i * 7919 % 1000) + " zu 12,50 €\r\n";
    return s;
}

void BM_ReadCompressedExtb(benchmark::State& state)
{
    const std::string stored = CompressBlob(ExtbStream());
    for (auto _ : state)
        benchmark::DoNotOptimize(ReadCollectionProperty(DecompressOrCopy(stored), "AdressExInfoDatas"));
}
BENCHMARK(BM_ReadCompressedExtb);

void BM_WriteExtb(benchmark::State& state)
{
    const std::vector<StreamItem> items = ReadCollectionProperty(ExtbStream(), "AdressExInfoDatas");
    for (auto _ : state)
        benchmark::DoNotOptimize(CompressBlob(WriteCollectionComponent("TAdressExInfoDatasWrapper", "AdressExInfoDatas", items)));
}
BENCHMARK(BM_WriteExtb);

void BM_InflateOrderText(benchmark::State& state)
{
    const std::string text = OrderText(static_cast<size_t>(state.range(0)));
    const std::string stored = CompressBlob(text);
    for (auto _ : state)
        benchmark::DoNotOptimize(DecompressOrCopy(stored));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * text.size()));
}
BENCHMARK(BM_InflateOrderText)->Arg(100)->Arg(25000);

void BM_PlainValueFallback(benchmark::State& state)
{
    const std::string plain = OrderText(100); // not a zlib stream: rejected at the header
    for (auto _ : state)
        benchmark::DoNotOptimize(DecompressOrCopy(plain));
}
BENCHMARK(BM_PlainValueFallback);

} // namespace

BENCHMARK_MAIN();
