#include "graphics/FontData.h"
#include "graphics/FontHost.h"
#include "graphics/Graphics.h"
#include "graphics/ImageFont.h"
#include "graphics/MemoryImage.h"
#include "graphics/SharedImage.h"
#include "graphics/SysFont.h"

#include <benchmark/benchmark.h>

#include <cstdio>
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

void DrawLine(benchmark::State& state, Font& font)
{
    MemoryImage target;
    target.Create(640, 40);
    target.GetBits();
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

void BM_SysFontLine(benchmark::State& state)
{
    SysFont font("Arial", int(state.range(0)));
    DrawLine(state, font);
}
BENCHMARK(BM_SysFontLine)->Arg(12)->Arg(18);

void BM_SysFontStringWidth(benchmark::State& state)
{
    SysFont font("Arial", 12);
    for (auto _ : state)
        benchmark::DoNotOptimize(font.StringWidth(kLine));
    state.SetItemsProcessed(state.iterations() * int64_t(kLine.size()));
}
BENCHMARK(BM_SysFontStringWidth);

} // namespace
