#include "puzzle/BoardTextOverlay.h"

namespace Kavo
{

BoardTextOverlay::BoardTextOverlay(BoardPopupListener* listener, int popupId, const std::string& text,
                                   Image* background, bool cover)
    : BoardPopup(listener, popupId), mBackground(background), mCover(cover), mLifetime(0)
{
    (void)text;
}

bool BoardTextOverlay::Show()
{
    return false;
}

int BoardTextOverlay::GetShowFlags()
{
    return kHidesBoard;
}

void BoardTextOverlay::Withdraw() {}

void BoardTextOverlay::Update() {}

void BoardTextOverlay::Draw(Graphics* g)
{
    (void)g;
}

void BoardTextOverlay::MouseDown(int x, int y, int button, int clickCount)
{
    (void)x;
    (void)y;
    (void)button;
    (void)clickCount;
}

void BoardTextOverlay::Close() {}

} // namespace Kavo
