// The rich-text reader on the texts list jobs carry: what the title converter writes, richer host
// texts, and broken input. One case a line: input, the paragraphs' texts joined by "|".
#include "spool/render/RichText.h"

#include <gtest/gtest.h>

namespace gs {
namespace {

// The head the title converter writes (size 10 points).
const std::string Head =
    "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1031{\\fonttbl{\\f0\\fswiss\\fprq2\\fcharset0 Arial;}"
    "{\\f1\\fswiss\\fcharset0 Arial;}}{\\*\\generator Kvelt;}\\viewkind4\\uc1\\pard\\b\\f0\\fs20\\par\r\n";
const std::string Tail = "\\bo\\fa\\fs20\\par}";

std::string Paragraphs(const RichText& t)
{
    std::string out;
    for (size_t i = 0; i < t.paragraphs.size(); ++i)
        out += (i ? "|" : "") + t.paragraphs[i].text();
    return out;
}

struct Case {
    const char* name;
    std::string input;
    std::string expected;
};

TEST(RichText, ReadsTheSubsetAndShowsNoControlWords)
{
    const Case cases[] = {
        {"title converter", Head + "Gewinne, erstellt 10.12.2026 13:05" + Tail, "|Gewinne, erstellt 10.12.2026 13:05"},
        {"umlaut escapes", Head + "Gr\\'fc\\'dfe M\\'c4RZ" + Tail, "|Grüße MÄRZ"},
        {"euro sign is 0x80 in the code page", "{\\rtf1 1.234,50 \\'80}", "1.234,50 €"},
        {"literal code-page bytes", "{\\rtf1 Stra\xdf" "e}", "Straße"},
        {"lines become paragraphs", Head + "eins\\par\r\nzwei" + Tail, "|eins|zwei"},
        {"tabs of the totals line", "{\\rtf1 Netto: 1\t\tGewinn: 2\\tab 3}", "Netto: 1\t\tGewinn: 2\t3"},
        {"line break inside a paragraph", "{\\rtf1 a\\line b}", "a\nb"},
        {"font table names are not text", "{\\rtf1{\\fonttbl\\f0 Times;\\f1 Courier New;}X}", "X"},
        {"colour table and info skipped", "{\\rtf1{\\colortbl;\\red0\\green0\\blue0;}{\\info{\\title T}}Y}", "Y"},
        {"ignorable destination skipped", "{\\rtf1{\\*\\unknowndest secret}Z}", "Z"},
        {"unknown control words skipped", "{\\rtf1\\foo\\bar12 \\qq-3 text}", "text"},
        {"control symbols", "{\\rtf1 a\\\\b\\{c\\}d}", "a\\b{c}d"},
        {"unicode with fallback", "{\\rtf1\\uc1 \\u8364?x}", "€x"},
        {"unicode, negative, two fallbacks", "{\\rtf1\\uc2 \\u-4064??y}", "\xef\x80\xa0y"},
        {"a character beyond the basic plane as two surrogates", "{\\rtf1\\uc1 \\u-10179?\\u-8704?!}",
         "\xf0\x9f\x98\x80!"},
        {"a number outside 16 bits is no character", "{\\rtf1\\uc1 \\u-461888888?\\u70000?z}", "\xef\xbf\xbd\xef\xbf\xbdz"},
        {"a lone surrogate is no character", "{\\rtf1\\uc1 \\u-10179?x\\u-8704?y}", "\xef\xbf\xbdx\xef\xbf\xbdy"},
        {"non-breaking space", "{\\rtf1 a\\~b}", "a\xc2\xa0" "b"},
        {"optional hyphen invisible", "{\\rtf1 Ab\\-rechnung}", "Abrechnung"},
        {"binary data skipped", "{\\rtf1{\\pict\\bin4 \x01\x02}\x03\x04}ok}", "ok"},
        {"unbalanced closing braces", "{\\rtf1 a}}}b", "ab"},
        {"missing closing brace", "{\\rtf1 open", "open"},
        {"cut hex escape", "{\\rtf1 x\\'4", "x"},
        {"backslash at the end", "{\\rtf1 x\\", "x"},
        {"plain text lines", "Erste Zeile\r\nZweite\r\n", "Erste Zeile|Zweite"},
        {"plain text in the code page", "M\xe4rz", "März"},
        {"empty", "", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(Paragraphs(ReadRichText(c.input)), c.expected) << c.name;
}

TEST(RichText, KeepsBoldSizeFontAndAlignment)
{
    const RichText t =
        ReadRichText("{\\rtf1{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\froman Times New Roman;}}\\f0\\fs20 normal "
                     "\\b fett\\b0  wieder {\\f1\\fs32\\i gro\\'df}\\par\\qc Mitte\\par}");
    ASSERT_EQ(t.paragraphs.size(), 2u);
    const auto& runs = t.paragraphs[0].runs;
    ASSERT_EQ(runs.size(), 4u);
    EXPECT_EQ(runs[0].text, "normal ");
    EXPECT_FALSE(runs[0].bold);
    EXPECT_EQ(runs[0].pointSize, 10);
    EXPECT_EQ(runs[0].font, "Arial");
    EXPECT_EQ(runs[1].text, "fett");
    EXPECT_TRUE(runs[1].bold);
    EXPECT_EQ(runs[2].text, " wieder ");
    EXPECT_FALSE(runs[2].bold);
    EXPECT_EQ(runs[3].text, "groß");
    EXPECT_EQ(runs[3].font, "Times New Roman");
    EXPECT_EQ(runs[3].pointSize, 16);
    EXPECT_TRUE(runs[3].italic);
    EXPECT_EQ(t.paragraphs[0].alignment, TRichAlignment::Left);
    EXPECT_EQ(t.paragraphs[1].alignment, TRichAlignment::Centre);
    EXPECT_EQ(t.paragraphs[1].runs[0].font, "Arial") << "the group's font ended with the group";
}

TEST(RichText, TitleConverterOutputIsBoldAtItsSize)
{
    const RichText t = ReadRichText(Head + "Gewinne" + Tail);
    ASSERT_EQ(t.paragraphs.size(), 2u);
    ASSERT_EQ(t.paragraphs[1].runs.size(), 1u);
    EXPECT_TRUE(t.paragraphs[1].runs[0].bold);
    EXPECT_EQ(t.paragraphs[1].runs[0].pointSize, 10);
    EXPECT_FALSE(t.blank());
    EXPECT_TRUE(ReadRichText(Head + Tail).blank());
}

TEST(RichText, DeepNestingStaysBounded)
{
    const std::string deep = "{\\rtf1" + std::string(200000, '{') + "x" + std::string(200000, '}') + "}";
    EXPECT_EQ(ReadRichText(deep).plainText(), "x");
}

TEST(RichText, CapKeepsWhatABlockCanShow)
{
    auto text = [](std::initializer_list<std::vector<std::string>> paragraphs) {
        RichText t;
        for (const auto& runs : paragraphs) {
            RichParagraph p;
            for (const std::string& r : runs)
                p.runs.push_back({r});
            t.paragraphs.push_back(p);
        }
        return t;
    };
    const struct {
        const char* what;
        RichText in;
        size_t characters, paragraphs;
        std::string plain;
    } cases[] = {
        {"within both limits", text({{"ab", "cd"}, {"ef"}}), 10, 5, "abcd\nef"},
        {"characters across runs", text({{"ab", "cdef"}, {"gh"}}), 3, 5, "abc…"},
        {"characters across paragraphs", text({{"ab"}, {"cdef"}}), 4, 5, "ab\ncd…"},
        {"paragraphs", text({{"a"}, {"b"}, {"c"}}), 100, 2, "a\nb…"},
        {"line breaks count as paragraphs", text({{"a\nb\nc"}}), 100, 2, "a\nb…"},
        {"characters, not bytes", text({{"äöüß"}}), 2, 5, "äö…"},
    };
    for (auto c : cases) {
        CapRichText(c.in, c.characters, c.paragraphs);
        EXPECT_EQ(c.in.plainText(), c.plain) << c.what;
    }
}

} // namespace
} // namespace gs
