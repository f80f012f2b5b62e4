#pragma once

#include "graphics/Font.h"

#include <memory>
#include <string>

namespace textcheck
{

class TextRecorder;

// A font that measures and draws as another and tells a recorder of every text it draws.
class RecordingFont : public Kavo::Font
{
public:
    // font: not owned, unless given as owned.
    RecordingFont(Kavo::Font* font, TextRecorder* recorder, std::unique_ptr<Kavo::Font> owned = nullptr);

    int GetAscent() override { return mFont->GetAscent(); }
    int GetAscentPadding() override { return mFont->GetAscentPadding(); }
    int GetDescent() override { return mFont->GetDescent(); }
    int GetHeight() override { return mFont->GetHeight(); }
    int GetLineSpacingOffset() override { return mFont->GetLineSpacingOffset(); }
    int GetLineSpacing() override { return mFont->GetLineSpacing(); }
    int StringWidth(const std::string& text) override { return mFont->StringWidth(text); }
    int CharWidth(char c) override { return mFont->CharWidth(c); }
    int CharWidthKern(char c, char previous) override { return mFont->CharWidthKern(c, previous); }
    void DrawString(Kavo::Graphics* g, int x, int y, const std::string& text, const Kavo::Color& color,
                    const Kavo::Rect& clip) override;
    Kavo::Font* Duplicate() override;

    Kavo::Font* Inner() const { return mFont; }

private:
    Kavo::Font* mFont;
    TextRecorder* mRecorder;
    std::unique_ptr<Kavo::Font> mOwned;
};

} // namespace textcheck
