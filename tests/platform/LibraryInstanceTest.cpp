#include "platform/files/TextEncoding.h"
#include "platform/system/Instance.h"
#include "platform/system/Library.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

namespace
{

TEST(Library, TheDisplayAndSoundModulesArePresentUnlessMarkedMissing)
{
    EXPECT_NE(platform::GetProcAddress(platform::LoadLibrary("C:\\Windows\\DDRAW.DLL"), "DirectDrawCreateEx"),
              nullptr);
    EXPECT_NE(platform::LoadLibrary("dsound.dll"), nullptr);
    EXPECT_NE(platform::LoadLibrary("version.dll"), nullptr);
    setenv("KAVO_MISSING_LIBRARIES", "dsound.dll", 1);
    EXPECT_EQ(platform::LoadLibrary("dsound.dll"), nullptr);
    EXPECT_NE(platform::LoadLibrary("ddraw.dll"), nullptr);
    unsetenv("KAVO_MISSING_LIBRARIES");
}

TEST(InstanceGuard, SecondStartWakesTheFirst)
{
    std::string folder = std::filesystem::current_path().string();
    platform::InstanceGuard first("GuardTestMutex", folder);
    ASSERT_TRUE(first.Acquire());
    EXPECT_FALSE(first.PollNotification());

    platform::InstanceGuard second("GuardTestMutex", folder);
    EXPECT_FALSE(second.Acquire());
    EXPECT_TRUE(second.NotifyFirst());
    EXPECT_TRUE(first.PollNotification());
    EXPECT_FALSE(first.PollNotification());

    platform::InstanceGuard other("OtherProductMutex", folder);
    EXPECT_TRUE(other.Acquire());
}

TEST(InstanceGuard, LockEndsWithTheFirstInstance)
{
    std::string folder = std::filesystem::current_path().string();
    {
        platform::InstanceGuard first("GuardReleaseMutex", folder);
        ASSERT_TRUE(first.Acquire());
    }
    platform::InstanceGuard next("GuardReleaseMutex", folder);
    EXPECT_TRUE(next.Acquire());
    platform::InstanceGuard nobodyListens("NobodyMutex", folder);
    EXPECT_FALSE(nobodyListens.NotifyFirst());
}

TEST(Codepage, ConvertsBothWays)
{
    const std::string cp1252 = "A\x80\xE9\x9F\xFF";
    const std::string utf8 = "A\u20AC\u00E9\u0178\u00FF";
    EXPECT_EQ(platform::Cp1252ToUtf8(cp1252), utf8);
    EXPECT_EQ(platform::Utf8ToCp1252(utf8), cp1252);
    EXPECT_EQ(platform::Utf8ToCp1252("\u4E2D\xC3"), "??"); // no 1252 form; cut-off sequence
}

} // namespace
