#pragma once

// The bitmap font targets: a glyph strip of 12 x 4 pixels serves every image a description asks
// for, and a font that loads is measured and drawn at several sizes and with tags, so what the
// reader lets through is also what drawing can use.
#include "base/Color.h"
#include "fuzz/FuzzTarget.h"
#include "graphics/FontHost.h"
#include "graphics/Graphics.h"
#include "graphics/ImageFont.h"
#include "graphics/MemoryImage.h"
#include "graphics/SharedImage.h"

#include <memory>

namespace fuzz
{

class FontStripHost : public Kavo::FontHost
{
public:
    FontStripHost()
    {
        uint32_t pixels[12 * 4];
        for (int i = 0; i < 12 * 4; ++i)
            pixels[i] = (i * 7) % 3 ? 0xFFFFFFFFu : 0u;
        mStrip.image = new Kavo::MemoryImage();
        mStrip.image->SetBits(pixels, 12, 4);
    }
    ~FontStripHost() override { delete mStrip.image; }

    Kavo::MemoryImage* Strip() { return mStrip.image; }

    void Popup(const std::string&) override {}
    Kavo::SharedImageHandle GetSharedImage(const std::string&, const std::string&, bool* isNew) override
    {
        if (isNew) *isNew = false;
        Kavo::SharedImageHandle handle;
        handle.AssignShared(&mStrip);
        return handle;
    }

private:
    Kavo::SharedImage mStrip;
};

// Measures and draws the font as the widgets do.
inline void UseFont(Kavo::ImageFont& font)
{
    static const std::string text = "AVa\xE9. bB\x01\xFF";
    Kavo::MemoryImage target;
    target.Create(64, 32);
    Kavo::Graphics g(&target);
    for (int pointSize : {0, 10, 25})
    {
        if (pointSize) font.SetPointSize(pointSize);
        (void)font.StringWidth(text);
        (void)font.GetAscent();
        (void)font.GetHeight();
        font.DrawString(&g, 2, 16, text, Kavo::Color::White, g.clipRect);
    }
    font.AddTag("BOLD");
    font.SetScale(1.5);
    font.DrawString(&g, 2, 16, text, Kavo::Color::White, g.clipRect);
    std::unique_ptr<Kavo::Font> copy(font.Duplicate());
    (void)copy->StringWidth(text);
}

} // namespace fuzz
