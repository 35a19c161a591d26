#include "orders/AdressExParts.h"

#include "base/Text.h"

#include <map>
#include <utility>
#include <vector>

namespace gs {

std::string CountryNameForCode(std::string_view code)
{
    static const std::pair<const char*, const char*> kCodes[] = {
        {"DE", "DEUTSCHLAND"}, {"DE-", "DEUTSCHLAND"}, {"D", "DEUTSCHLAND"},    {"D-", "DEUTSCHLAND"},
        {"AT", "ÖSTERREICH"},  {"AT-", "ÖSTERREICH"},  {"A-", "ÖSTERREICH"},    {"A", "ÖSTERREICH"},
        {"CH", "SCHWEIZ"},     {"CH-", "SCHWEIZ"},     {"IT-", "ITALIEN"},      {"IT", "ITALIEN"},
        {"I-", "ITALIEN"},     {"I", "ITALIEN"},       {"LU", "LUXEMBURG"},     {"LU-", "LUXEMBURG"},
        {"LI", "LIECHTENSTEIN"}, {"LI-", "LIECHTENSTEIN"}};
    for (const auto& [c, name] : kCodes) {
        if (code == c)
            return name;
    }
    return std::string(code);
}

// --- TLieferAnschrift ------------------------------------------------------------------------------

bool TLieferAnschrift::Valid() const
{
    return !Ort.empty() && !Strasse.empty() && !PLZ.empty() && (!NName.empty() || !Abt.empty());
}

void TLieferAnschrift::Clear()
{
    for (std::string* s : {&Abt, &Anrede1, &Anrede2, &VName, &NName, &Strasse, &Ort, &PLZ, &Country, &Region})
        s->clear();
}

void TLieferAnschrift::CopyFrom(const TLieferAnschrift& source)
{
    Abt = source.Abt;
    Anrede1 = source.Anrede1;
    Anrede2 = source.Anrede2;
    VName = source.VName;
    NName = source.NName;
    Strasse = source.Strasse;
    Ort = source.Ort;
    PLZ = source.PLZ;
    Country = source.Country;
    Region = source.Region;
}

void TLieferAnschrift::LoadFromText(std::string_view text)
{
    Clear();
    std::vector<std::string> lines = SplitLines(text);
    if (lines.size() < 11)
        lines.resize(11);
    std::string* targets[] = {&Abt, &Anrede1, &Anrede2, &VName, &NName, &Strasse, &Ort, &PLZ};
    for (size_t i = 0; i < 8; ++i)
        *targets[i] = std::move(lines[i]);
    Region = lines[8].empty() ? std::move(lines[9]) : CountryNameForCode(lines[8]);
    Use = !lines[10].empty();
}

std::string TLieferAnschrift::SaveToText() const
{
    std::string s;
    for (const std::string* t : {&Abt, &Anrede1, &Anrede2, &VName, &NName, &Strasse, &Ort, &PLZ}) {
        s += *t;
        s += "\r\n";
    }
    s += "\r\n"; // the country code line stays empty
    s += Region;
    s += "\r\n";
    s += Use ? "1\r\n" : "\r\n";
    return s;
}

// --- TMathExpression -------------------------------------------------------------------------------

void TMathExpression::Clear()
{
    Source.clear();
    Dest.clear();
    DestFormatA.clear();
    DestFormatB.clear();
}

void TMathExpression::Assign(const TMathExpression& source)
{
    Source = source.Source;
    Dest = source.Dest;
    DestFormatA = source.DestFormatA;
    DestFormatB = source.DestFormatB;
}

void TMathExpression::Load(std::string_view text)
{
    Clear();
    std::vector<std::string> lines = SplitLines(text);
    if (lines.size() < 4)
        lines.resize(4);
    Source = std::move(lines[0]);
    Dest = std::move(lines[1]);
    DestFormatA = std::move(lines[2]);
    DestFormatB = std::move(lines[3]);
}

std::string TMathExpression::Save() const
{
    return Trim(Source) + "\r\n" + Trim(Dest) + "\r\n" + Trim(DestFormatA) + "\r\n" + Trim(DestFormatB);
}

// --- provider classes ------------------------------------------------------------------------------

namespace {

std::map<std::string, ExtraCalcProviderFactory, std::less<>>& ProviderClasses()
{
    static std::map<std::string, ExtraCalcProviderFactory, std::less<>> classes;
    return classes;
}

} // namespace

void RegisterExtraCalcProviderClass(const std::string& className, ExtraCalcProviderFactory factory)
{
    ProviderClasses()[className] = std::move(factory);
}

void UnregisterExtraCalcProviderClass(const std::string& className) { ProviderClasses().erase(className); }

ExtraCalcProviderFactory FindExtraCalcProviderClass(std::string_view className)
{
    const auto& classes = ProviderClasses();
    const auto it = classes.find(className);
    return it == classes.end() ? ExtraCalcProviderFactory{} : it->second;
}

std::unique_ptr<TCustomExtraCalcProvider> CreateExtraCalcProvider()
{
    if (const ExtraCalcProviderFactory factory = FindExtraCalcProviderClass("TExtraCalcProvider")) {
        if (std::unique_ptr<TCustomExtraCalcProvider> p = factory())
            return p;
    }
    return std::make_unique<TCustomExtraCalcProvider>();
}

} // namespace gs
