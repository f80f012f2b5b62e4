#include "tests/puzzle/BoardTestSupport.h"

#include "base/PathUtils.h"
#include "base/StringTable.h"
#include "graphics/Graphics.h"
#include "platform/files/Files.h"
#include "puzzle/BackgroundLoader.h"
#include "puzzle/BoardHintBox.h"
#include "puzzle/BoardQuickMessage.h"
#include "puzzle/BoardTextOverlay.h"
#include "puzzle/FancyButton.h"
#include "puzzle/WantRetryPrompt.h"
#include "tests/base/MemorySerializer.h"
#include "widgets/WidgetManager.h"

#include <cstring>
#include <fstream>
#include <sstream>

namespace
{

using namespace Kavo;
using boardtest::BoardApp;
using boardtest::FakeHost;

// A quiet level: four colours, no black holes or time, the given move types.
GameRulesConfig QuietRules(int mainMove, int alternateMove, int seed = 7)
{
    GameRulesConfig rules;
    rules.RandomSeed = seed;
    for (int n = 1; n <= GameRulesConfig::kLevelRecords; ++n)
    {
        LevelSpecificConfig& level = rules.GetLevelConfig(n);
        for (int i = 0; i < 24; ++i)
            level.PieceRatio[i] = i < 4 ? 10 : 0;
        level.MainMoveType = mainMove;
        level.AlternateMoveType = alternateMove;
        level.nPiecesInLevel = 500;
        level.fAnimationMod = 1.0f;
        level.GeneralConfigFlags = gcfDontAddBlankSquare * (mainMove != mtSlide && alternateMove != mtSlide);
    }
    return rules;
}

// Every background a small blank picture, with no application behind the loader.
struct PlainBackgroundLoader : BackgroundLoader
{
    PlainBackgroundLoader() : BackgroundLoader(nullptr) {}
    ~PlainBackgroundLoader() override { WaitForWorker(); }
    Image* LoadBackgroundImage(int) override { return boardtest::MakeImage(8, 8); }
};

class BoardTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        StringTable::LoadFile(std::string(KAVO_SOURCE_DIR) + "/data/properties/strings.txt");
        app.Initialize();
        SetBoardHost(&host);
    }
    void TearDown() override
    {
        if (board && board->mManager != nullptr) app.mWidgetManager->RemoveWidget(board.get());
        board.reset();
        SetBoardHost(nullptr);
    }

    // A board over the rules, shown the way the game shows it, in play.
    void Start(const GameRulesConfig& rules, int level = 1)
    {
        board = std::make_unique<Board>(&app, rules);
        board->Resize(0, 0, 800, 600);
        board->mPendingNewGame = true;
        board->mStartLevel = level;
        app.mWidgetManager->AddWidget(board.get());
        RunUntilPlay();
    }
    void RunUntilPlay()
    {
        for (int i = 0; i < 2000 && board->GetPlayState() != Kavo::kPlayOpen; ++i)
            app.Run(1);
        ASSERT_EQ(board->GetPlayState(), 0);
    }
    // Screen coordinates of the middle of square (x, y).
    int CellX(int x) { return board->mGridOriginX + 65 * x + 31; }
    int CellY(int y) { return board->mGridOriginY + 65 * y + 30; }
    std::vector<int> Pieces()
    {
        std::vector<int> pieces;
        for (int y = 0; y < board->Height(); ++y)
            for (int x = 0; x < board->Width(); ++x)
                pieces.push_back(board->Square(x, y).piece);
        return pieces;
    }
    std::string Saved()
    {
        KavoTest::MemorySerializer writer;
        EXPECT_TRUE(board->Serialize(writer));
        return writer.Bytes();
    }

    platform::FakeClock clock;
    boardtest::FixtureResources resources;
    BoardApp app;
    FakeHost host;
    std::unique_ptr<Board> board;
};

TEST_F(BoardTest, TheGridIsPlacedByItsSizeAndHitOnlyInsideCells)
{
    board = std::make_unique<Board>(&app, QuietRules(mtFourSquareRotateCW, mtFourSquareRotateCCW));
    board->Resize(0, 0, 800, 600);
    struct Case
    {
        int width, height, originX, originY;
    };
    for (const Case& c : {Case{6, 7, 385, 136}, Case{7, 8, 320, 64}, Case{8, 5, 255, 136},
                          Case{9, 9, 107, 31}, Case{12, 3, 10, 136}, Case{1, 20, 385, -326}})
    {
        board->rules.nWidth = c.width;
        board->rules.nHeight = c.height;
        board->ComputeGridOrigin();
        EXPECT_EQ(board->mGridOriginX, c.originX) << c.width;
        EXPECT_EQ(board->mGridOriginY, c.originY) << c.height;
    }

    board->rules.nWidth = 7;
    board->rules.nHeight = 8;
    board->mGridOriginX = 320;
    board->mGridOriginY = 71;
    struct Hit
    {
        int px, py, x, y; // -1: no square
    };
    for (const Hit& h : {Hit{320, 71, 0, 0}, Hit{382, 131, 0, 0}, Hit{383, 71, -1, -1}, Hit{320, 132, -1, -1},
                         Hit{385, 136, 1, 1}, Hit{319, 80, -1, -1}, Hit{320 + 65 * 6 + 62, 71 + 65 * 7, 6, 7},
                         Hit{320 + 65 * 7, 71, -1, -1}, Hit{320, 71 + 65 * 8, -1, -1}})
    {
        int x = -1, y = -1;
        EXPECT_EQ(board->HitTest(h.px, h.py, x, y), h.x >= 0) << h.px << "," << h.py;
        EXPECT_EQ(x, h.x);
        EXPECT_EQ(y, h.y);
    }
}

TEST_F(BoardTest, LeftAndRightClicksMakeTheLevelsMoveTypesAndMiddleClicksNone)
{
    GameRulesConfig rules = QuietRules(mtFourSquareRotateCW, mtFourSquareRotateCCW);
    Start(rules);
    // The same moves on an engine of the same board.
    GameBoardLogic engine;
    engine.SetRules(board->rules);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 7; ++x)
            engine.Square(x, y) = board->Square(x, y);
    auto expect = [&](int moveType, int x, int y)
    {
        MatchGroupList groups;
        int outX, outY;
        engine.ResolveMove(moveType, x, y, outX, outY, groups);
        std::vector<int> pieces;
        for (int yy = 0; yy < 8; ++yy)
            for (int xx = 0; xx < 7; ++xx)
                pieces.push_back(engine.Square(xx, yy).piece);
        return pieces;
    };

    std::vector<int> before = Pieces();
    board->MouseDown(CellX(2), CellY(3), 3); // middle
    EXPECT_EQ(Pieces(), before);
    board->MouseDown(CellX(2), CellY(3), 1);
    EXPECT_EQ(Pieces(), expect(mtFourSquareRotateCW, 2, 3));
    RunUntilPlay();
    board->MouseDown(CellX(4), CellY(1), -1);
    EXPECT_EQ(Pieces(), expect(mtFourSquareRotateCCW, 4, 1));
    RunUntilPlay();

    // Paused: a click only unpauses; a middle click does not even that.
    board->KeyDown(' ');
    before = Pieces();
    board->MouseDown(CellX(2), CellY(3), 3);
    EXPECT_TRUE(board->IsPaused());
    board->MouseDown(CellX(2), CellY(3), 1);
    EXPECT_FALSE(board->IsPaused());
    EXPECT_EQ(Pieces(), before);
    // Between cells nothing happens.
    board->MouseDown(board->mGridOriginX + 63, CellY(0), 1);
    EXPECT_EQ(Pieces(), before);
    EXPECT_EQ(board->GetPlayState(), 0);
}

TEST_F(BoardTest, SlidesStartADragThatSlidesAgainUntilTheButtonIsReleased)
{
    Start(QuietRules(mtFourSquareRotateCW, mtSlide));
    int bx, by;
    ASSERT_TRUE(board->FindBlankSquare(bx, by));
    // The right button slides; on the blank square itself the slide is refused, and the drag
    // starts all the same.
    board->MouseDown(CellX(bx), CellY(by), -1);
    EXPECT_TRUE(board->mSlideDrag);
    EXPECT_TRUE(board->mSlideAnimations.empty());
    board->MouseUp(0, 0, -1);
    EXPECT_FALSE(board->mSlideDrag);

    int sx = bx == 0 ? 2 : 0;
    board->MouseDown(CellX(sx), CellY(by), -1);
    EXPECT_FALSE(board->mSlideAnimations.empty());
    EXPECT_EQ(board->GetPlayState(), 1);
    RunUntilPlay();
    ASSERT_TRUE(board->FindBlankSquare(bx, by));
    int ty = by == 0 ? 3 : 0;
    board->MouseDrag(CellX(bx), CellY(ty));
    EXPECT_FALSE(board->mSlideAnimations.empty()) << "the drag slides the column";
    RunUntilPlay();
    board->MouseUp(0, 0, -1);
    ASSERT_TRUE(board->FindBlankSquare(bx, by));
    board->MouseDrag(CellX(bx), CellY(by == 0 ? 3 : 0));
    EXPECT_TRUE(board->mSlideAnimations.empty());
}

TEST_F(BoardTest, PopupsWaitForTheirMomentOneAtATime)
{
    Start(QuietRules(mtFourSquareRotateCW, mtFourSquareRotateCCW));
    board->MouseDown(CellX(1), CellY(1), 1);
    ASSERT_EQ(board->GetPlayState(), 1);
    board->QueuePopup(new BoardHintBox(board.get(), board.get(), 105, hintBonuses));
    EXPECT_EQ(board->GetCurrentPopup(), nullptr) << "a hint waits while pieces move";
    RunUntilPlay();
    app.Run(1);
    ASSERT_NE(board->GetCurrentPopup(), nullptr);
    EXPECT_EQ(app.GetDialog(105), dynamic_cast<Dialog*>(board->GetCurrentPopup()));
    // The board goes on under a hint (flag 2), and its button closes it.
    auto* hint = dynamic_cast<BoardHintBox*>(board->GetCurrentPopup());
    hint->ButtonDepress(1000);
    EXPECT_EQ(board->GetCurrentPopup(), nullptr);

    // A hint the player turned off is dropped and the next popup shows at once.
    host.disabledHints = hintWilds;
    board->QueuePopup(new BoardHintBox(board.get(), board.get(), 105, hintWilds));
    board->QueuePopup(new BoardQuickMessage(board.get(), 105, "Head", "Text"));
    EXPECT_NE(dynamic_cast<BoardQuickMessage*>(board->GetCurrentPopup()), nullptr);
    EXPECT_TRUE(board->GetPopupQueue().empty());
    EXPECT_EQ(host.disabledHints, hintWilds) << "a box that never showed leaves the player's hints alone";
    dynamic_cast<BoardQuickMessage*>(board->GetCurrentPopup())->ButtonDepress(1000);

    // The checkpoint hint waits for the end of the level.
    board->QueuePopup(new BoardHintBox(board.get(), board.get(), 105, hintCheckpoint));
    EXPECT_EQ(board->GetCurrentPopup(), nullptr);
    board->mLevelFinishing = true;
    board->mLevelFinishingProgress = 1.7f;
    EXPECT_FALSE(board->ShowNextPopup());
    board->mLevelFinishingProgress = 1.8f;
    EXPECT_TRUE(board->ShowNextPopup());
}

TEST_F(BoardTest, ALostGameAsksForARetryAndReportsItsEndOnce)
{
    GameRulesConfig rules = QuietRules(mtFourSquareRotateCW, mtFourSquareRotateCCW);
    for (LevelSpecificConfig& level : rules.levels)
        level.GeneralConfigFlags |= gcfShowRetryBoxWhenGameEnds;
    rules.GameMode = 5;
    rules.sChallengeModeID = "C7";
    Start(rules);
    board->score = 1234;
    board->EndLevel("test", false);
    app.Run(99);
    EXPECT_EQ(board->GetCurrentPopup(), nullptr);
    app.Run(1);
    auto* prompt = dynamic_cast<WantRetryPrompt*>(board->GetCurrentPopup());
    ASSERT_NE(prompt, nullptr);
    app.Run(200);
    EXPECT_TRUE(host.levelOvers.empty()) << "the result waits for the answer";
    prompt->ButtonDepress(1000);
    app.Run(100);
    ASSERT_EQ(host.levelOvers.size(), 1u);
    EXPECT_TRUE(host.levelOvers[0].retry);
    EXPECT_EQ(host.levelOvers[0].mode, 5);
    EXPECT_EQ(host.levelOvers[0].key, "C7");
    EXPECT_EQ(host.levelOvers[0].score, 1234);
    app.Run(300);
    EXPECT_EQ(host.levelOvers.size(), 1u) << "once per end of a game";

    // A won game shows no retry question and ends after 150 updates.
    app.mWidgetManager->RemoveWidget(board.get());
    board->mPendingNewGame = true;
    app.mWidgetManager->AddWidget(board.get());
    board->EndLevel("test", true);
    app.Run(149);
    EXPECT_EQ(host.levelOvers.size(), 1u);
    app.Run(1);
    ASSERT_EQ(host.levelOvers.size(), 2u);
    EXPECT_FALSE(host.levelOvers[1].retry);
    EXPECT_EQ(app.GetDialog(115), nullptr);
}

TEST_F(BoardTest, PausingHidesTheButtonsAndTheGrid)
{
    GameRulesConfig rules = QuietRules(mtFourSquareRotateCW, mtFourSquareRotateCCW);
    rules.SpecialButtonFlags = sbfShowScrambleButton | sbfShowResetButton;
    rules.nScrambleButtonUsesPerLevel = 3;
    Start(rules);
    EXPECT_TRUE(board->mScrambleButton->mVisible);
    EXPECT_FALSE(board->mScrambleButton->mDisabled);
    EXPECT_TRUE(board->mResetButton->mVisible);

    MemoryImage screen;
    screen.Create(800, 600);
    auto pieceShown = [&]
    {
        Graphics g(&screen);
        board->Draw(&g);
        return screen.GetBits()[size_t(CellY(0)) * 800 + size_t(CellX(0))] != 0xFF000070u;
    };
    EXPECT_TRUE(pieceShown());
    board->KeyDown(27);
    EXPECT_TRUE(board->IsPaused());
    EXPECT_FALSE(board->mScrambleButton->mVisible);
    EXPECT_TRUE(board->mScrambleButton->mDisabled);
    EXPECT_FALSE(board->mResetButton->mVisible);
    EXPECT_FALSE(pieceShown());
    board->KeyDown(27);
    EXPECT_TRUE(board->mScrambleButton->mVisible);

    // Losing the focus pauses; regaining it goes on.
    board->OnLostFocus();
    EXPECT_TRUE(board->IsPaused());
    board->OnRegainedFocus();
    EXPECT_FALSE(board->IsPaused());
}

TEST_F(BoardTest, AStuckBoardQueuesTheScrambleReminderOncePerLevel)
{
    GameRulesConfig rules = QuietRules(mtSlide, mtSlide);
    rules.SpecialButtonFlags = sbfShowScrambleButtonWhenStuck;
    Start(rules);
    ASSERT_FALSE(board->mScrambleButton->mVisible);
    board->mStuck = true;
    board->UpdateScrambleButton();
    EXPECT_TRUE(board->mScrambleButton->mVisible);
    auto* hint = dynamic_cast<BoardHintBox*>(board->GetCurrentPopup());
    ASSERT_NE(hint, nullptr);
    EXPECT_EQ(hint->mHintBit, hintScrambleButton);
    EXPECT_TRUE(board->mScrambleReminderQueued);
    hint->ButtonDepress(1000);
    board->UpdateScrambleButton();
    EXPECT_EQ(board->GetCurrentPopup(), nullptr);
}

TEST_F(BoardTest, AGameSavedDuringASlideResumesEqual)
{
    Start(QuietRules(mtSlide, mtSlide));
    int bx, by;
    ASSERT_TRUE(board->FindBlankSquare(bx, by));
    board->MouseDown(CellX(bx == 0 ? 3 : 0), CellY(by), 1);
    app.Run(3);
    ASSERT_EQ(board->GetPlayState(), 1);
    board->QueuePopup(new BoardQuickMessage(board.get(), 105, "Waiting", "Text"));
    float progress = board->mSlideAnimations.at(0).progress;
    EXPECT_GT(progress, 0.0f);

    std::string name = Board::SavedGameFileName("BOB");
    EXPECT_EQ(name, "savegame_BOB.dat");
    ASSERT_TRUE(board->SaveGame(name));
    EXPECT_TRUE(FileExists(GetAppDataFolder() + name));
    std::string saved = Saved();
    int mode = -1;
    EXPECT_TRUE(board->LoadGame(name, mode));
    EXPECT_EQ(mode, 0);

    app.mWidgetManager->RemoveWidget(board.get());
    board.reset();
    board = std::make_unique<Board>(&app, QuietRules(mtFourSquareRotateCW, mtFourSquareRotateCW, 99));
    board->Resize(0, 0, 800, 600);
    ASSERT_TRUE(board->ResumeFromSaveFile(name, true));
    EXPECT_FALSE(FileExists(GetAppDataFolder() + name));
    EXPECT_EQ(Saved(), saved);
    EXPECT_EQ(board->mSlideAnimations.at(0).progress, progress);
    EXPECT_TRUE(board->GetPopupQueue().empty());
    EXPECT_EQ(board->GetCurrentPopup(), nullptr);
    EXPECT_EQ(board->mGridOriginX, 320);

    // A game that has ended is not saved.
    board->EndLevel("test", false);
    EXPECT_FALSE(board->SaveGame(name));
    EXPECT_FALSE(FileExists(GetAppDataFolder() + name));
}

TEST_F(BoardTest, ADamagedOrForeignSavedGameIsRefusedAndTheBoardStaysAsItWas)
{
    Start(QuietRules(mtSlide, mtSlide));
    ASSERT_TRUE(board->SaveGame("good.dat"));
    std::ifstream in(GetAppDataFolder() + "good.dat", std::ios::binary);
    std::string good((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    board->NewGame(1, true);
    std::string before = Saved();

    KavoTest::MemorySerializer engineOnly;
    board->GameBoardLogic::Serialize(engineOnly);
    const size_t slideCount = 8 + engineOnly.Bytes().size();
    const size_t width = 8 + 4 + 4 + board->rules.sChallengeModeID.size();
    auto with = [&](size_t at, int32_t value)
    {
        std::string bytes = good;
        std::memcpy(&bytes[at], &value, 4);
        return bytes;
    };
    struct Case
    {
        const char* what;
        std::string bytes;
    };
    std::vector<Case> cases = {
        {"empty", ""},
        {"version only", good.substr(0, 4)},
        {"cut in the engine", good.substr(0, good.size() / 3)},
        {"cut in the board", good.substr(0, good.size() - 5)},
        {"width 0", with(width, 0)},
        {"width 21", with(width, 21)},
        {"height 21", with(width + 4, 21)},
        {"huge slide list", with(slideCount, 0x7fffffff)},
        {"negative slide list", with(slideCount, -1)},
        {"slide off the board", with(slideCount + 4, 40)},
    };
    for (const Case& c : cases)
    {
        ASSERT_TRUE(platform::WriteFileAtomically(GetAppDataFolder() + "bad.dat", c.bytes));
        EXPECT_FALSE(board->ResumeFromSaveFile("bad.dat", true)) << c.what;
        EXPECT_EQ(Saved(), before) << c.what;
        EXPECT_TRUE(FileExists(GetAppDataFolder() + "bad.dat")) << c.what << ": the file is kept";
    }

    // Another version: a notice, nothing read.
    ASSERT_TRUE(platform::WriteFileAtomically(GetAppDataFolder() + "old.dat", with(0, 21)));
    int mode = 0;
    EXPECT_FALSE(board->LoadGame("old.dat", mode));
    EXPECT_FALSE(board->ResumeFromSaveFile("old.dat", false));
    auto* notice = dynamic_cast<YesNoDialog*>(app.GetDialog(104));
    ASSERT_NE(notice, nullptr);
    EXPECT_NE(notice->mSecondButton, nullptr) << "a yes/no notice";
    EXPECT_EQ(Saved(), before);
    EXPECT_FALSE(board->ResumeFromSaveFile("missing.dat", false));
}

// A saved game holds its floating texts to 1,024 bytes, the most its reader takes: a longer
// one (a rules file's message may be) is written cut to that and the game resumes, while a
// file holding a text of 1,025 bytes is refused.
TEST_F(BoardTest, ASavedGameWritesNoTextLongerThanItsReaderTakes)
{
    Start(QuietRules(mtSlide, mtSlide));
    const std::string message(1500, 'w');
    board->FloatCentredText(message);
    ASSERT_TRUE(board->SaveGame("long.dat"));
    board->mFloatingTexts.clear();
    ASSERT_TRUE(board->ResumeFromSaveFile("long.dat", false));
    ASSERT_EQ(board->mFloatingTexts.size(), 1u);
    EXPECT_EQ(board->mFloatingTexts[0].text, message.substr(0, 1024));

    // The same file with the text one byte longer.
    std::ifstream in(GetAppDataFolder() + "long.dat", std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::string field = std::string("\x00\x04\x00\x00", 4) + message.substr(0, 1024);
    const size_t at = bytes.find(field);
    ASSERT_NE(at, std::string::npos);
    bytes.replace(at, field.size(), std::string("\x01\x04\x00\x00", 4) + message.substr(0, 1025));
    ASSERT_TRUE(platform::WriteFileAtomically(GetAppDataFolder() + "longer.dat", bytes));
    const std::string before = Saved();
    EXPECT_FALSE(board->ResumeFromSaveFile("longer.dat", false));
    EXPECT_EQ(Saved(), before);
}

TEST_F(BoardTest, RemovingTheBoardTakesItsStoryTextOffTheScreen)
{
    GameRulesConfig rules = QuietRules(mtFourSquareRotateCW, mtFourSquareRotateCW);
    rules.GetLevelConfig(1).sStartLevelStoryText = "Far away~a planet waits";
    board = std::make_unique<Board>(&app, rules);
    board->Resize(0, 0, 800, 600);
    board->mPendingNewGame = true;
    app.mWidgetManager->AddWidget(board.get());
    auto* overlay = dynamic_cast<BoardTextOverlay*>(board->GetCurrentPopup());
    ASSERT_NE(overlay, nullptr);
    EXPECT_EQ(overlay->mParent, static_cast<WidgetContainer*>(app.mWidgetManager)) << overlay->mCounter;
    size_t tracks = host.tracks.size();
    app.mWidgetManager->RemoveWidget(board.get());
    EXPECT_EQ(overlay->mParent, nullptr);
    EXPECT_EQ(board->GetCurrentPopup(), nullptr);
    app.Run(2000);
    EXPECT_EQ(host.tracks.size(), tracks) << "the withdrawn story tells nobody";
}

TEST_F(BoardTest, AStoryTextClosesAfterItsTimeOrAtAClick)
{
    struct Listener : BoardPopupListener
    {
        void OnPopupClosed(int id, int result) override { closed.push_back({id, result}); }
        std::vector<std::pair<int, int>> closed;
    } listener;
    std::string text(50, 'a');
    text += "~" + std::string(50, 'b');
    auto* overlay = new BoardTextOverlay(&listener, 108, text, nullptr, true);
    EXPECT_EQ(overlay->GetLifetime(), 1150);
    overlay->Show();
    app.Run(1149);
    EXPECT_TRUE(listener.closed.empty());
    app.Run(1);
    EXPECT_EQ(listener.closed, (std::vector<std::pair<int, int>>{{108, 1}}));

    overlay = new BoardTextOverlay(&listener, 106, "Short", nullptr, false);
    overlay->Show();
    app.mWidgetManager->MouseDown(400, 300, 1);
    EXPECT_EQ(listener.closed.back(), (std::pair<int, int>{106, 1}));
    app.Run(2);
}

// A story marks itself when its picture changes (a character typed, the cover's fade, the text's
// fade) and nothing between: at rest the screen sleeps.
TEST_F(BoardTest, AStoryTextMarksItselfOnlyWhenItsPictureChanges)
{
    struct Case
    {
        bool cover;
        int counter; // before the update
        bool marked;
    };
    // "Short": 5 characters, one every 6 updates; a life of 485 updates, the text fading over the last 255.
    const Case cases[] = {
        {false, 5, true},    // the first character
        {false, 6, false},   // between characters
        {false, 29, true},   // the last one
        {false, 30, false},  // typed out, not yet fading
        {false, 200, false}, //
        {false, 230, true},  // the text's fade begins
        {false, 400, true},  //
        {true, 30, false},   // the cover's fade steps every other update
        {true, 31, true},    //
        {true, 600, false},  // the cover gone, the text still
    };
    struct Listener : BoardPopupListener
    {
        void OnPopupClosed(int, int) override {}
    } listener;
    for (const Case& c : cases)
    {
        auto* overlay = new BoardTextOverlay(&listener, 106, "Short", nullptr, c.cover);
        overlay->mLifetime = c.cover ? 900 : overlay->GetLifetime();
        overlay->Show();
        overlay->mCounter = c.counter;
        app.mWidgetManager->DrawScreen();
        ASSERT_FALSE(overlay->mDirty);
        app.Run(1);
        EXPECT_EQ(overlay->mDirty, c.marked) << c.cover << " " << c.counter;
        app.mWidgetManager->MouseDown(400, 300, 1);
        app.Run(1);
    }
}

TEST_F(BoardTest, ExplosionsWaitByTheirChainStepAndAnimationsRunAtTheirSpeed)
{
    Start(QuietRules(mtFourSquareRotateCW, mtFourSquareRotateCW));
    struct Case
    {
        int mask;
        float delay;
    };
    for (const Case& c :
         {Case{1, 20}, Case{2, 30}, Case{3, 39}, Case{5, 57}, Case{6, 66}, Case{9, 93}, Case{-2, 66}})
    {
        board->mExplosionAnimations.clear();
        board->AddExplosionAnimation(1, 1, c.mask);
        EXPECT_EQ(board->mExplosionAnimations.at(0).delay, c.delay) << c.mask;
    }
    board->mFastAnimations = true;
    BoardAnimation& explosion = board->mExplosionAnimations.at(0);
    explosion.delay = 0.0f;
    explosion.piece = 1;
    board->StepAnimations(explosion, 1.0f);
    EXPECT_FLOAT_EQ(explosion.progress, 0.175f);
    board->mExplosionAnimations.clear();
    board->mSlideAnimations.push_back({0, 0, 1, 0, 0.0f, 1, 15, 1, 0.0f, ""});
    board->UpdateF(1.0f);
    EXPECT_FLOAT_EQ(board->mSlideAnimations.at(0).progress, 0.5f);
    board->mSlideAnimations.clear();
}

// Drawing changes nothing: a slide, an explosion or a floating text drawn at its end is dropped
// once its frame is drawn (FrameDrawn), however often the frame drew it, and what it covered is
// marked for the next frame.
TEST_F(BoardTest, WhatAFrameShowsAtItsEndIsDroppedOnceTheFrameIsDrawn)
{
    Start(QuietRules(mtFourSquareRotateCW, mtSlide));
    int bx, by;
    ASSERT_TRUE(board->FindBlankSquare(bx, by));
    board->MouseDown(CellX(bx == 0 ? 2 : 0), CellY(by), -1);
    ASSERT_FALSE(board->mSlideAnimations.empty());
    app.mWidgetManager->DrawScreen(); // the move's first frame
    ASSERT_TRUE(app.mWidgetManager->DirtyRects().empty());
    for (BoardAnimation& slide : board->mSlideAnimations)
        slide.progress = 1.0f;
    board->mFloatingTexts.push_back({400, 300, 1.0f, "12", true});
    MemoryImage image;
    image.Create(800, 600);
    Graphics g(&image);
    board->Draw(&g);
    board->Draw(&g); // once for each part of the dirty region
    EXPECT_FALSE(board->mSlideAnimations.empty());
    EXPECT_EQ(board->mFloatingTexts.size(), 1u);
    EXPECT_EQ(app.Count(SOUND_LONGCHAIN), 0);

    board->FrameDrawn();
    EXPECT_TRUE(board->mSlideAnimations.empty());
    EXPECT_TRUE(board->mFloatingTexts.empty());
    EXPECT_EQ(app.Count(SOUND_LONGCHAIN), 1) << "a chain boost's label sounds once, when first shown";
    for (const BoardSquareInfo& square : board->squares)
        EXPECT_FALSE(square.boardFlagA);
    const std::vector<Rect>& marked = app.mWidgetManager->DirtyRects();
    ASSERT_FALSE(marked.empty());
    for (const Rect& rect : marked)
        EXPECT_LT(int64_t(rect.mWidth) * rect.mHeight, 800 * 600 / 2) << "only where they were";
}

// A board in play where nothing moves marks nothing, so the screen stands still; a move marks
// the squares it changes and its animations' places, never the whole screen.
TEST_F(BoardTest, AStillBoardMarksNothingAndAMoveOnlyWhatItChanges)
{
    Start(QuietRules(mtFourSquareRotateCW, mtSlide));
    app.Run(2);
    app.mWidgetManager->DrawScreen();
    for (int i = 0; i < 50; ++i)
    {
        app.Run(1);
        ASSERT_TRUE(app.mWidgetManager->DirtyRects().empty()) << "update " << i;
    }
    EXPECT_FALSE(app.mWidgetManager->DrawScreen());

    int bx, by;
    ASSERT_TRUE(board->FindBlankSquare(bx, by));
    board->MouseDown(CellX(bx == 0 ? 2 : 0), CellY(by), -1);
    int frames = 0;
    for (int i = 0; i < 200 && board->GetPlayState() != Kavo::kPlayOpen; ++i)
    {
        app.Run(1);
        const std::vector<Rect>& drawn = app.mWidgetManager->DrawnRects();
        frames += drawn.empty() ? 0 : 1;
        for (const Rect& rect : drawn)
            EXPECT_LT(int64_t(rect.mWidth) * rect.mHeight, 800 * 600 / 2) << "update " << i;
    }
    EXPECT_GT(frames, 5) << "the slide is drawn as it moves";
}

TEST_F(BoardTest, HiddenWordsAreTypedWithoutRegardToCase)
{
    GameRulesConfig rules = QuietRules(mtFourSquareRotateCW, mtFourSquareRotateCW);
    rules.nWinningLevelRequirement = 4;
    Start(rules);
    board->score = 500;
    for (char c : std::string("PEBBLESHINE"))
        board->KeyDown(c);
    EXPECT_TRUE(board->mFastAnimations);
    for (char c : std::string("QUILLBENX"))
        board->KeyDown(c);
    EXPECT_EQ(board->mTypedText, "X");
    for (char c : std::string("QUILLBEND"))
        board->KeyDown(c);
    EXPECT_TRUE(board->levelComplete);
    EXPECT_EQ(board->score, 0);
    EXPECT_EQ(board->mTypedText, "");
}

TEST_F(BoardTest, AChallengesDisplayLinesNameTheNextMedal)
{
    GameRulesConfig rules = QuietRules(mtFourSquareRotateCW, mtFourSquareRotateCW);
    rules.sDisplayLine2 = "Next: $next_medal_name at $next_medal_target";
    rules.sNextMedalName = "Gold";
    rules.nNextMedalTarget = 5000;
    board = std::make_unique<Board>(&app, rules);
    EXPECT_EQ(board->rules.sDisplayLine2, "Next: Gold at 5000");
}

TEST_F(BoardTest, ALevelWithoutPiecesToClearOrColoursDividesByNothing)
{
    GameRulesConfig rules = QuietRules(mtFourSquareRotateCW, mtFourSquareRotateCW);
    for (LevelSpecificConfig& level : rules.levels)
    {
        level.nPiecesInLevel = 0;
        for (int& weight : level.PieceRatio)
            weight = 0;
        level.PieceRatio[prWall] = 1;
        level.GeneralConfigFlags |= gcfDisplayPiecesRemaining;
    }
    board = std::make_unique<Board>(&app, rules);
    board->Resize(0, 0, 800, 600);
    ASSERT_EQ(board->CountColourKinds(), 0);
    board->Square(0, 0).piece = PieceWild;
    board->UpdateF(1.0f);
    EXPECT_EQ(board->mTargetCompletion, 1.0f);
    MemoryImage screen;
    screen.Create(800, 600);
    Graphics g(&screen);
    board->mUpdateCounter = 77;
    board->Draw(&g); // the wild piece shows no colour inside rather than dividing by zero
}

TEST_F(BoardTest, ANewLevelCrossFadesItsBackgroundOnlyWith3D)
{
    PlainBackgroundLoader loader;
    host.loader = &loader;
    for (bool is3D : {false, true})
    {
        app.is3D = is3D;
        GameRulesConfig rules = QuietRules(mtFourSquareRotateCW, mtFourSquareRotateCW);
        Start(rules);
        EXPECT_NE(board->mBackground, nullptr);
        board->AdvanceToNextLevel();
        EXPECT_EQ(board->mBackgroundCrossFade, is3D);
        EXPECT_EQ(board->mPreviousBackground != nullptr, is3D);
        EXPECT_EQ(board->GetPlayState(), is3D ? 5 : 3);
        app.Run(181);
        EXPECT_EQ(board->mPreviousBackground, nullptr);
        EXPECT_NE(board->GetPlayState(), 5);
        app.mWidgetManager->RemoveWidget(board.get());
        board.reset();
    }
    host.loader = nullptr;
}

TEST_F(BoardTest, AResumedGameIsShownOnItsLevelsBackground)
{
    PlainBackgroundLoader loader;
    host.loader = &loader;
    Start(QuietRules(mtSlide, mtSlide));
    std::string name = Board::SavedGameFileName("BOB");
    ASSERT_TRUE(board->SaveGame(name));
    app.mWidgetManager->RemoveWidget(board.get());
    board = std::make_unique<Board>(&app, QuietRules(mtSlide, mtSlide));
    board->Resize(0, 0, 800, 600);
    ASSERT_EQ(board->mBackground, nullptr);
    ASSERT_TRUE(board->ResumeFromSaveFile(name, true));
    EXPECT_EQ(board->mBackground, loader.GetBackground(board->LevelConfig().nBackgroundID));
    EXPECT_NE(board->mBackground, nullptr);
    app.mWidgetManager->RemoveWidget(board.get());
    board.reset();
    host.loader = nullptr;
}

} // namespace
