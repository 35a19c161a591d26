// INI files from arbitrary bytes: reading never crashes, an unchanged file is written back as it
// was read (apart from line ends), and a written value reads back.
#include "base/IniFile.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const std::filesystem::path file =
        std::filesystem::temp_directory_path() / ("gs-inifuzz-" + std::to_string(::getpid()) + ".ini");
    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    {
        gs::IniFile ini(file);
        const std::string before = ini.text();
        for (const auto& section : ini.ReadSections())
            for (const auto& key : ini.ReadSection(section))
                ini.WriteString(section, key, ini.ReadString(section, key, ""));
        if (ini.modified() || ini.text() != before)
            std::abort();
        ini.WriteString("Fuzz", "Key", "Wert=1");
        if (ini.ReadString("fuzz", "key", "") != "Wert=1")
            std::abort();
        ini.UpdateFile();
    }
    gs::IniFile again(file);
    if (again.ReadString("FUZZ", "KEY", "") != "Wert=1")
        std::abort();
    return 0;
}
