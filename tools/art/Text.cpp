#include "tools/art/Text.h"

#include "platform/display/SystemFont.h"
#include "tools/art/Effects.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace Art
{

TextRenderer::TextRenderer(const Face& face) : mFace(face)
{
    platform::FontRequest request;
    request.face = face.family;
    request.pixelHeight = face.pixelHeight;
    request.weight = face.weight;
    request.italic = face.italic;
    mFont = platform::SystemFont::Open(request);
    if (!mFont)
    {
        std::fprintf(stderr, "art: no font for %s\n", face.family.c_str());
        std::exit(1);
    }
}

TextRenderer::~TextRenderer() = default;

int TextRenderer::Ascent() const
{
    return mFont->Metrics().ascent;
}
int TextRenderer::Descent() const
{
    return mFont->Metrics().descent;
}
int TextRenderer::LineHeight() const
{
    return mFont->Metrics().height;
}

int TextRenderer::Advance(unsigned char c)
{
    return mFont->CharWidth(c) + int(std::lround(mFace.tracking));
}

int TextRenderer::Kerning(unsigned char previous, unsigned char c)
{
    return mFont->Kerning(previous, c);
}

int TextRenderer::Width(const std::string& text)
{
    int width = 0;
    unsigned char previous = 0;
    for (char ch : text)
    {
        unsigned char c = static_cast<unsigned char>(ch);
        if (previous) width += Kerning(previous, c);
        width += Advance(c);
        previous = c;
    }
    if (!text.empty()) width -= int(std::lround(mFace.tracking));
    return width;
}

std::vector<std::string> TextRenderer::Wrap(const std::string& text, int width)
{
    std::vector<std::string> lines;
    std::string line, word;
    auto flushWord = [&]
    {
        if (word.empty()) return;
        std::string candidate = line.empty() ? word : line + " " + word;
        if (!line.empty() && Width(candidate) > width)
        {
            lines.push_back(line);
            line = word;
        }
        else
        {
            line = candidate;
        }
        word.clear();
    };
    for (char c : text)
    {
        if (c == ' ')
            flushWord();
        else if (c == '\n')
        {
            flushWord();
            lines.push_back(line);
            line.clear();
        }
        else
            word += c;
    }
    flushWord();
    if (!line.empty()) lines.push_back(line);
    return lines;
}

void TextRenderer::DrawLine(Canvas& mask, float x, float y, const std::string& text)
{
    int w = mask.Width(), h = mask.Height();
    std::vector<uint32_t> pixels(size_t(w) * size_t(h), 0);
    platform::PixelBuffer buffer{pixels.data(), w, h, w};
    platform::ClipBox clip{0, 0, w, h};
    float pen = x;
    unsigned char previous = 0;
    for (char ch : text)
    {
        unsigned char c = static_cast<unsigned char>(ch);
        if (previous) pen += float(Kerning(previous, c));
        char one[2] = {ch, 0};
        mFont->DrawText(buffer, int(std::lround(pen)), int(std::lround(y)), one, 0xFFFFFFFFu, clip);
        pen += float(mFont->CharWidth(c)) + mFace.tracking;
        previous = c;
    }
    for (int py = 0; py < h; ++py)
        for (int px = 0; px < w; ++px)
        {
            float a = float(pixels[size_t(py) * size_t(w) + size_t(px)] >> 24) / 255.0f;
            if (a > 0) mask.At(px, py) = Over(Rgba{a, a, a, a}, mask.At(px, py));
        }
}

void TextRenderer::DrawChar(Canvas& mask, int x, int y, unsigned char c)
{
    std::string one(1, char(c));
    float tracking = mFace.tracking;
    mFace.tracking = 0;
    DrawLine(mask, float(x), float(y), one);
    mFace.tracking = tracking;
}

namespace
{

// The room a look needs around the letters.
int Margin(const TextLook& look)
{
    // A blur reaches about one and a half times its radius.
    float m = look.outline + 1.6f * std::max(look.glow, look.shadowBlur) +
              std::max(std::abs(look.shadowX), std::abs(look.shadowY));
    return int(std::ceil(m)) + 3;
}

// Dresses a line's coverage mask; y0 and y1 bound the fill gradient (the letters' top and foot).
Canvas Dress(const Canvas& mask, const TextLook& look, float y0, float y1)
{
    Canvas out(mask.Width(), mask.Height());
    Canvas body = look.outline > 0 ? Dilate(mask, look.outline) : mask;
    if (look.glow > 0)
    {
        Canvas glow = Tinted(body, look.glowColour);
        glow.Blur(look.glow);
        out.Draw(glow, 0, 0);
        out.Draw(glow, 0, 0, 0.6f);
    }
    if (look.shadowColour.a > 0 && (look.shadowBlur > 0 || look.shadowX != 0 || look.shadowY != 0))
    {
        Canvas shadow = Shadow(body, look.shadowBlur, look.shadowColour);
        out.Draw(shadow, int(std::lround(look.shadowX)), int(std::lround(look.shadowY)));
    }
    if (look.outline > 0) out.Draw(Tinted(body, look.outlineColour), 0, 0);
    Canvas fill = GradientFilled(mask, look.fillTop, look.fillBottom, y0, y1);
    if (look.shine > 0)
    {
        float mid = y0 + (y1 - y0) * 0.48f;
        fill.Map(
            [&](float, float y, const Rgba& p)
            {
                float k = look.shine * SmoothStep(mid + 1.5f, mid - 1.5f, y) *
                          SmoothStep(y0 - 2, y0 + (mid - y0) * 0.6f, y);
                return Rgba{p.r + (p.a - p.r) * k, p.g + (p.a - p.g) * k, p.b + (p.a - p.b) * k, p.a};
            });
    }
    out.Draw(fill, 0, 0);
    return out;
}

} // namespace

int FitPixelHeight(const Face& face, const std::string& text, float width)
{
    Face f = face;
    while (f.pixelHeight > 6)
    {
        TextRenderer renderer(f);
        if (float(renderer.Width(text)) <= width) break;
        --f.pixelHeight;
    }
    return f.pixelHeight;
}

Canvas TextImage(const Face& face, const std::string& text, const TextLook& look, int* left, int* top)
{
    TextRenderer renderer(face);
    int margin = Margin(look) + face.pixelHeight / 4; // italics and overhangs
    int width = renderer.Width(text) + 2 * margin;
    int height = renderer.LineHeight() + 2 * margin;
    Canvas mask(width, height);
    renderer.DrawLine(mask, float(margin), float(margin), text);
    float capTop = float(margin + renderer.Ascent()) - float(face.pixelHeight) * 0.74f;
    Canvas out = Dress(mask, look, capTop, float(margin + renderer.Ascent()));
    if (left) *left = margin;
    if (top) *top = margin;
    return out;
}

int DrawText(Canvas& target, const Face& face, const std::string& text, float x, float y, float width,
             Align align, const TextLook& look, float lineSpacing)
{
    TextRenderer renderer(face);
    float spacing = lineSpacing > 0 ? lineSpacing : float(renderer.LineHeight());
    std::vector<std::string> lines = renderer.Wrap(text, int(width));
    int margin = Margin(look) + face.pixelHeight / 4;
    float lineY = y;
    for (const std::string& line : lines)
    {
        int lineWidth = renderer.Width(line);
        float lx = x;
        if (align == Align::Centre) lx = x + (width - float(lineWidth)) / 2;
        if (align == Align::Right) lx = x + width - float(lineWidth);
        Canvas mask(lineWidth + 2 * margin, renderer.LineHeight() + 2 * margin);
        renderer.DrawLine(mask, float(margin), float(margin), line);
        float capTop = float(margin + renderer.Ascent()) - float(face.pixelHeight) * 0.74f;
        Canvas dressed = Dress(mask, look, capTop, float(margin + renderer.Ascent()));
        target.Draw(dressed, int(std::lround(lx)) - margin, int(std::lround(lineY)) - margin);
        lineY += spacing;
    }
    return int(std::lround(lineY - y));
}

} // namespace Art
