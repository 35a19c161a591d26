#include "base/Dates.h"
#include "base/Text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>

using namespace gs;

TEST(Text, UnquoteAndQuote)
{
    const struct {
        const char* in;
        const char* out;
    } cases[] = {
        {"\"C:\\Daten\\\"", "C:\\Daten\\"},
        {"\"abc", "ab"}, // the last character goes whatever it is
        {"\"\"", ""},
        {"\"", "\""},
        {"\"a", "\"a"},
        {"abc\"", "abc\""},
        {"", ""},
        {"\"\xC3\xA4" "b\xE2\x82\xAC", "\xC3\xA4" "b"}, // characters, not bytes
    };
    for (const auto& c : cases)
        EXPECT_EQ(Unquote(c.in), c.out) << c.in;
    EXPECT_EQ(Quote("a b"), "\"a b\"");
    EXPECT_EQ(Unquote(Quote("x")), "x");
}

TEST(Text, SortTextListIsAQuicksortWithTheMiddlePivot)
{
    std::vector<std::string> list{"b", "A", "a", "B"};
    SortTextList(list, 0, 3);
    // Texts equal but for case come out in the order this quicksort leaves them.
    EXPECT_EQ(list, (std::vector<std::string>{"a", "A", "B", "b"}));

    std::vector<std::string> part{"z", "d", "c", "b", "a"};
    SortTextList(part, 1, 3);
    EXPECT_EQ(part, (std::vector<std::string>{"z", "b", "c", "d", "a"}));

    std::vector<std::string> clipped{"c", "b", "a"};
    SortTextList(clipped, -5, 99);
    EXPECT_EQ(clipped, (std::vector<std::string>{"a", "b", "c"}));

    std::vector<std::string> empty;
    SortTextList(empty, 0, 10);
    EXPECT_TRUE(empty.empty());

    std::mt19937 gen(7);
    std::vector<std::string> many;
    for (int i = 0; i < 2000; ++i)
        many.push_back(std::string(1, static_cast<char>("aAbBcC"[gen() % 6])) + std::to_string(gen() % 50));
    auto expected = many;
    SortTextList(many, 0, static_cast<int>(many.size()) - 1);
    EXPECT_TRUE(std::is_sorted(many.begin(), many.end(),
                               [](const std::string& a, const std::string& b) { return CompareNoCase(a, b) < 0; }));
    std::sort(expected.begin(), expected.end());
    auto sorted = many;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(sorted, expected); // nothing lost or duplicated
}

TEST(Text, ParseTimestampReadsByPosition)
{
    const struct {
        const char* text;
        TDateTime expected;
    } cases[] = {
        {"20240315-134501250", EncodeDateTime(2024, 3, 15, 13, 45, 1, 250)},
        {"20240315 1345", EncodeDateTime(2024, 3, 15, 13, 45, 0, 0)},
        {"20240315", EncodeDate(2024, 3, 15)},
        {"20240315 12ab00000", EncodeDateTime(2024, 3, 15, 12, 0, 0, 0)}, // non-numeric minute counts 0
        {"20241315 000000000", 0},                                         // month 13
        {"20240230", 0},
        {"20240315 256000000", 0}, // hour 25
        {"20240315 236000000", 0}, // minute 60
        {"abcd0315", 0},
        {"", 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ParseTimestamp(c.text), c.expected) << c.text;
    EXPECT_EQ(TimestampText("20240315-134501250", "-"), "15.03.2024 13:45:01");
    EXPECT_EQ(TimestampText("2024", "unbekannt"), "unbekannt");
}

TEST(Text, ReplaceAllText)
{
    const struct {
        const char* text;
        const char* pattern;
        const char* replacement;
        const char* out;
    } cases[] = {
        {"1.234,50 \xE2\x82\xAC / 5,00 \xE2\x82\xAC", " \xE2\x82\xAC", "", "1.234,50 / 5,00"},
        {"VKEK vk Vk", "vk", "{", "{EK { {"},
        {"aaa", "aa", "b", "ba"}, // left to right, no overlap
        {"abc", "x", "y", "abc"},
        {"", "x", "y", ""},
        {"abc", "", "y", "abc"},
        {"abc", "ABC", "", ""},
        {"\xC3\x84" "BC \xC3\xA4" "bc", "\xC3\xA4" "bc", "x", "\xC3\x84" "BC x"}, // umlauts keep their case
        {"a.b.c", ".", "..", "a..b..c"},
    };
    for (const auto& c : cases) {
        std::string text = c.text;
        ReplaceAllText(text, c.pattern, c.replacement);
        EXPECT_EQ(text, c.out) << c.text << " / " << c.pattern;
    }
}
