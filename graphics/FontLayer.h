#pragma once

#include "base/Color.h"
#include "graphics/CharData.h"
#include "graphics/SharedImageHandle.h"

#include <algorithm>
#include <string>
#include <vector>

namespace Kavo
{

class FontData;

// One layer of a bitmap font: a strip image with per-character rectangles, advances, offsets,
// kerning and draw order, plus the colour, point range and tags that decide when and how it
// is drawn. Copies share the image.
class FontLayer
{
public:
    FontData* mFontData = nullptr;
    std::vector<std::string> mRequiredTags; // upper case; all must be on the font
    std::vector<std::string> mExcludedTags; // upper case; none may be on the font
    CharData mCharData[256];
    Color mColorMult = Color::White;
    Color mColorAdd = Color(0, 0, 0, 0);
    SharedImageHandle mImage;
    int mDrawMode = -1; // -1 keeps the drawing context's mode; 0 normal, 1 additive
    Point mOffset;      // added to every glyph
    int mSpacing = 0;   // added to the advance of a character followed by another
    int mMinPointSize = -1;
    int mMaxPointSize = -1; // -1: no upper bound
    int mPointSize = 0;     // size at which the image is drawn unscaled; 0: not sized
    int mAscent = 0;
    int mAscentPadding = 0;
    int mHeight = 0;
    int mDefaultHeight = 0; // tallest imageRect.height + offset.y; used when mHeight is 0
    int mLineSpacingOffset = 0;
    int mBaseOrder = 0; // added to every glyph's order

    explicit FontLayer(FontData* fontData = nullptr) : mFontData(fontData) {}

    // Recomputes mDefaultHeight from the character rectangles and offsets.
    void ComputeDefaultHeight()
    {
        mDefaultHeight = mCharData[0].mImageRect.mHeight + mCharData[0].mOffset.mY;
        for (const CharData& c : mCharData)
            mDefaultHeight = std::max(mDefaultHeight, c.mImageRect.mHeight + c.mOffset.mY);
    }
};

} // namespace Kavo
