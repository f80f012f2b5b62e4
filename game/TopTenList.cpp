#include "game/TopTenList.h"

#include "base/Logger.h"
#include "base/StringTable.h"
#include "game/GameApp.h"
#include "game/ScreenButtons.h"
#include "graphics/Font.h"
#include "graphics/Graphics.h"
#include "graphics/Image.h"
#include "puzzle/DrawingFunctions.h"
#include "puzzle/ResourceIds.h"
#include "widgets/ButtonWidget.h"
#include "widgets/WidgetManager.h"

#include <algorithm>

namespace Kavo
{

namespace
{

constexpr int kFadeSteps = 20;
constexpr int kRowTop = 225;
constexpr int kRowPitch = 30;
constexpr int kHeaderY = 190;
constexpr int kPulseStep = 4;
constexpr int kPulseMax = 256;
constexpr int kScrollStep = 8;
const Color kStripe(0, 0, 0, 64);
constexpr double kTipUpdatesPerCharacter = 2.5;
constexpr int kTipSeparator = 126;
constexpr int kLeftAligned = 2;

// The page that shows each mode's list (modes 0 to 4).
constexpr int kModePages[TopScores::kModeLists] = {0, 1, 2, 3, 10};

int ModeOfPage(int page)
{
    for (int mode = 0; mode < TopScores::kModeLists; ++mode)
        if (kModePages[mode] == page) return mode;
    return -1;
}

} // namespace

TopTenList::TopTenList(GameApp* app)
    : Fader(this), mApp(app),
      mTipStyle(FONT_EXCITED, Color(kTitleYellow[0], kTitleYellow[1], kTitleYellow[2]))
{
    mTips.Load("properties\\Tips.xml");
    const int ids[5] = {kMainMenu, kNextPage, kPreviousPage, kScrollOn, kScrollBack};
    for (int i = 0; i < 5; ++i)
    {
        mButtons[i] = new ButtonWidget(ids[i], this);
        mButtons[i]->mNoFrame = true;
    }
}

TopTenList::~TopTenList()
{
    for (ButtonWidget* button : mButtons)
        delete button;
}

ButtonWidget* TopTenList::Button(int id)
{
    for (ButtonWidget* button : mButtons)
        if (button->mId == id) return button;
    return nullptr;
}

// ---------------------------------------------------------------- pages

std::string TopTenList::PageName(int page)
{
    static const int kTitles[kPages] = {221, 222, 223, 224, 225, 225, 225, 225, 225, 225, 285, 0, 226};
    if (page < 0 || page >= kPages || kTitles[page] == 0) return std::string();
    return StringTable::GetString(kTitles[page]);
}

int TopTenList::PageOfMode(int mode, const std::string& challengeKey)
{
    switch (mode)
    {
    case 0:
    case 1:
    case 2:
    case 3:
    case 4:
        return kModePages[mode];
    case 6:
        return kOnlinePage;
    case 5:
    {
        if (challengeKey.size() < 2) return 9;
        switch (challengeKey[0])
        {
        case 'A':
        case 'B':
            return 4;
        case 'C':
        case 'D':
            return 5;
        case 'E':
        case 'F':
            return 6;
        case 'G':
        case 'H':
            return 7;
        case 'I':
        case 'J':
            return 8;
        default:
            return 9;
        }
    }
    default:
        return 0;
    }
}

std::vector<std::string> TopTenList::ChallengeIdsOfPage(int page)
{
    std::vector<std::string> ids;
    if (page < 4 || page > 9) return ids;
    const char first = char('A' + 2 * (page - 4));
    for (char letter : {first, char(first + 1)})
        for (char digit = '1'; digit <= '4'; ++digit)
            ids.push_back(std::string{letter, digit});
    return ids;
}

void TopTenList::SetLastGame(int mode, const std::string& challengeKey, int score, int level,
                             const std::string& playerName, int extra)
{
    mLastMode = mode;
    mLastChallengeKey = challengeKey;
    mLastScore = score;
    mLastLevel = level;
    mLastPlayerName = playerName;
    mLastExtra = extra;
    mLastGamePage = PageOfMode(mode, challengeKey);
}

void TopTenList::UpdatePageButtons(int page)
{
    mPage = page;
    const bool online = page == kOnlinePage;
    const bool scrollable = mOnlineAvailable && !mOnlineResults.empty();
    for (int id : {kScrollOn, kScrollBack})
    {
        Button(id)->SetVisible(online);
        Button(id)->SetDisabled(!scrollable);
    }
}

bool TopTenList::MatchesLastGame(const ScoreEntry& entry) const
{
    return mPage == mLastGamePage && entry.score == mLastScore && entry.level == mLastLevel &&
           entry.name == mLastPlayerName;
}

// ---------------------------------------------------------------- life in the widget manager

void TopTenList::AddedToManager(WidgetManager* manager)
{
    Widget::AddedToManager(manager);
    mUpdateCounter = 0;
    PlaceMainMenuButton(Button(kMainMenu));
    PlaceImageButton(Button(kNextPage), IMAGE_TOPTEN_RIGHT_ARROW, 520, 75, 50, 50);
    PlaceImageButton(Button(kPreviousPage), IMAGE_TOPTEN_LEFT_ARROW, 240, 75, 50, 50);
    PlaceImageButton(Button(kScrollOn), IMAGE_TOPTEN_DOWN_ARROW, 550, 457);
    PlaceImageButton(Button(kScrollBack), IMAGE_TOPTEN_UP_ARROW, 575, 457);
    // Its buttons lie directly in front of it, so a dialog over it stays over them.
    Widget* below = this;
    for (ButtonWidget* button : mButtons)
    {
        manager->AddWidgetInfront(button, below);
        below = button;
    }
    UpdatePageButtons(mLastGamePage);
    ChooseTip();
    (void)FadeIn(kFadeSteps, Color::Black);
}

void TopTenList::ChooseTip()
{
    UserProfile& player = mApp->mPlayer;
    mTips.mViewed = uint32_t(player.mViewedTips);
    const std::string tip = mTips.ChooseTip(mLastMode, mLastLevel);
    player.mViewedTips = int32_t(mTips.mViewed);
    mTipStyle.mFont = FONT_EXCITED;
    mTipText = SplitTextToLines(mTipStyle, tip, Rect(150, 500, mWidth - 300, 100), kTipSeparator);
}

Color TopTenList::HighlightColour(int pulse)
{
    return Color(128, std::clamp(pulse, 0, 255), 128);
}

int TopTenList::TipCharactersShown(int updateCounter)
{
    return int(updateCounter / kTipUpdatesPerCharacter);
}

void TopTenList::RemovedFromManager(WidgetManager* manager)
{
    Widget::RemovedFromManager(manager);
    for (ButtonWidget* button : mButtons)
        manager->RemoveWidget(button);
    mOnlineResults.clear();
    mOnlineAvailable = false;
    mScrollOffset = 0;
}

void TopTenList::Update()
{
    Widget::Update();
    const int typed = TipCharactersShown(mUpdateCounter);
    ++mUpdateCounter;
    if (mUpdateCounter % 2 == 1) SpawnStar(mStars, this);
    if (mPage == mLastGamePage)
    {
        mPulse += kPulseStep;
        if (mPulse > kPulseMax) mPulse = 0;
        // The last game's row pulses.
        const std::vector<Row> rows = PageRows();
        const int height = FONT_TEXT != nullptr ? FONT_TEXT->GetHeight() : kRowPitch;
        for (size_t i = 0; i < rows.size(); ++i)
            if (rows[i].highlighted)
                MarkDirtyRect(Rect(0, kRowTop + int(i) * kRowPitch - height - 4, mWidth, 2 * height + 8));
    }
    // The tip types out, a character every few updates.
    if (!mTipText.empty() && TipCharactersShown(mUpdateCounter) != typed && typed <= int(mTipText.size()))
        MarkDirtyRect(TipArea());
}

Rect TopTenList::TipArea() const
{
    // Where the tip is written, and round it what its font's outer layers reach.
    const int margin = FONT_EXCITED != nullptr ? FONT_EXCITED->GetHeight() : 20;
    return Rect(200 - margin, 500 - margin, mWidth - 400 + 2 * margin, mHeight - 520 + 2 * margin);
}

void TopTenList::UpdateF(float fraction)
{
    UpdateStarField(mStars, fraction, this);
}

void TopTenList::ButtonDepress(int id)
{
    if (fading) return; // a click inside the frames of the list's own fade
    Logger* log = Logger::Instance();
    auto report = [log](const char* event)
    {
        if (log != nullptr) log->LogControl(event, std::string());
    };
    const bool scrollable = mOnlineAvailable && !mOnlineResults.empty();
    const int count = int(mOnlineResults.size());
    switch (id)
    {
    case kMainMenu:
        report("toptenlist_mainmenu");
        if (FadeOut(kFadeSteps, Color::White)) mApp->ShowMainMenu();
        break;
    case kNextPage:
        report("toptenlist_nextpage");
        UpdatePageButtons(mPage + 1 > kLastBrowsedPage ? 0 : mPage + 1);
        MarkDirty();
        break;
    case kPreviousPage:
        report("toptenlist_prevpage");
        UpdatePageButtons(mPage - 1 < 0 ? kLastBrowsedPage : mPage - 1);
        MarkDirty();
        break;
    case kScrollOn:
        if (!scrollable) break;
        report("toptenlist_scrollup");
        mScrollOffset += kScrollStep;
        if (mScrollOffset >= count) mScrollOffset = 0;
        MarkDirty();
        break;
    case kScrollBack:
        if (!scrollable) break;
        report("toptenlist_scrolldown");
        if (mScrollOffset == 0) mScrollOffset = count;
        mScrollOffset = std::max(0, mScrollOffset - kScrollStep);
        MarkDirty();
        break;
    default:
        break;
    }
}

// ---------------------------------------------------------------- drawing

bool TopTenList::IsOpaque()
{
    return CoversOpaquely(IMAGE_MAINMENU_BACKGROUND, mWidth, mHeight);
}

void TopTenList::Draw(Graphics* g)
{
    g->DrawImage(IMAGE_MAINMENU_BACKGROUND, 0, 0);
    DrawStarField(mStars, g);
    DrawScreenFrame(g, mWidth, mHeight, StringTable::GetString(227),
                    kFrameTitle | kFrameSides | kFrameMainMenuLeft);
    g->DrawImage(IMAGE_TOPTEN_OVERLAY, (mWidth - ImageWidth(IMAGE_TOPTEN_OVERLAY)) / 2, 50);

    if (FONT_LABEL != nullptr)
    {
        g->SetFont(FONT_LABEL);
        g->SetColor(Color(kTitleYellow[0], kTitleYellow[1], kTitleYellow[2]));
        DrawStringCentred(g, PageName(mPage), mWidth / 2, 100);
    }
    if (FONT_TEXT != nullptr)
    {
        g->SetColor(Color::White);
        g->SetFont(FONT_TEXT);
        if (mPage == kOnlinePage)
            DrawStringCentred(g, StringTable::GetString(249), mWidth / 2, mHeight / 2);
        else if (ModeOfPage(mPage) >= 0 || !ChallengeIdsOfPage(mPage).empty())
            DrawRows(g, PageRows(), ModeOfPage(mPage) < 0);
    }
    if (!mTipText.empty() && FONT_EXCITED != nullptr)
    {
        g->SetColor(Color(kTitleYellow[0], kTitleYellow[1], kTitleYellow[2]));
        g->SetFont(FONT_EXCITED);
        g->WriteWordWrapped(Rect(200, 500, mWidth - 400, mHeight - 520), mTipText, -1, kLeftAligned, nullptr,
                            TipCharactersShown(mUpdateCounter));
    }
    Fader::DeferOverlay();
}

void TopTenList::DrawOverlay(Graphics* g)
{
    Fader::Draw(g, 0, 0, mWidth, mHeight);
}

std::vector<TopTenList::Row> TopTenList::PageRows()
{
    std::vector<Row> rows;
    bool highlighted = false;
    auto add = [&](const std::string& label, const ScoreEntry& entry, bool matches)
    {
        Row row{label, entry, !highlighted && matches};
        highlighted = highlighted || row.highlighted;
        rows.push_back(row);
    };
    if (int mode = ModeOfPage(mPage); mode >= 0)
    {
        ScoreList list = *mApp->mTopScores.List(mode);
        for (int rank = 1; rank <= kRowsShown && !list.empty(); ++rank)
        {
            add(std::to_string(rank) + ".", list.top(), MatchesLastGame(list.top()));
            list.pop();
        }
    }
    for (const std::string& id : ChallengeIdsOfPage(mPage))
    {
        // A challenge without an entry gets an empty one in the scores, which a later game of
        // it then has to beat.
        const ScoreEntry& entry = mApp->mTopScores.mChallengeScores[id];
        add(StringTable::GetString(248, id), entry, id == mLastChallengeKey && MatchesLastGame(entry));
    }
    return rows;
}

void TopTenList::DrawRows(Graphics* g, const std::vector<Row>& rows, bool challenges)
{
    const Color yellow(kTitleYellow[0], kTitleYellow[1], kTitleYellow[2]);
    if (FONT_LABEL != nullptr)
    {
        g->SetColor(yellow);
        g->SetFont(FONT_LABEL);
        DrawStringCentred(g, StringTable::GetString(229), challenges ? 300 : 270, kHeaderY);
        if (!challenges) DrawStringCentred(g, StringTable::GetString(230), 400, kHeaderY);
        DrawStringCentred(g, StringTable::GetString(231), challenges ? 500 : 540, kHeaderY);
    }
    g->SetFont(FONT_TEXT);
    for (size_t i = 0; i < rows.size(); ++i)
    {
        const Row& row = rows[i];
        const int y = kRowTop + int(i) * kRowPitch;
        if (i % 2 == 0)
        {
            g->SetColor(kStripe);
            g->FillRect(165, y - 20, 467, 30);
        }
        g->SetColor(row.highlighted ? HighlightColour(mPulse) : Color::White);
        DrawStringCentred(g, row.label, 200, y);
        if (challenges)
        {
            if (row.entry.score > 0) DrawStringCentred(g, std::to_string(row.entry.score), 300, y);
            DrawStringCentred(g, row.entry.name, 500, y);
        }
        else
        {
            DrawStringCentred(g, std::to_string(row.entry.score), 270, y);
            DrawStringCentred(g, std::to_string(row.entry.level), 400, y);
            DrawStringCentred(g, row.entry.name, 540, y);
        }
    }
}

} // namespace Kavo
