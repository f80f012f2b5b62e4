#pragma once

#include "puzzle/BoardPopup.h"
#include "widgets/Widget.h"

#include <array>
#include <string>
#include <vector>

namespace Kavo
{

class Image;

// A story text typed out over the whole screen (0, 0, 800, 600) in FONT_SEGUE, yellow
// (252, 244, 35): lines split at "~", one more character every 6 updates, the block centred.
// It lives 450 + 7 x (characters of all lines) updates and fades its text over the last 255;
// a click closes it at once. Closing removes it from the manager, reports (popup id, 1) and
// deletes it safely. With the cover flag the screen is covered in black, through which the
// level's background shows when drawing is 3D-accelerated.
//
// Show flags: 1 without 3D acceleration (the board's picture is hidden), 0 with it.
class BoardTextOverlay : public Widget, public BoardPopup
{
public:
    static constexpr int kWidth = 800;
    static constexpr int kHeight = 600;
    static constexpr int kUpdatesPerCharacter = 6;

    BoardTextOverlay(BoardPopupListener* listener, int popupId, const std::string& text, Image* background,
                     bool cover);

    bool Show() override;
    int GetShowFlags() override;
    void OnLostFocus() override { mRunning = false; }
    void OnRegainedFocus() override { mRunning = true; }
    void Withdraw() override;

    void Update() override;
    void Draw(Graphics* g) override;
    // Only while its black cover is still whole: at once with 3D, in the first updates of its
    // fade without.
    bool IsOpaque() override;
    using Widget::MouseDown;
    void MouseDown(int x, int y, int button, int clickCount) override;

    int GetLifetime() const { return mLifetime; }

    std::vector<std::string> mLines;
    Image* mBackground; // not owned
    bool mCover;
    int mCounter = 0;
    int mLifetime;
    bool mRunning = true;
    bool mClosed = false;

private:
    int mCharacters = 0; // of all the lines
    void Close();
    int FadeAt(int counter) const;
    int TextAlphaAt(int counter) const;
    std::array<int, 3> Look() const; // an update that leaves it alone marks nothing
};

} // namespace Kavo
