#include "orders/AdressExInfo.h"

#include "base/Error.h"
#include "base/FormatFloat.h"
#include "base/Numbers.h"
#include "base/ProcessContext.h"
#include "base/Text.h"
#include "db/AdsTable.h"
#include "db/ComponentStream.h"
#include "db/BlobFields.h"
#include "orders/CollectionScan.h"
#include "orders/OrdersTable.h"
#include "settings/Settings.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace gs {

namespace {

constexpr const char* kWrapperClass = "TAdressExInfoDatasWrapper";
constexpr const char* kCollection = "AdressExInfoDatas";

std::string BoolText(bool b) { return b ? "1" : "0"; }

} // namespace

// --- TAdressExInfoDatas ----------------------------------------------------------------------------

void TAdressExInfoDatas::LoadFromStream(std::string_view stream, std::span<const int> wanted)
{
    items_.clear();
    if (stream.empty())
        return;
    const auto taken = [&](long long type) {
        return wanted.empty() || std::find(wanted.begin(), wanted.end(), type) != wanted.end();
    };
    // A number beyond 32 bits names no item.
    const auto typeOf = [](long long type) {
        return (type >= INT32_MIN && type <= INT32_MAX) ? static_cast<int>(type) : 0;
    };
    // The items are taken only once the whole stream has been read.
    thread_local CollectionScan scan;
    if (scan.scan(stream, kCollection)) {
        std::vector<TAdressExInfoData> items;
        items.reserve(wanted.empty() ? scan.itemCount() : wanted.size());
        for (size_t i = 0; i < scan.itemCount(); ++i) {
            const auto props = scan.item(i);
            const int type = typeOf(ScanInteger(props, "DataType", 0));
            if (!taken(type)) {
                CheckScanText(props, "SimpleData");
                continue;
            }
            TAdressExInfoData& d = items.emplace_back();
            d.SimpleData = ScanText(props, "SimpleData");
            d.DataType = type;
        }
        items_ = std::move(items);
        return;
    }
    const std::vector<StreamItem> read = ReadCollectionProperty(stream, kCollection);
    std::vector<TAdressExInfoData> items;
    items.reserve(read.size());
    for (const StreamItem& item : read) {
        TAdressExInfoData d;
        d.SimpleData = item.Text("SimpleData");
        d.DataType = typeOf(item.Integer("DataType", 0));
        if (taken(d.DataType))
            items.push_back(std::move(d));
    }
    items_ = std::move(items);
}

std::string TAdressExInfoDatas::SaveToStream() const
{
    std::vector<StreamItem> items;
    items.reserve(items_.size());
    for (const TAdressExInfoData& d : items_) {
        StreamItem item;
        if (!d.SimpleData.empty())
            item.Add("SimpleData", StreamValue::Text(d.SimpleData));
        item.Add("DataType", StreamValue::Integer(d.DataType));
        items.push_back(std::move(item));
    }
    return WriteCollectionComponent(kWrapperClass, kCollection, items);
}

// --- TAdressExInfo ---------------------------------------------------------------------------------

TAdressExInfo::TAdressExInfo() : provider_(CreateExtraCalcProvider()) { TAdressExInfo::Clear(); }

TAdressExInfo::~TAdressExInfo() = default;

void TAdressExInfo::Clear()
{
    Datas.Clear();
    Lieferanschrift.Clear();
    Lieferanschrift.Use = false;
    SkontoProz = 0;
    SkontoDay = 0;
    ZZDays = 0;
    Default_Worker.clear();
    SuperLayoutname.clear();
    Vertreter.clear();
    VertreterID = 0;
    Vertreter_DirectProvsion = 0;
    Vertreter_Print = true;
    Vertreter_Provision = 0;
    Vertreter_Provision_IsClose = false;
    ProvisionsPayInfo.clear();
    ArtikelRabatt.clear();
    ProvisionsInfo.clear();
    CurrentGewinn = 0;
    DetailGewinn.clear();
    AdressExInfoCareOfAdress.Clear();
    ZConditionIndex = -1;
    ForeDoc.clear();
    Expression.Clear();
    // The rate of the second currency, once the settings have installed its terms.
    const ProcessContext* rt = ProcessContext::currentOrNull();
    if (rt && rt->secondCurrency)
        CurrencyInfo_2EURO = rt->secondCurrency().rate;
    provider_->Clear();
    ExternalPriceProvider.clear();
    Warnings.clear();
}

void TAdressExInfo::Assign(const TAdressExInfo& source)
{
    if (&source == this)
        return;
    Lieferanschrift.CopyFrom(source.Lieferanschrift);
    Lieferanschrift.Use = source.Lieferanschrift.Use;
    SkontoProz = source.SkontoProz;
    SkontoDay = source.SkontoDay;
    ZZDays = source.ZZDays;
    Default_Worker = source.Default_Worker;
    SuperLayoutname = source.SuperLayoutname;
    Vertreter = source.Vertreter;
    VertreterID = source.VertreterID;
    Vertreter_DirectProvsion = source.Vertreter_DirectProvsion;
    Vertreter_Print = source.Vertreter_Print;
    Vertreter_Provision = source.Vertreter_Provision;
    Vertreter_Provision_IsClose = source.Vertreter_Provision_IsClose;
    ProvisionsPayInfo = source.ProvisionsPayInfo;
    ArtikelRabatt = source.ArtikelRabatt;
    ProvisionsInfo = source.ProvisionsInfo;
    CurrentGewinn = source.CurrentGewinn;
    DetailGewinn = source.DetailGewinn;
    AdressExInfoCareOfAdress.Assign(source.AdressExInfoCareOfAdress);
    ZConditionIndex = source.ZConditionIndex;
    ForeDoc = source.ForeDoc;
    Expression.Assign(source.Expression);
    CurrencyInfo_2EURO = source.CurrencyInfo_2EURO;
    provider_->Assign(*source.provider_);
    ExternalPriceProvider = source.ExternalPriceProvider;
    Warnings = source.Warnings;
}

void TAdressExInfo::ClearOrderpart(bool resetProvider)
{
    CurrentGewinn = 0;
    DetailGewinn.clear();
    Vertreter_DirectProvsion = 0;
    Vertreter_Print = true;
    Vertreter_Provision = 0;
    Vertreter_Provision_IsClose = false;
    ProvisionsInfo.clear();
    ForeDoc.clear();
    Expression.Clear();
    // The rate of the second currency, once the settings have installed its terms.
    const ProcessContext* rt = ProcessContext::currentOrNull();
    if (rt && rt->secondCurrency)
        CurrencyInfo_2EURO = rt->secondCurrency().rate;
    if (resetProvider)
        ExternalPriceProvider.clear();
}

void TAdressExInfo::ApplyItem(const TAdressExInfoData& item)
{
    const std::string& s = item.SimpleData;
    switch (item.DataType) {
    case edLieferanschrift: Lieferanschrift.LoadFromText(s); break;
    case edSkontoProz: SkontoProz = ParseNumber(s); break;
    case edZZDays: ZZDays = StrToIntDef(s, 0); break;
    case edSkontoDay: SkontoDay = StrToIntDef(s, 0); break;
    case edDefaultWorker: Default_Worker = s; break;
    case edVertreter: Vertreter = s; break;
    case edArtikelRabatt: ArtikelRabatt = SplitLines(s); break;
    case edCurrentGewinn: CurrentGewinn = ParseNumber(s); break;
    case edDetailGewinn: DetailGewinn = SplitLines(s); break;
    case edVertreterID: VertreterID = StrToIntDef(s, 0); break;
    case edVertreterDirectProvsion: Vertreter_DirectProvsion = ParseNumber(s); break;
    case edVertreterPrint: Vertreter_Print = StrToIntDef(s, 1) != 0; break;
    case edVertreterProvision: Vertreter_Provision = ParseNumber(s); break;
    case edVertreterProvisionIsClose: Vertreter_Provision_IsClose = StrToIntDef(s, 0) != 0; break;
    case edCareOfName: AdressExInfoCareOfAdress.Name = s; break;
    case edCareOfID: AdressExInfoCareOfAdress.ID = StrToIntDef(s, 0); break;
    case edProvisionsInfo: ProvisionsInfo = SplitLines(s); break;
    case edProvisionsPayInfo: ProvisionsPayInfo = s; break;
    case edZConditionIndex: {
        const int v = StrToIntDef(s, -1);
        ZConditionIndex = IsValidConditionIndex(v) ? v : -1;
        break;
    }
    case edForeDoc: ForeDoc = s; break;
    case edExpression: Expression.Load(s); break;
    case edSuperLayoutname: SuperLayoutname = s; break;
    case edCurrencyInfo2EURO: CurrencyInfo_2EURO = ParseNumber(s); break;
    case edExtraCalcText: provider_->ExtraCalcText = s; break;
    case edExternalPriceProvider: ExternalPriceProvider = s; break;
    case edWarnings: Warnings = s; break;
    default: break; // not one of ours (MoreData belongs to TAdressExInfo2)
    }
}

void TAdressExInfo::LoadFromStream(std::string_view stream)
{
    Clear();
    Guarded("extended information", [&] {
        Datas.LoadFromStream(stream);
        for (const TAdressExInfoData& item : Datas.items())
            ApplyItem(item);
    });
}

void TAdressExInfo::LoadProfitFromStream(std::string_view stream)
{
    Clear();
    static constexpr int kProfitItems[] = {edCurrentGewinn, edVertreterProvision, edVertreter, edVertreterID};
    Guarded("extended information", [&] {
        Datas.LoadFromStream(stream, kProfitItems);
        for (const TAdressExInfoData& item : Datas.items())
            ApplyItem(item);
    });
}

void TAdressExInfo::AppendItems()
{
    auto add = [this](int type, std::string text) {
        TAdressExInfoData& d = Datas.Add();
        d.DataType = type;
        d.SimpleData = std::move(text);
    };
    add(edLieferanschrift, Lieferanschrift.SaveToText());
    add(edSkontoProz, FloatToText(SkontoProz));
    add(edSkontoDay, std::to_string(SkontoDay));
    add(edZZDays, std::to_string(ZZDays));
    add(edDefaultWorker, Default_Worker);
    add(edVertreter, Vertreter);
    add(edVertreterID, std::to_string(VertreterID));
    add(edArtikelRabatt, JoinLinesCrLf(ArtikelRabatt));
    add(edProvisionsInfo, JoinLinesCrLf(ProvisionsInfo));
    add(edForeDoc, ForeDoc);
    add(edCurrentGewinn, FloatToText(CurrentGewinn));
    add(edDetailGewinn, JoinLinesCrLf(DetailGewinn));
    add(edVertreterDirectProvsion, FloatToText(Vertreter_DirectProvsion));
    add(edVertreterProvision, FloatToText(Vertreter_Provision));
    add(edVertreterPrint, BoolText(Vertreter_Print));
    add(edVertreterProvisionIsClose, BoolText(Vertreter_Provision_IsClose));
    add(edCareOfName, AdressExInfoCareOfAdress.Name);
    add(edCareOfID, std::to_string(AdressExInfoCareOfAdress.ID));
    add(edProvisionsPayInfo, ProvisionsPayInfo);
    add(edZConditionIndex, std::to_string(ZConditionIndex));
    add(edExpression, Expression.Save());
    add(edSuperLayoutname, SuperLayoutname);
    add(edCurrencyInfo2EURO, FloatToText(CurrencyInfo_2EURO));
    add(edExtraCalcText, provider_->ExtraCalcText);
    add(edExternalPriceProvider, ExternalPriceProvider);
    add(edWarnings, Warnings);
}

void TAdressExInfo::SaveToStream(std::string& stream, bool clearFirst)
{
    Guarded("extended information, saving", [&] {
        if (clearFirst)
            Datas.Clear();
        AppendItems();
        stream = Datas.SaveToStream();
    });
}

// --- TAdressExInfo2 --------------------------------------------------------------------------------

void TAdressExInfo2::Clear()
{
    TAdressExInfo::Clear();
    MoreData.clear();
}

void TAdressExInfo2::Assign(const TAdressExInfo& source)
{
    TAdressExInfo::Assign(source);
    if (const auto* other = dynamic_cast<const TAdressExInfo2*>(&source); other && other != this)
        MoreData = other->MoreData;
}

void TAdressExInfo2::LoadFromStream(std::string_view stream)
{
    TAdressExInfo::LoadFromStream(stream);
    const bool loaded = Guarded("extended information, more data", [&] {
        MoreData.clear();
        for (const TAdressExInfoData& item : Datas.items()) {
            if (item.DataType == edMoreData) {
                MoreData = SplitLines(item.SimpleData);
                break;
            }
        }
    });
    if (!loaded)
        MoreData.clear();
}

void TAdressExInfo2::SaveToStream(std::string& stream, bool clearFirst)
{
    Datas.Clear();
    TAdressExInfoData& d = Datas.Add();
    d.DataType = edMoreData;
    d.SimpleData = JoinLinesCrLf(MoreData);
    TAdressExInfo::SaveToStream(stream, false);
}

// --- loading from the orders table -----------------------------------------------------------------

void LoadExtendedInfo(TAdsTable& table, TAdressExInfo& info)
{
    LoadExtendedInfo(table.FindField("EXTB"), info);
}

namespace {

// A number as the host writes one into an item: sign, digits with at most one decimal separator
// (the process's or "."), an optional exponent; nothing else around it but blanks.
bool IsNumberText(std::string_view text)
{
    const std::string t = Trim(text);
    const char separator = CurrentFormats().decimalSeparator;
    size_t i = 0, digits = 0;
    if (i < t.size() && (t[i] == '+' || t[i] == '-'))
        ++i;
    bool point = false;
    for (; i < t.size(); ++i) {
        if (t[i] >= '0' && t[i] <= '9')
            ++digits;
        else if ((t[i] == separator || t[i] == '.') && !point)
            point = true;
        else
            break;
    }
    if (digits == 0)
        return false;
    if (i < t.size() && (t[i] == 'e' || t[i] == 'E')) {
        ++i;
        if (i < t.size() && (t[i] == '+' || t[i] == '-'))
            ++i;
        const size_t start = i;
        while (i < t.size() && t[i] >= '0' && t[i] <= '9')
            ++i;
        if (i == start)
            return false;
    }
    return i == t.size() && std::isfinite(ParseNumber(t, point && t.find('.') != std::string::npos ? '.' : separator));
}

// The profit and the commission items, the last of each as loading applies them, are numbers.
bool ProfitItemsReadable(const TAdressExInfoDatas& datas)
{
    const std::string* profit = nullptr;
    const std::string* commission = nullptr;
    for (const TAdressExInfoData& item : datas.items()) {
        if (item.DataType == edCurrentGewinn)
            profit = &item.SimpleData;
        else if (item.DataType == edVertreterProvision)
            commission = &item.SimpleData;
    }
    return profit && commission && IsNumberText(*profit) && IsNumberText(*commission);
}

} // namespace

void LoadExtendedInfo(const Field* extb, TAdressExInfo& info, ExtInfoPart part)
{
    info.ProfitInfoReadable = false;
    Guarded("EXTB", [&] {
        info.Clear();
        std::string content;
        if (extb)
            ReadBlobField(*extb, content);
        if (part == ExtInfoPart::Profit)
            info.LoadProfitFromStream(content);
        else
            info.LoadFromStream(content);
        info.ProfitInfoReadable = extb != nullptr && ProfitItemsReadable(info.Datas);
    });
}

} // namespace gs
