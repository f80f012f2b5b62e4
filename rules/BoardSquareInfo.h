#pragma once

#include <cstdint>

namespace Kavo
{

class Serializer;

// One square of the board: the piece on it, the tile under it, and what the board screen
// keeps per square.
class BoardSquareInfo
{
public:
    BoardSquareInfo() = default;
    virtual ~BoardSquareInfo() = default;
    // Copying takes every field, the tile included (the tile travels with the piece).
    BoardSquareInfo(const BoardSquareInfo&) = default;
    BoardSquareInfo& operator=(const BoardSquareInfo&) = default;

    // Every field but the tile: the piece moves over a tile that stays.
    void CopyKeepTile(const BoardSquareInfo& other);

    // piece, tile, explodedPiece, the two flags, pointsLabel, matureTimer; false when the
    // stream failed.
    virtual bool Serialize(Serializer& serializer);

    bool operator==(const BoardSquareInfo&) const = default;

    int32_t piece = 0;         // piece code with its flag bits (rules/Pieces.h)
    int32_t tile = 0;          // tile colour 0 to 9
    int32_t explodedPiece = 0; // the piece shown while the square explodes
    bool boardFlagA = false;   // kept for the board screen: copied, saved and cleared only
    bool boardFlagB = false;
    int32_t pointsLabel = 0;  // points label the board screen shows on the square
    float matureTimer = 0.0f; // seconds until a maturing piece becomes a black hole
};

} // namespace Kavo
