#include "platform/files/Registry.h"
#include "platform/files/Files.h"
#include "tests/ScratchNames.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include <filesystem>
#include <fstream>

namespace
{

using platform::RegistryStore;

std::string Dword(uint32_t v)
{
    return std::string{char(v & 0xFF), char((v >> 8) & 0xFF), char((v >> 16) & 0xFF), char(v >> 24)};
}

TEST(RegistryStore, KeysAndValuesIgnoreCaseAndKeepFirstSpelling)
{
    RegistryStore store;
    ASSERT_TRUE(store.CreateKey("SOFTWARE\\Velquis/Game"));
    EXPECT_TRUE(store.KeyExists("software/VELQUIS\\game\\"));
    ASSERT_TRUE(store.SetValue("Software\\Velquis\\Game", "MusicVolume", platform::kRegDword, Dword(85)));
    ASSERT_TRUE(store.SetValue("software\\velquis\\game", "MUSICVOLUME", platform::kRegDword, Dword(40)));

    uint32_t type = 0;
    std::string data;
    ASSERT_TRUE(store.QueryValue("SOFTWARE\\VELQUIS\\GAME", "musicvolume", type, data));
    EXPECT_EQ(type, platform::kRegDword);
    EXPECT_EQ(data, Dword(40));
    std::vector<std::string> names;
    ASSERT_TRUE(store.GetValues("SOFTWARE\\Velquis\\Game", names));
    EXPECT_EQ(names, std::vector<std::string>{"MusicVolume"});

    // Values only go into keys that exist; missing things read as failures.
    EXPECT_FALSE(store.SetValue("SOFTWARE\\Other", "x", platform::kRegDword, Dword(1)));
    EXPECT_FALSE(store.QueryValue("SOFTWARE\\Velquis\\Game", "missing", type, data));
    EXPECT_FALSE(store.GetSubKeys("SOFTWARE\\Other", names));
    EXPECT_TRUE(names.empty());

    // Names as long as the registry allows, and no longer.
    EXPECT_TRUE(store.CreateKey("SOFTWARE\\" + std::string(255, 'k')));
    EXPECT_FALSE(store.CreateKey("SOFTWARE\\" + std::string(256, 'k') + "\\short"));
    EXPECT_FALSE(store.KeyExists("SOFTWARE\\" + std::string(256, 'k')));
    EXPECT_TRUE(store.SetValue("SOFTWARE", std::string(16383, 'v'), platform::kRegDword, Dword(1)));
    EXPECT_FALSE(store.SetValue("SOFTWARE", std::string(70000, 'v'), platform::kRegDword, Dword(1)));
    std::string error;
    RegistryStore copy;
    EXPECT_TRUE(copy.Deserialize(store.Serialize(), error)) << error;
}

TEST(RegistryStore, EnumerationOrderAndKeyDeletion)
{
    RegistryStore store;
    for (const char* key : {"Root\\zeta", "Root\\Alpha", "Root\\beta\\Deep"})
        ASSERT_TRUE(store.CreateKey(key));
    for (const char* value : {"second", "First", "third"})
        ASSERT_TRUE(store.SetValue("Root", value, platform::kRegString, value));
    ASSERT_TRUE(store.SetValue("Root", "second", platform::kRegString, "again")); // keeps its place

    std::vector<std::string> names;
    ASSERT_TRUE(store.GetSubKeys("Root", names));
    EXPECT_EQ(names, (std::vector<std::string>{"Alpha", "beta", "zeta"}));
    ASSERT_TRUE(store.GetValues("root", names));
    EXPECT_EQ(names, (std::vector<std::string>{"second", "First", "third"}));

    EXPECT_FALSE(store.DeleteKey("Root\\beta")); // still has a sub-key
    EXPECT_TRUE(store.DeleteKey("Root\\BETA\\deep"));
    EXPECT_TRUE(store.DeleteKey("Root\\beta"));
    EXPECT_FALSE(store.DeleteKey("Root\\beta"));
    EXPECT_FALSE(store.DeleteKey(""));
    EXPECT_TRUE(store.DeleteValue("Root", "FIRST"));
    EXPECT_FALSE(store.DeleteValue("Root", "first"));
}

class RegistryFile : public ::testing::Test
{
protected:
    void SetUp() override
    {
        folder = std::filesystem::current_path() / ("registry-" + scratch::TestName());
        std::filesystem::remove_all(folder);
        path = (folder / "sub" / "settings.reg").string();
    }
    void TearDown() override { std::filesystem::remove_all(folder); }

    std::filesystem::path folder;
    std::string path;
};

TEST_F(RegistryFile, EveryChangeIsOnDiskAndReadsBack)
{
    {
        RegistryStore store;
        EXPECT_EQ(store.Open(path), RegistryStore::LoadResult::Missing);
        ASSERT_TRUE(store.CreateKey("SOFTWARE\\V\\G\\Users\\Ann"));
        ASSERT_TRUE(store.SetValue("SOFTWARE\\V\\G", "Blob", platform::kRegBinary, std::string("a\0b", 3)));
        ASSERT_TRUE(store.SetValue("SOFTWARE\\V\\G\\Users\\Ann", "Level", platform::kRegDword, Dword(7)));
    }
    RegistryStore again;
    ASSERT_EQ(again.Open(path), RegistryStore::LoadResult::Loaded);
    uint32_t type = 0;
    std::string data;
    ASSERT_TRUE(again.QueryValue("software\\v\\g", "blob", type, data));
    EXPECT_EQ(type, platform::kRegBinary);
    EXPECT_EQ(data, std::string("a\0b", 3));
    ASSERT_TRUE(again.QueryValue("SOFTWARE\\V\\G\\Users\\Ann", "Level", type, data));
    EXPECT_EQ(data, Dword(7));
}

// The changes of a batch, nested batches included, reach the file in one rewrite at the end of
// the outermost: until then the file holds what it held before (what a kill in the middle
// leaves). A change in a batch still fails for what it asks; a batch that changes nothing leaves
// the file alone.
TEST_F(RegistryFile, ABatchIsOneRewriteAtItsEnd)
{
    RegistryStore store;
    ASSERT_EQ(store.Open(path), RegistryStore::LoadResult::Missing);
    ASSERT_TRUE(store.CreateKey("S\\List"));
    for (int i = 0; i < 10; ++i)
        ASSERT_TRUE(
            store.SetValue("S\\List", std::to_string(i), platform::kRegString, "old " + std::to_string(i)));
    const std::string old = store.Serialize();
    auto onDisk = [&]
    {
        std::string bytes;
        platform::ReadFile(path, bytes);
        return bytes;
    };
    ASSERT_EQ(onDisk(), old);

    store.BeginBatch();
    for (int i = 0; i < 10; ++i)
    {
        EXPECT_TRUE(
            store.SetValue("S\\List", std::to_string(i), platform::kRegString, "new " + std::to_string(i)));
        EXPECT_EQ(onDisk(), old) << "after value " << i;
    }
    store.BeginBatch();
    EXPECT_TRUE(store.CreateKey("S\\Gone\\Deep"));
    EXPECT_TRUE(store.DeleteValue("S\\List", "9"));
    EXPECT_TRUE(store.EndBatch());
    EXPECT_EQ(onDisk(), old) << "the inner batch's end";
    EXPECT_FALSE(store.SetValue("S\\Missing", "x", platform::kRegDword, Dword(1)));
    EXPECT_FALSE(store.DeleteKey("S\\Gone"));
    EXPECT_TRUE(store.DeleteKey("S\\Gone\\Deep"));
    EXPECT_TRUE(store.DeleteKey("S\\Gone"));
    EXPECT_EQ(onDisk(), old);
    EXPECT_TRUE(store.EndBatch());
    EXPECT_EQ(onDisk(), store.Serialize());
    EXPECT_FALSE(store.WriteFailed());

    RegistryStore reread;
    ASSERT_EQ(reread.Open(path), RegistryStore::LoadResult::Loaded);
    std::vector<std::string> names;
    ASSERT_TRUE(reread.GetValues("S\\List", names));
    EXPECT_EQ(names, (std::vector<std::string>{"0", "1", "2", "3", "4", "5", "6", "7", "8"}));
    uint32_t type = 0;
    std::string data;
    ASSERT_TRUE(reread.QueryValue("S\\List", "8", type, data));
    EXPECT_EQ(data, "new 8");
    ASSERT_TRUE(reread.GetSubKeys("S", names));
    EXPECT_EQ(names, std::vector<std::string>{"List"});

    // Nothing changed, nothing written: the file removed behind the store's back stays away.
    std::filesystem::remove(path);
    store.BeginBatch();
    EXPECT_FALSE(store.DeleteValue("S\\List", "9"));
    EXPECT_TRUE(store.EndBatch());
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_TRUE(store.EndBatch()) << "an end without a batch";
    EXPECT_TRUE(store.SetValue("S\\List", "0", platform::kRegString, "alone"));
    EXPECT_EQ(onDisk(), store.Serialize()) << "outside a batch every change is written";
}

// A batch whose rewrite fails (here the temporary file's name is longer than a name may be)
// leaves the old file whole; the store keeps the changes in memory and says the write failed.
TEST_F(RegistryFile, ABatchWhoseRewriteFailsLeavesTheOldFile)
{
    std::filesystem::create_directories(folder);
    const std::string longPath = (folder / std::string(240, 's')).string();
    RegistryStore writer;
    writer.CreateKey("S");
    writer.SetValue("S", "v", platform::kRegString, "old");
    const std::string old = writer.Serialize();
    {
        std::ofstream file(longPath, std::ios::binary);
        file << old;
    }
    RegistryStore store;
    ASSERT_EQ(store.Open(longPath), RegistryStore::LoadResult::Loaded);
    store.BeginBatch();
    EXPECT_TRUE(store.SetValue("S", "v", platform::kRegString, "new"));
    EXPECT_TRUE(store.SetValue("S", "w", platform::kRegString, "more"));
    EXPECT_FALSE(store.EndBatch());
    EXPECT_TRUE(store.WriteFailed());
    std::string onDisk;
    ASSERT_TRUE(platform::ReadFile(longPath, onDisk));
    EXPECT_EQ(onDisk, old);
    uint32_t type = 0;
    std::string data;
    ASSERT_TRUE(store.QueryValue("S", "v", type, data));
    EXPECT_EQ(data, "new");
}

// A damaged file must never crash the reader nor be taken half-read: it is set aside and the
// store starts empty, and the next change writes a good file.
TEST_F(RegistryFile, DamagedFilesAreSetAsideAndReplaced)
{
    RegistryStore good;
    good.Open(path);
    good.CreateKey("A\\B");
    good.SetValue("A\\B", "v", platform::kRegString, "text");
    std::string image = good.Serialize();

    std::string hugeCount = image;
    hugeCount[8 + 2 + 0] = char(0xFF); // root value count
    hugeCount[8 + 2 + 3] = char(0x7F);
    std::string deepKeys = "KREG" + Dword(1);
    for (int i = 0; i < 100; ++i)
        deepKeys += std::string("\1\0k", 3) + Dword(0) + Dword(1);
    const std::vector<std::string> damaged = {
        "",          "KREG",   "XXXX" + image.substr(4), image.substr(0, image.size() - 3), // cut short
        image + "!",                                                                        // trailing bytes
        hugeCount,   deepKeys,
    };
    for (const std::string& bytes : damaged)
    {
        ASSERT_TRUE(platform::WriteFileAtomically(path, bytes));
        RegistryStore store;
        EXPECT_EQ(store.Open(path), RegistryStore::LoadResult::Damaged) << bytes.size();
        EXPECT_FALSE(store.LoadError().empty());
        EXPECT_FALSE(store.KeyExists("A"));
        std::string kept;
        ASSERT_TRUE(platform::ReadFile(path + ".damaged", kept));
        EXPECT_EQ(kept, bytes);
        EXPECT_EQ(store.DamagedCopy(), path + ".damaged");
        ASSERT_TRUE(store.CreateKey("New"));
        RegistryStore reread;
        EXPECT_EQ(reread.Open(path), RegistryStore::LoadResult::Loaded);
        EXPECT_TRUE(reread.KeyExists("new"));
    }
}

// A settings file that is a device or a pipe is never waited on nor read without end: it is
// damaged, set aside, and a regular file takes its place.
TEST_F(RegistryFile, DevicesAndPipesAreDamagedFiles)
{
    std::filesystem::create_directories(folder / "sub");
    ASSERT_EQ(std::system(("mkfifo '" + path + "'").c_str()), 0);
    RegistryStore store;
    EXPECT_EQ(store.Open(path), RegistryStore::LoadResult::Damaged);
    EXPECT_EQ(store.LoadError(), path + ": is not a regular file");
    ASSERT_TRUE(store.CreateKey("New"));
    RegistryStore reread;
    EXPECT_EQ(reread.Open(path), RegistryStore::LoadResult::Loaded);

    std::filesystem::remove(path);
    std::filesystem::create_symlink("/dev/zero", path);
    EXPECT_EQ(store.Open(path), RegistryStore::LoadResult::Damaged);
    EXPECT_EQ(store.LoadError(), path + ": is not a regular file");
}

} // namespace
