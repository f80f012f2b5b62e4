#pragma once

#include "game/ScoreEntry.h"
#include "game/TipList.h"
#include "puzzle/Fader.h"
#include "puzzle/TopTenRow.h"
#include "puzzle/TwinklingStars.h"
#include "widgets/ButtonListener.h"
#include "widgets/Widget.h"

#include <string>
#include <vector>

namespace Kavo
{

class ButtonWidget;
class GameApp;

// The best scores (screen 3), page by page; the page of the game just played opens first, with
// that game's row pulsing.
//
// | page  | content                                       | title |
// |-------|-----------------------------------------------|-------|
// | 0     | Untimed                                       | 221   |
// | 1     | Timed                                         | 222   |
// | 2     | Mastermind                                    | 223   |
// | 3     | Speedblitz                                    | 224   |
// | 4..9  | challenges A1-B4, C1-D4, E1-F4, G1-H4, I1-J4, | 225   |
// |       | K1-L4                                         |       |
// | 10    | Crazy                                         | 285   |
// | 11    | nothing (not reached by the page buttons)     | ""    |
// | 12    | online results (none in this program)         | 226   |
//
// The next and previous buttons browse pages 0 to 10 round; the scroll buttons show on page 12
// only, always disabled (the online list is never filled). Under the list a tip for the game
// just played types out at 0.4 characters per update (game/TipList.h; each showing picks one).
class TopTenList : public Widget, public ButtonListener, public Fader
{
public:
    enum ButtonId
    {
        kMainMenu = 12,
        kNextPage = 10,
        kPreviousPage = 20,
        kScrollOn = 21,
        kScrollBack = 22,
    };
    static constexpr int kPages = 13;
    static constexpr int kOnlinePage = 12;
    static constexpr int kLastBrowsedPage = 10;
    static constexpr int kRowsShown = 8;

    explicit TopTenList(GameApp* app);
    ~TopTenList() override;

    // Records the game just played; the next showing opens on its page.
    void SetLastGame(int mode, const std::string& challengeKey, int score, int level,
                     const std::string& playerName, int extra);
    void UpdatePageButtons(int page);
    static std::string PageName(int page);
    static int PageOfMode(int mode, const std::string& challengeKey);
    // The eight challenge ids of a challenge page 4 to 9 (empty for any other page).
    static std::vector<std::string> ChallengeIdsOfPage(int page);

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

    // A row of the current page: its label ("1." or the challenge id), the entry, and whether it
    // is the last game's row (the first row that matches it, on the last game's page only).
    struct Row
    {
        std::string label;
        ScoreEntry entry;
        bool highlighted = false;
    };
    // The eight best of a mode page, or the eight challenges of a challenge page; none elsewhere.
    // A challenge without an entry in the top scores gets an empty one there (score 0, no name).
    std::vector<Row> PageRows();
    // Whether an entry is the row of the last game on the current page.
    bool MatchesLastGame(const ScoreEntry& entry) const;

    GameApp* mApp; // not owned
    ButtonWidget* mButtons[5];
    int mPage = 0;
    int mLastGamePage = 0;
    int mLastMode = 0;
    std::string mLastChallengeKey;
    std::string mLastPlayerName;
    int mLastScore = -1;
    int mLastLevel = 0;
    int mLastExtra = 0;
    int mPulse = 0;
    int mUpdateCounter = 0;
    StarList mStars;
    bool mOnlineAvailable = false;
    std::vector<ScoreEntry> mOnlineResults;
    int mScrollOffset = 0;
    TipList mTips;        // read once, from "properties\Tips.xml"
    TopTenRow mTipStyle;  // FONT_EXCITED in the title yellow
    std::string mTipText; // the tip on show ("" for none)

    // The colour of the last game's row at a pulse of 0 to 256: (128, pulse, 128), the pulse's
    // top value held at 255 so it never carries into the red of a packed colour.
    static Color HighlightColour(int pulse);
    // The number of the tip's characters shown at the update counter.
    static int TipCharactersShown(int updateCounter);
    // Where the tip is drawn.
    Rect TipArea() const;

private:
    void ChooseTip();
    ButtonWidget* Button(int id);
    void DrawRows(Graphics* g, const std::vector<Row>& rows, bool challenges);
};

} // namespace Kavo
