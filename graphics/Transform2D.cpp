#include "graphics/Transform2D.h"

namespace Kavo
{

void Transform2D::Scale(float sx, float sy)
{
    if (complex)
    {
        matrix.Scale(sx, sy);
        return;
    }
    if (!haveRot && transX1 == 0.0f && transY1 == 0.0f && sy >= 0.0f && (sx >= 0.0f || scaleX * sx == -1.0f))
    {
        needCalc = true;
        haveScale = true;
        scaleX *= sx;
        scaleY *= sy;
        return;
    }
    MakeComplex();
    matrix.Scale(sx, sy);
}

void Transform2D::MakeComplex()
{
    if (complex) return;
    complex = true;
    CalcMatrix();
}

void Transform2D::CalcMatrix()
{
    if (!needCalc) return;
    needCalc = false;
    matrix.LoadIdentity();
    matrix.m[0][2] = transX1;
    matrix.m[1][2] = transY1;
    matrix.m[2][2] = 1.0f;
    if (haveScale)
    {
        matrix.m[0][0] = scaleX;
        matrix.m[1][1] = scaleY;
    }
    else if (haveRot)
    {
        matrix.RotateRad(rot);
    }
    if (transX2 != 0.0f || transY2 != 0.0f) matrix.Translate(transX2, transY2);
}

const Matrix3& Transform2D::GetMatrix()
{
    CalcMatrix();
    return matrix;
}

} // namespace Kavo
