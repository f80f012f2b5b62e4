#include "platform/Device3D.h"

#include "platform/DisplayCore.h"
#include "platform/DisplaySetup.h"
#include "platform/DisplaySurface.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace platform
{

namespace
{

constexpr int kStateCount = 9;
constexpr int kStageCount = 7;

// One corner of a polygon being cut: position, colour and texture coordinates.
struct Corner
{
    float x, y;
    float r, g, b, a;
    float u, v;
};

Corner Lerp(const Corner& p, const Corner& q, float t)
{
    auto mix = [t](float a, float b) { return a + (b - a) * t; };
    return {mix(p.x, q.x), mix(p.y, q.y), mix(p.r, q.r), mix(p.g, q.g), mix(p.b, q.b), mix(p.a, q.a),
            mix(p.u, q.u), mix(p.v, q.v)};
}

// Keeps the part of the polygon where (coordinate of a corner) * sign >= limit * sign.
std::vector<Corner> CutPolygon(const std::vector<Corner>& in, bool useU, float limit, float sign)
{
    std::vector<Corner> out;
    size_t n = in.size();
    for (size_t i = 0; i < n; ++i)
    {
        const Corner& p = in[i];
        const Corner& q = in[(i + 1) % n];
        float pc = (useU ? p.u : p.v) - limit, qc = (useU ? q.u : q.v) - limit;
        bool pIn = pc * sign >= 0, qIn = qc * sign >= 0;
        if (pIn) out.push_back(p);
        if (pIn != qIn) out.push_back(Lerp(p, q, pc / (pc - qc)));
    }
    return out;
}

SDL_Vertex ToSdl(const Corner& c)
{
    auto byte = [](float v) { return Uint8(std::clamp(int(std::lround(v)), 0, 255)); };
    // Pixel centres lie on integer coordinates here and half a pixel further on in SDL.
    return SDL_Vertex{{c.x + 0.5f, c.y + 0.5f},
                      {byte(c.r), byte(c.g), byte(c.b), byte(c.a)},
                      {std::clamp(c.u, 0.0f, 1.0f), std::clamp(c.v, 0.0f, 1.0f)}};
}

} // namespace

DisplayResult Device3D::Access::Make(std::shared_ptr<DisplaySurface> target, std::unique_ptr<Device3D>& out)
{
    SDL_Renderer* r = detail::GetDesktop().renderer;
    SDL_RendererInfo info;
    if (!r || SDL_GetRendererInfo(r, &info) != 0) return kErrInvalidDevice;
    std::unique_ptr<Device3D> device(new Device3D());
    device->mRendererName = info.name ? info.name : "";
    device->mSoftwareRenderer = device->mRendererName == "software";
    // Without limits of the renderer's own, textures up to 2048 texels a side.
    device->mCaps.maxTextureWidth = info.max_texture_width > 0 ? info.max_texture_width : 2048;
    device->mCaps.maxTextureHeight = info.max_texture_height > 0 ? info.max_texture_height : 2048;
    device->mCaps.maxTextureAspectRatio = 0;
    // Blend factors of one's own: asked of the renderer with a texture of its own.
    SDL_Texture* probe = SDL_CreateTexture(r, SDL_PIXELFORMAT_ARGB8888, SDL_TEXTUREACCESS_STATIC, 1, 1);
    if (probe)
    {
        SDL_BlendMode one = SDL_ComposeCustomBlendMode(SDL_BLENDFACTOR_ONE, SDL_BLENDFACTOR_ONE, SDL_BLENDOPERATION_ADD,
                                                       SDL_BLENDFACTOR_ZERO, SDL_BLENDFACTOR_ONE,
                                                       SDL_BLENDOPERATION_ADD);
        device->mCustomBlend = SDL_SetTextureBlendMode(probe, one) == 0;
        SDL_DestroyTexture(probe);
    }
    const uint32_t states[kStateCount] = {0, kBlendOne, kBlendZero, kCullCounterClockwise, 1, 0, 0, 0, 0};
    const uint32_t stages[kStageCount] = {kOpModulate, kOpSelectArg1, kFilterPoint, kFilterPoint,
                                          kFilterPoint, kAddressWrap, kAddressWrap};
    std::copy(states, states + kStateCount, device->mRenderStates);
    std::copy(stages, stages + kStageCount, device->mStageStates);
    DisplayResult hr = device->SetRenderTarget(std::move(target));
    if (hr < 0) return hr;
    out = std::move(device);
    return kDisplayOk;
}

Device3D::~Device3D() = default;

std::vector<PixelFormat> Device3D::EnumTextureFormats() const
{
    return {PixelFormat::Argb8888(), PixelFormat::Argb4444(), PixelFormat::Rgb565(), PixelFormat::Palette8()};
}

DisplayResult Device3D::SetRenderTarget(std::shared_ptr<DisplaySurface> target)
{
    if (!target || !target->Desc().renderTarget) return kErrInvalidParams;
    if (target->IsLost()) return kErrSurfaceLost;
    mTarget = std::move(target);
    return kDisplayOk;
}

DisplayResult Device3D::BeginScene()
{
    if (mInScene) return kErrSceneInScene;
    if (!mTarget || mTarget->IsLost()) return kErrSurfaceLost;
    mInScene = true;
    return kDisplayOk;
}

DisplayResult Device3D::EndScene()
{
    if (!mInScene) return kErrSceneNotInScene;
    mInScene = false;
    SDL_Renderer* r = detail::GetDesktop().renderer;
    if (!r || !detail::OnMainThread() || SDL_RenderFlush(r) != 0) return kErrSceneEndFailed;
    return kDisplayOk;
}

DisplayResult Device3D::Clear(uint32_t argb)
{
    if (!mTarget) return kErrInvalidParams;
    if (!detail::OnMainThread()) return kErrWasStillDrawing;
    DisplayResult hr = DisplaySurface::Access::MakeGpuValid(*mTarget);
    if (hr < 0) return hr;
    SDL_Renderer* r = detail::GetDesktop().renderer;
    SDL_SetRenderTarget(r, DisplaySurface::Access::Texture(*mTarget));
    SDL_SetRenderDrawBlendMode(r, SDL_BLENDMODE_NONE);
    SDL_SetRenderDrawColor(r, Uint8(argb >> 16), Uint8(argb >> 8), Uint8(argb), Uint8(argb >> 24));
    if (SDL_RenderClear(r) != 0) return kErrGeneric;
    DisplaySurface::Access::GpuDrawn(*mTarget);
    return kDisplayOk;
}

DisplayResult Device3D::SetRenderState(RenderState state, uint32_t value)
{
    mRenderStates[int(state)] = value;
    return kDisplayOk;
}

DisplayResult Device3D::SetTextureStageState(StageState state, uint32_t value)
{
    mStageStates[int(state)] = value;
    return kDisplayOk;
}

DisplayResult Device3D::SetTexture(std::shared_ptr<DisplaySurface> texture)
{
    if (texture && !texture->Desc().texture) return kErrInvalidParams;
    mTexture = std::move(texture);
    return kDisplayOk;
}

DisplayResult Device3D::DrawPrimitive(Primitive type, const Vertex3D* vertices, int count)
{
    if (GetDisplaySetup().faults.drawPrimitive) return kErrGeneric;
    if (!mInScene) return kErrSceneNotInScene;
    if (!vertices || count < 0) return kErrInvalidParams;
    if (!detail::OnMainThread()) return kErrWasStillDrawing;
    SDL_Renderer* r = detail::GetDesktop().renderer;
    if (!r || !mTarget) return kErrInvalidDevice;
    DisplayResult hr = DisplaySurface::Access::MakeGpuValid(*mTarget);
    if (hr < 0) return hr;

    // Blending.
    const uint32_t src = mRenderStates[int(RenderState::SrcBlend)];
    const uint32_t dst = mRenderStates[int(RenderState::DestBlend)];
    SDL_BlendMode blend = SDL_BLENDMODE_NONE;
    bool opaqueSource = false; // one / one where the renderer has no such factors
    if (mRenderStates[int(RenderState::AlphaBlendEnable)] != 0)
    {
        if (src == kBlendSrcAlpha && dst == kBlendInvSrcAlpha)
            blend = SDL_BLENDMODE_BLEND;
        else if (src == kBlendSrcAlpha && dst == kBlendOne)
            blend = SDL_BLENDMODE_ADD;
        else if (src == kBlendOne && dst == kBlendZero)
            blend = SDL_BLENDMODE_NONE;
        else if (src == kBlendZero && dst == kBlendOne)
            return kDisplayOk; // leaves the target as it is
        else if (src == kBlendOne && dst == kBlendOne)
        {
            if (mCustomBlend)
                blend = SDL_ComposeCustomBlendMode(SDL_BLENDFACTOR_ONE, SDL_BLENDFACTOR_ONE, SDL_BLENDOPERATION_ADD,
                                                   SDL_BLENDFACTOR_ZERO, SDL_BLENDFACTOR_ONE, SDL_BLENDOPERATION_ADD);
            else
            {
                // source alpha x source with every source alpha 255 is the source itself
                blend = SDL_BLENDMODE_ADD;
                opaqueSource = true;
            }
        }
        else
            return kErrUnsupported;
    }

    const uint32_t colorOp = mStageStates[int(StageState::ColorOp)];
    const uint32_t alphaOp = mStageStates[int(StageState::AlphaOp)];
    const bool textured = mTexture && colorOp != kOpDisable && colorOp != kOpSelectArg2;
    SDL_Texture* texture = nullptr;
    if (textured)
    {
        texture = DisplaySurface::Access::TextureToSample(*mTexture, opaqueSource);
        if (!texture) return kErrOutOfVideoMemory;
        bool linear = mStageStates[int(StageState::MagFilter)] == kFilterLinear ||
                      mStageStates[int(StageState::MinFilter)] == kFilterLinear;
        SDL_SetTextureScaleMode(texture, linear ? SDL_ScaleModeLinear : SDL_ScaleModeNearest);
        SDL_SetTextureBlendMode(texture, blend);
    }
    SDL_SetRenderDrawBlendMode(r, blend);
    SDL_SetRenderTarget(r, DisplaySurface::Access::Texture(*mTarget));

    auto corner = [&](const Vertex3D& v)
    {
        float a = float(v.diffuse >> 24);
        if (textured && alphaOp == kOpSelectArg1) a = 255;
        if (opaqueSource) a = 255;
        float red = float((v.diffuse >> 16) & 0xFF), green = float((v.diffuse >> 8) & 0xFF),
              blue = float(v.diffuse & 0xFF);
        if (textured && colorOp == kOpSelectArg1) red = green = blue = 255;
        return Corner{v.x, v.y, red, green, blue, a, v.u, v.v};
    };

    if (type == Primitive::LineStrip)
    {
        if (count < 2) return kDisplayOk;
        std::vector<SDL_FPoint> points;
        points.resize(size_t(count));
        for (int i = 0; i < count; ++i)
            points[size_t(i)] = SDL_FPoint{vertices[i].x + 0.5f, vertices[i].y + 0.5f};
        Corner c = corner(vertices[0]);
        SDL_SetRenderDrawColor(r, Uint8(c.r), Uint8(c.g), Uint8(c.b), Uint8(c.a));
        if (SDL_RenderDrawLinesF(r, points.data(), count) != 0) return kErrGeneric;
        DisplaySurface::Access::GpuDrawn(*mTarget);
        return kDisplayOk;
    }

    // The triangles as corner indices.
    std::vector<int> triangles;
    if (type == Primitive::TriangleList)
        for (int i = 0; i + 2 < count; i += 3)
            triangles.insert(triangles.end(), {i, i + 1, i + 2});
    else if (type == Primitive::TriangleStrip)
        for (int i = 0; i + 2 < count; ++i)
        {
            if (i & 1)
                triangles.insert(triangles.end(), {i + 1, i, i + 2});
            else
                triangles.insert(triangles.end(), {i, i + 1, i + 2});
        }
    else
        for (int i = 1; i + 1 < count; ++i)
            triangles.insert(triangles.end(), {0, i, i + 1});

    const uint32_t cull = mRenderStates[int(RenderState::CullMode)];
    std::vector<SDL_Vertex> out;
    std::vector<int> indices;
    auto addFan = [&](const std::vector<Corner>& polygon)
    {
        if (polygon.size() < 3) return;
        int base = int(out.size());
        for (const Corner& c : polygon)
            out.push_back(ToSdl(c));
        for (size_t i = 1; i + 1 < polygon.size(); ++i)
            indices.insert(indices.end(), {base, base + int(i), base + int(i) + 1});
    };
    for (size_t t = 0; t + 2 < triangles.size(); t += 3)
    {
        const Vertex3D& a = vertices[triangles[t]];
        const Vertex3D& b = vertices[triangles[t + 1]];
        const Vertex3D& c = vertices[triangles[t + 2]];
        if (!std::isfinite(a.x) || !std::isfinite(a.y) || !std::isfinite(b.x) || !std::isfinite(b.y) ||
            !std::isfinite(c.x) || !std::isfinite(c.y))
            continue;
        // Screen y grows downwards: a positive cross product turns clockwise on the screen.
        double cross = double(b.x - a.x) * double(c.y - a.y) - double(b.y - a.y) * double(c.x - a.x);
        if ((cull == kCullClockwise && cross > 0) || (cull == kCullCounterClockwise && cross < 0)) continue;
        std::vector<Corner> polygon = {corner(a), corner(b), corner(c)};
        if (!textured)
        {
            addFan(polygon);
            continue;
        }
        auto outside = [](float x) { return !(x >= -1e-4f && x <= 1.0001f); };
        bool cut = std::any_of(polygon.begin(), polygon.end(),
                               [&](const Corner& k) { return outside(k.u) || outside(k.v); });
        if (!cut)
        {
            addFan(polygon);
            continue;
        }
        // Clamp addressing: the parts beyond an edge take that edge's texels.
        for (int bu = 0; bu < 3; ++bu)
        {
            std::vector<Corner> columnPart = polygon;
            if (bu == 0) columnPart = CutPolygon(columnPart, true, 0.0f, -1.0f);
            if (bu == 1) columnPart = CutPolygon(CutPolygon(columnPart, true, 0.0f, 1.0f), true, 1.0f, -1.0f);
            if (bu == 2) columnPart = CutPolygon(columnPart, true, 1.0f, 1.0f);
            if (columnPart.size() < 3) continue;
            for (int bv = 0; bv < 3; ++bv)
            {
                std::vector<Corner> part = columnPart;
                if (bv == 0) part = CutPolygon(part, false, 0.0f, -1.0f);
                if (bv == 1) part = CutPolygon(CutPolygon(part, false, 0.0f, 1.0f), false, 1.0f, -1.0f);
                if (bv == 2) part = CutPolygon(part, false, 1.0f, 1.0f);
                addFan(part);
            }
        }
    }
    if (indices.empty()) return kDisplayOk;
    if (SDL_RenderGeometry(r, texture, out.data(), int(out.size()), indices.data(), int(indices.size())) != 0)
        return kErrGeneric;
    DisplaySurface::Access::GpuDrawn(*mTarget);
    return kDisplayOk;
}

} // namespace platform
