#pragma once

namespace Kavo
{

// A 3 x 3 float matrix, row-major (m[row][column]), acting on the column vector (x, y, 1).
class Matrix3
{
public:
    float m[3][3];

    Matrix3() { LoadIdentity(); }
    void LoadIdentity();
    void CopyFrom(const Matrix3& other) { *this = other; }

    // result = b x a: b's transform acts after a's.
    static void Multiply(const Matrix3& a, const Matrix3& b, Matrix3& result);
    // (m00 x + m01 y + m02, m10 x + m11 y + m12); the third row is ignored.
    static void TransformPoint(const Matrix3& matrix, float x, float y, float& outX, float& outY);
    static void TransformVector(const Matrix3& matrix, const float in[3], float out[3]);

    // Each of these combines the new transform on the left, so it acts after what the matrix
    // already does.
    void Translate(float tx, float ty);
    void RotateRad(float angle);
    void Scale(float sx, float sy);
};

} // namespace Kavo
