#include "platform/files/Files.h"
#include "tests/ScratchNames.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace
{

namespace fs = std::filesystem;

// A scratch folder with a few files whose names differ in case from how code asks for them.
class FilesTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        root = fs::current_path() / ("files-" + scratch::TestName());
        fs::remove_all(root);
        fs::create_directories(root / "Properties" / "Sub");
        Write(root / "Properties" / "Resources.XML", "res");
        Write(root / "Properties" / "strings.txt", "0=Hello");
        Write(root / "Properties" / "noext", "x");
        Write(root / "Properties" / "Sub" / "a.png", "png");
        base = root.string() + "/";
    }
    void TearDown() override { fs::remove_all(root); }

    static void Write(const fs::path& path, const std::string& text)
    {
        std::ofstream(path, std::ios::binary) << text;
    }

    fs::path root;
    std::string base;
};

TEST_F(FilesTest, ResolvesNamesWithoutRegardToCaseAndEitherSeparator)
{
    EXPECT_EQ(platform::ResolvePath(base + "properties\\resources.xml"), base + "Properties/Resources.XML");
    EXPECT_EQ(platform::ResolvePath(base + "PROPERTIES/sub\\A.PNG"), base + "Properties/Sub/a.png");
    // A missing element is kept as given, so new files can be made there.
    EXPECT_EQ(platform::ResolvePath(base + "properties\\new\\x.txt"), base + "Properties/new/x.txt");
    EXPECT_TRUE(platform::PathExists(base + "properties\\RESOURCES.xml"));
    EXPECT_TRUE(platform::IsDirectory(base + "properties\\SUB"));
    EXPECT_FALSE(platform::PathExists(base + "properties\\*.xml"));
}

TEST_F(FilesTest, ReadsThroughResolvedNames)
{
    std::string text;
    ASSERT_TRUE(platform::ReadFile(base + "PROPERTIES\\STRINGS.TXT", text));
    EXPECT_EQ(text, "0=Hello");
    EXPECT_FALSE(platform::ReadFile(base + "properties\\missing.txt", text));
    EXPECT_EQ(platform::OpenFile(base + "properties", "rb"), nullptr); // a folder is not a file
}

// Devices and pipes are refused at once (a pipe would never open, /dev/zero never end), and a
// file is read only up to the reader's limit.
TEST_F(FilesTest, ReadingRefusesDevicesPipesAndFilesPastTheLimit)
{
    std::string pipe = base + "pipe";
    ASSERT_EQ(std::system(("mkfifo '" + pipe + "'").c_str()), 0);
    struct Case
    {
        std::string path;
        uint64_t limit;
        platform::ReadFailure failure;
    };
    const Case cases[] = {
        {"/dev/zero", platform::kDefaultReadLimit, platform::ReadFailure::NotRegularFile},
        {pipe, platform::kDefaultReadLimit, platform::ReadFailure::NotRegularFile},
        {base + "properties", platform::kDefaultReadLimit, platform::ReadFailure::NotRegularFile},
        {base + "properties\\strings.txt", 6, platform::ReadFailure::TooLarge},
        {base + "properties\\strings.txt", 7, platform::ReadFailure::None},
        {base + "missing", platform::kDefaultReadLimit, platform::ReadFailure::CannotOpen},
    };
    for (const Case& c : cases)
    {
        std::string text = "before";
        platform::ReadFailure failure = platform::ReadFailure::ReadError;
        EXPECT_EQ(platform::ReadFile(c.path, text, c.limit, &failure),
                  c.failure == platform::ReadFailure::None)
            << c.path;
        EXPECT_EQ(failure, c.failure) << c.path;
        EXPECT_EQ(text, c.failure == platform::ReadFailure::None ? "0=Hello" : "before") << c.path;
    }
    EXPECT_STREQ(platform::ReadFailureText(platform::ReadFailure::NotRegularFile), "is not a regular file");
    EXPECT_EQ(platform::OpenFile(pipe, "rb"), nullptr);
    EXPECT_EQ(platform::OpenFile("/dev/zero", "r"), nullptr);
}

TEST_F(FilesTest, ListsWithWildcards)
{
    struct Case
    {
        const char* pattern;
        std::vector<std::string> names;
    } cases[] = {
        {"properties\\*.*", {"Resources.XML", "Sub", "noext", "strings.txt"}},
        {"properties/*", {"Resources.XML", "Sub", "noext", "strings.txt"}},
        {"properties\\*.xml", {"Resources.XML"}},
        {"properties\\?????????.TXT", {}},
        {"properties\\???????.TXT", {"strings.txt"}},
        {"properties\\noext.*", {"noext"}},
        {"properties\\resources.xml", {"Resources.XML"}},
        {"properties\\absent.xml", {}},
        {"nowhere\\*.*", {}},
    };
    for (const Case& c : cases)
    {
        std::vector<std::string> names;
        for (const platform::FileEntry& e : platform::FindFiles(base + c.pattern))
            names.push_back(e.name);
        EXPECT_EQ(names, c.names) << c.pattern;
    }
    auto entries = platform::FindFiles(base + "properties\\s*");
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_TRUE(entries[0].isDirectory);
    EXPECT_EQ(entries[1].size, 7u);
    EXPECT_GT(entries[1].times.lastWrite, 0);
}

TEST_F(FilesTest, FoldersFilesAndTimes)
{
    EXPECT_TRUE(platform::MakeDirectory(base + "new"));
    EXPECT_TRUE(platform::MakeDirectory(base + "NEW")); // exists already: no error
    EXPECT_FALSE(platform::MakeDirectory(base + "missing/deeper"));
    EXPECT_FALSE(platform::RemoveDirectory(base + "properties")); // not empty
    EXPECT_TRUE(platform::RemoveDirectory(base + "New"));
    EXPECT_FALSE(platform::RemoveFile(base + "properties\\sub")); // a folder
    EXPECT_TRUE(platform::RemoveFile(base + "properties\\NOEXT"));
    EXPECT_FALSE(platform::PathExists(base + "properties/noext"));

    platform::FileTimes times;
    EXPECT_TRUE(platform::GetFileTimes(base + "properties\\strings.txt", times));
    EXPECT_GT(times.lastWrite, 0);
    EXPECT_FALSE(platform::GetFileTimes(base + "gone", times));
    uint64_t size = 0;
    EXPECT_TRUE(platform::GetFileSize(base + "properties\\strings.txt", size));
    EXPECT_EQ(size, 7u);
}

TEST_F(FilesTest, AtomicWriteReplacesWholeAndLeavesNoTemporaryFile)
{
    std::string target = base + "properties\\STRINGS.txt";
    std::string big(200000, 'z');
    ASSERT_TRUE(platform::WriteFileAtomically(target, big));
    std::string text;
    ASSERT_TRUE(platform::ReadFile(target, text));
    EXPECT_EQ(text, big);
    EXPECT_EQ(platform::FindFiles(base + "properties\\*.tmp*").size(), 0u);
    EXPECT_FALSE(platform::WriteFileAtomically(base + "no\\such\\folder\\f.txt", "x"));
}

// A writer that dies between making its temporary file and renaming it leaves the file behind;
// the next write of the same target removes it, but never one of a live writer or of another
// target.
TEST_F(FilesTest, AtomicWriteRemovesWhatDeadWritersOfTheTargetLeft)
{
    const std::string folder = base + "Properties/";
    const std::vector<std::string> stale = {"strings.txt.tmp-Ab12Zz", "strings.txt.tmp-999999999-xY09ab"};
    const std::vector<std::string> kept = {
        "strings.txt.tmp-1-Qw12er",                                               // process 1 lives
        "strings.txt.tmp-" + fs::read_symlink("/proc/self").string() + "-Zz99Yy", // this one too
        "noext.tmp-Ab12Zz",                                                       // another target
        "strings.txt.tmp-notes",
    };
    for (const std::string& name : stale)
        Write(folder + name, "half");
    for (const std::string& name : kept)
        Write(folder + name, "other");
    ASSERT_TRUE(platform::WriteFileAtomically(base + "properties\\strings.txt", "0=Bye"));
    for (const std::string& name : stale)
        EXPECT_FALSE(fs::exists(folder + name)) << name;
    for (const std::string& name : kept)
        EXPECT_TRUE(fs::exists(folder + name)) << name;
    std::string text;
    ASSERT_TRUE(platform::ReadFile(base + "properties\\strings.txt", text));
    EXPECT_EQ(text, "0=Bye");
}

TEST(Folders, KnownFoldersEndInASeparator)
{
    for (const std::string& folder :
         {platform::DataFolder(), platform::ProgramFolder(), platform::CurrentFolder()})
    {
        ASSERT_FALSE(folder.empty());
        EXPECT_EQ(folder.back(), '/');
        EXPECT_TRUE(platform::IsDirectory(folder) || folder == platform::DataFolder()) << folder;
    }
    EXPECT_TRUE(platform::PathExists(platform::ProgramFolder() + "platform_tests"));
}

TEST(Folders, DataFolderFollowsXdg)
{
    std::string saved = std::getenv("XDG_DATA_HOME") ? std::getenv("XDG_DATA_HOME") : "";
    setenv("XDG_DATA_HOME", "/tmp/xdg-test", 1);
    EXPECT_EQ(platform::DataFolder(), "/tmp/xdg-test/");
    setenv("XDG_DATA_HOME", "relative", 1); // not absolute: ignored
    EXPECT_NE(platform::DataFolder(), "relative/");
    if (saved.empty())
        unsetenv("XDG_DATA_HOME");
    else
        setenv("XDG_DATA_HOME", saved.c_str(), 1);
}

} // namespace
