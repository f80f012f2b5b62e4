#include "display/TextureData.h"

#include <algorithm>

namespace Kavo
{

TextureData::Piece* TextureData::GetPiece(int x, int y, int& partWidth, int& partHeight, float& u0, float& v0,
                                          float& u1, float& v1)
{
    if (mPieceWidth <= 0 || mPieceHeight <= 0) return nullptr;
    int column = x / mPieceWidth, row = y / mPieceHeight;
    if (column < 0 || row < 0 || column >= mColumns || row >= mRows) return nullptr;
    Piece& piece = mPieces[size_t(row) * size_t(mColumns) + size_t(column)];
    int left = x - column * mPieceWidth, top = y - row * mPieceHeight;
    partWidth = std::min(partWidth, piece.width - left);
    partHeight = std::min(partHeight, piece.height - top);
    u0 = float(left) / float(piece.width);
    v0 = float(top) / float(piece.height);
    u1 = float(left + partWidth) / float(piece.width);
    v1 = float(top + partHeight) / float(piece.height);
    return &piece;
}

} // namespace Kavo
