#include "AppTestSupport.h"

#include "base/PathUtils.h"
#include "platform/files/Files.h"
#include "tests/ScratchNames.h"

#include <filesystem>

namespace
{

using apptest::TestApp;

class CommandLineTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        folder = std::filesystem::current_path().string() + "/" + scratch::FreshFolder("cmdline-");
        Kavo::SetAppDataFolder(folder);
    }
    void TearDown() override
    {
        Kavo::SetAppDataFolder("");
        std::filesystem::remove_all(folder);
    }
    void Touch(const std::string& name) { platform::WriteFileAtomically(folder + name, "x"); }

    std::string folder;
};

TEST_F(CommandLineTest, EveryOptionAndQuoting)
{
    struct Case
    {
        const char* line;
        bool playing, recording, screensaver;
        std::string demoFile; // relative to the data folder unless it starts with '/'
        std::string programFolder;
    };
    const std::vector<Case> cases = {
        {"-play", true, false, false, "kavoapp.dmo", ""},
        {"-record", false, true, false, "kavoapp.dmo", ""},
        {"-record -play", true, false, false, "kavoapp.dmo", ""},
        {"-play -record", false, true, false, "kavoapp.dmo", ""},
        {"-demofile=run.dmo -play", true, false, false, "run.dmo", ""},
        {"\"-demofile=my run.dmo\" -record", false, true, false, "my run.dmo", ""},
        {"-demofile=\"/abs/with blank.dmo\"", false, false, false, "/abs/with blank.dmo", ""},
        {"-screensaver", false, false, true, "kavoapp.dmo", ""},
        {"-changedir=/opt/game   -screensaver", false, false, true, "kavoapp.dmo", "/opt/game"},
        {"", false, false, false, "kavoapp.dmo", ""},
    };
    for (const Case& c : cases)
    {
        TestApp app;
        std::string before = app.mProgramFolder;
        app.mDemoFileName = folder + "kavoapp.dmo";
        app.SplitCommandLine(c.line);
        EXPECT_EQ(app.mPlayingDemo, c.playing) << c.line;
        EXPECT_EQ(app.mRecordingDemo, c.recording) << c.line;
        EXPECT_EQ(app.mScreensaverMode, c.screensaver) << c.line;
        EXPECT_EQ(app.mDemoFileName, c.demoFile[0] == '/' ? c.demoFile : folder + c.demoFile) << c.line;
        EXPECT_EQ(app.mProgramFolder, c.programFolder.empty() ? before : c.programFolder) << c.line;
    }
}

TEST_F(CommandLineTest, WordsNamesAndValues)
{
    struct Recorder : TestApp
    {
        std::vector<std::string> seen;
        void HandleCommandLineParam(const std::string& name, const std::string& value) override
        {
            seen.push_back(name + "|" + value);
        }
    };
    Recorder app;
    app.SplitCommandLine("-a -b=1 \"-c=x y\"-d  -e=a=b =v");
    EXPECT_EQ(app.seen, (std::vector<std::string>{"-a|", "-b|1", "-c|x y", "-d|", "-e|a=b"}));
}

TEST_F(CommandLineTest, UnknownParameterIsRefusedWithExitCodeZero)
{
    // The box names the parameter as it was written.
    const std::pair<const char*, const char*> cases[] = {
        {"-bogus", "-bogus"}, {"-Play", "-Play"}, {"-play -speed=3", "-speed=3"}, {"-x=", "-x="},
        {"\"-x=\"", "-x="},   {"-x==", "-x=="},   {"-x=\"a b\"", "-x=a b"},
    };
    for (auto [line, parameter] : cases)
    {
        TestApp app;
        EXPECT_EQ(apptest::ExitCodeOf([&] { app.SplitCommandLine(line); }), 0) << line;
        ASSERT_EQ(app.mBoxes.size(), 1u) << line;
        EXPECT_EQ(app.mBoxes[0], std::string("FATAL ERROR: Invalid command line parameter: ") + parameter)
            << line;
    }
}

TEST_F(CommandLineTest, NumberedDemos)
{
    for (int n : {1, 2, 3, 4})
        Touch("kavoapp" + std::to_string(n) + ".dmo");
    Touch("kavoappx.dmo");
    {
        TestApp app;
        app.SplitCommandLine("-recnum=3");
        EXPECT_TRUE(app.mRecordingDemo);
        EXPECT_EQ(app.mDemoFileName, folder + "kavoapp5.dmo");
        EXPECT_FALSE(platform::PathExists(folder + "kavoapp1.dmo"));
        EXPECT_TRUE(platform::PathExists(folder + "kavoapp2.dmo"));
    }
    platform::RemoveFile(folder + "kavoapp2.dmo");
    platform::RemoveFile(folder + "kavoapp4.dmo");
    Touch("kavoapp7.dmo");
    {
        TestApp app;
        app.SplitCommandLine("-playnum=2");
        EXPECT_TRUE(app.mPlayingDemo);
        EXPECT_EQ(app.mDemoFileName, folder + "kavoapp6.dmo"); // highest 7, minus 1
    }
    {
        TestApp app;
        app.SplitCommandLine("-playnum=-2147483648"); // below 1: the highest
        EXPECT_EQ(app.mDemoFileName, folder + "kavoapp7.dmo");
    }
    Touch("kavoapp2147483647.dmo");
    {
        TestApp app;
        app.SplitCommandLine("-recnum=100"); // the next number is past the int range
        EXPECT_EQ(app.mDemoFileName, folder + "kavoapp2147483648.dmo");
    }
}

// A stored window position is pulled back onto the work area however far off it lies.
TEST_F(CommandLineTest, AStoredWindowPositionIsPulledBackOntoTheWorkArea)
{
    int workX = 0, workY = 0, workW = 0, workH = 0;
    TestApp app;
    std::string error;
    ASSERT_TRUE(platform::InitVideo(error)) << error;
    platform::GetWorkArea(workX, workY, workW, workH);
    for (int stored : {0x7FFFFFF0, 100000, -2147483647})
    {
        app.mPreferredX = stored;
        app.mPreferredY = stored;
        app.CreateMainWindow();
        int x = 0, y = 0;
        ASSERT_TRUE(platform::GetMainWindowPosition(x, y));
        int expectedX = stored > 0 ? workX + workW - 4 - app.mWidth - 1 : workX + 4;
        int expectedY = stored > 0 ? workY + workH - 4 - app.mHeight - 1 : workY + 4;
        EXPECT_EQ(x, expectedX) << stored;
        EXPECT_EQ(y, expectedY) << stored;
    }
}

} // namespace
