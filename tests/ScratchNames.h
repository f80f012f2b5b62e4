#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

// The tests of one program run side by side in the program's scratch folder, so each names the
// files and folders it makes after itself.
namespace scratch
{

// The running test's name.
inline std::string TestName()
{
    return ::testing::UnitTest::GetInstance()->current_test_info()->name();
}

// prefix + the running test's name + "/", a folder in the working folder made afresh (whatever
// an earlier run left there is removed).
inline std::string FreshFolder(const std::string& prefix)
{
    std::string folder = prefix + TestName() + "/";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    return folder;
}

} // namespace scratch
