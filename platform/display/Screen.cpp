#include "platform/display/Screen.h"

#include "platform/window/SdlDesktop.h"
#include "platform/window/Window.h"

namespace platform
{

bool OpenScreen(bool vsync, std::string& error)
{
    detail::Desktop& d = detail::GetDesktop();
    if (!d.window)
    {
        error = d.videoUp ? "no main window" : GetVideoError();
        return false;
    }
    if (!d.renderer)
    {
        Uint32 flags = SDL_RENDERER_TARGETTEXTURE | (vsync ? SDL_RENDERER_PRESENTVSYNC : 0);
        d.renderer = SDL_CreateRenderer(d.window, -1, flags);
        if (!d.renderer) d.renderer = SDL_CreateRenderer(d.window, -1, SDL_RENDERER_SOFTWARE);
        if (!d.renderer)
        {
            error = std::string("SDL_CreateRenderer: ") + SDL_GetError();
            return false;
        }
        ++d.rendererGeneration;
        d.rendererVSync = vsync;
    }
    else if (d.rendererVSync != vsync)
    {
        if (SDL_RenderSetVSync(d.renderer, vsync ? 1 : 0) == 0) d.rendererVSync = vsync;
    }
    return true;
}

void CloseScreen()
{
    detail::Desktop& d = detail::GetDesktop();
    if (d.texture) SDL_DestroyTexture(d.texture);
    // Drawing goes back to the window first: a renderer closed while a texture is its target
    // leaves some of its memory behind.
    if (d.renderer) SDL_SetRenderTarget(d.renderer, nullptr);
    if (d.renderer) SDL_DestroyRenderer(d.renderer);
    d.texture = nullptr;
    d.renderer = nullptr;
    d.screenWidth = d.screenHeight = 0;
    ++d.rendererGeneration; // every texture of the renderer is gone with it
}

bool ScreenIsOpen()
{
    return detail::GetDesktop().renderer != nullptr;
}

bool PresentScreen(const uint32_t* pixels, int width, int height, int pitchBytes)
{
    detail::Desktop& d = detail::GetDesktop();
    if (!d.renderer || !pixels || width <= 0 || height <= 0) return false;
    if (!d.texture || d.screenWidth != width || d.screenHeight != height)
    {
        if (d.texture) SDL_DestroyTexture(d.texture);
        d.texture = SDL_CreateTexture(d.renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING,
                                      width, height);
        if (!d.texture) return false;
        d.screenWidth = width;
        d.screenHeight = height;
        if (d.fullscreen) SDL_SetTextureScaleMode(d.texture, SDL_ScaleModeLinear);
    }
    if (SDL_UpdateTexture(d.texture, nullptr, pixels, pitchBytes) != 0) return false;
    // The window is the target before its logical size is set: set while the 3D road's texture
    // is the target, the size would be that texture's and the window would show the screen
    // stretched over the whole desktop.
    SDL_SetRenderTarget(d.renderer, nullptr);
    // The screen keeps its size; in full screen the renderer scales it to the desktop, keeping
    // its shape (bars beside or below it), and maps mouse positions back to it.
    int logicalWidth = 0, logicalHeight = 0;
    SDL_RenderGetLogicalSize(d.renderer, &logicalWidth, &logicalHeight);
    if (d.fullscreen && (logicalWidth != width || logicalHeight != height))
        SDL_RenderSetLogicalSize(d.renderer, width, height);
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

std::string ScreenRendererName()
{
    detail::Desktop& d = detail::GetDesktop();
    SDL_RendererInfo info;
    if (!d.renderer || SDL_GetRendererInfo(d.renderer, &info) != 0 || !info.name) return std::string();
    return info.name;
}

bool ReadShownScreen(std::vector<uint32_t>& argb, int& width, int& height)
{
    detail::Desktop& d = detail::GetDesktop();
    if (!d.window || ScreenRendererName() != "software") return false;
    SDL_Surface* shown = SDL_GetWindowSurface(d.window);
    if (!shown || shown->w <= 0 || shown->h <= 0) return false;
    std::vector<uint32_t> out(size_t(shown->w) * size_t(shown->h));
    if (SDL_ConvertPixels(shown->w, shown->h, shown->format->format, shown->pixels, shown->pitch,
                          SDL_PIXELFORMAT_ARGB8888, out.data(), shown->w * 4) != 0)
        return false;
    argb = std::move(out);
    width = shown->w;
    height = shown->h;
    return true;
}

} // namespace platform
