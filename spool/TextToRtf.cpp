#include "spool/TextToRtf.h"

#include "base/Text.h"
#include "settings/UserMode.h"

namespace gs {

namespace {

constexpr const char* RtfHead =
    "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1031{\\fonttbl{\\f0\\fswiss\\fprq2\\fcharset0 Arial;}"
    "{\\f1\\fswiss\\fcharset0 Arial;}}{\\*\\generator Kvelt;}\\viewkind4\\uc1\\pard\\b\\f0\\fs20\\par";

// The closing group keeps its control words exactly as the host writes them.
constexpr const char* RtfTail = "\\bo\\fa\\fs20\\par}";

} // namespace

bool IsRtfText(std::string_view text) { return text.find(RtfMarker) != std::string_view::npos; }

std::string TextToRtfWithSize(std::string_view text, int pointSize)
{
    if (IsRtfText(text))
        return std::string(text);
    std::string head = RtfHead;
    ReplaceAllText(head, "fs20", "fs" + std::to_string(2 * pointSize));
    std::string body(text);
    // Umlauts are distinct search texts by case; the text is UTF-8, the escapes give the code page's
    // byte of each letter.
    static constexpr const char* escapes[][2] = {{"Ä", "\\'c4"}, {"ä", "\\'e4"}, {"Ö", "\\'d6"}, {"ö", "\\'f6"},
                                                 {"Ü", "\\'dc"}, {"ü", "\\'fc"}, {"ß", "\\'df"}, {"\r\n", "\\par\r\n"}};
    for (const auto& e : escapes)
        ReplaceAllText(body, e[0], e[1]);
    return head + "\r\n" + body + RtfTail;
}

std::string TextToRtf(std::string_view text)
{
    if (IsRtfText(text))
        return std::string(text);
    return TextToRtfWithSize(text, ReadModeInteger("TFGridPrinterClass.Text2RtfSize.Size", 10, {}, true));
}

} // namespace gs
