#include "rules/BoardSquareInfo.h"

#include "base/Serializer.h"

namespace Kavo
{

void BoardSquareInfo::CopyKeepTile(const BoardSquareInfo& other)
{
    int32_t keptTile = tile;
    *this = other;
    tile = keptTile;
}

bool BoardSquareInfo::Serialize(Serializer& s)
{
    s.SerializeInt(piece);
    s.SerializeInt(tile);
    s.SerializeInt(explodedPiece);
    s.SerializeBool(boardFlagA);
    s.SerializeBool(boardFlagB);
    s.SerializeInt(pointsLabel);
    s.SerializeFloat(matureTimer);
    return !s.Failed();
}

} // namespace Kavo
