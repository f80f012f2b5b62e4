#pragma once

namespace Kavo
{

class Point
{
public:
    int mX = 0;
    int mY = 0;

    Point() = default;
    Point(int x, int y) : mX(x), mY(y) {}
    bool operator==(const Point& other) const = default;
};

} // namespace Kavo
