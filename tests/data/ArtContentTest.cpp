// The resource manifest, the pictures and the bitmap fonts as the build made them: every bound id
// declared in its group with a file behind it, the sizes and cel grids the screens rely on, fonts
// whose descriptions load, and a background for every level the rules files play.
#include "ShippedData.h"

#include "base/XMLParser.h"
#include "graphics/FileFontHost.h"
#include "graphics/FontData.h"
#include "graphics/ImageFont.h"
#include "graphics/ImageLib.h"
#include "graphics/MemoryImage.h"
#include "media/ResourceManager.h"
#include "media/ResourceManagerException.h"
#include "platform/files/Files.h"
#include "puzzle/ResourceIds.h"
#include "tests/media/ResourceTestSupport.h"
#include "tests/rules/ShippedRules.h"

#include <gtest/gtest.h>

#include <cctype>
#include <map>
#include <memory>
#include <set>
#include <string>

namespace
{

using Kind = Kavo::ResourceKind;

struct Declared
{
    Kind kind = Kind::Image;
    std::string group;
    std::string path;
    int cols = 1;
    int rows = 1;
};

std::string ManifestPath()
{
    return ShippedData::GeneratedContent() + "properties/resources.xml";
}

// The manifest's resources by id; error says what was wrong with the file.
std::map<std::string, Declared> ReadManifest(std::string& error)
{
    std::map<std::string, Declared> declared;
    Kavo::XMLParser parser;
    if (!parser.OpenFile(ManifestPath()))
    {
        error = parser.GetErrorText();
        return declared;
    }
    Kavo::XMLElement element;
    std::string group;
    while (parser.NextElement(element))
    {
        if (element.type != Kavo::XMLElement::TYPE_START) continue;
        auto attr = [&](const char* name)
        {
            auto it = element.attributes.find(name);
            return it == element.attributes.end() ? std::string() : it->second;
        };
        if (element.value == "Resources")
        {
            group = attr("id");
            continue;
        }
        if (element.value != "Image" && element.value != "Font" && element.value != "Sound") continue;
        Declared d;
        d.kind = element.value == "Image" ? Kind::Image : element.value == "Font" ? Kind::Font : Kind::Sound;
        d.group = group;
        d.path = attr("path");
        if (!attr("cols").empty()) d.cols = std::stoi(attr("cols"));
        if (!attr("rows").empty()) d.rows = std::stoi(attr("rows"));
        if (!declared.emplace(attr("id"), d).second) error += "twice: " + attr("id") + "\n";
    }
    if (parser.HasFailed())
        error += parser.GetErrorText() + " on line " + std::to_string(parser.GetCurrentLineNum());
    return declared;
}

class ArtContentTest : public testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        std::string error;
        sManifest = ReadManifest(error);
        sManifestError = error;
    }

    const Declared& Get(const std::string& id)
    {
        static const Declared none;
        auto it = sManifest.find(id);
        return it == sManifest.end() ? none : it->second;
    }

    // The picture behind an image id, read through the framework's readers (null when missing).
    std::unique_ptr<ImageLib::Image> Picture(const std::string& id)
    {
        return ImageLib::GetImage(ShippedData::GeneratedContent() + Get(id).path, false);
    }

    static std::map<std::string, Declared> sManifest;
    static std::string sManifestError;
};

std::map<std::string, Declared> ArtContentTest::sManifest;
std::string ArtContentTest::sManifestError;

TEST_F(ArtContentTest, ManifestDeclaresExactlyTheBoundIdsEachInItsGroupAndKind)
{
    ASSERT_TRUE(sManifestError.empty()) << sManifestError;
    std::set<std::string> bound;
    for (const auto& group : Kavo::kResourceIdGroups)
        for (const auto* e = group.begin; e != group.end; ++e)
        {
            bound.insert(e->id);
            auto it = sManifest.find(e->id);
            ASSERT_NE(it, sManifest.end()) << e->id << " is not declared";
            EXPECT_EQ(it->second.group, group.name) << e->id;
            EXPECT_EQ(int(it->second.kind), int(e->kind)) << e->id;
            EXPECT_FALSE(it->second.path.empty()) << e->id;
        }
    for (const auto& [id, d] : sManifest)
        EXPECT_TRUE(bound.count(id)) << id << " is declared but never bound";
}

TEST_F(ArtContentTest, EveryPictureLoadsAndDividesIntoItsCels)
{
    for (const auto& [id, d] : sManifest)
    {
        if (d.kind != Kind::Image) continue;
        std::unique_ptr<ImageLib::Image> picture = Picture(id);
        ASSERT_TRUE(picture) << id << ": no picture at " << d.path;
        EXPECT_EQ(picture->width % d.cols, 0)
            << id << " is " << picture->width << " wide for " << d.cols << " columns";
        EXPECT_EQ(picture->height % d.rows, 0)
            << id << " is " << picture->height << " high for " << d.rows << " rows";
    }
}

TEST_F(ArtContentTest, PicturesHaveTheSizesAndGridsTheScreensDrawThemWith)
{
    // Cel size and grid; 0 leaves a measure free. The pieces fill a 62 x 60 board cell, explosions
    // and the supernova halo are drawn centred in 124 x 120, the wild piece shows a small piece at
    // (15, 15) of its cell, the loading badge is drawn 98 pixels left and up of its centre, the
    // highlight box is built of 6-pixel pieces, the grid square has a cel per tile colour and
    // the challenge buttons are stretched to 121 x 93.
    struct Case
    {
        const char* id;
        int celWidth, celHeight, cols, rows;
    } cases[] = {
        {"IMAGE_PIECES", 62, 60, 11, 1},
        {"IMAGE_PIECES_MINI", 32, 30, 11, 1},
        {"IMAGE_PIECESEXPLODING", 124, 120, 11, 5},
        {"IMAGE_BLACKHOLE", 62, 60, 1, 8},
        {"IMAGE_SUPERNOVA", 124, 120, 6, 1},
        {"IMAGE_WILDCARD", 62, 60, 1, 1},
        {"IMAGE_GRID_SQUARE", 0, 0, 10, 1},
        {"IMAGE_LOADER_PLANET", 196, 196, 1, 1},
        {"IMAGE_GLOWYBOX_UPLEFTCORNER", 6, 6, 1, 1},
        {"IMAGE_GLOWYBOX_BOTTOMRIGHTCORNER", 6, 6, 1, 1},
        {"IMAGE_GLOWYBOX_LEFTRIGHTPIXEL", 1, 6, 1, 1},
        {"IMAGE_GLOWYBOX_UPDOWNPIXEL", 6, 1, 1, 1},
        {"IMAGE_CHALLENGEGRID_STARS", 0, 0, 4, 1},
        {"IMAGE_CHALLENGEGRID_BUTTON", 121, 93, 1, 1},
        {"IMAGE_CHALLENGEGRID_BUTTONLOCKED", 121, 93, 1, 1},
        {"IMAGE_LOADER_BACKGROUND", 800, 600, 1, 1},
        {"IMAGE_MAINMENU_BACKGROUND", 800, 600, 1, 1},
        {"IMAGE_LEVELCHOOSER_BACKGROUND", 800, 600, 1, 1},
        {"IMAGE_CHALLENGEGRID_BACKGROUND", 800, 600, 1, 1},
        {"IMAGE_TUTORIAL", 800, 600, 1, 1},
        {"IMAGE_SPLASH1", 800, 600, 1, 1},
        {"IMAGE_SPLASH2", 800, 600, 1, 1},
        {"IMAGE_SPLASH3", 800, 600, 1, 1},
    };
    for (const Case& c : cases)
    {
        const Declared& d = Get(c.id);
        EXPECT_EQ(d.cols, c.cols) << c.id;
        EXPECT_EQ(d.rows, c.rows) << c.id;
        std::unique_ptr<ImageLib::Image> picture = Picture(c.id);
        ASSERT_TRUE(picture) << c.id;
        if (c.celWidth)
        {
            EXPECT_EQ(picture->width, c.celWidth * c.cols) << c.id;
        }
        if (c.celHeight)
        {
            EXPECT_EQ(picture->height, c.celHeight * c.rows) << c.id;
        }
    }
    // The check box is two halves side by side.
    std::unique_ptr<ImageLib::Image> checkbox = Picture("IMAGE_CHECKBOX");
    ASSERT_TRUE(checkbox);
    EXPECT_EQ(checkbox->width % 2, 0);
    // A locked planet's spot is 20 pixels larger each way than its planet, drawn 10 up and left.
    for (int k = 1; k <= 12; ++k)
    {
        std::unique_ptr<ImageLib::Image> planet = Picture("IMAGE_LEVELCHOOSER_PLANET" + std::to_string(k));
        std::unique_ptr<ImageLib::Image> spot = Picture("IMAGE_LEVELCHOOSER_PLANETSPOT" + std::to_string(k));
        ASSERT_TRUE(planet && spot) << k;
        EXPECT_EQ(spot->width, planet->width + 20) << k;
        EXPECT_EQ(spot->height, planet->height + 20) << k;
    }
}

TEST_F(ArtContentTest, FramePiecesMeetAroundTheWholeScreen)
{
    auto size = [&](const char* id)
    {
        std::unique_ptr<ImageLib::Image> p = Picture(id);
        EXPECT_TRUE(p) << id;
        return p ? std::make_pair(p->width, p->height) : std::make_pair(0, 0);
    };
    auto top = size("IMAGE_FRAME_TOP_SHADED"), topGame = size("IMAGE_FRAME_TOP_SHADED_GAME");
    auto left = size("IMAGE_FRAME_LEFT_FULL"), right = size("IMAGE_FRAME_RIGHT_FULL");
    auto leftPartial = size("IMAGE_FRAME_LEFT_PARTIAL"), corner = size("IMAGE_FRAME_LEFT_MAINMENU_BTN");
    auto bottom = size("IMAGE_FRAME_BOTTOM_FULL"), bottomPartial = size("IMAGE_FRAME_BOTTOM_PARTIAL");
    auto bubble = size("IMAGE_FRAME_BOTTOM_BUBBLE"), button = size("IMAGE_MAINMENUBTN_HILIGHT");
    // Both tops span the screen at the one height the side pieces start below.
    EXPECT_EQ(top.first, 800);
    EXPECT_EQ(topGame, top);
    // The full sides reach the bottom piece; the partial side reaches the corner, which reaches
    // the foot of the screen; the partial bottom runs from the corner to the right edge.
    EXPECT_EQ(top.second + left.second + bottom.second, 600);
    EXPECT_EQ(right.second, left.second);
    EXPECT_EQ(top.second + leftPartial.second + corner.second, 600);
    EXPECT_EQ(corner.first + bottomPartial.first, 800);
    EXPECT_EQ(bottomPartial.second, bottom.second);
    EXPECT_EQ(bottom.first, 800);
    EXPECT_EQ(bubble.first, 800);
    // The highlighted main-menu button, placed at (11, 489), lies on the corner piece.
    EXPECT_LE(11 + button.first, corner.first);
    EXPECT_GE(489, 600 - corner.second);
    EXPECT_LE(489 + button.second, 600);
}

TEST_F(ArtContentTest, BitmapFontsLoadAndHaveEveryPrintableCharacter)
{
    int fonts = 0;
    for (const auto& [id, d] : sManifest)
    {
        if (d.kind != Kind::Font) continue;
        ++fonts;
        Kavo::FileFontHost host;
        Kavo::ImageFont font(&host, ShippedData::GeneratedContent() + d.path);
        ASSERT_TRUE(font.fontData->mInitialized) << id;
        EXPECT_TRUE(host.Popups().empty()) << id << ": " << (host.Popups().empty() ? "" : host.Popups()[0]);
        EXPECT_GE(font.fontData->mFontLayers.size(), 3u)
            << id << ": a face, an outline and a shadow at least";
        EXPECT_GT(font.GetHeight(), 8) << id;
        for (int c = 32; c < 256; ++c)
        {
            if (c == 127 || c == 0x81 || c == 0x8D || c == 0x8F || c == 0x90 || c == 0x9D)
                continue; // not Windows-1252
            EXPECT_GT(font.CharWidth(char(c)), 0) << id << ": character " << c;
        }
        // Quotes and backslashes are the characters the description language escapes.
        EXPECT_GT(font.StringWidth("\"'\\"), font.StringWidth("'"));
    }
    EXPECT_EQ(fonts, 7);
}

bool BackgroundExists(int id)
{
    return id >= 1 && ImageLib::GetImage(ShippedData::GeneratedContent() + "images/backgrounds/bkgnd" +
                                             std::to_string(id),
                                         false) != nullptr;
}

TEST_F(ArtContentTest, EveryPlayedLevelShowsThePlanetOfTheLevelChooserItBelongsTo)
{
    // The level chooser's planets: the first level of planet 1 to 12.
    const int firstLevel[13] = {1, 3, 6, 9, 11, 14, 16, 19, 22, 25, 28, 31, 34};
    for (const char* file : KavoTest::kModeRulesFiles)
    {
        Kavo::GameRulesConfig rules;
        std::string error;
        ASSERT_TRUE(KavoTest::LoadRulesFile(KavoTest::kShippedProperties + file, rules, error))
            << file << ": " << error;
        int end = KavoTest::GameEndLevel(rules);
        ASSERT_GT(end, 1) << file;
        for (int level = 1; level < end && level <= 33; ++level)
        {
            int planet = 1;
            while (level >= firstLevel[planet])
                ++planet;
            int background = rules.GetLevelConfig(level).nBackgroundID;
            EXPECT_EQ(background, planet) << file << " level " << level;
            EXPECT_TRUE(BackgroundExists(background)) << file << " level " << level;
        }
    }
}

TEST_F(ArtContentTest, EveryChallengeLevelHasABackground)
{
    const std::string folder = KavoTest::kShippedProperties + "challenges/";
    std::vector<platform::FileEntry> files = platform::FindFiles(folder + "*.xml");
    ASSERT_FALSE(files.empty());
    for (const platform::FileEntry& file : files)
    {
        Kavo::GameRulesConfig rules;
        std::string error;
        ASSERT_TRUE(KavoTest::LoadRulesFile(folder + file.name, rules, error)) << file.name << ": " << error;
        int end = KavoTest::GameEndLevel(rules);
        for (int level = 1; level < (end > 0 ? end : 2) && level <= 40; ++level)
            EXPECT_TRUE(BackgroundExists(rules.GetLevelConfig(level).nBackgroundID))
                << file.name << " level " << level << " background "
                << rules.GetLevelConfig(level).nBackgroundID;
    }
}

TEST_F(ArtContentTest, TheResourceManagerLoadsTheThreeGroupsAndBindsEveryId)
{
    // The manifest's paths are below the content folder, as they are inside main.pak.
    struct Folder
    {
        std::string previous = platform::CurrentFolder();
        ~Folder() { platform::SetCurrentFolder(previous); }
    } restore;
    ASSERT_TRUE(platform::SetCurrentFolder(ShippedData::GeneratedContent()));
    restest::FakeHost host;
    Kavo::ResourceManager manager(&host);
    ASSERT_TRUE(manager.LoadManifest("properties\\resources.xml")) << manager.GetErrorText();
    for (const auto& group : Kavo::kResourceIdGroups)
    {
        ASSERT_TRUE(manager.LoadResources(group.name)) << group.name << ": " << manager.GetErrorText();
        for (const auto* e = group.begin; e != group.end; ++e)
        {
            try
            {
                switch (e->kind)
                {
                case Kind::Image:
                {
                    Kavo::SharedImageHandle image = manager.GetImageOrThrow(e->id);
                    ASSERT_TRUE(image.GetImage()) << e->id;
                    EXPECT_GT(image->GetWidth() * image->GetHeight(), 0) << e->id;
                    // The title screen takes a picture 1 pixel wide for one the data leaves out.
                    if (group.name == std::string("TitleScreen"))
                    {
                        EXPECT_GT(image->GetWidth(), 1) << e->id;
                    }
                    break;
                }
                case Kind::Font:
                    EXPECT_GT(manager.GetFontOrThrow(e->id)->GetHeight(), 0) << e->id;
                    break;
                case Kind::Sound:
                    EXPECT_GE(manager.GetSoundOrThrow(e->id), 0) << e->id;
                    break;
                }
            }
            catch (const Kavo::ResourceManagerException& failure)
            {
                ADD_FAILURE() << e->id << ": " << failure.what();
            }
        }
    }
    EXPECT_TRUE(host.popups.empty()) << host.popups.front();
}

TEST_F(ArtContentTest, SoundsAreTheSoundGeneratorsFilesNamedAfterTheirIds)
{
    for (const auto& [id, d] : sManifest)
    {
        if (d.kind != Kind::Sound) continue;
        std::string name = id.substr(6);
        for (char& c : name)
            c = char(std::tolower(static_cast<unsigned char>(c)));
        EXPECT_EQ(d.path, "sounds/" + name) << id;
        EXPECT_TRUE(platform::PathExists(ShippedData::GeneratedContent() + d.path + ".wav")) << id;
    }
}

} // namespace
