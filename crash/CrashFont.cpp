#include "crash/CrashFont.h"

#include "graphics/Graphics.h"
#include "graphics/MemoryImage.h"

#include <algorithm>

namespace Kavo
{

CrashFont::CrashFont(const CrashFace& face) : mFace(&face)
{
    ascent = face.ascent;
    height = face.height;
}

int CrashFont::CharWidth(char c)
{
    return mFace->glyphs[static_cast<unsigned char>(c)].advance;
}

int CrashFont::StringWidth(const std::string& text)
{
    int width = 0;
    for (char c : text)
        width += CharWidth(c);
    return width;
}

void CrashFont::DrawString(Graphics* g, int x, int y, const std::string& text, const Color& color,
                           const Rect& clip)
{
    MemoryImage* image = g ? dynamic_cast<MemoryImage*>(g->destImage) : nullptr;
    if (!image) return;
    uint32_t* bits = image->GetBits();
    if (!bits) return;
    const int w = image->GetWidth(), h = image->GetHeight();
    const int left = std::max(0, clip.mX), top = std::max(0, clip.mY);
    const int right = std::min(w, clip.mX + clip.mWidth), bottom = std::min(h, clip.mY + clip.mHeight);
    const uint32_t r = uint32_t(std::clamp(color.mRed, 0, 255)),
                   gr = uint32_t(std::clamp(color.mGreen, 0, 255)),
                   b = uint32_t(std::clamp(color.mBlue, 0, 255));
    const uint32_t alpha = uint32_t(std::clamp(color.mAlpha, 0, 255));
    int penX = TruncateToInt(float(x) + g->transX);
    const int lineTop = TruncateToInt(float(y) + g->transY) - mFace->ascent;
    for (char ch : text)
    {
        const CrashFace::Glyph& glyph = mFace->glyphs[static_cast<unsigned char>(ch)];
        const uint8_t* coverage = mFace->coverage + glyph.offset;
        const int x0 = penX + glyph.left;
        for (int row = 0; row < mFace->height && glyph.width; ++row)
        {
            int py = lineTop + row;
            if (py < top || py >= bottom) continue;
            uint32_t* line = bits + size_t(py) * size_t(w);
            for (int column = 0; column < glyph.width; ++column)
            {
                int px = x0 + column;
                if (px < left || px >= right) continue;
                uint32_t a = coverage[size_t(row) * glyph.width + size_t(column)] * alpha / 255;
                if (!a) continue;
                uint32_t d = line[px];
                auto mix = [&](uint32_t source, int shift)
                { return ((source * a + ((d >> shift) & 0xFF) * (255 - a)) / 255) << shift; };
                uint32_t da = d >> 24;
                uint32_t outA = a + da * (255 - a) / 255;
                line[px] = (outA << 24) | mix(r, 16) | mix(gr, 8) | mix(b, 0);
            }
        }
        penX += glyph.advance;
    }
    image->BitsChanged();
}

Font* CrashFont::Duplicate()
{
    return new CrashFont(*this);
}

} // namespace Kavo
