// A saved game of the rules engine: the version word, the rules, the counters and the board. A
// game that loads is played on for a turn of every move type, so a state the reader lets through
// must also be one the engine can play.
#include "base/CFileSerializer.h"
#include "fuzz/FuzzTarget.h"
#include "rules/GameBoardLogic.h"
#include "rules/MatchGroup.h"
#include "rules/RulesFlags.h"

KAVO_FUZZ_TARGET(savedgame)
{
    const std::string path = fuzz::WriteInput("game.sav", data, size);
    Kavo::CFileSerializer reader(path, true, 0);
    Kavo::GameBoardLogic board;
    if (!board.Serialize(reader)) return 0;
    for (int moveType = 1; moveType < Kavo::kMoveTypeCount; ++moveType)
    {
        int x = 1, y = 1;
        Kavo::MatchGroupList groups;
        board.ResolveMove(moveType, 1, 1, x, y, groups);
    }
    board.AdvanceBlackHoleTimers(1.0f);
    board.CheckForNewBlackHoles();
    return 0;
}
