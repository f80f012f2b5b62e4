#pragma once

#include "widgets/ButtonWidget.h"

#include <string>

namespace Kavo
{

// The button of one challenge on the challenge grid: IMAGE_CHALLENGEGRID_BUTTON with the
// challenge's ID text (FONT_LABEL) and title (FONT_SMALLTEXT) centred in yellow, and its medal
// (a cel of IMAGE_CHALLENGEGRID_STARS) spinning when drawing is 3D-accelerated. A locked
// challenge (medal -1) is disabled and draws only IMAGE_CHALLENGEGRID_BUTTONLOCKED.
class FancyChallengeButton : public ButtonWidget
{
public:
    FancyChallengeButton(int id, ButtonListener* listener);

    void SetChallenge(const std::string& idText, const std::string& title, int medal);
    // -1 locked, 0 none, 1 bronze to 4 ultra. Disabled exactly for -1; the spin speed becomes
    // 0.5, 1.0, 1.5 or 2.0 for medals 1 to 4 (other values keep it).
    void SetMedal(int medal);

    void UpdateF(float fraction) override;
    void Draw(Graphics* g) override;
    // The translucent button picture, two pixels short of the rectangle.
    bool IsOpaque() override { return false; }

    std::string mIdText;
    std::string mTitle;
    int mMedal = -1;
    float mSpinSpeed = 1.0f;
    float mSpinAngle = 0.0f; // radians; grows by speed * units * 0.005 each fractional update
};

} // namespace Kavo
