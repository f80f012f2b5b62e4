#include "puzzle/Board.h"

#include "puzzle/BoardPopup.h"
#include "puzzle/FancyButton.h"
#include "widgets/ButtonWidget.h"

namespace Kavo
{

namespace
{
Board* sCurrentBoard = nullptr;
} // namespace

Board::Board(KavoAppBase* app, const GameRulesConfig& newRules) : Fader(this), mApp(app)
{
    sCurrentBoard = this;
    rules = newRules;
    mMainMenuButton = new ButtonWidget(kMainMenuButtonId, this);
    mScrambleButton = new FancyButton(kScrambleButtonId, this, FancyButton::kDialogStyle);
    mResetButton = new FancyButton(kResetButtonId, this, FancyButton::kDialogStyle);
}

Board::~Board()
{
    delete mMainMenuButton;
    delete mScrambleButton;
    delete mResetButton;
    if (sCurrentBoard == this) sCurrentBoard = nullptr;
}

Board* Board::Current()
{
    return sCurrentBoard;
}

void Board::AddedToManager(WidgetManager* manager)
{
    Widget::AddedToManager(manager);
}

void Board::RemovedFromManager(WidgetManager* manager)
{
    Widget::RemovedFromManager(manager);
}

void Board::Update() {}
void Board::UpdateF(float) {}
void Board::Draw(Graphics*) {}
void Board::DrawOverlay(Graphics*) {}
void Board::KeyDown(int) {}
void Board::MouseDown(int, int, int) {}
void Board::MouseUp(int, int, int) {}
void Board::MouseDrag(int, int) {}
void Board::PollCursorDevice() {}
void Board::OnMainMenuAnswer(bool) {}
void Board::ButtonDepress(int) {}

void Board::ResetForLevel(int newLevel, bool generate)
{
    NewGame(newLevel, generate);
}

void Board::AdvanceToNextLevel()
{
    GameBoardLogic::AdvanceToNextLevel();
}

void Board::GenerateBoard(bool newGame, bool keepState)
{
    GameBoardLogic::GenerateBoard(newGame, keepState);
}

bool Board::ResolveMove(int moveType, int x, int y, int& outX, int& outY, MatchGroupList& groups)
{
    return GameBoardLogic::ResolveMove(moveType, x, y, outX, outY, groups);
}

void Board::AwardGroup(MatchGroup& group)
{
    GameBoardLogic::AwardGroup(group);
}

void Board::StartBlackHoleAt(int x, int y)
{
    GameBoardLogic::StartBlackHoleAt(x, y);
}

void Board::OnBlackHoleMatured(int, int) {}

bool Board::Serialize(Serializer& serializer)
{
    return GameBoardLogic::Serialize(serializer);
}

void Board::ReplenishExploded(int colour, int mask[kSquares])
{
    GameBoardLogic::ReplenishExploded(colour, mask);
}

void Board::OnPieceMoved(int, int, int, int) {}
void Board::OnPopupClosed(int, int) {}

std::string Board::GetModeName()
{
    return GameModeName(rules);
}

std::string Board::GetModeKeyName()
{
    return rules.GetModeKeyName();
}

void Board::NewGame(int newLevel, bool generate)
{
    GameBoardLogic::ResetForLevel(newLevel, false);
    (void)generate;
}

void Board::EndLevel(const std::string&, bool) {}

int Board::GetPlayState()
{
    return 0;
}

void Board::Pause(const std::string&) {}
void Board::Unpause(const std::string&) {}
void Board::OnLostFocus() {}
void Board::OnRegainedFocus() {}
void Board::UpdateScrambleButton() {}
void Board::UpdateStuckState() {}
void Board::ComputeGridOrigin() {}

bool Board::HitTest(int, int, int&, int&) const
{
    return false;
}

void Board::QueuePopup(BoardPopup* popup)
{
    delete popup;
}

bool Board::ShowNextPopup()
{
    return false;
}

bool Board::SaveGame(const std::string&)
{
    return false;
}

bool Board::LoadGame(const std::string&, int&)
{
    return false;
}

bool Board::LoadGame(const std::string& fileName)
{
    int mode = 0;
    return LoadGame(fileName, mode);
}

bool Board::ResumeFromSaveFile(const std::string&, bool)
{
    return false;
}

std::string Board::SavedGameFileName(const std::string&)
{
    return std::string();
}

std::string Board::SavedGamePath(const std::string& fileName)
{
    return fileName;
}

void Board::AddExplosionAnimation(int, int, int) {}

void Board::StepAnimations(BoardAnimation&, float) {}

void Board::PlayGoodMoveSound() {}
void Board::FloatCentredText(const std::string&, int, float) {}

int Board::CurrentTutorialStep()
{
    return -1;
}

void Board::AdvanceTutorial() {}

} // namespace Kavo
