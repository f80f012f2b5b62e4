#include "AppTestSupport.h"

#include "app/SettingsWriteGroup.h"
#include "platform/files/Files.h"

#include <algorithm>
#include <filesystem>

namespace
{

using apptest::TestApp;

TEST(Settings, ValueNamesBuildKeyPaths)
{
    TestApp app;
    app.mRegKey = "Velquis\\Game\\"; // a trailing separator changes nothing
    ASSERT_TRUE(app.RegistryWriteInteger("Level", 3));
    ASSERT_TRUE(app.RegistryWriteString("Users\\Ann\\Name", "Ann"));
    uint32_t type = 0;
    std::string data;
    EXPECT_TRUE(app.mStore.QueryValue("SOFTWARE\\Velquis\\Game", "Level", type, data));
    EXPECT_EQ(type, platform::kRegDword);
    EXPECT_TRUE(app.mStore.QueryValue("SOFTWARE\\Velquis\\Game\\Users\\Ann", "Name", type, data));
    EXPECT_EQ(data, "Ann");

    std::vector<std::string> names;
    ASSERT_TRUE(app.RegistryGetSubKeys("Users", &names));
    EXPECT_EQ(names, std::vector<std::string>{"Ann"});
    ASSERT_TRUE(app.RegistryGetValues("Users\\Ann", &names));
    EXPECT_EQ(names, std::vector<std::string>{"Name"});
    EXPECT_FALSE(app.RegistryEraseKey("Users")); // still has a sub-key
    EXPECT_TRUE(app.RegistryEraseKey("Users\\Ann"));
    EXPECT_FALSE(app.RegistryGetValues("Users\\Ann", &names));
    app.RegistryEraseValue("Level");
    int level = 0;
    EXPECT_FALSE(app.RegistryReadInteger("Level", &level));
}

TEST(Settings, TypesAndSizesAreChecked)
{
    TestApp app;
    app.RegistryWriteInteger("Number", 7);
    app.RegistryWriteString("Text", "seven");
    app.RegistryWriteString("Long", std::string(1024, 'x'));
    app.RegistryWriteString("Longest", std::string(1023, 'y'));
    std::string text;
    int number = 0;
    bool flag = false;
    EXPECT_FALSE(app.RegistryReadString("Number", &text));
    EXPECT_FALSE(app.RegistryReadInteger("Text", &number));
    EXPECT_FALSE(app.RegistryReadString("Long", &text));
    EXPECT_TRUE(app.RegistryReadString("Longest", &text));
    EXPECT_EQ(text.size(), 1023u);
    EXPECT_TRUE(app.RegistryReadBoolean("Number", &flag));
    EXPECT_TRUE(flag);
    EXPECT_FALSE(app.RegistryReadInteger("Missing", &number));
    EXPECT_EQ(number, 0); // a failed read leaves the value alone
}

TEST(Settings, EmptyKeyDoesNothingAndRecordsNothing)
{
    TestApp app;
    app.mRegKey.clear();
    app.mRecordingDemo = true;
    int value = 0;
    std::vector<std::string> names;
    EXPECT_FALSE(app.RegistryWriteInteger("A", 1));
    EXPECT_FALSE(app.RegistryReadInteger("A", &value));
    EXPECT_FALSE(app.RegistryGetSubKeys("", &names));
    EXPECT_FALSE(app.RegistryEraseKey("A"));
    EXPECT_EQ(app.mDemo.mBuffer.GetDataLen(), 0);
}

TEST(Settings, FrameworkSettingsRoundTrip)
{
    TestApp writer;
    writer.mMusicVolume = 0.857;
    writer.mSfxVolume = 0.3;
    writer.Mute(true); // lost focus: not the player's mute
    writer.mIsWindowed = false;
    writer.mPreferredX = 12;
    writer.mPreferredY = 34;
    writer.mCustomCursorsEnabled = true;
    writer.mWaitForVSync = true;
    writer.WriteSettingsToRegistry();

    std::vector<std::string> names;
    writer.RegistryGetValues("", &names);
    EXPECT_EQ(names,
              (std::vector<std::string>{"MusicVolume", "SfxVolume", "Muted", "ScreenMode", "PreferredX",
                                        "PreferredY", "CustomCursors", "InProgress", "WaitForVSync"}));
    int value = -1;
    writer.RegistryReadInteger("MusicVolume", &value);
    EXPECT_EQ(value, 85);
    writer.RegistryReadInteger("Muted", &value);
    EXPECT_EQ(value, 0);
    writer.Mute(false); // the player's own mute is kept
    writer.WriteSettingsToRegistry();
    writer.RegistryReadInteger("Muted", &value);
    EXPECT_EQ(value, 1);

    TestApp reader;
    reader.SetRegistryStore(&writer.mStore);
    reader.ReadSettingsFromRegistry();
    EXPECT_DOUBLE_EQ(reader.mMusicVolume, 0.85);
    EXPECT_DOUBLE_EQ(reader.mSfxVolume, 0.3);
    EXPECT_EQ(reader.mMuteCount, 1);
    EXPECT_FALSE(reader.mIsWindowed);
    EXPECT_EQ(reader.mPreferredX, 12);
    EXPECT_EQ(reader.mPreferredY, 34);
    EXPECT_TRUE(reader.mCustomCursorsEnabled);
    EXPECT_TRUE(reader.mWaitForVSync);
    EXPECT_TRUE(reader.mReadFromRegistry);
    reader.RegistryReadInteger("InProgress", &value);
    EXPECT_EQ(value, 1); // a run is in progress until the orderly shut-down

    reader.RegistryWriteInteger("ScreenMode", 0);
    reader.ReadSettingsFromRegistry();
    EXPECT_TRUE(reader.mIsWindowed);
    reader.RegistryWriteInteger("ScreenMode", 7);
    reader.ReadSettingsFromRegistry();
    EXPECT_FALSE(reader.mIsWindowed);
}

// Every stored percentage survives being read and written again, run after run.
TEST(Settings, VolumesKeepTheirPercentagesAcrossRuns)
{
    TestApp app;
    for (int percent = 0; percent <= 100; ++percent)
    {
        app.RegistryWriteInteger("MusicVolume", percent);
        app.RegistryWriteInteger("SfxVolume", 100 - percent);
        app.ReadSettingsFromRegistry();
        app.WriteSettingsToRegistry();
        int music = -1, sfx = -1;
        app.RegistryReadInteger("MusicVolume", &music);
        app.RegistryReadInteger("SfxVolume", &sfx);
        EXPECT_EQ(music, percent);
        EXPECT_EQ(sfx, 100 - percent);
    }
}

TEST(Settings, TheTextTableCanMoveTheKey)
{
    TestApp app;
    app.SetString("RegistryKey", L"Other\\Place");
    app.ReadSettingsFromRegistry();
    EXPECT_EQ(app.mRegKey, "Other\\Place");
    EXPECT_TRUE(app.mStore.KeyExists("SOFTWARE\\Other\\Place"));
}

// Playback answers every settings operation from the recording, never from the local store.
TEST(Settings, PlaybackReturnsTheRecordedAnswers)
{
    TestApp recorder;
    recorder.mRecordingDemo = true;
    recorder.RegistryWriteInteger("Users\\Ann\\Level", 9);
    recorder.RegistryWriteString("Greeting", "hello there");
    int level = 0;
    std::string greeting;
    std::vector<std::string> users, values;
    ASSERT_TRUE(recorder.RegistryReadInteger("Users\\Ann\\Level", &level));
    ASSERT_TRUE(recorder.RegistryReadString("Greeting", &greeting));
    ASSERT_TRUE(recorder.RegistryGetSubKeys("Users", &users));
    ASSERT_TRUE(recorder.RegistryGetValues("", &values));
    EXPECT_FALSE(recorder.RegistryReadInteger("Missing", &level));
    EXPECT_TRUE(recorder.RegistryEraseKey("Users\\Ann"));

    TestApp player; // an empty store: nothing local to find
    player.mPlayingDemo = true;
    player.mDemo.mBuffer.SetData(recorder.mDemo.mBuffer.GetDataPtr(), recorder.mDemo.mBuffer.GetDataLen());
    int replayedLevel = 0;
    std::string replayedGreeting;
    std::vector<std::string> replayedUsers, replayedValues;
    EXPECT_TRUE(player.RegistryWriteInteger("Users\\Ann\\Level", 1));
    EXPECT_TRUE(player.RegistryWriteString("Greeting", "x"));
    EXPECT_TRUE(player.RegistryReadInteger("Users\\Ann\\Level", &replayedLevel));
    EXPECT_TRUE(player.RegistryReadString("Greeting", &replayedGreeting));
    EXPECT_TRUE(player.RegistryGetSubKeys("Users", &replayedUsers));
    EXPECT_TRUE(player.RegistryGetValues("", &replayedValues));
    EXPECT_FALSE(player.RegistryReadInteger("Missing", &replayedLevel));
    EXPECT_TRUE(player.RegistryEraseKey("Users\\Ann"));
    EXPECT_EQ(replayedLevel, 9);
    EXPECT_EQ(replayedGreeting, "hello there");
    EXPECT_EQ(replayedUsers, users);
    EXPECT_EQ(replayedValues, values);
    EXPECT_FALSE(player.mStore.KeyExists("SOFTWARE\\VelquisTest\\Game\\Users"));

    // Once the close has been handled the demo is not read any more.
    player.mDemoCloseHandled = true;
    EXPECT_FALSE(player.RegistryReadInteger("Users\\Ann\\Level", &replayedLevel));
}

// A replayed read never writes past the caller's buffer, whatever length the recording claims.
TEST(Settings, ReplayedReadStaysInsideTheCallersBuffer)
{
    TestApp recorder;
    recorder.mRecordingDemo = true;
    recorder.RegistryWriteString("Blob", std::string(100, 'b'));
    uint8_t big[200];
    uint32_t type = 0, length = sizeof big;
    ASSERT_TRUE(recorder.RegistryRead("Blob", &type, big, &length));
    ASSERT_EQ(length, 100u);
    // A hostile recording: a length of 2^31 with only a few bytes behind it.
    recorder.mDemo.WriteLongEvent(recorder.mUpdateCount, Kavo::DemoStream::kRegistryRead);
    recorder.mDemo.mBuffer.WriteNumBits(1, 1);
    recorder.mDemo.mBuffer.WriteLong(int32_t(platform::kRegBinary));
    recorder.mDemo.mBuffer.WriteLong(int32_t(0x80000000u));
    recorder.mDemo.mBuffer.WriteLong(0x41414141);

    TestApp player;
    player.mPlayingDemo = true;
    player.mDemo.mBuffer.SetData(recorder.mDemo.mBuffer.GetDataPtr(), recorder.mDemo.mBuffer.GetDataLen());
    player.RegistryWrite("Blob", 0, nullptr, 0); // the recorded write
    uint8_t small[16 + 4];
    std::fill(std::begin(small), std::end(small), uint8_t(0xEE));
    length = 16;
    EXPECT_FALSE(player.RegistryRead("Blob", &type, small, &length));
    EXPECT_EQ(length, 100u); // tells how much the value needs
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(small[i], 'b');
    for (int i = 16; i < 20; ++i)
        EXPECT_EQ(small[i], 0xEE) << "written past the buffer at " << i;

    length = 16;
    std::fill(std::begin(small), std::end(small), uint8_t(0xEE));
    EXPECT_FALSE(player.RegistryRead("Blob", &type, small, &length));
    EXPECT_EQ(small[16], 0xEE);
    EXPECT_EQ(small[0], 'A');
}

// The settings file is written atomically on every change; a damaged one is reported and
// replaced, and the program still starts with its defaults.
TEST(Settings, DamagedSettingsFileIsReportedAndReplaced)
{
    std::string data = std::filesystem::current_path().string() + "/settings-damaged/";
    std::filesystem::remove_all(data);
    setenv("XDG_DATA_HOME", data.c_str(), 1);
    std::string file = data + "VelquisTest/Game/settings.reg";
    std::filesystem::create_directories(data + "VelquisTest/Game");
    ASSERT_TRUE(platform::WriteFileAtomically(file, "KREG\1\0\0\0garbage"));

    TestApp app;
    app.SetRegistryStore(nullptr); // the real file store
    app.mMusicVolume = 0.5;
    app.ReadSettingsFromRegistry();
    EXPECT_DOUBLE_EQ(app.mMusicVolume, 0.5);
    ASSERT_EQ(app.mBoxes.size(), 1u);
    EXPECT_NE(app.mBoxes[0].find("settings file was damaged"), std::string::npos);
    std::string kept;
    EXPECT_TRUE(platform::ReadFile(file + ".damaged", kept));
    EXPECT_EQ(app.mUntoldDamagedSettings, file + ".damaged") << "for the game to tell on screen";
    app.mMusicVolume = 0.25;
    app.WriteSettingsToRegistry();

    platform::RegistryStore reread;
    EXPECT_EQ(reread.Open(file), platform::RegistryStore::LoadResult::Loaded);
    uint32_t type = 0;
    std::string value;
    EXPECT_TRUE(reread.QueryValue("SOFTWARE\\VelquisTest\\Game", "MusicVolume", type, value));
    EXPECT_EQ(uint8_t(value[0]), 25);
    std::filesystem::remove_all(data);
}

// The writes and erasures of a settings group, nested groups and the framework's own settings
// among them, reach the file in one rewrite as the outermost group ends.
TEST(Settings, AGroupOfWritesIsOneRewriteOfTheFile)
{
    apptest::InOwnFolder own("settings-group");
    const std::string data = platform::CurrentFolder() + "data/";
    setenv("XDG_DATA_HOME", data.c_str(), 1);
    const std::string file = data + "VelquisTest/Game/settings.reg";
    auto onDisk = [&]
    {
        std::string bytes;
        platform::ReadFile(file, bytes);
        return bytes;
    };
    TestApp app;
    app.SetRegistryStore(nullptr); // the real file store
    app.ReadSettingsFromRegistry();
    ASSERT_TRUE(app.RegistryWriteString("Users\\ANN\\DisplayName", "Ann"));
    const std::string before = onDisk();
    ASSERT_FALSE(before.empty());
    {
        Kavo::SettingsWriteGroup group(&app);
        EXPECT_TRUE(app.RegistryWriteString("Users\\BO\\DisplayName", "Bo")); // a new key, too
        EXPECT_TRUE(app.RegistryWriteInteger("Users\\BO\\Level", 4));
        app.mMusicVolume = 0.25;
        app.WriteSettingsToRegistry(); // a group of its own inside
        EXPECT_TRUE(app.RegistryEraseKey("Users\\ANN"));
        EXPECT_EQ(onDisk(), before);
        EXPECT_TRUE(group.End());
        EXPECT_TRUE(group.End()) << "once only";
    }
    EXPECT_EQ(onDisk(), app.GetRegistryStore()->Serialize());
    platform::RegistryStore reread;
    ASSERT_EQ(reread.Open(file), platform::RegistryStore::LoadResult::Loaded);
    uint32_t type = 0;
    std::string value;
    EXPECT_TRUE(reread.QueryValue("SOFTWARE\\VelquisTest\\Game\\Users\\BO", "Level", type, value));
    EXPECT_TRUE(reread.QueryValue("SOFTWARE\\VelquisTest\\Game", "MusicVolume", type, value));
    EXPECT_EQ(uint8_t(value[0]), 25);
    EXPECT_FALSE(reread.KeyExists("SOFTWARE\\VelquisTest\\Game\\Users\\ANN"));
}

// Settings that cannot be written (no folder can be made where they belong) stay for the run and
// are reported once, on stderr and in "ScrError.txt"; the player is asked nothing.
TEST(Settings, SettingsThatCannotBeWrittenAreReportedOnce)
{
    apptest::InOwnFolder own("settings-unwritable");
    std::string data = platform::CurrentFolder() + "data";
    ASSERT_TRUE(platform::WriteFileAtomically(data, "a file where the data folder belongs"));
    setenv("XDG_DATA_HOME", data.c_str(), 1);
    const std::string text = "The settings could not be written to " + data +
                             "/VelquisTest/Game/settings.reg; what changed is lost when the program ends.";
    testing::internal::CaptureStderr();
    {
        TestApp app;
        app.SetRegistryStore(nullptr); // the real file store
        app.ReadSettingsFromRegistry();
        app.mMusicVolume = 0.25;
        app.WriteSettingsToRegistry();
        int volume = 0;
        EXPECT_TRUE(app.RegistryReadInteger("MusicVolume", &volume)); // kept for the run
        EXPECT_EQ(volume, 25);
        app.RegistryEraseValue("MusicVolume");
        EXPECT_TRUE(app.mBoxes.empty());
        EXPECT_EQ(app.mUntoldUnwritableSettings, data + "/VelquisTest/Game/settings.reg");
    } // shutting down writes them once more
    EXPECT_EQ(testing::internal::GetCapturedStderr(), text + "\n");
    std::string log;
    ASSERT_TRUE(platform::ReadFile("ScrError.txt", log));
    EXPECT_EQ(log.substr(0, text.size() + 1), text + " ");
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 1);
}

} // namespace
