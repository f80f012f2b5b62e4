#pragma once

#include "base/Color.h"
#include "base/Point.h"
#include "base/Rect.h"
#include "base/TriVertex.h"
#include "graphics/Matrix3.h"
#include "platform/display/Device3D.h"
#include "platform/display/DisplayTypes.h"
#include "platform/window/Messages.h"

#include <memory>
#include <set>
#include <string>
#include <vector>

namespace platform
{
class DirectDisplay;
class DisplaySurface;
} // namespace platform

namespace Kavo
{

class DDInterface;
class MemoryImage;
class TextureData;

// The 3D renderer: draws into the display's draw surface through the 3D device when the
// display's 3D is on. Software images drawn onto the screen are uploaded as textures, split
// into pieces the device accepts; rectangles, lines, polygons and every kind of blit become
// batches of pre-transformed vertices. A failed device call is kept as the 3D error text (and
// written to the settings as "Test3D\RuntimeError" when its text changes) until the frame has
// been presented and checked, so that the display switches 3D off.
class D3DInterface
{
public:
    // Texture formats (a mask of them is kept).
    enum
    {
        kFormatA8R8G8B8 = 1,
        kFormatA4R4G4B4 = 2,
        kFormatR5G6B5 = 4,
        kFormatPalette8 = 8,
    };
    // The image's texture hint flags.
    enum
    {
        kHintMinSubdivide = 1,
        kHintFixed64 = 2,
        kHintA4R4G4B4 = 4,
        kHintA8R8G8B8 = 8,
    };

    explicit D3DInterface(DDInterface* display);
    ~D3DInterface();
    D3DInterface(const D3DInterface&) = delete;
    D3DInterface& operator=(const D3DInterface&) = delete;

    // Sets up the device on the display's draw surface; false with the 3D error text set.
    bool InitFromDDInterface(DDInterface* display);
    bool InitDevice();
    void Cleanup();

    // Opens the frame's scene on the first draw; false while minimised or without a target.
    bool BeginScene();
    // Ends the open scene (checked).
    void Flush();
    void SetDrawMode(int drawMode);
    void SetLinearFilter(bool linear);
    // True (and the error kept) when result is a failure.
    bool CheckResult(platform::DisplayResult result, const char* what);

    // --- Drawing (each with a colour and a draw mode: 0 normal, 1 additive) ---
    void FillRect(const Rect& rect, const Color& color, int drawMode);
    void DrawLine(double x1, double y1, double x2, double y2, const Color& color, int drawMode);
    void FillPoly(const Point* points, int count, const Rect* clip, const Color& color, int drawMode, int tx,
                  int ty);
    void Blt(MemoryImage* image, float x, float y, const Rect& srcRect, const Color& color, int drawMode,
             bool smooth);
    void BltClipF(MemoryImage* image, float x, float y, const Rect& srcRect, const Rect& clip,
                  const Color& color, int drawMode);
    void BltMirror(MemoryImage* image, float x, float y, const Rect& srcRect, const Color& color,
                   int drawMode);
    void StretchBlt(MemoryImage* image, const Rect& destRect, const Rect& srcRect, const Rect& clip,
                    const Color& color, int drawMode, bool fast, bool mirror);
    void BltRotated(MemoryImage* image, float x, float y, const Rect& clip, const Color& color, int drawMode,
                    float centerX, float centerY, const Rect& srcRect, double angle);
    void BltTransformed(MemoryImage* image, const Rect* clip, const Color& color, int drawMode,
                        const Rect& srcRect, const Matrix3& matrix, bool smooth, float x, float y,
                        bool centred);
    void DrawTrianglesTex(const TriVertex* triangles, int count, const Color& color, int drawMode,
                          MemoryImage* image, float tx, float ty, bool smooth);

    // --- Textures ---
    // Copies the texture back into the image's bits (already allocated); false when the image
    // has no texture data or it is out of date.
    bool CopyTexturesToBits(MemoryImage* image);
    void RemoveImageTextures(MemoryImage* image);
    // Gives the image its texture data (made or remade as needed); true when it can be drawn.
    bool PrepareImage(MemoryImage* image);
    bool CreateImageTextures(MemoryImage* image);
    // The piece size for an image of width x height (hint flags as the image's).
    void GetBestTextureDimensions(int& width, int& height, bool isEdge, int flags) const;

    // The transform list: nothing adds to it; the draws that test it find it empty.
    bool TransformListEmpty() const { return mTransformStack.empty(); }

    DDInterface* mDDInterface;
    platform::WindowId mWindow = platform::kNoWindow;
    int mWidth = 640;
    int mHeight = 480;
    std::shared_ptr<platform::DirectDisplay> mDD;
    std::shared_ptr<platform::DisplaySurface> mDrawSurface;
    std::unique_ptr<platform::Device3D> mDevice;
    bool mSceneBegun = false;
    bool mIsWindowed = true;
    std::set<MemoryImage*> mImageSet;
    std::vector<platform::Vertex3D> mVertices;
    int64_t mTextureMemory = 0;
    std::vector<Matrix3> mTransformStack;
    int mDrawMode = -1;   // the blend state set on the device (-1: none yet)
    bool mLinear = false; // the filter state set on the device
    // The last 3D error of the frame, kept until the frame was presented and checked.
    std::string mErrorText;
    std::string mWrittenError; // what was written to the settings last

    // Device limits (set from the device; 64 x 64, aspect 1 without one).
    int mMinTextureWidth = 1;
    int mMinTextureHeight = 1;
    int mMaxTextureWidth = 64;
    int mMaxTextureHeight = 64;
    int mMaxTextureAspectRatio = 1;
    bool mTexturePowerOfTwo = false;
    int mSupportedFormats = 0;
    // Set when the render target could not be taken (the display then re-initialises).
    bool mRenderTargetLost = false;

private:
    void DrawClippedPolygon(const Rect& clip);
    void DrawPiecesTransformed(MemoryImage* image, TextureData* data, const Rect* clip, const Color& color,
                               const Rect& srcRect, const Matrix3& matrix, float x, float y, bool centred);
    bool FillPiece(TextureData* data, MemoryImage* image, int column, int row);
    bool SetTexture(std::shared_ptr<platform::DisplaySurface> texture, const char* what);
};

} // namespace Kavo
