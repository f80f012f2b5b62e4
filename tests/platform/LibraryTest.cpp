#include "platform/system/Library.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace
{

TEST(Library, ModulesByNameAndMissingOnes)
{
    unsetenv("KAVO_MISSING_LIBRARIES");
    platform::LibraryHandle codec = platform::LoadLibrary("J2K-CODEC.DLL");
    ASSERT_NE(codec, nullptr);
    EXPECT_EQ(platform::LoadLibrary("plugins\\j2k-codec.dll"), codec); // the folder does not count
    EXPECT_NE(platform::GetProcAddress(codec, "_J2K_getVersion@0"), nullptr);
    EXPECT_EQ(platform::GetProcAddress(codec, "_J2K_getversion@0"), nullptr); // entry names are exact
    EXPECT_EQ(platform::GetProcAddress(nullptr, "_J2K_getVersion@0"), nullptr);
    platform::FreeLibrary(codec);
    EXPECT_EQ(platform::LoadLibrary("nothing.dll"), nullptr);

    setenv("KAVO_MISSING_LIBRARIES", "a.dll,j2k-codec.dll", 1);
    EXPECT_EQ(platform::LoadLibrary("j2k-codec.dll"), nullptr);
    setenv("KAVO_MISSING_LIBRARIES", "j2k-codec.dl", 1);
    EXPECT_NE(platform::LoadLibrary("j2k-codec.dll"), nullptr);
    unsetenv("KAVO_MISSING_LIBRARIES");
}

} // namespace
