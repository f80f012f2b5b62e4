#include "tests/data/TextRecorder.h"

#include "graphics/Graphics.h"
#include "graphics/MemoryImage.h"
#include "puzzle/ResourceIds.h"
#include "tests/data/RecordingFont.h"

#include <algorithm>

namespace textcheck
{

TextRecorder::TextRecorder()
{
    auto replace = [this](Kavo::Font*& id)
    {
        if (id == nullptr) return;
        mFonts.push_back(std::make_unique<RecordingFont>(id, this));
        mReplaced.emplace_back(&id, id);
        id = mFonts.back().get();
    };
#define KAVO_RECORD_Image(id)
#define KAVO_RECORD_Sound(id)
#define KAVO_RECORD_Font(id) replace(Kavo::id);
#define KAVO_RECORD(kind, id) KAVO_RECORD_##kind(id)
    KAVO_INIT_RESOURCES(KAVO_RECORD)
    KAVO_TITLESCREEN_RESOURCES(KAVO_RECORD)
    KAVO_GAME_RESOURCES(KAVO_RECORD)
#undef KAVO_RECORD
#undef KAVO_RECORD_Font
#undef KAVO_RECORD_Sound
#undef KAVO_RECORD_Image
}

TextRecorder::~TextRecorder()
{
    for (auto& [id, font] : mReplaced)
        *id = font;
}

void TextRecorder::Add(Kavo::Font* font, const std::string& text, int x, int baseline)
{
    auto key = std::make_pair(font, text);
    auto found = mInk.find(key);
    if (found == mInk.end())
    {
        // The text alone on a clear image, with room around it for whatever its layers add.
        const int pad = 16 + font->GetHeight();
        const int w = std::max(1, font->StringWidth(text) + 2 * pad), h = font->GetHeight() + 2 * pad;
        Kavo::MemoryImage image;
        image.Create(w, h);
        image.Clear();
        Kavo::Graphics g(&image);
        font->DrawString(&g, pad, pad + font->GetAscent(), text, Kavo::Color::White, Kavo::Rect(0, 0, w, h));
        const uint32_t* bits = image.GetBits();
        std::vector<Kavo::Rect> rows;
        for (int py = 0; py < h; ++py)
        {
            int left = w, right = -1;
            for (int px = 0; px < w; ++px)
                if ((bits[size_t(py) * size_t(w) + size_t(px)] >> 24) > 32)
                {
                    left = std::min(left, px);
                    right = px;
                }
            if (right >= 0) rows.emplace_back(left - pad, py - pad - font->GetAscent(), right - left + 1, 1);
        }
        found = mInk.emplace(key, std::move(rows)).first;
    }
    if (found->second.empty()) return;
    DrawnText drawn{text, Kavo::Rect(), {}};
    int left = 0, top = 0, right = 0, bottom = 0;
    for (const Kavo::Rect& row : found->second)
    {
        Kavo::Rect at(x + row.mX, baseline + row.mY, row.mWidth, 1);
        if (drawn.rows.empty())
        {
            left = at.mX;
            top = at.mY;
            right = at.mX + at.mWidth;
        }
        left = std::min(left, at.mX);
        right = std::max(right, at.mX + at.mWidth);
        bottom = at.mY + 1;
        drawn.rows.push_back(at);
    }
    drawn.ink = Kavo::Rect(left, top, right - left, bottom - top);
    mDrawn.push_back(std::move(drawn));
}

} // namespace textcheck
