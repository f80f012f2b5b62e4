#include "ResourceTestSupport.h"

#include "graphics/Graphics.h"
#include "graphics/ImageFont.h"
#include "graphics/MemoryImage.h"
#include "graphics/SysFont.h"

#include <gtest/gtest.h>

namespace
{

using Kavo::ImageFont;
using Kavo::ResourceManager;
using Kavo::SysFont;

// A two-glyph font: "A" 3 pixels wide and "B" 2 wide, side by side in a 5 x 4 strip, with a
// layer that only the tag "bold" selects.
const char* const kDescription = "Define Chars (\"A\" \"B\");\n"
                                 "CreateHorzSpanRectList Rects (0 0 0 4) (3 2);\n"
                                 "SetDefaultPointSize 10;\n"
                                 "CreateLayer Main;\n"
                                 "LayerSetImage Main 'strip';\n"
                                 "LayerSetImageMap Main Chars Rects;\n"
                                 "LayerSetCharWidths Main Chars (4 3);\n"
                                 "LayerSetAscent Main 4;\n"
                                 "LayerSetPointSize Main 10;\n"
                                 "CreateLayerFrom Bold Main;\n"
                                 "LayerRequireTags Bold (\"bold\");\n";

class ResourceFontTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        folder = restest::Folder();
        std::vector<uint32_t> strip(5 * 4, 0xFFFFFFFF);
        restest::WritePng(folder + "strip.png", 5, 4, strip);
        restest::WriteFile(folder + "font.txt", kDescription);
        restest::WriteFile(folder + "widths.txt", "2 4\nA 3\nB 2\n");
        restest::WriteFile(folder + "bad.txt", "NoSuchCommand;\n");
    }

    void Read(ResourceManager& manager, const std::string& groups)
    {
        restest::ReadInFolder(manager, folder, groups);
    }

    std::string folder;
    restest::FakeHost host;
};

TEST_F(ResourceFontTest, DescriptionFontsTagsAndCopies)
{
    ResourceManager manager(&host);
    Read(manager, "<Resources id=\"Fonts\">\n"
                  "  <Font id=\"PLAIN\" path=\"font.txt\"/>\n"
                  "  <Font id=\"TAGGED\" path=\"font.txt\" tags=\"bold, Shiny\n\tx,,\"/>\n"
                  "  <Font id=\"LONG\" path=\"font.txt\" tags=\"" +
                      std::string(1022, 'a') +
                      ",zz\"/>\n"
                      "  <Font id=\"COPY\" path=\"!ref:TAGGED\"/>\n"
                      "</Resources>\n"
                      "<Resources id=\"RefMissing\"><Font id=\"R\" path=\"!ref:NONE\"/></Resources>\n"
                      "<Resources id=\"RefLater\"><Font id=\"R2\" path=\"!ref:LATE\"/><Font id=\"LATE\" "
                      "path=\"font.txt\"/></Resources>\n"
                      "<Resources id=\"Bad\"><Font id=\"BAD\" path=\"bad.txt\"/></Resources>\n");
    ASSERT_TRUE(manager.LoadResources("Fonts")) << manager.GetErrorText();

    auto* plain = dynamic_cast<ImageFont*>(manager.GetFontOrThrow("PLAIN"));
    auto* tagged = dynamic_cast<ImageFont*>(manager.GetFontOrThrow("TAGGED"));
    auto* longTags = dynamic_cast<ImageFont*>(manager.GetFontOrThrow("LONG"));
    auto* copy = dynamic_cast<ImageFont*>(manager.GetFontOrThrow("COPY"));
    ASSERT_TRUE(plain && tagged && longTags && copy);
    EXPECT_TRUE(plain->tags.empty());
    EXPECT_EQ(plain->CharWidth('A'), 4);
    EXPECT_EQ(tagged->tags, (std::vector<std::string>{"BOLD", "SHINY", "X"}));
    EXPECT_TRUE(tagged->activeLayersValid); // prepared after its tags
    EXPECT_EQ(tagged->activeLayers.size(), 2u);
    EXPECT_EQ(longTags->tags, std::vector<std::string>{std::string(1022, 'A')}); // the text is cut at 1023
    EXPECT_NE(copy, tagged);
    EXPECT_EQ(copy->fontData, tagged->fontData);
    EXPECT_EQ(copy->tags, tagged->tags);

    EXPECT_FALSE(manager.LoadResources("RefMissing"));
    EXPECT_EQ(manager.GetErrorText(), "Ref font not found: NONE");
    EXPECT_FALSE(manager.LoadResources("RefLater")); // copies only what is loaded already
    EXPECT_EQ(manager.GetErrorText(), "Ref font not found: LATE");

    EXPECT_FALSE(manager.LoadResources("Bad"));
    EXPECT_EQ(manager.GetErrorText(), "Failed to load font: " + folder + "bad.txt");
    EXPECT_EQ(host.popups.size(), 1u); // the description's own error box
    EXPECT_THROW(manager.GetFontOrThrow("BAD"), Kavo::ResourceManagerException);
}

TEST_F(ResourceFontTest, SystemFonts)
{
    ResourceManager manager(&host);
    Read(manager, "<Resources id=\"Fonts\">\n"
                  "  <Font id=\"SYS\" path=\"!sys:Sans\" size=\"12\" bold=\"\" shadow=\"\"/>\n"
                  "  <Font id=\"SMALL\" path=\"!sys:Sans\" size=\"8\"/>\n"
                  "  <Font id=\"COPY\" path=\"!ref:SYS\"/>\n"
                  "</Resources>\n");
    ASSERT_TRUE(manager.LoadResources("Fonts")) << manager.GetErrorText();
    auto* sys = dynamic_cast<SysFont*>(manager.GetFontOrThrow("SYS"));
    auto* small = dynamic_cast<SysFont*>(manager.GetFontOrThrow("SMALL"));
    auto* copy = dynamic_cast<SysFont*>(manager.GetFontOrThrow("COPY"));
    ASSERT_TRUE(sys && small && copy);
    EXPECT_TRUE(sys->drawShadow);
    EXPECT_FALSE(sys->simulateBold); // real bold on this system
    EXPECT_FALSE(small->drawShadow);
    EXPECT_GT(sys->GetHeight(), small->GetHeight());
    EXPECT_NE(copy, sys);
    EXPECT_EQ(copy->GetHeight(), sys->GetHeight());
}

// A font from an image and a widths file; the image path is used as given.
TEST_F(ResourceFontTest, ImageAndWidthsFonts)
{
    ResourceManager manager(&host);
    Read(
        manager,
        "<Resources id=\"Old\"><Font id=\"OLD\" path=\"widths.txt\" image=\"" + folder +
            "strip\"/></Resources>\n"
            "<Resources id=\"Copy\"><Font id=\"COPY\" path=\"!ref:OLD\"/></Resources>\n"
            "<Resources id=\"NotPrefixed\"><Font id=\"N\" path=\"widths.txt\" image=\"strip\"/></Resources>\n"
            "<Resources id=\"NoWidths\"><Font id=\"W\" path=\"nosuch.txt\" image=\"" +
            folder + "strip\"/></Resources>\n");
    ASSERT_TRUE(manager.LoadResources("Old")) << manager.GetErrorText();
    ASSERT_TRUE(manager.LoadResources("Copy")) << manager.GetErrorText();
    Kavo::Font* old = manager.GetFontOrThrow("OLD");
    EXPECT_EQ(old->CharWidth('A'), 3);
    EXPECT_EQ(old->CharWidth('B'), 2);
    EXPECT_EQ(old->CharWidth('a'), 3); // the other case stands in

    EXPECT_FALSE(manager.LoadResources("NotPrefixed"));
    EXPECT_EQ(manager.GetErrorText(), "Failed to load image: strip");
    EXPECT_FALSE(manager.LoadResources("NoWidths"));
    EXPECT_EQ(manager.GetErrorText(), "Failed to load font: " + folder + "nosuch.txt");

    // The copy draws from the same picture, which lives on after the original's group is gone.
    manager.DeleteResources("Old");
    EXPECT_THROW(manager.GetFontOrThrow("OLD"), Kavo::ResourceManagerException);
    Kavo::Font* copy = manager.GetFontOrThrow("COPY");
    Kavo::MemoryImage target;
    target.Create(8, 6);
    Kavo::Graphics g(&target);
    copy->DrawString(&g, 1, 5, "AB", Kavo::Color::White, Kavo::Rect(0, 0, 8, 6));
    int lit = 0;
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 8; ++x)
            lit += target.GetPixel(x, y) != 0;
    EXPECT_EQ(lit, 5 * 4);
}

} // namespace
