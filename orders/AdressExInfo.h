#pragma once
// The extended order information the host keeps in the blob column EXTB of an order row: cash
// discount, payment term, sales representative and commission, profit, delivery and care-of
// addresses, a calculation expression and some free texts.
//
// Stored format: a component stream of one TAdressExInfoDatasWrapper whose collection property
// AdressExInfoDatas holds items with the text SimpleData (left out when empty) and the number
// DataType. Every value is a text under its DataType, so a reader skips numbers it does not know
// and a missing item keeps the default. Numbers are written with FloatToText and read with
// ParseNumber (both in the process's decimal separator).
#include "orders/AdressExParts.h"

#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace gs {

class TAdsTable;
class Field;

// One stored item.
struct TAdressExInfoData {
    std::string SimpleData;
    int DataType = 0;
};

// The stored items, in stream order.
class TAdressExInfoDatas {
public:
    void Clear() { items_.clear(); }
    TAdressExInfoData& Add()
    {
        items_.emplace_back();
        return items_.back();
    }
    TAdressExInfoData& Items(size_t index) { return items_.at(index); }
    const TAdressExInfoData& Items(size_t index) const { return items_.at(index); }
    size_t Count() const { return items_.size(); }
    const std::vector<TAdressExInfoData>& items() const { return items_; }

    // Empties the list, then takes the items of the stream in order. Empty bytes give no items;
    // a stream that cannot be read (or whose items carry values of the wrong kind) raises
    // StreamError and leaves the list empty. With wanted types, only items of those types are
    // taken; the others are checked all the same, so that a stream fails alike.
    void LoadFromStream(std::string_view stream, std::span<const int> wanted = {});
    // The component stream of the items.
    std::string SaveToStream() const;

private:
    std::vector<TAdressExInfoData> items_;
};

// DataType numbers of the stored items.
enum TAdressExDataType : int {
    edLieferanschrift = 1,
    edSkontoProz = 2,
    edZZDays = 3,
    edSkontoDay = 4,
    edDefaultWorker = 5,
    edVertreter = 6,
    edArtikelRabatt = 8,
    edCurrentGewinn = 9,
    edDetailGewinn = 10,
    edVertreterID = 12,
    edVertreterDirectProvsion = 14,
    edVertreterPrint = 15,
    edVertreterProvision = 16,
    edVertreterProvisionIsClose = 17,
    edCareOfName = 18,
    edCareOfID = 19,
    edProvisionsInfo = 20,
    edProvisionsPayInfo = 21,
    edZConditionIndex = 24,
    edForeDoc = 27,
    edExpression = 28,
    edSuperLayoutname = 30,
    edMoreData = 100,
    edCurrencyInfo2EURO = 110,
    edExtraCalcText = 120,
    edExternalPriceProvider = 130,
    edWarnings = 140
};

class TAdressExInfo {
public:
    // The defaults of Clear; the provider is the class registered as "TExtraCalcProvider" or a
    // TCustomExtraCalcProvider.
    TAdressExInfo();
    virtual ~TAdressExInfo();
    TAdressExInfo(const TAdressExInfo&) = delete;
    TAdressExInfo& operator=(const TAdressExInfo&) = delete;

    TAdressExInfoDatas Datas; // the stored items, used while loading and saving

    TLieferAnschrift Lieferanschrift;
    double SkontoProz = 0;
    int SkontoDay = 0;
    int ZZDays = 0;
    std::string Default_Worker;
    std::string SuperLayoutname;
    std::string Vertreter;
    int VertreterID = 0;
    double Vertreter_DirectProvsion = 0;
    bool Vertreter_Print = true;
    double Vertreter_Provision = 0; // commission of this document
    bool Vertreter_Provision_IsClose = false;
    std::string ProvisionsPayInfo;
    std::vector<std::string> ArtikelRabatt;
    std::vector<std::string> ProvisionsInfo;
    double CurrentGewinn = 0; // profit of this document before commission
    std::vector<std::string> DetailGewinn;
    TAdressExInfoCareOfAdress AdressExInfoCareOfAdress;
    int ZConditionIndex = -1; // payment condition 0 to 3 or 7 to 11; -1 none
    std::string ForeDoc;
    TMathExpression Expression;
    double CurrencyInfo_2EURO = 0; // conversion rate valid for the document
    std::string ExternalPriceProvider;
    std::string Warnings;
    // Set by LoadExtendedInfo: true when EXTB held the profit (CurrentGewinn) and the commission
    // (Vertreter_Provision) as numbers; false when the column is missing or empty, the stream is
    // damaged, or either item is absent or no number (the values then stay at their defaults, as
    // the host counts them). Not copied by Assign.
    bool ProfitInfoReadable = false;

    TCustomExtraCalcProvider& ExtraCalcProvider() { return *provider_; }
    const TCustomExtraCalcProvider& ExtraCalcProvider() const { return *provider_; }

    // Every value to its default and the item list emptied; CurrencyInfo_2EURO becomes the
    // second-currency rate of the settings when a settings object exists, otherwise it stays.
    virtual void Clear();
    // The values of the source (the item list is not copied).
    virtual void Assign(const TAdressExInfo& source);
    // Clear, then the values of the stored items, in stream order (a later item of a number
    // overrides an earlier one). Anything unreadable leaves the defaults; never raises for
    // ordinary errors.
    virtual void LoadFromStream(std::string_view stream);
    // Clear, then only the profit, the commission and the representative items (CurrentGewinn,
    // Vertreter_Provision, Vertreter, VertreterID), as LoadFromStream takes them; every other value
    // keeps its default and Datas holds those items.
    void LoadProfitFromStream(std::string_view stream);
    // The stream of every value (items in the host's order), replacing stream's content. With
    // clearFirst the item list is emptied before the items are appended.
    virtual void SaveToStream(std::string& stream, bool clearFirst = true);
    // Resets the values that belong to one document: profit, commission, the direct commission and
    // its flags, the commission notes, ForeDoc, Expression, CurrencyInfo_2EURO; with resetProvider
    // also ExternalPriceProvider. Address, payment and representative stay.
    void ClearOrderpart(bool resetProvider);

protected:
    // Applies one stored item by its DataType; numbers not listed are ignored.
    void ApplyItem(const TAdressExInfoData& item);
    void AppendItems();

private:
    std::unique_ptr<TCustomExtraCalcProvider> provider_;
};

// The same block as kept with an address: adds MoreData (item 100), lines holding several values
// each, separated by "@|@".
class TAdressExInfo2 : public TAdressExInfo {
public:
    std::vector<std::string> MoreData;

    void Clear() override;
    void Assign(const TAdressExInfo& source) override;
    // The base load, then MoreData from the first item 100 (empty when there is none).
    void LoadFromStream(std::string_view stream) override;
    // The MoreData item first, then every item of the base.
    void SaveToStream(std::string& stream, bool clearFirst = true) override;
};

// Which values a load of the extended information takes: all, or the profit, the commission and
// the representative only (LoadProfitFromStream), which is what the statistics need.
enum class ExtInfoPart { All, Profit };

// Clear info, read EXTB of the table's current row (inflating it when compressed) and load info
// from it. A missing column or any damage leaves the defaults; never raises for ordinary errors.
// Sets info.ProfitInfoReadable.
void LoadExtendedInfo(TAdsTable& table, TAdressExInfo& info);
// The same with the EXTB column already looked up (nullptr: the table lacks it).
void LoadExtendedInfo(const Field* extb, TAdressExInfo& info, ExtInfoPart part = ExtInfoPart::All);

} // namespace gs
