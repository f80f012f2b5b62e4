#include "rules/LevelSpecificConfig.h"

#include "base/MersenneTwister.h"
#include "base/Serializer.h"
#include "rules/Pieces.h"
#include "rules/RulesFlags.h"

namespace Kavo
{

void LevelSpecificConfig::SetDefaults()
{
    for (int& weight : PieceRatio)
        weight = 0;
    nBackgroundID = 0;
    nSongID = 1;
    nPiecesInLevel = 100;
    nExtraPointsForCompletingLevel = 0;
    nStartingBonus = 0;
    nLargestBonus = 0;
    nBonusesBetweenSizeIncreases = 1;
    nBonusBaseImmediateBoost = 100;
    nBonusImmediateBoostIncrement = 50;
    fBonusMultiplier = 0.0f;
    fBonusBaseTimeBoost = 0.0f;
    fBonusTimeBoostIncrement = 0.0f;
    nPieceBoostPerBonus = 0;
    fInitialTimeLeft = 60.0f;
    fRolloverTimeModifier = 0.0f;
    fMaxTimeLeft = 120.0f;
    fTimeLostPerSecond = 1.0f;
    fTimeBoostPerPiece = 1.0f;
    fTimeBoostForLargeGroups = 0.0f;
    nLargeGroupSizeRequirement = 0;
    fWarningBellStartTimePercent = 0.2f;
    fTimeBoostPerSupernova = 0.0f;
    fTimeModWhileSupernovasExist = 0.0f;
    fScorePerSecondRemainingAfterLevel = 0.0f;
    fTimeModForExplosionsEntirelyOnLitTiles = 1.0f;
    fPieceBoostBonusForLargeGroups = 0.0f;
    fScoreModifier = 1.0f;
    fSupernovaPieceWeight = 4.0f;
    nSupernovaPieceImmediateBoost = 0;
    for (int i = 0; i < kChainEntries; ++i)
    {
        LongChainLength[i] = 0;
        LongChainImmediateBoost[i] = 0;
    }
    fChanceForBlackHolesToGrow = 0.0f;
    fChanceForBlackHolesToGrowModPerBlackHole = 0.0f;
    fTimeBeforeBlackHolesMature = 0.0f;
    fTimePenaltyPerMainMoveType = 0.0f;
    fTimePenaltyPerAlternateMoveType = 0.0f;
    fScorePenaltyPerMainMoveType = 0.0f;
    fScorePenaltyPerAlternateMoveType = 0.0f;
    nPiecePenaltyPerMainMoveType = 0;
    nPieceCountNeededToAvoidBlackHoleWave = 0;
    sStartLevelStoryText.clear();
    sEndLevelStoryText.clear();
    sLevelLayout.clear();
    sTileLayout.clear();
    GeneralConfigFlags = gcfDrawTimeLeftBar | gcfElapseRealTime | gcfEarnNoPointsWhileSupernovasPresent |
                         gcfDontAllowSupernovaPiecesDuringBoardGen;
    TileConfigFlags = 0;
    MainMoveType = mtSlide;
    AlternateMoveType = mtSlide;
    fAnimationMod = 1.0f;
    HintsToShow = 0;
    fScoreModPerCombo = 0.0f;
    fTimeBonusPerCombo = 0.0f;
    fMaxScoreModFromCombos = 0.0f;
    nPieceBoostPerCombo = 0;
    fTimeBoostPerExtraValueTile = 0.0f;
    fTimeLostAcceleration = 0.0f;
}

int LevelSpecificConfig::PickWeightedPiece(int kindSet, MersenneTwister& rng) const
{
    int count = kindSet == 1 ? 10 : kindSet == 2 ? 14 : kPieceKinds;
    // Weights below zero count as zero; the sum is kept wide so no rules can overflow it.
    uint64_t total = 0;
    for (int i = 0; i < count; ++i)
        if (PieceRatio[i] > 0) total += uint64_t(PieceRatio[i]);
    if (total == 0) return PieceNone;

    uint64_t r = rng.Next() % total;
    for (int i = 0; i < count; ++i)
    {
        uint64_t weight = PieceRatio[i] > 0 ? uint64_t(PieceRatio[i]) : 0;
        if (r < weight) return PieceFromRatioIndex(i);
        r -= weight;
    }
    return PieceNone;
}

int LevelSpecificConfig::CountWeightedKinds() const
{
    int kinds = 0;
    for (int i = prColor1; i <= prColor10; ++i)
        if (PieceRatio[i] != 0) ++kinds;
    return kinds;
}

bool LevelSpecificConfig::Serialize(Serializer& s)
{
    for (int& weight : PieceRatio)
        s.SerializeInt(weight);
    s.SerializeInt(nBackgroundID);
    s.SerializeInt(nSongID);
    s.SerializeInt(nPiecesInLevel);
    s.SerializeInt(nExtraPointsForCompletingLevel);
    s.SerializeInt(nStartingBonus);
    s.SerializeInt(nLargestBonus);
    s.SerializeInt(nBonusesBetweenSizeIncreases);
    s.SerializeInt(nBonusBaseImmediateBoost);
    s.SerializeInt(nBonusImmediateBoostIncrement);
    s.SerializeFloat(fBonusMultiplier);
    s.SerializeFloat(fBonusBaseTimeBoost);
    s.SerializeFloat(fBonusTimeBoostIncrement);
    s.SerializeInt(nPieceBoostPerBonus);
    s.SerializeFloat(fInitialTimeLeft);
    s.SerializeFloat(fRolloverTimeModifier);
    s.SerializeFloat(fMaxTimeLeft);
    s.SerializeFloat(fTimeLostPerSecond);
    s.SerializeFloat(fTimeBoostPerPiece);
    s.SerializeFloat(fTimeBoostForLargeGroups);
    s.SerializeInt(nLargeGroupSizeRequirement);
    s.SerializeFloat(fWarningBellStartTimePercent);
    s.SerializeFloat(fTimeBoostPerSupernova);
    s.SerializeFloat(fTimeModWhileSupernovasExist);
    s.SerializeFloat(fScorePerSecondRemainingAfterLevel);
    s.SerializeFloat(fTimeModForExplosionsEntirelyOnLitTiles);
    s.SerializeFloat(fPieceBoostBonusForLargeGroups);
    s.SerializeFloat(fScoreModifier);
    s.SerializeFloat(fSupernovaPieceWeight);
    s.SerializeInt(nSupernovaPieceImmediateBoost);
    // The chain table goes as pairs, entry by entry.
    for (int i = 0; i < kChainEntries; ++i)
    {
        s.SerializeInt(LongChainLength[i]);
        s.SerializeInt(LongChainImmediateBoost[i]);
    }
    s.SerializeFloat(fChanceForBlackHolesToGrow);
    s.SerializeFloat(fChanceForBlackHolesToGrowModPerBlackHole);
    s.SerializeFloat(fTimeBeforeBlackHolesMature);
    s.SerializeFloat(fTimePenaltyPerMainMoveType);
    s.SerializeFloat(fTimePenaltyPerAlternateMoveType);
    s.SerializeFloat(fScorePenaltyPerMainMoveType);
    s.SerializeFloat(fScorePenaltyPerAlternateMoveType);
    s.SerializeInt(nPiecePenaltyPerMainMoveType);
    s.SerializeInt(nPieceCountNeededToAvoidBlackHoleWave);
    s.SerializeString(sStartLevelStoryText);
    s.SerializeString(sEndLevelStoryText);
    s.SerializeString(sLevelLayout);
    s.SerializeString(sTileLayout);
    s.SerializeInt(GeneralConfigFlags);
    s.SerializeInt(TileConfigFlags);
    s.SerializeInt(MainMoveType);
    s.SerializeInt(AlternateMoveType);
    s.SerializeFloat(fAnimationMod);
    s.SerializeInt(HintsToShow);
    s.SerializeFloat(fScoreModPerCombo);
    s.SerializeFloat(fTimeBonusPerCombo);
    s.SerializeFloat(fMaxScoreModFromCombos);
    s.SerializeInt(nPieceBoostPerCombo);
    s.SerializeFloat(fTimeBoostPerExtraValueTile);
    s.SerializeFloat(fTimeLostAcceleration);
    return !s.Failed();
}

} // namespace Kavo
