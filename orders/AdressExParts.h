#pragma once
// The parts of the extended order information: delivery address, care-of address, calculation
// expression and the extra-calculation provider, and the country names of address codes.
#include <functional>
#include <memory>
#include <string>
#include <string_view>

namespace gs {

// The country name of an address code ("DE", "A-", "CH" ...: exact, case-sensitive); the code itself
// when it is none of the known ones.
std::string CountryNameForCode(std::string_view code);

// A delivery address. Stored as eleven lines: Abt, Anrede1, Anrede2, VName, NName, Strasse, Ort,
// PLZ, an empty line (read as a country code), Region, "1" when Use is set.
class TLieferAnschrift {
public:
    std::string Abt, Anrede1, Anrede2, VName, NName, Strasse, Ort, PLZ, Country, Region;
    bool Use = false;

    // Ort, Strasse and PLZ given and NName or Abt given.
    bool Valid() const;
    // Empties the ten texts (Use stays).
    void Clear();
    // Copies the ten texts (Use stays).
    void CopyFrom(const TLieferAnschrift& source);

    // Empties the ten texts and reads the eleven lines: a country code in line 9 gives Region its
    // country name, otherwise line 10 is the Region; Use when line 11 is not empty.
    void LoadFromText(std::string_view text);
    // The eleven lines, each followed by CR LF (Country is not stored).
    std::string SaveToText() const;
};

// A care-of address.
class TAdressExInfoCareOfAdress {
public:
    std::string Name;
    int ID = 0;
    void Clear()
    {
        Name.clear();
        ID = 0;
    }
    void Assign(const TAdressExInfoCareOfAdress& source)
    {
        Name = source.Name;
        ID = source.ID;
    }
};

// A calculation expression of four texts.
class TMathExpression {
public:
    std::string Source, Dest, DestFormatA, DestFormatB;

    void Clear();
    void Assign(const TMathExpression& source);
    // Clear, then lines 1 to 4 give Source, Dest, DestFormatA, DestFormatB (missing lines empty).
    void Load(std::string_view text);
    // The four texts trimmed of outer blanks and control characters, joined by CR LF (no line
    // break after the last).
    std::string Save() const;
};

// The extra-calculation provider of a document: one text and the host's calculation hooks, which
// answer 0 or do nothing here.
class TCustomExtraCalcProvider {
public:
    virtual ~TCustomExtraCalcProvider() = default;
    std::string ExtraCalcText;

    virtual void Clear() { ExtraCalcText.clear(); }
    virtual void Assign(const TCustomExtraCalcProvider& source) { ExtraCalcText = source.ExtraCalcText; }
    // Hooks of the host's price calculation.
    virtual double ExtraValue(int kind, double base) const { return 0; }
    virtual void Prepare() {}
};

// Provider classes by name. A new extended order information instantiates the class registered
// under "TExtraCalcProvider" when there is one, otherwise a TCustomExtraCalcProvider. This module
// registers none.
using ExtraCalcProviderFactory = std::function<std::unique_ptr<TCustomExtraCalcProvider>()>;
void RegisterExtraCalcProviderClass(const std::string& className, ExtraCalcProviderFactory factory);
void UnregisterExtraCalcProviderClass(const std::string& className);
// The registered factory, or an empty function.
ExtraCalcProviderFactory FindExtraCalcProviderClass(std::string_view className);
std::unique_ptr<TCustomExtraCalcProvider> CreateExtraCalcProvider();

} // namespace gs
