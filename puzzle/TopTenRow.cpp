#include "puzzle/TopTenRow.h"

namespace Kavo
{

TopTenRow::TopTenRow(Font* font, const Color& colour) : mFont(font), mColour(colour) {}

void TopTenRow::Draw(Graphics*) {}

std::string SplitTextToLines(TopTenRow&, const std::string&, const Rect&, int)
{
    return std::string();
}

} // namespace Kavo
