#pragma once

#include "game/TutorialActor.h"

namespace Kavo
{

// A game piece of the tutorial (board piece codes 1 to 10) in a 62 x 60 cell. It can explode,
// grow and fade out; a faded piece is drawn at alpha Lerp(255, 0, fade fraction) (a piece made
// faded keeps 0.4, alpha 153). From the second loop on, a piece with events fades in over the
// first 50 updates.
class GamePieceActor : public TutorialActor
{
public:
    GamePieceActor(int x, int y, int piece, bool faded);

    void Update(int time) override;
    void Draw(Graphics* g) override;
    // The cell and round it what an explosion's cels and a supernova's halo reach.
    Rect Area() const override;
    void AddLook(std::vector<float>& look) const override;
    bool HandleEvent(const TutorialEvent& event, int time) override;

    int mPiece;
    bool mFaded;
    float mFadeFraction = 0.4f;
    bool mExploding = false;
    int mExplosionFrame = -1;
    bool mGrowing = false;
    float mGrowFraction = 0.0f;
};

} // namespace Kavo
