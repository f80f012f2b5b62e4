#pragma once

#include "game/Tip.h"

#include <cstdint>
#include <string>
#include <vector>

namespace Kavo
{

// The tips shown under the top-ten list, read from "properties\Tips.xml":
//
//     <tips>
//       <tip> <Text value="..."/> <TipChooserFlags value="tcfUntimedGame tcfTimedGame"/> </tip>
//       <tip> <Text value="..."/> <TipChooserFlags_All/> </tip>
//     </tips>
//
// | flag name              | bit | games                           |
// |------------------------|-----|---------------------------------|
// | tcfUntimedGame         | 1   | Untimed (mode 0), levels 1 - 16 |
// | tcfTimedGame           | 2   | Timed (mode 1), levels 1 - 16   |
// | tcfUntimedHardGame     | 4   | Mastermind (mode 2)             |
// | tcfTimedHardGame       | 8   | Speedblitz (3) and Crazy (4)    |
// | tcfChallengeGrid       | 16  | challenges (mode 5)             |
// | tcfInternetChallenge   | 32  | the weekly challenge (mode 6)   |
// | tcfLateUntimedGame     | 64  | Untimed from level 17           |
// | tcfLateTimedGame       | 128 | Timed from level 17             |
//
// A mode outside 0 to 6 counts as Untimed early. The viewed word marks the tips shown (bit i for
// tip i, only the first 32 tips): a choice prefers unseen suitable tips, so each is seen once
// before any repeats.
class TipList
{
public:
    static constexpr int kMarkable = 32;

    // Appends the file's tips; false, with the list unchanged, when the file does not open.
    // Reading stops at the first error; tips finished before it stay.
    bool Load(const std::string& fileName);
    // A suitable tip for the game (unseen first, then any), marked seen; "" when none suits.
    std::string ChooseTip(int mode, int level);
    int Count() const { return int(mTips.size()); }

    std::vector<Tip> mTips;
    uint32_t mViewed = 0;
};

// The bit of the table above for a game.
uint32_t TipChooserFlagsFor(int mode, int level);
// The bit of a flag name (case matters), or fallback for a name not in the table.
uint32_t TipChooserFlagValue(const std::string& name, uint32_t fallback);

} // namespace Kavo
