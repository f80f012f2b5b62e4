// A board-like frame drawn through each road of the display and presented at 800 x 600: a
// background picture, a 7 x 8 grid of 124 x 120 sprites scaled to about 60 pixels, a few
// exploding sprites drawn additively, a star field and a few lines of text. Frame time is the
// real time of one frame; "cpu_ms" is the process's CPU time per frame.
#include "base/AutoCrit.h"
#include "display/D3DInterface.h"
#include "display/DDImage.h"
#include "display/DDInterface.h"
#include "graphics/Graphics.h"
#include "graphics/ImageRegistry.h"
#include "graphics/SysFont.h"
#include "platform/DisplaySetup.h"
#include "platform/Window.h"
#include "raster/TriangleRasterizer.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <vector>

namespace
{

using Kavo::Color;
using Kavo::Rect;

constexpr int kWidth = 800, kHeight = 600;

// The display's host: the game's size, no demo, the 3D wish as asked.
class BenchHost : public Kavo::DisplayHost
{
public:
    explicit BenchHost(bool threeD) : mThreeD(threeD) {}
    int GetScreenWidth() override { return kWidth; }
    int GetScreenHeight() override { return kHeight; }
    bool WantsVerticalSync() override { return false; }
    void SetUnusualRefreshRate(bool) override {}
    Kavo::DisplaySettings GetDisplaySettings() override
    {
        Kavo::DisplaySettings s;
        s.want3D = mThreeD;
        return s;
    }
    void SetScreenRect(const Rect&) override {}
    Kavo::ImageRegistry* GetImageRegistry() override { return Kavo::ImageRegistry::Get(); }
    bool ReadTest3DValue(const std::string&, uint32_t&, std::string&) override { return false; }
    bool WriteTest3DValue(const std::string&, uint32_t, const std::string&) override { return true; }
    void DemoSyncString(std::string&) override {}
    void DemoSyncBool(bool&) override {}

private:
    bool mThreeD;
};

std::vector<uint32_t> SpritePixels(int w, int h, uint32_t tint)
{
    std::vector<uint32_t> pixels(size_t(w) * size_t(h));
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
        {
            double d = std::hypot(x + 0.5 - w / 2.0, y + 0.5 - h / 2.0);
            uint32_t a = uint32_t(std::clamp((h / 2.0 - 1.5 - d) * 255.0, 0.0, 255.0));
            pixels[size_t(y) * size_t(w) + size_t(x)] = a << 24 | ((tint + uint32_t(x * 0x010203 + y * 0x030201)) & 0xFFFFFF);
        }
    return pixels;
}

struct Frame
{
    std::unique_ptr<BenchHost> host;
    std::unique_ptr<Kavo::DDInterface> display;
    std::vector<std::unique_ptr<Kavo::DDImage>> images;
    std::unique_ptr<Kavo::SysFont> font;
    Kavo::DDImage* background = nullptr;
    std::vector<Kavo::DDImage*> pieces;
    Kavo::DDImage* explosion = nullptr;

    bool Open(const platform::PixelFormat& desktop, bool threeD)
    {
        if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY")) setenv("SDL_VIDEODRIVER", "dummy", 0);
        Kavo::InitTriangleRasterizerTable();
        platform::GetDisplaySetup().desktopFormat = desktop;
        std::string error;
        if (!platform::InitVideo(error)) return false;
        platform::WindowOptions options;
        options.title = "bench";
        options.clientWidth = kWidth;
        options.clientHeight = kHeight;
        if (!platform::CreateMainWindow(options, error)) return false;
        platform::ShowMainWindow(true);
        host = std::make_unique<BenchHost>(threeD);
        display = std::make_unique<Kavo::DDInterface>(host.get());
        display->mIs3D = threeD;
        if (display->Init(platform::kMainWindow, true) != Kavo::DDInterface::RESULT_OK) return false;
        if (display->mIs3D != threeD) return false;
        auto make = [&](int w, int h, const std::vector<uint32_t>& pixels)
        {
            images.push_back(std::make_unique<Kavo::DDImage>(display.get()));
            images.back()->SetBits(pixels.data(), w, h, true);
            images.back()->mWantSurface = true;
            images.back()->PurgeBits();
            return images.back().get();
        };
        std::vector<uint32_t> picture(size_t(kWidth) * kHeight);
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x)
                picture[size_t(y) * kWidth + x] = 0xFF000000u | uint32_t(x / 4) << 16 | uint32_t(y / 3) << 8 | 0x30;
        background = make(kWidth, kHeight, picture);
        for (int i = 0; i < 7; ++i)
            pieces.push_back(make(124, 120, SpritePixels(124, 120, 0x402010u * uint32_t(i + 1))));
        explosion = make(124, 120, SpritePixels(124, 120, 0x806020u));
        font = std::make_unique<Kavo::SysFont>("Arial", 12, true);
        return true;
    }

    void Close()
    {
        images.clear();
        display.reset();
        platform::DestroyMainWindow();
        platform::ResetDisplaySetup();
    }

    // One board frame into dest.
    void Draw(Kavo::Image* dest, int frame)
    {
        Kavo::Graphics g(dest);
        g.DrawImage(background, 0, 0);
        for (int row = 0; row < 8; ++row)
            for (int col = 0; col < 7; ++col)
                g.DrawImageStretched(pieces[size_t((row + col) % 7)], 190 + col * 62, 40 + row * 62, 60, 58);
        g.SetDrawMode(1);
        for (int i = 0; i < 4; ++i)
            g.DrawImageStretched(explosion, 200 + i * 120 + frame % 7, 200 + i * 40, 90 + i * 10, 86 + i * 10);
        g.SetColor(Color(200, 200, 255, 200));
        for (int i = 0; i < 60; ++i)
            g.FillRect((i * 137 + frame * 3) % kWidth, (i * 71) % kHeight, 2, 2);
        g.SetDrawMode(0);
        g.SetFont(font.get());
        g.SetColor(Color(252, 244, 35));
        g.DrawString("Score 1,234,567", 20, 30);
        g.DrawString("Level 12", 20, 60);
        g.DrawString("Time 03:25", 20, 90);
    }
};

// road 0: memory image copied to the screen; 1: the screen's surface; 2: the 3D renderer.
void BM_BoardFrame(benchmark::State& state)
{
    const int road = int(state.range(0));
    const bool sixteen = state.range(1) != 0;
    Frame f;
    if (!f.Open(sixteen ? platform::PixelFormat::Rgb565() : platform::PixelFormat::Rgb32(), road == 2))
    {
        state.SkipWithError("no display");
        f.Close();
        return;
    }
    Kavo::MemoryImage memory;
    memory.Create(kWidth, kHeight);
    memory.SetImageMode(false, false);
    std::clock_t cpuStart = std::clock();
    int frame = 0;
    for (auto _ : state)
    {
        Kavo::DDImage* screen = f.display->GetScreenImage();
        if (road == 0)
        {
            f.Draw(&memory, frame);
            screen->Blt(&memory, 0, 0, Rect(0, 0, kWidth, kHeight), Color::White, 0);
        }
        else
        {
            f.Draw(screen, frame);
        }
        f.display->Redraw();
        ++frame;
    }
    double cpuMs = double(std::clock() - cpuStart) * 1000.0 / CLOCKS_PER_SEC;
    state.counters["cpu_ms"] = benchmark::Counter(cpuMs / std::max(frame, 1));
    state.SetLabel(std::string(road == 0 ? "memory road" : road == 1 ? "surface road" : "3D road on ") +
                   (road == 2 ? f.display->mRendererName : "") + (sixteen ? ", 16-bit" : ", 32-bit"));
    f.Close();
}

BENCHMARK(BM_BoardFrame)
    ->Args({0, 0})
    ->Args({1, 0})
    ->Args({1, 1})
    ->Args({2, 0})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace
