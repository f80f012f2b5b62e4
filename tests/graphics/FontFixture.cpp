#include "FontFixture.h"

#include "graphics/ImageLib.h"
#include "tests/ScratchNames.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace FontFixture
{

using namespace Kavo;

//                                  A  B  V  a  e .
const char* const kStripRows[4] = {".#.##.#..#.#", //
                                   "######.#.#.#", //
                                   "#.##.#.#.##.", //
                                   "#.####.#####"};

const char* const kDescription = "# The test font: a glyph strip of 12 x 4 pixels.\n"
                                 "Define Chars (\"A\" \"B\" \"V\" \"a\" \"\xE9\" \".\");\n"
                                 "CreateHorzSpanRectList Rects (0 0 0 4) (3 2 3 2 1 1);\n"
                                 "SetDefaultPointSize 10;\n"
                                 "SetCharMap (\"b\" \"v\") (\"B\" \"V\");\n"
                                 "\n"
                                 "CreateLayer Main;\n"
                                 "LayerSetImage Main 'strip';\n"
                                 "LayerSetImageMap Main Chars Rects;\n"
                                 "LayerSetCharWidths Main Chars (4 3 4 3 2 2);\n"
                                 "LayerSetAscent Main 4;\n"
                                 "LayerSetPointSize Main 10;\n"
                                 "LayerPointRange Main 1 19;\n"
                                 "LayerSetKerningPairs Main (\"AV\") (-1);\n"
                                 "\n"
                                 "CreateLayerFrom Shadow Main;\n"
                                 "LayerSetOffset Shadow (1 1);\n"
                                 "LayerSetColorMult Shadow 0xFF000000;\n"
                                 "LayerSetBaseOrder Shadow -1;\n"
                                 "\n"
                                 "CreateLayerFrom Bold Main;\n"
                                 "LayerRequireTags Bold (\"bold\");\n"
                                 "LayerSetOffset Bold (1 0);\n"
                                 "\n"
                                 "CreateLayerFrom Large Main;\n"
                                 "LayerPointRange Large 20 -1;\n";

MemoryImage* ImageFromArt(const std::vector<std::string>& rows)
{
    int height = int(rows.size());
    int width = height ? int(rows[0].size()) : 0;
    std::vector<uint32_t> pixels(size_t(width) * size_t(height), 0);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
        {
            char c = rows[size_t(y)][size_t(x)];
            pixels[size_t(y * width + x)] = c == '#' ? 0xFFFFFFFFu : c == 'o' ? 0xFF000000u : 0u;
        }
    auto* image = new MemoryImage();
    image->SetBits(pixels.data(), width, height);
    return image;
}

std::vector<std::string> ArtFromImage(MemoryImage& image)
{
    std::vector<std::string> rows;
    for (int y = 0; y < image.GetHeight(); ++y)
    {
        std::string row;
        for (int x = 0; x < image.GetWidth(); ++x)
        {
            uint32_t p = image.GetPixel(x, y);
            // The blitters scale by 256ths, so full channels may come out as 254.
            auto full = [](uint32_t v) { return v >= 250; };
            auto none = [](uint32_t v) { return v <= 5; };
            uint32_t a = p >> 24, r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
            char c = '?';
            if (a == 0)
                c = '.';
            else if (!full(a))
                c = '?';
            else if (full(r) && full(g) && full(b))
                c = '#';
            else if (none(r) && none(g) && none(b))
                c = 'K';
            else if (full(r) && none(g) && none(b))
                c = 'R';
            else if (none(r) && full(g) && none(b))
                c = 'G';
            row += c;
        }
        rows.push_back(row);
    }
    return rows;
}

FakeHost::~FakeHost()
{
    for (auto& [name, shared] : mShared)
        delete shared->image;
}

void FakeHost::AddImage(const std::string& fileName, MemoryImage* image)
{
    auto shared = std::make_unique<SharedImage>();
    shared->image = image;
    mShared[fileName] = std::move(shared);
}

SharedImageHandle FakeHost::GetSharedImage(const std::string& fileName, const std::string&, bool* isNew)
{
    std::string name = fileName;
    std::replace(name.begin(), name.end(), '\\', '/');
    requested.push_back(name);
    SharedImageHandle handle;
    auto it = mShared.find(name);
    if (it == mShared.end())
    {
        // Not given by the test: an image file on the disk, through the real readers.
        std::unique_ptr<ImageLib::Image> file = ImageLib::GetImage(name);
        if (!file) return handle;
        auto* image = new MemoryImage();
        image->SetBits(file->bits.get(), file->width, file->height);
        AddImage(name, image);
        it = mShared.find(name);
    }
    if (isNew) *isNew = !mLoaded[name];
    mLoaded[name] = true;
    handle.AssignShared(it->second.get());
    return handle;
}

std::string WriteTestFile(const std::string& suffix, const std::string& text)
{
    std::string path = "font-" + scratch::TestName() + suffix;
    std::ofstream(path, std::ios::binary) << text;
    return path;
}

std::string MakeFixtureFont()
{
    std::string folder = "fontfix-" + scratch::TestName();
    std::filesystem::create_directories(folder);
    std::ofstream(folder + "/font.txt", std::ios::binary) << kDescription;
    // The strip as a PNG file beside the description, written from the art.
    std::unique_ptr<MemoryImage> art(ImageFromArt({kStripRows, kStripRows + 4}));
    ImageLib::Image strip;
    strip.Allocate(kStripWidth, kStripHeight);
    std::copy(art->GetBits(), art->GetBits() + kStripWidth * kStripHeight, strip.bits.get());
    EXPECT_TRUE(ImageLib::WritePNG(folder + "/strip.png", strip));
    return folder + "/font.txt";
}

} // namespace FontFixture
