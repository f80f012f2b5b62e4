#include "rules/RulesNames.h"

#include "rules/RulesFlags.h"

namespace Kavo
{

namespace
{

#define KAVO_NAME(x)                                                                                         \
    {                                                                                                        \
#x, x                                                                                                \
    }

constexpr RulesName kGeneralConfigFlags[] = {
    KAVO_NAME(gcfDrawTimeLeftBar),
    KAVO_NAME(gcfDrawLevelIndicator),
    KAVO_NAME(gcfElapseRealTime),
    KAVO_NAME(gcfDisplayPiecesRemaining),
    KAVO_NAME(gcfBeatLevelIfNoSupernovasPresent),
    KAVO_NAME(gcfBeatLevelIfNoBlackHolesPresent),
    KAVO_NAME(gcfLoseGameIfSupernovasPresentAtEndOfLevel),
    KAVO_NAME(gcfLoseGameIfBlackHolesPresentAtEndOfLevel),
    KAVO_NAME(gcfLoseGameIfScoreIsZero),
    KAVO_NAME(gcfRequire3x3Square),
    KAVO_NAME(gcfEarnNoPointsWhileSupernovasPresent),
    KAVO_NAME(gcfDontAddBlankSquare),
    KAVO_NAME(gcfDontAllowSupernovaPiecesDuringBoardGen),
    KAVO_NAME(gcfDontShowScoresOfZero),
    KAVO_NAME(gcfCheckForNewBlackHolesAfterMove),
    KAVO_NAME(gcfCheckForNewBlackHolesInRealtime),
    KAVO_NAME(gcfGrowBlackHolesAfterMove),
    KAVO_NAME(gcfGrowBlackHolesInRealtime),
    KAVO_NAME(gcfWildsWorthMore),
    KAVO_NAME(gcfGameOverIfScoreIsNonZero),
    KAVO_NAME(gcfDoInteractiveTutorial),
    KAVO_NAME(gcfShowLevelChooserScreen),
    KAVO_NAME(gcfAllowUnlimitedBlackHolesPerReplenish),
    KAVO_NAME(gcfBeatLevelIfDoubleMoveCompleted),
    KAVO_NAME(gcfUseNewScoringFormula),
    KAVO_NAME(gcfBeatLevelIfGroupSizeRequirementMet),
    KAVO_NAME(gcfShowRetryBoxWhenGameEnds),
    KAVO_NAME(gcfLoseGameIfBlackHolesCompletelyFillBoard),
};

constexpr RulesName kTileConfigFlags[] = {
    KAVO_NAME(tcfExplodedColor0TilesBecomeColor1),
    KAVO_NAME(tcfExplodedColor1TilesBecomeColor0),
    KAVO_NAME(tcfExplodedColor2TilesBecomeColor0),
    KAVO_NAME(tcfExplodedColor1TilesBecomeColor2),
    KAVO_NAME(tcfColor0TilesAreHalfValue),
    KAVO_NAME(tcfColor1TilesAreHalfValue),
    KAVO_NAME(tcfColor2TilesAreHalfValue),
    KAVO_NAME(tcfColor2TilesAreDoubleValue),
    KAVO_NAME(tcfColor2TilesAreQuarterValue),
    KAVO_NAME(tcfColor3TilesCancelEntireScore),
    KAVO_NAME(tcfExplodedColor1TilesAreExtraValue),
    KAVO_NAME(tcfExplodedColor2TilesAreExtraValue),
    KAVO_NAME(tcfColor2TilesAlwaysRespawnAsWilds),
    KAVO_NAME(tcfColor3TilesAlwaysRespawnAsBlackHoles),
    KAVO_NAME(tcfSupernovaPreventsColor0toColor1),
    KAVO_NAME(tcfSupernovaPreventsColor1toColor2),
    KAVO_NAME(tcfBeatLevelIfTilesAreAllColor1),
    KAVO_NAME(tcfBeatLevelIfTilesAreAllColor2),
    KAVO_NAME(tcfBeatLevelIfAllColor2TilesAreSimultaneouslyExploded),
    KAVO_NAME(tcfMoveColorsWithTiles),
};

constexpr RulesName kSpecialButtonFlags[] = {
    KAVO_NAME(sbfShowScrambleButton),
    KAVO_NAME(sbfShowResetButton),
    KAVO_NAME(sbfShowScrambleButtonWhenStuck),
    KAVO_NAME(sbfScrambleButtonResetsEnergy),
    KAVO_NAME(sbfShowScrambleReminderWhenStuck),
};

constexpr RulesName kMoveTypes[] = {
    KAVO_NAME(mtNone),
    KAVO_NAME(mtOneSpaceSlide),
    KAVO_NAME(mtSlide),
    KAVO_NAME(mtFourSquareRotateCW),
    KAVO_NAME(mtFourSquareRotateCCW),
    KAVO_NAME(mtNineSquareRotateCW),
    KAVO_NAME(mtNineSquareRotateCCW),
    KAVO_NAME(mtThreeSquareHorzCycleLTR),
    KAVO_NAME(mtThreeSquareHorzCycleRTL),
    KAVO_NAME(mtThreeSquareVertCycleTTB),
    KAVO_NAME(mtThreeSquareVertCycleBTT),
    KAVO_NAME(mtTwoSquareHorzSwapLTR),
    KAVO_NAME(mtTwoSquareVertSwapTTB),
    KAVO_NAME(mtEntireRowHorzCycleLTR),
    KAVO_NAME(mtEntireRowHorzCycleRTL),
    KAVO_NAME(mtEntireColVertCycleTTB),
    KAVO_NAME(mtEntireColVertCycleBTT),
};

constexpr RulesName kPieceRatioKinds[] = {
    KAVO_NAME(prColor1),
    KAVO_NAME(prColor2),
    KAVO_NAME(prColor3),
    KAVO_NAME(prColor4),
    KAVO_NAME(prColor5),
    KAVO_NAME(prColor6),
    KAVO_NAME(prColor7),
    KAVO_NAME(prColor8),
    KAVO_NAME(prColor9),
    KAVO_NAME(prColor10),
    KAVO_NAME(prBlackHole),
    KAVO_NAME(prWild),
    KAVO_NAME(prWall),
    KAVO_NAME(prSupernovaColor1),
    KAVO_NAME(prSupernovaColor2),
    KAVO_NAME(prSupernovaColor3),
    KAVO_NAME(prSupernovaColor4),
    KAVO_NAME(prSupernovaColor5),
    KAVO_NAME(prSupernovaColor6),
    KAVO_NAME(prSupernovaColor7),
    KAVO_NAME(prSupernovaColor8),
    KAVO_NAME(prSupernovaColor9),
    KAVO_NAME(prSupernovaColor10),
};

constexpr RulesName kHints[] = {
    KAVO_NAME(hintBonuses),
    KAVO_NAME(hintBlackHoles),
    KAVO_NAME(hintBlackHolesGrow),
    KAVO_NAME(hintSupernovas),
    KAVO_NAME(hintWilds),
    KAVO_NAME(hintHardUntimedMode),
    KAVO_NAME(hintHardTimedMode),
    KAVO_NAME(hintScrambleButton),
    KAVO_NAME(hintBlackHoles4Square),
    KAVO_NAME(hintBlackHoles5Square),
    KAVO_NAME(hintBlackHoles6Square),
    KAVO_NAME(hintUnlockedChallengeGrid2),
    KAVO_NAME(hintUnlockedChallengeGrid3),
    KAVO_NAME(hintBeatAllChallengeGrids),
    KAVO_NAME(hintCrazyMode),
    KAVO_NAME(hintReminderRightClick),
    KAVO_NAME(hintScrambleButton2),
    KAVO_NAME(hintSlidingTilesInTimedMode),
    KAVO_NAME(hintSlidingTilesInTimedMode2),
    KAVO_NAME(hintDoubleDip),
    KAVO_NAME(hintChallengeGridGoingStrong),
    KAVO_NAME(hintCheckpoint),
};

#undef KAVO_NAME

} // namespace

std::span<const RulesName> GetRulesNames(RulesNameTable table)
{
    switch (table)
    {
    case RulesNameTable::GeneralConfigFlags:
        return kGeneralConfigFlags;
    case RulesNameTable::TileConfigFlags:
        return kTileConfigFlags;
    case RulesNameTable::SpecialButtonFlags:
        return kSpecialButtonFlags;
    case RulesNameTable::MoveTypes:
        return kMoveTypes;
    case RulesNameTable::PieceRatioKinds:
        return kPieceRatioKinds;
    case RulesNameTable::Hints:
        return kHints;
    }
    return {};
}

int ParseFlagWord(RulesNameTable table, const std::string& word, int fallback)
{
    for (const RulesName& row : GetRulesNames(table))
        if (word == row.name) return row.value;
    return fallback;
}

} // namespace Kavo
