#include "orders/Pattern.h"

#include "base/Dialogs.h"
#include "base/Error.h"
#include "base/ProcessContext.h"
#include "base/Text.h"
#include "db/AdsError.h"
#include "db/AdsTable.h"
#include "db/BlobFields.h"
#include "orders/DefaultPatterns.h"
#include "settings/Settings.h"

#include <cmath>

namespace gs {

// --- TInfoFields -----------------------------------------------------------------------------------

void TInfoFields::Clear()
{
    for (std::string& t : Texts)
        t.clear();
}

namespace {

constexpr const char* kInfoColumns[5] = {"INFO1", "INFO2", "INFO3", "INFO4", "INFO5"};

// INFO1 to INFO5 as looked up (nullptr: missing); the first that cannot be read ends the loop.
void LoadInfoTexts(TInfoFields& info, Field* const (&columns)[5])
{
    for (size_t i = 0; i < 5; ++i) {
        if (columns[i] == nullptr)
            return;
        if (!Guarded(kInfoColumns[i], [&] { info.Texts[i] = columns[i]->AsString(); }))
            return;
    }
}

} // namespace

void TInfoFields::LoadFromTable(TAdsTable& table)
{
    Field* columns[5];
    for (size_t i = 0; i < 5; ++i)
        columns[i] = table.FindField(kInfoColumns[i]);
    LoadInfoTexts(*this, columns);
}

// --- TMPattern -------------------------------------------------------------------------------------

// The columns a load reads, looked up once per opening of the table; nullptr where the table lacks
// the column (reading such a column is what fails the load).
struct OrderColumns {
    std::uint64_t openId = 0;
    const TAdsTable* table = nullptr;
    Field *POT = nullptr, *Footertext = nullptr, *Headertext = nullptr, *ORDER2 = nullptr, *InternText = nullptr,
           *Endtext = nullptr, *ColumnsFormat = nullptr, *Datas = nullptr, *ZZL = nullptr, *ZZR = nullptr,
           *ZZD = nullptr, *PrintName = nullptr, *DataGrid = nullptr, *DataGrid_DM = nullptr, *data_netto = nullptr,
           *InfoSumme = nullptr, *Summe = nullptr, *Header = nullptr, *Endt = nullptr, *Footer = nullptr,
           *ZZ = nullptr, *Enabled = nullptr, *Steuer_Low_set = nullptr, *Steuer_High_set = nullptr,
           *ParentType = nullptr, *Info = nullptr, *Statustext = nullptr, *GZS = nullptr, *PID = nullptr,
           *Date = nullptr, *Adress = nullptr, *ID = nullptr, *ID_ORDER = nullptr, *Adressname = nullptr,
           *AdressID = nullptr, *Status = nullptr, *FromDate = nullptr, *FromText = nullptr, *KNR = nullptr,
           *EXTB = nullptr;
    Field* INFO[5] = {};
    std::vector<Field*> fullBlobs, templateBlobs; // read together with one statement
    std::vector<Field*> statisticsColumns;        // every column a statistics load reads

    void lookUp(TAdsTable& t)
    {
        table = &t;
        openId = t.OpenId();
        auto f = [&t](const char* name) { return t.FindField(name); };
        POT = f("POT");
        Footertext = f("Footertext");
        Headertext = f("Headertext");
        ORDER2 = f("ORDER2");
        InternText = f("InternText");
        Endtext = f("Endtext");
        ColumnsFormat = f("ColumnsFormat");
        Datas = f("Datas");
        ZZL = f("ZZL");
        ZZR = f("ZZR");
        ZZD = f("ZZD");
        PrintName = f("PrintName");
        DataGrid = f("DataGrid");
        DataGrid_DM = f("DataGrid_DM");
        data_netto = f("data_netto");
        InfoSumme = f("InfoSumme");
        Summe = f("Summe");
        Header = f("Header");
        Endt = f("Endt");
        Footer = f("Footer");
        ZZ = f("ZZ");
        Enabled = f("Enabled");
        Steuer_Low_set = f("Steuer_Low_set");
        Steuer_High_set = f("Steuer_High_set");
        ParentType = f("ParentType");
        Info = f("Info");
        Statustext = f("Statustext");
        GZS = f("GZS");
        PID = f("PID");
        Date = f("Date");
        Adress = f("Adress");
        ID = f("ID");
        ID_ORDER = f("ID_ORDER");
        Adressname = f("Adressname");
        AdressID = f("AdressID");
        Status = f("Status");
        FromDate = f("FromDate");
        FromText = f("FromText");
        KNR = f("KNR");
        EXTB = f("EXTB");
        for (size_t i = 0; i < 5; ++i)
            INFO[i] = f(kInfoColumns[i]);
        // What a statistics load reads (see PlainColumns): the values it uses, and of the columns it
        // only checks those where reading could fail; texts and the info lines it does not read.
        statisticsColumns = {POT, DataGrid_DM, Date, ID_ORDER, Adressname, AdressID, EXTB};
        const std::pair<Field*, FieldRead> checked[] = {
            {ZZD, FieldRead::DateTime},      {DataGrid, FieldRead::Boolean},       {data_netto, FieldRead::Boolean},
            {InfoSumme, FieldRead::Boolean}, {Summe, FieldRead::Boolean},          {Header, FieldRead::Boolean},
            {Endt, FieldRead::Boolean},      {Footer, FieldRead::Boolean},         {ZZ, FieldRead::Boolean},
            {Enabled, FieldRead::Boolean},   {Steuer_Low_set, FieldRead::Float},   {Steuer_High_set, FieldRead::Float},
            {PID, FieldRead::Integer},       {ID, FieldRead::Integer},             {Status, FieldRead::LargeInt},
            {FromDate, FieldRead::DateTime}, {ParentType, FieldRead::LargeInt}};
        for (const auto& [field, read] : checked) {
            if (field != nullptr && !field->ReadsWithoutFail(read))
                statisticsColumns.push_back(field);
        }
        templateBlobs = {Footertext, Headertext, ORDER2, InternText, ColumnsFormat, Datas, EXTB};
        fullBlobs = templateBlobs;
        fullBlobs.insert(fullBlobs.end(), {Endtext, GZS, Adress});
    }
};

TMPattern::TMPattern() = default;
TMPattern::~TMPattern() = default;

void TMPattern::copyFields(const TMPattern& s)
{
    Footertext = s.Footertext;
    Headertext = s.Headertext;
    ORDER2 = s.ORDER2;
    ColumnsFormat = s.ColumnsFormat;
    Datas = s.Datas;
    ZZL = s.ZZL;
    ZZR = s.ZZR;
    ZZD = s.ZZD;
    DocType = s.DocType;
    DocTypeName = s.DocTypeName;
    InfoFields.CopyFrom(s.InfoFields);
    PrintName = s.PrintName;
    POT = s.POT;
    PID = s.PID;
    AddInfoLines.Assign(s.AddInfoLines);
    InternText = s.InternText;
    DataGrid = s.DataGrid;
    InfoSumme = s.InfoSumme;
    Summe = s.Summe;
    Header = s.Header;
    Footer = s.Footer;
    Endt = s.Endt;
    ZZ = s.ZZ;
    Enabled = s.Enabled;
    data_netto = s.data_netto;
    DataGrid_DM = s.DataGrid_DM;
    Date = s.Date;
    Adress = s.Adress;
    ID = s.ID;
    ID_ORDER = s.ID_ORDER;
    Adressname = s.Adressname;
    AdressID = s.AdressID;
    Status = s.Status;
    FromDate = s.FromDate;
    FromText = s.FromText;
    KNR = s.KNR;
    Info = s.Info;
    ParentType = s.ParentType;
    ExtInfo.Assign(s.ExtInfo);
    Steuer_Low_set = s.Steuer_Low_set;
    Steuer_High_set = s.Steuer_High_set;
    HostLines = s.HostLines;
    HostTexts = s.HostTexts;
    HostFlags = s.HostFlags;
    HostNumbers = s.HostNumbers;
}

void TMPattern::Assign(const TMPattern& source)
{
    if (&source != this)
        copyFields(source);
}

void TMPattern::CopyAll(const TMPattern& source)
{
    if (&source == this)
        return;
    copyFields(source);
    StatusLine = source.StatusLine;
    Destination = source.Destination;
}

// --- loading ---------------------------------------------------------------------------------------

TDestinationInfo DestinationFromText(std::string_view gzs)
{
    // Lines end at CR LF, a lone CR or a lone LF; a final line break starts no further line.
    TDestinationInfo d;
    size_t line = 0, pos = 0;
    std::string_view l15, l16;
    while (pos < gzs.size()) {
        size_t end = pos;
        while (end < gzs.size() && gzs[end] != '\r' && gzs[end] != '\n')
            ++end;
        ++line;
        if (line == 15)
            l15 = gzs.substr(pos, end - pos);
        else if (line == 16) {
            l16 = gzs.substr(pos, end - pos);
            break;
        }
        if (end < gzs.size() && gzs[end] == '\r' && end + 1 < gzs.size() && gzs[end + 1] == '\n')
            pos = end + 2;
        else
            pos = end + 1; // past a lone CR or LF, or past the end
    }
    if (line >= 16) {
        d.Line15 = std::string(l15);
        d.Line16 = std::string(l16);
    }
    return d;
}

TDestinationInfo ReadDestination(TAdsTable& table)
{
    TDestinationInfo destination;
    Guarded("GZS", [&] { destination = DestinationFromText(table.FieldByName("GZS").AsString()); });
    return destination;
}

namespace {

bool LoadAddInfoLinesFrom(TAddInfoLines& lines, const Field* endtext)
{
    lines.Clear();
    if (endtext == nullptr)
        return false;
    const bool loaded = Guarded(endtext->FieldName(), [&] {
        const ValueRef v = endtext->Value();
        if (v.kind == StorageKind::Blob)
            lines.LoadFromStream(v.s); // as stored, no code page applies
        else
            lines.LoadFromStream(endtext->AsBytes());
    });
    if (!loaded)
        lines.Clear();
    return loaded;
}

// The stored value of a blob column into a pattern stream; a missing column leaves the stream as
// it was, as does a value that cannot be read.
void ReadStoredBlob(const Field* field, BlobStream& target)
{
    if (field == nullptr)
        return;
    Guarded(field->FieldName(), [&] {
        const ValueRef v = field->Value();
        target.SetStored(v.kind == StorageKind::Blob ? std::string(v.s) : field->AsBytes());
    });
}

Field& Need(Field* field, const char* name)
{
    if (field == nullptr)
        throw AdsError("Spalte nicht gefunden: " + std::string(name), {}, name);
    return *field;
}

std::uint8_t ByteOf(long long v) { return static_cast<std::uint8_t>(static_cast<unsigned long long>(v)); }
std::int16_t Int16Of(long long v)
{
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(static_cast<unsigned long long>(v)));
}

// Reads plain columns into the pattern. A statistics load (checkOnly) leaves alone the values the
// statistics do not use and only checks those columns as the full load reads them: a value that
// does not convert fails the load alike. It reads such a column only where its value could fail
// (Field::ReadsWithoutFail): never a text, and on a server's typed columns only the dates.
struct PlainColumns {
    bool checkOnly = false;

    void Text(Field* field, const char* name, std::string& to) const
    {
        Field& f = Need(field, name);
        if (!checkOnly)
            to = f.AsString();
    }
    void Date(Field* field, const char* name, TDateTime& to) const
    {
        Take(field, name, FieldRead::DateTime, to, [](Field& f) { return f.AsDateTime(); });
    }
    void Boolean(Field* field, const char* name, bool& to) const
    {
        Take(field, name, FieldRead::Boolean, to, [](Field& f) { return f.AsBoolean(); });
    }
    void Float(Field* field, const char* name, double& to) const
    {
        Take(field, name, FieldRead::Float, to, [](Field& f) { return f.AsFloat(); });
    }
    void Integer(Field* field, const char* name, int& to) const
    {
        Take(field, name, FieldRead::Integer, to, [](Field& f) { return f.AsInteger(); });
    }
    void Byte(Field* field, const char* name, std::uint8_t& to) const
    {
        Take(field, name, FieldRead::LargeInt, to, [](Field& f) { return ByteOf(f.AsLargeInt()); });
    }
    void Int16(Field* field, const char* name, std::int16_t& to) const
    {
        Take(field, name, FieldRead::LargeInt, to, [](Field& f) { return Int16Of(f.AsLargeInt()); });
    }

private:
    template <typename T, typename Read>
    void Take(Field* field, const char* name, FieldRead kind, T& to, Read read) const
    {
        Field& f = Need(field, name);
        if (!checkOnly)
            to = read(f);
        else if (!f.ReadsWithoutFail(kind))
            read(f);
    }
};

} // namespace

bool LoadAddInfoLines(TAddInfoLines& lines, TAdsTable& table)
{
    return LoadAddInfoLinesFrom(lines, table.FindField("Endtext"));
}

std::vector<Field*> StatisticsColumns(TAdsTable& table)
{
    if (!table.Active())
        return {};
    OrderColumns c;
    c.lookUp(table);
    std::vector<Field*> columns;
    for (Field* f : c.statisticsColumns) {
        if (f != nullptr)
            columns.push_back(f);
    }
    return columns;
}

PatternLoadError::PatternLoadError(std::optional<int> documentNumber, std::string column, const std::string& cause)
    : Error(std::string(PatternLoadErrorText) + "<BR>" + PossibleErrorPrefix + "Auftrag " +
            (documentNumber ? std::to_string(*documentNumber) : std::string("(Nummer nicht lesbar)")) + ": " + cause),
      documentNumber_(documentNumber), column_(std::move(column))
{
}

namespace {

// The error of a row that cannot be loaded: its document number if that can be read, and the
// column the cause names.
PatternLoadError LoadErrorOf(Field* idOrder, const std::exception& cause)
{
    std::optional<int> number;
    if (idOrder)
        Guarded("ID_ORDER", [&] { number = idOrder->AsInteger(); });
    std::string column;
    if (const auto* a = dynamic_cast<const AdsError*>(&cause))
        column = a->Column();
    else if (const auto* c = dynamic_cast<const FieldConvertError*>(&cause))
        column = c->Column();
    return PatternLoadError(number, column, cause.what());
}

} // namespace

void LoadPatternFromOrder(TMPattern& pattern, TAdsTable& table, LoadMode mode, const DefaultPatterns& defaults)
{
    const bool full = mode != LoadModeTemplate;
    const bool texts = mode != LoadModeStatistics; // the blobs the statistics do not need

    // Start from the default pattern of the row's type (type 1 when POT cannot be read).
    OrderColumns* c = nullptr;
    if (table.Active()) {
        if (!pattern.columns_)
            pattern.columns_ = std::make_unique<OrderColumns>();
        c = pattern.columns_.get();
        if (c->table != &table || c->openId != table.OpenId())
            c->lookUp(table);
        long long pot = 1;
        Guarded("POT", [&] { pot = Need(c->POT, "POT").AsLargeInt(); });
        pattern.Assign(defaults.ForDocType(pot));
    } else {
        pattern.Assign(defaults.ForDocType(1));
        return; // nothing more without an open table
    }

    // Any failure from here on ends the load with the error callers know, naming the document and
    // the column; what was loaded before it stays in the pattern.
    HandleOrdinaryError([&] {
        // One snapshot and one lock of the file for all reads of the row.
        TAdsTable::ReadScope snapshot(table);
        // The row as it is now; its blobs fetched together.
        table.RefreshRecord();
        table.PrefetchBlobs(!texts ? std::vector<Field*>{c->EXTB} : full ? c->fullBlobs : c->templateBlobs);
        if (texts) {
            // The text blobs, kept as stored.
            ReadStoredBlob(c->Footertext, pattern.Footertext);
            ReadStoredBlob(c->Headertext, pattern.Headertext);
            ReadStoredBlob(c->ORDER2, pattern.ORDER2);
            ReadStoredBlob(c->InternText, pattern.InternText);
            // The additional info lines belong to a document, not to a template.
            pattern.AddInfoLines.Clear();
            if (full)
                LoadAddInfoLinesFrom(pattern.AddInfoLines, c->Endtext);
            // The layout blobs.
            ReadStoredBlob(c->ColumnsFormat, pattern.ColumnsFormat);
            ReadStoredBlob(c->Datas, pattern.Datas);
        }
        // The plain columns that every mode reads; a statistics load only checks most of them.
        const PlainColumns plain{!texts};
        plain.Text(c->ZZL, "ZZL", pattern.ZZL);
        plain.Text(c->ZZR, "ZZR", pattern.ZZR);
        plain.Date(c->ZZD, "ZZD", pattern.ZZD);
        plain.Text(c->PrintName, "PrintName", pattern.PrintName);
        plain.Boolean(c->DataGrid, "DataGrid", pattern.DataGrid);
        pattern.DataGrid_DM = Need(c->DataGrid_DM, "DataGrid_DM").AsBoolean();
        plain.Boolean(c->data_netto, "data_netto", pattern.data_netto);
        plain.Boolean(c->InfoSumme, "InfoSumme", pattern.InfoSumme);
        plain.Boolean(c->Summe, "Summe", pattern.Summe);
        plain.Boolean(c->Header, "Header", pattern.Header);
        plain.Boolean(c->Endt, "Endt", pattern.Endt);
        plain.Boolean(c->Footer, "Footer", pattern.Footer);
        plain.Boolean(c->ZZ, "ZZ", pattern.ZZ);
        plain.Boolean(c->Enabled, "Enabled", pattern.Enabled);
        plain.Float(c->Steuer_Low_set, "Steuer_Low_set", pattern.Steuer_Low_set);
        plain.Float(c->Steuer_High_set, "Steuer_High_set", pattern.Steuer_High_set);

        if (!full) {
            // The template of a new document: today's date and the settings' tax rates.
            LoadExtendedInfo(c->EXTB, pattern.ExtInfo);
            pattern.ParentType = Int16Of(Need(c->ParentType, "ParentType").AsLargeInt());
            pattern.Info = Need(c->Info, "Info").AsString();
            pattern.InfoFields.Clear();
            pattern.Date = std::floor(ProcessContext::current().now());
            if (const TSettings* settings = defaults.settings()) {
                pattern.Steuer_Low_set = settings->TaxRateReduced;
                pattern.Steuer_High_set = settings->TaxRateFull;
            }
            return;
        }

        // The document itself.
        if (texts) {
            const std::string gzs = Need(c->GZS, "GZS").AsString();
            pattern.StatusLine = Need(c->Statustext, "Statustext").AsString() + " - " + gzs;
            pattern.Destination = DestinationFromText(gzs);
        } else {
            Need(c->GZS, "GZS");
            Need(c->Statustext, "Statustext");
        }
        plain.Integer(c->PID, "PID", pattern.PID);
        pattern.Date = Need(c->Date, "Date").AsDateTime();
        if (texts)
            pattern.Adress = SplitLines(Need(c->Adress, "Adress").AsString());
        else
            Need(c->Adress, "Adress");
        plain.Integer(c->ID, "ID", pattern.ID);
        pattern.ID_ORDER = Need(c->ID_ORDER, "ID_ORDER").AsInteger();
        pattern.Adressname = Need(c->Adressname, "Adressname").AsString();
        pattern.AdressID = Need(c->AdressID, "AdressID").AsInteger();
        plain.Byte(c->Status, "Status", pattern.Status);
        plain.Date(c->FromDate, "FromDate", pattern.FromDate);
        plain.Text(c->FromText, "FromText", pattern.FromText);
        plain.Text(c->KNR, "KNR", pattern.KNR);
        plain.Float(c->Steuer_Low_set, "Steuer_Low_set", pattern.Steuer_Low_set);
        plain.Float(c->Steuer_High_set, "Steuer_High_set", pattern.Steuer_High_set);
        // The info texts fail no load (a text that cannot be read ends them); the statistics skip them.
        if (texts)
            LoadInfoTexts(pattern.InfoFields, c->INFO);
        plain.Int16(c->ParentType, "ParentType", pattern.ParentType);
        Guarded("POT", [&] { pattern.POT = ByteOf(Need(c->POT, "POT").AsLargeInt()); });
        LoadExtendedInfo(c->EXTB, pattern.ExtInfo, texts ? ExtInfoPart::All : ExtInfoPart::Profit);
    }, [&](const std::exception& e) -> void { throw LoadErrorOf(c->ID_ORDER, e); });
}

} // namespace gs
