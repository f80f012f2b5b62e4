#pragma once

#include "base/Rect.h"

#include <cstdint>
#include <vector>

namespace Kavo
{

class Graphics;
class Image;

// One scripted event of a tutorial actor: it runs at every script time from start to end (at
// every time when end is negative).
struct TutorialEvent
{
    enum Type
    {
        kMove = 0,    // at time = start only: velocity (a, b) for end - start + 1 units
        kPlace = 1,   // position := (a, b)
        kBlink = 2,   // the visible flag flips every 20 updates; visible at time = end
        kShow = 3,    // visible := true
        kHide = 4,    // visible := false
        kExplode = 5, // pieces: explosion cel (time - start) / 3; gone at time = end
        kGrow = 6,    // pieces: grow from nothing over start..end
        kFadeOut = 7, // pieces: fade out over start..end
    };

    int type = kShow;
    float a = 0.0f;
    float b = 0.0f;
    int start = 0;
    int end = 0;
};

// A small scripted object of the tutorial's demonstration (pieces, board frames, the pointer,
// a click mark, highlight boxes): the tutorial screen calls Update with the script time once per
// update, moves actors with a velocity in its fractional update and draws the visible ones.
class TutorialActor
{
public:
    static constexpr int kMaxEvents = 20;

    TutorialActor(int x, int y);
    virtual ~TutorialActor() = default;
    TutorialActor(const TutorialActor&) = delete;
    TutorialActor& operator=(const TutorialActor&) = delete;

    // Runs every event due at time, in the order they were added.
    virtual void Update(int time);
    virtual void Draw(Graphics* g) = 0;
    // Where Draw draws, in the screen's coordinates, at whatever stage of the actor's animation.
    virtual Rect Area() const = 0;
    // Appends what decides the actor's picture: its place and visibility here, the animation's
    // state in the actors that animate. The tutorial screen marks an actor whose look changed.
    virtual void AddLook(std::vector<float>& look) const;
    // False for an event type the actor does not know.
    virtual bool HandleEvent(const TutorialEvent& event, int time);

    // Appends an event (at most kMaxEvents; more are a script error and are dropped).
    TutorialActor* AddEvent(int type, float a, float b, int start, int end);
    // The fractional update of the screen: moves by the velocity for at most the remaining
    // move time.
    void Move(float units);
    bool IsMoving() const;

    // Set by the tutorial screen from its second loop on; read by the pieces.
    static bool sTutorialLooped;

protected:
    // An image drawn at (x, y), placed at a fraction of a pixel or not.
    static Rect ImageAreaAt(Image* image, float x, float y);
    // A frame of grid squares (IMAGE_GRID_SQUARE) 65 pixels apart with their crossbeams.
    static Rect GridArea(int x, int y, int columns, int rows);

public:
    float mX, mY;
    float mVelocityX = 0.0f;
    float mVelocityY = 0.0f;
    float mMoveTime = 0.0f; // update units left of the current move
    int mWidth = -1;
    int mHeight = -1;
    bool mVisible = true;
    TutorialEvent mEvents[kMaxEvents];
    int mEventCount = 0;
};

} // namespace Kavo
