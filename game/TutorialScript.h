#pragma once

#include "game/TutorialActor.h"

#include <memory>
#include <vector>

namespace Kavo
{

using TutorialActorList = std::vector<std::unique_ptr<TutorialActor>>;

// The cast of the tutorial's demonstration, in drawing order (59 actors): on the left a 5 x 6
// board on which the pointer makes slide moves until a group explodes and is refilled; on the
// right a 2 x 2 block of one colour and a 4 x 3 board with one group highlighted. One loop of
// the script lasts kLastTime + 1 updates.
class TutorialScript
{
public:
    static constexpr int kLastTime = 2634;
    static constexpr int kActorCount = 59;

    static TutorialActorList Build();
};

} // namespace Kavo
