// Checks the text table the game ships: every text the game asks for by number is there, the
// texts use only the inserts they are given, and the saved game's file name made from text 105
// is a safe name for every name a player can type.
#include "base/StringTable.h"
#include "platform/files/Files.h"
#include "tests/data/ShippedData.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

namespace
{

using namespace Kavo;

const std::string kStrings = ShippedData::SourceData() + "properties/strings.txt";

// Every text number the game asks for, with the number of inserts it passes (ranges included).
std::map<int, int> UsedTexts()
{
    std::map<int, int> used;
    auto range = [&](int first, int last)
    {
        for (int n = first; n <= last; ++n)
            used[n] = 0;
    };
    // The board: tutorial, panel, buttons, first win, hints, medals, challenge block, retry.
    range(112, 124);
    range(126, 145);
    range(170, 174);
    range(269, 287);
    range(291, 294);
    range(301, 318);
    used[254] = used[267] = 0;
    // The screens and dialogs.
    range(103, 111);
    range(147, 158);
    used[163] = 0;
    range(176, 182);
    range(184, 191);
    range(200, 203);
    range(205, 207);
    range(209, 231);
    used[248] = used[249] = 0;
    range(251, 253);
    range(258, 266);
    range(288, 290);
    range(295, 300);
    range(319, 323);
    range(324, 327); // the settings notices
    // The texts given one insert.
    for (int n : {103, 105, 110, 111, 119, 122, 176, 220, 248, 254, 295, 296, 312, 325, 327})
        used[n] = 1;
    return used;
}

// The raw lines of the file by number, as written.
std::map<int, std::string> RawTexts(std::vector<std::string>& duplicates)
{
    std::string contents;
    EXPECT_TRUE(platform::ReadFile(kStrings, contents));
    std::map<int, std::string> raw;
    size_t at = 0;
    while (at < contents.size())
    {
        size_t end = contents.find('\n', at);
        std::string line = contents.substr(at, end == std::string::npos ? std::string::npos : end - at);
        at = end == std::string::npos ? contents.size() : end + 1;
        size_t equals = line.find('=');
        if (equals == std::string::npos) continue;
        int number = std::atoi(line.c_str());
        if (raw.count(number)) duplicates.push_back(line);
        raw[number] = line.substr(equals + 1);
    }
    return raw;
}

// The inserts a text uses (highest number), or -1 for a "%" that is neither a plain insert of 1
// to 3 nor "%%" (a digit or "!" after an insert would be read as part of it).
int HighestInsert(const std::string& text)
{
    int highest = 0;
    for (size_t i = 0; i < text.size(); ++i)
    {
        if (text[i] != '%') continue;
        if (i + 1 == text.size()) return -1;
        char c = text[++i];
        if (c == '%') continue;
        if (c < '1' || c > '3') return -1;
        if (i + 1 < text.size() && (std::isdigit((unsigned char)text[i + 1]) || text[i + 1] == '!'))
            return -1;
        highest = std::max(highest, c - '0');
    }
    return highest;
}

TEST(Texts, EveryTextTheGameAsksForIsThereWithTheInsertsItIsGiven)
{
    ASSERT_TRUE(StringTable::LoadFile(kStrings));
    std::vector<std::string> duplicates;
    std::map<int, std::string> raw = RawTexts(duplicates);
    EXPECT_TRUE(duplicates.empty()) << "written twice: " << duplicates[0];

    for (const auto& [number, inserts] : UsedTexts())
    {
        SCOPED_TRACE("text " + std::to_string(number));
        ASSERT_TRUE(raw.count(number)) << "missing";
        std::string shown = StringTable::GetString(number, "<1>");
        EXPECT_FALSE(shown.empty());
        EXPECT_EQ(shown.find("<<"), std::string::npos) << shown;
        // A text given an insert shows it; one given none asks for none.
        EXPECT_EQ(HighestInsert(raw[number]), inserts);
        EXPECT_EQ(shown.find("<1>") != std::string::npos, inserts == 1) << shown;
    }
    for (const auto& [number, text] : raw)
    {
        EXPECT_GE(HighestInsert(text), 0) << "text " << number << " has a stray %: " << text;
        for (unsigned char c : text)
            EXPECT_TRUE(c >= 32 && c < 127) << "text " << number << " is not plain text";
    }
}

// The program reads the table beside itself; the build copies it there unchanged.
TEST(Texts, TheGameFolderHoldsTheTable)
{
    std::string source, copy;
    ASSERT_TRUE(platform::ReadFile(kStrings, source));
    ASSERT_TRUE(platform::ReadFile(ShippedData::GameFolder() + "properties/strings.txt", copy));
    EXPECT_EQ(copy, source);
}

// A name typed in the name dialog holds letters, digits, blanks, "." and "'" and bytes from 128
// up, at most 12 of them, and reaches the file name trimmed.
TEST(Texts, TheSavedGameFileNameIsSafeForEveryName)
{
    ASSERT_TRUE(StringTable::LoadFile(kStrings));
    const std::string names[] = {"Ana",       "O'Neil",  "..",       ".",   ". . .",
                                 "Dr. Who",   "1234",    "x",        "ana", "ABCDEFGHIJKL",
                                 "\xC9lodie", "Jo Anne", "..\xFF..", "'",   "A.B."};
    std::set<std::string> files;
    for (const std::string& name : names)
    {
        SCOPED_TRACE(name);
        std::string file = StringTable::GetString(105, name);
        ASSERT_FALSE(file.empty());
        EXPECT_NE(file.find(name), std::string::npos) << "the name is part of the file name";
        EXPECT_LE(file.size(), 64u);
        EXPECT_NE(file.front(), '.');
        EXPECT_NE(file.front(), ' ');
        EXPECT_NE(file.back(), '.');
        EXPECT_NE(file.back(), ' ');
        for (unsigned char c : file)
        {
            EXPECT_GE(c, 32) << "control character";
            EXPECT_EQ(std::string("\\/:*?\"<>|%").find(char(c)), std::string::npos) << "character " << c;
        }
        // Different names never share a file.
        EXPECT_TRUE(files.insert(file).second) << file;
    }
}

} // namespace
