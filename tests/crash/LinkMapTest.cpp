// The report's logical addresses rewritten from a link map in the working folder.
#include "CrashTestSupport.h"
#include "crash/CrashHandler.h"
#include "platform/files/Files.h"

#include <gtest/gtest.h>

using Kavo::CrashHandler;

namespace
{

const std::string kBlank(20, ' ');

std::string Row(const std::vector<std::string>& entries)
{
    std::string row;
    for (const std::string& entry : entries)
        row += entry;
    return row;
}

void WriteMap(const std::string& text)
{
    ASSERT_TRUE(platform::WriteFileAtomically("game.map", text));
}

} // namespace

TEST(LinkMap, ParsesHexFields)
{
    uint32_t value = 1;
    EXPECT_TRUE(CrashHandler::ParseHex("", value));
    EXPECT_EQ(value, 0u);
    EXPECT_TRUE(CrashHandler::ParseHex("00Ab12fF", value));
    EXPECT_EQ(value, 0x00AB12FFu);
    EXPECT_FALSE(CrashHandler::ParseHex("12 4", value));
    EXPECT_FALSE(CrashHandler::ParseHex("0x12", value));
}

// One map, one report: names with their distance and source line, every rule of the lookup.
TEST(LinkMap, RewritesLogicalAddresses)
{
    crashtest::ScratchFolder folder("map-");
    const std::string fullRow =
        Row({"   120 0001:00000230", "   121 0001:00000240", "   122 0001:00000250", "   123 0001:00000260"});
    ASSERT_EQ(fullRow.size(), 80u);
    WriteMap(std::string(" game\r\n") +
             // a row of line numbers before any header adds nothing
             Row({"   999 0001:00000300", "   999 0001:00000310", "   999 0001:00000320",
                  "   999 0001:00000330"}) +
             "\n"
             // the section table: its column 20 is not a blank
             " 0001:00001000 00000200H .text                   CODE\n"
             " 0001:00000200       _Z3Foov 0000000000401200 f foo.o\r\n"
             " 0001:00000300       _Z3Barv 0000000000401300 f bar.o\n"
             " 0001:00000400       _Z3Bazv 0000000000401400 f baz.o\n"
             " 0001:00000400       _Z3Quxv 0000000000401400 f qux.o\n" // the later line wins
             " 0002:00000010       _Z4Datav 0000000000402010 f data.o\n"
             " 0003:00000000       X0003:00000000 0000000000403000\n" // a name that holds an address
             " 0001:00000500       x\n"                               // no blank after the name
             " 0004:00000000       _Z1Av 0000000000404000\n"
             " 0005:00000000       _Z4Lastv 0000000000405000\n" +
             std::string(10000, 'z') + "\n" // a line too long to read, passed over
             + "Line numbers for foo.o(F.cpp) segment .text\n\n" + fullRow + "\n" +
             "   124 0001:00000270\n" // the short last row of a block adds nothing
             "Line numbers for bar.o(G.cpp) segment .text\n\n" +
             Row({"   130 0001:0000030a", "   131 0001:00000320", "   132 xxxx:00000330",
                  "   133 0001:0000034g"}) +
             "\n"
             "Line numbers without a file\n" +
             Row({"   140 0001:00000400", "   141 0002:00000000", kBlank, kBlank}) + "\n");
    std::string report = "Logical Address: 0001:00000234\r\n"
                         "exact 0001:00000240 and 0001:00000200\r\n"
                         "lower-case row 0001:0000030B\r\n"
                         "bad entries 0001:00000335\r\n"
                         "replaced 0001:00000404\r\n"
                         "beyond 0001:00000500 other section 0002:00000005 below 0001:00000100\r\n"
                         "above the last 0005:00000001\r\n"
                         "address as name 0003:00000000 end\r\n"
                         "RAX:0000000000001111 Time Loaded: 01:02:05 Kavo::Fn(int)\r\n"
                         "cut at the end 0004:00023";
    CrashHandler::LoadImageHelp();
    CrashHandler::LookupMapFile(report);
    CrashHandler::UnloadImageHelp();
    EXPECT_EQ(report, "Logical Address: Foo()+0x34\r\n    F.cpp line 120 +0x4\r\n"
                      "exact Foo()+0x40\r\n    F.cpp line 121 +0x0 and Foo()\r\n"
                      "lower-case row Bar()+0xB\r\n    G.cpp line 130 +0x1\r\n"
                      "bad entries Bar()+0x35\r\n    G.cpp line 131 +0x15\r\n"
                      "replaced Qux()+0x4\r\n    Line numbers without a file line 140 +0x4\r\n"
                      "beyond Qux()+0x100\r\n    Line numbers without a file line 140 +0x100 "
                      "other section 0002:00000005 below 0001:00000100\r\n"
                      "above the last 0005:00000001\r\n"
                      "address as name X0003:00000000 end\r\n"
                      "RAX:0000000000001111 Time Loaded: 01:02:05 Kavo::Fn(int)\r\n"
                      "cut at the end A()+0x23");
}

TEST(LinkMap, WithoutAMapNothingChanges)
{
    crashtest::ScratchFolder folder("nomap-");
    std::string report = "Logical Address: 0001:00000234\r\n";
    CrashHandler::LookupMapFile(report);
    EXPECT_EQ(report, "Logical Address: 0001:00000234\r\n");
}

// A name with its distance and source line is cut to the 4095 characters of its work buffer.
TEST(LinkMap, LongNamesAreCutToTheWorkBuffer)
{
    crashtest::ScratchFolder folder("longname-");
    std::string name(4060, 'n');
    std::string file(3000, 'f');
    WriteMap(" 0001:00000000       " + name + " 0\n 0002:00000000       _Z1Bv 0\nLine numbers for (" + file +
             ")\n" + Row({"     7 0001:00000000", "     8 0002:00000000", kBlank, kBlank}) + "\n");
    std::string report = "at 0001:00000010.";
    CrashHandler::LookupMapFile(report);
    std::string inserted = name + "+0x10\r\n    " + file + " line 7 +0x10";
    EXPECT_EQ(report, "at " + inserted.substr(0, 4095) + ".");
}
