#include "puzzle/TwinklingStars.h"

namespace Kavo
{

void SpawnStar(StarList&) {}
void UpdateStarField(StarList&, float) {}
void DrawStarField(StarList&, Graphics*) {}

void ClearTrivialList(StarList& stars)
{
    stars.clear();
}

} // namespace Kavo
