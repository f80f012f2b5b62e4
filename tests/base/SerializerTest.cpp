#include "base/CFileSerializer.h"
#include "tests/base/MemorySerializer.h"

#include "platform/files/Files.h"

#include <gtest/gtest.h>

namespace
{

using Kavo::CFileSerializer;
using KavoTest::MemorySerializer;

struct Values
{
    int32_t i = 0;
    float f = 0.0f;
    bool b = false;
    std::string text;

    void Serialize(Kavo::Serializer& s)
    {
        s.SerializeInt(i);
        s.SerializeFloat(f);
        s.SerializeBool(b);
        s.SerializeString(text);
    }
};

TEST(Serializer, LittleEndianFieldsAndTextsWithZeroBytes)
{
    Values out{-2, 1.5f, true, std::string("a\0b", 3)};
    MemorySerializer writer;
    out.Serialize(writer);
    EXPECT_EQ(writer.Bytes(), std::string("\xFE\xFF\xFF\xFF"
                                          "\x00\x00\xC0\x3F"
                                          "\x01"
                                          "\x03\x00\x00\x00"
                                          "a\0b",
                                          16));
    Values in;
    MemorySerializer reader(writer.Bytes());
    in.Serialize(reader);
    EXPECT_FALSE(reader.Failed());
    EXPECT_EQ(in.i, -2);
    EXPECT_EQ(in.f, 1.5f);
    EXPECT_TRUE(in.b);
    EXPECT_EQ(in.text, out.text); // all three bytes, the zero included

    // A long text comes back whole.
    Values big{1, 2.0f, false, std::string(70000, 'x')};
    MemorySerializer bigWriter;
    big.Serialize(bigWriter);
    MemorySerializer bigReader(bigWriter.Bytes());
    Values bigIn;
    bigIn.Serialize(bigReader);
    EXPECT_FALSE(bigReader.Failed());
    EXPECT_EQ(bigIn.text, big.text);
}

TEST(Serializer, DamagedStreamsFail)
{
    struct Case
    {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"short number", std::string("\x01\x02", 2)},
        {"negative text length", std::string("\0\0\0\0\0\0\0\0\0\xFF\xFF\xFF\xFF", 13)},
        {"text longer than the stream", std::string("\0\0\0\0\0\0\0\0\0\xF0\xFF\xFF\x7F"
                                                    "abc",
                                                    16)},
    };
    for (const Case& c : cases)
    {
        MemorySerializer reader(c.bytes);
        Values in;
        in.Serialize(reader);
        EXPECT_TRUE(reader.Failed()) << c.what;
        EXPECT_EQ(in.text, "") << c.what;
    }
}

TEST(CFileSerializer, VersionWordFirstAndAtomicFile)
{
    const std::string path = "serializer_round_trip.sav";
    {
        CFileSerializer writer(path, false, 22);
        EXPECT_FALSE(writer.IsReading());
        EXPECT_EQ(writer.GetVersion(), 22);
        Values out{7, -0.25f, true, "text"};
        out.Serialize(writer);
        EXPECT_TRUE(writer.Close());
    }
    std::string contents;
    ASSERT_TRUE(platform::ReadFile(path, contents));
    EXPECT_EQ(contents.substr(0, 4), std::string("\x16\0\0\0", 4));
    EXPECT_EQ(contents.size(), 4u + 4 + 4 + 1 + 4 + 4);

    CFileSerializer reader(path, true, 99); // the version comes from the file
    EXPECT_TRUE(reader.IsOpen());
    EXPECT_TRUE(reader.IsReading());
    EXPECT_EQ(reader.GetVersion(), 22);
    Values in;
    in.Serialize(reader);
    EXPECT_FALSE(reader.Failed());
    EXPECT_EQ(in.i, 7);
    EXPECT_EQ(in.f, -0.25f);
    EXPECT_EQ(in.text, "text");
}

TEST(CFileSerializer, MissingOrShortFile)
{
    CFileSerializer missing("no_such_saved_game.sav", true, 22);
    EXPECT_FALSE(missing.IsOpen());
    EXPECT_TRUE(missing.Failed());
    EXPECT_EQ(missing.GetVersion(), 0);

    ASSERT_TRUE(platform::WriteFileAtomically("short_saved_game.sav", std::string("\x16\0", 2)));
    CFileSerializer shortFile("short_saved_game.sav", true, 22);
    EXPECT_TRUE(shortFile.IsOpen());
    EXPECT_TRUE(shortFile.Failed());
    EXPECT_EQ(shortFile.GetVersion(), 0);
}

TEST(CFileSerializer, FailedWriteKeepsTheOldFile)
{
    const std::string path = "kept_saved_game.sav";
    ASSERT_TRUE(platform::WriteFileAtomically(path, "old"));
    {
        CFileSerializer writer(path, false, 22);
        char byte = 1;
        writer.Serialize(&byte, -1); // an impossible count fails the writer
        EXPECT_FALSE(writer.Close());
    }
    std::string contents;
    ASSERT_TRUE(platform::ReadFile(path, contents));
    EXPECT_EQ(contents, "old");

    // A folder that cannot be created: the writer reports it and nothing crashes.
    CFileSerializer nowhere("no_such_folder/deeper/game.sav", false, 22);
    EXPECT_FALSE(nowhere.Close());
}

} // namespace
