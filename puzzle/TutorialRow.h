#pragma once

#include <cstdint>

namespace Kavo
{

class Image;

// One row of the interactive tutorial that runs on level 1 of a level whose flags hold
// gcfDoInteractiveTutorial: where its box stands, the message it shows, which square the next
// move must use and how the row is left.
struct TutorialRow
{
    enum Box
    {
        kNoBox,
        kArrowBox,     // IMAGE_TUTORIAL_BOX_ARROW
        kPlainBox,     // IMAGE_TUTORIAL_BOX
        kLongArrowBox, // IMAGE_TUTORIAL_BOX_LONG_ARROW
    };

    int32_t boxX = 0;
    int32_t boxY = 0;
    int32_t textX = 0; // the text rectangle, from the box's position
    int32_t textY = 0;
    int32_t textWidth = 0;
    int32_t textHeight = 0;
    int32_t textId = 0;    // 0: no message
    int32_t reserved = -1; // unused
    int32_t squareX = -1;  // the square the move must use; -1 any
    int32_t squareY = -1;
    bool needsMatch = true;      // the row is left by a move that makes a group (else by any move)
    bool clickContinues = false; // a click anywhere leaves the row
    int32_t box = kNoBox;
    bool untimedOnly = false; // skipped when the level's time runs (gcfElapseRealTime)
    bool timedOnly = false;   // skipped when it does not

    // The box's image, or null.
    Image* BoxImage() const;
};

// The tutorial's 32 rows; step 0 to 31.
const TutorialRow& TutorialRowAt(int step);

} // namespace Kavo
