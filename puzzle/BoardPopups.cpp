#include "puzzle/Board.h"

#include "base/Logger.h"
#include "puzzle/BoardHost.h"
#include "puzzle/BoardPopup.h"

namespace Kavo
{

void Board::QueuePopup(BoardPopup* popup)
{
    mPopupQueue.push_back(popup);
    ShowNextPopup();
}

bool Board::ShowNextPopup()
{
    if (mCurrentPopup != nullptr) return true;
    while (!mPopupQueue.empty())
    {
        BoardPopup* popup = mPopupQueue.front();
        int flags = popup->GetShowFlags();
        const BoardPlayState state = GetPlayState();
        if (((flags & BoardPopup::kOnlyInPlay) && state != kPlayOpen) ||
            ((flags & BoardPopup::kOnlyAfterLevel) &&
             (state != kPlayLevelEnd || mLevelFinishingProgress < 1.8f)))
            return false;
        mPopupQueue.pop_front();
        mCurrentPopup = popup;
        if (!popup->Show())
        {
            mCurrentPopup = nullptr;
            delete popup;
            continue;
        }
        UpdateScrambleButton();
        return true;
    }
    return false;
}

void Board::OnPopupClosed(int popupId, int result)
{
    LogBoardEvent("closed game-message window ID=" + std::to_string(popupId) +
                  ", retval=" + std::to_string(result));
    Unpause(std::string());
    if (popupId == kEndStoryPopup && mLevelFinishing && mLevelFinishingProgress >= 1.8f)
    {
        mLevelFinishing = false;
        AdvanceToNextLevel();
    }
    else if (popupId == kStartStoryPopup)
    {
        GetBoardHost().PlayMusicTrack(LevelConfig().nSongID);
    }
    else if (popupId == kRetryPopup && result == 1000)
    {
        mRetryRequested = true;
    }
    mCurrentPopup = nullptr;
    ShowNextPopup();
    if (mGameOverCounter > 149 && mCurrentPopup == nullptr) ReportLevelOver();
    UpdateScrambleButton();
    MarkChanges(); // the board shows again in the frame after the click that closed the popup
}

} // namespace Kavo
