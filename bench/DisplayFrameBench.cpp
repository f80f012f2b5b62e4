// The board's frame (bench/BoardScene.h) drawn through each road of the display and presented at
// 800 x 600. Frame time is the real time of one frame; "cpu_ms" is the process's CPU time per
// frame.
#include "bench/BoardScene.h"
#include "display/D3DInterface.h"
#include "display/DDImage.h"
#include "display/DDInterface.h"
#include "graphics/ImageRegistry.h"
#include "platform/display/DisplaySetup.h"
#include "platform/window/Window.h"
#include "raster/TriangleRasterizer.h"

#include <benchmark/benchmark.h>

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
    // The 3D road is measured on whatever renderer there is, software ones too.
    bool ReadTest3DValue(const std::string& name, uint32_t& type, std::string& data) override
    {
        if (name != "AcceptSoftwareRenderer") return false;
        type = 4;
        data = std::string("\1\0\0\0", 4);
        return true;
    }
    bool WriteTest3DValue(const std::string&, uint32_t, const std::string&) override { return true; }
    void DemoSyncString(std::string&) override {}
    void DemoSyncBool(bool&) override {}

private:
    bool mThreeD;
};

struct Frame
{
    std::unique_ptr<BenchHost> host;
    std::unique_ptr<Kavo::DDInterface> display;
    std::unique_ptr<benchscene::BoardScene> scene;

    bool Open(const platform::PixelFormat& desktop, bool threeD, bool memoryRoad)
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
        // The memory road's pictures are software images; the others' live in surfaces.
        scene = std::make_unique<benchscene::BoardScene>(
            [&](int w, int h, const std::vector<uint32_t>& pixels) -> Kavo::MemoryImage*
            {
                if (memoryRoad)
                {
                    auto* image = new Kavo::MemoryImage();
                    image->SetBits(pixels.data(), w, h);
                    return image;
                }
                auto* image = new Kavo::DDImage(display.get());
                image->SetBits(pixels.data(), w, h, true);
                image->mWantSurface = true;
                image->PurgeBits();
                return image;
            });
        return true;
    }

    void Close()
    {
        scene.reset();
        display.reset();
        platform::DestroyMainWindow();
        platform::ResetDisplaySetup();
    }
};

// road 0: memory image copied to the screen; 1: the screen's surface; 2: the 3D renderer.
void BM_BoardFramePresented(benchmark::State& state)
{
    const int road = int(state.range(0));
    const bool sixteen = state.range(1) != 0;
    Frame f;
    if (!f.Open(sixteen ? platform::PixelFormat::Rgb565() : platform::PixelFormat::Rgb32(), road == 2,
                road == 0))
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
            f.scene->Draw(&memory);
            screen->Blt(&memory, 0, 0, Rect(0, 0, kWidth, kHeight), Color::White, 0);
        }
        else
        {
            f.scene->Draw(screen);
        }
        f.display->Redraw();
        ++frame;
    }
    double cpuMs = double(std::clock() - cpuStart) * 1000.0 / CLOCKS_PER_SEC;
    state.counters["cpu_ms"] = benchmark::Counter(cpuMs / std::max(frame, 1));
    state.SetLabel(std::string(road == 0   ? "memory road"
                               : road == 1 ? "surface road"
                                           : "3D road on ") +
                   (road == 2 ? f.display->mRendererName : "") + (sixteen ? ", 16-bit" : ", 32-bit"));
    f.Close();
}

BENCHMARK(BM_BoardFramePresented)
    ->Args({0, 0})
    ->Args({1, 0})
    ->Args({1, 1})
    ->Args({2, 0})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

} // namespace
