#include "base/StringUtils.h"

#include "platform/system/DebugOutput.h"

#include <gtest/gtest.h>

namespace
{

using namespace Kavo;

TEST(StringUtils, StrFormatGrowsAndStopsAtItsLimit)
{
    EXPECT_EQ(StrFormat("%d-%s", 42, "x"), "42-x");
    std::string long1(5000, 'a');
    EXPECT_EQ(StrFormat("%s!", long1.c_str()), long1 + "!");
    std::string huge(kStrFormatLimit + 500, 'b');
    std::string cut = StrFormat("<%s>", huge.c_str());
    ASSERT_EQ(cut.size(), kStrFormatLimit);
    EXPECT_EQ(cut.substr(0, 2), "<b");
    EXPECT_EQ(StrFormat("%s", ""), "");
}

TEST(StringUtils, DebugOutputReachesTheSink)
{
    std::string seen;
    platform::SetDebugOutputSink([&](std::string_view text) { seen += text; });
    OutputDebugF("value %d\n", 7);
    platform::SetDebugOutputSink(nullptr);
    EXPECT_EQ(seen, "value 7\n");
}

TEST(StringUtils, CaseConversionKeepsHighBytes)
{
    std::string text = "abcXYZ09 \x80\xC9\xE9\xFF";
    EXPECT_EQ(StringToUpper(text), "ABCXYZ09 \x80\xC9\xE9\xFF");
    EXPECT_EQ(StringToLower(text), "abcxyz09 \x80\xC9\xE9\xFF");
}

TEST(StringUtils, WideConversions)
{
    std::string bytes = "A\xE9\xFF";
    std::wstring wide = StringToWide(bytes);
    ASSERT_EQ(wide.size(), 3u);
    EXPECT_EQ(wide[1], wchar_t(0xE9));
    EXPECT_EQ(WideToString(wide), bytes);
    EXPECT_EQ(WideToString(L"ok\x20AC"), ""); // the euro sign is not one byte
    std::string out = "old";
    EXPECT_EQ(&WideToStringInto(L"new", out), &out);
    EXPECT_EQ(out, "new");
}

TEST(StringUtils, TrimAndCopy)
{
    EXPECT_EQ(StringTrim("  a b \t\r\n"), "a b");
    EXPECT_EQ(StringTrim(" \t "), "");
    EXPECT_EQ(StringTrim(""), "");
    EXPECT_EQ(StringCopy("abc"), "abc");
    EXPECT_EQ(StringCopy(nullptr), "");
}

TEST(StringUtils, StringToInt)
{
    struct Case
    {
        const char* text;
        bool ok;
        int value;
    } cases[] = {
        {"0", true, 0},
        {"42", true, 42},
        {"-12", true, -12},
        {"0x1F", true, 31},
        {"0XaB", true, 171},
        {"-0x10", true, -16},
        {"12a", false, 0},
        {"", false, 0},
        {"-", false, 0},
        {"0x", false, 0},
        {"+5", false, 0},
        {" 5", false, 0},
        {"5 ", false, 0},
        {"0x1G", false, 0},
        {"2147483647", true, 2147483647},
        {"-2147483648", true, int(0x80000000u)},
        {"0xFFFFFFFF", true, -1},
    };
    for (const Case& c : cases)
    {
        int value = 99;
        EXPECT_EQ(StringToInt(c.text, value), c.ok) << c.text;
        EXPECT_EQ(value, c.value) << c.text;
    }
}

TEST(StringUtils, StringToDouble)
{
    struct Case
    {
        const char* text;
        bool ok;
        double value;
    } cases[] = {
        {"3.25", true, 3.25}, {"-0.5", true, -0.5},  {"7", true, 7.0},   {".5", true, 0.5},
        {"5.", true, 5.0},    {"1e3", false, 0.0},   {"", false, 0.0},   {"-", false, 0.0},
        {".", false, 0.0},    {"1.2.3", false, 0.0}, {"+1", false, 0.0}, {"1,5", false, 0.0},
    };
    for (const Case& c : cases)
    {
        double value = 99.0;
        EXPECT_EQ(StringToDouble(c.text, value), c.ok) << c.text;
        EXPECT_DOUBLE_EQ(value, c.value) << c.text;
    }
}

TEST(StringUtils, CommaSeparate)
{
    EXPECT_EQ(CommaSeparate(1234567), "1,234,567");
    EXPECT_EQ(CommaSeparate(100), "100");
    EXPECT_EQ(CommaSeparate(1000), "1,000");
    EXPECT_EQ(CommaSeparate(0), "0");
    EXPECT_EQ(CommaSeparate(2147483647), "2,147,483,647");
    EXPECT_EQ(CommaSeparate(-5), "");
}

TEST(StringUtils, CaseInsensitiveSearchAndPrefix)
{
    EXPECT_EQ(StrCaseCompare("Hello World", "WORLD"), 6);
    EXPECT_EQ(StrCaseCompare("Hello", "hello"), 0);
    EXPECT_EQ(StrCaseCompare("Hello", "xyz"), -1);
    EXPECT_EQ(StrCaseCompare("", "a"), -1);
    EXPECT_EQ(StrCaseCompare("ab", "abc"), -1);

    EXPECT_TRUE(StrCaseEqualN("abc", "AB", 5));
    EXPECT_FALSE(StrCaseEqualN("ab", "abc", 5));
    EXPECT_TRUE(StrCaseEqualN("abc", "abX", 2));
    EXPECT_FALSE(StrCaseEqualN("abc", "abX", 3));
    EXPECT_TRUE(StrCaseEqualN("x", "y", 0));
}

TEST(StringUtils, XMLDecode)
{
    EXPECT_EQ(XMLDecodeString("a&lt;b&gt;c"), "a<b>c");
    EXPECT_EQ(XMLDecodeString("&amp;&quot;&apos;&nbsp;&cr;"), "&\"' \n");
    EXPECT_EQ(XMLDecodeString("x&bogus;y"), "x&y");
    EXPECT_EQ(XMLDecodeString("fish & chips"), "fish & chips");
    EXPECT_EQ(XMLDecodeString("&lt"), "&lt");
    EXPECT_EQ(XMLDecodeStringWide(L"&lt;\x20AC&gt;"), L"<\x20AC>");
}

} // namespace
