// The display image: construction, its surface, read-back and the routing of the simple slots.
#include "display/DDImage.h"

#include "base/AutoCrit.h"
#include "display/D3DInterface.h"
#include "display/DDInterface.h"
#include "display/SurfacePixels.h"
#include "graphics/ImageRegistry.h"
#include "platform/display/DisplaySurface.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace Kavo
{

namespace
{

ImageRegistry* RegistryOf(DDInterface* display)
{
    ImageRegistry* registry = display && display->mHost ? display->mHost->GetImageRegistry() : nullptr;
    return registry ? registry : ImageRegistry::Get();
}

// A double as an int, truncated toward zero, held within a range that later sums cannot leave
// (the width from one end to the other, plus one).
int SafeTrunc(double v)
{
    return int(std::clamp(v, -536870912.0, 536870912.0));
}

} // namespace

DDImage::DDImage(DDInterface* display) : MemoryImage(RegistryOf(display)), mDDInterface(display)
{
    if (mDDInterface) mDDInterface->AddImage(this);
}

DDImage::~DDImage()
{
    if (mSurface && mLockDepth > 0) mSurface->Unlock();
    mSurface.reset();
    if (mDDInterface)
    {
        // Its textures go with it, whatever registry it was made with.
        mDDInterface->RemoveImageTextures(this);
        mDDInterface->RemoveImage(this);
    }
}

// ---------------------------------------------------------------- queries

bool DDImage::DrawsThrough3D() const
{
    return mDDInterface && mDDInterface->mIs3D && mSurface && mSurface == mDDInterface->mDrawSurface;
}

bool DDImage::ImageDrawsThrough3D(Image* image)
{
    DDImage* dd = dynamic_cast<DDImage*>(image);
    return dd && dd->DrawsThrough3D();
}

bool DDImage::IsPlain() const
{
    return !hasAlpha && !hasTrans && !(mDDInterface && mDDInterface->mIs3D);
}

bool DDImage::IsCursorArea() const
{
    return mDDInterface &&
           (this == mDDInterface->mOldCursorAreaImage || this == mDDInterface->mNewCursorAreaImage);
}

bool DDImage::CanDrawInMemory() const
{
    return bits || IsPalettized() || !mSurface;
}

// ---------------------------------------------------------------- the surface

platform::DisplaySurface* DDImage::GetSurface()
{
    if (!mSurface) CreateSurface();
    return mSurface.get();
}

bool DDImage::CreateSurface()
{
    if (mSurface) return true;
    if (!mDDInterface || width <= 0 || height <= 0) return false;
    CommitBits();
    if (hasAlpha) return false;
    mWantSurface = true;
    if (IsPalettized()) GetBits();

    platform::SurfaceDesc desc;
    desc.width = width;
    desc.height = height;
    desc.memory = mInVideoMemory ? platform::SurfaceMemory::Video : platform::SurfaceMemory::System;
    AutoCrit lock(mDDInterface->mCritSect);
    std::shared_ptr<platform::DisplaySurface> surface;
    if (mDDInterface->CreateSurface(desc, surface) < 0 || !surface) return false;
    mSurface = surface;
    if (!LockSurface())
    {
        mSurface.reset();
        return false;
    }

    const platform::PixelFormat& f = mLockDesc.format;
    const bool wide = f.bitCount == 32;
    auto convert = [&](uint32_t argb) { return ArgbToSurface(argb); };
    const uint32_t* words = bits.get();
    if (mLockDesc.bits && words && (f.bitCount == 16 || f.bitCount == 32))
    {
        size_t count = size_t(width) * size_t(height);
        if (!hasTrans)
        {
            StoreBits();
        }
        else
        {
            // The key is the first see-through pixel's value, unless a visible pixel has that
            // value too: then a value no visible pixel has. Values are compared as the surface
            // holds them, so that a key never stands for a visible colour of any layout.
            const uint32_t valueMask = wide ? 0xFFFFFFu : 0xFFFFu;
            uint32_t key = 0;
            for (size_t i = 0; i < count; ++i)
                if ((words[i] >> 24) < 255)
                {
                    key = convert(words[i]) & valueMask;
                    break;
                }
            bool collides = false;
            for (size_t i = 0; i < count && !collides; ++i)
                collides = (words[i] >> 24) == 255 && (convert(words[i]) & valueMask) == key;
            if (collides)
            {
                std::vector<uint64_t> used(size_t(valueMask / 64 + 1), 0);
                for (size_t i = 0; i < count; ++i)
                    if (words[i] >> 24)
                    {
                        uint32_t v = convert(words[i]) & valueMask;
                        used[v / 64] |= uint64_t(1) << (v % 64);
                    }
                for (uint32_t v = 0; v <= valueMask; ++v)
                    if (!(used[v / 64] & (uint64_t(1) << (v % 64))))
                    {
                        key = v;
                        break;
                    }
            }
            for (int y = 0; y < height; ++y)
                for (int x = 0; x < width; ++x)
                {
                    uint32_t p = words[size_t(y) * size_t(width) + size_t(x)];
                    SurfacePixels::Store(SurfacePixels::PixelAt(mLockDesc, x, y), wide,
                                         (p >> 24) == 255 ? convert(p) : key);
                }
            mSurface->SetColorKey(key);
        }
    }
    UnlockSurface();
    return true;
}

uint32_t DDImage::ArgbToSurface(uint32_t argb) const
{
    const DDInterface& d = *mDDInterface;
    const platform::PixelFormat& f = mLockDesc.format;
    auto channel = [&](int top, int bits, int shift, uint32_t mask)
    {
        int down = top - bits;
        uint32_t v = down >= 0 ? argb >> down : argb << -down;
        return (v << shift) & mask;
    };
    return channel(24, d.redBits, d.redShift, f.redMask) |
           channel(16, d.greenBits, d.greenShift, f.greenMask) |
           channel(8, d.blueBits, d.blueShift, f.blueMask);
}

void DDImage::StoreBits()
{
    const platform::PixelFormat& f = mLockDesc.format;
    if (!bits || !mLockDesc.bits || (f.bitCount != 16 && f.bitCount != 32)) return;
    const int w = std::min(width, mLockDesc.width), h = std::min(height, mLockDesc.height);
    for (int y = 0; y < h; ++y)
    {
        const uint32_t* in = bits.get() + size_t(y) * size_t(width);
        for (int x = 0; x < w; ++x)
            SurfacePixels::Store(SurfacePixels::PixelAt(mLockDesc, x, y), f.bitCount == 32,
                                 ArgbToSurface(in[x]));
    }
}

void DDImage::DeleteDDSurface()
{
    if (!mSurface) return;
    if (!IsPalettized() && !bits && !d3dData) GetBits();
    if (mLockDepth > 0)
    {
        mSurface->Unlock();
        mLockDepth = 0;
    }
    mSurface.reset();
}

void DDImage::DiscardMemoryCopies()
{
    bits.reset();
    nativeAlphaData.reset();
    rlAdditiveData.reset();
    rlAlphaData.reset();
    colorTable.reset();
    colorIndices.reset();
}

bool DDImage::LockSurface()
{
    if (DrawsThrough3D()) return false;
    if (mLockDepth == 0)
    {
        platform::DisplaySurface* surface = GetSurface();
        if (!surface) return false;
        mLockDesc = platform::SurfaceLock();
        if (surface->Lock(mLockDesc, platform::kLockWait) < 0) return false;
    }
    ++mLockDepth;
    return true;
}

bool DDImage::UnlockSurface()
{
    if (DrawsThrough3D() || mLockDepth <= 0) return false;
    if (--mLockDepth == 0 && mSurface) mSurface->Unlock();
    return true;
}

void DDImage::SetSurface(std::shared_ptr<platform::DisplaySurface> surface)
{
    mSurfaceAdopted = true;
    mSurface = std::move(surface);
    mLockDepth = 0;
    if (mSurface)
    {
        width = mSurface->Width();
        height = mSurface->Height();
    }
    mNeverLock = false;
}

void DDImage::SetVideoMemory(bool inVideoMemory)
{
    if (inVideoMemory == mInVideoMemory) return;
    mInVideoMemory = inVideoMemory;
    GetBits();
    DeleteDDSurface();
}

bool DDImage::GenerateDDSurface()
{
    return CreateSurface();
}

// ---------------------------------------------------------------- storage

uint32_t* DDImage::GetBits()
{
    if (bits) return bits.get();
    if (!mSurface) return MemoryImage::GetBits();
    if (mNeverLock || !LockSurface()) return nullptr;
    size_t pixels = size_t(width) * size_t(height);
    AlignedWords words = AllocateAlignedWords(pixels + 1);
    words[pixels] = kGuardWord;
    const platform::PixelFormat& f = mLockDesc.format;
    const bool wide = f.bitCount == 32;
    uint32_t key = 0;
    const bool keyed = mSurface->GetColorKey(key);
    const SurfacePixels::RgbReader rgb(f);
    int w = std::min(width, mLockDesc.width), h = std::min(height, mLockDesc.height);
    if (w < width || h < height) std::memset(words.get(), 0, pixels * 4);
    for (int y = 0; y < h && mLockDesc.bits; ++y)
    {
        const uint8_t* row = SurfacePixels::PixelAt(mLockDesc, 0, y);
        uint32_t* out = words.get() + size_t(y) * size_t(width);
        for (int x = 0; x < w; ++x)
        {
            const uint32_t p = SurfacePixels::Load(row + size_t(x) * (wide ? 4 : 2), wide);
            // The key stands for the see-through pixels.
            bool seeThrough =
                keyed && (wide ? (p & 0xFFFFFF) == (key & 0xFFFFFF) : (p & 0xFFFF) == (key & 0xFFFF));
            out[x] = (seeThrough ? 0u : 0xFF000000u) | rgb(p);
        }
    }
    UnlockSurface();
    bits = std::move(words);
    return bits.get();
}

void DDImage::PurgeBits()
{
    if (mSurfaceAdopted) return;
    purgeBits = true;
    CommitBits();
    bool threeD = app && app->Is3DAccelerated();
    if (threeD && mSurface)
    {
        GetBits();
        DeleteDDSurface();
        MemoryImage::PurgeBits();
        return;
    }
    if (!threeD && mWantSurface && CreateSurface())
    {
        bits.reset();
        colorIndices.reset();
        colorTable.reset();
        return;
    }
    MemoryImage::PurgeBits();
}

void DDImage::DeleteExtraBuffers()
{
    if (mSurfaceAdopted) return;
    MemoryImage::DeleteExtraBuffers();
    DeleteDDSurface();
}

void DDImage::DeleteNativeData()
{
    if (mSurfaceAdopted) return;
    MemoryImage::DeleteNativeData();
    DeleteDDSurface();
}

void DDImage::ReInit()
{
    MemoryImage::ReInit();
    if (mWantSurface) CreateSurface();
}

void DDImage::BitsChanged()
{
    MemoryImage::BitsChanged();
    if (mSurfaceAdopted && mSurface)
    {
        // The display's surface is the picture: what was drawn into the memory copy goes
        // there, and the surface stays.
        if (bits && LockSurface())
        {
            StoreBits();
            UnlockSurface();
        }
        return;
    }
    if (mSurface && mLockDepth > 0) mSurface->Unlock();
    mLockDepth = 0;
    mSurface.reset();
}

void DDImage::CommitBits()
{
    if (mSurface) return;
    MemoryImage::CommitBits();
}

void DDImage::Create(int w, int h)
{
    bits.reset();
    // A palette of the old size would not fit the new one.
    colorTable.reset();
    colorIndices.reset();
    SetSize(w, h);
    BitsChanged();
}

// ---------------------------------------------------------------- routing

bool DDImage::FinishSurfaceDraw(bool drew, int drawMode)
{
    if (drew) DiscardMemoryCopies();
    return drew || !CanDrawInMemory() || (drawMode != DRAWMODE_NORMAL && drawMode != DRAWMODE_ADDITIVE);
}

bool DDImage::PolyFill(const Point* vertices, int count, const Rect& clip, const Color& color, int drawMode,
                       int tx, int ty)
{
    if (!DrawsThrough3D()) return false;
    mDDInterface->mD3DInterface->FillPoly(vertices, count, &clip, color, drawMode, tx, ty);
    return true;
}

void DDImage::FillRect(const Rect& rect, const Color& color, int drawMode)
{
    if (DrawsThrough3D())
    {
        mDDInterface->mD3DInterface->FillRect(rect, color, drawMode);
        return;
    }
    CommitBits();
    if (IsPlain())
    {
        bool drew = drawMode == DRAWMODE_NORMAL     ? NormalFillRect(rect, color)
                    : drawMode == DRAWMODE_ADDITIVE ? AdditiveFillRect(rect, color)
                                                    : false;
        if (FinishSurfaceDraw(drew, drawMode)) return;
    }
    MemoryImage::FillRect(rect, color, drawMode);
}

void DDImage::DrawLine(double x1, double y1, double x2, double y2, const Color& color, int drawMode)
{
    if (!std::isfinite(x1) || !std::isfinite(y1) || !std::isfinite(x2) || !std::isfinite(y2)) return;
    if (DrawsThrough3D())
    {
        mDDInterface->mD3DInterface->DrawLine(x1, y1, x2, y2, color, drawMode);
        return;
    }
    if (IsPlain())
    {
        if (y1 == y2)
        {
            int a = SafeTrunc(std::min(x1, x2)), b = SafeTrunc(std::max(x1, x2));
            FillRect(Rect(a, SafeTrunc(y1), b - a + 1, 1), color, drawMode);
            return;
        }
        if (x1 == x2)
        {
            int a = SafeTrunc(std::min(y1, y2)), b = SafeTrunc(std::max(y1, y2));
            FillRect(Rect(SafeTrunc(x1), a, 1, b - a + 1), color, drawMode);
            return;
        }
        CommitBits();
        bool drew = drawMode == DRAWMODE_NORMAL     ? NormalDrawLine(x1, y1, x2, y2, color)
                    : drawMode == DRAWMODE_ADDITIVE ? AdditiveDrawLine(x1, y1, x2, y2, color)
                                                    : false;
        if (FinishSurfaceDraw(drew, drawMode)) return;
    }
    MemoryImage::DrawLine(x1, y1, x2, y2, color, drawMode);
}

void DDImage::DrawLineAA(double x1, double y1, double x2, double y2, const Color& color, int drawMode)
{
    if (!std::isfinite(x1) || !std::isfinite(y1) || !std::isfinite(x2) || !std::isfinite(y2)) return;
    if (DrawsThrough3D())
    {
        mDDInterface->mD3DInterface->DrawLine(x1, y1, x2, y2, color, drawMode);
        return;
    }
    if (IsPlain())
    {
        if (y1 == y2 || x1 == x2)
        {
            DrawLine(x1, y1, x2, y2, color, drawMode);
            return;
        }
        CommitBits();
        bool drew = drawMode == DRAWMODE_NORMAL     ? NormalDrawLineAA(x1, y1, x2, y2, color)
                    : drawMode == DRAWMODE_ADDITIVE ? AdditiveDrawLineAA(x1, y1, x2, y2, color)
                                                    : false;
        if (FinishSurfaceDraw(drew, drawMode)) return;
    }
    MemoryImage::DrawLineAA(x1, y1, x2, y2, color, drawMode);
}

void DDImage::Blt(Image* srcImage, int x, int y, const Rect& srcRect, const Color& color, int drawMode)
{
    if (!srcImage) return;
    srcImage->drawn = true;
    CommitBits();
    MemoryImage* src = dynamic_cast<MemoryImage*>(srcImage);
    if (DrawsThrough3D())
    {
        DDImage* ddSrc = dynamic_cast<DDImage*>(srcImage);
        if (ddSrc && ddSrc->mSurface && drawMode == DRAWMODE_NORMAL && color.IsWhite() && !ddSrc->hasAlpha &&
            mDDInterface->mD3DInterface->TransformListEmpty())
        {
            SurfaceCopy(ddSrc, Rect(x, y, srcRect.mWidth, srcRect.mHeight), srcRect);
            return;
        }
        if (src) mDDInterface->mD3DInterface->Blt(src, float(x), float(y), srcRect, color, drawMode, false);
        return;
    }
    if (!src) return;
    if (IsPlain() || (!hasAlpha && !hasTrans && IsCursorArea()))
    {
        bool drew = drawMode == DRAWMODE_NORMAL     ? NormalBlt(src, x, y, srcRect, color)
                    : drawMode == DRAWMODE_ADDITIVE ? AdditiveBlt(src, x, y, srcRect, color)
                                                    : false;
        if (FinishSurfaceDraw(drew, drawMode)) return;
    }
    MemoryImage::Blt(src, x, y, srcRect, color, drawMode);
}

void DDImage::BltGlyphs(Image* src, const GlyphBlit* glyphs, int count, const Rect& clip, const Color& color,
                        int drawMode, const TintedGlyphs*)
{
    Image::BltGlyphs(src, glyphs, count, clip, color, drawMode);
}

void DDImage::BltF(Image* srcImage, float x, float y, const Rect& srcRect, const Rect& clip,
                   const Color& color, int drawMode)
{
    if (!srcImage) return;
    srcImage->drawn = true;
    if (DrawsThrough3D())
    {
        MemoryImage* src = dynamic_cast<MemoryImage*>(srcImage);
        if (!src) return;
        double left = std::max(double(x), double(clip.mX)), top = std::max(double(y), double(clip.mY));
        double right = std::min(double(x) + srcRect.mWidth, double(clip.mX) + clip.mWidth);
        double bottom = std::min(double(y) + srcRect.mHeight, double(clip.mY) + clip.mHeight);
        if (!(right > left) || !(bottom > top)) return;
        if (left == double(x) && top == double(y) && right == double(x) + srcRect.mWidth &&
            bottom == double(y) + srcRect.mHeight)
            mDDInterface->mD3DInterface->Blt(src, x, y, srcRect, color, drawMode, true);
        else
            mDDInterface->mD3DInterface->BltClipF(src, x, y, srcRect, clip, color, drawMode);
        return;
    }
    BltRotated(srcImage, x, y, srcRect, clip, color, drawMode, 0.0, 0.0f, 0.0f);
}

void DDImage::BltMirror(Image* srcImage, int x, int y, const Rect& srcRect, const Color& color, int drawMode)
{
    if (!srcImage) return;
    srcImage->drawn = true;
    CommitBits();
    MemoryImage* src = dynamic_cast<MemoryImage*>(srcImage);
    if (!src) return;
    if (DrawsThrough3D())
    {
        mDDInterface->mD3DInterface->BltMirror(src, float(x), float(y), srcRect, color, drawMode);
        return;
    }
    // Routed like a plain blit: the surface only when it holds the true picture.
    if (IsPlain())
    {
        bool drew = drawMode == DRAWMODE_NORMAL     ? NormalBltMirror(src, x, y, srcRect, color)
                    : drawMode == DRAWMODE_ADDITIVE ? AdditiveBltMirror(src, x, y, srcRect, color)
                                                    : false;
        if (FinishSurfaceDraw(drew, drawMode)) return;
    }
    MemoryImage::BltMirror(src, x, y, srcRect, color, drawMode);
}

} // namespace Kavo
