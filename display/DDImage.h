#pragma once

#include "graphics/MemoryImage.h"
#include "platform/display/DisplayTypes.h"

#include <functional>
#include <memory>

namespace platform
{
class DisplaySurface;
}

namespace Kavo
{

class DDInterface;
struct RectD;

// The image whose pixels can live in a display surface. Each drawing operation takes one of
// three roads:
//   1. the 3D renderer, when the image is the display's 3D draw surface;
//   2. the surface: the image locks its surface and writes pixels in the surface's own 16- or
//      32-bit layout; afterwards the memory copies are dropped (the surface holds the picture);
//   3. the software image's own operation on the 32-bit memory copy, for images with
//      transparent or partly transparent pixels and for every image while 3D is on.
// Callers tell it apart from other images by its run-time type.
//
// Its work is spread over several source files by concern:
//   DDImage.cpp          construction, the surface, read-back, routing of the simple slots
//   DDImageFills.cpp     fills and lines on the surface
//   DDImageBlits.cpp     plain, mirrored and additive blits on the surface
//   DDImageRotated.cpp   the rotated (and sub-pixel) blit
//   DDImageStretch.cpp   stretched and mirrored stretched blits
//   DDImageMatrix.cpp    matrix and triangle blits, coverage fills, palettising
//   DDImageText.cpp      system-font text drawn onto a surface
class DDImage : public MemoryImage
{
public:
    explicit DDImage(DDInterface* display);
    ~DDImage() override;

    // --- Drawing as a destination ---
    bool PolyFill(const Point* vertices, int count, const Rect& clip, const Color& color, int drawMode,
                  int tx, int ty) override;
    void FillRect(const Rect& rect, const Color& color, int drawMode) override;
    void DrawLine(double x1, double y1, double x2, double y2, const Color& color, int drawMode) override;
    void DrawLineAA(double x1, double y1, double x2, double y2, const Color& color, int drawMode) override;
    void FillScanLinesWithCoverage(Span* spans, int count, const Color& color, int drawMode,
                                   const uint8_t* coverage, int coverX, int coverY, int coverWidth,
                                   int coverHeight) override;
    void Blt(Image* src, int x, int y, const Rect& srcRect, const Color& color, int drawMode) override;
    // Glyph by glyph through Blt, which chooses the surface or the bits for each.
    void BltGlyphs(Image* src, const GlyphBlit* glyphs, int count, const Rect& clip, const Color& color,
                   int drawMode, const TintedGlyphs* tinted = nullptr) override;
    void BltF(Image* src, float x, float y, const Rect& srcRect, const Rect& clip, const Color& color,
              int drawMode) override;
    void BltRotated(Image* src, float x, float y, const Rect& srcRect, const Rect& clip, const Color& color,
                    int drawMode, double angle, float centerX, float centerY) override;
    void StretchBlt(Image* src, const Rect& destRect, const Rect& srcRect, const Rect& clip,
                    const Color& color, int drawMode, bool fastStretch) override;
    void BltMatrix(Image* src, float x, float y, const Matrix3& matrix, const Rect& clip, const Color& color,
                   int drawMode, const Rect& srcRect, bool blend) override;
    void BltTrianglesTex(Image* src, const TriVertex* triangles, int triangleCount, const Rect& clip,
                         const Color& color, int drawMode, float tx, float ty, bool blend) override;
    void BltMirror(Image* src, int x, int y, const Rect& srcRect, const Color& color, int drawMode) override;
    void StretchBltMirror(Image* src, const Rect& destRect, const Rect& srcRect, const Rect& clip,
                          const Color& color, int drawMode, bool fastStretch) override;

    // --- Storage ---
    void PurgeBits() override;
    void DeleteExtraBuffers() override;
    void ReInit() override;
    void BitsChanged() override;
    void CommitBits() override;
    void DeleteNativeData() override;
    // Drops the pixels and sets the size; keeps hasTrans and hasAlpha as they are.
    void Create(int w, int h) override;
    // The 32-bit pixels; read back from the surface when the memory copy is gone (null when
    // the surface cannot be locked).
    uint32_t* GetBits() override;
    bool Palletize() override;

    // --- The surface ---
    // The next surface is made in video memory (true) or system memory.
    virtual void SetVideoMemory(bool inVideoMemory);
    virtual bool GenerateDDSurface();
    // True when the surface is locked for software drawing (a nesting count rises; the first
    // lock locks the surface); false while the image draws through 3D or the lock fails. Every
    // true result is matched by one UnlockSurface.
    virtual bool LockSurface();
    virtual bool UnlockSurface();
    // Adopts a surface the display made (its size becomes the image's).
    virtual void SetSurface(std::shared_ptr<platform::DisplaySurface> surface);
    // Makes the surface from the 32-bit pixels; false for an image with partly transparent
    // pixels or when the display cannot make or lock one.
    bool CreateSurface();
    // The surface, made on first use; null when it cannot be made.
    platform::DisplaySurface* GetSurface();
    // Releases the surface, reading its pixels back first when no other copy exists.
    void DeleteDDSurface();
    // Frees the memory copies: the surface now holds the only picture.
    void DiscardMemoryCopies();
    bool DrawsThrough3D() const;
    // True only for a display image that draws through 3D.
    static bool ImageDrawsThrough3D(Image* image);

    // --- The surface routines (the surface road; each locks and unlocks) ---
    // Each returns true when it drew on the locked surface.
    virtual bool NormalFillRect(const Rect& rect, const Color& color);
    virtual bool AdditiveFillRect(const Rect& rect, const Color& color);
    virtual bool NormalBlt(Image* src, int x, int y, const Rect& srcRect, const Color& color);
    virtual bool AdditiveBlt(Image* src, int x, int y, const Rect& srcRect, const Color& color);
    virtual bool NormalDrawLine(double x1, double y1, double x2, double y2, const Color& color);
    virtual bool AdditiveDrawLine(double x1, double y1, double x2, double y2, const Color& color);
    virtual bool NormalDrawLineAA(double x1, double y1, double x2, double y2, const Color& color);
    virtual bool AdditiveDrawLineAA(double x1, double y1, double x2, double y2, const Color& color);
    virtual bool NormalBltMirror(Image* src, int x, int y, const Rect& srcRect, const Color& color);
    virtual bool AdditiveBltMirror(Image* src, int x, int y, const Rect& srcRect, const Color& color);

    // The image's surface holds the true picture and only plain drawing may go there.
    bool IsPlain() const;
    // True when it is one of the display's two cursor-area images.
    bool IsCursorArea() const;

    DDInterface* mDDInterface = nullptr; // the display that made it (not owned)
    std::shared_ptr<platform::DisplaySurface> mSurface;
    bool mSurfaceAdopted = false; // the display's surface: the native-data operations leave it
    bool mNeverLock = false;      // the video-memory screen: only surface-to-surface blits reach it
    bool mInVideoMemory = false;
    bool mWantSurface = false; // keep the pixels in a surface
    int mLockDepth = 0;
    platform::SurfaceLock mLockDesc; // valid while mLockDepth is above 0

private:
    // Locks the surface for a routine of the surface road: true (locked) for a 16- or 32-bit
    // surface; false, with nothing held, when the image never locks (and the routine honours
    // that), has no display or surface, or the lock fails.
    bool LockForDrawing(bool honourNeverLock);
    // Locks the surface for a blit of src and cuts the blit to the source and to the surface (x,
    // y and srcRect become the part drawn): Locked, to be drawn and unlocked; Nothing when no
    // part is left (nothing held, the blit is done); Failed when the surface could not be locked.
    enum class BlitLock
    {
        Locked,
        Nothing,
        Failed,
    };
    BlitLock LockForBlit(MemoryImage* src, bool mirror, int& x, int& y, Rect& srcRect);
    // A blit routine's source as a software image, marked drawn; null when it is none.
    MemoryImage* BlitSource(Image* srcImage);
    // After a surface routine: drops the memory copies when it drew; true when the call is done
    // (drawn, or nothing to draw in memory either).
    bool FinishSurfaceDraw(bool drew, int drawMode);
    // The surface road's blits of a mirrored or plain source; mirror walks right to left.
    bool BlendBlt(MemoryImage* src, int x, int y, const Rect& srcRect, const Color& color, bool mirror);
    bool AddBlt(MemoryImage* src, int x, int y, const Rect& srcRect, const Color& color, bool mirror);
    bool VolatileBlt(MemoryImage* src, int x, int y, const Rect& srcRect);
    bool PlainCopyBlt(MemoryImage* src, int x, int y, const Rect& srcRect);
    // A DirectDraw-style copy of another surface image's surface; false when it was not made.
    bool SurfaceCopy(DDImage* src, const Rect& destRect, const Rect& srcRect);
    bool StretchLoops(MemoryImage* src, const Rect& dest, const Rect& wholeDest, const Rect& srcRect,
                      const Color& color, int drawMode, bool mirror);
    // The filtered stretch of part of src into dest (clipped, inside the surface) on the surface.
    void SmoothStretch(MemoryImage* src, const Rect& dest, const RectD& part, const Color& color,
                       int drawMode);
    // The memory road is open: the memory copy holds the picture, or there is no surface.
    bool CanDrawInMemory() const;
    // An 0xAARRGGBB pixel in the locked surface's layout, and the memory copy written into the
    // locked surface.
    uint32_t ArgbToSurface(uint32_t argb) const;
    void StoreBits();
    // Locks the surface for the rasteriser: true when one of its fillers writes the layout.
    // Otherwise drawInMemory draws (when the memory road is open) and the result is false.
    bool LockForRasteriser(const std::function<void()>& drawInMemory);
    // The rasteriser's code for the locked surface: 0x888, 0x565, 0x555, or 0 for none.
    int RasterFormat() const;
    bool IsBgrSurface() const;
};

} // namespace Kavo
