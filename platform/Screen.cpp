#include "platform/Screen.h"

#include "platform/SdlDesktop.h"
#include "platform/Window.h"

namespace platform
{

namespace
{
ScreenFault gFault = ScreenFault::None;
} // namespace

void SetScreenFault(ScreenFault fault)
{
    gFault = fault;
}

bool OpenScreen(int width, int height, bool vsync, std::string& error, bool& fullscreenRefused)
{
    detail::Desktop& d = detail::GetDesktop();
    fullscreenRefused = false;
    CloseScreen();
    if (!d.window)
    {
        error = d.videoUp ? "no main window" : GetVideoError();
        return false;
    }
    if (d.fullscreen && gFault == ScreenFault::RefuseFullscreen)
    {
        fullscreenRefused = true;
        error = "full-screen mode refused";
        return false;
    }
    Uint32 flags = vsync ? SDL_RENDERER_PRESENTVSYNC : 0;
    d.renderer = SDL_CreateRenderer(d.window, -1, flags);
    if (!d.renderer) d.renderer = SDL_CreateRenderer(d.window, -1, SDL_RENDERER_SOFTWARE);
    if (!d.renderer)
    {
        error = std::string("SDL_CreateRenderer: ") + SDL_GetError();
        return false;
    }
    if (d.fullscreen)
    {
        // The screen image keeps its size; the renderer scales it to the desktop, with bars.
        SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "linear");
        SDL_RenderSetLogicalSize(d.renderer, width, height);
    }
    d.texture =
        SDL_CreateTexture(d.renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING, width, height);
    if (!d.texture)
    {
        error = std::string("SDL_CreateTexture: ") + SDL_GetError();
        SDL_DestroyRenderer(d.renderer);
        d.renderer = nullptr;
        return false;
    }
    d.screenWidth = width;
    d.screenHeight = height;
    return true;
}

void CloseScreen()
{
    detail::Desktop& d = detail::GetDesktop();
    if (d.texture) SDL_DestroyTexture(d.texture);
    if (d.renderer) SDL_DestroyRenderer(d.renderer);
    d.texture = nullptr;
    d.renderer = nullptr;
}

bool ScreenIsOpen()
{
    return detail::GetDesktop().texture != nullptr;
}

bool PresentScreen(const uint32_t* pixels, int pitchBytes)
{
    detail::Desktop& d = detail::GetDesktop();
    if (!d.texture || !pixels || gFault == ScreenFault::LosePresents) return false;
    if (SDL_UpdateTexture(d.texture, nullptr, pixels, pitchBytes) != 0) return false;
    SDL_SetRenderDrawColor(d.renderer, 0, 0, 0, 255);
    SDL_RenderClear(d.renderer);
    if (SDL_RenderCopy(d.renderer, d.texture, nullptr, nullptr) != 0) return false;
    SDL_RenderPresent(d.renderer);
    return true;
}

bool ScreenHasVSync()
{
    detail::Desktop& d = detail::GetDesktop();
    SDL_RendererInfo info;
    return d.renderer && SDL_GetRendererInfo(d.renderer, &info) == 0 &&
           (info.flags & SDL_RENDERER_PRESENTVSYNC);
}

} // namespace platform
