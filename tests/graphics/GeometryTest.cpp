#include "base/Color.h"
#include "base/Rect.h"
#include "base/TriVertex.h"
#include "graphics/Matrix3.h"
#include "graphics/Span.h"
#include "graphics/Transform2D.h"

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstddef>

namespace
{

using namespace Kavo;

TEST(Color, PackingAndUnpacking)
{
    EXPECT_EQ(Color::ColorFromARGB(0x00102030u), Color(16, 32, 48, 255)); // alpha byte 0 reads as opaque
    EXPECT_EQ(Color::ColorFromARGB(0x80102030u), Color(16, 32, 48, 128));
    EXPECT_EQ(Color(255, 0, 0, 255).ToInt(), 0xFFFF0000u);
    EXPECT_EQ(Color(0, 256, 0, 255).ToInt(), 0xFF010000u); // overflow spills into the byte above
    EXPECT_EQ(Color(1, 2, 3, 4).ToInt(), 0x04010203u);
    EXPECT_EQ(Color(), Color::Black);
    int rgb[3] = {7, 8, 9};
    EXPECT_EQ(Color::ColorFromRGBArray(rgb), Color(7, 8, 9, 255));
    EXPECT_TRUE(Color(255, 255, 255).IsWhite());
    EXPECT_FALSE(Color(255, 255, 255, 254).IsWhite());
    EXPECT_TRUE(Color(1, 2, 3) != Color(1, 2, 4));
}

TEST(Rect, Intersection)
{
    struct Case
    {
        Rect a, b, expected;
    } cases[] = {
        {{0, 0, 10, 10}, {5, 5, 10, 10}, {5, 5, 5, 5}},
        {{0, 0, 10, 10}, {10, 0, 5, 5}, {10, 0, 0, 5}}, // touching edge: zero width kept
        {{0, 0, 10, 10}, {11, 0, 5, 5}, {0, 0, 0, 0}},  // apart
        {{0, 0, 10, 10}, {2, 20, 3, 3}, {0, 0, 0, 0}},
        {{-5, -5, 10, 10}, {0, 0, 100, 100}, {0, 0, 5, 5}},
        {{3, 4, 2, 2}, {0, 0, 100, 100}, {3, 4, 2, 2}},
        // Edges past the int range are cut, never wrapped.
        {{INT_MIN, 0, -10, 8}, {0, 0, 8, 8}, {0, 0, 0, 0}},
        {{-5, 0, INT_MAX, 8}, {0, 0, 8, 8}, {0, 0, 8, 8}},
        {{INT_MAX - 5, 0, 10, 1}, {INT_MAX - 8, 0, 10, 1}, {INT_MAX - 5, 0, 5, 1}},
    };
    for (const Case& c : cases)
    {
        EXPECT_EQ(c.a.Intersection(c.b), c.expected);
        EXPECT_EQ(c.b.Intersection(c.a), c.expected);
    }
}

TEST(Layout, RecordsKeepTheirFieldOrder)
{
    EXPECT_EQ(offsetof(Span, mY), 0u);
    EXPECT_EQ(offsetof(Span, mX), sizeof(int));
    EXPECT_EQ(offsetof(TriVertex, color), 4 * sizeof(float));
    EXPECT_EQ(sizeof(TriVertex), 20u);
}

TEST(Matrix3, CombinesNewTransformsAfterOldOnes)
{
    Matrix3 m;
    m.Scale(2.0f, 3.0f);
    m.Translate(10.0f, 20.0f); // acts after the scale
    float x, y;
    Matrix3::TransformPoint(m, 1.0f, 1.0f, x, y);
    EXPECT_FLOAT_EQ(x, 12.0f);
    EXPECT_FLOAT_EQ(y, 23.0f);

    Matrix3 r;
    r.RotateRad(float(M_PI / 2));
    Matrix3::TransformPoint(r, 1.0f, 0.0f, x, y);
    EXPECT_NEAR(x, 0.0f, 1e-6);
    EXPECT_NEAR(y, -1.0f, 1e-6);

    Matrix3 a, b, product;
    a.Translate(1.0f, 0.0f);
    b.Scale(5.0f, 5.0f);
    Matrix3::Multiply(a, b, product); // b after a
    Matrix3::TransformPoint(product, 0.0f, 0.0f, x, y);
    EXPECT_FLOAT_EQ(x, 5.0f);

    float in[3] = {1.0f, 2.0f, 0.0f}, out[3];
    Matrix3::TransformVector(m, in, out); // a direction is not translated
    EXPECT_FLOAT_EQ(out[0], 2.0f);
    EXPECT_FLOAT_EQ(out[1], 6.0f);
    EXPECT_FLOAT_EQ(out[2], 0.0f);
}

TEST(Transform2D, StaysSimpleWhileItCan)
{
    struct Case
    {
        float sx, sy;
        bool complex;
    } cases[] = {{-1, 1, false}, {-2, 1, true}, {2, -1, true}, {2, 3, false}, {0, 0, false}};
    for (const Case& c : cases)
    {
        Transform2D t;
        t.Scale(c.sx, c.sy);
        EXPECT_EQ(t.complex, c.complex) << c.sx << "," << c.sy;
        if (!c.complex)
        {
            EXPECT_TRUE(t.haveScale);
            EXPECT_EQ(t.scaleX, c.sx);
        }
    }

    Transform2D rotated;
    rotated.haveRot = true;
    rotated.rot = 1.0f;
    rotated.Scale(2, 2);
    EXPECT_TRUE(rotated.complex);

    Transform2D t;
    t.transX2 = 5.0f;
    t.Scale(2.0f, 2.0f);
    t.MakeComplex();
    t.Scale(3.0f, 3.0f); // goes to the matrix only
    EXPECT_EQ(t.scaleX, 2.0f);
    float x, y;
    Matrix3::TransformPoint(t.GetMatrix(), 1.0f, 1.0f, x, y);
    EXPECT_FLOAT_EQ(x, 21.0f); // (1 * 2 + 5) * 3
    EXPECT_FLOAT_EQ(y, 6.0f);
}

TEST(Transform2D, MatrixFromSimpleFields)
{
    Transform2D t;
    t.transX1 = 1.0f;
    t.transY1 = 2.0f;
    t.haveRot = true;
    t.rot = float(M_PI);
    t.transX2 = 100.0f;
    float x, y;
    Matrix3::TransformPoint(t.GetMatrix(), 0.0f, 0.0f, x, y);
    EXPECT_NEAR(x, 99.0f, 1e-5); // translate (1, 2), rotate half a turn, translate (100, 0)
    EXPECT_NEAR(y, -2.0f, 1e-5);
    EXPECT_FALSE(t.needCalc);
}

} // namespace
