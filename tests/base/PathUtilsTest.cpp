#include "base/PathUtils.h"
#include "base/SystemInfo.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace
{

using namespace Kavo;

TEST(PathUtils, NameAndFolderParts)
{
    struct Case
    {
        const char* path;
        const char* name;
        const char* dir;
    } cases[] = {
        {"data\\img\\ball.png", "ball", "data\\img"},
        {"data/img/ball.png", "ball", "data/img"},
        {"mixed/a\\b.tar.gz", "b.tar", "mixed/a"},
        {"folder.d\\noext", "noext", "folder.d"},
        {"plain", "plain", ""},
        {"file.txt", "file", ""},
        {"trailing\\", "", "trailing"},
        {"", "", ""},
    };
    for (const Case& c : cases)
    {
        EXPECT_EQ(GetFileName(c.path), c.name) << c.path;
        EXPECT_EQ(GetFileDir(c.path), c.dir) << c.path;
    }
}

TEST(PathUtils, TrailingSeparators)
{
    EXPECT_EQ(AddTrailingSlash("a/"), "a/");
    EXPECT_EQ(AddTrailingSlash("a\\"), "a\\");
    EXPECT_EQ(AddTrailingSlash("a"), "a\\");
    EXPECT_EQ(AddTrailingSlash(""), "");
    EXPECT_EQ(RemoveTrailingSlash("a/"), "a");
    EXPECT_EQ(RemoveTrailingSlash("a\\"), "a");
    EXPECT_EQ(RemoveTrailingSlash("a"), "a");
    EXPECT_EQ(RemoveTrailingSlash(""), "");
}

TEST(PathUtils, FontDataStringHelper)
{
    struct Case
    {
        const char* path;
        const char* base;
        const char* result;
    } cases[] = {
        {"image.png", "fonts\\", "fonts\\image.png"},
        {"image.png", "fonts", "fonts\\image.png"},
        {"img/x.png", "data/fonts", "data/fonts/img/x.png"},
        {".\\image.png", "fonts\\", "fonts\\image.png"},
        {"..\\images\\a.png", "data\\fonts\\", "data\\images\\a.png"},
        {"../../a.png", "data/fonts/", "a.png"},
        {"../../a.png", "data/", "../a.png"},
        {"c:\\abs\\a.png", "data\\", "c:\\abs\\a.png"},
        {"/abs/a.png", "data/", "/abs/a.png"},
        {"..\\a.png", "c:\\fonts\\", "c:\\a.png"},
        {"a.png", "", "a.png"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FontDataStringHelper(c.path, c.base), c.result) << c.path << " in " << c.base;
}

TEST(PathUtils, TheSystemIsModern)
{
    EXPECT_FALSE(IsWindows9x());
    EXPECT_TRUE(IsWindowsVista());
    SetAppDataFolder("/tmp/appdata");
    EXPECT_EQ(GetAppDataFolder(), "/tmp/appdata\\");
    SetAppDataFolder("/tmp/appdata/");
    EXPECT_EQ(GetAppDataFolder(), "/tmp/appdata/");
}

class FolderTree : public ::testing::Test
{
protected:
    void SetUp() override { std::filesystem::remove_all("tree"); }
    void TearDown() override { std::filesystem::remove_all("tree"); }
};

TEST_F(FolderTree, MakeFindAndDelete)
{
    ASSERT_TRUE(MakeDirectories("tree\\one/two\\three"));
    EXPECT_TRUE(MakeDirectories("tree/one")); // already there
    std::ofstream("tree/one/two/file.txt") << "x";
    std::ofstream("tree/one/star*name") << "y";

    EXPECT_TRUE(FileExists("TREE\\ONE\\two\\FILE.TXT"));
    EXPECT_TRUE(FileExists("tree/one/star*name"));
    // Wildcards are not expanded: "*" is an ordinary character.
    EXPECT_FALSE(FileExists("tree/one/two/*.txt"));
    EXPECT_FALSE(FileExists("tree/one/st*"));

    EXPECT_FALSE(DeleteTree("t"));
    EXPECT_FALSE(DeleteTree(""));
    EXPECT_TRUE(DeleteTree("tree\\"));
    EXPECT_FALSE(FileExists("tree"));
}

TEST(SystemInfo, CpuSpeedIsMeasuredOnceAndPositive)
{
    uint64_t speed = GetCachedCpuSpeed();
    EXPECT_GE(speed, 1u);
    EXPECT_EQ(GetCachedCpuSpeed(), speed);
}

} // namespace
