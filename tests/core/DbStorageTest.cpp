// The table files' storage contract: files written by other tools read correctly, what the layer
// writes is plain SQL with the pinned declared types and value forms, and AUTOINC numbers never
// come back.
#include "base/Dates.h"
#include "db/AdsError.h"
#include "support/DbTestSupport.h"

#include <gtest/gtest.h>

using namespace gs;
using namespace gs::test;

namespace {

// A host-style table written with plain SQL: lower-case file name, upper-case table name, an index
// tag whose SQL index is missing.
void WriteForeignOrders(const std::filesystem::path& file)
{
    ExecSql(file, "CREATE TABLE AUFTRAEGE(ID AUTOINC, ID_ORDER INTEGER, AdressName CHAR(5), Endtext MEMO,"
                  " EXTB BINARY, \"Date\" DATE, TS TIMESTAMP, DataGrid_DM LOGICAL, WW_NETTO DOUBLE, POT SHORTINT);"
                  "CREATE TABLE ads_index(tag TEXT, expression TEXT, options INTEGER);"
                  "INSERT INTO ads_index VALUES('ID_ORDER', 'id_order', 2);"
                  "INSERT INTO AUFTRAEGE VALUES(1, 20010, 'Müller', X'4772FCDF', X'00FF00', '2006-04-01',"
                  " '2006-04-01 12:30:15.250', 1, 195.58, 1);"
                  "INSERT INTO AUFTRAEGE VALUES(2, '12', 'Ötzi', 'Grüße', NULL, 'kaputt', NULL, 0, '7.5', 5);"
                  "INSERT INTO AUFTRAEGE VALUES(3, 'zwölf', NULL, NULL, X'', NULL, 'nie', 'ja', 'x', NULL);");
}

} // namespace

TEST(DbStorage, ReadsTablesWrittenWithPlainSql)
{
    DbDir db;
    WriteForeignOrders(db / "auftraege.adt");
    TAdsTable t(&db.conn, "Auftraege.ADT"); // other letter case than on disk
    t.Open();
    ASSERT_EQ(t.FieldCount(), 10);
    EXPECT_EQ(t.FieldByName("adressname").DataType(), TAdsFieldType::Char);
    EXPECT_EQ(t.FieldByName("ADRESSNAME").Size(), 5);
    EXPECT_EQ(t.FieldByName("endtext").DataType(), TAdsFieldType::Memo);
    EXPECT_EQ(t.FieldByName("Pot").DataType(), TAdsFieldType::ShortInt);
    EXPECT_EQ(t.RecordCount(), 3);

    Field& nr = t.FieldByName("ID_ORDER");
    Field& name = t.FieldByName("Adressname");
    Field& memo = t.FieldByName("ENDTEXT");
    Field& date = t.FieldByName("DATE");
    Field& ts = t.FieldByName("ts");
    Field& dm = t.FieldByName("DataGrid_DM");
    Field& netto = t.FieldByName("WW_NETTO");

    t.First();
    EXPECT_EQ(nr.AsInteger(), 20010);
    EXPECT_EQ(name.AsString(), "Müller");
    EXPECT_EQ(memo.AsString(), "Grüß");                   // Windows-1252 bytes decoded
    EXPECT_EQ(memo.AsBytes(), std::string("Gr\xFC\xDF")); // the stored bytes
    EXPECT_EQ(t.FieldByName("EXTB").AsBytes(), std::string("\0\xFF\0", 3));
    EXPECT_EQ(date.AsDateTime(), EncodeDate(2006, 4, 1));
    EXPECT_EQ(date.AsString(), "01.04.2006");
    EXPECT_DOUBLE_EQ(ts.AsDateTime(), EncodeDateTime(2006, 4, 1, 12, 30, 15, 250));
    EXPECT_TRUE(dm.AsBoolean());
    EXPECT_DOUBLE_EQ(netto.AsFloat(), 195.58);

    t.Next();
    EXPECT_EQ(nr.AsInteger(), 12);          // text "12" in an INTEGER column
    EXPECT_EQ(memo.AsString(), "Grüße");    // TEXT in a memo is UTF-8
    EXPECT_EQ(memo.AsBytes(), std::string("Gr\xFC\xDF" "e"));
    EXPECT_TRUE(t.FieldByName("EXTB").IsNull());
    EXPECT_DOUBLE_EQ(netto.AsFloat(), 7.5);
    EXPECT_EQ(date.AsString(), "kaputt");   // shown as stored ...
    try {
        (void)date.AsDateTime();            // ... but no date
        FAIL() << "no conversion error";
    } catch (const ConvertError& e) {
        EXPECT_NE(std::string(e.what()).find("Spalte Date:"), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find("Auftraege.ADT"), std::string::npos) << e.what();
    }

    t.Next();
    try {
        (void)nr.AsInteger();
        FAIL() << "no conversion error";
    } catch (const ConvertError& e) {
        EXPECT_NE(std::string(e.what()).find("ID_ORDER"), std::string::npos) << e.what();
    }
    EXPECT_THROW((void)netto.AsFloat(), ConvertError);
    EXPECT_TRUE(dm.AsBoolean());              // "ja"
    EXPECT_THROW((void)ts.AsDateTime(), ConvertError);
    EXPECT_EQ(t.FieldByName("EXTB").AsBytes(), ""); // empty blob, not NULL
    EXPECT_FALSE(t.FieldByName("EXTB").IsNull());
    EXPECT_TRUE(name.IsNull());
    EXPECT_EQ(name.AsString(), "");
    EXPECT_EQ(t.FieldByName("POT").AsInteger(), 0); // NULL is the empty value

    // The missing SQL index of the tag was created, and the tag orders the walk (descending).
    EXPECT_EQ(QueryValue(db / "auftraege.adt",
                         "SELECT count(*) FROM pragma_index_list('AUFTRAEGE') il, pragma_index_info(il.name) ii"
                         " WHERE ii.name='ID_ORDER'"),
              "1");
    t.SetIndexName("id_order");
    EXPECT_EQ(WalkColumn(t, "ID"), (std::vector<std::string>{"3", "1", "2"})); // text > numbers, 20010 > 12
}

TEST(DbStorage, EveryStoredValueReadsWithoutCrashing)
{
    DbDir db;
    ExecSql(db / "W.ADT", "CREATE TABLE W(C CHAR(3), M MEMO, B BINARY, S SHORTINT, I INTEGER, A AUTOINC,"
                          " D DOUBLE, L LOGICAL, DT DATE, TS TIMESTAMP, X)");
    const char* values[] = {"NULL", "0", "-7", "1e308", "-1e308", "9223372036854775807", "3.75", "''", "'abc'",
                            "'  42 '", "'2006-13-45'", "'31.12.2006'", "X''", "X'00FF'", "'\xC3'", "'9999-12-31'"};
    for (const char* v : values) {
        std::string row;
        for (int i = 0; i < 11; ++i)
            row += std::string(i ? ", " : "") + v;
        ExecSql(db / "W.ADT", "INSERT INTO W VALUES(" + row + ")");
    }
    TAdsTable t(&db.conn, "W.ADT");
    t.Open();
    int rows = 0;
    for (t.First(); !t.Eof(); t.Next(), ++rows) {
        for (int i = 0; i < t.FieldCount(); ++i) {
            Field& f = t.Fields(i);
            (void)f.AsString();
            (void)f.AsBytes();
            (void)f.IsNull();
            for (int kind = 0; kind < 5; ++kind) {
                try {
                    switch (kind) {
                    case 0: (void)f.AsInteger(); break;
                    case 1: (void)f.AsLargeInt(); break;
                    case 2: (void)f.AsFloat(); break;
                    case 3: (void)f.AsDateTime(); break;
                    default: (void)f.AsBoolean(); break;
                    }
                } catch (const ConvertError&) {
                    // a clear conversion error is fine; anything else fails the test
                }
            }
        }
    }
    EXPECT_EQ(rows, 16);
}

TEST(DbStorage, WrittenValuesArePlainSqlWithDeclaredTypes)
{
    DbDir db;
    TAdsTable t(&db.conn, "Neu.ADT");
    CreateTableOfEveryType(t);

    const auto file = db / "Neu.ADT";
    EXPECT_EQ(QuerySql(file, "SELECT name, type FROM pragma_table_info('Neu')"),
              (std::vector<std::vector<std::string>>{{"ID", "AUTOINC"},
                                                     {"Name", "CHAR(3)"},
                                                     {"Text", "MEMO"},
                                                     {"Data", "BINARY"},
                                                     {"Kurz", "SHORTINT"},
                                                     {"Zahl", "INTEGER"},
                                                     {"Betrag", "DOUBLE"},
                                                     {"Ok", "LOGICAL"},
                                                     {"Tag", "DATE"},
                                                     {"Zeit", "TIMESTAMP"}}));
    EXPECT_EQ(QuerySql(file, "SELECT typeof(ID), ID, Name, typeof(Text), Text, hex(Data), Kurz, typeof(Zahl), Zahl,"
                             " Betrag, Ok, Tag, Zeit FROM Neu"),
              (std::vector<std::vector<std::string>>{{"integer", "1", "äöü", "blob", "Gr\xFC\xDF" "e \x80", "000102",
                                                      "-5", "integer", "20010", "195.58", "1", "2006-04-01",
                                                      "2006-04-01 12:30:15.250"}}));
    EXPECT_EQ(QuerySql(file, "SELECT tag, expression, options FROM ads_index ORDER BY rowid"),
              (std::vector<std::vector<std::string>>{{"ID", "ID", "1"}, {"TAG", "Tag", "2"}}));
    EXPECT_EQ(QueryValue(file, "SELECT count(*) FROM sqlite_master WHERE type='index' AND tbl_name='Neu'"), "2");
    EXPECT_EQ(QueryValue(file, "PRAGMA journal_mode"), "wal");

    // AddIndex on the open table: a tag row and a real index.
    t.AddIndex("ZAHL", "zahl", 0);
    EXPECT_EQ(QueryValue(file, "SELECT expression FROM ads_index WHERE tag='ZAHL'"), "zahl");
    EXPECT_EQ(QueryValue(file, "SELECT count(*) FROM sqlite_master WHERE type='index' AND tbl_name='Neu'"), "3");
    EXPECT_EQ(t.IndexDefs().size(), 3u);
    EXPECT_THROW(t.AddIndex("zahl", "Zahl", 0), AdsError); // tag names compare without case
    EXPECT_THROW(t.AddIndex("X", "Text", 0), AdsError);    // no index on memos
}

TEST(DbStorage, AutoIncNumbersAreNeverReused)
{
    for (const bool indexed : {true, false}) {
        SCOPED_TRACE(indexed ? "indexed" : "not indexed");
        DbDir db;
        TAdsTable t(&db.conn, "A.ADT");
        t.CreateTable({{"ID", TAdsFieldType::AutoInc}, {"N", TAdsFieldType::Integer}},
                      indexed ? std::vector<AdsIndexDef>{{"ID", "ID", ADS_UNIQUE}} : std::vector<AdsIndexDef>{});
        t.Open();
        for (int i = 0; i < 3; ++i) {
            t.Append();
            EXPECT_TRUE(t.FieldByName("ID").IsNull());
            t.FieldByName("N").SetInteger(i);
            t.Post();
            EXPECT_EQ(t.FieldByName("ID").AsInteger(), i + 1); // on the new row, number assigned
        }
        t.Last();
        t.Delete(); // the last number must not come back, not even after reopening
        t.Close();
        t.Open();
        t.Append();
        t.Post();
        EXPECT_EQ(t.FieldByName("ID").AsInteger(), 4);
        EXPECT_EQ(QueryValue(db / "A.ADT", "SELECT last FROM ads_autoinc WHERE field='id'"), "4");

        t.Edit();
        EXPECT_THROW(t.FieldByName("ID").SetInteger(99), AdsError);
        t.Cancel();

        // A row another tool wrote with a higher number: the indexed column is not handed out twice.
        ExecSql(db / "A.ADT", "INSERT INTO A(ID, N) VALUES(10, 0)");
        t.Append();
        t.Post();
        EXPECT_EQ(t.FieldByName("ID").AsInteger(), indexed ? 11 : 5);
    }
}

TEST(DbStorage, TableFilesAreFoundWithoutRegardToCaseAndDeletedWithSideFiles)
{
    DbDir db;
    TAdsTable t(&db.conn, "setup.ADT");
    EXPECT_FALSE(t.TableExists());
    t.CreateTable({{"Ident", TAdsFieldType::Integer}, {"MemoItem", TAdsFieldType::Memo}});
    EXPECT_TRUE(db.conn.TableExists("SETUP.adt"));
    TAdsTable other(&db.conn, "SETUP.ADT");
    other.Open();
    EXPECT_EQ(other.FieldByName("memoitem").FieldName(), "MemoItem");
    EXPECT_THROW(other.CreateTable({{"X", TAdsFieldType::Integer}}), AdsError); // open
    other.Close();
    TAdsTable again(&db.conn, "Setup.adt");
    EXPECT_THROW(again.CreateTable({{"X", TAdsFieldType::Integer}}), AdsError); // exists in another case

    other.Open();
    EXPECT_THROW(db.conn.DeleteTable("setup.adt"), AdsError); // open tables are not deleted
    other.Close();
    t.DeleteTable();
    EXPECT_FALSE(t.TableExists());
    for (const auto& entry : std::filesystem::directory_iterator(db.dir.path()))
        ADD_FAILURE() << "left behind: " << entry.path();
    t.DeleteTable(); // a missing table is no error
}

TEST(DbStorage, OpenFailuresNameTheTableFile)
{
    DbDir db;
    TAdsTable missing(&db.conn, "Fehlt.ADT");
    try {
        missing.Open();
        FAIL() << "opened a missing table";
    } catch (const AdsError& e) {
        EXPECT_NE(std::string(e.what()).find("Fehlt.ADT"), std::string::npos) << e.what();
    }
    EXPECT_FALSE(missing.Active());
    EXPECT_FALSE(std::filesystem::exists(db / "Fehlt.ADT")); // no empty file was created

    WriteFile(db / "Kaputt.ADT", "this is no database file, just some text that is long enough to be looked at");
    TAdsTable broken(&db.conn, "Kaputt.ADT");
    try {
        broken.Open();
        FAIL() << "opened a broken table";
    } catch (const AdsError& e) {
        EXPECT_NE(std::string(e.what()).find("Kaputt.ADT"), std::string::npos) << e.what();
    }

    ExecSql(db / "Anders.ADT", "CREATE TABLE Sonstwas(A INTEGER)");
    TAdsTable wrong(&db.conn, "Anders.ADT");
    EXPECT_THROW(wrong.Open(), AdsError);
}

TEST(DbStorage, MissingColumnsAreNamed)
{
    DbDir db;
    WriteForeignOrders(db / "Auftraege.ADT");
    TAdsTable t(&db.conn, "Auftraege.ADT");
    t.Open();
    try {
        t.FieldByName("ZZL");
        FAIL() << "no error";
    } catch (const AdsError& e) {
        EXPECT_EQ(std::string(e.what()), "Spalte nicht gefunden: ZZL (Tabelle Auftraege.ADT)");
        EXPECT_EQ(e.Column(), "ZZL");
        EXPECT_EQ(e.Table(), "Auftraege.ADT");
    }
    EXPECT_EQ(t.FindField("ZZL"), nullptr);
    EXPECT_EQ(t.FindField("id_order"), &t.FieldByName("ID_ORDER"));
}

TEST(DbConnection, ConnectFailsOnUnusableDirectoriesAndDisconnectClosesTables)
{
    TempDir dir;
    TAdsConnection conn;
    conn.SetAdsServerTypes({stADS_REMOTE});
    conn.SetConnectPath((dir.path() / "fehlt").string());
    EXPECT_THROW(conn.SetIsConnected(true), AdsError);
    EXPECT_FALSE(conn.IsConnected());

    WriteFile(dir / "datei", "x");
    conn.SetConnectPath((dir.path() / "datei").string());
    EXPECT_THROW(conn.SetIsConnected(true), AdsError);

    conn.SetConnectPath(dir.path().string() + "/");
    conn.SetAdsServerTypes({stADS_AIS});
    EXPECT_THROW(conn.SetIsConnected(true), AdsError);
    conn.SetAdsServerTypes({stADS_REMOTE});
    conn.SetIsConnected(true);
    EXPECT_TRUE(conn.IsConnected());
    EXPECT_EQ(conn.ConnectPath(), dir.path().string() + "/"); // read back as set

    TAdsTable t(&conn, "T.ADT");
    t.CreateTable({{"A", TAdsFieldType::Integer}});
    t.Open();
    conn.SetIsConnected(false);
    EXPECT_FALSE(t.Active());
    EXPECT_THROW(t.Open(), AdsError);

    conn.Connect();
    t.Open();
    conn.SetConnectPath((dir.path() / "anderswo").string()); // another directory: the tables close
    EXPECT_FALSE(conn.IsConnected());
    EXPECT_FALSE(t.Active());
}
