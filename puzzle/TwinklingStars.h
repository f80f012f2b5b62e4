#pragma once

#include "base/Rect.h"

#include <cstdint>
#include <vector>

// The twinkling stars of the board and the menu screens: stars appear at random places (the
// global generator: they decide nothing), turn or fade through their life and disappear. Each
// screen keeps its own list. Spawning and advancing do nothing while the player's
// "TwinklingStars" setting is off, and neither does drawing.
//
// Given the screen (owner), spawning and advancing mark on it what they change on screen: a star
// born or gone, and every star while they turn and fade (with 3D acceleration); without 3D a
// star looks the same all its life.
namespace Kavo
{

class Graphics;
class Widget;

struct StarRecord
{
    int32_t kind = 0; // 0 to 7
    int32_t x = 0;
    int32_t y = 0;
    float phase = 0.0f; // 0 at birth; the star disappears at 1
};

using StarList = std::vector<StarRecord>;

// A star of a random kind at x 10..789, y 10..589.
void SpawnStar(StarList& stars, Widget* owner = nullptr);
// Every star's phase grows by frames x 0.01; stars reaching 1 are removed.
void UpdateStarField(StarList& stars, float frames, Widget* owner = nullptr);
// Without 3D acceleration IMAGE_COMPLETION_STAR1 plainly at each star; with it, rotated by the
// phase and faded: kind 0 IMAGE_COMPLETION_STAR2 at alpha Lerp(64, 255, phase), kinds 1 and 2
// IMAGE_COMPLETION_STAR1 fading in, kinds 3 to 7 fading out.
void DrawStarField(StarList& stars, Graphics* g);
void ClearTrivialList(StarList& stars);
// Where DrawStarField draws the star, at whatever turn.
Rect StarArea(const StarRecord& star);

} // namespace Kavo
