#pragma once

#include "graphics/Image.h"

#include <cstdint>
#include <memory>

namespace Kavo
{

class ImageRegistry;
class NativeDisplay;

// Pixel words on 64-byte boundaries, so that row copies and vector loops run aligned.
struct AlignedWordsDeleter
{
    void operator()(uint32_t* words) const;
};
using AlignedWords = std::unique_ptr<uint32_t[], AlignedWordsDeleter>;
AlignedWords AllocateAlignedWords(size_t count);

// The software image: pixels in main memory as 0xAARRGGBB words or as a 256-colour palette
// with one index byte per pixel, plus forms derived on first use and dropped whenever the
// pixels change: premultiplied pixels in the display's layout, per-row run lengths of alpha
// classes and of non-black pixels, and the pixels as an additive blit adds them. Every living
// image registers itself with the application.
class MemoryImage : public Image
{
public:
    static constexpr uint32_t kGuardWord = 0x4BEEFADE; // written after the last pixel
    // Largest image the class makes: larger sizes are refused (0 x 0) rather than allocated.
    static constexpr int64_t kMaxPixels = int64_t(1) << 28;

    // width x height words row by row, then the guard word; null while held in another form.
    AlignedWords bits;
    int bitsChangedCount = 0;                // moves with every BitsChanged
    void* d3dData = nullptr;                 // the 3D renderer's texture data (not owned here)
    uint32_t d3dFlags = 0;                   // the renderer's
    std::unique_ptr<uint32_t[]> colorTable;  // 256 ARGB words when palettised
    std::unique_ptr<uint8_t[]> colorIndices; // one byte per pixel when palettised
    bool forcedMode = false; // hasTrans and hasAlpha set by SetImageMode, no longer recomputed
    bool hasTrans = false;   // some pixel has alpha 0
    bool hasAlpha = false;   // some pixel has an alpha from 1 to 254
    bool isVolatile = false; // the pixels change often
    bool purgeBits = false;  // keep only the display form (replayed by ReInit)
    bool wantPal = false;    // the image was palettised (replayed by ReInit)
    // Premultiplied pixels in the display's layout (256 words for a palettised image).
    std::unique_ptr<uint32_t[]> nativeAlphaData;
    std::unique_ptr<uint8_t[]> rlAlphaData;    // one run length per pixel, see GetRLAlphaData
    std::unique_ptr<uint8_t[]> rlAdditiveData; // one run length per pixel, see GetRLAdditiveData
    AlignedWords alphaWeightedData;            // see GetAlphaWeightedData
    bool bitsChanged = false;                  // hasTrans and hasAlpha are stale
    int64_t translucentPixels = -1;            // alphas 1 to 254, counted by CommitBits; -1: unknown
    ImageRegistry* app = nullptr;              // the registry the image is registered with

    // Registers with the process-wide registry, or with the given one.
    MemoryImage();
    explicit MemoryImage(ImageRegistry* registry);
    MemoryImage(const MemoryImage& other);
    ~MemoryImage() override;

    // --- Drawing (software) ---
    void FillRect(const Rect& rect, const Color& color, int drawMode) override;
    void ClearRect(const Rect& rect) override;
    void DrawLine(double x1, double y1, double x2, double y2, const Color& color, int drawMode) override;
    void DrawLineAA(double x1, double y1, double x2, double y2, const Color& color, int drawMode) override;
    void FillScanLinesWithCoverage(Span* spans, int count, const Color& color, int drawMode,
                                   const uint8_t* coverage, int coverX, int coverY, int coverWidth,
                                   int coverHeight) override;
    void Blt(Image* src, int x, int y, const Rect& srcRect, const Color& color, int drawMode) override;
    // The same pixels as blitting the glyphs one by one, with the blit set up once.
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
    // The source part flipped left to right, then drawn as Blt or StretchBlt draw it.
    void BltMirror(Image* src, int x, int y, const Rect& srcRect, const Color& color, int drawMode) override;
    void StretchBltMirror(Image* src, const Rect& destRect, const Rect& srcRect, const Rect& clip,
                          const Color& color, int drawMode, bool fastStretch) override;

    // --- Storage ---
    // Premultiplied words in the display's layout, cached until the next change.
    virtual uint32_t* GetNativeAlphaData(const NativeDisplay* display);
    // Per pixel, the length of its run of one alpha class (0, 255, other) to the row's end of
    // the run, counting itself, capped at 255. Cached.
    virtual uint8_t* GetRLAlphaData();
    // The same over the classes black / not black of the native data. Cached.
    virtual uint8_t* GetRLAdditiveData(const NativeDisplay* display);
    // The pixels as an additive blit of a source with alpha adds them: each colour channel
    // (c a) >> 8, alpha 0, w x h words. Cached until the pixels change; null without pixels.
    const uint32_t* GetAlphaWeightedData();
    virtual void PurgeBits();
    virtual void DeleteSWBuffers();
    virtual void Delete3DBuffers();
    virtual void DeleteExtraBuffers();
    virtual void ReInit();
    virtual void BitsChanged();
    virtual void CommitBits();
    virtual void DeleteNativeData();
    virtual void Clear();
    // Copies w x h words (nothing when they are the image's own bits).
    virtual void SetBits(const uint32_t* pixels, int w, int h, bool commit = true);
    // Drops the pixels and sets the size; GetBits then makes them, all 0.
    virtual void Create(int w, int h);
    // The ARGB words, built from the palette, the native data or the 3D data when missing.
    virtual uint32_t* GetBits();
    virtual void SetImageMode(bool trans, bool alpha);
    // The pixels as the last scan found them (a forced mode is not trusted): none below 255.
    bool IsOpaque() override;
    virtual void SetVolatile(bool isVolatileImage);
    // Turns the pixels into a palette when there are at most 256 distinct words.
    virtual bool Palletize();

    // --- Helpers the display image draws with ---
    // Filtered stretch of the source part (x, y, width, height in doubles) into dest of this
    // image's own bits.
    void SlowStretchBlt(MemoryImage* src, const Rect& dest, const double* srcRect);
    // The matrix and triangle draws through the rasteriser into destBits, an image of this
    // image's size with pitch bytes a row, in the rasteriser's pixel format.
    void BltMatrixHelper(MemoryImage* src, float x, float y, const Matrix3& matrix, const Rect& clip,
                         const Color& color, const Rect& srcRect, uint32_t* destBits, int pitch, int format,
                         bool blend);
    void BltTrianglesTexHelper(MemoryImage* src, const TriVertex* triangles, int triangleCount,
                               const Rect& clip, const Color& color, uint32_t* destBits, int pitch,
                               int format, float tx, float ty, bool blend);

    // The pixel at (x, y) whatever the form (palette or bits); 0 outside the image.
    uint32_t GetPixel(int x, int y);
    bool IsPalettized() const { return colorTable && colorIndices; }

protected:
    void Init();
    // Checked size: false (and 0 x 0) for a negative or too large size.
    bool SetSize(int w, int h);

private:
    class NormalBlitter;
    void AllocateBits();
    void DrawLineNormal(double x1, double y1, double x2, double y2, const Color& color, bool additive);
    void DrawLineAAHelper(double x1, double y1, double x2, double y2, const Color& color);
    void NormalBlt(MemoryImage* src, int x, int y, const Rect& srcRect, const Color& color);
    void AdditiveBlt(MemoryImage* src, int x, int y, const Rect& srcRect, const Color& color);
    // The part dest of a nearest-pixel stretch of srcRect over a destination of wholeWidth x
    // wholeHeight, whose first column and row are firstColumn and firstRow of it.
    void FastStretchBlt(MemoryImage* src, const Rect& dest, const double* srcRect, const Color& color,
                        int firstColumn, int firstRow, int wholeWidth, int wholeHeight);
    int RasterPixelFormat() const;
};

// Reads back a locked 32-bit or 16-bit surface into w x h ARGB words (alpha 255), placing each
// channel by the highest bit of its mask. Rows of the surface advance by pitch bytes.
void ConvertSurface32ToARGB(uint32_t* dest, int w, int h, const void* surface, int pitch, uint32_t redMask,
                            uint32_t greenMask, uint32_t blueMask);
void ConvertSurface16ToARGB(uint32_t* dest, int w, int h, const void* surface, int pitch, uint32_t redMask,
                            uint32_t greenMask, uint32_t blueMask);

} // namespace Kavo
