#pragma once
// The smaller value groups of the settings object and their rules: the HTML mail template, parent
// record types, article column captions, the text block layout, the number template, and the text
// list helpers the load uses.
#include "base/HostColors.h"

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace gs {

// Template of HTML mails: body lines (item 14500) and six parameters (item 14501).
struct THTML {
    std::vector<std::string> Body;
    double Param1 = 0;       // line 1, a plain decimal; 0 becomes 1.0 when read
    double Param2 = 0;       // line 2, likewise
    std::uint8_t Param3 = 0; // lines 3 to 5, bytes (fallback 0)
    std::uint8_t Param4 = 0;
    std::uint8_t Param5 = 0;
    int Param6 = 2;          // line 6, integer (fallback 2)

    // All six parameters 0 (as the load starts).
    void ClearParams();
    // The six parameters from the item's lines (missing lines count as empty).
    void SetParams(const std::vector<std::string>& lines);
};

// A parent record type: code and name (item 16011 in pairs of lines).
struct TKonto {
    std::int16_t Code = 0;
    std::string Name;
    bool operator==(const TKonto&) const = default;
};

// Pairs of lines, code line then name line; an odd last line is ignored.
std::vector<TKonto> ParentTypesFromLines(const std::vector<std::string>& lines);
// The name of the parent record type of a code text (read as an integer, fallback 0, cut to 16
// bits): the first TKonto of that code gives its name; otherwise the code text itself when the code
// is not 0, empty when it is 0; with blankUnmatched a result equal to the code text becomes empty.
std::string LookupParentType(const std::vector<TKonto>& parentTypes, std::string_view codeText, bool blankUnmatched);

// Article column captions (item 1512).
struct TArticleCaptions {
    std::array<std::string, 3> Captions{"Bezeichnung1", "Bezeichnung2", "Bestellnummer"};
    std::array<std::string, 5> InfoCaptions{"INFO1", "INFO2", "INFO3", "INFO4", "INFO5"};
    std::array<std::string, 5> InfoValues{};

    // Lines padded to 8; lines 1 to 3 replace the captions when not empty; lines 4 to 8 of the
    // form name=value with a name replace the info caption and value (at most 200 characters).
    void Apply(std::vector<std::string> lines);
};

// One group of the text block layout: three integers, a font name, a font size and a colour.
struct TextBlockGroup {
    std::array<int, 3> Values{20, 20, 150};
    std::string FontName = "ARIAL";
    int FontSize = 24;
    HostColor Color = 8421504; // grey
    bool operator==(const TextBlockGroup&) const = default;
};

// The text block layout (item 652, twelve lines: two groups of six).
struct TTextBlockLayout {
    std::array<TextBlockGroup, 2> Groups{TextBlockGroup{}, TextBlockGroup{{20, 20, 150}, "ARIAL", 8, 8421504}};

    // Each value from its line with its default as fallback; an empty font name gives "ARIAL";
    // missing lines count as empty.
    void Apply(const std::vector<std::string>& lines);
    bool operator==(const TTextBlockLayout&) const = default;
};

// The document number template (item 16009), normalised in place:
// 1. the mask keeps only the "0" among its first 10 characters, "0" when none (length m);
// 2. the prefix is trimmed and cut to 10 characters (length p);
// 3. the suffix is trimmed, cut to 10 and then to 20 - m - p characters;
// 4. the current number is read as an integer (fallback 0) and written back without leading zeros
//    (0 gives empty), cut from its end to the mask's length, then read and written back again.
void NormalizeNumberTemplate(std::string& prefix, std::string& mask, std::string& suffix, std::string& current);

// Appends empty lines until the list has at least count lines.
void PadLines(std::vector<std::string>& lines, size_t count);
// Sorts the whole list, letters a to z compared without regard to case.
void SortLines(std::vector<std::string>& lines);

} // namespace gs
