#pragma once

#include "graphics/Matrix3.h"

namespace Kavo
{

// A 2D transform kept as simple fields (translations, scale, rotation) for as long as it can
// be, so the drawing context can pick a cheap blit; once it becomes complex the matrix is the
// authority. The fields are read directly by the drawing context.
class Transform2D
{
public:
    Matrix3 matrix;
    bool needCalc = true; // the matrix must be rebuilt from the simple fields
    bool complex = false; // the matrix is the authority
    bool haveRot = false;
    bool haveScale = false;
    float transX1 = 0.0f, transY1 = 0.0f; // applied before rotation or scale
    float transX2 = 0.0f, transY2 = 0.0f; // applied after
    float scaleX = 1.0f, scaleY = 1.0f;
    float rot = 0.0f; // radians

    // Stays simple while there is no rotation and no first translation and the scale is not
    // negative, except that a horizontal mirror (scaleX becoming exactly -1) stays simple too.
    void Scale(float sx, float sy);
    void MakeComplex();
    void CalcMatrix();
    const Matrix3& GetMatrix();
};

} // namespace Kavo
