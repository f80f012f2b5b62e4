#include "base/StringTable.h"

#include "platform/files/Files.h"
#include "platform/window/Window.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

using Kavo::StringTable;

// Each test uses numbers of its own: the table lives for the whole process.
TEST(StringTable, LoadsLinesOfNumberAndText)
{
    ASSERT_TRUE(platform::WriteFileAtomically("strings_lines.txt", "7000=  first\\nsecond  \n"
                                                                   "7001=\tTabbed=with equals\r\n"
                                                                   "no equals sign here\n"
                                                                   " 7002 =x\\y\\\n"
                                                                   "7003=old\n"
                                                                   "7003=new\n"
                                                                   "=unnumbered\n"
                                                                   "7004=last line without a line feed"));
    ASSERT_TRUE(StringTable::LoadFile("strings_lines.txt"));

    EXPECT_EQ(StringTable::GetString(7000), "first\nsecond  "); // trailing blanks stay
    EXPECT_EQ(StringTable::GetString(7001), "Tabbed=with equals");
    EXPECT_EQ(StringTable::GetString(7002), "x\\y\\");
    EXPECT_EQ(StringTable::GetString(7003), "new");
    EXPECT_EQ(StringTable::GetString(0), "unnumbered");
    EXPECT_EQ(StringTable::GetString(7004), "last line without a line feed");
    EXPECT_EQ(StringTable::GetString(42), "<<string 42 not found>>");
}

TEST(StringTable, VeryLongLinesAreReadInPieces)
{
    // A line longer than 4095 characters: its second piece is a line of its own.
    std::string line = "7100=" + std::string(4090, 'a') + "7101=tail\n";
    ASSERT_TRUE(platform::WriteFileAtomically("strings_long.txt", line));
    ASSERT_TRUE(StringTable::LoadFile("strings_long.txt"));
    // Its text is too long to be formatted, which the text says.
    EXPECT_EQ(StringTable::GetString(7100), "<<error formatting string 7100: 122>>");
    EXPECT_EQ(StringTable::GetString(7101), "tail");
}

TEST(StringTable, EmptyAndMissingFiles)
{
    std::vector<std::string> boxes;
    platform::SetMessageBoxAnswerer(
        [&](const std::string& text, const std::string& title, unsigned flags)
        {
            boxes.push_back(title + "|" + text + "|" + std::to_string(flags));
            return platform::IDOK;
        });
    ASSERT_TRUE(platform::WriteFileAtomically("strings_empty.txt", ""));
    EXPECT_TRUE(StringTable::LoadFile("strings_empty.txt"));
    EXPECT_TRUE(boxes.empty());
    EXPECT_FALSE(StringTable::Load()); // no properties folder in the test's working folder
    platform::SetMessageBoxAnswerer({});
    EXPECT_EQ(boxes, std::vector<std::string>{
                         "Missing File|Could not open properties\\strings.txt. No text available!|0"});
}

TEST(StringTable, InsertsAndEscapes)
{
    ASSERT_TRUE(platform::WriteFileAtomically("strings_inserts.txt", "7200=%1 scored %2 on level %3\n"
                                                                     "7201=100%% done%n%tnext% line%. end%!\n"
                                                                     "7202=kept%0 dropped\n"
                                                                     "7203=[%1!5s!] [%2!-4s!] [%3!.2s!]\n"
                                                                     "7204=%4 is too many\n"
                                                                     "7205=%1!d! is not a text\n"
                                                                     "7206=%1!s unclosed\n"
                                                                     "7207=%3%2%1\n"));
    ASSERT_TRUE(StringTable::LoadFile("strings_inserts.txt"));

    EXPECT_EQ(StringTable::GetString(7200, "Ann", "120", "4"), "Ann scored 120 on level 4");
    EXPECT_EQ(StringTable::GetString(7200), " scored  on level "); // missing inserts are empty
    EXPECT_EQ(StringTable::GetString(7201), "100% done\n\tnext line. end!");
    EXPECT_EQ(StringTable::GetString(7202), "kept");
    EXPECT_EQ(StringTable::GetString(7203, "ab", "cd", "efgh"), "[   ab] [cd  ] [ef]");
    EXPECT_EQ(StringTable::GetString(7204), "<<error formatting string 7204: 87>>");
    EXPECT_EQ(StringTable::GetString(7205, "1"), "<<error formatting string 7205: 87>>");
    EXPECT_EQ(StringTable::GetString(7206, "1"), "<<error formatting string 7206: 87>>");
    EXPECT_EQ(StringTable::GetString(7207, "a", "b", "c"), "cba");
    // A result that does not fit in 2048 characters with its terminator.
    EXPECT_EQ(StringTable::GetString(7207, std::string(2048, 'x')), "<<error formatting string 7207: 122>>");
    EXPECT_EQ(StringTable::GetString(7207, std::string(2047, 'x')), std::string(2047, 'x'));
    EXPECT_EQ(StringTable::GetString(7203, std::string(3000, 'x')), "<<error formatting string 7203: 122>>");
}

// A padding width that alone fills the result is refused at once, however large: the text is
// never padded in full first.
TEST(StringTable, InsertWidthsPastTheLimitAreRefusedFirst)
{
    ASSERT_TRUE(platform::WriteFileAtomically("strings_widths.txt", "7300=%1!999999999s!\n"
                                                                    "7301=%1!-2048s!\n"
                                                                    "7302=%1!2046s!!\n"
                                                                    "7303=%1!2047s!\n"));
    ASSERT_TRUE(StringTable::LoadFile("strings_widths.txt"));
    EXPECT_EQ(StringTable::GetString(7300, "short"), "<<error formatting string 7300: 122>>");
    EXPECT_EQ(StringTable::GetString(7301, "short"), "<<error formatting string 7301: 122>>");
    EXPECT_EQ(StringTable::GetString(7302, "short"), std::string(2041, ' ') + "short!");
    EXPECT_EQ(StringTable::GetString(7303, "short"), std::string(2042, ' ') + "short");
}

} // namespace
