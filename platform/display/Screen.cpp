#include "platform/display/Screen.h"

#include "platform/display/RowConverter.h"
#include "platform/display/ScreenScaler.h"
#include "platform/window/SdlDesktop.h"
#include "platform/window/Window.h"

#include <algorithm>
#include <memory>

namespace platform
{

namespace
{

// The converter of the format last shown (its tables are made once a format).
const RowConverter& ConverterFor(const PixelFormat& format)
{
    static PixelFormat made;
    static std::unique_ptr<RowConverter> converter;
    if (!converter || !(made == format))
    {
        converter = std::make_unique<RowConverter>(format);
        made = format;
    }
    return *converter;
}

ScreenScaler& Scaler()
{
    static ScreenScaler scaler;
    return scaler;
}

// Where a screen of width x height lands in an area of areaWidth x areaHeight, kept in shape, as
// the renderer places a logical size: the whole width or height, the other centred.
void Letterbox(int width, int height, int areaWidth, int areaHeight, SDL_Rect& viewport, float& scale)
{
    if (width == areaWidth && height == areaHeight)
    {
        viewport = SDL_Rect{0, 0, width, height};
        scale = 1.0f;
        return;
    }
    float wanted = float(width) / float(height), real = float(areaWidth) / float(areaHeight);
    if (wanted > real)
    {
        scale = float(areaWidth) / float(width);
        viewport.x = 0;
        viewport.w = areaWidth;
        viewport.h = int(float(height) * scale);
        viewport.y = (areaHeight - viewport.h) / 2;
    }
    else
    {
        scale = float(areaHeight) / float(height);
        viewport.y = 0;
        viewport.h = areaHeight;
        viewport.w = int(float(width) * scale);
        viewport.x = (areaWidth - viewport.w) / 2;
    }
}

// The window surface's pixels take 0x??RRGGBB words as they are.
bool TakesArgbWords(const SDL_Surface* s)
{
    return s->format->BytesPerPixel == 4 && s->format->Rmask == 0xFF0000 && s->format->Gmask == 0xFF00 &&
           s->format->Bmask == 0xFF;
}

// Rows of argb words (pitch in bytes) into a rectangle of a window surface of another format.
void ConvertInto(SDL_Surface* s, const SDL_Rect& r, const uint32_t* argb, int pitchBytes)
{
    uint8_t* to = static_cast<uint8_t*>(s->pixels) + size_t(r.y) * size_t(s->pitch) +
                  size_t(r.x) * size_t(s->format->BytesPerPixel);
    SDL_ConvertPixels(r.w, r.h, SDL_PIXELFORMAT_ARGB8888, argb, pitchBytes, s->format->format, to, s->pitch);
}

// The rectangle r of the image converted into out, its rows outPitch bytes apart.
void ConvertRect(const RowConverter& converter, const ScreenImage& image, const SurfaceRect& r, uint8_t* out,
                 size_t outPitch)
{
    for (int y = r.top; y < r.bottom; ++y)
        converter.ToArgb(image.bits + size_t(y) * size_t(image.pitch) +
                             size_t(r.left) * size_t(image.format.BytesPerPixel()),
                         reinterpret_cast<uint32_t*>(out + size_t(y - r.top) * outPitch), r.Width());
}

// What lies outside the viewport (the bars beside the image, or above and below it) filled
// black; the rectangles filled are added to shown.
void FillBars(SDL_Surface* s, const SDL_Rect& v, std::vector<SDL_Rect>& shown)
{
    const SDL_Rect bars[] = {
        {0, 0, s->w, v.y},
        {0, v.y + v.h, s->w, s->h - (v.y + v.h)},
        {0, v.y, v.x, v.h},
        {v.x + v.w, v.y, s->w - (v.x + v.w), v.h},
    };
    const Uint32 black = SDL_MapRGB(s->format, 0, 0, 0);
    for (const SDL_Rect& bar : bars)
    {
        if (bar.w <= 0 || bar.h <= 0) continue;
        SDL_FillRect(s, &bar, black);
        shown.push_back(bar);
    }
}

// The surface road: the changed rectangles of the image into the window's surface.
bool PresentToSurface(const ScreenImage& image, const std::vector<SurfaceRect>& changed)
{
    detail::Desktop& d = detail::GetDesktop();
    SDL_Surface* s = SDL_GetWindowSurface(d.window);
    if (!s || s->w <= 0 || s->h <= 0) return false;
    const bool fresh = s != d.shownSurface || s->w != d.shownWidth || s->h != d.shownHeight ||
                       image.width != d.screenWidth || image.height != d.screenHeight;
    if (fresh)
    {
        SDL_FillRect(s, nullptr, SDL_MapRGB(s->format, 0, 0, 0));
        d.shownSurface = s;
        d.shownWidth = s->w;
        d.shownHeight = s->h;
        d.screenWidth = image.width;
        d.screenHeight = image.height;
        Letterbox(image.width, image.height, s->w, s->h, d.viewport, d.viewportScale);
        Scaler().SetSizes(image.width, image.height, d.viewport.w, d.viewport.h);
    }
    std::vector<SurfaceRect> rects =
        fresh ? std::vector<SurfaceRect>{SurfaceRect{0, 0, image.width, image.height}} : changed;
    const RowConverter& converter = ConverterFor(image.format);
    const bool direct = TakesArgbWords(s);
    const bool scaled = d.viewport.w != image.width || d.viewport.h != image.height;
    std::vector<SDL_Rect> shown;
    // The whole image is shown when the window must be drawn again (the desktop has lost what
    // it showed: another window lay over it), and the bars with it: the desktop keeps in them
    // whatever covered them.
    const bool whole = std::any_of(rects.begin(), rects.end(),
                                   [&](const SurfaceRect& r) {
                                       return r.left <= 0 && r.top <= 0 && r.right >= image.width &&
                                              r.bottom >= image.height;
                                   });
    if (whole && !fresh) FillBars(s, d.viewport, shown);
    std::vector<uint32_t> scratch;
    uint8_t* origin = static_cast<uint8_t*>(s->pixels) + size_t(d.viewport.y) * size_t(s->pitch) +
                      size_t(d.viewport.x) * size_t(s->format->BytesPerPixel);
    for (const SurfaceRect& asked : rects)
    {
        SurfaceRect r = asked.ClippedTo(image.width, image.height);
        if (r.IsEmpty()) continue;
        if (!scaled)
        {
            SDL_Rect to{d.viewport.x + r.left, d.viewport.y + r.top, r.Width(), r.Height()};
            if (direct)
            {
                ConvertRect(converter, image, r,
                            origin + size_t(r.top) * size_t(s->pitch) + size_t(r.left) * 4, size_t(s->pitch));
            }
            else
            {
                scratch.resize(size_t(r.Width()) * size_t(r.Height()));
                ConvertRect(converter, image, r, reinterpret_cast<uint8_t*>(scratch.data()),
                            size_t(r.Width()) * 4);
                ConvertInto(s, to, scratch.data(), r.Width() * 4);
            }
            shown.push_back(to);
            continue;
        }
        // Scaled: every destination pixel the change reaches, from the source around it.
        ScreenScaler& scaler = Scaler();
        SurfaceRect dest = scaler.Reach(r);
        if (dest.IsEmpty()) continue;
        SurfaceRect foot = scaler.Footprint(dest);
        std::vector<uint32_t> source;
        ScreenScaler::SourceRow row;
        if (converter.IsCopy())
        {
            row = [&](int y) {
                return reinterpret_cast<const uint32_t*>(image.bits + size_t(y) * size_t(image.pitch)) +
                       foot.left;
            };
        }
        else
        {
            source.resize(size_t(foot.Width()) * size_t(foot.Height()));
            ConvertRect(converter, image, foot, reinterpret_cast<uint8_t*>(source.data()),
                        size_t(foot.Width()) * 4);
            row = [&](int y) { return source.data() + size_t(y - foot.top) * size_t(foot.Width()); };
        }
        SDL_Rect to{d.viewport.x + dest.left, d.viewport.y + dest.top, dest.Width(), dest.Height()};
        if (direct)
        {
            scaler.Scale(dest, row, origin + size_t(dest.top) * size_t(s->pitch) + size_t(dest.left) * 4,
                         s->pitch);
        }
        else
        {
            scratch.resize(size_t(dest.Width()) * size_t(dest.Height()));
            scaler.Scale(dest, row, reinterpret_cast<uint8_t*>(scratch.data()), dest.Width() * 4);
            ConvertInto(s, to, scratch.data(), dest.Width() * 4);
        }
        shown.push_back(to);
    }
    if (fresh) return SDL_UpdateWindowSurface(d.window) == 0;
    if (shown.empty()) return true;
    return SDL_UpdateWindowSurfaceRects(d.window, shown.data(), int(shown.size())) == 0;
}

// The renderer road: the window drawn whole from a texture of the screen image.
bool PresentThroughRenderer(SDL_Texture* texture, int width, int height)
{
    detail::Desktop& d = detail::GetDesktop();
    if (d.fullscreen) SDL_SetTextureScaleMode(texture, SDL_ScaleModeLinear);
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
    d.screenWidth = width;
    d.screenHeight = height;
    SDL_SetRenderDrawColor(d.renderer, 0, 0, 0, 255);
    SDL_RenderClear(d.renderer);
    SDL_BlendMode blend = SDL_BLENDMODE_NONE;
    SDL_GetTextureBlendMode(texture, &blend);
    SDL_SetTextureBlendMode(texture, SDL_BLENDMODE_NONE);
    int result = SDL_RenderCopy(d.renderer, texture, nullptr, nullptr);
    SDL_SetTextureBlendMode(texture, blend);
    if (result != 0) return false;
    SDL_RenderPresent(d.renderer);
    return true;
}

// The renderer road with the image in main memory: the changed rows uploaded to the screen's
// streaming texture, then the window drawn whole.
bool PresentImageThroughRenderer(const ScreenImage& image, const std::vector<SurfaceRect>& changed)
{
    detail::Desktop& d = detail::GetDesktop();
    bool fresh = !d.texture || d.screenWidth != image.width || d.screenHeight != image.height;
    if (fresh)
    {
        if (d.texture) SDL_DestroyTexture(d.texture);
        d.texture = SDL_CreateTexture(d.renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STREAMING,
                                      image.width, image.height);
        if (!d.texture) return false;
    }
    std::vector<SurfaceRect> rects =
        fresh ? std::vector<SurfaceRect>{SurfaceRect{0, 0, image.width, image.height}} : changed;
    const RowConverter& converter = ConverterFor(image.format);
    std::vector<uint32_t> rows;
    for (const SurfaceRect& asked : rects)
    {
        SurfaceRect r = asked.ClippedTo(image.width, image.height);
        if (r.IsEmpty()) continue;
        SDL_Rect to{r.left, r.top, r.Width(), r.Height()};
        rows.resize(size_t(r.Width()) * size_t(r.Height()));
        ConvertRect(converter, image, r, reinterpret_cast<uint8_t*>(rows.data()), size_t(r.Width()) * 4);
        if (SDL_UpdateTexture(d.texture, &to, rows.data(), r.Width() * 4) != 0) return false;
    }
    return PresentThroughRenderer(d.texture, image.width, image.height);
}

} // namespace

bool OpenScreen(ScreenRoad road, bool vsync, std::string& error)
{
    detail::Desktop& d = detail::GetDesktop();
    if (!d.window)
    {
        error = d.videoUp ? "no main window" : GetVideoError();
        return false;
    }
    if (road == ScreenRoad::WindowSurface)
    {
        if (d.renderer) CloseScreen();
        return true;
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
        ++d.renderersMade;
        d.rendererVSync = vsync;
        d.shownSurface = nullptr; // the renderer draws the window from now on
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
    d.shownSurface = nullptr; // drawn whole by the next present
    ++d.rendererGeneration;   // every texture of the renderer is gone with it
}

bool ScreenHasRenderer()
{
    return detail::GetDesktop().renderer != nullptr;
}

bool PresentScreen(const ScreenImage& image, const std::vector<SurfaceRect>& changed)
{
    detail::Desktop& d = detail::GetDesktop();
    if (!d.window || !image.bits || image.width <= 0 || image.height <= 0) return false;
    if (image.format.bitCount != 16 && image.format.bitCount != 32) return false;
    return d.renderer ? PresentImageThroughRenderer(image, changed) : PresentToSurface(image, changed);
}

bool PresentScreen(const uint32_t* pixels, int width, int height, int pitchBytes)
{
    ScreenImage image;
    image.bits = reinterpret_cast<const uint8_t*>(pixels);
    image.pitch = pitchBytes;
    image.width = width;
    image.height = height;
    image.format = PixelFormat::Rgb32();
    return PresentScreen(image, {SurfaceRect{0, 0, width, height}});
}

bool PresentScreenTexture(SDL_Texture* texture, int width, int height)
{
    detail::Desktop& d = detail::GetDesktop();
    if (!d.renderer || !texture || width <= 0 || height <= 0) return false;
    return PresentThroughRenderer(texture, width, height);
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
    if (!d.window || (d.renderer && ScreenRendererName() != "software")) return false;
    if (!d.renderer && !d.shownSurface) return false; // nothing shown yet
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
