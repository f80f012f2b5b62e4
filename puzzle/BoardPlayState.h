#pragma once

namespace Kavo
{

// What the board is doing, as Board::GetPlayState finds it, tested in this order:
//
// | state              | while                                                                |
// |--------------------|----------------------------------------------------------------------|
// | kPlaySliding       | slide animations exist                                               |
// | kPlayExploding     | explosion animations exist                                           |
// | kPlayLevelEnd      | the level is finishing, or the engine reports the level over         |
// | kPlayCrossFade     | the background cross-fade runs (the first 180 updates of a new board) |
// | kPlayLevelStart    | the level-start effect runs                                          |
// | kPlayOpen          | otherwise: moves, buttons, real-time rules and the hidden words act  |
//
// The values are the numbers the board's tests and callers have always compared.
enum BoardPlayState : int
{
    kPlayOpen = 0,
    kPlaySliding = 1,
    kPlayExploding = 2,
    kPlayLevelStart = 3,
    kPlayLevelEnd = 4,
    kPlayCrossFade = 5,
};

// The states between one level's play and the next, in which the pieces grow in, shrink out or
// wait for the new background, and the buttons and the tutorial box hide.
constexpr bool IsLevelTransition(BoardPlayState state)
{
    return state == kPlayLevelStart || state == kPlayLevelEnd || state == kPlayCrossFade;
}

} // namespace Kavo
