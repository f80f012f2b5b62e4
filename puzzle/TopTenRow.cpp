#include "puzzle/TopTenRow.h"

#include "base/TextHelpers.h"
#include "graphics/Font.h"
#include "graphics/Graphics.h"

#include <algorithm>

namespace Kavo
{

TopTenRow::TopTenRow(Font* font, const Color& colour) : mFont(font), mColour(colour) {}

void TopTenRow::Draw(Graphics* g)
{
    if (mFont == nullptr) return;
    g->SetFont(mFont);
    g->SetColor(mColour);
    int y = mTop + mFont->GetAscent();
    for (const std::string& line : mLines)
    {
        g->DrawString(line, mLeft + (mWidest - mFont->StringWidth(line)) / 2, y);
        y += mLineHeight;
    }
}

std::string SplitTextToLines(TopTenRow& style, const std::string& text, const Rect& rect, int separator)
{
    style.mLines = SplitIntoWords(text, char(separator));
    style.mLineCount = int(style.mLines.size());
    style.mLineHeight = style.mFont != nullptr ? style.mFont->GetHeight() : 0;
    style.mWidest = 0;
    std::string joined;
    for (const std::string& line : style.mLines)
    {
        if (style.mFont != nullptr) style.mWidest = std::max(style.mWidest, style.mFont->StringWidth(line));
        if (!joined.empty()) joined += '\n';
        joined += line;
    }
    style.mTop = rect.mY + (rect.mHeight - style.mLineCount * style.mLineHeight) / 2;
    style.mLeft = rect.mX + (rect.mWidth - style.mWidest) / 2;
    return joined;
}

} // namespace Kavo
