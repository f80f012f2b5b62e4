#pragma once

#include "rules/GameBoardLogic.h"

#include <vector>

namespace KavoTest
{

// A piece announcement: (x, y) moves by (dx, dy).
struct Moved
{
    int x, y, dx, dy;
    bool operator==(const Moved&) const = default;
};

// The engine with its notifications written down, as the board screen would receive them.
class RecordingEngine : public Kavo::GameBoardLogic
{
public:
    RecordingEngine()
    {
        rules.Random().Seed(1);
        // A plain level: no time running, no points blocked by supernovas, no blank added.
        for (Kavo::LevelSpecificConfig& level : rules.levels)
            level.GeneralConfigFlags = 0;
    }

    void OnPieceMoved(int x, int y, int dx, int dy) override { moved.push_back({x, y, dx, dy}); }
    void OnBlackHoleMatured(int x, int y) override { matured.push_back({x, y, 0, 0}); }

    Kavo::LevelSpecificConfig& Level() { return rules.GetLevelConfig(level); }

    std::vector<Moved> moved;
    std::vector<Moved> matured;
};

} // namespace KavoTest
