#include "spool/SpoolTables.h"

#include "base/ProcessContext.h"
#include "db/AdsConnection.h"
#include "db/AdsTable.h"
#include "spool/SpoolJobState.h"

#include <sqlite3.h>

#include <ctime>
#include <system_error>

namespace gs {

namespace {

using F = TAdsFieldType;

void Add(std::vector<AdsFieldDef>& v, const char* name, F type, int size = 0) { v.push_back({name, type, size}); }

// name0 ... name<last>, all of one type.
void AddSeries(std::vector<AdsFieldDef>& v, const std::string& stem, int first, int last, F type, int size = 0)
{
    for (int i = first; i <= last; ++i)
        v.push_back({stem + std::to_string(i), type, size});
}

std::vector<AdsFieldDef> MakeDetailFields()
{
    std::vector<AdsFieldDef> v;
    Add(v, "dsecondfont", F::Logical);
    AddSeries(v, "d", 0, 15, F::Char, 200);
    Add(v, "ds", F::Memo);
    Add(v, "id", F::AutoInc);
    Add(v, "idmain", F::Integer);
    return v;
}

// The document fields come from the host's document-field catalogue: its rows in order, each field
// once (the catalogue repeats ID_ORDER and KNR as barcode elements, and its page elements have no
// data type); they are listed here as the catalogue produces them.
void AddDocumentFields(std::vector<AdsFieldDef>& v)
{
    Add(v, "Adress", F::Memo);                 // Empfaengeradresse
    Add(v, "AdressNotEmptyLines", F::Memo);    // Empfaengeradresse komprimiert ohne Leerzeilen
    Add(v, "AdressSingleLine", F::Memo);       // Empfaengeradresse einzeilig
    Add(v, "PrintName", F::Char, 100);         // Auftragstyp; list jobs: the print name
    Add(v, "ID_ORDER", F::Integer);
    Add(v, "Date", F::Date);
    Add(v, "DateEx", F::Char, 30);
    Add(v, "KNR", F::Char, 40);
    Add(v, "FromText", F::Char, 100);
    Add(v, "FromDate", F::Date);
    Add(v, "FromDateEx", F::Char, 30);
    Add(v, "HTEXT", F::Binary);                // Auftrag Kopftext (rich text); list jobs: the title
    Add(v, "ABSCHLAG", F::Char, 200);
    Add(v, "VERSAND", F::Char, 50);
    Add(v, "VERSAND2", F::Char, 50);
    Add(v, "SUMME00", F::Char, 100);
    Add(v, "SUMME10", F::Char, 100);
    Add(v, "SUMME20", F::Char, 100);
    Add(v, "SUMME01", F::Char, 100);
    Add(v, "TRUENETTOSUMMELABEL", F::Char, 150);
    Add(v, "SUMME11", F::Char, 100);
    Add(v, "SUMME21", F::Char, 100);
    Add(v, "SUMME02", F::Char, 100);
    Add(v, "TRUENETTOSUMME", F::Char, 100);
    Add(v, "SUMME12", F::Char, 100);
    Add(v, "SUMME22", F::Char, 100);
    Add(v, "FTEXT", F::Binary);                // Auftrag Fusstext (rich text); list jobs: the totals
    Add(v, "ZZL", F::Char, 200);
    Add(v, "Sk", F::Char, 200);
    Add(v, "LabelOrderKundennummer", F::Char, 100);
    Add(v, "LabelOrderNumber", F::Char, 100);
    Add(v, "LabelOrderDate", F::Char, 100);
    Add(v, "LabelOrder_auftrag_", F::Char, 100);
    Add(v, "LabelOrder_auftragvom_", F::Char, 100);
    Add(v, "UmsatzID", F::Char, 200);
    Add(v, "ETEXT", F::Binary);
    AddSeries(v, "ETEXT", 0, 9, F::Char, 100);
    Add(v, "VTNAME", F::Char, 100);
    Add(v, "VTCOMPLETEINFO", F::Binary);
    Add(v, "CAREOFADRESSNAME", F::Char, 200);
    Add(v, "CAREOFADRESSCOMPLETEINFO", F::Binary);
    Add(v, "Adressname", F::Char, 200);
    Add(v, "Adress2", F::Memo);
    Add(v, "LieferNotEmptyLines", F::Memo);
    Add(v, "LieferSingleLine", F::Memo);
    for (const char* name : {"EX_STEUERLOWVALUE", "EX_STEUERHIGHVALUE", "EX_STEUERLOWSET", "EX_STEUERHIGHSET",
                             "EX_WW0", "EX_WWL", "EX_WWH"})
        Add(v, name, F::Char, 20);
    Add(v, "Auftragstyp_Nummer", F::Char, 100);
    AddSeries(v, "Info", 1, 5, F::Char, 100);
    for (const char* name : {"Anrede", "Anrede2", "Vname", "Nname", "Abtl", "Strasse"})
        Add(v, name, F::Char, 100);
    Add(v, "PLZ", F::Char, 50);
    Add(v, "Ort", F::Char, 100);
    Add(v, "Region", F::Char, 100);
    AddSeries(v, "L", 1, 10, F::Char, 300);
    AddSeries(v, "R", 1, 10, F::Char, 300);
    Add(v, "memo", F::Memo);
    for (const char* name : {"region2", "NName2", "Anrede1_2", "Anrede2_2", "VName2", "Abtl2", "Strasse2"})
        Add(v, name, F::Char, 100);
    Add(v, "Plz2", F::Char, 50);
    Add(v, "Ort2", F::Char, 100);
    for (const char* name : {"VERSANDBRUTTOTEXT", "VERSANDBRUTTOVALUE", "VERSANDNETTOTEXT", "VERSANDNETTOVALUE"})
        Add(v, name, F::Char, 50);
    Add(v, "Faxnumber", F::Char, 100);         // Sendeziel
}

void AddJobFields(std::vector<AdsFieldDef>& v)
{
    Add(v, "RPT", F::Binary);
    Add(v, "DATAGRIDDATA", F::Binary);
    Add(v, "DATAGRIDCOLUMNSCAPTION", F::Binary);
    Add(v, "DATAGRIDCOLUMNSWIDHTS", F::Char, 250);
    Add(v, "DEST", F::Char, 100);
    Add(v, "DESTINFO", F::Char, 100);
    Add(v, "FAXSCRIPT", F::Char, 100);
    Add(v, "PRINTERNAME", F::Char, 200);
    Add(v, "SECONDPAGEHEADINFO", F::Binary);
    Add(v, "SUMMARYDATA", F::Binary);
    Add(v, "SUMMARYLIST", F::Memo);
    Add(v, "DESTADRESS", F::Memo);
    Add(v, "MAILADDINFOS", F::Memo);
    Add(v, "ADDTEXTS", F::Memo);
    Add(v, "RTPID", F::Char, 100);
    for (const char* name : {"UseLochmark", "UseFalzmark", "DataGridSecondLowWidth"})
        Add(v, name, F::Logical);
    Add(v, "Caption", F::Char, 200);
    for (const char* name : {"DataGrid", "dataingrid", "data_netto", "Summe", "InfoSumme", "Header", "Endt", "Footer",
                             "ZZ", "USESK"})
        Add(v, name, F::Logical);
    Add(v, "ZZD", F::Date);
    Add(v, "Title", F::Logical);
    Add(v, "DocHeader", F::Logical);
    Add(v, "X3", F::Char, 100);
    Add(v, "X4", F::Char, 200);
    Add(v, "X5", F::Char, 50);
    Add(v, "SubPath", F::Char, 255);
    Add(v, "X6", F::Char, 50);
    AddSeries(v, "h", 0, 15, F::Char, 50);
    AddSeries(v, "hw", 0, 15, F::Integer);
    Add(v, "RightEndSecond", F::Integer);
    Add(v, "LeftStartSecond", F::Integer);
    AddSeries(v, "aligh", 1, 15, F::Integer);
    AddSeries(v, "aligd", 1, 15, F::Integer);
    Add(v, "ISMAIL", F::Logical);
    Add(v, "MAILTYPE", F::Char, 20);
    Add(v, "ATTACH", F::Memo);
    Add(v, "PRINTERBIN1", F::Char, 100);
    Add(v, "PRINTERBIN2", F::Char, 255);
    Add(v, "BinFirstPrinterPage2_Name", F::Char, 50);
    Add(v, "BinSecondPrinterPage2_Name", F::Char, 50);
    Add(v, "SECONDPAGE", F::Integer);
    Add(v, "COPIES", F::Integer);
    Add(v, "LANDSCAPE", F::Logical);
    Add(v, "AFTERMSG", F::Logical);
    Add(v, "HTML_OtherPart", F::Memo);
    Add(v, "HTML_TextPart", F::Memo);
    for (const char* name : {"LK", "MathBrutto", "MathBruttoLeft", "MathBruttoRigth", "LK2"})
        Add(v, name, F::Char, 100);
    Add(v, "FOREDOC", F::Binary);
    Add(v, "TlbBoundsA", F::Memo);
    Add(v, "SMTP_S_INI", F::Char, 80);
    Add(v, "COMPUTER", F::Char, 50);
}

std::vector<AdsFieldDef> MakeSpoolFields()
{
    std::vector<AdsFieldDef> v;
    Add(v, "ID", F::AutoInc);
    Add(v, "PRIO", F::Integer);
    AddDocumentFields(v);
    AddJobFields(v);
    return v;
}

std::int64_t FileSize(const std::filesystem::path& file)
{
    std::error_code ec;
    const auto size = std::filesystem::file_size(file, ec);
    return ec ? -1 : static_cast<std::int64_t>(size);
}

void CreateOne(const std::filesystem::path& dir, const char* tableName, const std::vector<AdsFieldDef>& fields,
               const std::vector<AdsIndexDef>& indexes)
{
    // A private connection and table, freed on every path: the spooler's own stay untouched.
    TAdsConnection connection;
    connection.SetAdsServerTypes({stADS_LOCAL});
    connection.SetConnectPath(dir.string());
    connection.Connect();
    TAdsTable table(&connection, tableName);
    if (table.TableExists())
        return;
    table.CreateTable(fields, indexes, TAdsCharType::ANSI);
}

std::string TimeStamp()
{
    const std::time_t t = std::time(nullptr);
    std::tm tm{};
    localtime_r(&t, &tm);
    char buf[32];
    std::strftime(buf, sizeof buf, "%Y%m%d-%H%M%S", &tm);
    return buf;
}

} // namespace

const std::vector<AdsFieldDef>& DetailTableFields()
{
    static const std::vector<AdsFieldDef> fields = MakeDetailFields();
    return fields;
}

const std::vector<AdsIndexDef>& DetailTableIndexes()
{
    static const std::vector<AdsIndexDef> indexes = {{"ID", "id", ADS_UNIQUE}, {"IDMAIN", "idmain", 0}};
    return indexes;
}

const std::vector<AdsFieldDef>& SpoolTableFields()
{
    static const std::vector<AdsFieldDef> fields = MakeSpoolFields();
    return fields;
}

const std::vector<AdsIndexDef>& SpoolTableIndexes()
{
    static const std::vector<AdsIndexDef> indexes = {
        {"ID", "ID", ADS_UNIQUE}, {"PRIO", "PRIO", 0}, {"ISMAIL", "ISMAIL", 0}, {"COMPUTER", "COMPUTER", 0}};
    return indexes;
}

std::filesystem::path SpoolDirectory(const ProcessContext& runtime) { return runtime.programDir() / SpoolDirectoryName; }

std::vector<std::filesystem::path> SetSpoolFilesAside(const std::filesystem::path& dir)
{
    std::vector<std::filesystem::path> moved;
    const std::string stamp = TimeStamp();
    for (const char* table : {SpoolTableName, DetailTableName}) {
        const std::filesystem::path file = FindFileNoCase(dir, table);
        std::error_code ec;
        if (!std::filesystem::exists(file, ec))
            continue;
        // The same stem for the table file and its logs: the moved copy can still be opened.
        std::filesystem::path target = dir / (file.filename().string() + "." + stamp + ".defekt");
        for (int n = 2; std::filesystem::exists(target, ec); ++n)
            target = dir / (file.filename().string() + "." + stamp + "-" + std::to_string(n) + ".defekt");
        std::filesystem::rename(file, target, ec);
        if (ec) {
            moved.emplace_back();
            continue;
        }
        moved.push_back(target);
        for (const char* suffix : {"-wal", "-shm", "-journal"}) {
            std::filesystem::path side = file;
            side += suffix;
            if (std::filesystem::exists(side, ec)) {
                std::filesystem::path sideTarget = target;
                sideTarget += suffix;
                std::filesystem::rename(side, sideTarget, ec);
            }
        }
    }
    // The job record belongs to the tables set aside: fresh tables number their jobs from 1 again,
    // and an old record must not meet a new job of the same number.
    const std::filesystem::path record = dir / JobStateFileName;
    std::error_code ec;
    if (!moved.empty() && std::filesystem::exists(record, ec)) {
        for (const char* suffix : {"", "-wal", "-shm"}) {
            std::filesystem::path side = record, target = dir / (std::string(JobStateFileName) + "." + stamp + ".defekt");
            side += suffix;
            target += suffix;
            if (std::filesystem::exists(side, ec))
                std::filesystem::rename(side, target, ec);
        }
    }
    return moved;
}

void CreateSpoolTables(const std::filesystem::path& dir, bool force)
{
    std::error_code ec;
    std::filesystem::create_directories(dir, ec); // a failure shows in the connect below
    if (force)
        SetSpoolFilesAside(dir);
    CreateOne(dir, DetailTableName, DetailTableFields(), DetailTableIndexes());
    CreateOne(dir, SpoolTableName, SpoolTableFields(), SpoolTableIndexes());
}

std::int64_t ProbeSpoolSize(const std::filesystem::path& dir)
{
    const std::filesystem::path spool = FindFileNoCase(dir, SpoolTableName);
    const std::filesystem::path detail = FindFileNoCase(dir, DetailTableName);
    std::filesystem::path spoolLog = spool, detailLog = detail;
    spoolLog += "-wal";
    detailLog += "-wal";
    std::int64_t size = -1;
    for (const auto& file : {spool, spoolLog, detail, detailLog}) {
        size = FileSize(file);
        if (size >= SpoolCompactionSize)
            break;
    }
    return size;
}

namespace {

bool TableFileHealthy(const std::filesystem::path& file, const std::string& table)
{
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(file.string().c_str(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr) !=
        SQLITE_OK) {
        sqlite3_close_v2(db);
        return false;
    }
    sqlite3_busy_timeout(db, 5000);
    bool healthy = false;
    sqlite3_stmt* st = nullptr;
    const std::string sql = "SELECT (SELECT count(*) FROM sqlite_master WHERE type='table' AND lower(name)=lower('" +
                            table + "')), (SELECT quick_check FROM pragma_quick_check)";
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &st, nullptr) == SQLITE_OK && sqlite3_step(st) == SQLITE_ROW) {
        const auto* check = reinterpret_cast<const char*>(sqlite3_column_text(st, 1));
        healthy = sqlite3_column_int(st, 0) == 1 && check && std::string(check) == "ok";
    } else if (sqlite3_errcode(db) == SQLITE_BUSY || sqlite3_errcode(db) == SQLITE_LOCKED) {
        healthy = true; // in use by another program, not damaged
    }
    sqlite3_finalize(st);
    sqlite3_close_v2(db);
    return healthy;
}

} // namespace

bool SpoolFilesDamaged(const std::filesystem::path& dir)
{
    const std::filesystem::path spool = FindFileNoCase(dir, SpoolTableName);
    const std::filesystem::path detail = FindFileNoCase(dir, DetailTableName);
    std::error_code ec;
    const bool haveSpool = std::filesystem::exists(spool, ec);
    const bool haveDetail = std::filesystem::exists(detail, ec);
    if (haveSpool != haveDetail)
        return true;
    if (!haveSpool)
        return false;
    return !TableFileHealthy(spool, "SPOOL") || !TableFileHealthy(detail, "DET");
}

bool CompactSpoolTable(const std::filesystem::path& file)
{
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(file.string().c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr) !=
        SQLITE_OK) {
        sqlite3_close_v2(db);
        return false;
    }
    sqlite3_busy_timeout(db, 5000);
    // VACUUM rewrites the file with every row; the checkpoint empties the log that the probe counts.
    const bool ok = sqlite3_exec(db, "VACUUM", nullptr, nullptr, nullptr) == SQLITE_OK;
    if (ok)
        sqlite3_exec(db, "PRAGMA wal_checkpoint(TRUNCATE)", nullptr, nullptr, nullptr);
    sqlite3_close_v2(db);
    return ok;
}

} // namespace gs
