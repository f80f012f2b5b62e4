#include "platform/display/Device3D.h"

#include "platform/display/DisplayCore.h"
#include "platform/display/DisplaySetup.h"
#include "platform/display/DisplaySurface.h"

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
    return {mix(p.x, q.x), mix(p.y, q.y), mix(p.r, q.r), mix(p.g, q.g),
            mix(p.b, q.b), mix(p.a, q.a), mix(p.u, q.u), mix(p.v, q.v)};
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
        SDL_BlendMode one =
            SDL_ComposeCustomBlendMode(SDL_BLENDFACTOR_ONE, SDL_BLENDFACTOR_ONE, SDL_BLENDOPERATION_ADD,
                                       SDL_BLENDFACTOR_ZERO, SDL_BLENDFACTOR_ONE, SDL_BLENDOPERATION_ADD);
        device->mCustomBlend = SDL_SetTextureBlendMode(probe, one) == 0;
        SDL_DestroyTexture(probe);
    }
    const uint32_t states[kStateCount] = {0, kBlendOne, kBlendZero, kCullCounterClockwise, 1, 0, 0, 0, 0};
    const uint32_t stages[kStageCount] = {kOpModulate,  kOpSelectArg1, kFilterPoint, kFilterPoint,
                                          kFilterPoint, kAddressWrap,  kAddressWrap};
    std::copy(states, states + kStateCount, device->mRenderStates);
    std::copy(stages, stages + kStageCount, device->mStageStates);
    DisplayResult hr = device->SetRenderTarget(std::move(target));
    if (hr < 0) return hr;
    out = std::move(device);
    return kDisplayOk;
}

Device3D::~Device3D() = default;

template <typename CornerOf>
bool Device3D::DrawRectangle(const Vertex3D* v, SDL_Texture* texture, CornerOf corner)
{
    // Corners 0 and 2 share x, 1 and 3 share x; 0 and 1 share y, 2 and 3 share y; the texture
    // coordinates follow; one colour.
    if (!(v[0].x == v[2].x && v[1].x == v[3].x && v[0].y == v[1].y && v[2].y == v[3].y)) return false;
    if (!(v[0].diffuse == v[1].diffuse && v[0].diffuse == v[2].diffuse && v[0].diffuse == v[3].diffuse))
        return false;
    if (!(std::isfinite(v[0].x) && std::isfinite(v[3].x) && std::isfinite(v[0].y) && std::isfinite(v[3].y)))
        return false;
    SDL_Renderer* r = detail::GetDesktop().renderer;
    Corner c = corner(v[0]);
    float left = std::min(v[0].x, v[1].x), right = std::max(v[0].x, v[1].x);
    float top = std::min(v[0].y, v[2].y), bottom = std::max(v[0].y, v[2].y);
    if (right - left > 1e6f || bottom - top > 1e6f) return false;
    SDL_FRect dest{left + 0.5f, top + 0.5f, right - left, bottom - top};
    if (!texture)
    {
        SDL_SetRenderDrawColor(r, Uint8(c.r), Uint8(c.g), Uint8(c.b), Uint8(c.a));
        return SDL_RenderFillRectF(r, &dest) == 0;
    }
    if (!(v[0].u == v[2].u && v[1].u == v[3].u && v[0].v == v[1].v && v[2].v == v[3].v)) return false;
    const float w = float(mTexture->Width()), h = float(mTexture->Height());
    float u0 = std::min(v[0].u, v[1].u) * w, u1 = std::max(v[0].u, v[1].u) * w;
    float t0 = std::min(v[0].v, v[2].v) * h, t1 = std::max(v[0].v, v[2].v) * h;
    auto whole = [](float f) { return std::fabs(f - std::round(f)) < 1e-3f; };
    if (!(whole(u0) && whole(u1) && whole(t0) && whole(t1)) || u0 < 0 || t0 < 0 || u1 > w || t1 > h)
        return false;
    SDL_Rect src{int(std::lround(u0)), int(std::lround(t0)), int(std::lround(u1 - u0)),
                 int(std::lround(t1 - t0))};
    if (src.w <= 0 || src.h <= 0) return false;
    // Mirrored when the texture runs against the position.
    bool flipX = (v[1].x - v[0].x) * (v[1].u - v[0].u) < 0;
    bool flipY = (v[2].y - v[0].y) * (v[2].v - v[0].v) < 0;
    SDL_SetTextureColorMod(texture, Uint8(c.r), Uint8(c.g), Uint8(c.b));
    SDL_SetTextureAlphaMod(texture, Uint8(c.a));
    int flip = (flipX ? SDL_FLIP_HORIZONTAL : 0) | (flipY ? SDL_FLIP_VERTICAL : 0);
    int result = flip ? SDL_RenderCopyExF(r, texture, &src, &dest, 0.0, nullptr, SDL_RendererFlip(flip))
                      : SDL_RenderCopyF(r, texture, &src, &dest);
    SDL_SetTextureColorMod(texture, 255, 255, 255);
    SDL_SetTextureAlphaMod(texture, 255);
    return result == 0;
}

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
                blend = SDL_ComposeCustomBlendMode(SDL_BLENDFACTOR_ONE, SDL_BLENDFACTOR_ONE,
                                                   SDL_BLENDOPERATION_ADD, SDL_BLENDFACTOR_ZERO,
                                                   SDL_BLENDFACTOR_ONE, SDL_BLENDOPERATION_ADD);
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
        Corner c = corner(vertices[0]);
        SDL_SetRenderDrawColor(r, Uint8(c.r), Uint8(c.g), Uint8(c.b), Uint8(c.a));
        // Each segment is cut to the target first: ends far away are walked only where they
        // can meet it.
        const double minX = -1, minY = -1, maxX = mTarget->Width() + 1.0, maxY = mTarget->Height() + 1.0;
        for (int i = 0; i + 1 < count; ++i)
        {
            double x1 = vertices[i].x, y1 = vertices[i].y, x2 = vertices[i + 1].x, y2 = vertices[i + 1].y;
            if (!std::isfinite(x1) || !std::isfinite(y1) || !std::isfinite(x2) || !std::isfinite(y2))
                continue;
            double dx = x2 - x1, dy = y2 - y1, t0 = 0, t1 = 1;
            const double p[4] = {-dx, dx, -dy, dy};
            const double q[4] = {x1 - minX, maxX - x1, y1 - minY, maxY - y1};
            bool visible = true;
            for (int k = 0; k < 4 && visible; ++k)
            {
                if (p[k] == 0)
                    visible = q[k] >= 0;
                else if (p[k] < 0)
                    t0 = std::max(t0, q[k] / p[k]);
                else
                    t1 = std::min(t1, q[k] / p[k]);
            }
            if (!visible || t0 > t1) continue;
            if (SDL_RenderDrawLineF(r, float(x1 + t0 * dx) + 0.5f, float(y1 + t0 * dy) + 0.5f,
                                    float(x1 + t1 * dx) + 0.5f, float(y1 + t1 * dy) + 0.5f) != 0)
                return kErrGeneric;
        }
        DisplaySurface::Access::GpuDrawn(*mTarget);
        return kDisplayOk;
    }

    // An axis-aligned rectangle of one colour (a blit or a fill) is copied as a rectangle:
    // renderers sample it exactly texel for pixel where their triangle paths may not.
    if (type == Primitive::TriangleStrip && count == 4 && DrawRectangle(vertices, texture, corner))
    {
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
