#include "ResourceTestSupport.h"

#include "display/DDImage.h"
#include "graphics/ImageLib.h"
#include "graphics/MemoryImage.h"

#include <gtest/gtest.h>

namespace
{

using Kavo::ResourceManager;
using Kavo::ResourceManagerException;
using restest::FakeHost;

class ResourceLoadingTest : public ::testing::Test
{
protected:
    void SetUp() override { folder = restest::Folder(); }

    void Read(ResourceManager& manager, const std::string& groups)
    {
        restest::ReadInFolder(manager, folder, groups);
    }
    void Png(const std::string& name, int w, int h, const std::vector<uint32_t>& pixels)
    {
        restest::WritePng(folder + name + ".png", w, h, pixels);
    }
    // The text the lookup throws; empty when it does not throw.
    template <typename Lookup>
    std::string Thrown(Lookup lookup)
    {
        try
        {
            lookup();
        }
        catch (const ResourceManagerException& e)
        {
            return e.what();
        }
        return std::string();
    }

    std::string folder;
    FakeHost host;
};

// One resource per call in manifest order (a group split over two elements is one list), then
// the lookups of what is loaded and of what is not.
TEST_F(ResourceLoadingTest, StepLoadingAndLookups)
{
    for (const char* name : {"a", "b", "t"})
        Png(name, 2, 1, {0xFF112233, 0xFF445566});
    ResourceManager manager(&host);
    Read(manager, "<Resources id=\"Game\">\n"
                  "  <Image id=\"IMAGE_A\" path=\"a\"/>\n"
                  "  <Image id=\"IMAGE_MADE\" path=\"!program\"/>\n"
                  "  <Sound id=\"SOUND_S\" path=\"s\" volume=\"0\"/>\n"
                  "</Resources>\n"
                  "<Resources id=\"Title\"><Image id=\"IMAGE_T\" path=\"t\"/></Resources>\n"
                  "<Resources id=\"Game\"><Image id=\"IMAGE_B\" path=\"b\"/></Resources>\n"
                  "<Resources id=\"Later\"><Sound id=\"SOUND_LATER\" path=\"later\"/></Resources>\n");
    EXPECT_EQ(manager.CountGroupResources("Game"), 3);

    // Reading the manifest starts no group: a step before StartLoadResources loads nothing, not
    // the last group read.
    EXPECT_FALSE(manager.LoadNextResource());
    EXPECT_TRUE(host.sounds.log.empty());
    EXPECT_FALSE(manager.HadError());

    manager.StartLoadResources("Game");
    EXPECT_TRUE(manager.LoadNextResource());
    EXPECT_EQ(host.requested, std::vector<std::string>{folder + "a"});
    EXPECT_TRUE(host.sounds.log.empty());
    EXPECT_TRUE(manager.LoadNextResource());
    EXPECT_EQ(host.sounds.log, (std::vector<std::string>{"load 0 " + folder + "s", "volume 0 0"}));
    EXPECT_TRUE(manager.LoadNextResource());
    EXPECT_EQ(host.requested, (std::vector<std::string>{folder + "a", folder + "b"}));
    EXPECT_FALSE(manager.LoadNextResource()); // nothing left, and no error
    EXPECT_FALSE(manager.LoadNextResource());
    EXPECT_FALSE(manager.HadError());

    // The lookups hand out what is loaded; the manager keeps its own image reference.
    Kavo::SharedImage* shared = host.Shared(folder + "a");
    ASSERT_TRUE(shared);
    {
        Kavo::SharedImageHandle handle = manager.GetImageOrThrow("IMAGE_A");
        EXPECT_EQ(handle.GetImage(), shared->image);
        EXPECT_EQ(shared->refCount, 2);
    }
    EXPECT_EQ(shared->refCount, 1);
    EXPECT_EQ(manager.GetSoundOrThrow("SOUND_S"), 0);
    EXPECT_FALSE(manager.HadError());

    // Loading the group again loads nothing; another group loads on its own.
    EXPECT_TRUE(manager.LoadResources("Game"));
    EXPECT_EQ(host.requested.size(), 2u);
    EXPECT_EQ(Thrown([&] { manager.GetImageOrThrow("IMAGE_T"); }), "Image resource not found: IMAGE_T");
    EXPECT_TRUE(manager.LoadResources("Title")); // clears the lookup's error first
    EXPECT_FALSE(manager.HadError());
    EXPECT_TRUE(manager.GetImageOrThrow("IMAGE_T").GetImage());

    // Failed lookups: not declared, declared but never loaded, ids compared with case. The first
    // error text stays until it is cleared, and every later throw carries it.
    EXPECT_EQ(Thrown([&] { manager.GetImageOrThrow("IMAGE_MADE"); }), "Image resource not found: IMAGE_MADE");
    EXPECT_EQ(Thrown([&] { manager.GetImageOrThrow("image_a"); }), "Image resource not found: IMAGE_MADE");
    EXPECT_EQ(manager.GetErrorText(), "Image resource not found: IMAGE_MADE");
    manager.StartLoadResources("Nothing");
    EXPECT_FALSE(manager.LoadNextResource()); // an unknown group is empty
    EXPECT_EQ(Thrown([&] { manager.GetFontOrThrow("FONT_NONE"); }), "Font resource not found: FONT_NONE");
    manager.StartLoadResources("");
    EXPECT_EQ(Thrown([&] { manager.GetSoundOrThrow("SOUND_LATER"); }),
              "Sound resource not found: SOUND_LATER");
}

// Loading stops at the first failure and keeps what loaded before it; the next group starts
// with a cleared error.
TEST_F(ResourceLoadingTest, FailuresStopTheGroup)
{
    Png("a", 1, 1, {0xFF000000});
    ResourceManager manager(&host);
    Read(manager, "<Resources id=\"Broken\">\n"
                  "  <Image id=\"OK\" path=\"a\"/>\n"
                  "  <Image id=\"MISSING\" path=\"nosuch\"/>\n"
                  "  <Image id=\"AFTER\" path=\"a\" variant=\"x\"/>\n"
                  "</Resources>\n"
                  "<Resources id=\"Sounds\"><Sound id=\"S\" path=\"s\"/></Resources>\n"
                  "<Resources id=\"Fine\"><Image id=\"FINE\" path=\"a\"/></Resources>\n");
    EXPECT_FALSE(manager.LoadResources("Broken"));
    EXPECT_EQ(manager.GetErrorText(), "Failed to load image: " + folder + "nosuch");
    EXPECT_EQ(host.requested, (std::vector<std::string>{folder + "a", folder + "nosuch"}));
    EXPECT_TRUE(manager.GetImageOrThrow("OK").GetImage());
    EXPECT_TRUE(manager.LoadResources("Fine"));
    EXPECT_FALSE(manager.HadError());

    host.sounds.refuseLoads = true;
    EXPECT_FALSE(manager.LoadResources("Sounds"));
    EXPECT_EQ(manager.GetErrorText(), "Failed to load sound: " + folder + "s");
    host.sounds.refuseLoads = false;
    for (std::string& file : host.sounds.files)
        file = "taken";
    EXPECT_FALSE(manager.LoadResources("Sounds"));
    EXPECT_EQ(manager.GetErrorText(), "Out of free sound ids");
}

TEST_F(ResourceLoadingTest, SoundVolumeAndPan)
{
    ResourceManager manager(&host);
    Read(manager, "<Resources id=\"S\">\n"
                  "  <Sound id=\"PLAIN\" path=\"plain\"/>\n"
                  "  <Sound id=\"SET\" path=\"set\" volume=\"0.5\" pan=\"-300\"/>\n"
                  "  <Sound id=\"EXTREME\" path=\"extreme\" volume=\"1e999\" pan=\"99999999999\"/>\n"
                  "  <Sound id=\"WORDS\" path=\"words\" volume=\"loud\" pan=\"left\"/>\n"
                  "  <Sound id=\"NEGATIVE\" path=\"negative\" volume=\"-1\" pan=\"-20000\"/>\n"
                  "</Resources>\n");
    ASSERT_TRUE(manager.LoadResources("S"));
    EXPECT_EQ(host.sounds.log, (std::vector<std::string>{
                                   "load 0 " + folder + "plain",
                                   "load 1 " + folder + "set",
                                   "volume 1 0.5",
                                   "pan 1 -300",
                                   "load 2 " + folder + "extreme",
                                   "pan 2 10000",
                                   "load 3 " + folder + "words",
                                   "load 4 " + folder + "negative",
                                   "pan 4 -10000",
                               }));
}

TEST_F(ResourceLoadingTest, DeletingAGroupReleasesItsObjects)
{
    Png("a", 1, 1, {0xFF000000});
    Png("b", 1, 1, {0xFFFFFFFF});
    {
        ResourceManager manager(&host);
        Read(manager, "<Resources id=\"A\">\n"
                      "  <Image id=\"IMAGE\" path=\"a\"/>\n"
                      "  <Sound id=\"SOUND\" path=\"s\"/>\n"
                      "  <Font id=\"FONT\" path=\"!sys:Sans\" size=\"10\"/>\n"
                      "</Resources>\n"
                      "<Resources id=\"B\"><Image id=\"OTHER\" path=\"b\"/></Resources>\n");
        ASSERT_TRUE(manager.LoadResources("A"));
        ASSERT_TRUE(manager.LoadResources("B"));
        Kavo::SharedImage* a = host.Shared(folder + "a");
        Kavo::SharedImage* b = host.Shared(folder + "b");
        ASSERT_TRUE(a && b);

        manager.DeleteResources("A");
        EXPECT_EQ(a->refCount, 0);
        EXPECT_EQ(b->refCount, 1);
        EXPECT_EQ(host.sounds.log.back(), "release 0");
        EXPECT_THROW(manager.GetFontOrThrow("FONT"), ResourceManagerException);
        EXPECT_EQ(manager.CountGroupResources("A"), 3); // still declared

        ASSERT_TRUE(manager.LoadResources("A")); // loads all three again
        EXPECT_EQ(a->refCount, 1);
        EXPECT_EQ(manager.GetSoundOrThrow("SOUND"), 0);
        EXPECT_TRUE(manager.GetFontOrThrow("FONT"));

        manager.DeleteResources(""); // every group
        EXPECT_EQ(a->refCount, 0);
        EXPECT_EQ(b->refCount, 0);
        EXPECT_EQ(host.sounds.log.back(), "release 0");
        ASSERT_TRUE(manager.LoadResources("A"));
        host.sounds.log.clear();
    }
    // The manager's end releases what is still loaded.
    EXPECT_EQ(host.sounds.log, std::vector<std::string>{"release 0"});
    EXPECT_EQ(host.Shared(folder + "a")->refCount, 0);
}

// What each image attribute does to the loaded image; every row has an image of its own.
TEST_F(ResourceLoadingTest, ImageAttributes)
{
    Png("few", 4, 2,
        {0xFF0000FF, 0xFF00FF00, 0xFFFF0000, 0xFF0000FF, 0xFF0000FF, 0xFF00FF00, 0xFFFF0000, 0xFF0000FF});
    Png("soft", 2, 1, {0x80FFFFFF, 0xFFFFFFFF});
    struct Row
    {
        std::string attributes;
        bool palettized;
        bool purgeBits;
        uint32_t hints;
        int rows, cols;
        int animType; // -1: no animation data
        std::vector<int> frameMap;
        std::vector<int> delays;
        int total;
        bool wantSurface = false; // kept in its display surface
    };
    const std::vector<Row> table = {
        {"path=\"few\"", true, false, 0, 1, 1, -1, {}, {}, 0},
        {"path=\"few\" nopal=\"\"", false, false, 0, 1, 1, -1, {}, {}, 0},
        {"path=\"few\" nobits=\"\"", true, true, 0, 1, 1, -1, {}, {}, 0},
        {"path=\"few\" nobits3d=\"\"", true, false, 0, 1, 1, -1, {}, {}, 0},
        {"path=\"few\" nobits2d=\"\"", true, true, 0, 1, 1, -1, {}, {}, 0},
        {"path=\"few\" ddsurface=\"\" nopal=\"\"", false, true, 0, 1, 1, -1, {}, {}, 0, true},
        {"path=\"soft\" ddsurface=\"\" nopal=\"\"", false, false, 0, 1, 1, -1, {}, {}, 0},
        {"path=\"few\" a4r4g4b4=\"\" a8r8g8b8=\"\" minsubdivide=\"\"", true, false, 13, 1, 1, -1, {}, {}, 0},
        {"path=\"few\" a8r8g8b8=\"\"", true, false, 8, 1, 1, -1, {}, {}, 0},
        {"path=\"few\" rows=\"2\" cols=\"4\" anim=\"LOOP\" framedelay=\"5\"",
         true,
         false,
         0,
         2,
         4,
         3,
         {},
         {},
         20},
        {"path=\"few\" cols=\"4\" anim=\"pingpong\" begindelay=\"30\"",
         true,
         false,
         0,
         1,
         4,
         2,
         {0, 1, 2, 3, 2, 1},
         {30, 1, 1, 1, 1, 1},
         35},
        {"path=\"few\" rows=\"2\" cols=\"2\" anim=\"Once\" framemap=\"3,0,3\" perframedelay=\"7,8\" "
         "framedelay=\"2\"",
         true,
         false,
         0,
         2,
         2,
         1,
         {3, 0, 3},
         {7, 8, 2},
         17},
        {"path=\"few\" cols=\"3\" anim=\"once\" framedelay=\"4\" enddelay=\"9\"",
         true,
         false,
         0,
         1,
         3,
         1,
         {},
         {4, 4, 9},
         17},
        {"path=\"few\" anim=\"none\" framedelay=\"9\"", true, false, 0, 1, 1, -1, {}, {}, 0},
    };
    for (bool is3D : {false, true})
    {
        host.is3D = is3D;
        std::string groups = "<Resources id=\"G\">\n";
        for (size_t i = 0; i < table.size(); ++i)
            groups += "<Image id=\"I" + std::to_string(i) + "\" variant=\"" + std::to_string(is3D) + "_" +
                      std::to_string(i) + "\" " + table[i].attributes + "/>\n";
        ResourceManager manager(&host);
        Read(manager, groups + "</Resources>\n");
        ASSERT_TRUE(manager.LoadResources("G")) << manager.GetErrorText();
        for (size_t i = 0; i < table.size(); ++i)
        {
            const Row& row = table[i];
            Kavo::MemoryImage* image = manager.GetImageOrThrow("I" + std::to_string(i)).GetImage();
            ASSERT_TRUE(image);
            // 3D swaps which of nobits3d and nobits2d purges.
            bool purge = row.purgeBits;
            if (row.attributes.find("nobits3d") != std::string::npos) purge = is3D;
            if (row.attributes.find("nobits2d") != std::string::npos) purge = !is3D;
            EXPECT_EQ(image->IsPalettized(), row.palettized) << row.attributes;
            EXPECT_EQ(image->purgeBits, purge) << row.attributes;
            auto* surfaceImage = dynamic_cast<Kavo::DDImage*>(image);
            ASSERT_TRUE(surfaceImage);
            EXPECT_EQ(surfaceImage->mWantSurface, row.wantSurface) << row.attributes;
            EXPECT_EQ(image->d3dFlags, row.hints) << row.attributes;
            EXPECT_EQ(image->numRows, row.rows) << row.attributes;
            EXPECT_EQ(image->numCols, row.cols) << row.attributes;
            if (row.animType < 0)
            {
                EXPECT_FALSE(image->animInfo) << row.attributes;
                continue;
            }
            ASSERT_TRUE(image->animInfo) << row.attributes;
            EXPECT_EQ(image->animInfo->animType, row.animType) << row.attributes;
            EXPECT_EQ(image->animInfo->frameMap, row.frameMap) << row.attributes;
            EXPECT_EQ(image->animInfo->perFrameDelay, row.delays) << row.attributes;
            EXPECT_EQ(image->animInfo->totalAnimTime, row.total) << row.attributes;
        }
    }
}

// Alpha from a separate image (its blue channel), from a one-cel grid repeated over every cel,
// and the colour of an image made from an alpha file alone.
TEST_F(ResourceLoadingTest, AlphaImagesAndGrids)
{
    Png("colour", 4, 2,
        {0xFF102030, 0xFF405060, 0xFF708090, 0xFFA0B0C0, 0xFF010203, 0xFF040506, 0xFF070809, 0xFF0A0B0C});
    Png("mask", 4, 2,
        {0xFF123400, 0xFF000010, 0xFFFFFF80, 0xFF0000FF, 0xFF000001, 0xFF000002, 0xFF000003, 0xFF000004});
    Png("cel", 2, 1, {0xFF000000, 0xFF00007F});
    Png("small", 3, 2, {0, 0, 0, 0, 0, 0});
    Png("_ghost", 1, 2, {0xFF000040, 0xFF0000C0}); // an alpha file without a colour file
    ResourceManager manager(&host);
    Read(manager,
         "<Resources id=\"Good\">\n"
         "  <Image id=\"MASKED\" path=\"colour\" alphaimage=\"mask\" nopal=\"\"/>\n"
         "  <Image id=\"GRID\" path=\"colour\" variant=\"g\" alphagrid=\"cel\" rows=\"2\" cols=\"2\" "
         "nopal=\"\"/>\n"
         "  <Image id=\"GHOST\" path=\"ghost\" alphacolor=\"0x12AB34\" nopal=\"\"/>\n"
         "  <Image id=\"GHOST2\" path=\"ghost\" variant=\"2\" alphacolor=\"zz\" nopal=\"\"/>\n"
         "</Resources>\n"
         "<Resources id=\"Size\"><Image id=\"S\" path=\"colour\" variant=\"s\" "
         "alphaimage=\"small\"/></Resources>\n"
         "<Resources id=\"GridSize\"><Image id=\"GS\" path=\"colour\" variant=\"gs\" alphagrid=\"small\" "
         "cols=\"2\"/>"
         "</Resources>\n"
         "<Resources id=\"NoAlpha\"><Image id=\"N\" path=\"colour\" variant=\"n\" "
         "alphaimage=\"nosuch\"/></Resources>\n");
    ASSERT_TRUE(manager.LoadResources("Good")) << manager.GetErrorText();
    auto pixels = [&](const char* id)
    {
        Kavo::MemoryImage* image = manager.GetImageOrThrow(id).GetImage();
        std::vector<uint32_t> out;
        for (int y = 0; y < image->GetHeight(); ++y)
            for (int x = 0; x < image->GetWidth(); ++x)
                out.push_back(image->GetPixel(x, y));
        return out;
    };
    EXPECT_EQ(pixels("MASKED"), (std::vector<uint32_t>{0x00102030, 0x10405060, 0x80708090, 0xFFA0B0C0,
                                                       0x01010203, 0x02040506, 0x03070809, 0x040A0B0C}));
    EXPECT_EQ(pixels("GRID"), (std::vector<uint32_t>{0x00102030, 0x7F405060, 0x00708090, 0x7FA0B0C0,
                                                     0x00010203, 0x7F040506, 0x00070809, 0x7F0A0B0C}));
    EXPECT_EQ(pixels("GHOST"), (std::vector<uint32_t>{0x4012AB34, 0xC012AB34}));
    EXPECT_EQ(pixels("GHOST2"), (std::vector<uint32_t>{0x40FFFFFF, 0xC0FFFFFF})); // not a number: the default
    EXPECT_EQ(host.composeColors, (std::vector<uint32_t>{0xFFFFFF, 0xFFFFFF, 0x12AB34, 0xFFFFFF}));
    EXPECT_EQ(ImageLib::gAlphaComposeColor, 0xFFFFFFu); // set back after each load

    EXPECT_FALSE(manager.LoadResources("Size"));
    EXPECT_EQ(manager.GetErrorText(),
              "AlphaImage size mismatch between " + folder + "colour and " + folder + "small");
    EXPECT_FALSE(manager.LoadResources("GridSize"));
    EXPECT_EQ(manager.GetErrorText(),
              "GridAlphaImage size mismatch between " + folder + "colour and " + folder + "small");
    EXPECT_FALSE(manager.LoadResources("NoAlpha"));
    EXPECT_EQ(manager.GetErrorText(), "Failed to load image: " + folder + "nosuch");
}

} // namespace
