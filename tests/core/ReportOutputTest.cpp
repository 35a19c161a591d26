#include "base/Dates.h"
#include "app/ReportOutput.h"
#include "base/Text.h"
#include "spool/CsvFormat.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace gs;

namespace {

ResultTables TwoDocuments()
{
    ResultTables t;
    KmRow a;
    a.idOrder = 4711;
    a.adressName = "Müller \"Bau\" GmbH";
    a.adressId = 12;
    a.zone = ProfitZone::Profit;
    a.date = EncodeDate(2006, 4, 3);
    a.profit = 1234.5;
    a.commission = 10;
    a.net = 5000;
    KmRow b;
    b.idOrder = 12;
    b.adressName = "Zeile1\r\nZeile2";
    b.zone = ProfitZone::Loss;
    b.date = EncodeDate(2006, 5, 1);
    b.profit = -3.005; // shown to the cent, rounded away from zero as the money format rounds
    t.KM = {a, b};
    t.KMC = {{EncodeDate(2006, 4, 1), 1234, 10, 5000, 1, 5000, 10, 1234.5},
             {EncodeDate(2006, 5, 1), -3, std::nullopt, std::nullopt, 1, 0, 0, -3.005}};
    return t;
}

} // namespace

TEST(ReportOutput, CsvIsTheHostsFormatWithTitleRangeAndTotals)
{
    test::TestRuntime rt;
    RunOutcome outcome;
    outcome.rangeText = "Bereich: 01.04.2006-30.06.2006";
    outcome.totals = {2, 5000, 10, 1231.495};
    EXPECT_EQ(ReportCsv(TwoDocuments(), outcome, nullptr, " DM"),
              "\"Gewinne\"\r\n"
              "\"Bereich: 01.04.2006-30.06.2006\"\r\n"
              "\"Auftrag\";\"Adresse\";\"Datum\";\" Warnung\";\"Nettowert\";\"Gewinn\";\"Provsion\"\r\n"
              "\"4711\";\"Müller \"\"Bau\"\" GmbH\";\"03.04.2006\";\"Gewinnzone\";\"5.000,00\";\"1.234,50\";\"10,00\"\r\n"
              "\"12\";\"Zeile1 Zeile2\";\"01.05.2006\";\"Verlustzone\";\"0,00\";\"-3,01\";\"0,00\"\r\n"
              "\"Summe\";\"2 Dokumente\";\"\";\"\";\"5.000,00\";\"1.231,50\";\"10,00\"\r\n");

    // A filtered list names its group; a failed run has no totals but its error, the warnings follow.
    outcome.error.emplace("Auftrag kann nicht geladen werden.");
    outcome.warnings = {"Hinweis: 1 Dokument ohne lesbare Gewinnangaben: 12"};
    const std::string failed = ReportCsv(TwoDocuments(), outcome, nullptr, " DM", "Kunde Müller GmbH");
    EXPECT_EQ(failed.substr(0, failed.find("\"Auftrag\"")),
              "\"Gewinne\"\r\n\"Bereich: 01.04.2006-30.06.2006\"\r\n\"Gefiltert: Kunde Müller GmbH\"\r\n");
    EXPECT_EQ(failed.substr(failed.find("\"12\";")),
              "\"12\";\"Zeile1 Zeile2\";\"01.05.2006\";\"Verlustzone\";\"0,00\";\"-3,01\";\"0,00\"\r\n"
              "\"Fehler: Auftrag kann nicht geladen werden.\"\r\n"
              "\"Hinweis: 1 Dokument ohne lesbare Gewinnangaben: 12\"\r\n");
}

TEST(ReportOutput, CsvCarriesThePreviousYearAndTheChanges)
{
    test::TestRuntime rt;
    RunOutcome outcome;
    outcome.rangeText = "Bereich: 01.04.2006-30.06.2006";
    outcome.totals = {2, 5000, 10, 1231.495};
    PreviousYearRun previous;
    previous.outcome.rangeText = "Bereich: 01.04.2005-30.06.2005";
    previous.outcome.totals = {3, 4000, 0, 1300};
    const std::string csv = ReportCsv(TwoDocuments(), outcome, &previous, " DM");
    EXPECT_EQ(csv.substr(0, csv.find("\"Auftrag\"")),
              "\"Gewinne\"\r\n\"Bereich: 01.04.2006-30.06.2006\"\r\n\"Vorjahr: Bereich: 01.04.2005-30.06.2005\"\r\n");
    // Net +25 %, profit -5,27 %, commission from nothing: no percentage.
    EXPECT_EQ(csv.substr(csv.find("\"Summe\"")),
              "\"Summe\";\"2 Dokumente\";\"\";\"\";\"5.000,00\";\"1.231,50\";\"10,00\"\r\n"
              "\"Vorjahr\";\"3 Dokumente\";\"\";\"\";\"4.000,00\";\"1.300,00\";\"0,00\"\r\n"
              "\"Veränderung\";\"\";\"\";\"\";\"1.000,00\";\"-68,51\";\"10,00\"\r\n"
              "\"Veränderung in %\";\"\";\"\";\"\";\"25,00\";\"-5,27\";\"\"\r\n");
    previous.outcome.error.emplace("Vor dem Jahr 1 gibt es kein Vorjahr.");
    const std::string failed = ReportCsv(TwoDocuments(), outcome, &previous, " DM");
    EXPECT_EQ(failed.substr(failed.find("\"Summe\"")),
              "\"Summe\";\"2 Dokumente\";\"\";\"\";\"5.000,00\";\"1.231,50\";\"10,00\"\r\n"
              "\"Vorjahr: Vor dem Jahr 1 gibt es kein Vorjahr.\"\r\n");
}

TEST(ReportOutput, JsonNamesEveryFieldAndMarksEmptyOnes)
{
    test::TestRuntime rt;
    RunOutcome outcome;
    outcome.rangeText = "Bereich: 01.04.2006-30.06.2006";
    outcome.totals = {2, 5000, 10, 1231.495};
    const std::string json = ReportJson(TwoDocuments(), outcome);
    EXPECT_NE(json.find("{\"ID\": null, \"ID_ORDER\": 4711, \"ADRESSNAME\": \"Müller \\\"Bau\\\" GmbH\", \"ADRESSID\": 12, "
                        "\"printp\": \"Gewinnzone\", \"DATE\": \"03.04.2006\", \"GEWINN\": \"1.234,50 €\", "
                        "\"GEWINN_INT\": 1234,"),
              std::string::npos)
        << json;
    EXPECT_NE(json.find("\"ADRESSNAME\": \"Zeile1\\r\\nZeile2\", \"ADRESSID\": null"), std::string::npos);
    EXPECT_NE(json.find("{\"DATE\": \"01.05.2006\", \"GEWINN_INT\": -3, \"PROVISION_INT\": null, \"WW_NETTO_INT\": null, "
                        "\"documents\": 1, \"net\": 0.00, \"commission\": 0.00, \"profit\": -3.01}"),
              std::string::npos)
        << json;
    // Beside the host's texts, numbers to the cent as the list shows them, and the date as ISO text.
    EXPECT_NE(json.find("\"WW_NETTO\": \"5.000,00 €\", \"date\": \"2006-04-03\", \"net\": 5000.00, "
                        "\"commission\": 10.00, \"profit\": 1234.50, \"margin\": 24.69}"),
              std::string::npos)
        << json;
    EXPECT_NE(json.find("\"GEWINN\": \"-3,01 €\", \"GEWINN_INT\": -3,"), std::string::npos) << json;
    EXPECT_NE(json.find("\"profit\": -3.01, \"margin\": null}"), std::string::npos) << "no net, no margin";
    // The period's margin is weighted: 1231,495 of 5000,00.
    EXPECT_NE(json.find("\"totals\": {\"documents\": 2, \"net\": 5000.00, \"commission\": 10.00, \"profit\": 1231.50, "
                        "\"margin\": 24.63}"),
              std::string::npos)
        << json;
    EXPECT_NE(json.find("\"Summen\": \"Netto: 5.000,00 €\\t\\tProvision: 10,00 €\\t\\tGewinn: 1.231,50 €\\t\\tMarge: 24,6 %\""),
              std::string::npos);
    EXPECT_NE(json.find("\"error\": null"), std::string::npos);
    outcome.error.emplace("Auftrag kann nicht geladen werden.");
    EXPECT_NE(ReportJson({}, outcome).find("\"documents\": [],\n \"months\": [],"), std::string::npos);
    EXPECT_NE(ReportJson({}, outcome).find("\"Summen\": \"\""), std::string::npos) << "a failed run has no totals line";
    EXPECT_NE(ReportJson({}, outcome).find("\"error\": \"Auftrag kann nicht geladen werden.\""), std::string::npos);
}

TEST(ReportOutput, TextAlignsColumnsByCharacters)
{
    test::TestRuntime rt;
    RunOutcome outcome;
    const std::string text = ReportText(TwoDocuments(), outcome);
    // Both data lines put "Gewinnzone"/"Verlustzone" at the same character column despite umlauts.
    const auto lines = SplitLines(text);
    size_t first = 0, second = 0;
    for (const auto& l : lines) {
        if (l.find("Gewinnzone") != std::string::npos)
            first = Utf8Length(l.substr(0, l.find("Gewinnzone")));
        if (l.find("Verlustzone") != std::string::npos)
            second = Utf8Length(l.substr(0, l.find("Verlustzone")));
    }
    EXPECT_GT(first, 0u);
    EXPECT_EQ(first, second);
    EXPECT_EQ(lines.back(), "Netto: 0,00 €\t\tProvision: 0,00 €\t\tGewinn: 0,00 €");
}

TEST(ReportOutput, TheTextsMonthTableShowsCentsAsTheTotalsLineDoes)
{
    test::TestRuntime rt;
    ResultTables tables = TwoDocuments();
    tables.KMC[0].net = 1234567.891;
    const std::string text = ReportText(tables, RunOutcome());
    EXPECT_NE(text.find("Monat    Dokumente           Netto  Provision      Gewinn\n"), std::string::npos) << text;
    EXPECT_NE(text.find("04.2006          1  1.234.567,89 €    10,00 €  1.234,50 €\n"), std::string::npos) << text;
    EXPECT_NE(text.find("05.2006          1          0,00 €     0,00 €     -3,01 €\n"), std::string::npos) << text;
    // A month the range covers in part is named by its days, as the chart names it.
    tables.RangeFirst = EncodeDate(2006, 4, 10);
    tables.RangeLast = EncodeDate(2006, 5, 31);
    const std::string partly = ReportText(tables, RunOutcome());
    EXPECT_NE(partly.find("\n10.-30.04.2006"), std::string::npos) << partly;
    EXPECT_NE(partly.find("\n05.2006 "), std::string::npos) << partly;
}

TEST(CsvFormat, CaptionsAndCellsFollowTheExportRules)
{
    test::TestRuntime rt;
    EXPECT_EQ(CsvCaption(" /bWarnung"), " Warnung");
    EXPECT_EQ(CsvCaption("/BSumme+Netto"), "SummeNetto");
    EXPECT_EQ(CsvCellText("1.234,50 €", " 2.W."), "1.234,50");
    EXPECT_EQ(CsvCellText("7,00 2.W.", " 2.W."), "7,00");
    rt.runtime().formats.moneySuffix = " SFr\".\"";
    EXPECT_EQ(DisplayedMoneySuffix(), " SFr.");
    EXPECT_EQ(CsvCellText("1'234.50 SFr.", " DM"), "1'234.50");
}
