#include "base/Ratio.h"

namespace Kavo
{

void Ratio::Set(int numerator, int denominator)
{
    // Euclid on the signed values, as the callers have always seen it: the divisor may be
    // negative, which moves the sign to the other side.
    long long a = numerator;
    long long b = denominator;
    while (b != 0)
    {
        long long rest = a % b;
        a = b;
        b = rest;
    }
    if (a == 0)
    {
        mNumerator = numerator;
        mDenominator = denominator;
        return;
    }
    mNumerator = int(numerator / a);
    mDenominator = int(denominator / a);
}

} // namespace Kavo
