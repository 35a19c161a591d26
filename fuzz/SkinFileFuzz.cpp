// Skin files beside the program: any bytes read without a crash, every key found again, and every
// styled component class resolves its settings from the file (colours and integers as the rules
// read them) without a crash.
#include "appearance/SkinFile.h"
#include "appearance/SkinRules.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size > 65536)
        return 0;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const gs::SkinFile skin = gs::SkinFile::FromBytes(bytes);
    (void)skin.wantsDebugOutput();
    static const char* const kClasses[] = {"TFlatButton", "TPanel", "TFlatCheckBox", "TLabel", "TDBGrid",
                                           "TFlatComboBox", "TFlatEdit", "TGroupBox", "TSpeedButton",
                                           "TPageControl", "TFOrderProfit1"};
    for (const char* cls : kClasses) {
        if (const gs::SkinRow* row = gs::FindSkinRow(cls)) {
            (void)gs::ResolveSkinSettings(skin, *row, "TFOrderProfit1.Button1");
            (void)gs::ResolveSkinSettings(skin, *row, "TFOrderProfit1");
        }
    }
    (void)gs::ResolveSkinSettings(skin, gs::FormSkinRow(), "TFOrderProfit1");
    // Every line's key and value as the integer reader sees them.
    size_t start = 0;
    while (start < bytes.size()) {
        size_t end = bytes.find('\n', start);
        if (end == std::string_view::npos)
            end = bytes.size();
        const std::string_view line = bytes.substr(start, end - start);
        const size_t eq = line.find('=');
        if (eq != std::string_view::npos) {
            (void)gs::ParseSkinInteger(line.substr(eq + 1));
            (void)skin.find(line.substr(0, eq));
        }
        start = end + 1;
    }
    return 0;
}
