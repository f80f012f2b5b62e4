#include "puzzle/TwinklingStars.h"

#include "base/Random.h"
#include "base/TextHelpers.h"
#include "graphics/Graphics.h"
#include "graphics/Image.h"
#include "puzzle/BoardHost.h"
#include "puzzle/DrawingFunctions.h"
#include "puzzle/ResourceIds.h"
#include "widgets/Widget.h"

#include <algorithm>
#include <cmath>

namespace Kavo
{

Rect StarArea(const StarRecord& star)
{
    Image* star1 = IMAGE_COMPLETION_STAR1;
    Image* star2 = IMAGE_COMPLETION_STAR2;
    if (!Is3DDrawing())
        return star1 != nullptr ? Rect(star.x, star.y, star1->GetWidth(), star1->GetHeight()) : Rect();
    // Turned about its centre: the square round its diagonal, and a pixel each side for filtering.
    Image* image = star.kind == 0 ? star2 : star1;
    if (image == nullptr) return Rect();
    const int w = image->GetWidth(), h = image->GetHeight();
    const int side = int(std::ceil(std::sqrt(double(w) * w + double(h) * h))) + 4;
    return Rect(star.x + w / 2 - side / 2, star.y + h / 2 - side / 2, side, side);
}

void SpawnStar(StarList& stars, Widget* owner)
{
    if (!GetBoardHost().TwinklingStarsOn()) return;
    StarRecord star;
    star.kind = RandRange(8);
    star.x = 10 + RandRange(780);
    star.y = 10 + RandRange(580);
    stars.push_back(star);
    if (owner != nullptr) owner->MarkDirtyRect(StarArea(star));
}

void UpdateStarField(StarList& stars, float frames, Widget* owner)
{
    if (!GetBoardHost().TwinklingStarsOn()) return;
    const bool turning = Is3DDrawing();
    for (StarRecord& star : stars)
    {
        if (owner != nullptr && turning) owner->MarkDirtyRect(StarArea(star));
        star.phase += frames * 0.01f;
    }
    // A hundred steps of 0.01 add up to a hair below 1 in floats: that counts as 1.
    std::erase_if(stars,
                  [owner, turning](const StarRecord& star)
                  {
                      if (star.phase < 1.0f - 1e-4f) return false;
                      if (owner != nullptr && !turning) owner->MarkDirtyRect(StarArea(star));
                      return true;
                  });
}

void DrawStarField(StarList& stars, Graphics* g)
{
    if (!GetBoardHost().TwinklingStarsOn()) return;
    if (!Is3DDrawing())
    {
        for (const StarRecord& star : stars)
            g->DrawImage(IMAGE_COMPLETION_STAR1, star.x, star.y);
        return;
    }
    Color saved = g->GetColor();
    for (const StarRecord& star : stars)
    {
        Image* image = IMAGE_COMPLETION_STAR1;
        double alpha;
        if (star.kind == 0)
        {
            image = IMAGE_COMPLETION_STAR2;
            alpha = Lerp(64.0, 255.0, star.phase);
        }
        else if (star.kind <= 2)
        {
            alpha = Lerp(0.0, 255.0, star.phase);
        }
        else
        {
            alpha = Lerp(255.0, 0.0, star.phase);
        }
        g->SetColorizeImages(true);
        g->SetColor(Color(255, 255, 255, int(alpha)));
        g->DrawImageRotated(image, star.x, star.y, star.phase);
        g->SetColorizeImages(false);
    }
    g->SetColor(saved);
}

void ClearTrivialList(StarList& stars)
{
    stars.clear();
}

} // namespace Kavo
