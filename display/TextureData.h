#pragma once

#include "base/Rect.h"

#include <memory>
#include <vector>

namespace platform
{
class DisplayPalette;
class DisplaySurface;
} // namespace platform

namespace Kavo
{

// The 3D renderer's textures of one image: the image cut into pieces that the device accepts
// (row by row, column by column), in one texture format. Held by the image through its 3D-data
// field while the renderer knows the image.
class TextureData
{
public:
    struct Piece
    {
        std::shared_ptr<platform::DisplaySurface> texture;
        int width = 0;
        int height = 0;
    };

    // The piece at (x, y) of the image and the part of it from there to the piece's edge,
    // limited to width x height; texture coordinates u0, v0, u1, v1 of that part.
    Piece* GetPiece(int x, int y, int& partWidth, int& partHeight, float& u0, float& v0, float& u1,
                    float& v1);

    int mWidth = 0; // of the image at upload
    int mHeight = 0;
    int mBitsChangedCount = 0;
    int mPieceWidth = 0;
    int mPieceHeight = 0;
    int mColumns = 0;
    int mRows = 0;
    std::vector<Piece> mPieces;
    int mFormat = 0; // 0: none (the image is not drawn through 3D)
    uint32_t mHintFlags = 0;
    std::shared_ptr<platform::DisplayPalette> mPalette;
    int64_t mBytes = 0;
};

} // namespace Kavo
