#pragma once

#include "tools/art/Canvas.h"
#include "tools/art/Effects.h"

// The game pieces, shared by the piece strips, the explosions and the pictures that show pieces
// (the tutorial's example board, the hint pictures).
namespace Art
{

constexpr int kPieceWidth = 62; // a board cell
constexpr int kPieceHeight = 60;
constexpr int kMiniWidth = 32; // the small pieces (inside a wild piece, the bonus display)
constexpr int kMiniHeight = 30;
constexpr int kPieceColours = 10; // piece codes 1 to 10; code 11 is a wall

// The colour of piece code 1..10 (straight).
Rgba PieceColour(int code);
// The silhouette of piece code 1..10 in units of the piece's radius (about 1 at the rim).
Sdf PieceShape(int code);
// Paints piece code 1..11 centred at (cx, cy) with the given radius in pixels (25 for a board
// cell), with its glow and soft shadow unless bare.
void PaintPiece(Canvas& canvas, int code, float cx, float cy, float radius, bool bare = false);

} // namespace Art
