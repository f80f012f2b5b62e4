#include "graphics/Matrix3.h"

#include <cmath>

namespace Kavo
{

void Matrix3::LoadIdentity()
{
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            m[r][c] = r == c ? 1.0f : 0.0f;
}

void Matrix3::Multiply(const Matrix3& a, const Matrix3& b, Matrix3& result)
{
    Matrix3 product;
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            product.m[r][c] = b.m[r][0] * a.m[0][c] + b.m[r][1] * a.m[1][c] + b.m[r][2] * a.m[2][c];
    result = product;
}

void Matrix3::TransformPoint(const Matrix3& matrix, float x, float y, float& outX, float& outY)
{
    outX = matrix.m[0][0] * x + matrix.m[0][1] * y + matrix.m[0][2];
    outY = matrix.m[1][0] * x + matrix.m[1][1] * y + matrix.m[1][2];
}

void Matrix3::TransformVector(const Matrix3& matrix, const float in[3], float out[3])
{
    float result[3];
    for (int r = 0; r < 3; ++r)
        result[r] = matrix.m[r][0] * in[0] + matrix.m[r][1] * in[1] + matrix.m[r][2] * in[2];
    for (int r = 0; r < 3; ++r)
        out[r] = result[r];
}

void Matrix3::Translate(float tx, float ty)
{
    Matrix3 t;
    t.m[0][2] = tx;
    t.m[1][2] = ty;
    Multiply(*this, t, *this);
}

void Matrix3::RotateRad(float angle)
{
    Matrix3 r;
    float c = std::cos(angle);
    float s = std::sin(angle);
    r.m[0][0] = c;
    r.m[0][1] = s;
    r.m[1][0] = -s;
    r.m[1][1] = c;
    Multiply(*this, r, *this);
}

void Matrix3::Scale(float sx, float sy)
{
    Matrix3 s;
    s.m[0][0] = sx;
    s.m[1][1] = sy;
    Multiply(*this, s, *this);
}

} // namespace Kavo
