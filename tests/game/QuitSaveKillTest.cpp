// A game whose last game made a new top score is killed (SIGKILL) at moments spread over its quit,
// while it saves: the settings file it leaves holds the old top-ten list or the new one, never a
// mix. Each run is a process of its own (a death test's child) playing the real application
// headless with the real settings file.
#include "game/ScoreEntry.h"
#include "game/TopScores.h"
#include "game/UserKeyName.h"
#include "platform/files/Files.h"
#include "platform/files/LittleEndian.h"
#include "platform/files/Registry.h"
#include "tests/game/GameTestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <iostream>
#include <thread>
#include <vector>

namespace
{

using gametest::TestGameApp;
using Kavo::ScoreEntry;

constexpr const char* kRoot = "SOFTWARE\\VelquisGames\\Orlavintide";
constexpr int kKills = 200;

// Untimed's list before the game, best first, and the game that tops it.
const std::vector<ScoreEntry> kOldList = {
    {"Eli", 500, 9}, {"Ann", 450, 8}, {"Bo", 400, 8},  {"Cy", 350, 7},  {"Di", 300, 7},
    {"Ed", 250, 6},  {"Flo", 200, 5}, {"Gus", 150, 4}, {"Hal", 100, 3}, {"Jo", 50, 2},
};
const ScoreEntry kNewGame{"Eli", 600, 10};

std::vector<ScoreEntry> NewList()
{
    std::vector<ScoreEntry> list = {kNewGame};
    list.insert(list.end(), kOldList.begin(), kOldList.end() - 1); // "50 Jo" drops out
    return list;
}

std::string Describe(const std::vector<ScoreEntry>& list)
{
    std::string text;
    for (const ScoreEntry& entry : list)
        text += (text.empty() ? "" : ", ") + std::to_string(entry.score) + " " + entry.name;
    return text;
}

class QuitSave : public ::testing::Test
{
protected:
    void SetUp() override
    {
        mStorePath = gametest::PrepareGameFolder() + "userdata/VelquisGames/Orlavintide/settings.reg";
    }

    // The settings file as the last run left it: Eli is the player and the old list is stored.
    void StoreOldList()
    {
        platform::RegistryStore store;
        const std::string list = std::string(kRoot) + "\\TopScores\\UntimedModeScores";
        const std::string player = std::string(kRoot) + "\\" + Kavo::UserRegistryPath("Eli");
        std::string skipTutorial;
        platform::AppendLE32(skipTutorial, uint32_t(Kavo::UserProfile::kSkipTutorial));
        ASSERT_TRUE(store.CreateKey(list) && store.CreateKey(player));
        for (size_t i = 0; i < kOldList.size(); ++i)
            store.SetValue(list, std::to_string(i), platform::kRegString, kOldList[i].ToText());
        store.SetValue(player, "DisplayName", platform::kRegString, "Eli");
        store.SetValue(player, "GuiFlags", platform::kRegDword, skipTutorial);
        store.SetValue(std::string(kRoot) + "\\Users", "DefaultName", platform::kRegString,
                       Kavo::UserKeyName("Eli"));
        ASSERT_TRUE(platform::MakeDirectories(mStorePath.substr(0, mStorePath.rfind('/'))));
        ASSERT_TRUE(platform::WriteFileAtomically(mStorePath, store.Serialize()));
    }

    // The stored list of Untimed; empty when the file cannot be read.
    std::vector<ScoreEntry> StoredList()
    {
        std::string image, error;
        platform::RegistryStore store;
        if (!platform::ReadFile(mStorePath, image) || !store.Deserialize(image, error)) return {};
        std::vector<ScoreEntry> list;
        for (int i = 0; i < Kavo::TopScores::kStoredPerList; ++i)
        {
            uint32_t type = 0;
            std::string text;
            if (!store.QueryValue(std::string(kRoot) + "\\TopScores\\UntimedModeScores", std::to_string(i),
                                  type, text))
                return {};
            list.push_back(ScoreEntry::FromText(text));
        }
        return list;
    }

    // The player starts the game, finishes a game of Untimed with the new top score, and quits;
    // SIGKILL comes delay microseconds after the quit begins. A delay below 0 lets the quit end
    // and writes how long it took, in microseconds, to "quit-time.txt".
    [[noreturn]] static void QuitAndDie(int64_t delay)
    {
        auto* app = new TestGameApp();
        app->SetRegistryStore(nullptr); // the real settings file
        app->Initialize();
        if (app->mPlayer.GetName() != "Eli") std::_Exit(2);
        app->LevelOver(0, "", kNewGame.score, kNewGame.level, 0, false);

        std::thread killer;
        if (delay >= 0)
            killer = std::thread(
                [delay]
                {
                    std::this_thread::sleep_for(std::chrono::microseconds(delay));
                    std::raise(SIGKILL);
                });
        const auto start = std::chrono::steady_clock::now();
        app->Shutdown(); // the menu's quit button
        delete app;
        const auto took = std::chrono::steady_clock::now() - start;
        if (delay < 0)
        {
            const auto micros = std::chrono::duration_cast<std::chrono::microseconds>(took).count();
            std::_Exit(platform::WriteFileAtomically("quit-time.txt", std::to_string(micros)) ? 0 : 3);
        }
        killer.join(); // the kill ends it here if not sooner
        std::_Exit(4);
    }

    std::string mStorePath;
    platform::FakeClock clock;
};

TEST_F(QuitSave, AKillDuringTheQuitLeavesTheOldTopTenOrTheNewNeverAMix)
{
    GTEST_FLAG_SET(death_test_style, "fast");
    // One quit to its end: how long it takes, and what it leaves.
    ASSERT_NO_FATAL_FAILURE(StoreOldList());
    ASSERT_EQ(StoredList(), kOldList);
    ASSERT_EXIT(QuitAndDie(-1), ::testing::ExitedWithCode(0), "");
    ASSERT_EQ(StoredList(), NewList());
    std::string text;
    ASSERT_TRUE(platform::ReadFile("quit-time.txt", text));
    const int64_t quitTime = std::atoll(text.c_str());
    ASSERT_GT(quitTime, 0);

    // The kills, evenly over one and a half times that.
    int oldLists = 0, newLists = 0;
    std::vector<std::string> mixes;
    for (int i = 0; i < kKills; ++i)
    {
        ASSERT_NO_FATAL_FAILURE(StoreOldList());
        const int64_t delay = quitTime * 3 * i / (2 * kKills);
        EXPECT_EXIT(QuitAndDie(delay), ::testing::KilledBySignal(SIGKILL), "")
            << "killed after " << delay << " us";
        const std::vector<ScoreEntry> list = StoredList();
        if (list == kOldList)
            ++oldLists;
        else if (list == NewList())
            ++newLists;
        else
            mixes.push_back("after " + std::to_string(delay) + " us: " + Describe(list));
    }
    std::cout << "quit of " << quitTime << " us; " << kKills << " kills left the old list " << oldLists
              << " times, the new " << newLists << " times, a mix " << mixes.size() << " times\n";
    EXPECT_TRUE(mixes.empty()) << mixes.size() << " mixed lists, the first " << mixes.front();
    // The kills met the quit before its save and after it.
    EXPECT_GT(oldLists, 0);
    EXPECT_GT(newLists, 0);
}

} // namespace
