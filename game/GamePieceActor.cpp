#include "game/GamePieceActor.h"

#include "base/TextHelpers.h"
#include "graphics/Graphics.h"
#include "puzzle/DrawingFunctions.h"

namespace Kavo
{

namespace
{

constexpr int kCellWidth = 62;
constexpr int kCellHeight = 60;
constexpr int kLoopFadeInUpdates = 50;

} // namespace

GamePieceActor::GamePieceActor(int x, int y, int piece, bool faded)
    : TutorialActor(x, y), mPiece(piece), mFaded(faded)
{
}

bool GamePieceActor::HandleEvent(const TutorialEvent& event, int time)
{
    const float span = float(event.end - event.start);
    switch (event.type)
    {
    case TutorialEvent::kExplode:
        mExploding = true;
        mExplosionFrame = (time - event.start) / 3;
        if (time == event.end)
        {
            mExploding = false;
            mVisible = false;
        }
        return true;
    case TutorialEvent::kGrow:
        mGrowing = true;
        mGrowFraction = span > 0.0f ? float(time - event.start) / span : 1.0f;
        if (time == event.end) mGrowing = false;
        return true;
    case TutorialEvent::kFadeOut:
        mFaded = true;
        mFadeFraction = span > 0.0f ? float(time - event.start) / span : 1.0f;
        return true;
    default:
        return TutorialActor::HandleEvent(event, time);
    }
}

void GamePieceActor::Update(int time)
{
    TutorialActor::Update(time);
    if (!sTutorialLooped || mEventCount == 0) return;
    if (time < kLoopFadeInUpdates)
    {
        mFaded = true;
        mFadeFraction = 1.0f - float(time) / float(kLoopFadeInUpdates);
    }
    else if (time == kLoopFadeInUpdates)
    {
        mFaded = false;
    }
}

Rect GamePieceActor::Area() const
{
    return Rect(int(mX) + kCellWidth / 2 - 62, int(mY) + kCellHeight / 2 - 60, 124, 120);
}

void GamePieceActor::AddLook(std::vector<float>& look) const
{
    TutorialActor::AddLook(look);
    look.insert(look.end(), {float(mPiece), mFaded ? 1.0f : 0.0f, mFadeFraction, mExploding ? 1.0f : 0.0f,
                             float(mExplosionFrame), mGrowing ? 1.0f : 0.0f, mGrowFraction});
}

void GamePieceActor::Draw(Graphics* g)
{
    const int x = int(mX);
    const int y = int(mY);
    if (mFaded)
    {
        bool colorize = g->GetColorizeImages();
        Color saved = g->GetColor();
        g->SetColorizeImages(true);
        g->SetColor(Color(255, 255, 255, int(Lerp(255.0, 0.0, mFadeFraction))));
        DrawPiece(g, x, y, kCellWidth, kCellHeight, mPiece, 0.0f, 0);
        g->SetColorizeImages(colorize);
        g->SetColor(saved);
    }
    else if (mExploding)
    {
        DrawPieceOrExploding(g, x, y, kCellWidth, kCellHeight, mPiece, mExplosionFrame);
    }
    else if (mGrowing)
    {
        DrawPieceSprite(g, x, y, kCellWidth, kCellHeight, mPiece, mGrowFraction, true);
    }
    else
    {
        DrawPiece(g, x, y, kCellWidth, kCellHeight, mPiece, 0.0f, 0);
    }
}

} // namespace Kavo
