#pragma once

#include "platform/display/DisplayTypes.h"

#include <cstdint>
#include <functional>
#include <vector>

// The screen image scaled onto the desktop with bilinear filtering, as a texture is filtered:
// destination pixel (x, y) samples the source at ((x + 0.5) w / W - 0.5, (y + 0.5) h / H - 0.5),
// its four neighbours weighted by 1/256ths, the edges clamped. Each destination pixel is made
// from its own position alone, so scaling only the part a change reaches gives the same pixels
// as scaling the whole: the screen is shown a rectangle at a time without seams.
namespace platform
{

class ScreenScaler
{
public:
    // width x height source pixels onto destWidth x destHeight.
    void SetSizes(int width, int height, int destWidth, int destHeight);
    int DestWidth() const { return mDestWidth; }
    int DestHeight() const { return mDestHeight; }

    // The destination pixels whose samples read the source rectangle (empty when none do).
    SurfaceRect Reach(const SurfaceRect& source) const;
    // The source pixels the destination rectangle reads.
    SurfaceRect Footprint(const SurfaceRect& dest) const;

    // Source row y of the footprint as 0xAARRGGBB words, from the footprint's left column on
    // (alpha is ignored).
    using SourceRow = std::function<const uint32_t*(int y)>;
    // Writes the destination rectangle as 0xFFRRGGBB words: out is where its top-left pixel
    // goes, rows outPitch bytes apart.
    void Scale(const SurfaceRect& dest, const SourceRow& source, uint8_t* out, int outPitch) const;
    // The same, a pixel at a time in plain arithmetic: the reference the fast rows are held to.
    void ScaleReference(const SurfaceRect& dest, const SourceRow& source, uint8_t* out, int outPitch) const;

private:
    // Where each destination column and row samples: the two source indices and the second
    // one's weight (0 to 256).
    struct Tap
    {
        int first = 0;
        int second = 0;
        int weight = 0;
    };
    static std::vector<Tap> Taps(int from, int to);

    int mWidth = 0;
    int mHeight = 0;
    int mDestWidth = 0;
    int mDestHeight = 0;
    std::vector<Tap> mColumns;
    std::vector<Tap> mRows;
    // Each column's second weight in four 16-bit lanes, for the fast rows.
    std::vector<uint16_t> mColumnWeights;
};

} // namespace platform
