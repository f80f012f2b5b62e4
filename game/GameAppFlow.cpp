// The flow of a game through the game application: from a rules file to the board, through the
// tutorial, to the end of the game; abandoning, saving and resuming; switching players.
#include "game/GameApp.h"

#include "app/SettingsWriteGroup.h"
#include "base/Logger.h"
#include "base/Random.h"
#include "base/StringTable.h"
#include "base/XMLParser.h"
#include "game/AccountManagerDialog.h"
#include "game/ChallengeGridScreen.h"
#include "game/ChallengeRecord.h"
#include "game/GameChooserScreen.h"
#include "game/NameDialog.h"
#include "game/TopTenList.h"
#include "game/TutorialScreen.h"
#include "game/UserKeyName.h"
#include "graphics/Font.h"
#include "platform/files/Files.h"
#include "platform/window/Window.h"
#include "puzzle/BackgroundLoader.h"
#include "puzzle/Board.h"
#include "puzzle/ResourceIds.h"
#include "puzzle/YesNoDialog.h"
#include "rules/GameRulesConfig.h"
#include "rules/RulesFlags.h"
#include "widgets/WidgetManager.h"

namespace Kavo
{

namespace
{

constexpr int kTextRulesNotOpened = 103;
constexpr int kTextRulesNotRead = 104;
constexpr int kLevelChooserFromLevel = 3; // the chooser opens once this level was reached
// The settings notices: a header, and its text at the next number.
constexpr int kTextSettingsDamagedHeader = 324;
constexpr int kTextSettingsUnwritableHeader = 326;
constexpr int kSettingsNoticeX = 150;  // the notice's left edge, as far from the right one
constexpr int kSettingsNoticeGap = 20; // between its text and its button

// The path with line breaks after those of its slashes where a line of it would grow wider than
// width in the font (a part wider than that alone stays whole: the word wrap breaks it).
std::string PathInLines(const std::string& path, Font* font, int width)
{
    if (font == nullptr) return path;
    std::string lines, line;
    size_t start = 0;
    while (start < path.size())
    {
        size_t slash = path.find('/', start);
        size_t end = slash == std::string::npos ? path.size() : slash + 1;
        const std::string part = path.substr(start, end - start);
        if (!line.empty() && font->StringWidth(line + part) > width)
        {
            lines += line + "\n";
            line.clear();
        }
        line += part;
        start = end;
    }
    return lines + line;
}

uint32_t ParseSeed(const std::string& text)
{
    uint32_t seed = 0;
    for (char c : text)
        if (c >= '0' && c <= '9') seed = seed * 10 + uint32_t(c - '0');
    return seed;
}

} // namespace

std::string GameApp::SavedGameFileName() const
{
    return SavedGameFileNameOf(mPlayer.GetName());
}

std::string GameApp::SavedGameFileNameOf(const std::string& name)
{
    std::string key = UserKeyName(name);
    if (key.empty()) return std::string();
    // The name comes from the settings store too: nothing in it may lead out of the folder.
    for (char& c : key)
        if (c == '/' || c == '\\' || c == ':' || uint8_t(c) < 32) c = '_';
    return Board::SavedGameFileName(key);
}

// ---------------------------------------------------------------- starting a game

bool GameApp::LoadRulesAndStart(const std::string& path, const ChallengeRecord* challenge)
{
    XMLParser parser;
    if (!parser.OpenFile(path))
    {
        MsgBox(StringTable::GetString(kTextRulesNotOpened, path), std::string(), platform::MB_OK);
        return false;
    }
    return StartGameWithRules(parser, challenge);
}

bool GameApp::StartGameWithRules(XMLParser& parser, const ChallengeRecord* challenge)
{
    GameRulesConfig rules;
    if (!rules.LoadFromFile(parser) || !rules.HasValidBoardSize())
    {
        MsgBox(StringTable::GetString(kTextRulesNotRead), std::string(), platform::MB_OK);
        return false;
    }
    if (mBoard == nullptr) return false;
    if (challenge != nullptr)
    {
        rules.sNameOfChallenge = challenge->Name;
        for (int line = 1; line <= 10; ++line)
            if (std::string* text = rules.DisplayLine(line)) *text = challenge->QuickDesc[line - 1];
        rules.nNextMedalTarget = challenge->GetNextMedalScore(mPlayer, -1);
        rules.sNextMedalName = challenge->GetMedalText(mPlayer, -1);
    }

    AbandonGame(true);
    mBoard->SetRules(rules);
    if (rules.RandomSeed == 0)
    {
        // Rules without a seed of their own play a new game each time; the seed is part of a
        // recorded demo, so a replay plays the same game.
        std::string seed = std::to_string(Rand());
        DemoSyncString(seed);
        mBoard->rules.Random().Seed(ParseSeed(seed));
    }

    const bool offersChooser = (rules.GetLevelConfig(1).GeneralConfigFlags & gcfShowLevelChooserScreen) != 0;
    if (offersChooser &&
        mPlayer.GetTopLevelReached(rules.GameMode, rules.sChallengeModeID) >= kLevelChooserFromLevel)
    {
        ShowScreen(kLevelChooserScreen);
        return true;
    }
    StartGame(1);
    return true;
}

void GameApp::StartGame(int level)
{
    if (level < 1 || mBoard == nullptr)
    {
        ShowScreen(kMainMenuScreen);
        return;
    }
    mBoard->mPendingNewGame = true;
    mBoard->mStartLevel = level;
    if (mPlayer.mGuiFlags & UserProfile::kSkipTutorial)
    {
        OnTutorialFinished();
        return;
    }
    ShowScreen(kTutorialScreen);
    if (mTutorial != nullptr) mTutorial->MarkDirty();
}

void GameApp::OnTutorialFinished()
{
    mGameActive = true;
    mSavedGamePresent = false;
    ShowScreen(kBoardScreen);
}

void GameApp::SetSkipTutorial()
{
    mPlayer.mGuiFlags |= UserProfile::kSkipTutorial;
}

void GameApp::ClearSkipTutorial()
{
    mPlayer.mGuiFlags &= ~UserProfile::kSkipTutorial;
}

// ---------------------------------------------------------------- the end of a game

void GameApp::LevelOver(int gameMode, const std::string& challengeKey, int score, int level, int extra,
                        bool retry)
{
    if (!retry)
    {
        mGameActive = false;
        mSavedGamePresent = false;
        // A game that was resumed left its file behind: it is over now and must not come back.
        RemoveSavedGameOf(mPlayer.GetName());
    }
    const bool challenge = gameMode == 5 || gameMode == 6;
    const int previousBest = challenge ? mPlayer.GetChallengeScore(challengeKey) : -1;
    RecordTopLevelReached(level);
    const std::string name = mPlayer.GetName();
    mPlayer.RecordChallengeScore(gameMode, challengeKey, score, level);
    mTopScores.AddScore(gameMode, challengeKey, score, level, name);
    if (mTopTenList != nullptr) mTopTenList->SetLastGame(gameMode, challengeKey, score, level, name, extra);

    if (retry)
    {
        if (mBoard == nullptr) return;
        // The same board plays the level again; its scramble hint is not shown a second time.
        const bool scrambleHintShown = mBoard->mScrambleReminderQueued;
        mWidgetManager->RemoveWidget(mBoard.get());
        mBoard->mPendingNewGame = true;
        mBoard->mStartLevel = level;
        mWidgetManager->AddWidgetBelowModal(mBoard.get());
        mWidgetManager->SetFocus(mBoard.get());
        mBoard->mScrambleReminderQueued = scrambleHintShown;
        return;
    }

    mBackgroundLoader->Preload(1);
    if (gameMode == 5)
    {
        if (mChallengeGrid != nullptr) mChallengeGrid->SetLastResult(challengeKey, previousBest);
        ShowScreen(kChallengeGridScreen);
    }
    else if (gameMode == 6)
    {
        if (mMainMenu != nullptr) mMainMenu->SetWeeklyResult(challengeKey, previousBest, extra);
        ShowScreen(kMainMenuScreen);
    }
    else
    {
        ShowScreen(kTopTenScreen);
    }
}

void GameApp::RecordTopLevelReached(int level)
{
    if (mBoard == nullptr) return;
    if (mBoard->LevelConfig().GeneralConfigFlags & gcfShowLevelChooserScreen)
        mPlayer.RaiseTopLevelReached(mBoard->rules.GameMode, mBoard->rules.sChallengeModeID, level);
}

int GameApp::GetTopLevelReached()
{
    if (mBoard == nullptr) return 0;
    return mPlayer.GetTopLevelReached(mBoard->rules.GameMode, mBoard->rules.sChallengeModeID);
}

// ---------------------------------------------------------------- leaving and coming back

void GameApp::AbandonGame(bool deleteSavedGame)
{
    if (mGameActive)
    {
        mLogger->EndSessionOnUserRequest();
        if (mBoard != nullptr) mBoard->mUpdateCounter = 0;
    }
    if (mGameActive || mSavedGamePresent)
    {
        if (deleteSavedGame) RemoveSavedGameOf(mPlayer.GetName());
        mSavedGamePresent = false;
    }
    mGameActive = false;
}

bool GameApp::ReturnToGame()
{
    ShowScreen(kBoardScreen);
    if (mBoard != nullptr) mBoard->Unpause("Returning to game from the menu screen");
    return true;
}

bool GameApp::ResumeSavedGame()
{
    std::string fileName = SavedGameFileName();
    bool found = mBoard != nullptr && !fileName.empty() && mBoard->LoadGame(fileName);
    mSavedGamePresent = false;
    if (!found) return false;
    mGameActive = mBoard->ResumeFromSaveFile(fileName, false);
    if (mGameActive) ReturnToGame();
    return mGameActive;
}

void GameApp::SavePlayerAndScores()
{
    SettingsWriteGroup group(this);
    mPlayer.Save(true);
    mTopScores.Save();
}

void GameApp::SwitchUser(const std::string& name)
{
    SavePlayerAndScores();
    if (mGameActive && mBoard != nullptr)
    {
        std::string fileName = SavedGameFileName();
        if (!fileName.empty()) mBoard->SaveGame(fileName);
    }
    AbandonGame(false);

    if (!mPlayer.Load(name))
    {
        mPlayer.CreateNew(name);
        mSavedGamePresent = false;
    }
    else
    {
        std::string fileName = SavedGameFileName();
        mSavedGamePresent = mBoard != nullptr && !fileName.empty() && mBoard->LoadGame(fileName);
    }
    if (mShownScreen == kMainMenuScreen && mMainMenu != nullptr) mMainMenu->RefreshForPlayer();
}

void GameApp::ForgetCurrentPlayer()
{
    // Nothing may be saved under an empty name, nor offered to resume.
    AbandonGame(true);
    mSavedGamePresent = false;
    mPlayer.mDisplayName.clear();
    if (mShownScreen == kMainMenuScreen && mMainMenu != nullptr) mMainMenu->RefreshForPlayer();
}

void GameApp::RemoveSavedGameOf(const std::string& name)
{
    const std::string fileName = SavedGameFileNameOf(name);
    if (!fileName.empty()) platform::RemoveFile(Board::SavedGamePath(fileName));
}

bool GameApp::OpenPlayerDialog()
{
    if (mPlayer.GetName().empty())
    {
        AddDialogWithId(kNameDialog, new NameDialog(mPlayer.GetName()));
        return true;
    }
    SavePlayerAndScores();
    AddDialogWithId(kAccountsDialog, new AccountManagerDialog(this, mPlayer.GetName()));
    return true;
}

bool GameApp::ShowSettingsNotice()
{
    if (GetDialog(kSettingsNoticeDialog) != nullptr) return true;
    int header = kTextSettingsUnwritableHeader;
    std::string* place = &mUntoldUnwritableSettings;
    if (!mUntoldDamagedSettings.empty())
    {
        header = kTextSettingsDamagedHeader;
        place = &mUntoldDamagedSettings;
    }
    if (place->empty()) return false;
    auto* notice =
        new YesNoDialog(StringTable::GetString(header), std::string(), nullptr, true, kSettingsNoticeDialog);
    // Wide enough for a path to take few lines, and as high as the text needs.
    notice->Resize(kSettingsNoticeX, 0, mWidth - 2 * kSettingsNoticeX, 0);
    notice->mLines =
        StringTable::GetString(header + 1, PathInLines(*place, FONT_TEXT, notice->TextArea().mWidth));
    place->clear();
    const int height = notice->TextBottom() + kSettingsNoticeGap + YesNoDialog::kButtonHeight +
                       notice->mContentInsets.mBottom;
    notice->Resize(kSettingsNoticeX, (mHeight - height) / 2, mWidth - 2 * kSettingsNoticeX, height);
    AddDialogWithId(kSettingsNoticeDialog, notice);
    return true;
}

void GameApp::DialogButtonDepress(int dialogId, int buttonId)
{
    (void)buttonId;
    if (dialogId == kNameDialog)
        if (auto* dialog = dynamic_cast<NameDialog*>(GetDialog(kNameDialog))) SwitchUser(dialog->GetName());
    KillDialog(dialogId);
    // The menu greets a player without a name once the notices are read.
    if (dialogId == kSettingsNoticeDialog && !ShowSettingsNotice() && mShownScreen == kMainMenuScreen &&
        mPlayer.GetName().empty())
        OpenPlayerDialog();
}

} // namespace Kavo
