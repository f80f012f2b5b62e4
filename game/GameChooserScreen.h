#pragma once

#include "puzzle/BoardPopupListener.h"
#include "puzzle/Fader.h"
#include "puzzle/TwinklingStars.h"
#include "widgets/ButtonListener.h"
#include "widgets/DialogListener.h"
#include "widgets/Widget.h"

#include <string>

namespace Kavo
{

class FancyButton;
class GameApp;
class HyperlinkWidget;

// The main menu (screen 1): the five game modes, the challenge grid, resume, options, the top-ten
// list, the choice of player and quit. While the mouse rests on a mode button a planet zooms in
// on the right and the mode's description is written on it; twinkling stars run behind it all.
// Starting something new while a game runs or waits asks first (a yes/no dialog, id 104).
//
// Buttons (y0 is 178, or 203 while the resume button shows):
//
// | id | button         | label | place               | description          | event name               |
// |----|----------------|-------|---------------------|----------------------|--------------------------|
// | 15 | Resume         | 177   | 53, 164, 220 x 39   | 258                  | mainmenu_resume          |
// | 1  | Untimed        | 178   | 53, y0              | 259                  | mainmenu_untimed         |
// | 2  | Timed          | 179   | 53, y0 + 39         | 260                  | mainmenu_timed           |
// | 16 | Challenge grid | 182   | 53, y0 + 78         | 265                  | mainmenu_challengegrid   |
// | 3  | Mastermind     | 180   | 53, y0 + 117        | 261, greyed 262      | mainmenu_mastermind      |
// | 4  | Speedblitz     | 181   | 53, y0 + 156        | 263, greyed 264      | mainmenu_speedblitz      |
// | 28 | Crazy          | 288   | 53, y0 + 195        | 290, greyed 289      | mainmenu_crazy           |
// | 8  | Options        | 184   | 83, 555, 140 x 60   |                      | mainmenu_options         |
// | 9  | Top ten        | 185   | 241, 555, 170 x 60  |                      | mainmenu_toptenlist      |
// | 19 | Choose player  | 186   | 429, 555, 180 x 60  |                      | mainmenu_chooseuser      |
// | 13 | Quit           | 187   | 627, 555, 100 x 60  |                      | mainmenu_quit            |
//
// The resume button shows only while a game runs or the player has a saved game. Mastermind is
// greyed unless the player's GUI flags hold 2, Speedblitz unless they hold 4, Crazy while fewer
// than 3 challenge pages are unlocked; a greyed button ignores presses.
//
// Two links belong to the menu besides its buttons, never laid out on it: the survey (26,
// "mainmenu_survey"), whose press opens the survey page in the browser, and the bug report
// (27, "mainmenu_reportbug"), whose press opens nothing.
//
// Animation states (the timer, in update units, restarts at every change):
//
// | state          | shows                                   | leaves when                              |
// |----------------|-----------------------------------------|------------------------------------------|
// | 0 intro        | float slides in, white flash clears,    | timer above 25: to 1, mode buttons shown |
// |                | mode buttons hidden                     |                                          |
// | 1 idle         | no planet                               | shown id differs from hovered: to 3      |
// |                |                                         | (SOUND_ZOOMIN)                           |
// | 2 planet shown | planet with the description             | hovered id becomes 0: to 4 (SOUND_ZOOMOUT)|
// | 3 zooming in   | planet grows                            | timer above 50: to 2, shown := hovered   |
// | 4 zooming out  | planet shrinks                          | timer above 40: to 1, shown := 0         |
//
// As the intro ends, the application's settings notice opens when it has one to tell
// (GameApp::ShowSettingsNotice); otherwise the player dialog when there is no player, or the
// menu hint while a game runs and the player has not turned it off.
class GameChooserScreen : public Widget,
                          public ButtonListener,
                          public DialogListener,
                          public Fader,
                          public BoardPopupListener
{
public:
    enum ButtonId
    {
        kUntimed = 1,
        kTimed = 2,
        kMastermind = 3,
        kSpeedblitz = 4,
        kOptions = 8,
        kTopTen = 9,
        kQuit = 13,
        kWeeklyChallenge = 14,
        kResume = 15,
        kChallengeGrid = 16,
        kChoosePlayer = 19,
        kSurveyLink = 26,
        kReportBugLink = 27,
        kCrazy = 28,
    };
    enum State
    {
        kIntro = 0,
        kIdle = 1,
        kPlanetShown = 2,
        kZoomingIn = 3,
        kZoomingOut = 4,
    };
    static constexpr int kButtonCount = 11;
    static constexpr int kConfirmDialogId = 104;
    // The hint shown over the menu while a game runs.
    static constexpr int kMenuHintBit = 128;
    static constexpr int kMenuHintPopupId = 105;
    // The page the survey link opens.
    static constexpr const char* kSurveyAddress = "https://www.velquisgames.example/orlavintide/survey";

    explicit GameChooserScreen(GameApp* app);
    ~GameChooserScreen() override;

    void AddedToManager(WidgetManager* manager) override;
    void RemovedFromManager(WidgetManager* manager) override;
    void Update() override;
    void UpdateF(float fraction) override;
    void Draw(Graphics* g) override;
    // The menu's background covers the screen when it is opaque and as large as the screen.
    bool IsOpaque() override;
    using Widget::DrawOverlay;
    void DrawOverlay(Graphics* g) override;

    void ButtonDepress(int id) override;
    void ButtonMouseEnter(int id) override;
    void ButtonMouseLeave(int id) override;
    void DialogButtonDepress(int dialogId, int buttonId) override;
    void OnPopupClosed(int popupId, int result) override;

    // Lays the menu out again for a new player, beneath any dialog open over it.
    void RefreshForPlayer();
    // The result of a weekly-challenge game (kept; nothing in the menu shows it yet).
    void SetWeeklyResult(const std::string& text, int previousBest, int extra);
    // Performs a menu action (also after a confirmation).
    void HandleMenuButton(int id);

    FancyButton* Button(int id);
    // The event-log name of a button ("" for another id).
    static std::string EventName(int id);

    GameApp* mApp; // not owned
    FancyButton* mButtons[kButtonCount];
    HyperlinkWidget* mSurveyLink;    // owned
    HyperlinkWidget* mReportBugLink; // owned
    StarList mStars;
    int mUpdateCounter = 0;
    int mState = kIdle;
    float mTimer = 0.0f;
    int mHoveredId = 0;
    int mShownId = 0;
    int mPendingId = 0;
    std::string mDescription;
    // Marks the menu when what it draws changed since the last call (the stars mark their own).
    void MarkChanges();
    // What the last update saw drawn: a change marks the menu.
    int mShownState = -1;
    std::string mShownDescription;
    std::string mShownName;
    std::string mWeeklyResult;
    int mWeeklyPreviousBest = 0;
    int mWeeklyExtra = 0;

private:
    void LayoutButtons(WidgetManager* manager);
    void ShowButtons();
    void RemoveButtons(WidgetManager* manager);
    void SetState(int state);
};

} // namespace Kavo
