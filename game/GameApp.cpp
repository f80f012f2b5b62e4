#include "game/GameApp.h"

#include "base/Logger.h"
#include "base/Random.h"
#include "platform/Clock.h"
#include "raster/TriangleRasterizer.h"

namespace Kavo
{

GameApp::GameApp()
{
    // Transformed blits and triangles draw through the rasteriser's fillers.
    InitTriangleRasterizerTable();
    SRand(platform::Clock::Get().Ticks());
    mLogger = std::make_unique<Logger>();
    mMusicVolume = 0.8;
    mSfxVolume = 0.55;
    mIsWindowed = false;
    mProductVersion = "1.01";
    mProductName = "Orlavintide";
    mCompanyName = "VelquisGames";
    mTitle = "Orlavintide - " + mProductVersion;
    mAllowMaximize = true;
    mRegKey = "VelquisGames\\Orlavintide";
    mWidth = 800;
    mHeight = 600;
    mTwinklingStars = false;
    mAutoEnable3D = true;
    mVSyncUpdates = true;
    mMusicTrack = -1;
}

GameApp::~GameApp() = default;

void GameApp::DeletingDestructor(int flags)
{
    KavoAppBase::DeletingDestructor(flags);
}

void GameApp::Initialize()
{
    KavoAppBase::Initialize();
    mTwinklingStars = mDDInterface && Is3DAccelerationRecommended();
    bool stars = false;
    if (RegistryReadBoolean("TwinklingStars", &stars)) mTwinklingStars = stars;
}

} // namespace Kavo
