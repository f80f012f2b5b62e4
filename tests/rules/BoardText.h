#pragma once

#include "rules/GameBoardLogic.h"
#include "rules/Pieces.h"

#include <string>
#include <vector>

// Boards written as text for the tests: one string per row, one character per square, in the
// characters of a level layout ("a"-"j" colours, "A"-"J" supernovas, "#" wall, "_" gap, "*"
// black hole, "!" wild) with "." for the blank square and "?" for a piece the text cannot
// show (maturing pieces are set by hand).
namespace KavoTest
{

using Rows = std::vector<std::string>;

inline int PieceFromChar(char c)
{
    using namespace Kavo;
    if (c >= 'a' && c <= 'j') return c - 'a' + 1;
    if (c >= 'A' && c <= 'J') return PieceSupernovaFlag | (c - 'A' + 1);
    switch (c)
    {
    case '#':
        return PieceWall;
    case '_':
        return PieceGap;
    case '*':
        return PieceBlackHole;
    case '!':
        return PieceWild;
    default:
        return PieceBlank;
    }
}

inline char CharFromPiece(int piece)
{
    using namespace Kavo;
    if (piece >= 1 && piece <= 10) return char('a' + piece - 1);
    if ((piece & ~PieceSupernovaFlag) >= 1 && (piece & ~PieceSupernovaFlag) <= 10 &&
        (piece & PieceSupernovaFlag))
        return char('A' + (piece & ~PieceSupernovaFlag) - 1);
    switch (piece)
    {
    case PieceBlank:
        return '.';
    case PieceWall:
        return '#';
    case PieceGap:
        return '_';
    case PieceBlackHole:
        return '*';
    case PieceWild:
        return '!';
    default:
        return '?';
    }
}

// Sets the board size from the rows and places their pieces (tiles 0, timers 0).
inline void SetBoard(Kavo::GameBoardLogic& engine, const Rows& rows)
{
    engine.rules.nHeight = int(rows.size());
    engine.rules.nWidth = int(rows.at(0).size());
    for (int y = 0; y < engine.Height(); ++y)
        for (int x = 0; x < engine.Width(); ++x)
        {
            engine.Square(x, y) = Kavo::BoardSquareInfo();
            engine.Square(x, y).piece = PieceFromChar(rows[size_t(y)][size_t(x)]);
        }
}

inline Rows BoardRows(const Kavo::GameBoardLogic& engine)
{
    Rows rows(size_t(engine.Height()), std::string(size_t(engine.Width()), ' '));
    for (int y = 0; y < engine.Height(); ++y)
        for (int x = 0; x < engine.Width(); ++x)
            rows[size_t(y)][size_t(x)] = CharFromPiece(engine.Square(x, y).piece);
    return rows;
}

// Tiles as digit rows.
inline void SetTiles(Kavo::GameBoardLogic& engine, const Rows& rows)
{
    for (int y = 0; y < engine.Height(); ++y)
        for (int x = 0; x < engine.Width(); ++x)
            engine.Square(x, y).tile = rows[size_t(y)][size_t(x)] - '0';
}

inline Rows TileRows(const Kavo::GameBoardLogic& engine)
{
    Rows rows(size_t(engine.Height()), std::string(size_t(engine.Width()), ' '));
    for (int y = 0; y < engine.Height(); ++y)
        for (int x = 0; x < engine.Width(); ++x)
            rows[size_t(y)][size_t(x)] = char('0' + engine.Square(x, y).tile);
    return rows;
}

} // namespace KavoTest
