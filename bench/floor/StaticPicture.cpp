// The floor under the game's processor time and memory: one static 800 x 600 picture in a
// window, nothing else. bench/game/measure.sh runs it beside the game.
//
//   kavo_static_picture <whole|once> [opengl|software|surface|default-surface]
//
// "whole" presents the whole picture again 62 times a second (what a loop that presents every
// frame costs here); "once" presents it once and then waits for events in SDL_WaitEventTimeout
// (what a still screen can cost). The picture goes through SDL's renderer of that name, or
// without a renderer through the window's own surface ("surface"); with no name, the renderer
// SDL picks first. Under X, SDL makes a window surface (and so the software renderer's output)
// a texture of its first accelerated renderer - OpenGL, Mesa's llvmpipe without a GPU - unless
// SDL_HINT_FRAMEBUFFER_ACCELERATION is off: "software" and "surface" set it off,
// "default-surface" is the window surface as SDL makes it by default. It runs until its window
// is closed or it is killed.
#include <SDL.h>

#include <cstdio>
#include <cstring>
#include <vector>

namespace
{

constexpr int kWidth = 800, kHeight = 600;
constexpr Uint32 kFrameMs = 1000 / 62;

std::vector<Uint32> Picture()
{
    std::vector<Uint32> pixels(size_t(kWidth) * kHeight);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x)
            pixels[size_t(y) * kWidth + size_t(x)] =
                0xFF000000 | Uint32(x & 0xFF) << 16 | Uint32(y & 0xFF) << 8 | 0x40;
    return pixels;
}

int Fail(const char* what)
{
    std::fprintf(stderr, "kavo_static_picture: %s: %s\n", what, SDL_GetError());
    return 1;
}

// The picture, presented through a renderer's texture, or copied into the window's surface.
class StaticPicture
{
public:
    StaticPicture(SDL_Window* window, const char* renderer) : mWindow(window)
    {
        if (renderer && std::strcmp(renderer, "surface") == 0) return;
        int index = -1;
        for (int i = 0; renderer && i < SDL_GetNumRenderDrivers(); ++i)
        {
            SDL_RendererInfo info;
            if (SDL_GetRenderDriverInfo(i, &info) == 0 && std::strcmp(info.name, renderer) == 0) index = i;
        }
        mRenderer = SDL_CreateRenderer(window, index, 0);
        if (mRenderer)
            mTexture = SDL_CreateTexture(mRenderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING,
                                         kWidth, kHeight);
    }
    ~StaticPicture()
    {
        if (mTexture) SDL_DestroyTexture(mTexture);
        if (mRenderer) SDL_DestroyRenderer(mRenderer);
    }
    bool Ready() const { return mRenderer ? mTexture != nullptr : SDL_GetWindowSurface(mWindow) != nullptr; }
    const char* Name() const
    {
        SDL_RendererInfo info;
        if (mRenderer && SDL_GetRendererInfo(mRenderer, &info) == 0) return info.name;
        return "window surface";
    }
    void Present(const std::vector<Uint32>& pixels)
    {
        if (mRenderer)
        {
            SDL_UpdateTexture(mTexture, nullptr, pixels.data(), kWidth * 4);
            SDL_RenderClear(mRenderer);
            SDL_RenderCopy(mRenderer, mTexture, nullptr, nullptr);
            SDL_RenderPresent(mRenderer);
            return;
        }
        SDL_Surface* surface = SDL_GetWindowSurface(mWindow);
        SDL_Surface* picture = SDL_CreateRGBSurfaceWithFormatFrom(
            const_cast<Uint32*>(pixels.data()), kWidth, kHeight, 32, kWidth * 4, SDL_PIXELFORMAT_ARGB8888);
        SDL_BlitSurface(picture, nullptr, surface, nullptr);
        SDL_FreeSurface(picture);
        SDL_UpdateWindowSurface(mWindow);
    }

private:
    SDL_Window* mWindow;
    SDL_Renderer* mRenderer = nullptr;
    SDL_Texture* mTexture = nullptr;
};

} // namespace

int main(int argc, char** argv)
{
    const bool whole = argc >= 2 && std::strcmp(argv[1], "whole") == 0;
    if (argc < 2 || (!whole && std::strcmp(argv[1], "once") != 0))
    {
        std::fprintf(stderr,
                     "usage: kavo_static_picture <whole|once> [opengl|software|surface|default-surface]\n");
        return 2;
    }
    const char* renderer = argc >= 3 ? argv[2] : nullptr;
    if (renderer && (std::strcmp(renderer, "surface") == 0 || std::strcmp(renderer, "software") == 0))
        SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    if (renderer && std::strcmp(renderer, "default-surface") == 0) renderer = "surface";
    if (SDL_Init(SDL_INIT_VIDEO) != 0) return Fail("SDL_Init");
    SDL_Window* window = SDL_CreateWindow("Static picture", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                          kWidth, kHeight, 0);
    if (!window) return Fail("SDL_CreateWindow");
    const std::vector<Uint32> pixels = Picture();
    {
        StaticPicture presenter(window, renderer);
        if (!presenter.Ready()) return Fail("the presenter");
        std::fprintf(stderr, "kavo_static_picture: %s, through the %s\n", argv[1], presenter.Name());
        presenter.Present(pixels);
        Uint32 next = SDL_GetTicks() + kFrameMs;
        for (bool running = true; running;)
        {
            SDL_Event event;
            int timeout = 1000;
            if (whole)
            {
                int left = int(next - SDL_GetTicks());
                timeout = left < 0 ? 0 : left > int(kFrameMs) ? int(kFrameMs) : left;
            }
            if (SDL_WaitEventTimeout(&event, timeout))
            {
                if (event.type == SDL_QUIT) running = false;
                continue;
            }
            if (!whole) continue;
            presenter.Present(pixels);
            next += kFrameMs;
            if (int(next - SDL_GetTicks()) < 0) next = SDL_GetTicks() + kFrameMs;
        }
    }
    SDL_DestroyWindow(window);
    SDL_Quit();
    return 0;
}
