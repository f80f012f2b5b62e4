// The game application: start-up, the loading thread, screens, music, dialogs and shut-down.
// The flow of a game lies in GameAppFlow.cpp.
#include "game/GameApp.h"

#include "app/SettingsWriteGroup.h"
#include "base/Logger.h"
#include "base/Random.h"
#include "game/ChallengeGridScreen.h"
#include "game/GameChooserScreen.h"
#include "game/LevelChooserScreen.h"
#include "game/OptionsDialog.h"
#include "game/TitleScreen.h"
#include "game/TopTenList.h"
#include "game/TutorialScreen.h"
#include "media/MusicInterface.h"
#include "media/ResourceManager.h"
#include "media/SoundManager.h"
#include "platform/system/Clock.h"
#include "platform/system/DebugOutput.h"
#include "puzzle/BackgroundLoader.h"
#include "puzzle/Board.h"
#include "puzzle/ResourceIds.h"
#include "raster/TriangleRasterizer.h"
#include "rules/GameRulesConfig.h"
#include "widgets/Dialog.h"
#include "widgets/WidgetManager.h"

namespace Kavo
{

namespace
{

constexpr const char* kScreenNames[] = {"",         "mainmenu",     "gameboard",    "toptenlist",
                                        "tutorial", "levelchooser", "challengegrid"};

// Fades between music tracks, in volume per update.
constexpr double kMusicFadeOutSpeed = 0.004;
constexpr double kMusicFadeInSpeed = 0.002;

// What the board writes at a first win is what the menu opens the mode by.
static_assert(UserProfile::kMastermindOpen == kGuiFlagUntimedWon);
static_assert(UserProfile::kSpeedblitzOpen == kGuiFlagTimedWon);

// The resource globals go back to null once their objects are released.
void ClearResourceIds()
{
#define KAVO_CLEAR_RESOURCE_ID(kind, id) id = {};
    KAVO_INIT_RESOURCES(KAVO_CLEAR_RESOURCE_ID)
    KAVO_TITLESCREEN_RESOURCES(KAVO_CLEAR_RESOURCE_ID)
    KAVO_GAME_RESOURCES(KAVO_CLEAR_RESOURCE_ID)
#undef KAVO_CLEAR_RESOURCE_ID
}

} // namespace

// ---------------------------------------------------------------- construction

GameApp::GameApp()
{
    // Transformed blits and triangles draw through the rasteriser's fillers.
    InitTriangleRasterizerTable();
    SRand(platform::Clock::Get().Ticks());
    mLogger = std::make_unique<Logger>();
    mMusicVolume = 0.8;
    mSfxVolume = 0.55;
    mIsWindowed = false;
    mProductVersion = "1.01";
    mProductName = "Orlavintide";
    mCompanyName = "VelquisGames";
    mTitle = "Orlavintide - " + mProductVersion;
    mAllowMaximize = true;
    mRegKey = "VelquisGames\\Orlavintide";
    mWidth = 800;
    mHeight = 600;
    mTwinklingStars = false;
    mAutoEnable3D = true;
    mVSyncUpdates = true;
    mMusicTrack = -1;
    mBackgroundLoader = std::make_unique<BackgroundLoader>(this);
    SetBoardHost(this);
}

GameApp::~GameApp()
{
    if (mGameActive && mBoard != nullptr)
    {
        std::string fileName = SavedGameFileName();
        if (!fileName.empty()) mBoard->SaveGame(fileName);
        mLogger->EndSessionOnUserRequest();
    }
    // Only what was read is written back: an application that never started keeps its hands off
    // the stored players and scores.
    if (mPlayerDataLoaded)
    {
        SettingsWriteGroup group(this);
        SavePlayerAndScores();
        RegistryWriteBoolean("TwinklingStars", mTwinklingStars);
    }

    mWidgetManager->RemoveAllWidgets(false, false);
    mBackgroundLoader.reset();
    mBoard.reset();
    mMainMenu.reset();
    mTitleScreen.reset();
    mTopTenList.reset();
    mTutorial.reset();
    mLevelChooser.reset();
    mChallengeGrid.reset();
    mLogger.reset();
    SetBoardHost(nullptr);

    if (SoundManager* sounds = GetSoundManager()) sounds->ReleaseAllSounds();
    if (mResourceManager != nullptr)
    {
        mResourceManager->DeleteResources("Init");
        mResourceManager->DeleteResources("TitleScreen");
        mResourceManager->DeleteResources("Game");
    }
    ClearResourceIds();
}

void GameApp::DeletingDestructor(int flags)
{
    KavoAppBase::DeletingDestructor(flags);
}

// ---------------------------------------------------------------- start-up

void GameApp::Initialize()
{
    KavoAppBase::Initialize();
    mTwinklingStars = DisplayRecommends3D();
    bool stars = false;
    if (RegistryReadBoolean("TwinklingStars", &stars)) mTwinklingStars = stars;
    // The player and the scores are read here, not in the constructor: they come from the
    // settings store, whose answers a demo records and replays, and that can only be done once
    // KavoAppBase::Initialize has read the command line and opened the demo. Read in the
    // constructor, a replay would start from the replaying machine's player, not the recorded one.
    mPlayer.LoadDefault();
    mTopScores.Load();
    mPlayerDataLoaded = true;

    LoadResourceManifest();
    if (!mResourceManager->LoadResources("Init") || !ExtractInitResources(mResourceManager))
    {
        mStopRequested = true;
        ShowResourceError(true);
    }
    if (!mResourceManager->LoadResources("TitleScreen") || !ExtractTitleScreenResources(mResourceManager))
    {
        mStopRequested = true;
        ShowResourceError(true);
    }

    mTitleScreen = std::make_unique<TitleScreen>(this);
    mTitleScreen->Resize(0, 0, mWidth, mHeight);
    mTitleScreen->CreateContinueButton();
    mWidgetManager->AddWidget(mTitleScreen.get());

    if (mMusicInterface != nullptr)
        for (int track = 0; track < kMusicTracks; ++track)
            mMusicInterface->LoadMusic(track, "music/track" + std::to_string(track) + ".ogg");
    PlayMusicTrack(0);

    mNumLoadingThreadTasks = mResourceManager->CountGroupResources("Game");
}

void GameApp::LoadingThreadProc()
{
    // Runs on the loading thread: only the resource manager, the loaded count, the flags and the
    // background loader, which the main thread does not touch before the hand-over. The first
    // level's background loads on the loader's own thread beside the game's resources.
    mBackgroundLoader->Preload(1);
    mResourceManager->StartLoadResources("Game");
    while (mResourceManager->LoadNextResource())
    {
        ++mCompletedLoadingThreadTasks;
        if (mShutdown) return;
    }
    if (mResourceManager->HadError() || !ExtractGameResources(mResourceManager))
    {
        // Shown by the main thread when it takes the loading over.
        mLoadingError = mResourceManager->GetErrorText();
        mLoadingFailed = true;
    }
}

void GameApp::LoadingThreadCompleted()
{
    KavoAppBase::LoadingThreadCompleted();
    if (mLoadingFailed)
    {
        Popup(mLoadingError);
        mStopRequested = true;
        return;
    }
    if (mShutdown || mStopRequested) return;
    if (mTitleScreen != nullptr) mTitleScreen->SetLoaded();
}

bool GameApp::DisplayRecommends3D()
{
    return mDDInterface != nullptr && Is3DAccelerationRecommended();
}

double GameApp::GetLoadingThreadProgress()
{
    if (mNumLoadingThreadTasks == 0 && (mLoadingThreadStarted || mLoadingHandedOver)) return 1.0;
    return KavoAppBase::GetLoadingThreadProgress();
}

void GameApp::PreShutdown()
{
    KavoAppBase::PreShutdown();
    ProcessSafeDeleteList();
}

void GameApp::CreateScreens()
{
    // The title screen has handed itself to the safe-delete list.
    (void)mTitleScreen.release();

    GameRulesConfig defaults;
    mBoard = std::make_unique<Board>(this, defaults);
    mLogger->SetFeedbackInterface(mBoard.get());
    mBoard->Resize(0, 0, mWidth, mHeight);

    mTopTenList = std::make_unique<TopTenList>(this);
    mTopTenList->Resize(0, 0, mWidth, mHeight);
    mTutorial = std::make_unique<TutorialScreen>(this, true);
    mTutorial->CreateControls();
    mTutorial->Resize(0, 0, mWidth, mHeight);
    mLevelChooser = std::make_unique<LevelChooserScreen>(this);
    mLevelChooser->Resize(0, 0, mWidth, mHeight);
    mChallengeGrid = std::make_unique<ChallengeGridScreen>(this);
    mChallengeGrid->Resize(0, 0, mWidth, mHeight);

    std::string fileName = SavedGameFileName();
    if (!fileName.empty()) mSavedGamePresent = mBoard->LoadGame(fileName);
    mGameActive = false;

    mMainMenu = std::make_unique<GameChooserScreen>(this);
    mMainMenu->Resize(0, 0, mWidth, mHeight);
    ShowScreen(kMainMenuScreen);
}

// ---------------------------------------------------------------- screens

Widget* GameApp::CurrentScreenWidget()
{
    switch (mShownScreen)
    {
    case kBoardScreen:
        return mBoard.get();
    case kMainMenuScreen:
        return mMainMenu.get();
    case kTopTenScreen:
        return mTopTenList.get();
    case kTutorialScreen:
        return mTutorial.get();
    case kLevelChooserScreen:
        return mLevelChooser.get();
    case kChallengeGridScreen:
        return mChallengeGrid.get();
    default:
        return nullptr;
    }
}

void GameApp::FocusCurrentScreen()
{
    if (Widget* screen = CurrentScreenWidget()) mWidgetManager->SetFocus(screen);
}

void GameApp::RemoveCurrentScreen()
{
    if (Widget* screen = CurrentScreenWidget()) mWidgetManager->RemoveWidget(screen);
}

void GameApp::ShowScreen(int id)
{
    RemoveCurrentScreen();
    mShownScreen = id;
    if (id == kBoardScreen && mBoard != nullptr)
    {
        mLogger->SetScreen(kScreenNames[kBoardScreen]);
        mSavedGamePresent = false;
        mGameActive = true;
        mWidgetManager->AddWidgetBelowModal(mBoard.get());
    }
    else if (id != kBoardScreen)
    {
        if (Widget* screen = CurrentScreenWidget())
        {
            mLogger->SetScreen(kScreenNames[id]);
            mWidgetManager->AddWidgetBelowModal(screen);
            PlayMusicTrack(0);
        }
        else
        {
            platform::DebugOutput("Screen " + std::to_string(id) + " is not built in this version\n");
        }
    }
    FocusCurrentScreen();
}

void GameApp::ShowMainMenu()
{
    ShowScreen(kMainMenuScreen);
}

bool GameApp::ShowTopTenList()
{
    ShowScreen(kTopTenScreen);
    return true;
}

bool GameApp::ShowChallengeGrid()
{
    ShowScreen(kChallengeGridScreen);
    return true;
}

void GameApp::PlayMusicTrack(int track)
{
    if (track == mMusicTrack) return;
    if (mMusicInterface != nullptr && mMusicTrack >= 0)
        mMusicInterface->FadeOut(mMusicTrack, true, kMusicFadeOutSpeed);
    mMusicTrack = track;
    if (mMusicInterface != nullptr) mMusicInterface->FadeIn(track, 0, kMusicFadeInSpeed, false);
}

// ---------------------------------------------------------------- dialogs, focus, display

Dialog* GameApp::NewDialog(int id, bool modal, const std::string& header, const std::string& lines,
                           const std::string& footer, int buttonMode)
{
    Dialog* dialog =
        new Dialog(IMAGE_DIALOG_BOX, IMAGE_DIALOG_BUTTON, id, modal, header, lines, footer, buttonMode);
    if (FONT_TEXT != nullptr)
    {
        dialog->SetButtonFont(FONT_TEXT);
        dialog->SetLinesFont(FONT_TEXT);
        dialog->SetHeaderFont(FONT_TEXT);
    }
    dialog->SetColor(Dialog::COLOR_HEADER, Color::Black);
    dialog->SetColor(Dialog::COLOR_LINES, Color::Black);
    dialog->mSpaceAfterHeader = 30;
    dialog->Resize(100, 100, 300, 250);
    return dialog;
}

bool GameApp::OpenOptionsDialog()
{
    AddDialogWithId(kOptionsDialog, new OptionsDialog(this));
    return true;
}

void GameApp::SwitchScreenMode(bool windowed, bool is3D, bool force)
{
    KavoAppBase::SwitchScreenMode(windowed, is3D, force);
    if (auto* options = dynamic_cast<OptionsDialog*>(GetDialog(kOptionsDialog)))
        options->SetFullScreenChecked(!mIsWindowed);
}

void GameApp::GotFocus()
{
    if (mBoard != nullptr && mShownScreen == kBoardScreen) mBoard->OnRegainedFocus();
}

void GameApp::LostFocus()
{
    if (mBoard != nullptr && mShownScreen == kBoardScreen) mBoard->OnLostFocus();
}

} // namespace Kavo
