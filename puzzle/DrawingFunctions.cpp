#include "puzzle/DrawingFunctions.h"

namespace Kavo
{

int AnimationCounter()
{
    return 0;
}

bool Is3DDrawing()
{
    return false;
}

void DrawPiece(Graphics*, int, int, int, int, int, float, int) {}
void DrawPieceOrExploding(Graphics*, int, int, int, int, int, int) {}
void DrawPieceSprite(Graphics*, int, int, int, int, int, float, bool) {}

float PulseScale(float t)
{
    return t;
}

void DrawMiniPiece(Graphics*, int, int, int) {}
void DrawGlowyBox(Graphics*, const Rect&) {}
void DrawWhiteFlash(Graphics*, int, int, int, int, double) {}
void DrawScreenFrame(Graphics*, int, int, const std::string&, int) {}
void DrawProgressBadge(Graphics*, float, float, float, const std::string&) {}

std::string MedalText(int)
{
    return std::string();
}

} // namespace Kavo
