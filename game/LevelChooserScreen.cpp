#include "game/LevelChooserScreen.h"

#include "base/Logger.h"
#include "base/Point.h"
#include "base/StringTable.h"
#include "game/GameApp.h"
#include "game/ScreenButtons.h"
#include "graphics/Graphics.h"
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

struct Planet
{
    Point button;
    Point spot;
    int firstLevel;
};

const Planet kPlanetTable[LevelChooserScreen::kPlanets] = {
    {{38, 84}, {28, 74}, 1},      {{82, 182}, {72, 172}, 3},    {{45, 293}, {35, 283}, 6},
    {{118, 389}, {108, 379}, 9},  {{277, 477}, {267, 467}, 11}, {{469, 508}, {459, 498}, 14},
    {{593, 426}, {583, 416}, 16}, {{648, 259}, {638, 249}, 19}, {{685, 159}, {675, 149}, 22},
    {{575, 93}, {565, 83}, 25},   {{406, 69}, {396, 59}, 28},   {{252, 113}, {242, 103}, 31},
};

// The planet's picture, or the empty spot that stands for it until it is reached.
Image* PlanetPicture(int index, bool spot)
{
    Image* const planets[LevelChooserScreen::kPlanets][2] = {
        {IMAGE_LEVELCHOOSER_PLANET1, IMAGE_LEVELCHOOSER_PLANETSPOT1},
        {IMAGE_LEVELCHOOSER_PLANET2, IMAGE_LEVELCHOOSER_PLANETSPOT2},
        {IMAGE_LEVELCHOOSER_PLANET3, IMAGE_LEVELCHOOSER_PLANETSPOT3},
        {IMAGE_LEVELCHOOSER_PLANET4, IMAGE_LEVELCHOOSER_PLANETSPOT4},
        {IMAGE_LEVELCHOOSER_PLANET5, IMAGE_LEVELCHOOSER_PLANETSPOT5},
        {IMAGE_LEVELCHOOSER_PLANET6, IMAGE_LEVELCHOOSER_PLANETSPOT6},
        {IMAGE_LEVELCHOOSER_PLANET7, IMAGE_LEVELCHOOSER_PLANETSPOT7},
        {IMAGE_LEVELCHOOSER_PLANET8, IMAGE_LEVELCHOOSER_PLANETSPOT8},
        {IMAGE_LEVELCHOOSER_PLANET9, IMAGE_LEVELCHOOSER_PLANETSPOT9},
        {IMAGE_LEVELCHOOSER_PLANET10, IMAGE_LEVELCHOOSER_PLANETSPOT10},
        {IMAGE_LEVELCHOOSER_PLANET11, IMAGE_LEVELCHOOSER_PLANETSPOT11},
        {IMAGE_LEVELCHOOSER_PLANET12, IMAGE_LEVELCHOOSER_PLANETSPOT12},
    };
    return planets[index][spot ? 1 : 0];
}

// Guards ButtonDepress against the updates its blocking fade runs.
bool sChooserBusy = false;

} // namespace

LevelChooserScreen::LevelChooserScreen(GameApp* app) : Fader(this), mApp(app)
{
    for (int i = 0; i < kPlanets; ++i)
        mPlanetButtons[i] = new ButtonWidget(kFirstPlanetId + i, this);
    mMainMenuButton = new ButtonWidget(kMainMenuId, this);
}

LevelChooserScreen::~LevelChooserScreen()
{
    for (ButtonWidget* button : mPlanetButtons)
        delete button;
    delete mMainMenuButton;
}

int LevelChooserScreen::FirstLevelOfPlanet(int index)
{
    if (index < 0 || index >= kPlanets) return 0;
    return kPlanetTable[index].firstLevel;
}

int LevelChooserScreen::PlanetCountForTopLevel(int topLevel)
{
    // The planet that holds the top level; levels beyond the last planet count as its last.
    const int level = std::min(topLevel, kLastLevel);
    int count = 0;
    while (count < kPlanets && kPlanetTable[count].firstLevel <= level)
        ++count;
    return count;
}

int LevelChooserScreen::UnlockedPlanetCount()
{
    return PlanetCountForTopLevel(mApp->GetTopLevelReached());
}

void LevelChooserScreen::AddedToManager(WidgetManager* manager)
{
    Widget::AddedToManager(manager);
    mUnlocked = UnlockedPlanetCount();
    // Its widgets lie directly in front of it, so a dialog over it stays over them.
    Widget* below = this;
    for (int i = 0; i < mUnlocked; ++i)
    {
        PlaceImageButton(mPlanetButtons[i], PlanetPicture(i, false), kPlanetTable[i].button.mX,
                         kPlanetTable[i].button.mY);
        manager->AddWidgetInfront(mPlanetButtons[i], below);
        below = mPlanetButtons[i];
    }
    PlaceMainMenuButton(mMainMenuButton);
    manager->AddWidgetInfront(mMainMenuButton, below);
    (void)FadeIn(kFadeSteps, Color::Black);
}

void LevelChooserScreen::RemovedFromManager(WidgetManager* manager)
{
    Widget::RemovedFromManager(manager);
    for (ButtonWidget* button : mPlanetButtons)
        manager->RemoveWidget(button);
    manager->RemoveWidget(mMainMenuButton);
}

bool LevelChooserScreen::IsOpaque()
{
    return CoversOpaquely(IMAGE_LEVELCHOOSER_BACKGROUND, mWidth, mHeight);
}

void LevelChooserScreen::Draw(Graphics* g)
{
    Fader::DeferOverlay();
    g->DrawImage(IMAGE_LEVELCHOOSER_BACKGROUND, 0, 0);
    DrawScreenFrame(g, mWidth, mHeight, StringTable::GetString(200),
                    kFrameTitle | kFrameSides | kFrameMainMenuLeft);
    for (int i = mUnlocked; i < kPlanets; ++i)
        g->DrawImage(PlanetPicture(i, true), kPlanetTable[i].spot.mX, kPlanetTable[i].spot.mY);
}

void LevelChooserScreen::DrawOverlay(Graphics* g)
{
    Fader::Draw(g, 0, 0, mWidth, mHeight);
}

void LevelChooserScreen::ButtonDepress(int id)
{
    if (sChooserBusy || fading) return; // a click inside the frames of the chooser's own fade
    sChooserBusy = true;
    Logger* log = Logger::Instance();
    if (id >= kFirstPlanetId && id < kFirstPlanetId + kPlanets)
    {
        const bool goOn = FadeOut(kFadeSteps, Color::Black);
        const int level = FirstLevelOfPlanet(id - kFirstPlanetId);
        if (goOn && log != nullptr) log->LogControl("levelchooser_chooselevel", std::to_string(level));
        if (goOn) mApp->StartGame(level);
    }
    else if (id == kMainMenuId)
    {
        if (log != nullptr) log->LogControl("levelchooser_mainmenu", std::string());
        mApp->StartGame(0);
    }
    sChooserBusy = false;
}

} // namespace Kavo
