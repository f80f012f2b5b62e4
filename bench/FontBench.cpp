#include "graphics/FileFontHost.h"
#include "graphics/FontData.h"
#include "graphics/FontHost.h"
#include "graphics/Graphics.h"
#include "graphics/ImageFont.h"
#include "graphics/MemoryImage.h"
#include "graphics/SharedImage.h"
#include "graphics/SysFont.h"

#include "platform/display/SystemFont.h"

#include <benchmark/benchmark.h>

#ifdef KAVO_BENCH_HAVE_FREETYPE
#include <ft2build.h>
#include FT_FREETYPE_H
#endif

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

namespace
{

using namespace Kavo;

const std::string kLine = "The quick brown fox jumps over the lazy dog, 0123456789 ok!!";
static_assert(sizeof("The quick brown fox jumps over the lazy dog, 0123456789 ok!!") == 61);

// A generated font: the 95 printable characters as 9 x 14 cells of a checker-like pattern,
// a face layer and a shadow layer under it.
class BenchHost : public FontHost
{
public:
    BenchHost()
    {
        const int cell = 9, rows = 14, count = 95;
        std::vector<uint32_t> pixels(size_t(cell * count * rows));
        for (int y = 0; y < rows; ++y)
            for (int x = 0; x < cell * count; ++x)
                pixels[size_t(y * cell * count + x)] = ((x * 7 + y * 3) % 5 < 2) ? 0xFFFFFFFFu : 0x80FFFFFFu;
        mImage.image = new MemoryImage();
        mImage.image->SetBits(pixels.data(), cell * count, rows);
    }
    ~BenchHost() override { delete mImage.image; }
    void Popup(const std::string& text) override { std::fprintf(stderr, "%s\n", text.c_str()); }
    SharedImageHandle GetSharedImage(const std::string&, const std::string&, bool* isNew) override
    {
        if (isNew) *isNew = mImage.refCount == 0;
        SharedImageHandle handle;
        handle.AssignShared(&mImage);
        return handle;
    }

private:
    SharedImage mImage;
};

std::string WriteBenchDescription()
{
    std::string chars, widths;
    for (int c = 32; c < 127; ++c)
    {
        chars += c == '"' ? std::string("'\"' ")
                          : "\"" + std::string(c == '\\' ? "\\\\" : std::string(1, char(c))) + "\" ";
        widths += "9 ";
    }
    std::string path = "bench-font.txt";
    std::ofstream(path, std::ios::binary)
        << "Define Chars (" << chars << ");\n"
        << "CreateHorzSpanRectList Rects (0 0 0 14) (" << widths << ");\n"
        << "SetDefaultPointSize 12;\n"
        << "CreateLayer Face; LayerSetImage Face 'glyphs.png'; LayerSetImageMap Face Chars Rects;\n"
        << "LayerSetCharWidths Face Chars (" << widths
        << "); LayerSetAscent Face 11; LayerSetPointSize Face 12;\n"
        << "LayerSetKerningPairs Face ('AV' 'To') (-1 -1);\n"
        << "CreateLayerFrom Shadow Face; LayerSetOffset Shadow (1 1); LayerSetColorMult Shadow 0xFF000000;\n"
        << "LayerSetBaseOrder Shadow -1;\n";
    return path;
}

// The line drawn again and again into a 640 x 40 image: a new (transparent) one, or one like the
// screen (opaque).
void DrawLine(benchmark::State& state, Font& font, bool onScreen = false)
{
    MemoryImage target;
    target.Create(640, 40);
    target.GetBits();
    if (onScreen)
    {
        std::vector<uint32_t> screen(640 * 40, 0xFF203040u);
        target.SetBits(screen.data(), 640, 40);
    }
    Graphics g(&target);
    g.SetFont(&font);
    g.SetColor(Color(250, 220, 40));
    for (auto _ : state)
        g.DrawString(kLine, 4, 28);
    state.SetItemsProcessed(state.iterations() * int64_t(kLine.size()));
    state.SetLabel("items = glyphs");
}

void BM_ImageFontLine(benchmark::State& state)
{
    BenchHost host;
    ImageFont font(&host, WriteBenchDescription());
    if (!font.fontData->mInitialized)
    {
        state.SkipWithError("the bench font did not load");
        return;
    }
    font.SetPointSize(int(state.range(0)));
    DrawLine(state, font);
}
BENCHMARK(BM_ImageFontLine)->Arg(12)->Arg(18);

void BM_ImageFontLineOnScreen(benchmark::State& state)
{
    BenchHost host;
    ImageFont font(&host, WriteBenchDescription());
    font.SetPointSize(int(state.range(0)));
    DrawLine(state, font, true);
}
BENCHMARK(BM_ImageFontLineOnScreen)->Arg(12)->Arg(18);

// The game's own text font as the art generator makes it (its layers and glyphs with their
// transparent margins, side by side or over their neighbours), read from its files as the
// build's tools read it, at its own size.
void BM_GameFontLine(benchmark::State& state)
{
    FileFontHost host;
    ImageFont font(&host, KAVO_BINARY_DIR "/content/fonts/text.txt");
    if (!font.fontData->mInitialized)
    {
        state.SkipWithError("the game's text font is not made (build artgen_run)");
        return;
    }
    DrawLine(state, font, state.range(0) != 0);
}
BENCHMARK(BM_GameFontLine)->Arg(0)->Arg(1);

void BM_SysFontLine(benchmark::State& state)
{
    SysFont font("Arial", int(state.range(0)));
    DrawLine(state, font);
}
BENCHMARK(BM_SysFontLine)->Arg(12)->Arg(18);

void BM_SysFontLineOnScreen(benchmark::State& state)
{
    SysFont font("Arial", int(state.range(0)));
    DrawLine(state, font, true);
}
BENCHMARK(BM_SysFontLineOnScreen)->Arg(12)->Arg(18);

void BM_SysFontStringWidth(benchmark::State& state)
{
    SysFont font("Arial", 12);
    for (auto _ : state)
        benchmark::DoNotOptimize(font.StringWidth(kLine));
    state.SetItemsProcessed(state.iterations() * int64_t(kLine.size()));
}
BENCHMARK(BM_SysFontStringWidth);

#ifdef KAVO_BENCH_HAVE_FREETYPE
// FreeType on the same face and size as the system font, the same line into the same kind of
// target: each glyph rendered once by FT_Load_Char and FT_Render_Glyph and kept (or rendered
// again every time, "render"), its coverage blended in the text colour, source over, a pixel at
// a time.
struct FreeTypeGlyph
{
    int left = 0, top = 0, width = 0, rows = 0, advance = 0;
    std::vector<uint8_t> coverage;
};

bool RenderFreeTypeGlyph(FT_Face face, char c, FreeTypeGlyph& glyph)
{
    if (FT_Load_Char(face, FT_ULong(static_cast<unsigned char>(c)), FT_LOAD_DEFAULT) != 0) return false;
    if (FT_Render_Glyph(face->glyph, FT_RENDER_MODE_NORMAL) != 0) return false;
    const FT_Bitmap& bitmap = face->glyph->bitmap;
    glyph.left = face->glyph->bitmap_left;
    glyph.top = face->glyph->bitmap_top;
    glyph.width = int(bitmap.width);
    glyph.rows = int(bitmap.rows);
    glyph.advance = int((face->glyph->advance.x + 32) >> 6);
    glyph.coverage.resize(size_t(glyph.width) * size_t(glyph.rows));
    for (int row = 0; row < glyph.rows; ++row)
        std::memcpy(glyph.coverage.data() + size_t(row) * size_t(glyph.width),
                    bitmap.buffer + ptrdiff_t(row) * bitmap.pitch, size_t(glyph.width));
    return true;
}

void BlendFreeTypeGlyph(uint32_t* pixels, int width, int height, int x, int y, const FreeTypeGlyph& glyph,
                        uint32_t rgb)
{
    const uint32_t cr = (rgb >> 16) & 0xFF, cg = (rgb >> 8) & 0xFF, cb = rgb & 0xFF;
    for (int row = 0; row < glyph.rows; ++row)
    {
        int py = y + row;
        if (py < 0 || py >= height) continue;
        for (int col = 0; col < glyph.width; ++col)
        {
            int px = x + col;
            uint32_t a = glyph.coverage[size_t(row) * size_t(glyph.width) + size_t(col)];
            if (px < 0 || px >= width || a == 0) continue;
            uint32_t& d = pixels[size_t(py) * size_t(width) + size_t(px)];
            uint32_t inv = 255 - a;
            uint32_t r = (cr * a + ((d >> 16) & 0xFF) * inv + 127) / 255;
            uint32_t g = (cg * a + ((d >> 8) & 0xFF) * inv + 127) / 255;
            uint32_t b = (cb * a + (d & 0xFF) * inv + 127) / 255;
            uint32_t da = a + ((d >> 24) * inv + 127) / 255;
            d = da << 24 | r << 16 | g << 8 | b;
        }
    }
}

void BM_FreeTypeLine(benchmark::State& state)
{
    SysFont font("Arial", int(state.range(0)));
    bool cached = state.range(1) != 0, onScreen = state.range(2) != 0;
    FT_Library library = nullptr;
    FT_Face face = nullptr;
    if (!font.font || FT_Init_FreeType(&library) != 0 ||
        FT_New_Face(library, font.font->FilePath().c_str(), 0, &face) != 0 ||
        FT_Set_Pixel_Sizes(face, 0, FT_UInt(font.font->Request().pixelHeight)) != 0)
    {
        if (library) FT_Done_FreeType(library);
        state.SkipWithError("FreeType could not open the face");
        return;
    }
    std::vector<FreeTypeGlyph> glyphs(256);
    for (char c : kLine)
        RenderFreeTypeGlyph(face, c, glyphs[static_cast<unsigned char>(c)]);
    std::vector<uint32_t> pixels(640 * 40, onScreen ? 0xFF203040u : 0u);
    FreeTypeGlyph scratch;
    for (auto _ : state)
    {
        int pen = 4;
        for (char c : kLine)
        {
            const FreeTypeGlyph* glyph = &glyphs[static_cast<unsigned char>(c)];
            if (!cached && RenderFreeTypeGlyph(face, c, scratch)) glyph = &scratch;
            BlendFreeTypeGlyph(pixels.data(), 640, 40, pen + glyph->left, 28 - glyph->top, *glyph, 0xFADC28);
            pen += glyph->advance;
        }
        benchmark::DoNotOptimize(pixels.data());
    }
    FT_Done_Face(face);
    FT_Done_FreeType(library);
    state.SetItemsProcessed(state.iterations() * int64_t(kLine.size()));
    state.SetLabel(cached ? "items = glyphs, cached" : "items = glyphs, rendered every time");
}
// size, cached, onto an opaque (screen-like) target
BENCHMARK(BM_FreeTypeLine)
    ->Args({12, 1, 0})
    ->Args({18, 1, 0})
    ->Args({12, 1, 1})
    ->Args({18, 1, 1})
    ->Args({12, 0, 0});
#endif

} // namespace
