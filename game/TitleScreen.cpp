#include "game/TitleScreen.h"

#include "base/Logger.h"
#include "base/StringTable.h"
#include "base/StringUtils.h"
#include "game/GameApp.h"
#include "graphics/Graphics.h"
#include "graphics/Image.h"
#include "puzzle/DrawingFunctions.h"
#include "puzzle/ResourceIds.h"
#include "widgets/ButtonWidget.h"
#include "widgets/WidgetManager.h"

#include <cmath>

namespace Kavo
{

namespace
{

constexpr int kTextReady = 219;
constexpr int kTextLoading = 220;
constexpr int kFadeSteps = 30;
constexpr int kDarkestAlpha = 160; // of the black over the loading view at no progress

bool IsPresent(Image* image)
{
    return image != nullptr && image->GetWidth() > 1;
}

} // namespace

TitleScreen::TitleScreen(GameApp* app) : Fader(this), mApp(app) {}

TitleScreen::~TitleScreen()
{
    delete mContinueButton;
}

void TitleScreen::CreateContinueButton()
{
    if (mContinueButton == nullptr) mContinueButton = new ButtonWidget(kContinueButtonId, this);
}

void TitleScreen::SetLoaded()
{
    mLoaded = true;
}

void TitleScreen::AddedToManager(WidgetManager* manager)
{
    if (Logger* log = Logger::Instance()) log->SetScreen("titlescreen");
    Widget::AddedToManager(manager);
    mMinUpdates = 0;
    for (Image* splash : {IMAGE_SPLASH1, IMAGE_SPLASH2, IMAGE_SPLASH3})
        if (IsPresent(splash)) mMinUpdates += kUpdatesPerSplash;
    if (mContinueButton == nullptr) return;
    mContinueButton->SetVisible(false);
    mContinueButton->SetDisabled(true);
    mContinueButton->mNoDraw = true;
    mContinueButton->mHandCursor = true;
    mContinueButton->Resize(0, 0, mWidth, mHeight);
    manager->AddWidgetInfront(mContinueButton, this);
}

void TitleScreen::RemovedFromManager(WidgetManager* manager)
{
    Widget::RemovedFromManager(manager);
    if (mContinueButton != nullptr) manager->RemoveWidget(mContinueButton);
}

void TitleScreen::Update()
{
    Widget::Update();
    Image* splash = SplashAt(mUpdateCount);
    ++mUpdateCount;
    if (mUpdateCount % 2 == 1) SpawnStar(mStars, this);
    if (mLoaded && mUpdateCount >= mMinUpdates && mContinueButton != nullptr)
    {
        mContinueButton->SetVisible(true);
        mContinueButton->SetDisabled(false);
    }
    mLoadingProgress = mApp != nullptr ? mApp->GetLoadingThreadProgress() : 0.0;
    // The whole view darkens with the shown progress; the badge moves on a little after it.
    const bool progressMoves = SmoothProgress(mShownProgress, mLoadingProgress) != mShownProgress ||
                               (std::fabs(1.0 - mShownProgress) < 0.001 &&
                                mShownProgress + 0.001 * double(mDrawsAfterLoaded / 2) < 1.0);
    if (splash != SplashAt(mUpdateCount) || (splash == nullptr && progressMoves)) MarkDirty();
}

void TitleScreen::UpdateF(float fraction)
{
    UpdateStarField(mStars, fraction, this);
}

Image* TitleScreen::SplashAt(int updateCount)
{
    const struct
    {
        Image* image;
        int until;
    } splashes[] = {{IMAGE_SPLASH1, 100}, {IMAGE_SPLASH2, 200}, {IMAGE_SPLASH3, 300}};
    for (const auto& splash : splashes)
        if (updateCount < splash.until && IsPresent(splash.image)) return splash.image;
    return nullptr;
}

double TitleScreen::SmoothProgress(double shown, double p)
{
    double d = p - shown;
    if (d > 0.1) return shown + 0.03;
    if (d > 0.01) return shown + 0.01;
    return p;
}

std::string TitleScreen::BadgeText(double p)
{
    if (p * 100.0 == 100.0) return StringTable::GetString(kTextReady);
    return StringTable::GetString(kTextLoading, StrFormat("%02d", int(p * 100.0)));
}

bool TitleScreen::IsOpaque()
{
    Image* splash = SplashAt(mUpdateCount);
    return CoversOpaquely(splash != nullptr ? splash : IMAGE_LOADER_BACKGROUND, mWidth, mHeight);
}

void TitleScreen::Draw(Graphics* g)
{
    if (Image* splash = SplashAt(mUpdateCount))
    {
        g->DrawImage(splash, 0, 0);
        Fader::DeferOverlay();
        return;
    }

    g->DrawImage(IMAGE_LOADER_BACKGROUND, 0, 0);
    DrawStarField(mStars, g);

    // The progress this frame shows (FrameDrawn keeps it once the frame is drawn).
    const double p = mLoadingProgress;
    const double shown = SmoothProgress(mShownProgress, p);
    g->SetColor(Color(0, 0, 0, int((1.0 - shown) * kDarkestAlpha)));
    g->FillRect(0, 0, mWidth, mHeight);
    g->DrawImage(IMAGE_LOADER_LOGO, 65, 39);

    const std::string text = BadgeText(p);
    double fraction = shown;
    if (std::fabs(1.0 - shown) < 0.001) fraction = shown + 0.001 * double((mDrawsAfterLoaded + 1) / 2);
    DrawProgressBadge(g, 401.0f, 420.0f, float(fraction), text);

    g->DrawImage(IMAGE_VELQUIS, 55, 485);
    if (IsPresent(IMAGE_PUBLISHER)) g->DrawImage(IMAGE_PUBLISHER, 550, 510);
    Fader::DeferOverlay();
}

void TitleScreen::FrameDrawn()
{
    if (SplashAt(mUpdateCount) != nullptr) return;
    mShownProgress = SmoothProgress(mShownProgress, mLoadingProgress);
    if (std::fabs(1.0 - mShownProgress) < 0.001) ++mDrawsAfterLoaded;
}

void TitleScreen::DrawOverlay(Graphics* g)
{
    Fader::Draw(g, 0, 0, mWidth, mHeight);
}

void TitleScreen::ButtonDepress(int id)
{
    // Each update readies the button again, also during the fade: the later clicks of a double
    // click arrive here while the first one's fade runs, and are not taken.
    if (id != kContinueButtonId || mContinueButton == nullptr || fading) return;
    if (Logger* log = Logger::Instance()) log->LogControl("titlescreen_ok", std::string());
    mApp->PlaySample(SOUND_LONGCHAIN);
    mContinueButton->SetDisabled(true);
    if (!FadeOut(kFadeSteps, Color::White) || mApp->mShutdown) return;

    // Both go between frames; the application builds the other screens at once.
    if (mManager != nullptr)
    {
        WidgetManager* manager = mManager;
        manager->RemoveWidget(this);
        manager->RemoveWidget(mContinueButton);
    }
    mApp->SafeDeleteWidget(this);
    mApp->SafeDeleteWidget(mContinueButton);
    mContinueButton = nullptr;
    mApp->CreateScreens();
}

} // namespace Kavo
