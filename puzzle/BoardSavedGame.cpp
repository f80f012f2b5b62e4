#include "puzzle/Board.h"

#include "app/KavoAppBase.h"
#include "base/CFileSerializer.h"
#include "base/Logger.h"
#include "base/PathUtils.h"
#include "base/StringTable.h"
#include "platform/files/Files.h"
#include "puzzle/BackgroundLoader.h"
#include "puzzle/BoardHost.h"
#include "puzzle/BoardPopup.h"
#include "puzzle/YesNoDialog.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace Kavo
{

namespace
{

constexpr int kVersionDialogId = 104;
constexpr int32_t kMaxAnimations = 2 * GameBoardLogic::kSquares;
constexpr int32_t kMaxFloatingTexts = 4096;
constexpr size_t kMaxTextLength = 1024;

// A copy of the engine's whole state, to put back when a saved game turns out damaged after
// the engine's part was read.
class EngineSnapshot : public GameBoardLogic
{
public:
    explicit EngineSnapshot(const GameBoardLogic& engine) { GameBoardLogic::operator=(engine); }
};

// The board's own state as bytes, to put back in the same way.
class StateBytes : public Serializer
{
public:
    void Serialize(void* bytes, int count) override
    {
        if (count <= 0) return;
        if (!mReading)
        {
            mBytes.append(static_cast<const char*>(bytes), size_t(count));
            return;
        }
        size_t take = std::min(mBytes.size() - mPosition, size_t(count));
        std::memcpy(bytes, mBytes.data() + mPosition, take);
        mPosition += take;
    }
    int GetVersion() const override { return Board::kSavedGameVersion; }
    bool IsReading() const override { return mReading; }
    void StartReading() { mReading = true; }

private:
    bool mReading = false;
    std::string mBytes;
    size_t mPosition = 0;
};

bool IsFinite(float value)
{
    return std::isfinite(value);
}

// A floating text or an explosion's label: read, it may hold at most kMaxTextLength bytes, so
// a longer one is written cut to that length (a rules file's message may be longer).
bool SerializeBoundedText(Serializer& s, std::string& text)
{
    if (s.IsReading())
    {
        s.SerializeString(text);
        return !s.Failed() && text.size() <= kMaxTextLength;
    }
    std::string written = text.substr(0, kMaxTextLength);
    s.SerializeString(written);
    return !s.Failed();
}

bool SerializeAnimations(Serializer& s, std::vector<BoardAnimation>& list)
{
    int32_t count = int32_t(list.size());
    s.SerializeInt(count);
    if (count < 0 || count > kMaxAnimations || s.Failed()) return false;
    if (s.IsReading()) list.assign(size_t(count), BoardAnimation());
    for (BoardAnimation& a : list)
    {
        s.SerializeInt(a.fromX);
        s.SerializeInt(a.fromY);
        s.SerializeInt(a.toX);
        s.SerializeInt(a.toY);
        s.SerializeFloat(a.progress);
        s.SerializeInt(a.direction);
        s.SerializeInt(a.shownPiece);
        s.SerializeInt(a.piece);
        s.SerializeFloat(a.delay);
        if (!SerializeBoundedText(s, a.label) || !IsFinite(a.progress) || !IsFinite(a.delay)) return false;
    }
    return true;
}

bool SerializeTexts(Serializer& s, std::vector<FloatingText>& list)
{
    int32_t count = int32_t(list.size());
    s.SerializeInt(count);
    if (count < 0 || count > kMaxFloatingTexts || s.Failed()) return false;
    if (s.IsReading()) list.assign(size_t(count), FloatingText());
    for (FloatingText& text : list)
    {
        s.SerializeInt(text.x);
        s.SerializeInt(text.y);
        s.SerializeFloat(text.phase);
        if (!SerializeBoundedText(s, text.text)) return false;
        text.sound = s.IsReading() ? false : text.sound;
        if (!IsFinite(text.phase)) return false;
    }
    return true;
}

} // namespace

bool Board::Serialize(Serializer& serializer)
{
    if (!serializer.IsReading())
        return GameBoardLogic::Serialize(serializer) && SerializeBoardState(serializer);

    // Reading is all or nothing: the engine reads its part whole or not at all; when the board's
    // part is damaged both are put back.
    EngineSnapshot engine(*this);
    StateBytes board;
    SerializeBoardState(board);
    board.StartReading();
    if (!GameBoardLogic::Serialize(serializer)) return false;
    if (SerializeBoardState(serializer)) return true;
    GameBoardLogic::operator=(engine);
    SerializeBoardState(board);
    return false;
}

bool Board::SerializeBoardState(Serializer& s)
{
    if (!SerializeAnimations(s, mSlideAnimations) || !SerializeAnimations(s, mExplosionAnimations) ||
        !SerializeTexts(s, mFloatingTexts))
        return false;
    s.SerializeBool(mLevelStartEffect);
    s.SerializeBool(mLevelFinishing);
    s.SerializeBool(mPaused);
    s.SerializeFloat(mLevelStartProgress);
    s.SerializeFloat(mLevelFinishingProgress);
    s.SerializeInt(mUpdateCounter);
    s.SerializeInt(mGameOverCounter);
    s.SerializeBool(mGameOver);
    s.SerializeInt(mCellCursorX);
    s.SerializeInt(mCellCursorY);
    s.SerializeBool(mCursorDeviceOn);
    s.SerializeBool(mStuck);
    s.SerializeInt(mLongestChain);
    s.SerializeBool(mMoveSettled);
    s.SerializeBool(mPendingNewGame);
    s.SerializeInt(mStartLevel);
    s.SerializeInt(mUpdatesSinceStart);
    int32_t startTime = int32_t(mGameStartTime);
    s.SerializeInt(startTime);
    mGameStartTime = uint32_t(startTime);
    s.SerializeInt(mTutorialStep);
    s.SerializeBool(mScrambleReminderQueued);
    s.SerializeBool(mBackgroundCrossFade);
    s.SerializeBool(mLevelStartSoundPlayed);
    if (s.Failed()) return false;
    if (!s.IsReading()) return true;

    // What the drawing and the rules index with must lie on the board.
    for (const BoardAnimation& slide : mSlideAnimations)
        if (!InArea(slide.fromX, slide.fromY) || !InArea(slide.toX, slide.toY)) return false;
    for (const BoardAnimation& explosion : mExplosionAnimations)
        if (!InArea(explosion.fromX, explosion.fromY)) return false;
    return IsFinite(mLevelStartProgress) && IsFinite(mLevelFinishingProgress) && mUpdateCounter >= 0 &&
           mGameOverCounter >= 0 && InArea(mCellCursorX, mCellCursorY) && mStartLevel >= 1 &&
           mUpdatesSinceStart >= 0 && mTutorialStep >= 0 && mTutorialStep <= kTutorialRows;
}

std::string Board::SavedGameFileName(const std::string& playerKeyName)
{
    return StringTable::GetString(105, playerKeyName);
}

std::string Board::SavedGamePath(const std::string& fileName)
{
    return GetAppDataFolder() + fileName;
}

bool Board::SaveGame(const std::string& fileName)
{
    if (mGameOver) return false;
    if (!GetAppDataFolder().empty()) MakeDirectories(GetAppDataFolder());
    CFileSerializer file(SavedGamePath(fileName), false, kSavedGameVersion);
    int32_t mode = rules.GameMode;
    file.SerializeInt(mode);
    if (!Serialize(file)) return false;
    return file.Close();
}

bool Board::LoadGame(const std::string& fileName, int& gameMode)
{
    std::string path = SavedGamePath(fileName);
    if (!FileExists(path)) return false;
    CFileSerializer file(path, true, 0);
    if (file.GetVersion() != kSavedGameVersion) return false;
    int32_t mode = 0;
    file.SerializeInt(mode);
    if (file.Failed()) return false;
    gameMode = mode;
    return true;
}

bool Board::LoadGame(const std::string& fileName)
{
    int mode = 0;
    return LoadGame(fileName, mode);
}

bool Board::ResumeFromSaveFile(const std::string& fileName, bool deleteAfter)
{
    std::string path = SavedGamePath(fileName);
    if (!FileExists(path)) return false;
    if (Logger* log = Logger::Instance()) log->EndSessionOnUserRequest();
    {
        CFileSerializer file(path, true, 0);
        if (file.GetVersion() != kSavedGameVersion)
        {
            // A yes/no notice; the application's listener closes it whichever is pressed.
            if (mApp != nullptr)
                mApp->AddDialogWithId(kVersionDialogId, new YesNoDialog(StringTable::GetString(218),
                                                                        StringTable::GetString(129), nullptr,
                                                                        false, kVersionDialogId));
            return false;
        }
        int32_t mode = 0;
        file.SerializeInt(mode);
        if (file.Failed() || !Serialize(file)) return false;
    }
    mLevelOverReported = false;
    ComputeGridOrigin();
    MarkDirty();
    UpdateScrambleButton();
    if (BoardPopup* popup = mCurrentPopup)
    {
        mCurrentPopup = nullptr;
        popup->Withdraw();
    }
    DeletePopups();
    DeletePreviousBackground();
    // The resumed level is shown on its own background, as when it was generated.
    if (BackgroundLoader* loader = GetBoardHost().GetBackgroundLoader())
        mBackground = loader->GetBackground(LevelConfig().nBackgroundID);
    if (deleteAfter) platform::RemoveFile(path);
    if (Logger* log = Logger::Instance()) log->RestartSession(0);
    return true;
}

} // namespace Kavo
