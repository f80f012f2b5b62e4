#include "app/DemoFile.h"
#include "app/DemoStream.h"
#include "base/Buffer.h"
#include "platform/files/Files.h"
#include "tests/ScratchNames.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

namespace
{

using Kavo::Buffer;

std::vector<uint8_t> Bytes(const Buffer& b)
{
    return b.GetDataPtr() ? std::vector<uint8_t>(b.GetDataPtr(), b.GetDataPtr() + b.GetDataLen())
                          : std::vector<uint8_t>();
}

TEST(Buffer, BitsFillEachByteFromTheBottom)
{
    Buffer b;
    b.WriteNumBits(1, 1);
    b.WriteNumBits(0, 1);
    b.WriteNumBits(1, 1);
    EXPECT_EQ(Bytes(b), (std::vector<uint8_t>{0x05}));
    b.WriteByte(0xFF);
    EXPECT_EQ(Bytes(b), (std::vector<uint8_t>{0xFD, 0x07}));

    EXPECT_EQ(b.ReadNumBits(3, true), -3);
    b.SeekFront();
    EXPECT_EQ(b.ReadNumBits(3, false), 5);
    EXPECT_EQ(b.ReadByte(), 0xFF);
    // Fewer than 8 bits left: 0, and the position stays.
    Buffer c;
    c.WriteNumBits(0x7F, 7);
    EXPECT_EQ(c.ReadByte(), 0);
    EXPECT_EQ(c.GetReadBitPos(), 0);
    EXPECT_EQ(c.ReadNumBits(9, false), 0x7F); // stops at the end
    EXPECT_TRUE(c.AtEnd());
}

TEST(Buffer, NumbersAndStringsAtAnyAlignment)
{
    for (int shift = 0; shift < 8; ++shift)
    {
        Buffer b;
        b.WriteNumBits(0x55, shift);
        b.WriteShort(-2);
        b.WriteLong(0x12345678);
        b.WriteBoolean(true);
        b.WriteString(std::string("a\0\xFF", 3));
        b.WriteNumBits(-5, 6);
        EXPECT_EQ(b.ReadNumBits(shift, false), 0x55 & ((1 << shift) - 1));
        EXPECT_EQ(b.ReadShort(), -2);
        EXPECT_EQ(b.ReadLong(), 0x12345678);
        EXPECT_TRUE(b.ReadBoolean());
        EXPECT_EQ(b.ReadString(), std::string("a\0\xFF", 3));
        EXPECT_EQ(b.ReadNumBits(6, true), -5);
        EXPECT_TRUE(b.AtEnd()) << shift;
    }
    Buffer low;
    low.WriteLong(0x01020304);
    EXPECT_EQ(Bytes(low), (std::vector<uint8_t>{4, 3, 2, 1}));
}

TEST(Buffer, HostileStringLengths)
{
    struct Case
    {
        std::vector<uint8_t> bytes;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {{0xFF, 0xFF, 'a', 'b'}, ""},         // negative length reads as empty
        {{0x00, 0x80, 'a'}, ""},              // -32768
        {{0x10, 0x00, 'a', 'b', 'c'}, "abc"}, // longer than what is left: only what is left
        {{0x02, 0x00, 'a', 'b', 'c'}, "ab"},
        {{0x05}, ""}, // no whole length
    };
    for (const Case& c : cases)
    {
        Buffer b;
        b.SetData(c.bytes.data(), int(c.bytes.size()));
        EXPECT_EQ(b.ReadString(), c.expected);
    }
    // Writers never make a length the reader would take as negative.
    Buffer b;
    b.WriteString(std::string(40000, 'x'));
    EXPECT_EQ(b.ReadString().size(), 32767u);
}

TEST(DemoStream, HeadersWithFillersAndDueTimes)
{
    Kavo::DemoStream out;
    out.WriteLongEvent(40, Kavo::DemoStream::kKeyDown); // 15 + 15 + 10
    out.mBuffer.WriteNumBits('A', 8);
    out.WriteShortEvent(41, Kavo::DemoStream::kShortMouseButton);
    EXPECT_EQ(out.mBuffer.GetBitSize(), 10 + 10 + 10 + 8 + 6);

    Kavo::DemoStream in;
    in.mBuffer.SetData(out.mBuffer.GetDataPtr(), out.mBuffer.GetDataLen());
    // The two fillers come due at 15 and 30.
    EXPECT_FALSE(in.ReadHeader(0));
    EXPECT_TRUE(in.ReadHeader(15));
    EXPECT_EQ(in.PendingType(), Kavo::DemoStream::kFiller);
    in.TakeHeader();
    EXPECT_TRUE(in.ReadHeader(30));
    in.TakeHeader();
    EXPECT_FALSE(in.ReadHeader(39));
    EXPECT_TRUE(in.HeaderPending());
    ASSERT_TRUE(in.ReadHeader(40));
    EXPECT_FALSE(in.PendingIsShort());
    EXPECT_EQ(in.PendingType(), Kavo::DemoStream::kKeyDown);
    in.TakeHeader();
    EXPECT_EQ(in.mBuffer.ReadNumBits(8, false), 'A');
    ASSERT_TRUE(in.ReadHeader(41));
    EXPECT_TRUE(in.PendingIsShort());
    EXPECT_EQ(in.PendingType(), Kavo::DemoStream::kShortMouseButton);
}

class DemoFileTest : public ::testing::Test
{
protected:
    std::string Path() const { return scratch::TestName() + ".dmo"; }
    void TearDown() override { platform::RemoveFile(Path()); }

    static std::string Image(uint32_t version, const std::string& text, const std::string& rest)
    {
        Buffer b;
        b.WriteLong(int32_t(Kavo::kDemoMagic));
        b.WriteLong(int32_t(version));
        b.WriteLong(1234);
        b.WriteShort(int16_t(text.size()));
        b.WriteBytes(reinterpret_cast<const uint8_t*>(text.data()), int(text.size()));
        return std::string(reinterpret_cast<const char*>(b.GetDataPtr()), size_t(b.GetDataLen())) + rest;
    }
    static std::string Le(uint32_t v)
    {
        return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)};
    }
};

TEST_F(DemoFileTest, WritesAndReadsBack)
{
    Kavo::DemoFileContents demo;
    demo.seed = 99;
    demo.version = "1.01";
    demo.markers = {{"start", 0}, {"boss", 1500}};
    demo.finalUpdateCount = 2000;
    demo.events.WriteNumBits(0x2AB, 11);
    ASSERT_TRUE(Kavo::WriteDemoFile(Path(), demo));

    Kavo::DemoFileContents back;
    std::string error;
    ASSERT_TRUE(Kavo::ReadDemoFile(Path(), "1.01", back, error)) << error;
    EXPECT_EQ(back.seed, 99u);
    ASSERT_EQ(back.markers.size(), 2u);
    EXPECT_EQ(back.markers[1].name, "boss");
    EXPECT_EQ(back.markers[1].updateCount, 1500);
    EXPECT_EQ(back.finalUpdateCount, 2000u);
    EXPECT_EQ(back.events.ReadNumBits(11, false), 0x2AB);

    // The crash report attaches the file whole.
    Buffer whole;
    ASSERT_TRUE(Kavo::ReadFileToBuffer(Path(), whole));
    EXPECT_EQ(whole.GetDataLen(), 4 + 4 + 4 + (2 + 4) + 4 + (4 + (2 + 5 + 4) + (2 + 4 + 4)) + 4 + 2);
    EXPECT_EQ(uint32_t(whole.ReadLong()), Kavo::kDemoMagic);
    EXPECT_FALSE(Kavo::ReadFileToBuffer("no-such.dmo", whole));
}

TEST_F(DemoFileTest, RefusesDamagedFilesWithTheirTexts)
{
    const std::string invalid = "Invalid demo file.";
    const std::string markers = Le(12) + Le(1) + std::string("\2\0ab", 4) + Le(7);
    struct Case
    {
        const char* what;
        std::string bytes;
        std::string error;
    };
    const std::vector<Case> cases = {
        {"empty", "", invalid},
        {"wrong magic", Le(0x12345678) + std::string(20, 0), invalid},
        {"cut in the header", Le(Kavo::kDemoMagic) + Le(2), invalid},
        {"other version", Image(2, "0.99", Le(0) + Le(5) + "x"), "This demo file appears to be for '0.99'"},
        {"version longer than the file",
         Image(2, "", "").substr(0, 12) + std::string("\xFF\x7F"
                                                      "1.0",
                                                      5),
         "This demo file appears to be for '1.0'"},
        {"no marker length", Image(2, "1.01", "ab"), invalid},
        {"marker block past the end", Image(2, "1.01", Le(1000) + Le(1) + "x"), invalid},
        {"marker count larger than the block", Image(2, "1.01", Le(4) + Le(0xFFFFFFFF) + Le(3) + "e"),
         invalid},
        {"no final update count", Image(2, "1.01", markers.substr(0, 4) + Le(0) + "ab"), invalid},
        {"ends after the final update count", Image(2, "1.01", markers + Le(10)), invalid},
        {"version 1 without events", Image(1, "1.01", Le(10)), invalid},
    };
    for (const Case& c : cases)
    {
        ASSERT_TRUE(platform::WriteFileAtomically(Path(), c.bytes));
        Kavo::DemoFileContents demo;
        std::string error;
        EXPECT_FALSE(Kavo::ReadDemoFile(Path(), "1.01", demo, error)) << c.what;
        EXPECT_EQ(error, c.error) << c.what;
    }
    Kavo::DemoFileContents demo;
    std::string error;
    EXPECT_FALSE(Kavo::ReadDemoFile("missing.dmo", "1.01", demo, error));
    EXPECT_EQ(error, "Demo file not found: missing.dmo");
    // A device or a pipe is refused without being read (or waited on).
    const std::string pipe = scratch::TestName() + ".fifo";
    ASSERT_EQ(std::system(("rm -f " + pipe + " && mkfifo " + pipe).c_str()), 0);
    for (const std::string& device : {std::string("/dev/zero"), pipe})
    {
        EXPECT_FALSE(Kavo::ReadDemoFile(device, "1.01", demo, error)) << device;
        EXPECT_EQ(error, invalid) << device;
    }
    platform::RemoveFile(pipe);

    // Format 1 has no marker block.
    ASSERT_TRUE(platform::WriteFileAtomically(Path(), Image(1, "1.01", Le(10) + "E")));
    ASSERT_TRUE(Kavo::ReadDemoFile(Path(), "1.01", demo, error)) << error;
    EXPECT_TRUE(demo.markers.empty());
    EXPECT_EQ(demo.finalUpdateCount, 10u);
    EXPECT_EQ(demo.events.ReadByte(), 'E');
}

} // namespace
