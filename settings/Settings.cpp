#include "settings/Settings.h"

#include "base/Text.h"
#include "settings/HostPath.h"

#include <memory>

namespace gs {

namespace {

// Slot texts 1 to 8, the same for every document type.
TDocumentTexts TextsForAllTypes(const std::array<const char*, 8>& slots)
{
    TDocumentTexts texts;
    for (auto& type : texts)
        for (size_t s = 0; s < 8; ++s)
            type[s] = slots[s];
    return texts;
}

// Characters a database name must not carry into a file name.
bool IsUnsafeNameCharacter(std::string_view ch)
{
    static constexpr std::string_view kUnsafe[] = {"?", "ä", "ü", "ö", "#", "+", "*", "~", "!", "§", "$",
                                                   "&", "(", ")", "[", "]", "{", "}", ":", ";", ",", "=",
                                                   "<", ">", "|", "\\", ".", "/", "\"", " "};
    for (std::string_view u : kUnsafe)
        if (ch == u)
            return true;
    return false;
}

} // namespace

TDocumentTexts ConstructionDocumentTexts()
{
    return TextsForAllTypes({"Warenwert:", "Zwischensumme:", "+Steuer: [ST1]%", "Rechnungsbetrag:", "Warenwert:",
                             "Zwischensumme:", "enthaltene Steuer [ST1]%:", "Rechnungsbetrag:"});
}

TDocumentTexts LoadDocumentTexts()
{
    return TextsForAllTypes({"Warenwert:", "Zwischensumme:", "+Steuer [ST1]%:", "Rechnungsbetrag:", "Warenwert:",
                             "Zwischensumme:", "enthaltene Steuer [ST1]%:", "Rechnungsbetrag:"});
}

THeaderCaptions DefaultHeaderCaptions() { return {"Nr:", "Datum ", "Kundennummer ", "Auftrag ", "vom "}; }

std::vector<std::string> DefaultDocumentTitleChoices() { return {"Nicht ändern", "LIEFERSCHEIN", "AUFTRAGSBESTÄTIGUNG"}; }

TSettings::TSettings()
    : DocumentTexts(ConstructionDocumentTexts()), HeaderCaptions(DefaultHeaderCaptions()),
      DocumentTitleChoices(DefaultDocumentTitleChoices()), AdressFieldRoles(DefaultAdressFieldRoles())
{
    NormalizeNumberTemplate(NumberPrefix, NumberMask, NumberSuffix, NumberCurrent);
}

std::string DatabaseNameOfPath(std::string_view path)
{
    std::string p(path);
    if (p.size() == 1 && ((p[0] >= 'A' && p[0] <= 'Z') || (p[0] >= 'a' && p[0] <= 'z')))
        p += ":\\";
    else if (p.empty() || (p.back() != ':' && !IsPathDelimiter(p.back())))
        p += '\\';
    p.pop_back();
    const size_t slash = p.find_last_of("\\/");
    std::string name = slash == std::string::npos ? p : p.substr(slash + 1);
    name = Utf8Left(name, 30);

    std::string safe;
    for (size_t i = 0; i < name.size();) {
        size_t n = 1;
        const auto lead = static_cast<unsigned char>(name[i]);
        if (lead >= 0xC0)
            n = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
        n = std::min(n, name.size() - i);
        const std::string_view ch(name.data() + i, n);
        if (IsUnsafeNameCharacter(ch))
            safe += '_';
        else
            safe += ch;
        i += n;
    }
    return safe;
}

void SetDatabasePath(TSettings& settings, const std::string& path)
{
    settings.DatabasePath = path;
    settings.DatabaseName.clear();
    settings.DatabaseName = DatabaseNameOfPath(path);
}

std::string LookupParentType(const TSettings& settings, std::string_view codeText, bool blankUnmatched)
{
    return LookupParentType(settings.ParentTypes, codeText, blankUnmatched);
}

std::string SixDigitNumberText(std::string text)
{
    if (StrToIntDef(text, 0) > 900000)
        text = "900000";
    if (text.empty())
        text = "000000";
    while (Utf8Length(text) < 6)
        text += '0';
    while (Utf8Length(text) > 6)
        text = Utf8Mid(text, 1, 10);
    return text;
}

} // namespace gs
