#include "puzzle/TwinklingStars.h"

#include "base/Random.h"
#include "base/TextHelpers.h"
#include "graphics/Graphics.h"
#include "puzzle/BoardHost.h"
#include "puzzle/DrawingFunctions.h"
#include "puzzle/ResourceIds.h"

#include <algorithm>

namespace Kavo
{

void SpawnStar(StarList& stars)
{
    if (!GetBoardHost().TwinklingStarsOn()) return;
    StarRecord star;
    star.kind = RandRange(8);
    star.x = 10 + RandRange(780);
    star.y = 10 + RandRange(580);
    stars.push_back(star);
}

void UpdateStarField(StarList& stars, float frames)
{
    if (!GetBoardHost().TwinklingStarsOn()) return;
    for (StarRecord& star : stars)
        star.phase += frames * 0.01f;
    // A hundred steps of 0.01 add up to a hair below 1 in floats: that counts as 1.
    std::erase_if(stars, [](const StarRecord& star) { return star.phase >= 1.0f - 1e-4f; });
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
