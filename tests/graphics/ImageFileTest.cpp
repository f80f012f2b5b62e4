#include "base/MersenneTwister.h"
#include "base/PakFile.h"
#include "base/PakInterface.h"
#include "base/PakWriter.h"
#include "graphics/ImageLib.h"
#include "graphics/PaletteBuilder.h"
#include "platform/files/Files.h"
#include "tests/ScratchNames.h"
#include "tests/graphics/ImageFixtures.h"
#include "tests/graphics/LargestAllocation.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace
{

using namespace ImageLib;

// Every file these tests read is made by the fixture makers of ImageFixtures.h.
using namespace imagefixture;

class ImageFiles : public ::testing::Test
{
protected:
    std::string folder;
    void SetUp() override
    {
        folder = "imgfiles_" + scratch::TestName() + "/";
        platform::MakeDirectory(folder);
    }
    std::string Write(const std::string& name, const std::string& contents)
    {
        std::string path = folder + name;
        EXPECT_TRUE(platform::WriteFileAtomically(path, contents));
        return path;
    }
};

std::vector<uint32_t> Bits(const Image& image)
{
    return std::vector<uint32_t>(image.bits.get(), image.bits.get() + image.width * image.height);
}

const std::vector<uint32_t> kFour = {0xFF102030, 0x80405060, 0x00000000, 0xFFFFFFFF};
const uint32_t kGifColours[4] = {0xFF0000, 0x00FF00, 0x0000FF, 0xFFFFFF};

// --- Readers ---

TEST_F(ImageFiles, Tga)
{
    auto ok = LoadTGA(Write("ok.tga", MakeTga(2, 2, kFour)));
    ASSERT_TRUE(ok);
    EXPECT_EQ(Bits(*ok), kFour);
    // The ID field is skipped.
    auto withId = LoadTGA(Write("id.tga", MakeTga(2, 2, kFour, 32, 0x28, 2, "made by a test")));
    ASSERT_TRUE(withId);
    EXPECT_EQ(Bits(*withId), kFour);

    struct Bad
    {
        const char* what;
        std::string data;
    } bad[] = {
        {"24 bits", MakeTga(2, 2, kFour, 24)},
        {"bottom-left origin", MakeTga(2, 2, kFour, 32, 0x08)},
        {"run-length type", MakeTga(2, 2, kFour, 32, 0x28, 10)},
        {"colour-mapped type", MakeTga(2, 2, kFour, 32, 0x28, 1)},
        {"zero size", MakeTga(0, 2, {})},
        {"claims more pixels than it holds", MakeTga(30000, 30000, kFour)},
        {"header only", MakeTga(2, 2, {}).substr(0, 10)},
    };
    for (const Bad& b : bad)
        EXPECT_FALSE(LoadTGA(Write("bad.tga", b.data))) << b.what;
    EXPECT_FALSE(LoadTGA(folder + "missing.tga"));
}

TEST_F(ImageFiles, PngLayouts)
{
    std::vector<uint32_t> pixels(7 * 5);
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = uint32_t(i * 37 % 256) << 24 | uint32_t(i * 11 % 256) << 16 | uint32_t(i * 5 % 256) << 8 |
                    uint32_t(i);
    struct Case
    {
        const char* what;
        PngOptions options;
        std::function<uint32_t(uint32_t)> expected;
    } cases[] = {
        {"8-bit RGBA", {8, PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE}, [](uint32_t p) { return p; }},
        {"16-bit RGBA", {16, PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_NONE}, [](uint32_t p) { return p; }},
        {"interlaced", {8, PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_ADAM7}, [](uint32_t p) { return p; }},
        {"interlaced 16-bit",
         {16, PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_ADAM7},
         [](uint32_t p) { return p; }},
        {"grey",
         {8, PNG_COLOR_TYPE_GRAY, PNG_INTERLACE_NONE},
         [](uint32_t p)
         {
             uint32_t g = (p >> 16) & 0xFF;
             return 0xFF000000 | g << 16 | g << 8 | g;
         }},
        {"16-bit grey",
         {16, PNG_COLOR_TYPE_GRAY, PNG_INTERLACE_NONE},
         [](uint32_t p)
         {
             uint32_t g = (p >> 16) & 0xFF;
             return 0xFF000000 | g << 16 | g << 8 | g;
         }},
    };
    for (const Case& c : cases)
    {
        auto image = LoadPNG(Write("layout.png", MakePng(7, 5, pixels, c.options)));
        ASSERT_TRUE(image) << c.what;
        ASSERT_EQ(image->width, 7);
        ASSERT_EQ(image->height, 5);
        for (size_t i = 0; i < pixels.size(); ++i)
            ASSERT_EQ(image->bits[i], c.expected(pixels[i])) << c.what << " pixel " << i;
    }

    // A palette with transparency expands to ARGB.
    std::vector<uint32_t> few = {0xFF100000, 0x80200000, 0x00300000, 0xFF100000};
    auto pal = LoadPNG(Write("pal.png", MakePng(2, 2, few, {8, PNG_COLOR_TYPE_PALETTE, PNG_INTERLACE_NONE})));
    ASSERT_TRUE(pal);
    EXPECT_EQ(Bits(*pal), few);
}

TEST_F(ImageFiles, JpegColourSpaces)
{
    std::vector<uint32_t> flat(16 * 16, 0xFFC83214);
    auto rgb = LoadJPEG(Write("rgb.jpg", MakeJpeg(16, 16, flat, 3)));
    ASSERT_TRUE(rgb);
    for (uint32_t p : Bits(*rgb))
    {
        ASSERT_EQ(p >> 24, 0xFFu);
        ASSERT_NEAR(int((p >> 16) & 0xFF), 200, 3);
        ASSERT_NEAR(int((p >> 8) & 0xFF), 50, 3);
        ASSERT_NEAR(int(p & 0xFF), 20, 3);
    }
    auto grey = LoadJPEG(Write("grey.jpg", MakeJpeg(16, 16, flat, 1)));
    ASSERT_TRUE(grey);
    EXPECT_NEAR(int(grey->bits[0] & 0xFF), 200, 2);
    EXPECT_EQ(grey->bits[0] & 0xFF, (grey->bits[0] >> 16) & 0xFF);

    // CMYK with the Adobe marker, stored inverted: (255, 0, 0, 255) is red.
    std::vector<uint32_t> cmykRed(16 * 16, 0xFF0000FF);
    auto cmyk = LoadJPEG(Write("cmyk.jpg", MakeJpeg(16, 16, cmykRed, 4)));
    ASSERT_TRUE(cmyk);
    EXPECT_NEAR(int((cmyk->bits[0] >> 16) & 0xFF), 255, 3);
    EXPECT_NEAR(int((cmyk->bits[0] >> 8) & 0xFF), 0, 3);
    EXPECT_NEAR(int(cmyk->bits[0] & 0xFF), 0, 3);

    std::string whole = MakeJpeg(16, 16, flat, 3);
    EXPECT_FALSE(LoadJPEG(Write("empty.jpg", "")));
    // Frame headers claiming 60000 x 60000 pixels are refused before anything that size is made.
    for (bool progressive : {false, true})
    {
        std::string huge = MakeJpeg(16, 16, flat, 3, 90, progressive);
        size_t frame = huge.find(progressive ? "\xFF\xC2" : "\xFF\xC0");
        ASSERT_NE(frame, std::string::npos);
        for (size_t at : {frame + 5, frame + 7}) // height, then width, big-endian
        {
            huge[at] = char(0xEA);
            huge[at + 1] = char(0x60);
        }
        EXPECT_FALSE(LoadJPEG(Write("huge.jpg", huge))) << progressive;
    }
    EXPECT_FALSE(LoadJPEG(Write("cut.jpg", whole.substr(0, whole.size() / 2)))); // ends inside its data
}

// libjpeg's own RGB rows of a file, packed as 0xFFRRGGBB: what the reader gave when it converted
// every pixel itself.
std::vector<uint32_t> LibjpegRgb(const std::string& data)
{
    jpeg_decompress_struct info;
    jpeg_error_mgr err;
    info.err = jpeg_std_error(&err);
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(data.data()), data.size());
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    std::vector<JSAMPLE> row(size_t(info.output_width) * 3);
    std::vector<uint32_t> pixels;
    while (info.output_scanline < info.output_height)
    {
        JSAMPROW rows[1] = {row.data()};
        jpeg_read_scanlines(&info, rows, 1);
        for (size_t x = 0; x < info.output_width; ++x)
            pixels.push_back(0xFF000000u | uint32_t(row[x * 3]) << 16 | uint32_t(row[x * 3 + 1]) << 8 |
                             row[x * 3 + 2]);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return pixels;
}

// Grey and colour files, baseline and progressive, of sizes that end inside a block and inside
// a run of decoded rows: every pixel is libjpeg's own RGB.
TEST_F(ImageFiles, JpegPixelsAreLibjpegsRgb)
{
    for (auto [w, h] : {std::pair{1, 1}, {17, 9}, {33, 35}, {64, 48}, {250, 19}})
    {
        std::vector<uint32_t> pixels(size_t(w * h));
        for (size_t i = 0; i < pixels.size(); ++i)
            pixels[i] = uint32_t(i * 2654435761u >> 5) ^ uint32_t(i % size_t(w) * 9);
        for (int components : {1, 3})
            for (bool progressive : {false, true})
            {
                std::string data = MakeJpeg(w, h, pixels, components, 85, progressive);
                auto image = LoadJPEG(Write("exact.jpg", data));
                ASSERT_TRUE(image);
                ASSERT_EQ(image->width, w);
                ASSERT_EQ(image->height, h);
                EXPECT_EQ(Bits(*image), LibjpegRgb(data))
                    << w << "x" << h << " " << components << " " << progressive;
            }
    }
}

TEST_F(ImageFiles, GifFrames)
{
    const uint32_t R = 0xFFFF0000, G = 0xFF00FF00, B = 0xFF0000FF, W = 0xFFFFFFFF;
    auto plain = LoadGIF(Write("plain.gif", MakeGif(2, 2, {0, 1, 2, 3}, kGifColours)));
    ASSERT_TRUE(plain);
    EXPECT_EQ(Bits(*plain), (std::vector<uint32_t>{R, G, B, W}));

    auto transparent = LoadGIF(Write("trans.gif", MakeGif(2, 2, {0, 1, 2, 3}, kGifColours, 1)));
    ASSERT_TRUE(transparent);
    EXPECT_EQ(Bits(*transparent), (std::vector<uint32_t>{R, 0, B, W}));

    // Eight rows of one column, interlaced: the data fills rows 0, 4, 2, 6, 1, 3, 5, 7.
    auto interlaced =
        LoadGIF(Write("inter.gif", MakeGif(1, 8, {0, 1, 2, 3, 0, 1, 2, 3}, kGifColours, -1, true)));
    ASSERT_TRUE(interlaced);
    EXPECT_EQ(Bits(*interlaced), (std::vector<uint32_t>{R, R, B, G, G, B, W, W}));

    // A code past the next free one ends decoding; the rest stays transparent.
    // (After a clear and one index the next free code is 6.)
    auto broken = LoadGIF(Write("broken.gif", MakeGif(2, 2, {0}, kGifColours, -1, false, {7, 3, 3})));
    ASSERT_TRUE(broken);
    EXPECT_EQ(Bits(*broken), (std::vector<uint32_t>{R, 0, 0, 0}));

    // An encoder may go on after the code table is full without a clear code: no more entries are
    // made and the code size stays at 12 bits. Every pixel here is a plain index, so 5000 pixels run
    // well past the 4096th entry.
    {
        const int w = 100, h = 50;
        std::vector<std::pair<int, int>> codes = {{4, 3}, {0, 3}};
        int codeSize = 3, nextFree = 6;
        for (int i = 1; i < w * h; ++i)
        {
            codes.push_back({i % 4, codeSize});
            if (nextFree < 4096 && ++nextFree == (1 << codeSize) && codeSize < 12) ++codeSize;
        }
        codes.push_back({5, codeSize});
        auto full = LoadGIF(Write("full.gif", MakeGifFromCodes(w, h, kGifColours, codes)));
        ASSERT_TRUE(full);
        const uint32_t expected[4] = {R, G, B, W};
        std::vector<uint32_t> pixels = Bits(*full);
        ASSERT_EQ(pixels.size(), size_t(w * h));
        for (int i = 0; i < w * h; ++i)
            ASSERT_EQ(pixels[size_t(i)], expected[i % 4]) << "pixel " << i;
    }

    std::string good = MakeGif(2, 2, {0, 1, 2, 3}, kGifColours);
    struct Bad
    {
        const char* what;
        std::string data;
    } bad[] = {
        {"not a GIF", "PNG89a" + good.substr(6)},
        {"no image", good.substr(0, good.find(',')) + ";"},
        {"ends before an image", good.substr(0, good.find(','))},
        {"zero width", MakeGif(0, 2, {}, kGifColours)},
        {"too large", MakeGif(30000, 30000, {0}, kGifColours)},
    };
    for (const Bad& b : bad)
        EXPECT_FALSE(LoadGIF(Write("bad.gif", b.data))) << b.what;
}

// The start of a w x h PNG of 8-bit RGBA pixels: the header and the compressed rows given, with
// no more data (all of them: the whole file). The pixels are 0x5A5A5A5A, or noise that hardly
// compresses.
std::string MakePngStart(int w, int h, int rows, int interlace, bool noise = false)
{
    Kavo::MersenneTwister random(5);
    std::string out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(png, &out, AppendPng, [](png_structp) {});
    png_set_IHDR(png, info, png_uint_32(w), png_uint_32(h), 8, PNG_COLOR_TYPE_RGB_ALPHA, interlace,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_compression_buffer_size(png, 16); // the compressed rows leave in small chunks
    png_write_info(png, info);
    png_set_interlace_handling(png);
    std::vector<png_byte> row(size_t(w) * 4, 0x5A);
    for (int y = 0; y < rows; ++y)
    {
        if (noise)
            for (png_byte& b : row)
                b = png_byte(random.Next());
        png_write_row(png, row.data());
    }
    if (rows == h)
        png_write_end(png, nullptr);
    else
        png_write_flush(png);
    png_destroy_write_struct(&png, &info);
    return out;
}

// A file that claims a large image but holds little of it is refused without the memory of the
// image it claims: the readers ask for memory as the data comes.
TEST_F(ImageFiles, ShortFilesAreRefusedWithoutTheMemoryTheyClaim)
{
    struct Case
    {
        const char* what;
        std::string data;
        std::unique_ptr<Image> (*load)(const std::string&);
        size_t largest; // bytes
    } cases[] = {
        {"TGA header of 8000 x 8000", MakeTga(8000, 8000, {}), LoadTGA, 64 * 1024},
        {"TGA of 4000 x 4000 with one row", MakeTga(4000, 4000, std::vector<uint32_t>(4000)), LoadTGA,
         64 * 1024},
        {"PNG of 8000 x 8000 with one row", MakePngStart(8000, 8000, 1, PNG_INTERLACE_NONE), LoadPNG,
         64 * 1024},
        {"interlaced PNG of 8000 x 8000 with one row", MakePngStart(8000, 8000, 1, PNG_INTERLACE_ADAM7),
         LoadPNG, 64 * 1024},
        {"PNG of 1024 x 1024 cut after 100 rows", MakePngStart(1024, 1024, 100, PNG_INTERLACE_NONE, true),
         LoadPNG, 2 * 1024 * 1024},
        // Three codes of data can fill at most six pixels.
        {"GIF of 8000 x 8000 with one code", MakeGif(8000, 8000, {0}, kGifColours), LoadGIF, 64 * 1024},
    };
    for (const Case& c : cases)
    {
        std::string path = Write("short.img", c.data);
        GraphicsTest::ResetLargestAllocation();
        EXPECT_FALSE(c.load(path)) << c.what;
        EXPECT_LT(GraphicsTest::LargestAllocation(), c.largest)
            << c.what << " (" << c.data.size() << " bytes)";
    }
    // The same PNG whole is read.
    std::string whole = MakePngStart(2048, 2048, 2048, PNG_INTERLACE_NONE);
    auto image = LoadPNG(Write("whole.png", whole));
    ASSERT_TRUE(image);
    EXPECT_EQ(image->bits[2048 * 2048 - 1], 0x5A5A5A5Au);
}

// Every prefix and many corrupted copies of each fixture: a reader may refuse or return an
// image, but never crashes or reads outside its data (the sanitizer build checks that).
TEST_F(ImageFiles, HostileFiles)
{
    std::vector<uint32_t> pixels(9 * 7);
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = 0x80000000 | uint32_t(i * 2654435761u >> 8);
    const uint32_t colors[4] = {1, 2, 3, 4};
    std::vector<int> indices(9 * 7);
    for (size_t i = 0; i < indices.size(); ++i)
        indices[i] = int(i % 4);
    struct Fixture
    {
        const char* name;
        std::string data;
        std::unique_ptr<Image> (*load)(const std::string&);
    } fixtures[] = {
        {"f.tga", MakeTga(9, 7, pixels), LoadTGA},
        {"f.png", MakePng(9, 7, pixels, {}), LoadPNG},
        {"i.png", MakePng(9, 7, pixels, {16, PNG_COLOR_TYPE_RGB_ALPHA, PNG_INTERLACE_ADAM7}), LoadPNG},
        {"f.jpg", MakeJpeg(9, 7, pixels, 3, 90), LoadJPEG},
        {"c.jpg", MakeJpeg(9, 7, pixels, 4, 90), LoadJPEG},
        {"f.gif", MakeGif(9, 7, indices, colors, 2, true), LoadGIF},
        {"f.j2k", MakeJ2k(9, 7, pixels, false), LoadJPEG2000},
        {"f.jp2", MakeJ2k(9, 7, pixels, true), LoadJPEG2000},
    };
    InitJPEG2000();
    Kavo::MersenneTwister random(77);
    for (const Fixture& f : fixtures)
    {
        ASSERT_TRUE(f.load(Write(f.name, f.data))) << f.name;
        auto check = [&](const std::string& data)
        {
            std::unique_ptr<Image> image = f.load(Write(f.name, data));
            if (image)
            {
                ASSERT_GT(image->width, 0);
                ASSERT_GT(image->height, 0);
                ASSERT_TRUE(image->bits);
            }
        };
        for (size_t n = 0; n < f.data.size(); n += 1 + n / 64)
            check(f.data.substr(0, n));
        for (int round = 0; round < 150; ++round)
        {
            std::string data = f.data;
            int flips = 1 + int(random.Next() % 4);
            for (int k = 0; k < flips; ++k)
                data[random.Next() % data.size()] = char(random.Next());
            check(data);
        }
    }
}

TEST_F(ImageFiles, Jpeg2000ThroughTheCodecModule)
{
    std::vector<uint32_t> pixels(6 * 4);
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = 0x12000000 | uint32_t(i * 40503u & 0xFFFFFF);
    std::vector<uint32_t> opaque = pixels;
    for (uint32_t& p : opaque)
        p |= 0xFF000000;
    std::string j2k = Write("pic.j2k", MakeJ2k(6, 4, pixels, false));
    std::string jp2 = Write("pic.jp2", MakeJ2k(6, 4, pixels, true));

    CloseJPEG2000();
    EXPECT_FALSE(LoadJPEG2000(j2k)); // nothing without the codec module
    InitJPEG2000();
    for (const std::string& path : {j2k, jp2})
    {
        auto image = LoadJPEG2000(path);
        ASSERT_TRUE(image) << path;
        EXPECT_EQ(Bits(*image), opaque) << path;
    }
    auto found = GetImage(folder + "pic", false); // found by the lookup as ".j2k"
    ASSERT_TRUE(found);
    EXPECT_EQ(Bits(*found), opaque);
    EXPECT_FALSE(LoadJPEG2000(Write("not.j2k", "just some text")));

    // The decoder's work grows with the number of tiles: an image cut into more than 1024 is
    // refused before it is decoded.
    std::vector<uint32_t> strip(4 * 4100, 0xFF336699);
    EXPECT_FALSE(LoadJPEG2000(Write("tiny-tiles.j2k", MakeJ2k(4, 4100, strip, false, 4)))); // 1025 tiles
    auto tiled = LoadJPEG2000(Write("tiles.j2k", MakeJ2k(4, 4096, strip, false, 4)));       // 1024 tiles
    ASSERT_TRUE(tiled);
    EXPECT_EQ(tiled->height, 4096);
    EXPECT_EQ(tiled->bits[4095 * 4 + 3], 0xFF336699u);
    CloseJPEG2000();
    EXPECT_FALSE(LoadJPEG2000(j2k));

    // A module marked missing is not found.
    setenv("KAVO_MISSING_LIBRARIES", "foo.dll;J2K-Codec.DLL", 1);
    InitJPEG2000();
    EXPECT_FALSE(LoadJPEG2000(j2k));
    unsetenv("KAVO_MISSING_LIBRARIES");
}

// --- Lookup, alpha companions, archive, writers ---

TEST_F(ImageFiles, LookupOrderAndAlphaCompanions)
{
    std::vector<uint32_t> blue(4, 0xFF0000FF);
    Write("tile.png", MakePng(2, 2, blue, {}));
    Write("tile.jpg", MakeJpeg(2, 2, std::vector<uint32_t>(4, 0xFFFF0000), 3));
    auto found = GetImage(folder + "tile", false);
    ASSERT_TRUE(found);
    EXPECT_GT((found->bits[0] >> 16) & 0xFF, 200u); // the JPEG comes first
    auto png = GetImage(folder + "TILE.PNG", false);
    ASSERT_TRUE(png);
    EXPECT_EQ(png->bits[0], 0xFF0000FFu);
    EXPECT_FALSE(GetImage(folder + "tile.bmp", false));

    // Alpha from the blue channel of "_leaf".
    std::vector<uint32_t> alpha = {0xFF000010, 0xFF000020, 0xFF000030, 0xFF000040};
    Write("leaf.tga", MakeTga(2, 2, blue));
    Write("_leaf.png", MakePng(2, 2, alpha, {}));
    auto merged = GetImage(folder + "leaf");
    ASSERT_TRUE(merged);
    EXPECT_EQ(Bits(*merged), (std::vector<uint32_t>{0x100000FF, 0x200000FF, 0x300000FF, 0x400000FF}));

    // An alpha file alone: the compose colour with that alpha.
    Write("_ghost.tga", MakeTga(2, 2, alpha));
    gAlphaComposeColor = 0x123456;
    auto ghost = GetImage(folder + "ghost");
    gAlphaComposeColor = 0xFFFFFF;
    ASSERT_TRUE(ghost);
    EXPECT_EQ(Bits(*ghost), (std::vector<uint32_t>{0x10123456, 0x20123456, 0x30123456, 0x40123456}));

    // Companion of another size: not merged.
    Write("_odd.tga", MakeTga(1, 1, {0xFF000001}));
    Write("odd.tga", MakeTga(2, 2, blue));
    auto odd = GetImage(folder + "odd");
    ASSERT_TRUE(odd);
    EXPECT_EQ(Bits(*odd), blue);
}

TEST_F(ImageFiles, ReadsThroughTheArchive)
{
    Kavo::PakWriter writer;
    ASSERT_TRUE(writer.AddFile("images/packed.tga", MakeTga(2, 2, kFour)));
    ASSERT_TRUE(writer.AddFile("images/packed.png", MakePng(2, 2, kFour, {})));
    ASSERT_TRUE(writer.WriteFile(folder + "images.pak"));
    ASSERT_TRUE(Kavo::GetProcessPakInterface().LoadPakIndex(folder + "images.pak"));
    auto tga = GetImage("images\\packed", false);
    ASSERT_TRUE(tga);
    EXPECT_EQ(Bits(*tga), kFour);
    auto png = LoadPNG("IMAGES/PACKED.PNG");
    ASSERT_TRUE(png);
    EXPECT_EQ(Bits(*png), kFour);
}

TEST_F(ImageFiles, WritersRoundTrip)
{
    Image image;
    ASSERT_TRUE(image.Allocate(5, 3));
    for (int i = 0; i < 15; ++i)
        image.bits[size_t(i)] = uint32_t(i * 17) << 24 | 0x00806040;
    ASSERT_TRUE(WritePNG(folder + "out.png", image));
    auto png = LoadPNG(folder + "out.png");
    ASSERT_TRUE(png);
    EXPECT_EQ(Bits(*png), Bits(image));

    ASSERT_TRUE(WriteJPEG(folder + "out.jpg", image));
    auto jpg = LoadJPEG(folder + "out.jpg");
    ASSERT_TRUE(jpg);
    EXPECT_EQ(jpg->width, 5);
    EXPECT_EQ(jpg->bits[0] >> 24, 0xFFu); // alpha dropped
    EXPECT_NEAR(int((jpg->bits[7] >> 16) & 0xFF), 0x80, 8);

    Image empty;
    EXPECT_FALSE(WritePNG(folder + "empty.png", empty));
    EXPECT_FALSE(WriteJPEG(folder + "no/such/folder/x.jpg", image));
}

TEST(PaletteBuilder, FirstAppearanceOrderAndLimit)
{
    std::vector<uint32_t> bits = {9, 3, 9, 7, 3};
    std::vector<uint8_t> indices(5);
    uint32_t palette[256];
    ASSERT_TRUE(Kavo::BuildPaletteIndices(bits.data(), indices.data(), 5, 1, palette));
    EXPECT_EQ(indices, (std::vector<uint8_t>{0, 1, 0, 2, 1}));
    EXPECT_EQ(palette[0], 9u);
    EXPECT_EQ(palette[1], 3u);
    EXPECT_EQ(palette[2], 7u);

    std::vector<uint32_t> many(257);
    for (size_t i = 0; i < many.size(); ++i)
        many[i] = uint32_t(1000 - i);
    std::vector<uint8_t> idx(257);
    EXPECT_TRUE(Kavo::BuildPaletteIndices(many.data(), idx.data(), 256, 1, palette));
    EXPECT_FALSE(Kavo::BuildPaletteIndices(many.data(), idx.data(), 257, 1, palette));
}

} // namespace
