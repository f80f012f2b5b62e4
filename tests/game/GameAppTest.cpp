#include "game/GameApp.h"
#include "raster/RasterizerTable.h"

#include <gtest/gtest.h>

namespace
{

TEST(GameApp, StartsWithTheGamesOwnValuesAndTheRasteriserReady)
{
    Kavo::GameApp app;
    EXPECT_EQ(app.mWidth, 800);
    EXPECT_EQ(app.mHeight, 600);
    EXPECT_FALSE(app.mIsWindowed);
    EXPECT_DOUBLE_EQ(app.mMusicVolume, 0.8);
    EXPECT_DOUBLE_EQ(app.mSfxVolume, 0.55);
    EXPECT_EQ(app.mProductVersion, "1.01");
    EXPECT_EQ(app.mProductName, "Orlavintide");
    EXPECT_EQ(app.mCompanyName, "VelquisGames");
    EXPECT_EQ(app.mTitle, "Orlavintide - 1.01");
    EXPECT_EQ(app.mRegKey, "VelquisGames\\Orlavintide");
    EXPECT_TRUE(app.mAllowMaximize);
    EXPECT_TRUE(app.mVSyncUpdates);
    EXPECT_EQ(app.mMusicTrack, -1);
    // Rotated and transformed images draw through the rasteriser's fillers.
    int textured = Kavo::TriangleRasterizerIndex(true, false, false, false, false, 0x8888);
    EXPECT_NE(Kavo::TriangleRasterizerTable[textured], nullptr);
}

} // namespace
