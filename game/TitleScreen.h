#pragma once

#include "puzzle/Fader.h"
#include "puzzle/TwinklingStars.h"
#include "widgets/ButtonListener.h"
#include "widgets/Widget.h"

#include <string>

namespace Kavo
{

class ButtonWidget;
class GameApp;

// The first screen: up to three splash pictures, then the loading view whose badge follows the
// loading thread, and once loading is done and the splashes have had their time, a click
// anywhere fades to white and goes on to the main menu (the screen then removes and deletes
// itself and the game application builds the other screens); clicks during the fade are not
// taken.
//
// | phase    | while                                      | shows                                 |
// |----------|--------------------------------------------|---------------------------------------|
// | splash n | update count < 100 n and IMAGE_SPLASHn set | that splash alone (n = 1, 2, 3)        |
// | loading  | otherwise                                  | background, stars, badge, logos        |
// | ready    | loaded and update count >= the minimum     | the same; the full-screen button takes |
// |          | (100 for each splash present)              | a click                               |
//
// A picture counts as present when it is wider than 1 pixel.
//
// The shown progress follows the loading progress once per drawn frame (FrameDrawn), from the
// progress the last update read; each update marks the screen when a splash ends or the loading
// view will look different.
class TitleScreen : public Widget, public ButtonListener, public Fader
{
public:
    static constexpr int kContinueButtonId = 1;
    static constexpr int kUpdatesPerSplash = 100;

    explicit TitleScreen(GameApp* app);
    ~TitleScreen() override;

    void CreateContinueButton();
    // Loading has finished: the continue button may be offered.
    void SetLoaded();

    void AddedToManager(WidgetManager* manager) override;
    void RemovedFromManager(WidgetManager* manager) override;
    void Update() override;
    void UpdateF(float fraction) override;
    void Draw(Graphics* g) override;
    // The splash shown, or the loader's background, covers the screen when that picture is
    // opaque and as large as the screen.
    bool IsOpaque() override;
    void FrameDrawn() override;
    using Widget::DrawOverlay;
    void DrawOverlay(Graphics* g) override;
    void ButtonDepress(int id) override;

    // The shown progress moves toward p by 0.03, 0.01 or the whole remaining step (see .cpp).
    static double SmoothProgress(double shown, double p);
    // The badge's text: text 219 once p is exactly 1, else text 220 with the whole percent.
    static std::string BadgeText(double p);
    // The splash shown at that update count, or null for the loading view.
    static Image* SplashAt(int updateCount);

    GameApp* mApp;                           // not owned
    ButtonWidget* mContinueButton = nullptr; // owned until the continue action
    double mShownProgress = 0.0;
    double mLoadingProgress = 0.0; // the application's, as the last update read it
    int mDrawsAfterLoaded = 0;     // draws with the shown progress within 0.001 of 1
    int mUpdateCount = 0;
    bool mLoaded = false;
    int mMinUpdates = 0;
    StarList mStars;
};

} // namespace Kavo
