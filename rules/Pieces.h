#pragma once

#include <cstdint>

// Piece codes of the board. A square's piece is one of the codes below, optionally with one
// of the two flag bits; wherever a colour is compared the flags are masked off first
// (PieceColour), while the immovable test looks at the raw code, so a maturing or supernova
// piece always moves.
namespace Kavo
{

constexpr int PieceBlank = 0;   // the empty square that slides move into
constexpr int PieceColour1 = 1; // colours are 1 to 10
constexpr int PieceColour10 = 10;
constexpr int PieceWall = 11;                // never moves, never matches
constexpr int PieceGap = 12;                 // a hole in the board: never moves, never matches
constexpr int PieceBlackHole = 13;           // grows into its neighbours, swallowed by groups
constexpr int PieceWild = 14;                // matches any colour
constexpr int PieceNone = 15;                // no piece / no colour / mixed colours
constexpr int PieceMaturingFlag = 0x100000;  // turning into a black hole; the square's matureTimer runs
constexpr int PieceSupernovaFlag = 0x200000; // a supernova of the colour in the low bits
constexpr int PieceFlagMask = PieceMaturingFlag | PieceSupernovaFlag;

// The piece without its flag bits.
constexpr int PieceColour(int piece)
{
    return piece & ~PieceFlagMask;
}

constexpr bool IsColourPiece(int piece)
{
    return piece >= PieceColour1 && piece <= PieceColour10;
}

// Black holes, walls and gaps never move (raw code: flagged pieces are movable).
constexpr bool IsImmovablePiece(int piece)
{
    return piece == PieceBlackHole || piece == PieceWall || piece == PieceGap;
}

// Kind index of a PieceRatio weight to its piece code: 0-9 colours 1-10, 10 black hole,
// 11 wild, 12 wall, 13 gap, 14-23 supernovas of colours 1-10; anything else PieceNone.
int PieceFromRatioIndex(int index);

} // namespace Kavo
