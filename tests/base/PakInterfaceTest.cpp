#include "base/PakInterface.h"
#include "base/PakFile.h"
#include "base/PakWriter.h"
#include "base/StringUtils.h"
#include "platform/files/Files.h"
#include "tests/ScratchNames.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace
{

using namespace Kavo;
namespace fs = std::filesystem;

std::string Scramble(std::string bytes)
{
    for (char& c : bytes)
        c = char(uint8_t(c) ^ PakInterface::kScrambleKey);
    return bytes;
}

std::string ReadAll(PakInterfaceBase& pak, PakFileHandle* handle)
{
    std::string out;
    char chunk[7];
    size_t got;
    while ((got = pak.Read(chunk, 1, sizeof chunk, handle)) > 0)
        out.append(chunk, got);
    return out;
}

// Each test gets its own folder of fixtures (tests of one program run side by side).
class PakInterfaceTest : public ::testing::Test
{
protected:
    void SetUp() override { folder = scratch::FreshFolder("pak-"); }
    void TearDown() override { fs::remove_all(folder); }

    std::string WriteArchive(const std::string& name, const PakWriter& writer)
    {
        std::string path = folder + name;
        EXPECT_TRUE(writer.WriteFile(path));
        return path;
    }
    std::string WriteRaw(const std::string& name, const std::string& plainBytes)
    {
        std::string path = folder + name;
        EXPECT_TRUE(platform::WriteFileAtomically(path, Scramble(plainBytes)));
        return path;
    }

    std::string folder;
};

TEST_F(PakInterfaceTest, NormalisesNames)
{
    std::string current = platform::CurrentFolder();
    struct Case
    {
        std::string name;
        bool ok;
        std::string key;
    } cases[] = {
        {"images/ball.png", true, "IMAGES\\BALL.PNG"},
        {"IMAGES\\BALL.PNG", true, "IMAGES\\BALL.PNG"},
        {"images//\\ball.png", true, "IMAGES\\BALL.PNG"},
        {"images/extra/../ball.png", true, "IMAGES\\BALL.PNG"},
        {"a/../b", true, "B"},
        {"../up.txt", true, "..\\UP.TXT"},
        {"a/./b", true, "A\\.\\B"},
        {"a/..b", true, "A\\..B"},
        {current + "Props/X.xml", true, "PROPS\\X.XML"},
        {"/elsewhere/x", true, "\\ELSEWHERE\\X"},
        // Letters above 0x7F are left alone whatever the C locale says.
        {"caf\xE9/\xFF", true, "CAF\xE9\\\xFF"},
        {std::string(259, 'a'), true, std::string(259, 'A')},
        {std::string(260, 'a'), false, ""},
        {std::string(200, 'a') + "//" + std::string(100, 'b'), false, ""},
        {std::string(300, 'a') + "/../b", true, "B"}, // the limit holds after normalising
        {std::string(250, 'a') + "/x/../" + std::string(5, 'b'), true, std::string(250, 'A') + "\\BBBBB"},
    };
    for (const Case& c : cases)
    {
        std::string key = "stale";
        EXPECT_EQ(PakInterface::NormalizePakPath(c.name, key), c.ok) << c.name;
        EXPECT_EQ(key, c.key) << c.name;
    }
}

TEST_F(PakInterfaceTest, FindsArchivedFilesByAnySpellingAndFallsBackToTheDisk)
{
    PakWriter writer;
    writer.AddFile("Images/Ball.png", "archived ball");
    std::string pak = WriteArchive("a.pak", writer);
    platform::WriteFileAtomically(folder + "loose.txt", "loose");

    PakInterface archive;
    ASSERT_TRUE(archive.LoadPakIndex(pak));
    for (const char* name :
         {"images\\ball.png", "IMAGES/BALL.PNG", "images//ball.png", "images/x/../ball.png"})
    {
        for (const char* mode : {"r", "rb", "RT"})
        {
            PakFileHandle* handle = archive.Open(name, mode);
            ASSERT_NE(handle, nullptr) << name;
            EXPECT_NE(handle->record, nullptr);
            EXPECT_EQ(ReadAll(archive, handle), "archived ball");
            archive.Close(handle);
        }
    }
    // Any other mode goes to the disk, where there is no such file.
    EXPECT_EQ(archive.Open("images/ball.png", "r+"), nullptr);
    EXPECT_EQ(archive.Open("images/none.png", "rb"), nullptr);

    PakFileHandle* loose = archive.Open((folder + "LOOSE.TXT").c_str(), "rb");
    ASSERT_NE(loose, nullptr);
    EXPECT_EQ(loose->record, nullptr);
    EXPECT_EQ(ReadAll(archive, loose), "loose");
    archive.Close(loose);

    // A name too long to look up in the archive is still tried on the disk.
    std::string longName = folder + std::string(300, 'n');
    EXPECT_EQ(archive.Open(longName.c_str(), "rb"), nullptr);
}

TEST_F(PakInterfaceTest, SeeksReadsAndStopsAtTheEnd)
{
    PakWriter writer;
    writer.AddFile("ten.bin", "0123456789");
    PakInterface archive;
    ASSERT_TRUE(archive.LoadPakIndex(WriteArchive("s.pak", writer)));
    PakFileHandle* h = archive.Open("ten.bin", "rb");
    ASSERT_NE(h, nullptr);

    struct Case
    {
        long offset;
        int origin;
        long position;
    } seeks[] = {
        {0, kPakSeekEnd, 10},  {-4, kPakSeekEnd, 6},  {3, kPakSeekEnd, 10},
        {-5, kPakSeekSet, 0},  {4, kPakSeekSet, 4},   {2, kPakSeekCur, 6},
        {99, kPakSeekCur, 10}, {-99, kPakSeekCur, 0}, {7, 9, 0}, // an unknown origin leaves the position
    };
    for (const Case& c : seeks)
    {
        EXPECT_EQ(archive.Seek(h, c.offset, c.origin), 0);
        EXPECT_EQ(archive.Tell(h), c.position) << c.offset << " from " << c.origin;
    }

    char buffer[16] = {};
    EXPECT_EQ(archive.Read(buffer, 4, 3, h), 2u); // ten bytes are two whole 4-byte elements
    EXPECT_EQ(archive.Tell(h), 10);
    EXPECT_EQ(std::string(buffer, 10), "0123456789");
    EXPECT_NE(archive.AtEnd(h), 0);
    EXPECT_EQ(archive.Read(buffer, 1, 1, h), 0u);
    EXPECT_EQ(archive.GetChar(h), -1);
    EXPECT_EQ(archive.Read(buffer, 0, 5, h), 0u);
    EXPECT_EQ(archive.Read(buffer, size_t(1) << 40, size_t(1) << 40, h), 0u);

    // Stepping back over the last byte; end-of-file itself cannot be pushed back.
    EXPECT_EQ(archive.UngetChar(-1, h), -1);
    EXPECT_EQ(archive.Tell(h), 10);
    EXPECT_EQ(archive.UngetChar('9', h), '9');
    EXPECT_EQ(archive.GetChar(h), '9');
    archive.Seek(h, 0, kPakSeekSet);
    EXPECT_EQ(archive.UngetChar('x', h), 'x');
    EXPECT_EQ(archive.Tell(h), 0);

    // A position set from outside the file is brought back inside before any read.
    h->position = -7;
    EXPECT_EQ(archive.GetChar(h), '0');
    h->position = 1000;
    EXPECT_EQ(archive.Read(buffer, 1, 4, h), 0u);
    EXPECT_EQ(archive.GetChar(h), -1);
    EXPECT_EQ(archive.Tell(h), 10);
    archive.Close(h);
}

TEST_F(PakInterfaceTest, CarriageReturnsAreDroppedOnlyFromTextReads)
{
    std::string text = "a\r\nb";
    PakWriter writer;
    writer.AddFile("t.txt", text);
    writer.AddFile("long.txt", "abcdefgh\n");
    PakInterface archive;
    ASSERT_TRUE(archive.LoadPakIndex(WriteArchive("t.pak", writer)));
    platform::WriteFileAtomically(folder + "disk.txt", text);

    for (std::string name : {std::string("t.txt"), folder + "disk.txt"})
    {
        SCOPED_TRACE(name);
        PakFileHandle* h = archive.Open(name.c_str(), "r");
        ASSERT_NE(h, nullptr);
        std::string got;
        for (int c; (c = archive.GetChar(h)) != -1;)
            got += char(c);
        EXPECT_EQ(got, "a\nb");

        archive.Seek(h, 0, kPakSeekSet);
        char line[16];
        ASSERT_NE(archive.GetLine(line, sizeof line, h), nullptr);
        EXPECT_STREQ(line, "a\n");
        ASSERT_NE(archive.GetLine(line, sizeof line, h), nullptr);
        EXPECT_STREQ(line, "b");
        EXPECT_EQ(archive.GetLine(line, sizeof line, h), nullptr);
        archive.Close(h);

        // Binary reads keep every byte.
        h = archive.Open(name.c_str(), "rb");
        got.clear();
        for (int c; (c = archive.GetChar(h)) != -1;)
            got += char(c);
        EXPECT_EQ(got, text);
        archive.Close(h);
    }

    PakFileHandle* h = archive.Open("long.txt", "r");
    char small[4];
    ASSERT_NE(archive.GetLine(small, sizeof small, h), nullptr);
    EXPECT_STREQ(small, "abc");
    archive.Close(h);
}

TEST_F(PakInterfaceTest, LaterArchivesReplaceEntriesAndSearchesListArchiveThenDisk)
{
    PakWriter first, second;
    first.AddFile("gfx\\b.png", "old b");
    first.AddFile("gfx\\a.png", "a");
    first.AddFile("gfx\\sub\\c.png", "c");
    first.AddFile("gfx\\d.jpg", "d");
    second.AddFile("GFX\\B.PNG", "new b");
    PakInterface archive;
    ASSERT_TRUE(archive.LoadPakIndex(WriteArchive("1.pak", first)));
    ASSERT_TRUE(archive.LoadPakIndex(WriteArchive("2.pak", second)));

    PakFileHandle* h = archive.Open("gfx/b.png", "rb");
    EXPECT_EQ(ReadAll(archive, h), "new b");
    archive.Close(h);

    fs::create_directories(folder + "gfx");
    platform::WriteFileAtomically(folder + "gfx/z.png", "z");

    struct Case
    {
        std::string pattern;
        std::vector<std::string> names;
    } cases[] = {
        {"gfx\\*.png", {"a.png", "B.PNG", "c.png"}},
        {"gfx/*", {"a.png", "B.PNG", "d.jpg", "c.png"}},
        {"gfx\\*.*", {"a.png", "B.PNG", "d.jpg", "c.png"}},
        {"gfx\\a.png", {}},
        {folder + "gfx\\*.png", {"z.png"}},
        {"nothing\\*", {}},
    };
    for (const Case& c : cases)
    {
        PakFindResult result;
        std::vector<std::string> names;
        PakFindData* search = archive.FindFirst(c.pattern.c_str(), &result);
        if (search)
        {
            do
                names.push_back(result.fileName);
            while (archive.FindNext(search, &result));
            EXPECT_TRUE(archive.FindClose(search));
        }
        EXPECT_EQ(names, c.names) << c.pattern;
    }

    // An entry found in a subfolder of the searched folder is reported as a folder.
    PakFindResult result;
    PakFindData* search = archive.FindFirst("gfx\\*.png", &result);
    std::vector<uint32_t> attributes;
    do
        attributes.push_back(result.attributes);
    while (archive.FindNext(search, &result));
    archive.FindClose(search);
    EXPECT_EQ(attributes, (std::vector<uint32_t>{0, 0, PakFindResult::kAttributeDirectory}));
}

TEST_F(PakInterfaceTest, RefusesDamagedArchivesAndDropsEntriesPastTheEnd)
{
    auto header = [](uint32_t magic, uint32_t version)
    {
        std::string h;
        for (uint32_t v : {magic, version})
            for (int i = 0; i < 4; ++i)
                h += char(uint8_t(v >> (8 * i)));
        return h;
    };
    auto record = [](const std::string& name, uint32_t size)
    {
        std::string r = {char(0), char(name.size())};
        r += name;
        for (int i = 0; i < 4; ++i)
            r += char(uint8_t(size >> (8 * i)));
        return r + std::string(8, '\0');
    };
    const std::string good = header(PakInterface::kMagic, 0);
    const std::string end(1, char(PakInterface::kEndOfIndex));

    // A good archive whose entry a refused one must not replace.
    PakWriter keep;
    keep.AddFile("KEEP.TXT", "kept");

    struct Case
    {
        const char* what;
        std::string bytes;
        bool loads;
        std::vector<std::string> readable; // names that open, each holding "xyz"
    } cases[] = {
        {"wrong magic", header(0x12345678, 0) + end, false, {}},
        {"wrong version", header(PakInterface::kMagic, 1) + end, false, {}},
        {"short header", good.substr(0, 6), false, {}},
        {"no end of index", good + record("KEEP.TXT", 3) + "xyz", false, {}},
        {"cut inside a record", good + record("KEEP.TXT", 3).substr(0, 7), false, {}},
        {"cut inside a name", good + std::string{char(0), char(200)} + "abc", false, {}},
        {"data cut short", good + record("A", 3) + record("KEEP.TXT", 3) + end + "xyz" + "x", true, {"A"}},
        {"size past the end", good + record("KEEP.TXT", 0xFFFFFFFF) + record("B", 3) + end + "xyz", true, {}},
        {"all good", good + record("A", 3) + record("B", 3) + end + "xyzxyz", true, {"A", "B"}},
    };
    for (const Case& c : cases)
    {
        SCOPED_TRACE(c.what);
        PakInterface archive;
        ASSERT_TRUE(archive.LoadPakIndex(WriteArchive("keep.pak", keep)));
        std::string path = WriteRaw("bad.pak", c.bytes);
        EXPECT_EQ(archive.LoadPakIndex(path), c.loads);

        PakFileHandle* kept = archive.Open("keep.txt", "rb");
        ASSERT_NE(kept, nullptr);
        EXPECT_EQ(ReadAll(archive, kept), "kept");
        archive.Close(kept);
        for (const std::string& name : c.readable)
        {
            PakFileHandle* h = archive.Open(name.c_str(), "rb");
            ASSERT_NE(h, nullptr) << name;
            EXPECT_EQ(ReadAll(archive, h), "xyz");
            archive.Close(h);
        }
    }

    PakInterface archive;
    EXPECT_FALSE(archive.LoadPakIndex(folder + "missing.pak"));
    EXPECT_FALSE(archive.LoadPakIndex(WriteRaw("empty.pak", "")));
    EXPECT_TRUE(archive.GetFiles().empty());
}

TEST_F(PakInterfaceTest, TheArchivesOwnEntryEndsWithTheFile)
{
    PakWriter writer;
    writer.AddFile("x.txt", "payload");
    std::string path = WriteArchive("self.pak", writer);
    PakInterface archive;
    ASSERT_TRUE(archive.LoadPakIndex(path));

    auto self = archive.GetFiles().find(StringToUpper(path));
    ASSERT_NE(self, archive.GetFiles().end());
    PakFileHandle h;
    h.record = &self->second;
    EXPECT_EQ(ReadAll(archive, &h), Scramble(writer.Build())); // the whole file, descrambled
    archive.Seek(&h, 0, kPakSeekEnd);
    EXPECT_EQ(archive.Tell(&h), long(writer.Build().size()));
    EXPECT_EQ(archive.GetChar(&h), -1);
}

TEST_F(PakInterfaceTest, WrappersUseTheRegisteredInterfaceOrTheDisk)
{
    PakInterface& process = GetProcessPakInterface();
    EXPECT_EQ(GetPakInterfacePointer(), &process);
    {
        PakInterface second; // a later interface does not take over
        EXPECT_EQ(GetPakInterfacePointer(), &process);
    }

    PakWriter writer;
    writer.AddFile("wrapped.txt", "from archive\r\n");
    PakInterface archive;
    ASSERT_TRUE(archive.LoadPakIndex(WriteArchive("w.pak", writer)));
    platform::WriteFileAtomically(folder + "plain.txt", "on\r\ndisk");

    PakInterfaceBase* previous = SetPakInterfacePointer(&archive);
    PakFileHandle* h = PakFOpen("WRAPPED.TXT", "r");
    ASSERT_NE(h, nullptr);
    std::string got;
    for (int c; (c = PakFGetc(h)) != -1;)
        got += char(c);
    EXPECT_EQ(got, "from archive\n");
    EXPECT_NE(PakFEof(h), 0);
    EXPECT_EQ(PakFSeek(h, 5, kPakSeekSet), 0);
    EXPECT_EQ(PakFTell(h), 5);
    EXPECT_EQ(PakFClose(h), 0);

    // Without an interface the wrappers read the disk, with the same text-mode rule.
    SetPakInterfacePointer(nullptr);
    EXPECT_EQ(PakFOpen("wrapped.txt", "r"), nullptr);
    h = PakFOpen((folder + "PLAIN.TXT").c_str(), "rt");
    ASSERT_NE(h, nullptr);
    got.clear();
    for (int c; (c = PakFGetc(h)) != -1;)
        got += char(c);
    EXPECT_EQ(got, "on\ndisk");
    EXPECT_EQ(PakUngetc('k', h), 'k');
    char last = 0;
    EXPECT_EQ(PakFRead(&last, 1, 1, h), 1u);
    EXPECT_EQ(last, 'k');
    EXPECT_EQ(PakFClose(h), 0);
    SetPakInterfacePointer(previous);
}

} // namespace
