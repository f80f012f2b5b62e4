#include "base/TextHelpers.h"

#include "base/Color.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>

namespace
{

using namespace Kavo;

TEST(TextHelpers, TrimCaseAndReplace)
{
    EXPECT_EQ(TrimWhitespace(" \t\r\nword  two\n"), "word  two");
    EXPECT_EQ(TrimWhitespace(" \t\r\n"), "");
    EXPECT_EQ(TrimWhitespace("\vx\f"), "\vx\f"); // only blank, tab, line feed and return
    EXPECT_EQ(UpperCaseCopy("abc xyz 1\xe9"), "ABC XYZ 1\xe9");

    struct Case
    {
        const char *text, *pattern, *replacement, *result;
    } cases[] = {
        {"aaa", "a", "aa", "aaaaaa"}, // what was put in is not looked at again
        {"abcabc", "bc", "", "aa"},   {"$name and $name", "$name", "Ann", "Ann and Ann"},
        {"aaaa", "aa", "b", "bb"},    {"text", "", "x", "text"}, // an empty pattern matches nothing
    };
    for (const Case& c : cases)
        EXPECT_EQ(StringReplaceAll(c.text, c.pattern, c.replacement), c.result) << c.text;
}

TEST(TextHelpers, ColourTags)
{
    struct Case
    {
        const char* text;
        const char* result;
        bool tagged;
        Color colour;
        bool flag;
    } cases[] = {
        {"$#FF8000!:word", "word", true, Color(255, 128, 0, 255), true},
        {"$#00ff10plain", "plain", true, Color(0, 255, 16, 255), false},
        {"$#123456:after", "after", true, Color(0x12, 0x34, 0x56, 255), false},
        {"$#102030", "", true, Color(16, 32, 48, 255), false},
        {"$#FF80", "$#FF80", false, Color(), false},             // too short for a tag
        {"$#GG0000text", "$#GG0000text", false, Color(), false}, // not hexadecimal
        {"no tag", "no tag", false, Color(), false},
    };
    for (const Case& c : cases)
    {
        Color colour(1, 2, 3, 4);
        bool flag = false;
        EXPECT_EQ(ParseColorTaggedText(c.text, colour, flag), c.result) << c.text;
        EXPECT_EQ(colour, c.tagged ? c.colour : Color(1, 2, 3, 4)) << c.text;
        EXPECT_EQ(flag, c.flag) << c.text;
    }
}

TEST(TextHelpers, NumbersToText)
{
    EXPECT_EQ(NumberWithThousandsCommas(0), "0");
    EXPECT_EQ(NumberWithThousandsCommas(999), "999");
    EXPECT_EQ(NumberWithThousandsCommas(1234), "1,234");
    EXPECT_EQ(NumberWithThousandsCommas(2147483647), "2,147,483,647");
    EXPECT_EQ(NumberWithThousandsCommas(-1234567), "-1,234,567");
    EXPECT_EQ(NumberWithThousandsCommas(-2147483647 - 1), "-2,147,483,648");

    EXPECT_EQ(ToPaddedText(42, 5), "   42");
    EXPECT_EQ(ToPaddedText(123456, 3), "123456");
    EXPECT_EQ(ToPaddedText(1.5, 6), "   1.5");
    EXPECT_EQ(ToPaddedText(1.0 / 3.0, 0), "0.333333");
    EXPECT_EQ(ToPaddedText(std::string("ab"), 4), "  ab");
    EXPECT_EQ(ToPaddedText(std::string("ab"), 0), "ab");
}

TEST(TextHelpers, SplitIntoWords)
{
    using Words = std::vector<std::string>;
    EXPECT_EQ(SplitIntoWords("gcfRequire3x3Square gcfUseNewScoringFormula", ' '),
              (Words{"gcfRequire3x3Square", "gcfUseNewScoringFormula"}));
    EXPECT_EQ(SplitIntoWords("  a   b ", ' '), (Words{"a", "b"}));
    EXPECT_EQ(SplitIntoWords("line one~line two~", '~'), (Words{"line one", "line two"}));
    EXPECT_EQ(SplitIntoWords(";;;", ';'), Words{});
    EXPECT_EQ(SplitIntoWords("", ' '), Words{});
}

TEST(TextHelpers, TextToNumbers)
{
    struct IntCase
    {
        const char* text;
        int value;
    } ints[] = {{"120", 120},
                {"  -45x", -45},
                {"+7", 7},
                {"abc", 0},
                {"", 0},
                {"\t\n 12 3", 12},
                {"- 5", 0},
                {"99999999999", 2147483647},
                {"-99999999999", -2147483647 - 1}};
    for (const IntCase& c : ints)
        EXPECT_EQ(StringToIntBase10(c.text), c.value) << c.text;

    struct FloatCase
    {
        const char* text;
        float value;
    } floats[] = {{"1.5", 1.5f},    {"  -0.25abc", -0.25f}, {".5", 0.5f},        {"3", 3.0f},
                  {"2e3", 2000.0f}, {"+4.0", 4.0f},         {"x1", 0.0f},        {"", 0.0f},
                  {"nan", 0.0f},    {"inf", FLT_MAX},       {"-1e99", -FLT_MAX}, {"1e-99", 0.0f},
                  {"0x10", 16.0f},  {"--1", 0.0f}};
    for (const FloatCase& c : floats)
        EXPECT_EQ(StringToFloatText(c.text), c.value) << c.text;
}

TEST(TextHelpers, LerpAndClamp)
{
    EXPECT_DOUBLE_EQ(Lerp(10.0, 20.0, 0.25), 12.5);
    EXPECT_DOUBLE_EQ(Lerp(10.0, 20.0, -1.0), 10.0);
    EXPECT_DOUBLE_EQ(Lerp(10.0, 20.0, 7.0), 20.0);
    EXPECT_DOUBLE_EQ(Lerp(10.0, 20.0, std::nan("")), 10.0);
    EXPECT_DOUBLE_EQ(Lerp(0.0, 255.0, 1.0), 255.0);

    EXPECT_EQ(ClampToRange(0, 10, 15), 10);
    EXPECT_EQ(ClampToRange(10, 0, 15), 10); // the bounds in either order
    EXPECT_EQ(ClampToRange(10, 0, -3), 0);
    EXPECT_EQ(ClampToRange(-5, 5, 2), 2);
}

} // namespace
