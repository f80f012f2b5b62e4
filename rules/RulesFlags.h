#pragma once

// The named values of the rules: flag bits of GeneralConfigFlags (gcf), TileConfigFlags (tcf),
// SpecialButtonFlags (sbf) and HintsToShow (hint), the move types (mt) and the PieceRatio
// kind indexes (pr). The rules file uses these very names.
namespace Kavo
{

enum GeneralConfigFlag : int
{
    gcfDrawTimeLeftBar = 0x1,
    gcfDrawLevelIndicator = 0x2,
    gcfElapseRealTime = 0x4,
    gcfDisplayPiecesRemaining = 0x8,
    gcfBeatLevelIfNoSupernovasPresent = 0x10,
    gcfBeatLevelIfNoBlackHolesPresent = 0x20,
    gcfLoseGameIfSupernovasPresentAtEndOfLevel = 0x40,
    gcfLoseGameIfBlackHolesPresentAtEndOfLevel = 0x80,
    gcfLoseGameIfScoreIsZero = 0x100,
    gcfRequire3x3Square = 0x200,
    gcfEarnNoPointsWhileSupernovasPresent = 0x400,
    gcfDontAddBlankSquare = 0x800,
    gcfDontAllowSupernovaPiecesDuringBoardGen = 0x1000,
    gcfDontShowScoresOfZero = 0x2000,
    gcfCheckForNewBlackHolesAfterMove = 0x4000,
    gcfCheckForNewBlackHolesInRealtime = 0x8000,
    gcfGrowBlackHolesAfterMove = 0x10000,
    gcfGrowBlackHolesInRealtime = 0x20000,
    gcfWildsWorthMore = 0x40000,
    gcfGameOverIfScoreIsNonZero = 0x80000,
    gcfDoInteractiveTutorial = 0x100000,
    gcfShowLevelChooserScreen = 0x200000,
    gcfAllowUnlimitedBlackHolesPerReplenish = 0x400000,
    gcfBeatLevelIfDoubleMoveCompleted = 0x800000,
    gcfUseNewScoringFormula = 0x1000000,
    gcfBeatLevelIfGroupSizeRequirementMet = 0x2000000,
    gcfShowRetryBoxWhenGameEnds = 0x4000000,
    gcfLoseGameIfBlackHolesCompletelyFillBoard = 0x8000000,
};

enum TileConfigFlag : int
{
    tcfExplodedColor0TilesBecomeColor1 = 0x1,
    tcfExplodedColor1TilesBecomeColor0 = 0x2,
    tcfExplodedColor2TilesBecomeColor0 = 0x4,
    tcfExplodedColor1TilesBecomeColor2 = 0x8,
    tcfColor0TilesAreHalfValue = 0x10,
    tcfColor1TilesAreHalfValue = 0x20,
    tcfColor2TilesAreHalfValue = 0x40,
    tcfColor2TilesAreDoubleValue = 0x80,
    tcfColor2TilesAreQuarterValue = 0x100,
    tcfColor3TilesCancelEntireScore = 0x200,
    tcfExplodedColor1TilesAreExtraValue = 0x1000,
    tcfExplodedColor2TilesAreExtraValue = 0x2000,
    tcfColor2TilesAlwaysRespawnAsWilds = 0x10000,
    tcfColor3TilesAlwaysRespawnAsBlackHoles = 0x20000,
    tcfSupernovaPreventsColor0toColor1 = 0x100000,
    tcfSupernovaPreventsColor1toColor2 = 0x200000,
    tcfBeatLevelIfTilesAreAllColor1 = 0x1000000,
    tcfBeatLevelIfTilesAreAllColor2 = 0x2000000,
    tcfBeatLevelIfAllColor2TilesAreSimultaneouslyExploded = 0x4000000,
    tcfMoveColorsWithTiles = 0x10000000,
};

enum SpecialButtonFlag : int
{
    sbfShowScrambleButton = 0x1,
    sbfShowResetButton = 0x2,
    sbfShowScrambleButtonWhenStuck = 0x4,
    sbfScrambleButtonResetsEnergy = 0x8,
    sbfShowScrambleReminderWhenStuck = 0x10,
};

enum MoveType : int
{
    mtNone = 0,
    mtOneSpaceSlide = 1,
    mtSlide = 2,
    mtFourSquareRotateCW = 3,
    mtFourSquareRotateCCW = 4,
    mtNineSquareRotateCW = 5,
    mtNineSquareRotateCCW = 6,
    mtThreeSquareHorzCycleLTR = 7,
    mtThreeSquareHorzCycleRTL = 8,
    mtThreeSquareVertCycleTTB = 9,
    mtThreeSquareVertCycleBTT = 10,
    mtTwoSquareHorzSwapLTR = 11,
    mtTwoSquareVertSwapTTB = 12,
    mtEntireRowHorzCycleLTR = 13,
    mtEntireRowHorzCycleRTL = 14,
    mtEntireColVertCycleTTB = 15,
    mtEntireColVertCycleBTT = 16,
};
constexpr int kMoveTypeCount = 17; // mtNone and the sixteen moves

// Kind indexes of PieceRatio. Index 13 (gap) has no name: only code sets its weight.
enum PieceRatioKind : int
{
    prColor1 = 0,
    prColor2,
    prColor3,
    prColor4,
    prColor5,
    prColor6,
    prColor7,
    prColor8,
    prColor9,
    prColor10,
    prBlackHole = 10,
    prWild = 11,
    prWall = 12,
    prSupernovaColor1 = 14,
    prSupernovaColor2,
    prSupernovaColor3,
    prSupernovaColor4,
    prSupernovaColor5,
    prSupernovaColor6,
    prSupernovaColor7,
    prSupernovaColor8,
    prSupernovaColor9,
    prSupernovaColor10,
};

enum HintFlag : int
{
    hintBonuses = 0x1,
    hintBlackHoles = 0x2,
    hintBlackHolesGrow = 0x4,
    hintSupernovas = 0x8,
    hintWilds = 0x10,
    hintHardUntimedMode = 0x20,
    hintHardTimedMode = 0x40,
    hintScrambleButton = 0x100,
    hintBlackHoles4Square = 0x200,
    hintBlackHoles5Square = 0x400,
    hintBlackHoles6Square = 0x800,
    hintUnlockedChallengeGrid2 = 0x4000,
    hintUnlockedChallengeGrid3 = 0x8000,
    hintBeatAllChallengeGrids = 0x10000,
    hintCrazyMode = 0x20000,
    hintReminderRightClick = 0x40000,
    hintScrambleButton2 = 0x80000,
    hintSlidingTilesInTimedMode = 0x100000,
    hintSlidingTilesInTimedMode2 = 0x200000,
    hintDoubleDip = 0x400000,
    hintChallengeGridGoingStrong = 0x800000,
    hintCheckpoint = 0x1000000,
};

} // namespace Kavo
