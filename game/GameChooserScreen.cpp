#include "game/GameChooserScreen.h"

#include "base/Logger.h"
#include "base/StringTable.h"
#include "base/TextHelpers.h"
#include "game/GameApp.h"
#include "graphics/Font.h"
#include "graphics/Graphics.h"
#include "graphics/Image.h"
#include "puzzle/BoardHintBox.h"
#include "puzzle/DrawingFunctions.h"
#include "puzzle/FancyButton.h"
#include "puzzle/ResourceIds.h"
#include "puzzle/YesNoDialog.h"
#include "widgets/HyperlinkWidget.h"
#include "widgets/WidgetManager.h"

namespace Kavo
{

namespace
{

// The welcome with the player's name, as much of it as the frame's title plate holds: a name too
// long for it is cut and ends in "...".
std::string WelcomeTitle(const std::string& name)
{
    Font* font = FONT_LABEL;
    const std::string whole = StringTable::GetString(176, name);
    if (font == nullptr || font->StringWidth(whole) <= kFrameTitleWidth) return whole;
    auto cut = [&](size_t keep)
    { return StringTable::GetString(176, TrimWhitespace(name.substr(0, keep)) + "..."); };
    // The longest start of the name that fits, found by halves.
    size_t fits = 0, tooLong = name.size();
    while (tooLong - fits > 1)
    {
        const size_t keep = (fits + tooLong) / 2;
        (font->StringWidth(cut(keep)) <= kFrameTitleWidth ? fits : tooLong) = keep;
    }
    return cut(fits);
}

struct MenuButton
{
    int id;
    int label;
    int description;       // 0: none
    int greyedDescription; // 0: the same as description
    const char* eventName;
};

// In the order they are made (and laid out).
constexpr MenuButton kMenuButtons[GameChooserScreen::kButtonCount] = {
    {GameChooserScreen::kResume, 177, 258, 0, "mainmenu_resume"},
    {GameChooserScreen::kUntimed, 178, 259, 0, "mainmenu_untimed"},
    {GameChooserScreen::kTimed, 179, 260, 0, "mainmenu_timed"},
    {GameChooserScreen::kChallengeGrid, 182, 265, 0, "mainmenu_challengegrid"},
    {GameChooserScreen::kMastermind, 180, 261, 262, "mainmenu_mastermind"},
    {GameChooserScreen::kSpeedblitz, 181, 263, 264, "mainmenu_speedblitz"},
    {GameChooserScreen::kCrazy, 288, 290, 289, "mainmenu_crazy"},
    {GameChooserScreen::kOptions, 184, 0, 0, "mainmenu_options"},
    {GameChooserScreen::kTopTen, 185, 0, 0, "mainmenu_toptenlist"},
    {GameChooserScreen::kChoosePlayer, 186, 0, 0, "mainmenu_chooseuser"},
    {GameChooserScreen::kQuit, 187, 0, 0, "mainmenu_quit"},
};

constexpr int kFirstModeButton = 1; // Untimed; the mode column runs to Crazy
constexpr int kLastModeButton = 6;
constexpr int kColumnX = 53;
constexpr int kColumnWidth = 220;
constexpr int kRowHeight = 39;
constexpr int kResumeY = 164;
constexpr int kColumnTop = 178;
constexpr int kColumnTopWithResume = 203;
const Rect kBottomButtons[4] = {
    {83, 555, 140, 60}, {241, 555, 170, 60}, {429, 555, 180, 60}, {627, 555, 100, 60}};

constexpr float kIntroUnits = 25.0f;
constexpr float kZoomInUnits = 50.0f;
constexpr float kZoomOutUnits = 40.0f;
constexpr int kFadeSteps = 20;
constexpr int kCrazyGridPages = 3;

const std::string kModeRules[] = {"properties/untimed_config.xml", "properties/timed_config.xml",
                                  "properties/untimed_hard_config.xml", "properties/timed_hard_config.xml",
                                  "properties/crazy_config.xml"};

// Guards HandleMenuButton against the updates its blocking fade runs.
bool sMenuBusy = false;

const MenuButton* FindButton(int id)
{
    for (const MenuButton& button : kMenuButtons)
        if (button.id == id) return &button;
    return nullptr;
}

void DrawModulated(Graphics* g, Image* image, int x, int y, int alpha)
{
    if (image == nullptr) return;
    bool colorize = g->GetColorizeImages();
    Color saved = g->GetColor();
    g->SetColorizeImages(true);
    g->SetColor(Color(255, 255, 255, alpha));
    g->DrawImage(image, x, y);
    g->SetColorizeImages(colorize);
    g->SetColor(saved);
}

// The planet scaled by scale about (cx, cy).
void DrawPlanet(Graphics* g, double scale, double cx, double cy)
{
    Image* planet = IMAGE_MENU_PLANET;
    if (planet == nullptr || scale <= 0.0) return;
    int w = int(planet->GetWidth() * scale);
    int h = int(planet->GetHeight() * scale);
    if (w <= 0 || h <= 0) return;
    g->DrawImageStretched(planet, int(cx - w / 2.0), int(cy - h / 2.0), w, h);
}

} // namespace

GameChooserScreen::GameChooserScreen(GameApp* app)
    : Fader(this), mApp(app), mSurveyLink(new HyperlinkWidget(kSurveyLink, this)),
      mReportBugLink(new HyperlinkWidget(kReportBugLink, this))
{
    for (int i = 0; i < kButtonCount; ++i)
        mButtons[i] = new FancyButton(kMenuButtons[i].id, this, FancyButton::kMenuStyle);
}

GameChooserScreen::~GameChooserScreen()
{
    for (FancyButton* button : mButtons)
        delete button;
    delete mSurveyLink;
    delete mReportBugLink;
}

FancyButton* GameChooserScreen::Button(int id)
{
    for (int i = 0; i < kButtonCount; ++i)
        if (kMenuButtons[i].id == id) return mButtons[i];
    return nullptr;
}

std::string GameChooserScreen::EventName(int id)
{
    if (id == kWeeklyChallenge) return "mainmenu_weeklychallenge";
    if (id == kSurveyLink) return "mainmenu_survey";
    if (id == kReportBugLink) return "mainmenu_reportbug";
    const MenuButton* button = FindButton(id);
    return button != nullptr ? button->eventName : std::string();
}

// ---------------------------------------------------------------- life in the widget manager

void GameChooserScreen::AddedToManager(WidgetManager* manager)
{
    Widget::AddedToManager(manager);
    mHoveredId = mShownId = mPendingId = 0;
    mUpdateCounter = 0;
    LayoutButtons(manager);
    SetState(kIntro);
    ClearTrivialList(mStars);
}

void GameChooserScreen::RemovedFromManager(WidgetManager* manager)
{
    Widget::RemovedFromManager(manager);
    RemoveButtons(manager);
}

void GameChooserScreen::RemoveButtons(WidgetManager* manager)
{
    for (FancyButton* button : mButtons)
        manager->RemoveWidget(button);
    manager->RemoveWidget(mSurveyLink);
    manager->RemoveWidget(mReportBugLink);
}

void GameChooserScreen::LayoutButtons(WidgetManager* manager)
{
    const bool resume = mApp->mGameActive || mApp->mSavedGamePresent;
    const UserProfile& player = mApp->mPlayer;
    // Directly in front of the menu, also when it is laid out again under an open dialog.
    Widget* below = this;
    auto add = [&](Widget* widget)
    {
        manager->AddWidgetInfront(widget, below);
        below = widget;
    };
    int top = kColumnTop;
    for (int i = 0; i < kButtonCount; ++i)
    {
        FancyButton* button = mButtons[i];
        button->mLabel = StringTable::GetString(kMenuButtons[i].label);
        button->SetGreyed(false);
    }
    if (resume)
    {
        FancyButton* button = Button(kResume);
        button->Resize(kColumnX, kResumeY, kColumnWidth, kRowHeight);
        button->SetVisible(false);
        button->SetDisabled(false); // a failed resume disabled it
        add(button);
        top = kColumnTopWithResume;
    }
    for (int i = kFirstModeButton; i <= kLastModeButton; ++i)
    {
        FancyButton* button = mButtons[i];
        button->Resize(kColumnX, top + (i - kFirstModeButton) * kRowHeight, kColumnWidth, kRowHeight);
        button->SetVisible(false);
        add(button);
    }
    Button(kMastermind)->SetGreyed(!(player.mGuiFlags & UserProfile::kMastermindOpen));
    Button(kSpeedblitz)->SetGreyed(!(player.mGuiFlags & UserProfile::kSpeedblitzOpen));
    Button(kCrazy)->SetGreyed(player.mUnlockedGridPages < kCrazyGridPages);
    for (int i = 0; i < 4; ++i)
    {
        FancyButton* button = mButtons[kLastModeButton + 1 + i];
        button->Resize(kBottomButtons[i]);
        button->SetVisible(true);
        add(button);
    }
}

void GameChooserScreen::ShowButtons()
{
    for (FancyButton* button : mButtons)
        button->SetVisible(true);
}

void GameChooserScreen::RefreshForPlayer()
{
    WidgetManager* manager = mApp->mWidgetManager;
    RemoveButtons(manager);
    LayoutButtons(manager);
    ShowButtons();
    MarkDirty();
}

void GameChooserScreen::SetWeeklyResult(const std::string& text, int previousBest, int extra)
{
    mWeeklyResult = text;
    mWeeklyPreviousBest = previousBest;
    mWeeklyExtra = extra;
}

// ---------------------------------------------------------------- updates

void GameChooserScreen::SetState(int state)
{
    mState = state;
    mTimer = 0.0f;
}

void GameChooserScreen::Update()
{
    Widget::Update();
    if (mUpdateCounter++ % 2 == 1) SpawnStar(mStars, this);
}

void GameChooserScreen::UpdateF(float fraction)
{
    Widget::UpdateF(fraction);
    UpdateStarField(mStars, fraction, this);
    mTimer += fraction;
    if (mState == kIntro && mTimer > kIntroUnits)
    {
        SetState(kIdle);
        ShowButtons();
        // What went wrong with the settings comes first; the player dialog follows its OK.
        if (mApp->ShowSettingsNotice()) return;
        if (mApp->mPlayer.GetName().empty())
        {
            mApp->OpenPlayerDialog();
        }
        else if (mApp->mGameActive && !(mApp->mPlayer.mDisabledHints & kMenuHintBit))
        {
            auto* hint = new BoardHintBox(this, nullptr, kMenuHintPopupId, kMenuHintBit);
            if (!hint->Show()) delete hint;
        }
    }
    else if (mState == kZoomingIn && mTimer > kZoomInUnits)
    {
        SetState(kPlanetShown);
        mShownId = mHoveredId;
    }
    else if (mState == kZoomingOut && mTimer > kZoomOutUnits)
    {
        SetState(kIdle);
        mShownId = 0;
    }
    else if (mState == kPlanetShown && mHoveredId == 0)
    {
        mApp->PlaySample(SOUND_ZOOMOUT);
        SetState(kZoomingOut);
    }
    else if (mState == kIdle && mShownId != mHoveredId)
    {
        mApp->PlaySample(SOUND_ZOOMIN);
        SetState(kZoomingIn);
    }
    MarkChanges();
}

void GameChooserScreen::MarkChanges()
{
    // The menu moves while it opens and while the planet zooms; at rest only the hovered
    // button's description and the player's name in the title change it (and the stars).
    const std::string name = mApp->mPlayer.GetName();
    if (mState == kIntro || mState == kZoomingIn || mState == kZoomingOut || mState != mShownState ||
        mDescription != mShownDescription || name != mShownName)
        MarkDirty();
    mShownState = mState;
    mShownDescription = mDescription;
    mShownName = name;
}

// ---------------------------------------------------------------- drawing

bool GameChooserScreen::IsOpaque()
{
    return CoversOpaquely(IMAGE_MAINMENU_BACKGROUND, mWidth, mHeight);
}

void GameChooserScreen::Draw(Graphics* g)
{
    g->DrawImage(IMAGE_MAINMENU_BACKGROUND, 0, 0);
    DrawStarField(mStars, g);

    switch (mState)
    {
    case kZoomingIn:
    {
        double t = std::min(mTimer, kZoomInUnits) / kZoomInUnits;
        DrawModulated(g, IMAGE_MAINMENU_OVERLAY, 0, 92, int(Lerp(128, 255, t)));
        DrawPlanet(g, t, Lerp(250, 650, t), Lerp(250, 365, t));
        break;
    }
    case kZoomingOut:
    {
        double t = std::min(mTimer, kZoomOutUnits) / kZoomOutUnits;
        DrawModulated(g, IMAGE_MAINMENU_OVERLAY, 0, 92, int(Lerp(255, 128, t)));
        DrawPlanet(g, 1.0 - t, Lerp(650, 250, t), Lerp(365, 250, t));
        break;
    }
    case kPlanetShown:
        g->DrawImage(IMAGE_MAINMENU_OVERLAY, 0, 92);
        DrawPlanet(g, 1.0, 650, 365);
        if (FONT_EXCITED != nullptr)
        {
            g->SetFont(FONT_EXCITED);
            g->SetColor(Color(kTitleYellow[0], kTitleYellow[1], kTitleYellow[2]));
            g->WriteWordWrapped(Rect(552, 327, 200, 170), mDescription, -1, 0);
        }
        break;
    default:
        DrawModulated(g, IMAGE_MAINMENU_OVERLAY, 0, 92, 128);
        break;
    }

    if (mState == kIntro)
        g->DrawImageF(IMAGE_MAINMENU_FLOAT, float(Lerp(-440, -83, mTimer / kIntroUnits)), 60.0f);
    else
        g->DrawImage(IMAGE_MAINMENU_FLOAT, -83, 60);

    const std::string name = mApp->mPlayer.GetName();
    DrawScreenFrame(g, mWidth, mHeight, name.empty() ? std::string() : WelcomeTitle(name),
                    kFrameTitle | kFrameSides | kFrameBottomBubble);
    if (mState == kIntro) DrawWhiteFlash(g, 0, 0, mWidth, mHeight, 1.0 - mTimer / kIntroUnits);
    Fader::DeferOverlay();
}

void GameChooserScreen::DrawOverlay(Graphics* g)
{
    Fader::Draw(g, 0, 0, mWidth, mHeight);
}

// ---------------------------------------------------------------- buttons

void GameChooserScreen::ButtonMouseEnter(int id)
{
    const MenuButton* button = FindButton(id);
    mDescription.clear();
    if (button != nullptr && button->description != 0)
    {
        FancyButton* widget = Button(id);
        int text = (widget->IsGreyed() && button->greyedDescription != 0) ? button->greyedDescription
                                                                          : button->description;
        mDescription = StringTable::GetString(text);
    }
    mHoveredId = mDescription.empty() ? 0 : id;
    MarkChanges(); // a shown planet takes the new description at once
}

void GameChooserScreen::ButtonMouseLeave(int id)
{
    (void)id;
    mHoveredId = 0;
}

void GameChooserScreen::ButtonDepress(int id)
{
    if (fading) return; // a click inside the frames of the menu's own fade
    if (Logger* log = Logger::Instance()) log->LogControl(EventName(id), std::string());
    const bool oldGame = mApp->mGameActive || mApp->mSavedGamePresent;
    const bool startsSomethingNew = id == kUntimed || id == kTimed || id == kMastermind ||
                                    id == kSpeedblitz || id == kChallengeGrid || id == kCrazy ||
                                    id == kWeeklyChallenge;
    if (!oldGame || !startsSomethingNew)
    {
        HandleMenuButton(id);
        return;
    }
    mPendingId = id;
    const bool saved = mApp->mSavedGamePresent;
    auto* dialog = new YesNoDialog(StringTable::GetString(saved ? 188 : 190),
                                   StringTable::GetString(saved ? 189 : 191), this, false, kConfirmDialogId);
    mApp->AddDialogWithId(kConfirmDialogId, dialog);
}

void GameChooserScreen::DialogButtonDepress(int dialogId, int buttonId)
{
    if (dialogId == kConfirmDialogId)
    {
        Logger* log = Logger::Instance();
        if (buttonId == YesNoDialog::ID_YES)
        {
            if (log != nullptr) log->LogControl("confirm_discardoldgame_ok", std::string());
            mApp->AbandonGame(true);
            mApp->KillDialog(dialogId);
            HandleMenuButton(mPendingId);
            return;
        }
        if (log != nullptr) log->LogControl("confirm_discardoldgame_cancel", std::string());
    }
    mApp->KillDialog(dialogId);
}

void GameChooserScreen::OnPopupClosed(int popupId, int result)
{
    (void)popupId;
    (void)result;
}

void GameChooserScreen::HandleMenuButton(int id)
{
    if (sMenuBusy) return;
    sMenuBusy = true;
    // False when the menu has left the screen meanwhile: the action is no longer its own.
    auto fade = [this] { return FadeOut(kFadeSteps, Color::Black); };
    switch (id)
    {
    case kUntimed:
    case kTimed:
    case kMastermind:
    case kSpeedblitz:
    case kCrazy:
    {
        int mode = id == kCrazy ? 4 : id - kUntimed;
        if (fade()) mApp->LoadRulesAndStart(kModeRules[mode]);
        break;
    }
    case kChallengeGrid:
        if (fade()) mApp->ShowChallengeGrid();
        break;
    case kResume:
        if (!fade()) break;
        if (mApp->mGameActive)
            mApp->ReturnToGame();
        else if (mApp->mSavedGamePresent && !mApp->ResumeSavedGame())
            Button(kResume)->SetDisabled(true);
        break;
    case kOptions:
        mApp->OpenOptionsDialog();
        break;
    case kTopTen:
        if (fade()) mApp->ShowTopTenList();
        break;
    case kChoosePlayer:
        mApp->OpenPlayerDialog();
        break;
    case kQuit:
        mApp->Shutdown();
        break;
    case kSurveyLink:
        mApp->OpenURL(kSurveyAddress);
        break;
    default:
        break;
    }
    sMenuBusy = false;
}

} // namespace Kavo
