#include "game/TutorialActor.h"

#include "graphics/Image.h"
#include "puzzle/DrawingFunctions.h"
#include "puzzle/ResourceIds.h"

#include <algorithm>
#include <cmath>

namespace Kavo
{

bool TutorialActor::sTutorialLooped = false;

TutorialActor::TutorialActor(int x, int y) : mX(float(x)), mY(float(y)) {}

TutorialActor* TutorialActor::AddEvent(int type, float a, float b, int start, int end)
{
    if (mEventCount < kMaxEvents) mEvents[mEventCount++] = TutorialEvent{type, a, b, start, end};
    return this;
}

void TutorialActor::Update(int time)
{
    for (int i = 0; i < mEventCount; ++i)
    {
        const TutorialEvent& event = mEvents[i];
        if (event.end < 0 || (event.start <= time && time <= event.end)) HandleEvent(event, time);
    }
}

bool TutorialActor::HandleEvent(const TutorialEvent& event, int time)
{
    switch (event.type)
    {
    case TutorialEvent::kMove:
        if (time == event.start)
        {
            mVelocityX = event.a;
            mVelocityY = event.b;
            mMoveTime = float(event.end - event.start + 1);
        }
        return true;
    case TutorialEvent::kPlace:
        mX = event.a;
        mY = event.b;
        return true;
    case TutorialEvent::kBlink:
        if (time == event.end)
            mVisible = true;
        else if ((time - event.start) % 20 == 19)
            mVisible = !mVisible;
        return true;
    case TutorialEvent::kShow:
        mVisible = true;
        return true;
    case TutorialEvent::kHide:
        mVisible = false;
        return true;
    default:
        return false;
    }
}

Rect TutorialActor::ImageAreaAt(Image* image, float x, float y)
{
    if (image == nullptr) return Rect();
    return Rect(int(std::floor(x)), int(std::floor(y)), image->GetWidth() + 1, image->GetHeight() + 1);
}

Rect TutorialActor::GridArea(int x, int y, int columns, int rows)
{
    constexpr int kPitch = 65;
    Image* square = IMAGE_GRID_SQUARE;
    Image* beam = IMAGE_GRID_CROSSBEAM;
    const int squareW = square != nullptr ? square->GetCelWidth() : 0;
    const int squareH = square != nullptr ? square->GetCelHeight() : 0;
    const int beamW = ImageWidth(beam), beamH = ImageHeight(beam);
    const int width = std::max(kPitch * (columns - 1) + squareW, kPitch * (columns - 2) + 57 + beamW);
    const int height = std::max(kPitch * (rows - 1) + squareH, kPitch * (rows - 2) + 56 + beamH);
    return Rect(x, y, std::max(width, 0), std::max(height, 0));
}

void TutorialActor::AddLook(std::vector<float>& look) const
{
    look.insert(look.end(), {mX, mY, mVisible ? 1.0f : 0.0f});
}

bool TutorialActor::IsMoving() const
{
    return std::fabs(mVelocityX) > 0.001f || std::fabs(mVelocityY) > 0.001f;
}

void TutorialActor::Move(float units)
{
    if (!IsMoving()) return;
    float dt = units;
    if (mMoveTime < units)
    {
        dt = mMoveTime;
        mMoveTime = 0.0f;
    }
    else
    {
        mMoveTime -= units;
    }
    mX += mVelocityX * dt;
    mY += mVelocityY * dt;
}

} // namespace Kavo
