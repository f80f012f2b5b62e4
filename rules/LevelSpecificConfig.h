#pragma once

#include <string>

namespace Kavo
{

class MersenneTwister;
class Serializer;

// The rules of one level: a plain value record, copied by assignment. The rules file sets the
// fields by these very names; times are in seconds.
class LevelSpecificConfig
{
public:
    static constexpr int kPieceKinds = 24;   // PieceRatio kind indexes, see PieceFromRatioIndex
    static constexpr int kChainEntries = 30; // long-chain boosts

    LevelSpecificConfig() { SetDefaults(); }
    virtual ~LevelSpecificConfig() = default;
    LevelSpecificConfig(const LevelSpecificConfig&) = default;
    LevelSpecificConfig& operator=(const LevelSpecificConfig&) = default;

    // Reads or writes the record (the serializer tells which); false when the stream failed.
    // A failed read leaves the fields partly overwritten: read into a copy.
    virtual bool Serialize(Serializer& serializer);

    void SetDefaults();

    // A random piece code drawn by the weights: kindSet 1 considers the colours (kinds 0-9),
    // 2 also black hole, wild, wall and gap (0-13), anything else all 24 kinds. A kind of
    // weight 0 (or below) is never drawn. When the considered weights add up to nothing the
    // result is PieceNone and no number is drawn.
    int PickWeightedPiece(int kindSet, MersenneTwister& rng) const;
    // How many of the ten colour weights are non-zero (special kinds are not counted).
    int CountWeightedKinds() const;

    int PieceRatio[kPieceKinds];
    int nBackgroundID;
    int nSongID;
    int nPiecesInLevel;
    int nExtraPointsForCompletingLevel;
    int nStartingBonus;
    int nLargestBonus;
    int nBonusesBetweenSizeIncreases; // 0 or below: the bonus size never grows
    int nBonusBaseImmediateBoost;
    int nBonusImmediateBoostIncrement;
    float fBonusMultiplier;
    float fBonusBaseTimeBoost;
    float fBonusTimeBoostIncrement;
    int nPieceBoostPerBonus;
    float fInitialTimeLeft;
    float fRolloverTimeModifier;
    float fMaxTimeLeft;
    float fTimeLostPerSecond;
    float fTimeBoostPerPiece;
    float fTimeBoostForLargeGroups;
    int nLargeGroupSizeRequirement;
    float fWarningBellStartTimePercent;
    float fTimeBoostPerSupernova;
    float fTimeModWhileSupernovasExist;
    float fScorePerSecondRemainingAfterLevel;
    float fTimeModForExplosionsEntirelyOnLitTiles;
    float fPieceBoostBonusForLargeGroups;
    float fScoreModifier;
    float fSupernovaPieceWeight;
    int nSupernovaPieceImmediateBoost;
    // Chain index n (1 to 30, as the rules file counts) is entry [n - 1].
    int LongChainLength[kChainEntries];
    int LongChainImmediateBoost[kChainEntries];
    float fChanceForBlackHolesToGrow;
    float fChanceForBlackHolesToGrowModPerBlackHole;
    float fTimeBeforeBlackHolesMature;
    float fTimePenaltyPerMainMoveType;
    float fTimePenaltyPerAlternateMoveType;
    float fScorePenaltyPerMainMoveType;
    float fScorePenaltyPerAlternateMoveType;
    int nPiecePenaltyPerMainMoveType; // applies after every move without a group
    int nPieceCountNeededToAvoidBlackHoleWave;
    std::string sStartLevelStoryText;
    std::string sEndLevelStoryText;
    std::string sLevelLayout;
    std::string sTileLayout;
    int GeneralConfigFlags; // gcf bits
    int TileConfigFlags;    // tcf bits
    int MainMoveType;       // mt value (-1: a name the rules file did not know)
    int AlternateMoveType;
    float fAnimationMod;
    int HintsToShow; // hint bits
    float fScoreModPerCombo;
    float fTimeBonusPerCombo;
    float fMaxScoreModFromCombos;
    int nPieceBoostPerCombo;
    float fTimeBoostPerExtraValueTile;
    float fTimeLostAcceleration;
};

} // namespace Kavo
