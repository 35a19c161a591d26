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

TEST(ReportOutput, CsvIsTheHostsFormat)
{
    test::TestRuntime rt;
    EXPECT_EQ(ReportCsv(TwoDocuments(), " DM"),
              "\"Auftrag\";\"Adresse\";\"Datum\";\" Warnung\";\"Nettowert\";\"Gewinn\";\"Provsion\"\r\n"
              "\"4711\";\"Müller \"\"Bau\"\" GmbH\";\"03.04.2006\";\"Gewinnzone\";\"5.000,00\";\"1.234,50\";\"10,00\"\r\n"
              "\"12\";\"Zeile1 Zeile2\";\"01.05.2006\";\"Verlustzone\";\"0,00\";\"-3,01\";\"0,00\"\r\n");
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
                        "\"net\": 0.00, \"commission\": 0.00, \"profit\": -3.01}"),
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
    EXPECT_NE(text.find("04.2006"), std::string::npos);
    EXPECT_EQ(lines.back(), "Netto: 0,00 €\t\tProvision: 0,00 €\t\tGewinn: 0,00 €");
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
