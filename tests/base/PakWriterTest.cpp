#include "base/PakWriter.h"
#include "base/PakInterface.h"
#include "platform/files/Files.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace
{

using namespace Kavo;
namespace fs = std::filesystem;

TEST(PakWriter, PacksAFolderTreeThatReadsBack)
{
    const std::string root = "pakwriter-tree/";
    fs::remove_all(root);
    fs::create_directories(root + "data/properties/deep");
    platform::WriteFileAtomically(root + "data/properties/a.xml", "<a/>");
    platform::WriteFileAtomically(root + "data/properties/deep/b.bin", std::string("\0\xB3\r\n\xFF", 5));
    platform::WriteFileAtomically(root + "data/top.txt", "");

    PakWriter writer;
    std::string message;
    ASSERT_TRUE(writer.AddFolder(root + "data", message)) << message;
    EXPECT_EQ(writer.FileCount(), 3u);
    ASSERT_TRUE(writer.WriteFile(root + "out.pak"));
    EXPECT_FALSE(writer.AddFolder(root + "absent", message));
    EXPECT_FALSE(message.empty());

    PakInterface pak;
    ASSERT_TRUE(pak.LoadPakIndex(root + "out.pak"));
    struct Case
    {
        const char* name;
        const char* stored;
        std::string data;
    } cases[] = {
        {"properties/a.xml", "properties\\a.xml", "<a/>"},
        {"PROPERTIES\\DEEP\\B.BIN", "properties\\deep\\b.bin", std::string("\0\xB3\r\n\xFF", 5)},
        {"top.txt", "top.txt", ""},
    };
    for (const Case& c : cases)
    {
        PakFileHandle* h = pak.Open(c.name, "rb");
        ASSERT_NE(h, nullptr) << c.name;
        EXPECT_EQ(h->record->name, c.stored);
        EXPECT_GT(h->record->fileTime, 116444736000000000ull); // after 1970
        std::string data(c.data.size() + 1, '?');
        EXPECT_EQ(pak.Read(data.data(), 1, data.size(), h), c.data.size());
        EXPECT_EQ(data.substr(0, c.data.size()), c.data);
        pak.Close(h);
    }
    fs::remove_all(root);
}

TEST(PakWriter, RefusesNamesTheIndexCannotHold)
{
    PakWriter writer;
    EXPECT_FALSE(writer.AddFile("", "x"));
    EXPECT_FALSE(writer.AddFile(std::string(256, 'n'), "x"));
    EXPECT_TRUE(writer.AddFile(std::string(255, 'n'), "x"));
    EXPECT_EQ(writer.FileCount(), 1u);
}

} // namespace
