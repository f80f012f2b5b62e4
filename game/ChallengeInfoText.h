#pragma once

#include "base/Rect.h"

namespace Kavo
{

class ChallengeList;
class Graphics;

// The body of the challenge info dialog, drawn into rect: the challenge's Desc word-wrapped in
// white FONT_TEXT from the top, and from scoreTop below the top two score lines, each a label
// (text 174, or the shorter 267 once a score passes 999999) in the title yellow above a row of
// the number ("% 8d" in FONT_NUMBER, right-aligned in a 90-pixel field 70 pixels in), a medal
// star of IMAGE_CHALLENGEGRID_STARS and the medal's name:
//
// | line | number                    | medal                                        |
// |------|---------------------------|----------------------------------------------|
// | 1    | best (the player's best)  | the medal best holds, none below bronze      |
// | 2    | the next medal's score    | the next medal (ultra again once it is held) |
//
// A medal that best earns and earlierBest did not (a game just won it) pulses: its number in
// (128, 4 x counter mod 256, 128) and its star growing and shrinking with counter.
void DrawOutlinedNumberText(Graphics* g, const Rect& rect, const ChallengeList& page, int index,
                            int earlierBest, int best, int counter, int scoreTop);
// The body pulses (it changes with counter): best earns a medal that earlierBest did not.
bool OutlinedNumberTextPulses(const ChallengeList& page, int index, int earlierBest, int best);

} // namespace Kavo
