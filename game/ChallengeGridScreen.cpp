#include "game/ChallengeGridScreen.h"

#include "base/Logger.h"
#include "base/StringTable.h"
#include "base/TextHelpers.h"
#include "base/XMLParser.h"
#include "game/ChallengeInfoDialog.h"
#include "game/GameApp.h"
#include "game/ScreenButtons.h"
#include "graphics/Graphics.h"
#include "graphics/Image.h"
#include "puzzle/BoardHintBox.h"
#include "puzzle/DrawingFunctions.h"
#include "puzzle/FancyChallengeButton.h"
#include "puzzle/ResourceIds.h"
#include "rules/RulesFlags.h"
#include "widgets/ButtonWidget.h"
#include "widgets/WidgetManager.h"

#include <algorithm>

namespace Kavo
{

namespace
{

constexpr int kFadeSteps = 20;
constexpr int kButtonLeft = 146;
constexpr int kButtonTop = 115;
constexpr int kButtonPitchX = 130;
constexpr int kButtonPitchY = 96;
constexpr int kButtonWidth = 123;
constexpr int kButtonHeight = 95;
constexpr int kWelcomeHint = 0x1000;
// The legend of the medals on the left: its title, then a star and a name for each medal, below
// the previous-page arrow (which ends at y 319) and above the frame's corner (from y 478).
constexpr int kLegendX = 20;
constexpr int kLegendTitleBaseline = 338;
constexpr int kLegendStarX = 26;
constexpr int kLegendStarTop = 345;
constexpr int kLegendNameX = 64;
constexpr int kLegendNameBaseline = 369;
constexpr int kLegendRowPitch = 32;
constexpr const char* kEventChallenge = "challengegrid_challengebtn";

// The field elements of a page file that hold text, in the record's order.
enum class Field
{
    None,
    ID,
    Name,
    Desc,
    Requirements,
    ConfigFile,
    Bronze,
    Silver,
    Gold,
    Ultra,
    QuickDesc,
    StarPoints,
};

Field FieldOf(const std::string& name, int& quickDesc)
{
    static const struct
    {
        const char* name;
        Field field;
    } kFields[] = {{"ID", Field::ID},
                   {"Name", Field::Name},
                   {"Desc", Field::Desc},
                   {"Requirements", Field::Requirements},
                   {"ConfigFile", Field::ConfigFile},
                   {"BronzeScoreRequirement", Field::Bronze},
                   {"SilverScoreRequirement", Field::Silver},
                   {"GoldScoreRequirement", Field::Gold},
                   {"UltraScoreRequirement", Field::Ultra},
                   {"StarPointsNeededToBeatGrid", Field::StarPoints}};
    for (const auto& f : kFields)
        if (name == f.name) return f.field;
    for (int i = 1; i <= 10; ++i)
        if (name == "QuickDesc" + std::to_string(i))
        {
            quickDesc = i - 1;
            return Field::QuickDesc;
        }
    return Field::None;
}

Color Yellow()
{
    return Color(kTitleYellow[0], kTitleYellow[1], kTitleYellow[2]);
}

} // namespace

ChallengeGridScreen::ChallengeGridScreen(GameApp* app)
    : Fader(this), mApp(app), mPreviousButton(new ButtonWidget(kPreviousPage, this)),
      mNextButton(new ButtonWidget(kNextPage, this)),
      mMainMenuButton(new ButtonWidget(kMainMenu, this)), mPageLists{ChallengeList(&app->mPlayer),
                                                                     ChallengeList(&app->mPlayer),
                                                                     ChallengeList(&app->mPlayer)}
{
    for (int i = 0; i < ChallengeList::kShown; ++i)
        mChallengeButtons[i] = new FancyChallengeButton(kFirstChallenge + i, this);
}

ChallengeGridScreen::~ChallengeGridScreen()
{
    for (FancyChallengeButton* button : mChallengeButtons)
        delete button;
    delete mPreviousButton;
    delete mNextButton;
    delete mMainMenuButton;
}

void ChallengeGridScreen::SetLastResult(const std::string& id, int previousBest)
{
    mLastResultId = id;
    mLastResultScore = previousBest;
}

// ---------------------------------------------------------------- page files

bool ChallengeGridScreen::LoadGridFiles()
{
    bool all = true;
    for (int page = 0; page < kPages; ++page)
        all = LoadGridFile(page, "properties/ChallengeGrid" + std::to_string(page + 1) + ".xml") && all;
    return all;
}

bool ChallengeGridScreen::LoadGridFile(int page, const std::string& fileName)
{
    // A page whose file has gone must not show the challenges of an earlier reading.
    mPageLists[page].mRecords.clear();
    XMLParser parser;
    if (!parser.OpenFile(fileName)) return false;
    return ReadGridXml(mPageLists[page], parser);
}

bool ChallengeGridScreen::ReadGridXml(ChallengeList& page, XMLParser& parser)
{
    page.mRecords.clear();
    ChallengeRecord record;
    XMLElement element;
    while (parser.NextElement(element))
    {
        if (element.type == XMLElement::TYPE_END)
        {
            if (element.section == "challenges") break;
            if (element.section != "challenges/challenge") continue;
            page.mRecords.push_back(record);
            // Desc, Requirements and the score requirements carry over to the next record.
            record.ID.clear();
            record.Name.clear();
            record.ConfigFile.clear();
            for (std::string& line : record.QuickDesc)
                line.clear();
            continue;
        }
        if (element.type != XMLElement::TYPE_START) continue;
        int quickDesc = 0;
        const Field field = FieldOf(element.value, quickDesc);
        if (field == Field::None) continue;
        auto found = element.attributes.find("value");
        const std::string value = found != element.attributes.end() ? found->second : std::string();
        switch (field)
        {
        case Field::ID:
            record.ID = value;
            break;
        case Field::Name:
            record.Name = value;
            break;
        case Field::Desc:
            record.Desc = StringReplaceAll(value, "\\n", "\n");
            break;
        case Field::Requirements:
            record.Requirements = value;
            break;
        case Field::ConfigFile:
            record.ConfigFile = value;
            break;
        case Field::Bronze:
            record.BronzeScoreRequirement = StringToIntBase10(value);
            break;
        case Field::Silver:
            record.SilverScoreRequirement = StringToIntBase10(value);
            break;
        case Field::Gold:
            record.GoldScoreRequirement = StringToIntBase10(value);
            break;
        case Field::Ultra:
            record.UltraScoreRequirement = StringToIntBase10(value);
            break;
        case Field::QuickDesc:
            record.QuickDesc[quickDesc] = value;
            break;
        case Field::StarPoints:
            page.StarPointsNeededToBeatGrid = StringToIntBase10(value);
            break;
        case Field::None:
            break;
        }
    }
    return true;
}

// ---------------------------------------------------------------- pages, medals and stars

void ChallengeGridScreen::SetPage(int page)
{
    mPage = std::clamp(page, 0, kPages - 1);
    UserProfile& player = mApp->mPlayer;
    const ChallengeList& list = mPageLists[mPage];
    const bool locked = mPage > player.mUnlockedGridPages;
    for (int i = 0; i < ChallengeList::kShown; ++i)
    {
        const ChallengeRecord* record = list.At(i);
        if (record == nullptr || locked)
            mChallengeButtons[i]->SetMedal(-1);
        else
            mChallengeButtons[i]->SetChallenge(record->ID, record->Title(), list.GetMedalLevel(i, -1));
    }
    UpdatePageButtons();
    UpdateStarPoints();

    const int unlocked = player.mUnlockedGridPages;
    if (unlocked >= 0 && unlocked < kPages)
    {
        const int threshold = mPageLists[unlocked].StarPointsNeededToBeatGrid;
        if (threshold >= 1 && mStarPoints >= threshold)
        {
            player.mUnlockedGridPages = unlocked + 1;
            mPageJustUnlocked = true;
        }
    }
    MarkDirty();
}

void ChallengeGridScreen::UpdatePageButtons()
{
    mPreviousButton->SetVisible(mPage > 0);
    mNextButton->SetVisible(mPage < kPages - 1);
}

void ChallengeGridScreen::UpdateStarPoints()
{
    int points = 0;
    for (const ChallengeList& list : mPageLists)
        for (int i = 0; i < std::min(ChallengeList::kShown, list.Count()); ++i)
        {
            const int medal = list.GetMedalLevel(i, -1);
            if (medal >= 1 && medal <= 4) points += medal;
        }
    mStarPoints = points;
}

int ChallengeGridScreen::GetNextStarThreshold() const
{
    for (const ChallengeList& list : mPageLists)
        if (list.StarPointsNeededToBeatGrid > mStarPoints) return list.StarPointsNeededToBeatGrid;
    return -1;
}

std::string ChallengeGridScreen::StatusText() const
{
    const int next = GetNextStarThreshold();
    if (next < 0)
    {
        if (mStarPoints >= kMostStarPoints) return StringTable::GetString(300);
        if (mStarPoints >= 160) return StringTable::GetString(299);
        if (mStarPoints >= 100) return StringTable::GetString(298);
        return StringTable::GetString(297);
    }
    const bool lastGridOpen = mStarPoints >= mPageLists[1].StarPointsNeededToBeatGrid;
    return StringTable::GetString(lastGridOpen ? 312 : 296, std::to_string(next));
}

// ---------------------------------------------------------------- life in the widget manager

void ChallengeGridScreen::AddedToManager(WidgetManager* manager)
{
    Widget::AddedToManager(manager);
    LoadGridFiles();
    // Its widgets lie directly in front of it, so a dialog over it stays over them.
    Widget* below = this;
    auto add = [&](Widget* widget)
    {
        manager->AddWidgetInfront(widget, below);
        below = widget;
    };
    for (int i = 0; i < ChallengeList::kShown; ++i)
    {
        FancyChallengeButton* button = mChallengeButtons[i];
        button->Resize(kButtonLeft + kButtonPitchX * (i % 4), kButtonTop + kButtonPitchY * (i / 4),
                       kButtonWidth, kButtonHeight);
        button->mHandCursor = true;
        add(button);
    }
    PlaceMainMenuButton(mMainMenuButton);
    PlaceImageButton(mNextButton, IMAGE_TOPTEN_RIGHT_ARROW, 668, 287, 32, 32);
    PlaceImageButton(mPreviousButton, IMAGE_TOPTEN_LEFT_ARROW, 100, 287, 32, 32);
    add(mMainMenuButton);
    add(mNextButton);
    add(mPreviousButton);

    bool found = false;
    if (!mLastResultId.empty())
        for (int page = 0; page < kPages && !found; ++page)
        {
            const int index = mPageLists[page].IndexOfId(mLastResultId);
            if (index < 0) continue;
            found = true;
            SetPage(page);
            ShowChallengeInfo(index, true);
        }
    // A result that no page holds any more (the files changed) opens nothing, but the buttons
    // still show the pages as read now.
    if (!found) SetPage(mPage);

    // A fade-in cut short by a move to another screen shows no hints over that screen.
    if (FadeIn(kFadeSteps, Color::Black)) ShowHints();
    mLastResultId.clear();
    mLastResultScore = -1;
    mPageJustUnlocked = false;
    mUpdateCounter = 0;
}

void ChallengeGridScreen::ShowHints()
{
    const int disabled = mApp->mPlayer.mDisabledHints;
    auto show = [this](int bit)
    {
        auto* hint = new BoardHintBox(this, nullptr, kHintPopupId, bit);
        if (!hint->Show()) delete hint;
    };
    if (!(disabled & kWelcomeHint) && mLastResultId.empty())
        show(kWelcomeHint);
    else if (!(disabled & hintChallengeGridGoingStrong) && mStarPoints > GetNextStarThreshold() / 2)
        show(hintChallengeGridGoingStrong);
    if (mPageJustUnlocked)
    {
        switch (mApp->mPlayer.mUnlockedGridPages)
        {
        case 1:
            show(hintUnlockedChallengeGrid2);
            break;
        case 2:
            show(hintUnlockedChallengeGrid3);
            break;
        case 3:
            show(hintBeatAllChallengeGrids);
            break;
        default:
            show(kWelcomeHint);
            break;
        }
    }
}

void ChallengeGridScreen::RemovedFromManager(WidgetManager* manager)
{
    Widget::RemovedFromManager(manager);
    for (FancyChallengeButton* button : mChallengeButtons)
        manager->RemoveWidget(button);
    manager->RemoveWidget(mNextButton);
    manager->RemoveWidget(mPreviousButton);
    manager->RemoveWidget(mMainMenuButton);
}

void ChallengeGridScreen::Update()
{
    if (mUpdateCounter % 2 == 1) SpawnStar(mStars, this);
    ++mUpdateCounter;
}

void ChallengeGridScreen::UpdateF(float fraction)
{
    UpdateStarField(mStars, fraction, this);
}

// ---------------------------------------------------------------- buttons and the dialog

void ChallengeGridScreen::ButtonDepress(int id)
{
    if (fading) return; // a click inside the frames of the grid's own fade
    Logger* log = Logger::Instance();
    switch (id)
    {
    case kNextPage:
        SetPage(mPage == kPages - 1 ? 0 : mPage + 1);
        return;
    case kPreviousPage:
        SetPage(mPage == 0 ? kPages - 1 : mPage - 1);
        return;
    case kMainMenu:
        if (log != nullptr) log->LogControl("challengegrid_mainmenu", std::string());
        if (FadeOut(kFadeSteps, Color::White)) mApp->StartGame(0);
        return;
    default:
        break;
    }
    if (id >= kFirstChallenge && id < kFirstChallenge + ChallengeList::kShown)
    {
        if (log != nullptr) log->LogControl(kEventChallenge, std::to_string(id - kFirstChallenge));
        ShowChallengeInfo(id - kFirstChallenge, false);
    }
}

void ChallengeGridScreen::ShowChallengeInfo(int index, bool showResult)
{
    const ChallengeList& list = mPageLists[mPage];
    const ChallengeRecord* record = list.At(index);
    if (record == nullptr) return;
    mSelected = index;
    const int best = mApp->mPlayer.GetChallengeScore(record->ID);
    const int earlier = showResult ? mLastResultScore : best;
    auto* dialog = new ChallengeInfoDialog(&list, index, earlier, best, showResult, this);
    mApp->AddDialogWithId(kInfoDialogId, dialog);
}

void ChallengeGridScreen::DialogButtonDepress(int dialogId, int buttonId)
{
    if (dialogId != kInfoDialogId || buttonId != ChallengeInfoDialog::ID_OK) return;
    const ChallengeRecord* record = mPageLists[mPage].At(mSelected);
    if (record == nullptr) return;
    // The pages are read again when the grid is next shown: the game takes its own copy.
    const ChallengeRecord challenge = *record;
    if (FadeOut(kFadeSteps, Color::Black))
        mApp->LoadRulesAndStart("properties\\" + challenge.ConfigFile, &challenge);
}

void ChallengeGridScreen::OnPopupClosed(int popupId, int result)
{
    (void)popupId;
    (void)result;
}

// ---------------------------------------------------------------- drawing

bool ChallengeGridScreen::IsOpaque()
{
    return CoversOpaquely(IMAGE_CHALLENGEGRID_BACKGROUND, mWidth, mHeight);
}

void ChallengeGridScreen::Draw(Graphics* g)
{
    g->DrawImage(IMAGE_CHALLENGEGRID_BACKGROUND, 0, 0);
    DrawScreenFrame(g, mWidth, mHeight, StringTable::GetString(147),
                    kFrameTitle | kFrameSides | kFrameMainMenuLeft);
    DrawStarField(mStars, g);
    g->SetColor(Color(0, 0, 0, 100));
    g->FillRect(137, 113, 525, 383);

    g->SetColor(Yellow());
    if (FONT_LABEL != nullptr)
    {
        g->SetFont(FONT_LABEL);
        DrawStringCentred(g, StringTable::GetString(295, std::to_string(mStarPoints)), 400, 534);
    }
    if (FONT_EXCITED != nullptr)
    {
        g->SetFont(FONT_EXCITED);
        DrawStringCentred(g, StatusText(), 400, 568);
    }
    if (FONT_LABEL != nullptr)
    {
        g->SetFont(FONT_LABEL);
        g->DrawString(StringTable::GetString(319), kLegendX, kLegendTitleBaseline);
        for (int k = 0; k < 4; ++k)
        {
            const Rect star = LegendStarRect(k);
            if (Image* stars = IMAGE_CHALLENGEGRID_STARS) g->DrawImageCel(stars, star.mX, star.mY, k);
            g->DrawString(StringTable::GetString(320 + k), kLegendNameX, LegendNameBaseline(k));
        }
    }
    Fader::DeferOverlay();
}

Rect ChallengeGridScreen::LegendStarRect(int medal)
{
    Image* stars = IMAGE_CHALLENGEGRID_STARS;
    const int w = stars != nullptr ? stars->GetCelWidth() : 0,
              h = stars != nullptr ? stars->GetCelHeight() : 0;
    return Rect(kLegendStarX, kLegendStarTop + kLegendRowPitch * medal, w, h);
}

int ChallengeGridScreen::LegendNameBaseline(int medal)
{
    return kLegendNameBaseline + kLegendRowPitch * medal;
}

void ChallengeGridScreen::DrawOverlay(Graphics* g)
{
    Fader::Draw(g, 0, 0, mWidth, mHeight);
}

} // namespace Kavo
