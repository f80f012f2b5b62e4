#include "puzzle/BoardTextOverlay.h"

#include "app/KavoAppBase.h"
#include "base/TextHelpers.h"
#include "graphics/Font.h"
#include "graphics/Graphics.h"
#include "graphics/Image.h"
#include "puzzle/BoardPopupListener.h"
#include "puzzle/DrawingFunctions.h"
#include "puzzle/ResourceIds.h"
#include "widgets/WidgetManager.h"

#include <algorithm>

namespace Kavo
{

namespace
{
constexpr int kBaseLifetime = 450;
constexpr int kLifetimePerCharacter = 7;
constexpr int kTextFadeUpdates = 255;
} // namespace

BoardTextOverlay::BoardTextOverlay(BoardPopupListener* listener, int popupId, const std::string& text,
                                   Image* background, bool cover)
    : BoardPopup(listener, popupId), mLines(SplitIntoWords(text, '~')), mBackground(background), mCover(cover)
{
    for (const std::string& line : mLines)
        mCharacters += int(line.size());
    mLifetime = kBaseLifetime + kLifetimePerCharacter * mCharacters;
    Resize(0, 0, kWidth, kHeight);
}

bool BoardTextOverlay::Show()
{
    gKavoApp->mWidgetManager->AddWidget(this);
    return true;
}

int BoardTextOverlay::GetShowFlags()
{
    return Is3DDrawing() ? 0 : kHidesBoard;
}

void BoardTextOverlay::Withdraw()
{
    if (mClosed) return;
    mClosed = true;
    if (mParent != nullptr) mParent->RemoveWidget(this);
    gKavoApp->SafeDeleteWidget(this);
}

void BoardTextOverlay::Close()
{
    if (mClosed) return;
    mClosed = true;
    if (mParent != nullptr) mParent->RemoveWidget(this);
    if (mListener != nullptr) mListener->OnPopupClosed(mPopupId, 1);
    gKavoApp->SafeDeleteWidget(this);
}

std::array<int, 3> BoardTextOverlay::Look() const
{
    // What the picture depends on: the cover's fade (and the background through it with 3D),
    // the text's alpha and how many characters are typed out.
    const int fade = (mCover || Is3DDrawing()) ? FadeAt(mCounter) : 0;
    return {fade, TextAlphaAt(mCounter), std::min(mCounter / kUpdatesPerCharacter, mCharacters)};
}

int BoardTextOverlay::TextAlphaAt(int counter) const
{
    const int left = mLifetime - counter;
    return left < kTextFadeUpdates ? std::max(0, left) : 255;
}

int BoardTextOverlay::FadeAt(int counter) const
{
    return std::max(0, 255 - (mCover ? counter / 2 : counter * 2));
}

void BoardTextOverlay::Update()
{
    if (!mRunning || mClosed) return;
    const std::array<int, 3> shown = Look();
    ++mCounter;
    if (Look() != shown) MarkDirty();
    if (mCounter >= mLifetime) Close();
}

void BoardTextOverlay::MouseDown(int x, int y, int button, int clickCount)
{
    (void)x;
    (void)y;
    (void)button;
    (void)clickCount;
    Close();
}

bool BoardTextOverlay::IsOpaque()
{
    return mCover && (Is3DDrawing() || FadeAt(mCounter) == 255);
}

void BoardTextOverlay::Draw(Graphics* g)
{
    int fade = FadeAt(mCounter);
    bool is3D = Is3DDrawing();
    if (mCover)
    {
        g->SetColor(Color(0, 0, 0, is3D ? 255 : fade));
        g->FillRect(0, 0, mWidth, mHeight);
    }
    if (is3D && mBackground != nullptr)
    {
        g->SetColorizeImages(true);
        g->SetColor(Color(255, 255, 255, 255 - fade));
        g->DrawImage(mBackground, 0, 0);
        g->SetColorizeImages(false);
    }

    Font* font = FONT_SEGUE;
    if (font == nullptr) return;
    int lineHeight = font->GetHeight();
    int widest = 0;
    for (const std::string& line : mLines)
        widest = std::max(widest, font->StringWidth(line));
    int x = (kWidth - widest) / 2;
    int y = (kHeight - int(mLines.size()) * lineHeight) / 2 + font->GetAscent();
    int alpha = TextAlphaAt(mCounter);
    g->SetFont(font);
    g->SetColor(Color(kTitleYellow[0], kTitleYellow[1], kTitleYellow[2], alpha));
    // One more character every few updates, line after line.
    int shown = mCounter / kUpdatesPerCharacter;
    for (const std::string& line : mLines)
    {
        if (shown <= 0) break;
        g->DrawString(line.substr(0, size_t(std::min<int>(shown, int(line.size())))), x, y);
        shown -= int(line.size());
        y += lineHeight;
    }
}

} // namespace Kavo
