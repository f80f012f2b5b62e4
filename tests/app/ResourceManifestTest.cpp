#include "AppTestSupport.h"

#include "display/DDImage.h"
#include "graphics/ImageLib.h"
#include "graphics/MemoryImage.h"
#include "media/ResourceManager.h"
#include "platform/files/Files.h"
#include "tests/ScratchNames.h"

#include <filesystem>
#include <fstream>
#include <vector>

namespace
{

using apptest::ExitCodeOf;
using apptest::TestApp;

// The manifest has a fixed name in the working folder, so each test works in a folder of its own.
class ResourceManifestTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        home = platform::CurrentFolder();
        std::string folder = scratch::FreshFolder("manifest-");
        ASSERT_TRUE(platform::SetCurrentFolder(folder));
        std::filesystem::create_directories("properties");
    }
    void TearDown() override { platform::SetCurrentFolder(home); }

    std::string home;
};

TEST_F(ResourceManifestTest, AMissingOrBadManifestEndsTheProgramWithItsError)
{
    {
        TestApp app;
        EXPECT_EQ(ExitCodeOf([&] { app.LoadResourceManifest(); }), 0);
        EXPECT_EQ(app.mBoxes, std::vector<std::string>{
                                  "FATAL ERROR: Resource file not found: properties\\resources.xml"});
    }
    std::ofstream("properties/resources.xml")
        << "<ResourceManifest>\n<Resources id=\"\"/>\n</ResourceManifest>\n";
    TestApp app;
    EXPECT_EQ(ExitCodeOf([&] { app.LoadResourceManifest(); }), 0);
    EXPECT_EQ(app.mBoxes, std::vector<std::string>{"FATAL ERROR: No id specified. on Line 2 in File "
                                                   "'properties\\resources.xml'"});

    // Without exit the error is only shown.
    app.mBoxes.clear();
    EXPECT_EQ(ExitCodeOf([&] { app.ShowResourceError(false); }), -1);
    EXPECT_EQ(app.mBoxes.size(), 1u);
}

// The application's resource manager loads through the application's shared images, and is gone
// before the shared images are.
TEST_F(ResourceManifestTest, TheManifestLoadsThroughTheApplication)
{
    ImageLib::Image pixels;
    ASSERT_TRUE(pixels.Allocate(2, 1));
    pixels.bits[0] = 0xFF123456;
    pixels.bits[1] = 0xFF654321;
    ASSERT_TRUE(ImageLib::WritePNG("properties/logo.png", pixels));
    std::ofstream("properties/resources.xml") << "<ResourceManifest>\n"
                                                 "<Resources id=\"Init\">\n"
                                                 "  <SetDefaults path=\"properties\" idprefix=\"IMAGE_\"/>\n"
                                                 "  <Image path=\"logo\" nopal=\"\"/>\n"
                                                 "</Resources>\n"
                                                 "</ResourceManifest>\n";
    TestApp app;
    EXPECT_EQ(ExitCodeOf([&] { app.LoadResourceManifest(); }), -1);
    EXPECT_TRUE(app.mBoxes.empty());
    ASSERT_TRUE(app.mResourceManager->LoadResources("Init")) << app.mResourceManager->GetErrorText();
    Kavo::SharedImageHandle logo = app.mResourceManager->GetImageOrThrow("IMAGE_logo");
    bool isNew = true;
    Kavo::SharedImageHandle shared = app.GetSharedImage("PROPERTIES/LOGO", "", &isNew);
    EXPECT_FALSE(isNew);
    EXPECT_EQ(shared.GetImage(), logo.GetImage());
    EXPECT_EQ(logo->GetPixel(1, 0), 0xFF654321u);
}

void WritePng(const std::string& path, const std::vector<uint32_t>& pixels)
{
    ImageLib::Image image;
    ASSERT_TRUE(image.Allocate(int(pixels.size()), 1));
    std::copy(pixels.begin(), pixels.end(), image.bits.get());
    ASSERT_TRUE(ImageLib::WritePNG(path, image));
}

// On a display, an image marked ddsurface and without alpha lives in its surface alone; one with
// alpha keeps its software pixels. A later resource of the same picture that asks for a palette
// leaves the surface the image has, and only notes the palette for the image's next set-up.
TEST_F(ResourceManifestTest, SurfaceImagesLiveInTheirSurface)
{
    WritePng("properties/opaque.png", {0xFF123456, 0xFF654321});
    WritePng("properties/soft.png", {0x80123456, 0xFF654321});
    std::ofstream("properties/resources.xml") << "<ResourceManifest>\n"
                                                 "<Resources id=\"Init\">\n"
                                                 "  <SetDefaults path=\"properties\"/>\n"
                                                 "  <Image id=\"OPAQUE\" path=\"opaque\" ddsurface=\"\"/>\n"
                                                 "  <Image id=\"SOFT\" path=\"soft\" ddsurface=\"\"/>\n"
                                                 "</Resources>\n"
                                                 "<Resources id=\"Later\">\n"
                                                 "  <Image id=\"AGAIN\" path=\"opaque\"/>\n"
                                                 "</Resources>\n"
                                                 "</ResourceManifest>\n";
    platform::FakeClock clock;
    TestApp app;
    app.RegistryWriteBoolean("Is3D", false);
    app.Initialize();
    ASSERT_FALSE(app.Is3DAccelerated());
    app.LoadResourceManifest();
    ASSERT_TRUE(app.mResourceManager->LoadResources("Init")) << app.mResourceManager->GetErrorText();

    Kavo::SharedImageHandle opaqueHandle = app.mResourceManager->GetImageOrThrow("OPAQUE");
    auto* opaque = dynamic_cast<Kavo::DDImage*>(opaqueHandle.GetImage());
    ASSERT_TRUE(opaque);
    EXPECT_TRUE(opaque->mWantSurface);
    ASSERT_NE(opaque->mSurface, nullptr);
    EXPECT_EQ(opaque->bits, nullptr);
    EXPECT_FALSE(opaque->IsPalettized());
    EXPECT_EQ(opaque->nativeAlphaData, nullptr);

    Kavo::SharedImageHandle softHandle = app.mResourceManager->GetImageOrThrow("SOFT");
    auto* soft = dynamic_cast<Kavo::DDImage*>(softHandle.GetImage());
    ASSERT_TRUE(soft);
    EXPECT_FALSE(soft->mWantSurface);
    EXPECT_FALSE(soft->purgeBits);
    EXPECT_EQ(soft->mSurface, nullptr);
    EXPECT_TRUE(soft->IsPalettized()); // two colours: the palette is made at once

    platform::DisplaySurface* surface = opaque->mSurface.get();
    ASSERT_TRUE(app.mResourceManager->LoadResources("Later")) << app.mResourceManager->GetErrorText();
    EXPECT_EQ(app.mResourceManager->GetImageOrThrow("AGAIN").GetImage(), opaque);
    EXPECT_EQ(opaque->mSurface.get(), surface);
    EXPECT_FALSE(opaque->IsPalettized());
    EXPECT_TRUE(opaque->wantPal);
    // The surface holds the picture.
    const uint32_t* back = opaque->GetBits();
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back[0], 0xFF123456u);
    EXPECT_EQ(back[1], 0xFF654321u);
}

} // namespace
