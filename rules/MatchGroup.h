#pragma once

#include "rules/SquarePos.h"

#include <vector>

namespace Kavo
{

// One group found after a move: a seed block of one colour and everything that grew onto it.
struct MatchGroup
{
    static constexpr int kMaxChainBoosts = 30;

    int size = 0;                // squares, swallowed black holes and maturing squares included
    int supernovas = 0;          // supernova pieces in the group
    int chainLength = 0;         // highest chain step the growth reached (1: the seed alone)
    int blackHolesSwallowed = 0; // black holes and maturing squares of another colour taken
    int anchorX = 0;             // top-left square of the seed block
    int anchorY = 0;
    int points = 0;                          // points the group scores
    bool isBonus = false;                    // the group earned the current bonus
    int chainBoosts = 0;                     // long-chain boosts applied (0 to 30)
    float comboMod = 0.0f;                   // score modifier of the combo (set by the move driver)
    bool supernovasPresent = false;          // a supernova outside the move's groups blocks points
    bool noPoints = false;                   // the group scores nothing
    float tileAdjust = 0.0f;                 // sum of the tile value adjustments
    int bonusPoints = 0;                     // points the bonus added
    int squaresOnTile0 = 0;                  // marked squares standing on tile colour 0
    SquarePos chainSquares[kMaxChainBoosts]; // where each long-chain boost shows
    int colour = 0;                          // 1 to 10 (1 for a seed made only of wild pieces)
    std::vector<SquarePos> wilds;            // the wild squares of the group
};

// The groups of one move, in the order found.
using MatchGroupList = std::vector<MatchGroup>;

} // namespace Kavo
