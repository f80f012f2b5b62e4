#pragma once

namespace Kavo
{

// A fraction kept in lowest terms, such as a screen's aspect ratio (640 x 480 -> 4/3).
class Ratio
{
public:
    Ratio() = default;
    Ratio(int numerator, int denominator) { Set(numerator, denominator); }

    // Stores both divided by their greatest common divisor. With a denominator of 0 the
    // ratio becomes 1/0 (or -1/0); 0/0 stays 0/0.
    void Set(int numerator, int denominator);

    int mNumerator = 1;
    int mDenominator = 1;

    bool operator==(const Ratio& other) const
    {
        return mNumerator == other.mNumerator && mDenominator == other.mDenominator;
    }
};

} // namespace Kavo
