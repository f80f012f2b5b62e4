#include "FontFixture.h"

#include "graphics/FontData.h"
#include "graphics/SingleDataElement.h"

#include <gtest/gtest.h>

namespace
{

using namespace Kavo;
using namespace FontFixture;

FontLayer& Layer(FontData& data, const std::string& name)
{
    return *data.mFontLayersByName.at(name);
}

TEST(FontData, LoadsLayersTablesAndDefines)
{
    FakeHost host;
    std::string path = MakeFixtureFont();
    FontData data;
    ASSERT_TRUE(data.Load(&host, path));
    ASSERT_TRUE(data.mInitialized) << (host.popups.empty() ? "" : host.popups[0]);
    EXPECT_TRUE(host.popups.empty());
    EXPECT_FALSE(data.Load(&host, path)); // only once

    // The image is looked up beside the description.
    EXPECT_EQ(host.requested, (std::vector<std::string>{"fontfix-LoadsLayersTablesAndDefines/strip"}));
    EXPECT_EQ(data.mDefaultPointSize, 10);
    EXPECT_EQ(data.mCharMap[uint8_t('b')], 'B');
    EXPECT_EQ(data.mCharMap[uint8_t('v')], 'V');
    EXPECT_EQ(data.mCharMap[0xE9], 0xE9);

    ASSERT_EQ(data.mFontLayers.size(), 4u);
    FontLayer& main = Layer(data, "MAIN");
    EXPECT_EQ(&main, &data.mFontLayers.front());
    struct Glyph
    {
        uint8_t c;
        Rect rect;
        int width;
    };
    const Glyph glyphs[] = {
        {'A', Rect(0, 0, 3, 4), 4}, {'B', Rect(3, 0, 2, 4), 3},   {'V', Rect(5, 0, 3, 4), 4},
        {'a', Rect(8, 0, 2, 4), 3}, {0xE9, Rect(10, 0, 1, 4), 2}, {'.', Rect(11, 0, 1, 4), 2},
        {'Z', Rect(), 0},
    };
    for (const Glyph& g : glyphs)
    {
        EXPECT_EQ(main.mCharData[g.c].mImageRect, g.rect) << g.c;
        EXPECT_EQ(main.mCharData[g.c].mWidth, g.width) << g.c;
    }
    EXPECT_EQ(main.mDefaultHeight, 4);
    EXPECT_EQ(main.mAscent, 4);
    EXPECT_EQ(main.mPointSize, 10);
    EXPECT_EQ(main.mMinPointSize, 1);
    EXPECT_EQ(main.mMaxPointSize, 19);
    EXPECT_EQ(main.mCharData[uint8_t('A')].mKerningOffsets[uint8_t('V')], -1);
    EXPECT_EQ(main.mDrawMode, -1);
    EXPECT_EQ(main.mColorMult, Color::White);
    EXPECT_TRUE(main.mImage.GetImage()->IsPalettized());

    // Copies keep everything of their source, share its image and change what they set.
    FontLayer& shadow = Layer(data, "SHADOW");
    EXPECT_EQ(shadow.mImage.GetImage(), main.mImage.GetImage());
    EXPECT_EQ(shadow.mCharData[uint8_t('B')].mImageRect, Rect(3, 0, 2, 4));
    EXPECT_EQ(shadow.mOffset, Point(1, 1));
    EXPECT_EQ(shadow.mColorMult, Color(0, 0, 0, 255));
    EXPECT_EQ(shadow.mBaseOrder, -1);
    EXPECT_EQ(Layer(data, "BOLD").mRequiredTags, (std::vector<std::string>{"BOLD"}));
    EXPECT_EQ(Layer(data, "LARGE").mMinPointSize, 20);
    EXPECT_EQ(Layer(data, "LARGE").mMaxPointSize, -1);

    EXPECT_EQ(DescParser::DataElementToString(data.FindDefine("rects")),
              "((0, 0, 3, 4), (3, 0, 2, 4), (5, 0, 3, 4), (8, 0, 2, 4), (10, 0, 1, 4), (11, 0, 1, 4))");
}

TEST(FontData, CommandsSetTheirFields)
{
    FakeHost host;
    host.AddImage("img.png", ImageFromArt({"####", "####"}));
    std::string path = WriteTestFile(".txt", "CreateLayer L; LayerSetImage L 'img.png';\n"
                                             "createlayer M; layerexcludetags L ('a' \"B\");\n"
                                             "LayerSetDrawMode L 1; LayerSetColorAdd L (1.0 0.5 0 0.25);\n"
                                             "LayerSetColorMult M 0x00102030; LayerSetHeight L 9;\n"
                                             "LayerSetAscentPadding L 2; LayerSetLineSpacingOffset L -3;\n"
                                             "LayerSetSpacing L 1; LayerSetBaseOrder L 5;\n"
                                             "LayerSetCharOrders L ('x' 'y') (3 -4);\n"
                                             "LayerSetImageMap L ('x') ((1 0 2 2));\n"
                                             "LayerSetCharOffsets L ('x' 'y') ((1 2) (-1 -5));\n"
                                             "LayerSetKerningPairs L ('xy' \"y'\") (200 -200);\n"
                                             "Define Name 'quoted'; Define Copy Name; Define N2 (Name 4);\n"
                                             "CreateHorzSpanRectList Span (10 20 0 16) (5 7);\n");
    FontData data;
    data.Load(&host, path);
    ASSERT_TRUE(data.mInitialized) << data.mError;
    FontLayer& l = Layer(data, "L");
    EXPECT_EQ(host.requested, (std::vector<std::string>{"img.png"}));
    EXPECT_EQ(l.mExcludedTags, (std::vector<std::string>{"A", "B"}));
    EXPECT_EQ(l.mDrawMode, 1);
    EXPECT_EQ(l.mColorAdd, Color(255, 127, 0, 63));
    EXPECT_EQ(Layer(data, "M").mColorMult, Color(16, 32, 48, 255));
    EXPECT_EQ(l.mHeight, 9);
    EXPECT_EQ(l.mAscentPadding, 2);
    EXPECT_EQ(l.mLineSpacingOffset, -3);
    EXPECT_EQ(l.mSpacing, 1);
    EXPECT_EQ(l.mBaseOrder, 5);
    EXPECT_EQ(l.mCharData[uint8_t('y')].mOrder, -4);
    EXPECT_EQ(l.mCharData[uint8_t('x')].mImageRect, Rect(1, 0, 2, 2));
    EXPECT_EQ(l.mCharData[uint8_t('y')].mOffset, Point(-1, -5));
    // The default height was taken when the image map was set, before the offsets.
    EXPECT_EQ(l.mDefaultHeight, 2);
    EXPECT_EQ(l.mCharData[uint8_t('x')].mKerningOffsets[uint8_t('y')], -56); // 200 as a signed byte
    EXPECT_EQ(l.mCharData[uint8_t('y')].mKerningOffsets[uint8_t('\'')], 56);
    EXPECT_EQ(DescParser::DataElementToString(data.FindDefine("name")), "'quoted'");
    EXPECT_EQ(DescParser::DataElementToString(data.FindDefine("copy")), "'quoted'");
    EXPECT_EQ(DescParser::DataElementToString(data.FindDefine("n2")), "('quoted', 4)");
    EXPECT_EQ(DescParser::DataElementToString(data.FindDefine("span")), "((10, 20, 5, 16), (15, 20, 7, 16))");
}

TEST(FontData, ErrorsNameFileLineAndCommandAndStopLoading)
{
    struct Case
    {
        const char* command; // follows "CreateLayer L;\n" on line 2
        std::vector<const char*> messages;
    };
    const Case cases[] = {
        {"Frobnicate 1", {"Unknown Command"}},
        {"LayerSetHeight L", {"Invalid Number of Parameters"}},
        {"LayerSetHeight L x", {"Invalid Paramater Type"}},
        {"LayerSetHeight Nope 3", {"Undefined Layer", "Invalid Paramater Type"}},
        {"LayerSetDrawMode L 2", {"Invalid Paramater Type"}},
        {"Define 9lives 1", {"Invalid Paramater Type"}},
        {"LayerSetOffset L (1 2 3)", {"Invalid Paramater Type"}},
        {"LayerSetColorMult L (1 1 1)", {"Invalid Paramater Type"}},
        {"LayerSetCharWidths L ('a' 'b') (1)", {"List Size Mismatch"}},
        {"LayerSetCharWidths L ('a' 'bc') (1 2)", {"Invalid Paramater Type"}},
        {"LayerSetCharWidths L Missing (1)", {"Unable to Dereference \"Missing\"", "Invalid Paramater Type"}},
        {"LayerSetImage L 'none.png'", {"Failed to Load Image"}},
        {"LayerSetImageMap L ('a') ((0 0 1 1))", {"Layer image not set"}},
        {"LayerSetImage L 'img.png'; LayerSetImageMap L ('a' 'b') ((0 0 4 2) (1 1 4 1))",
         {"Image rectangle out of bounds"}},
        {"LayerSetImage L 'img.png'; LayerSetImageMap L ('a') ((0 0 -1 1))",
         {"Image rectangle out of bounds"}},
        {"LayerSetKerningPairs L ('abc') (1)", {"Invalid Paramater Type"}},
        {"(a) b", {"Missing Command"}},
        {"LayerSetHeight L (1", {"Unterminated List"}},
        {"LayerSetHeight L 1)", {"Unexpected List End"}},
        {"LayerSetHeight L 'x", {"Unterminated Single Quotes"}},
    };
    for (const Case& c : cases)
    {
        FakeHost host;
        host.AddImage("img.png", ImageFromArt({"####"}));
        std::string text = std::string("CreateLayer L;\n") + c.command + ";\nCreateLayer After;\n";
        std::string path = WriteTestFile(".txt", text);
        FontData data;
        EXPECT_TRUE(data.Load(&host, path));
        EXPECT_FALSE(data.mInitialized) << c.command;
        EXPECT_EQ(data.mFontLayersByName.count("AFTER"), 0u) << c.command; // nothing after the error runs
        ASSERT_EQ(host.popups.size(), c.messages.size()) << c.command;
        // The failing command is the last one read on line 2.
        std::string command = c.command;
        if (size_t split = command.rfind("; "); split != std::string::npos)
            command = command.substr(split + 2);
        // An open quote runs to the end of the file.
        if (command.ends_with("'x")) command += ";\nCreateLayer After;\n";
        for (size_t i = 0; i < c.messages.size(); ++i)
            EXPECT_EQ(host.popups[i], "Font Descriptor Error in " + path + "\r\n" + c.messages[i] +
                                          " on Line 2:\r\n\r\n" + command);
        EXPECT_EQ(data.mError, host.popups.back());
    }
}

TEST(FontData, ErrorsCountLinesFromTheStartOfTheFailingCommand)
{
    FakeHost host;
    std::string path = WriteTestFile(".txt", "# comment\nCreateLayer A;\n\nCreateLayer B;\n  LayerSetHeight\n"
                                             "   A\n   x;");
    FontData data;
    data.Load(&host, path);
    ASSERT_EQ(host.popups.size(), 1u);
    EXPECT_EQ(host.popups[0], "Font Descriptor Error in " + path +
                                  "\r\nInvalid Paramater Type on Line 5:\r\n\r\nLayerSetHeight\nA\nx");
}

TEST(FontData, RepeatedLayerNamesAreReportedButLoadingGoesOn)
{
    FakeHost host;
    std::string path = WriteTestFile(".txt", "CreateLayer A; LayerSetHeight A 3; CreateLayer a;\n"
                                             "LayerSetHeight A 5; CreateLayerFrom A A;");
    FontData data;
    data.Load(&host, path);
    EXPECT_TRUE(data.mInitialized);
    ASSERT_EQ(host.popups.size(), 2u);
    EXPECT_NE(host.popups[0].find("Layer Already Exists on Line 1"), std::string::npos);
    // The name keeps its first layer; the others stay in the list without a name.
    ASSERT_EQ(data.mFontLayers.size(), 3u);
    EXPECT_EQ(Layer(data, "A").mHeight, 5);
    EXPECT_EQ(&Layer(data, "A"), &data.mFontLayers.front());
    EXPECT_EQ(data.mFontLayers.back().mHeight, 5);
}

TEST(FontData, MissingDescriptionLeavesAnEmptyFontWithoutMessage)
{
    FakeHost host;
    FontData data;
    EXPECT_TRUE(data.Load(&host, "no-such-font.txt"));
    EXPECT_FALSE(data.mInitialized);
    EXPECT_TRUE(host.popups.empty());
    EXPECT_TRUE(data.mFontLayers.empty());
}

TEST(FontData, ErrorsWithoutAnApplicationAreKeptQuietly)
{
    std::string path = WriteTestFile(".txt", "Bad;");
    FontData data;
    data.Load(nullptr, path);
    EXPECT_FALSE(data.mInitialized);
    EXPECT_EQ(data.mError, "Font Descriptor Error in " + path + "\r\nUnknown Command on Line 1:\r\n\r\nBad");
}

TEST(FontData, LegacyWidthsFileBuildsOneLayer)
{
    struct Case
    {
        const char* widths;
        bool loads;
    };
    MemoryImage strip;
    strip.Create(10, 6);
    const Case cases[] = {
        {"4 5\na 3\nb 2 \xE9 1\n", true},
        {"4 5\na 3\n-", true},      // an entry without a number ends the list
        {"4", false},               // no ascent
        {"x y", false},             // no header at all
        {"4 5\na 30\nb 2\n", true}, // a glyph past the image is cut at its edge
    };
    for (const Case& c : cases)
    {
        FontData data;
        std::string path = WriteTestFile(".widths", c.widths);
        EXPECT_EQ(data.LoadLegacy(&strip, path), c.loads) << c.widths;
        EXPECT_EQ(data.mInitialized, c.loads) << c.widths;
        if (!c.loads) continue;
        FontLayer& layer = Layer(data, "");
        EXPECT_EQ(layer.mImage.GetImage(), &strip);
        EXPECT_EQ(layer.mDefaultHeight, 6);
        EXPECT_EQ(layer.mAscent, 5);
        EXPECT_EQ(layer.mCharData[' '].mWidth, 4);
        EXPECT_EQ(layer.mCharData[uint8_t('a')].mImageRect.mHeight, 6);
        // Upper case falls back on lower case where only that exists.
        EXPECT_EQ(data.mCharMap[uint8_t('A')], 'a');
        EXPECT_EQ(data.mCharMap[uint8_t('a')], 'a');
    }
    FontData data;
    ASSERT_TRUE(data.LoadLegacy(&strip, WriteTestFile(".widths", "4 5\na 3\nb 2 \xE9 1\n")));
    FontLayer& layer = Layer(data, "");
    EXPECT_EQ(layer.mCharData[uint8_t('a')].mImageRect, Rect(0, 0, 3, 6));
    EXPECT_EQ(layer.mCharData[uint8_t('b')].mImageRect, Rect(3, 0, 2, 6));
    EXPECT_EQ(layer.mCharData[0xE9].mImageRect, Rect(5, 0, 1, 6));
    EXPECT_EQ(data.mCharMap[uint8_t('B')], 'b');
    EXPECT_FALSE(data.LoadLegacy(&strip, "x")); // only once

    FontData cut;
    ASSERT_TRUE(cut.LoadLegacy(&strip, WriteTestFile(".widths", "4 5\na 30\nb 2\n")));
    EXPECT_EQ(Layer(cut, "").mCharData[uint8_t('a')].mImageRect, Rect(0, 0, 10, 6));
    EXPECT_EQ(Layer(cut, "").mCharData[uint8_t('a')].mWidth, 30);
    EXPECT_EQ(Layer(cut, "").mCharData[uint8_t('b')].mImageRect, Rect(10, 0, 0, 6));

    FontData missing;
    EXPECT_FALSE(missing.LoadLegacy(&strip, "no-such-widths.txt"));
    EXPECT_FALSE(missing.mInitialized);
}

TEST(FontData, LastReferenceDeletes)
{
    auto* data = new FontData();
    data->Ref();
    data->Ref();
    data->DeRef();
    EXPECT_EQ(data->mRefCount, 1);
    data->DeRef(); // deleted here; the sanitiser build reports a leak or a double delete
}

} // namespace
