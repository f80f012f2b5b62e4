#pragma once

#include "platform/display/DisplayTypes.h"

#include <cstdint>
#include <memory>
#include <vector>

struct SDL_Texture;

// The 3D device: pre-transformed, coloured and textured primitives drawn into a render-target
// surface by SDL's renderer (OpenGL or whatever SDL picks; its software renderer headless).
// Main thread only. It keeps the conventions the program's 3D code is written for:
//   - pixel centres lie on integer coordinates: a quad from (x - 0.5, y - 0.5) to
//     (x + w - 0.5, y + h - 0.5) covers exactly the pixels x .. x + w - 1;
//   - texel i of n covers texture coordinates i / n to (i + 1) / n, sampled at pixel centres;
//   - clamp addressing: coordinates outside 0 .. 1 take the edge texels;
//   - point or bilinear filtering by the stage's filters;
//   - colour = texel x diffuse; alpha = texel alpha (select) or texel alpha x diffuse alpha
//     (modulate); without a texture the diffuse colour alone;
//   - blending by (source factor, destination factor) of source alpha, one, zero and inverse
//     source alpha, as the states set them;
//   - the stage defaults: colour modulate, alpha select texture, point filters, wrap
//     addressing (taken as clamp), culling of counter-clockwise triangles, blending off.
namespace platform
{

class DisplaySurface;

// 32 bytes: position (z and rhw are ignored), diffuse and specular ARGB, texture coordinates.
struct Vertex3D
{
    float x = 0, y = 0, z = 0, rhw = 1;
    uint32_t diffuse = 0xFFFFFFFF;
    uint32_t specular = 0;
    float u = 0, v = 0;
};

enum class Primitive
{
    TriangleList,
    TriangleStrip,
    TriangleFan,
    LineStrip,
};

enum class RenderState
{
    AlphaBlendEnable, // 0 or 1
    SrcBlend,         // a BlendFactor
    DestBlend,        // a BlendFactor
    CullMode,         // a CullMode
    Lighting,         // ignored (vertices come lit)
    DitherEnable,     // ignored
    SpecularEnable,   // ignored
    ZEnable,          // ignored (no depth buffer)
    ZWriteEnable,     // ignored
};

enum class StageState
{
    ColorOp,   // a TextureOp
    AlphaOp,   // a TextureOp
    MinFilter, // a TextureFilter
    MagFilter, // a TextureFilter
    MipFilter, // a TextureFilter (no mipmaps: ignored)
    AddressU,  // a TextureAddress
    AddressV,  // a TextureAddress
};

// Values with the numbers the 3D states carry on Windows.
enum BlendFactor : uint32_t
{
    kBlendZero = 1,
    kBlendOne = 2,
    kBlendSrcAlpha = 5,
    kBlendInvSrcAlpha = 6,
};
enum CullMode : uint32_t
{
    kCullNone = 1,
    kCullClockwise = 2,
    kCullCounterClockwise = 3,
};
enum TextureOp : uint32_t
{
    kOpDisable = 1,
    kOpSelectArg1 = 2, // the texel (the diffuse colour without a texture)
    kOpSelectArg2 = 3, // the diffuse colour
    kOpModulate = 4,
};
// Minification and magnification filters (the mip filter is ignored: no mipmaps).
enum TextureFilter : uint32_t
{
    kFilterPoint = 1,
    kFilterLinear = 2,
};
enum TextureAddress : uint32_t
{
    kAddressWrap = 1,
    kAddressClamp = 3,
};

struct DeviceCaps
{
    int minTextureWidth = 1;
    int minTextureHeight = 1;
    int maxTextureWidth = 0; // 0: the device gives no limits
    int maxTextureHeight = 0;
    int maxTextureAspectRatio = 0;
    bool nonPow2Conditional = true; // textures of any size
    bool alphaPalette = true;       // palettised textures keep their alpha
};

class Device3D
{
public:
    ~Device3D();
    Device3D(const Device3D&) = delete;
    Device3D& operator=(const Device3D&) = delete;

    const DeviceCaps& GetCaps() const { return mCaps; }
    // The texture formats it samples: A8R8G8B8, A4R4G4B4, R5G6B5 and 8-bit palettised.
    std::vector<PixelFormat> EnumTextureFormats() const;
    // The renderer's name ("opengl", "software" ...).
    const std::string& RendererName() const { return mRendererName; }

    DisplayResult SetRenderTarget(std::shared_ptr<DisplaySurface> target);
    DisplayResult BeginScene();
    // kErrSceneNotInScene without a scene; the scene's drawing is finished when it returns.
    DisplayResult EndScene();
    DisplayResult Clear(uint32_t argb);
    DisplayResult SetRenderState(RenderState state, uint32_t value);
    DisplayResult SetTextureStageState(StageState state, uint32_t value);
    // A texture surface, or null for none.
    DisplayResult SetTexture(std::shared_ptr<DisplaySurface> texture);
    // count vertices: triangles of a list, strip or fan, or the points of a line strip.
    DisplayResult DrawPrimitive(Primitive type, const Vertex3D* vertices, int count);

    // Internal to the display module.
    struct Access;

private:
    friend struct Access;
    Device3D() = default;
    // Draws an axis-aligned rectangle of one colour as a rectangle; false when the vertices are
    // not one (the caller then draws triangles).
    template <typename CornerOf>
    bool DrawRectangle(const Vertex3D* vertices, SDL_Texture* texture, CornerOf corner);

    std::shared_ptr<DisplaySurface> mTarget;
    std::shared_ptr<DisplaySurface> mTexture;
    DeviceCaps mCaps;
    std::string mRendererName;
    bool mSoftwareRenderer = false;
    bool mCustomBlend = false; // the renderer takes blend factors of its own
    bool mInScene = false;
    uint32_t mRenderStates[9] = {};
    uint32_t mStageStates[7] = {};
};

} // namespace platform
