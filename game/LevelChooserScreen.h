#pragma once

#include "puzzle/Fader.h"
#include "widgets/ButtonListener.h"
#include "widgets/Widget.h"

namespace Kavo
{

class ButtonWidget;
class GameApp;

// The level chooser (screen 5): twelve planets on a star map, each holding a run of levels. A
// planet whose first level the player has reached in the mode is a button (ids 100 to 111) that
// fades out and starts the game at that level; the others show as empty spots. The main-menu
// button (12) leaves without a fade. Shown instead of level 1 when the mode offers it and the
// player has reached level 3.
//
// | planet | levels  | button at  | spot at    |   | planet | levels  | button at  | spot at    |
// |--------|---------|------------|------------|---|--------|---------|------------|------------|
// | 1      | 1 - 2   | 38, 84     | 28, 74     |   | 7      | 16 - 18 | 593, 426   | 583, 416   |
// | 2      | 3 - 5   | 82, 182    | 72, 172    |   | 8      | 19 - 21 | 648, 259   | 638, 249   |
// | 3      | 6 - 8   | 45, 293    | 35, 283    |   | 9      | 22 - 24 | 685, 159   | 675, 149   |
// | 4      | 9 - 10  | 118, 389   | 108, 379   |   | 10     | 25 - 27 | 575, 93    | 565, 83    |
// | 5      | 11 - 13 | 277, 477   | 267, 467   |   | 11     | 28 - 30 | 406, 69    | 396, 59    |
// | 6      | 14 - 15 | 469, 508   | 459, 498   |   | 12     | 31 - 33 | 252, 113   | 242, 103   |
class LevelChooserScreen : public Widget, public ButtonListener, public Fader
{
public:
    static constexpr int kPlanets = 12;
    static constexpr int kLastLevel = 33;
    static constexpr int kFirstPlanetId = 100;
    static constexpr int kMainMenuId = 12;

    explicit LevelChooserScreen(GameApp* app);
    ~LevelChooserScreen() override;

    // The planets open for the player's top level in the current mode (clamped to 33); 0 for a
    // top level below 1.
    int UnlockedPlanetCount();
    // The planets open at a top level (clamped to 33; 0 below 1).
    static int PlanetCountForTopLevel(int topLevel);
    // The first level of planet index (0 to 11), 0 for another index.
    static int FirstLevelOfPlanet(int index);

    void AddedToManager(WidgetManager* manager) override;
    void RemovedFromManager(WidgetManager* manager) override;
    void Draw(Graphics* g) override;
    // The chooser's background covers the screen when it is opaque and as large as the screen.
    bool IsOpaque() override;
    using Widget::DrawOverlay;
    void DrawOverlay(Graphics* g) override;
    void ButtonDepress(int id) override;

    ButtonWidget* PlanetButton(int index) { return mPlanetButtons[index]; }

    GameApp* mApp;                          // not owned
    ButtonWidget* mPlanetButtons[kPlanets]; // owned
    ButtonWidget* mMainMenuButton;          // owned
    int mUnlocked = 0;                      // planets that are buttons in this showing
};

} // namespace Kavo
