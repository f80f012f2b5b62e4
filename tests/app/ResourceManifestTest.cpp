#include "AppTestSupport.h"

#include "graphics/ImageLib.h"
#include "graphics/MemoryImage.h"
#include "media/ResourceManager.h"
#include "platform/files/Files.h"
#include "tests/ScratchNames.h"

#include <filesystem>
#include <fstream>

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

} // namespace
