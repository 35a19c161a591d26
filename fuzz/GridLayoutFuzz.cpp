// USERGRIDOUT.TXT, the saved column layouts of the grid print dialog: any file loads without a crash
// (or raises gs::Error), what was read writes and reads back to the same layouts, and the column
// sets' base64 round-trips.
#include "base/Error.h"
#include "spool/GridLayoutTable.h"

#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 65536)
        return 0;
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    static const std::filesystem::path file =
        std::filesystem::temp_directory_path() / ("gs-gridfuzz-" + std::to_string(::getpid()) + ".txt");
    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    }
    gs::GridLayoutTable loaded;
    try {
        loaded.load(file); // the file's bytes as Windows-1252
    } catch (const gs::Error&) {
    }
    std::vector<gs::GridLayoutRow> rows;
    try {
        rows = gs::GridLayoutTable::parseText(bytes); // the same bytes taken as the text
    } catch (const gs::Error&) {
        return 0; // no "Grid" column: refused with its reason
    }
    gs::GridLayoutTable again;
    for (const auto& row : rows) {
        if (row.grid.empty())
            std::abort(); // rows without a key are skipped
        again.append(row.grid, row.user, row.colums);
    }
    const auto back = gs::GridLayoutTable::parseText(again.toText());
    if (back.size() != rows.size())
        std::abort();
    for (size_t i = 0; i < rows.size(); ++i)
        if (back[i].grid != rows[i].grid || back[i].user != rows[i].user || back[i].colums != rows[i].colums)
            std::abort();
    if (gs::DecodeBase64(gs::EncodeBase64(bytes)) != bytes)
        std::abort();
    (void)gs::DecodeBase64(bytes);
    return 0;
}
