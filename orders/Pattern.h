#pragma once
// The order pattern: one document of the orders table held in memory (header values, texts, layout
// switches, address, extended information). The same class is the template of a new document of
// each type; the thirteen default patterns (DefaultPatterns.h) are the starting point of every load.
#include "base/Dates.h"
#include "base/Error.h"
#include "orders/AddInfoLines.h"
#include "orders/AdressExInfo.h"
#include "db/BlobStream.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace gs {

class TAdsTable;
class Field;

// The free texts of a document, filled from the columns INFO1 to INFO5 in this order.
class TInfoFields {
public:
    std::array<std::string, 5> Texts;

    void Clear();
    void CopyFrom(const TInfoFields& source) { Texts = source.Texts; }
    // INFO1 to INFO5 in turn; the first column that cannot be read ends the loop and the later
    // texts keep their values. Never raises for ordinary errors.
    void LoadFromTable(TAdsTable& table);

    bool operator==(const TInfoFields&) const = default;
};

// Lines 15 and 16 of a document's GZS text.
struct TDestinationInfo {
    std::string Line15;
    std::string Line16;
    bool operator==(const TDestinationInfo&) const = default;
};

class DefaultPatterns;
struct OrderColumns; // the table's columns, looked up once per opening of the table

// How LoadPatternFromOrder loads a row (the host's mode numbers).
enum LoadMode : int {
    LoadModeFull = 0,     // the document itself
    LoadModeTemplate = 1, // the template of a new document of the row's type
    // The document as the statistics read it: the values they use (POT, Date, ID_ORDER, Adressname,
    // AdressID, DataGrid_DM, and of EXTB, the only blob read, the profit, the commission and the
    // representative). Every other column of the full load is checked as there (a value that does
    // not convert fails the load alike) and keeps the default pattern's value, as do the texts,
    // layouts, additional info lines, address lines, GZS and the other values of EXTB.
    LoadModeStatistics = 2,
};

class TMPattern {
public:
    TMPattern();
    virtual ~TMPattern();
    TMPattern(const TMPattern&) = delete;
    TMPattern& operator=(const TMPattern&) = delete;

    // Every field except StatusLine and Destination; streams byte for byte.
    void Assign(const TMPattern& source);
    // Every field.
    virtual void CopyAll(const TMPattern& source);

    BlobStream Footertext;
    BlobStream Headertext;
    BlobStream ORDER2;
    BlobStream ColumnsFormat;
    BlobStream Datas;
    std::string ZZL, ZZR;
    TDateTime ZZD = 0;
    std::uint8_t DocType = 0;
    std::string DocTypeName;
    TInfoFields InfoFields;
    std::string PrintName = "DOKUMENT";
    std::uint8_t POT = 0;
    int PID = 0;
    TAddInfoLines AddInfoLines;
    BlobStream InternText;
    bool DataGrid = false, InfoSumme = false, Summe = false, Header = false, Footer = false, Endt = false,
         ZZ = false, Enabled = false;
    bool data_netto = true;
    bool DataGrid_DM = false; // the document's amounts are in the second currency
    TDateTime Date = 0;
    std::vector<std::string> Adress;
    int ID = 0;
    int ID_ORDER = 0;
    std::string Adressname = "kein";
    int AdressID = -1;
    std::uint8_t Status = 3;
    TDateTime FromDate = 0;
    std::string FromText, KNR;
    std::string Info;
    std::int16_t ParentType = 0;
    TAdressExInfo ExtInfo;
    double Steuer_Low_set = 0;
    double Steuer_High_set = 0;
    std::string StatusLine;       // Statustext + " - " + GZS
    TDestinationInfo Destination; // lines 15 and 16 of GZS

    // Values of the host that this module neither sets nor reads; Assign and CopyAll carry them.
    std::vector<std::string> HostLines;
    std::array<std::string, 3> HostTexts;
    std::array<bool, 2> HostFlags{};
    std::array<int, 2> HostNumbers{};

private:
    friend void LoadPatternFromOrder(TMPattern& pattern, TAdsTable& table, LoadMode mode,
                                     const DefaultPatterns& defaults);
    void copyFields(const TMPattern& source);
    std::unique_ptr<OrderColumns> columns_;
};

inline constexpr const char* PatternLoadErrorText = "Auftrag kann nicht geladen werden.";

// A document that cannot be loaded. The text keeps the host's message in front and names the
// document and the cause on its own line: "Auftrag kann nicht geladen werden.<BR><B>Möglicher
// Fehler:</B><BR>Auftrag 10012: Ungültiger Wert in Spalte ZZD: ... (Tabelle Auftraege.ADT)".
class PatternLoadError : public Error {
public:
    PatternLoadError(std::optional<int> documentNumber, std::string column, const std::string& cause);
    const std::optional<int>& DocumentNumber() const { return documentNumber_; } // ID_ORDER, if readable
    const std::string& Column() const { return column_; }                        // empty when unknown

private:
    std::optional<int> documentNumber_;
    std::string column_;
};

// Fills pattern from the current row of the orders table, starting from the default pattern of the
// row's document type (of defaults), in the given mode. A closed table leaves the default of type 1.
// A column the table lacks or a value that does not convert raises PatternLoadError
// "Auftrag kann nicht geladen werden." with the document number and the cause (what was loaded
// before stays); missing or damaged blobs, EXTB, Endtext and INFO columns are no failure and keep
// the defaults.
void LoadPatternFromOrder(TMPattern& pattern, TAdsTable& table, LoadMode mode, const DefaultPatterns& defaults);

// The columns of the open orders table that a load in LoadModeStatistics reads (those the table
// has): for TAdsTable::SetRowColumns, so that a walk fetches each of them with its row.
std::vector<Field*> StatisticsColumns(TAdsTable& table);

// Lines 15 and 16 of the row's GZS; both empty when it has fewer than 16 lines or cannot be read.
TDestinationInfo ReadDestination(TAdsTable& table);
TDestinationInfo DestinationFromText(std::string_view gzs);

// Clears lines and loads them from the row's Endtext as stored (no decompression). False, with the
// lines empty, when the column cannot be read.
bool LoadAddInfoLines(TAddInfoLines& lines, TAdsTable& table);

} // namespace gs
