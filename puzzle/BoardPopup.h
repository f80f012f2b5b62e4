#pragma once

#include <cstdint>

namespace Kavo
{

class BoardPopupListener;

// An in-board popup: a message, story text, hint or question shown over the board, one at a
// time, from the board's queue (Board::QueuePopup). Each popup class is also a widget.
//
// Popup ids: 105 message or hint, 106 end-of-level story, 108 start-of-level story, 115 retry
// question.
class BoardPopup
{
public:
    // Bits of GetShowFlags.
    enum ShowFlags
    {
        kHidesBoard = 1,     // the board's own picture is hidden behind it (drawing may skip it)
        kBoardGoesOn = 2,    // stars, the scramble button and UpdateF run while it shows
        kOnlyInPlay = 4,     // shown only in play state 0
        kOnlyAfterLevel = 8, // shown only once the level is over (finishing progress 1.8)
    };

    BoardPopup(BoardPopupListener* listener, int popupId) : mListener(listener), mPopupId(popupId) {}
    virtual ~BoardPopup() = default;

    // Puts the popup on screen; false when it does not want to be shown (it is then dropped and
    // deleted by its owner).
    virtual bool Show() = 0;
    virtual int GetShowFlags() { return 0; }
    virtual void OnLostFocus() {}
    virtual void OnRegainedFocus() {}
    // Takes a shown popup off the screen without telling the listener, when its board leaves
    // the widget manager; the popup is deleted safely afterwards.
    virtual void Withdraw() = 0;

    int GetPopupId() const { return mPopupId; }

    BoardPopupListener* mListener; // not owned
    int32_t mPopupId;
};

} // namespace Kavo
