#include "tools/art/ContactSheet.h"

#include "base/XMLParser.h"
#include "graphics/FileFontHost.h"
#include "graphics/Graphics.h"
#include "graphics/ImageFont.h"
#include "graphics/ImageLib.h"
#include "graphics/MemoryImage.h"

#include <algorithm>
#include <cstdio>
#include <memory>

namespace Art
{

namespace
{

using Kavo::Color;

struct Tile
{
    std::string label;
    std::string detail;
    std::unique_ptr<Kavo::MemoryImage> image;
    int shownWidth = 0, shownHeight = 0;
    int cols = 1, rows = 1;
};

constexpr int kSheetWidth = 2000;
constexpr int kMaxTileWidth = 600;
constexpr int kMaxTileHeight = 320;
constexpr int kGap = 14;
constexpr int kLabelHeight = 40;

void Checkerboard(Kavo::Graphics& g, int x, int y, int w, int h)
{
    for (int cy = 0; cy < h; cy += 8)
        for (int cx = 0; cx < w; cx += 8)
        {
            bool dark = ((cx / 8) + (cy / 8)) % 2 == 0;
            g.SetColor(dark ? Color(58, 58, 66) : Color(84, 84, 94));
            g.FillRect(x + cx, y + cy, std::min(8, w - cx), std::min(8, h - cy));
        }
}

} // namespace

bool DrawContactSheet(const std::string& contentDir, const std::vector<std::string>& fontDescriptions,
                      const std::vector<std::string>& extraPictures, const std::string& outPath)
{
    std::vector<Tile> tiles;
    auto addPicture = [&](const std::string& label, const std::string& path, int cols, int rows)
    {
        std::unique_ptr<ImageLib::Image> file = ImageLib::GetImage(contentDir + "/" + path, false);
        Tile tile;
        tile.label = label;
        if (!file)
        {
            tile.detail = "MISSING: " + path;
        }
        else
        {
            tile.image = std::make_unique<Kavo::MemoryImage>();
            tile.image->SetBits(file->bits.get(), file->width, file->height);
            tile.cols = cols;
            tile.rows = rows;
            char text[96];
            std::snprintf(text, sizeof text, "%d x %d", file->width, file->height);
            tile.detail = text;
            if (cols > 1 || rows > 1)
            {
                std::snprintf(text, sizeof text, ", %d x %d cels of %d x %d", cols, rows, file->width / cols,
                              file->height / rows);
                tile.detail += text;
            }
            double scale =
                std::min({1.0, double(kMaxTileWidth) / file->width, double(kMaxTileHeight) / file->height});
            tile.shownWidth = std::max(1, int(file->width * scale));
            tile.shownHeight = std::max(1, int(file->height * scale));
        }
        tiles.push_back(std::move(tile));
    };

    // Every image of the manifest, in its order.
    Kavo::XMLParser parser;
    if (!parser.OpenFile(contentDir + "/properties/resources.xml")) return false;
    Kavo::XMLElement element;
    while (parser.NextElement(element))
    {
        if (element.type != Kavo::XMLElement::TYPE_START || element.value != "Image") continue;
        auto attr = [&](const char* name)
        {
            auto it = element.attributes.find(name);
            return it == element.attributes.end() ? std::string() : it->second;
        };
        int cols = attr("cols").empty() ? 1 : std::atoi(attr("cols").c_str());
        int rows = attr("rows").empty() ? 1 : std::atoi(attr("rows").c_str());
        addPicture(attr("id"), attr("path"), cols, rows);
    }
    for (const std::string& path : extraPictures)
        addPicture(path, path, 1, 1);

    Kavo::FileFontHost host;
    std::vector<std::unique_ptr<Kavo::ImageFont>> fonts;
    for (const std::string& description : fontDescriptions)
        fonts.push_back(std::make_unique<Kavo::ImageFont>(&host, contentDir + "/" + description));
    Kavo::ImageFont* labelFont = fonts.empty() ? nullptr : fonts.back().get();

    // Shelves: tiles left to right, a new row when the sheet is full.
    struct Placed
    {
        int x, y;
    };
    std::vector<Placed> places;
    int x = kGap, y = kGap, shelf = 0;
    for (const Tile& tile : tiles)
    {
        int w = std::max(tile.shownWidth, 230), h = tile.shownHeight + kLabelHeight;
        if (x + w + kGap > kSheetWidth)
        {
            x = kGap;
            y += shelf + kGap;
            shelf = 0;
        }
        places.push_back({x, y});
        x += w + kGap;
        shelf = std::max(shelf, h);
    }
    int fontTop = y + shelf + 2 * kGap;
    int height = fontTop + int(fonts.size()) * 70 + kGap;

    Kavo::MemoryImage sheet;
    sheet.Create(kSheetWidth, height);
    Kavo::Graphics g(&sheet);
    g.SetColor(Color(28, 30, 40));
    g.FillRect(0, 0, kSheetWidth, height);
    g.SetFastStretch(false);
    for (size_t i = 0; i < tiles.size(); ++i)
    {
        const Tile& tile = tiles[i];
        int tx = places[i].x, ty = places[i].y;
        if (tile.image)
        {
            Checkerboard(g, tx, ty, tile.shownWidth, tile.shownHeight);
            if (tile.shownWidth == tile.image->GetWidth())
                g.DrawImage(tile.image.get(), tx, ty);
            else
                g.DrawImageStretched(tile.image.get(), tx, ty, tile.shownWidth, tile.shownHeight);
            // Cel boundaries.
            g.SetColor(Color(255, 0, 255, 110));
            for (int c = 1; c < tile.cols; ++c)
                g.FillRect(tx + tile.shownWidth * c / tile.cols, ty, 1, tile.shownHeight);
            for (int r = 1; r < tile.rows; ++r)
                g.FillRect(tx, ty + tile.shownHeight * r / tile.rows, tile.shownWidth, 1);
        }
        if (labelFont)
        {
            g.SetFont(labelFont);
            g.SetColor(Color(255, 255, 255));
            g.DrawString(tile.label, tx, ty + tile.shownHeight + 17);
            g.SetColor(tile.image ? Color(170, 200, 255) : Color(255, 80, 80));
            g.DrawString(tile.detail, tx, ty + tile.shownHeight + 35);
        }
    }
    // A line of every font, in the title yellow and in white.
    int fy = fontTop;
    for (size_t i = 0; i < fonts.size(); ++i)
    {
        g.SetFont(fonts[i].get());
        std::string sample =
            fontDescriptions[i] + ": Orlavintide 0123456789 The quick brown fox jumps over the lazy dog.";
        g.SetColor(Color(252, 244, 35));
        g.DrawString(sample, kGap, fy + 30);
        g.SetColor(Color(255, 255, 255));
        g.DrawString("\xC4hnlich: caf\xE9, \xA9 2024 \x80 12% \xBD \x93quoted\x94 \x85 #1 @2 [3] {4}", kGap,
                     fy + 62);
        fy += 70;
    }
    fonts.clear();

    ImageLib::Image out;
    out.width = sheet.GetWidth();
    out.height = sheet.GetHeight();
    out.bits = std::make_unique<uint32_t[]>(size_t(out.width) * size_t(out.height));
    std::copy(sheet.GetBits(), sheet.GetBits() + size_t(out.width) * size_t(out.height), out.bits.get());
    return ImageLib::WritePNG(outPath, out);
}

} // namespace Art
