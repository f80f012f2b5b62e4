#include "puzzle/FancyChallengeButton.h"

#include "graphics/Font.h"
#include "graphics/Graphics.h"
#include "graphics/Image.h"
#include "puzzle/DrawingFunctions.h"
#include "puzzle/ResourceIds.h"

namespace Kavo
{

FancyChallengeButton::FancyChallengeButton(int id, ButtonListener* listener) : ButtonWidget(id, listener)
{
    SetDisabled(true); // locked until a challenge is set
}

void FancyChallengeButton::SetChallenge(const std::string& idText, const std::string& title, int medal)
{
    mIdText = idText;
    mTitle = title;
    SetMedal(medal);
}

void FancyChallengeButton::SetMedal(int medal)
{
    mMedal = medal;
    SetDisabled(medal == -1);
    static constexpr float kSpeeds[4] = {0.5f, 1.0f, 1.5f, 2.0f};
    if (medal >= 1 && medal <= 4) mSpinSpeed = kSpeeds[medal - 1];
    MarkDirty();
}

void FancyChallengeButton::UpdateF(float fraction)
{
    mSpinAngle += mSpinSpeed * fraction * 0.005f;
    // Only the 3D drawing turns the medal.
    if (!mDisabled && mMedal >= 1 && mMedal <= 4 && Is3DDrawing()) MarkDirty();
}

void FancyChallengeButton::Draw(Graphics* g)
{
    int w = mWidth - 2, h = mHeight - 2;
    if (mDisabled)
    {
        if (IMAGE_CHALLENGEGRID_BUTTONLOCKED != nullptr)
            g->DrawImageStretched(IMAGE_CHALLENGEGRID_BUTTONLOCKED, 0, 0, w, h);
        return;
    }
    int off = (mIsDown && mIsOver) ? 2 : 0;
    if (IMAGE_CHALLENGEGRID_BUTTON != nullptr)
        g->DrawImageStretched(IMAGE_CHALLENGEGRID_BUTTON, off, off, w, h);
    g->SetColor(Color(kTitleYellow[0], kTitleYellow[1], kTitleYellow[2]));
    if (FONT_LABEL != nullptr)
    {
        g->SetFont(FONT_LABEL);
        g->DrawString(mIdText, w / 2 - g->StringWidth(mIdText) / 2 + off, off + 30);
    }
    if (FONT_SMALLTEXT != nullptr)
    {
        g->SetFont(FONT_SMALLTEXT);
        g->DrawString(mTitle, w / 2 - g->StringWidth(mTitle) / 2 + off, off + 45);
    }
    Image* stars = IMAGE_CHALLENGEGRID_STARS;
    if (mMedal < 1 || mMedal > 4 || stars == nullptr) return;
    int x = w / 2 + off - 17, y = off + 47;
    Rect cel = stars->GetCelRect(mMedal - 1);
    if (Is3DDrawing())
        g->DrawImageRotated(stars, x, y, mSpinAngle, &cel);
    else
        g->DrawImageSrc(stars, x, y, cel);
}

} // namespace Kavo
