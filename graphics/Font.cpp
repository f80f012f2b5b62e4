#include "graphics/Font.h"

namespace Kavo
{

int Font::StringWidth(const std::string&)
{
    return 0;
}

int Font::CharWidth(char c)
{
    return StringWidth(std::string(1, c));
}

int Font::CharWidthKern(char c, char)
{
    return CharWidth(c);
}

void Font::DrawString(Graphics*, int, int, const std::string&, const Color&, const Rect&) {}

} // namespace Kavo
