#include "tests/data/RecordingFont.h"

#include "graphics/Graphics.h"
#include "graphics/Image.h"
#include "tests/data/TextRecorder.h"

namespace textcheck
{

RecordingFont::RecordingFont(Kavo::Font* font, TextRecorder* recorder, std::unique_ptr<Kavo::Font> owned)
    : Font(*font), mFont(font), mRecorder(recorder), mOwned(std::move(owned))
{
}

void RecordingFont::DrawString(Kavo::Graphics* g, int x, int y, const std::string& text,
                               const Kavo::Color& color, const Kavo::Rect& clip)
{
    // Measuring draws into the empty image: only what reaches a picture is written down.
    if (g->destImage != &Kavo::Image::GetEmptyImage())
        mRecorder->Add(mFont, text, x + int(g->transX), y + int(g->transY));
    mFont->DrawString(g, x, y, text, color, clip);
}

Kavo::Font* RecordingFont::Duplicate()
{
    std::unique_ptr<Kavo::Font> copy(mFont->Duplicate());
    Kavo::Font* inner = copy.get();
    return new RecordingFont(inner, mRecorder, std::move(copy));
}

} // namespace textcheck
