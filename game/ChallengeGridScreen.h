#pragma once

#include "game/ChallengeList.h"
#include "puzzle/BoardPopupListener.h"
#include "puzzle/Fader.h"
#include "puzzle/TwinklingStars.h"
#include "widgets/ButtonListener.h"
#include "widgets/DialogListener.h"
#include "widgets/Widget.h"

#include <string>

namespace Kavo
{

class ButtonWidget;
class FancyChallengeButton;
class GameApp;
class XMLParser;

// The challenge grid (screen 6): one of three pages of up to 16 challenges as a 4 x 4 block of
// buttons, read from "properties/ChallengeGrid1.xml" to "ChallengeGrid3.xml" at every showing.
// The player's best scores earn medals, medals earn star points (1 to 4 each, at most 192),
// and star points open the next page. A click on a challenge opens its info dialog (id 109),
// whose affirmative button starts the challenge; after a challenge game the grid reopens that
// dialog with the best score from before the game.
//
// Page file: root "challenges", one "challenge" element per challenge holding one element per
// field, named after it, with the value in its attribute "value" (Desc turns "\n" into line
// breaks). A record that leaves Desc, Requirements or a score requirement out takes the value of
// the record before it; ID, Name, ConfigFile and the QuickDesc lines start empty for each.
// "StarPointsNeededToBeatGrid" may stand anywhere in the file.
//
// | id        | button                              | place                                  |
// |-----------|-------------------------------------|----------------------------------------|
// | 200 - 215 | challenge i of the page             | 146 + 130 (i mod 4), 115 + 96 (i div 4)|
// |           |                                     | 123 x 95                               |
// | 301       | next page (wraps 2 -> 0)            | 668, 287, 32 x 32; hidden on page 2    |
// | 302       | previous page (wraps 0 -> 2)        | 100, 287, 32 x 32; hidden on page 0    |
// | 12        | main menu (fades to white)          | 11, 489                                |
//
// Pages above the player's UnlockedGridPages show every button locked. Each SetPage unlocks at
// most one further page, when the star points reach the threshold of the page UnlockedGridPages
// names; the unlock hint waits for the next showing unless the unlock happened while showing.
class ChallengeGridScreen : public Widget,
                            public ButtonListener,
                            public DialogListener,
                            public Fader,
                            public BoardPopupListener
{
public:
    enum ButtonId
    {
        kFirstChallenge = 200,
        kNextPage = 301,
        kPreviousPage = 302,
        kMainMenu = 12,
    };
    static constexpr int kPages = 3;
    static constexpr int kInfoDialogId = 109;
    static constexpr int kHintPopupId = 105;
    static constexpr int kMostStarPoints = kPages * ChallengeList::kShown * 4;

    explicit ChallengeGridScreen(GameApp* app);
    ~ChallengeGridScreen() override;

    // The challenge just played and the player's best score on it before that game.
    void SetLastResult(const std::string& id, int previousBest);
    // Reads the three page files; true only when all three were read. A page whose file does
    // not open is left empty.
    bool LoadGridFiles();
    bool LoadGridFile(int page, const std::string& fileName);
    static bool ReadGridXml(ChallengeList& page, XMLParser& parser);
    void SetPage(int page);
    void ShowChallengeInfo(int index, bool showResult);
    void UpdateStarPoints();
    // The first page threshold above the star points, or -1.
    int GetNextStarThreshold() const;
    void UpdatePageButtons();
    // The status line under the star points (text 296 to 300 or 312).
    std::string StatusText() const;
    // Where the legend's star of a medal (0 bronze to 3 ultra) stands, and the baseline of its
    // name to the star's right.
    static Rect LegendStarRect(int medal);
    static int LegendNameBaseline(int medal);

    void AddedToManager(WidgetManager* manager) override;
    void RemovedFromManager(WidgetManager* manager) override;
    void Update() override;
    void UpdateF(float fraction) override;
    void Draw(Graphics* g) override;
    // The grid's background covers the screen when it is opaque and as large as the screen.
    bool IsOpaque() override;
    using Widget::DrawOverlay;
    void DrawOverlay(Graphics* g) override;
    void ButtonDepress(int id) override;
    void DialogButtonDepress(int dialogId, int buttonId) override;
    void OnPopupClosed(int popupId, int result) override;

    FancyChallengeButton* ChallengeButton(int index) { return mChallengeButtons[index]; }
    const ChallengeList& Page(int page) const { return mPageLists[page]; }
    ChallengeList& Page(int page) { return mPageLists[page]; }

    GameApp* mApp;                                                  // not owned
    FancyChallengeButton* mChallengeButtons[ChallengeList::kShown]; // owned
    ButtonWidget* mPreviousButton;                                  // owned
    ButtonWidget* mNextButton;                                      // owned
    ButtonWidget* mMainMenuButton;                                  // owned
    int mSelected = -1;
    StarList mStars;
    int mUpdateCounter = 0;
    ChallengeList mPageLists[kPages];
    int mPage = 0;
    bool mPageJustUnlocked = false;
    int mStarPoints = 0;
    std::string mLastResultId;
    int mLastResultScore = -1;

private:
    void ShowHints();
};

} // namespace Kavo
