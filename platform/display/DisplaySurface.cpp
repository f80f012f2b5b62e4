#include "platform/display/DisplaySurface.h"

#include "platform/display/DisplayCore.h"
#include "platform/display/DisplaySetup.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace platform
{

using detail::PixelConverter;

namespace
{

int64_t SurfaceBytes(const DisplaySurface& s)
{
    return int64_t(DisplaySurface::Access::Pitch(s)) * s.Height();
}

bool Inside(const SurfaceRect& r, int width, int height)
{
    return r.left >= 0 && r.top >= 0 && r.right <= width && r.bottom <= height && r.left < r.right &&
           r.top < r.bottom;
}

// The renderer of the main window when it is the one the surface's texture was made by.
SDL_Renderer* Renderer()
{
    return detail::GetDesktop().renderer;
}

// ARGB words of a region of a main-memory surface; with key, pixels equal to it get alpha 0,
// all others alpha 255 unless the format has alpha of its own. A palettised surface's colours
// are its palette's entries, alpha and all (a palette made without alpha has opaque entries).
std::vector<uint32_t> RegionToArgb(const DisplaySurface& s, const SurfaceRect& r, const uint32_t* key)
{
    PixelConverter conv(s.Format(), s.GetPalette().get());
    std::vector<uint32_t> out(size_t(r.Width()) * size_t(r.Height()));
    const uint8_t* base = DisplaySurface::Access::Pixels(s);
    int pitch = DisplaySurface::Access::Pitch(s);
    bool ownAlpha = (s.Format().flags & (kPixelAlphaPixels | kPixelPaletteIndexed8)) != 0;
    for (int y = 0; y < r.Height(); ++y)
    {
        const uint8_t* row = base + size_t(r.top + y) * size_t(pitch) + size_t(r.left) * size_t(conv.Bytes());
        uint32_t* o = out.data() + size_t(y) * size_t(r.Width());
        for (int x = 0; x < r.Width(); ++x)
        {
            uint32_t raw = conv.Load(row + size_t(x) * size_t(conv.Bytes()));
            uint32_t argb = conv.ToArgb(raw);
            if (!ownAlpha) argb |= 0xFF000000u;
            if (key && raw == *key) argb = 0;
            o[x] = argb;
        }
    }
    return out;
}

} // namespace

// ---------------------------------------------------------------- making and dropping

std::shared_ptr<DisplaySurface> DisplaySurface::Access::Make(const SurfaceDesc& desc)
{
    std::shared_ptr<DisplaySurface> s(new DisplaySurface());
    s->mDesc = desc;
    int bytes = desc.format.BytesPerPixel();
    s->mPitch = (desc.width * bytes + 3) & ~3;
    s->mPixels.assign(size_t(s->mPitch) * size_t(desc.height), 0);
    detail::RegisterSurface(s.get());
    if (IsVideo(*s)) detail::AddVideoBytes(SurfaceBytes(*s));
    return s;
}

DisplaySurface::~DisplaySurface()
{
    if (mLocked) detail::AddLockedSurfaces(-1);
    if (Access::IsVideo(*this)) detail::AddVideoBytes(-SurfaceBytes(*this));
    detail::UnregisterSurface(this);
    // The renderer's textures go with the renderer when it is closed; while it lives they are
    // destroyed here, on the main thread (surfaces with textures are dropped there only).
    detail::Desktop& d = detail::GetDesktop();
    if (mTextureGeneration == d.rendererGeneration && d.renderer)
    {
        if (mTexture) SDL_DestroyTexture(mTexture);
        if (mOpaqueTwin) SDL_DestroyTexture(mOpaqueTwin);
    }
}

bool DisplaySurface::Access::IsVideo(const DisplaySurface& s)
{
    return !s.mDesc.texture &&
           (s.mDesc.memory == SurfaceMemory::Video || s.mDesc.primary || s.mDesc.renderTarget);
}

bool DisplaySurface::Access::MakeRenderTarget(DisplaySurface& s)
{
    SDL_Renderer* r = Renderer();
    if (!r || !detail::OnMainThread() || !SDL_RenderTargetSupported(r)) return false;
    s.mTexture =
        SDL_CreateTexture(r, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_TARGET, s.Width(), s.Height());
    if (!s.mTexture) return false;
    s.mTextureWidth = s.Width();
    s.mTextureHeight = s.Height();
    s.mTextureGeneration = detail::GetDesktop().rendererGeneration;
    SDL_SetTextureBlendMode(s.mTexture, SDL_BLENDMODE_NONE);
    s.mGpuValid = false;
    s.mCpuValid = true;
    return true;
}

// ---------------------------------------------------------------- main memory and renderer

DisplayResult DisplaySurface::Access::MakeCpuValid(DisplaySurface& s)
{
    if (s.mCpuValid) return kDisplayOk;
    detail::Desktop& d = detail::GetDesktop();
    if (s.mTextureGeneration != d.rendererGeneration || !d.renderer)
    {
        s.mLost = true; // the picture went with the renderer
        return kErrSurfaceLost;
    }
    if (!detail::OnMainThread()) return kErrWasStillDrawing;
    std::vector<uint32_t> argb(size_t(s.Width()) * size_t(s.Height()));
    SDL_SetRenderTarget(d.renderer, s.mTexture);
    if (SDL_RenderReadPixels(d.renderer, nullptr, SDL_PIXELFORMAT_ARGB8888, argb.data(), s.Width() * 4) != 0)
        return kErrGeneric;
    PixelConverter conv(s.Format(), nullptr);
    bool same = s.Format().bitCount == 32 && s.Format().redMask == 0xFF0000 &&
                s.Format().greenMask == 0xFF00 && s.Format().blueMask == 0xFF;
    for (int y = 0; y < s.Height(); ++y)
    {
        uint8_t* row = s.mPixels.data() + size_t(y) * size_t(s.mPitch);
        const uint32_t* in = argb.data() + size_t(y) * size_t(s.Width());
        if (same)
        {
            std::memcpy(row, in, size_t(s.Width()) * 4);
            continue;
        }
        for (int x = 0; x < s.Width(); ++x)
            conv.Store(row + size_t(x) * size_t(conv.Bytes()), conv.FromArgb(in[x]));
    }
    s.mCpuValid = true;
    return kDisplayOk;
}

DisplayResult DisplaySurface::Access::MakeGpuValid(DisplaySurface& s)
{
    detail::Desktop& d = detail::GetDesktop();
    if (!s.mTexture || s.mTextureGeneration != d.rendererGeneration || !d.renderer)
    {
        if (!s.mCpuValid) s.mLost = true;
        if (s.mLost) return kErrSurfaceLost;
        if (!MakeRenderTarget(s)) return kErrOutOfVideoMemory;
    }
    if (s.mGpuValid) return kDisplayOk;
    if (!detail::OnMainThread()) return kErrWasStillDrawing;
    SurfaceRect all{0, 0, s.Width(), s.Height()};
    std::vector<uint32_t> argb = RegionToArgb(s, all, nullptr);
    if (SDL_UpdateTexture(s.mTexture, nullptr, argb.data(), s.Width() * 4) != 0) return kErrGeneric;
    s.mGpuValid = true;
    return kDisplayOk;
}

SDL_Texture* DisplaySurface::Access::TextureToSample(DisplaySurface& s, bool opaque)
{
    detail::Desktop& d = detail::GetDesktop();
    if (!d.renderer || !detail::OnMainThread()) return nullptr;
    if (s.mTextureGeneration != d.rendererGeneration)
    {
        s.mTexture = nullptr; // gone with the renderer it was made by
        s.mOpaqueTwin = nullptr;
        s.mGpuValid = false;
        s.mOpaqueTwinValid = false;
        s.mTextureGeneration = d.rendererGeneration;
    }
    SDL_RendererInfo info;
    bool software =
        SDL_GetRendererInfo(d.renderer, &info) == 0 && info.name && std::string(info.name) == "software";
    // The software renderer maps coordinates 0 .. 1 onto the centres of the first and the last
    // texel; one more texel (a copy of the last) on each axis puts texel edges where the other
    // renderers have them.
    int tw = s.Width() + (software ? 1 : 0), th = s.Height() + (software ? 1 : 0);
    SDL_Texture*& texture = opaque ? s.mOpaqueTwin : s.mTexture;
    bool& valid = opaque ? s.mOpaqueTwinValid : s.mGpuValid;
    if (!texture)
    {
        texture = SDL_CreateTexture(d.renderer, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STATIC, tw, th);
        if (!texture) return nullptr;
        valid = false;
    }
    if (!opaque)
    {
        s.mTextureWidth = tw;
        s.mTextureHeight = th;
    }
    if (!valid)
    {
        SurfaceRect all{0, 0, s.Width(), s.Height()};
        std::vector<uint32_t> argb = RegionToArgb(s, all, nullptr);
        std::vector<uint32_t> upload(size_t(tw) * size_t(th));
        for (int y = 0; y < th; ++y)
            for (int x = 0; x < tw; ++x)
            {
                uint32_t p = argb[size_t(std::min(y, s.Height() - 1)) * size_t(s.Width()) +
                                  size_t(std::min(x, s.Width() - 1))];
                upload[size_t(y) * size_t(tw) + size_t(x)] = opaque ? (p | 0xFF000000u) : p;
            }
        if (SDL_UpdateTexture(texture, nullptr, upload.data(), tw * 4) != 0) return nullptr;
        valid = true;
    }
    return texture;
}

void DisplaySurface::Access::GpuDrawn(DisplaySurface& s, const SurfaceRect* where)
{
    s.mGpuValid = true;
    s.mCpuValid = false;
    if (where)
        MarkChanged(s, *where);
    else
        MarkAllChanged(s);
}

// ---------------------------------------------------------------- what changed

void DisplaySurface::Access::TrackChanges(DisplaySurface& s)
{
    s.mTracksChanges = true;
    MarkAllChanged(s);
}

void DisplaySurface::Access::MarkChanged(DisplaySurface& s, const SurfaceRect& r)
{
    if (!s.mTracksChanges || r.IsEmpty()) return;
    std::lock_guard<std::mutex> guard(s.mChangedLock);
    if (s.mChangedWhole) return;
    // Beyond this many the list costs more than showing everything.
    constexpr size_t kMostRects = 256;
    if (s.mChanged.size() >= kMostRects)
    {
        s.mChanged.clear();
        s.mChangedWhole = true;
        return;
    }
    s.mChanged.push_back(r);
}

void DisplaySurface::Access::MarkAllChanged(DisplaySurface& s)
{
    if (!s.mTracksChanges) return;
    std::lock_guard<std::mutex> guard(s.mChangedLock);
    s.mChanged.clear();
    s.mChangedWhole = true;
}

std::vector<SurfaceRect> DisplaySurface::Access::TakeChanged(DisplaySurface& s)
{
    std::lock_guard<std::mutex> guard(s.mChangedLock);
    std::vector<SurfaceRect> out;
    if (s.mChangedWhole)
        out.push_back(SurfaceRect{0, 0, s.Width(), s.Height()});
    else
        out.swap(s.mChanged);
    s.mChanged.clear();
    s.mChangedWhole = false;
    return out;
}

// ---------------------------------------------------------------- locks

DisplayResult DisplaySurface::Lock(SurfaceLock& out, uint32_t flags)
{
    if (GetDisplaySetup().faults.lock) return kErrSurfaceBusy;
    if (mLost) return kErrSurfaceLost;
    if (mLocked) return kErrSurfaceBusy;
    if (mDesc.renderTarget && !mCpuValid)
    {
        DisplayResult hr = Access::MakeCpuValid(*this);
        if (hr < 0) return hr;
    }
    mLocked = true;
    mLockReadOnly = (flags & kLockReadOnly) != 0;
    detail::AddLockedSurfaces(1);
    out.bits = mPixels.data();
    out.pitch = mPitch;
    out.width = mDesc.width;
    out.height = mDesc.height;
    out.format = mDesc.format;
    return kDisplayOk;
}

DisplayResult DisplaySurface::Unlock()
{
    if (!mLocked) return kErrNotLocked;
    mLocked = false;
    detail::AddLockedSurfaces(-1);
    if (!mLockReadOnly)
    {
        mGpuValid = false;
        mOpaqueTwinValid = false;
        Access::MarkAllChanged(*this);
    }
    return kDisplayOk;
}

// ---------------------------------------------------------------- blits

DisplayResult DisplaySurface::Blt(const SurfaceRect* destRect, DisplaySurface* source,
                                  const SurfaceRect* sourceRect, uint32_t flags)
{
    if (!source) return kErrInvalidParams;
    if (GetDisplaySetup().faults.blt) return kErrGeneric;
    if (mLost || source->mLost) return kErrSurfaceLost;
    if (mLocked || source->mLocked) return kErrSurfaceBusy;
    SurfaceRect d = destRect ? *destRect : SurfaceRect{0, 0, Width(), Height()};
    SurfaceRect s = sourceRect ? *sourceRect : SurfaceRect{0, 0, source->Width(), source->Height()};
    if (!Inside(s, source->Width(), source->Height())) return kErrInvalidRect;
    if (d.Width() <= 0 || d.Height() <= 0) return kErrInvalidRect;
    if (!Inside(d, Width(), Height()))
    {
        if (!(mDesc.primary && mClipped)) return kErrInvalidRect;
        // The clipper cuts the blit to the screen, taking the matching source part.
        SurfaceRect c = d.ClippedTo(Width(), Height());
        if (c.IsEmpty()) return kDisplayOk;
        auto map = [](int v, int from0, int fromLen, int to0, int toLen)
        { return to0 + int(int64_t(v - from0) * toLen / fromLen); };
        SurfaceRect cs{map(c.left, d.left, d.Width(), s.left, s.Width()),
                       map(c.top, d.top, d.Height(), s.top, s.Height()),
                       map(c.right, d.left, d.Width(), s.left, s.Width()),
                       map(c.bottom, d.top, d.Height(), s.top, s.Height())};
        d = c;
        s = cs;
        if (s.Width() <= 0 || s.Height() <= 0) return kDisplayOk;
    }
    uint32_t key = source->mKey;
    const bool keyed = (flags & kBltKeySrc) && source->mHasKey;
    const bool sourceOnGpu = Access::OnGpu(*source);

    // Into a render target whose picture is with the renderer, or from one whose picture is:
    // drawn by the renderer, so that nothing is read back.
    if (mDesc.renderTarget && (!mCpuValid || sourceOnGpu))
    {
        if (!detail::OnMainThread()) return kErrWasStillDrawing;
        DisplayResult hr = Access::MakeGpuValid(*this);
        if (hr < 0) return hr;
        SDL_Renderer* r = Renderer();
        SDL_Texture* from = nullptr;
        SDL_Texture* staging = nullptr;
        SDL_Rect sr{s.left, s.top, s.Width(), s.Height()};
        // A render target's texture is taken whenever it holds the picture: exact where a
        // 16-bit copy in main memory would not be, and nothing to upload.
        if (source->mDesc.renderTarget && (source->mGpuValid || !source->mCpuValid))
        {
            hr = Access::MakeGpuValid(*source);
            if (hr < 0) return hr;
            from = source->mTexture;
            SDL_SetTextureBlendMode(from, SDL_BLENDMODE_NONE);
        }
        else
        {
            std::vector<uint32_t> argb = RegionToArgb(*source, s, keyed ? &key : nullptr);
            staging = SDL_CreateTexture(r, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STATIC, s.Width(),
                                        s.Height());
            if (!staging) return kErrOutOfVideoMemory;
            SDL_UpdateTexture(staging, nullptr, argb.data(), s.Width() * 4);
            SDL_SetTextureBlendMode(staging, keyed ? SDL_BLENDMODE_BLEND : SDL_BLENDMODE_NONE);
            SDL_SetTextureScaleMode(staging, SDL_ScaleModeNearest);
            from = staging;
            sr = SDL_Rect{0, 0, s.Width(), s.Height()};
        }
        SDL_SetRenderTarget(r, mTexture);
        SDL_Rect dr{d.left, d.top, d.Width(), d.Height()};
        int result = SDL_RenderCopy(r, from, &sr, &dr);
        if (staging) SDL_DestroyTexture(staging);
        if (result != 0) return kErrGeneric;
        Access::GpuDrawn(*this, &d);
        return kDisplayOk;
    }

    // In main memory. A source whose picture is with the renderer is read back where the blit
    // reads it (all of it when a colour key is compared with its own pixels).
    std::vector<uint8_t> readBack;
    PixelFormat sourceFormat = source->Format();
    const uint8_t* srcBase = source->mPixels.data();
    int srcPitch = source->mPitch;
    if (sourceOnGpu && keyed)
    {
        DisplayResult hr = Access::MakeCpuValid(*source);
        if (hr < 0) return hr;
    }
    else if (sourceOnGpu)
    {
        detail::Desktop& desk = detail::GetDesktop();
        if (source->mTextureGeneration != desk.rendererGeneration || !desk.renderer)
        {
            source->mLost = true;
            return kErrSurfaceLost;
        }
        if (!detail::OnMainThread()) return kErrWasStillDrawing;
        readBack.resize(size_t(s.Width()) * size_t(s.Height()) * 4);
        SDL_Rect part{s.left, s.top, s.Width(), s.Height()};
        SDL_SetRenderTarget(desk.renderer, source->mTexture);
        if (SDL_RenderReadPixels(desk.renderer, &part, SDL_PIXELFORMAT_ARGB8888, readBack.data(),
                                 s.Width() * 4) != 0)
            return kErrGeneric;
        sourceFormat = PixelFormat::Rgb32();
        srcBase = readBack.data();
        srcPitch = s.Width() * 4;
        s = SurfaceRect{0, 0, s.Width(), s.Height()};
    }
    PixelConverter from(sourceFormat, source->mPalette.get());
    PixelConverter to(Format(), mPalette.get());
    const bool sameFormat = sourceFormat == Format() && !(Format().flags & kPixelPaletteIndexed8);
    const bool sameSize = s.Width() == d.Width() && s.Height() == d.Height();
    // A copy of the source when it overlaps the destination within one surface.
    std::vector<uint8_t> copy;
    if (source == this)
    {
        copy = mPixels;
        srcBase = copy.data();
    }
    for (int y = 0; y < d.Height(); ++y)
    {
        int sy = s.top + int(int64_t(y) * s.Height() / d.Height());
        const uint8_t* srow = srcBase + size_t(sy) * size_t(srcPitch);
        uint8_t* drow =
            mPixels.data() + size_t(d.top + y) * size_t(mPitch) + size_t(d.left) * size_t(to.Bytes());
        if (sameFormat && sameSize && !keyed)
        {
            std::memcpy(drow, srow + size_t(s.left) * size_t(from.Bytes()),
                        size_t(d.Width()) * size_t(to.Bytes()));
            continue;
        }
        for (int x = 0; x < d.Width(); ++x)
        {
            int sx = s.left + int(int64_t(x) * s.Width() / d.Width());
            uint32_t raw = from.Load(srow + size_t(sx) * size_t(from.Bytes()));
            if (keyed && raw == key) continue;
            to.Store(drow + size_t(x) * size_t(to.Bytes()), sameFormat ? raw : to.FromArgb(from.ToArgb(raw)));
        }
    }
    mGpuValid = false;
    mOpaqueTwinValid = false;
    Access::MarkChanged(*this, d);
    return kDisplayOk;
}

DisplayResult DisplaySurface::Flip()
{
    if (GetDisplaySetup().faults.flip) return kErrSurfaceLost;
    if (!mDesc.primary || !mBackBuffer) return kErrInvalidParams;
    if (mLost || mBackBuffer->mLost) return kErrSurfaceLost;
    if (mLocked || mBackBuffer->mLocked) return kErrSurfaceBusy;
    DisplaySurface& back = *mBackBuffer;
    std::vector<SurfaceRect> drawn = Access::TakeChanged(back);
    const bool onGpu = Access::OnGpu(back) || Access::OnGpu(*this);
    if (onGpu && !detail::OnMainThread()) return kErrWasStillDrawing;
    for (const SurfaceRect& r : drawn)
    {
        SurfaceRect c = r.ClippedTo(std::min(Width(), back.Width()), std::min(Height(), back.Height()));
        if (c.IsEmpty()) continue;
        DisplayResult hr = Blt(&c, &back, &c, 0);
        if (hr < 0) return hr;
    }
    return kDisplayOk;
}

// ---------------------------------------------------------------- keys, palettes, loss

DisplayResult DisplaySurface::SetColorKey(uint32_t key)
{
    if (mLost) return kErrSurfaceLost;
    mHasKey = true;
    mKey = key;
    return kDisplayOk;
}

bool DisplaySurface::GetColorKey(uint32_t& key) const
{
    key = mKey;
    return mHasKey;
}

DisplayResult DisplaySurface::SetPalette(std::shared_ptr<DisplayPalette> palette)
{
    if (!(mDesc.format.flags & kPixelPaletteIndexed8)) return kErrInvalidPixelFormat;
    mPalette = std::move(palette);
    mGpuValid = false;
    mOpaqueTwinValid = false;
    return kDisplayOk;
}

DisplayResult DisplaySurface::Restore()
{
    if (!mLost) return kDisplayOk;
    mLost = false;
    mCpuValid = true;
    mGpuValid = false;
    Access::MarkAllChanged(*this);
    if (mBackBuffer) mBackBuffer->Restore();
    return kDisplayOk;
}

} // namespace platform
