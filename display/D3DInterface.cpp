#include "display/D3DInterface.h"

#include "base/AutoCrit.h"
#include "display/DDInterface.h"
#include "display/TextureData.h"
#include "graphics/MemoryImage.h"
#include "platform/display/DirectDisplay.h"
#include "platform/display/DisplayPalette.h"
#include "platform/display/DisplaySurface.h"
#include "platform/files/Registry.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace Kavo
{

using platform::DisplayResult;
using platform::Primitive;
using platform::RenderState;
using platform::StageState;
using platform::Vertex3D;

namespace
{

bool IsPowerOfTwo(int n)
{
    return n > 0 && (n & (n - 1)) == 0;
}

int NextPowerOfTwo(int n)
{
    int p = 1;
    while (p < n && p < (1 << 30))
        p <<= 1;
    return p;
}

// The piece length for an inner piece of length n: the smallest power of two not below n,
// halved while it wastes more than 64 texels, down to one whose remainder is small or a power
// of two itself.
const std::vector<int>& PieceTable()
{
    static const std::vector<int> table = []
    {
        std::vector<int> t(1024);
        for (int n = 0; n < 1024; ++n)
        {
            int p = NextPowerOfTwo(std::max(n, 1));
            if (p - n > 64)
            {
                while (p > 1)
                {
                    p /= 2;
                    int r = n % p;
                    if (r < 64 || IsPowerOfTwo(r)) break;
                }
            }
            t[size_t(n)] = p;
        }
        return t;
    }();
    return table;
}

platform::PixelFormat FormatOf(int code)
{
    switch (code)
    {
    case D3DInterface::kFormatA4R4G4B4:
        return platform::PixelFormat::Argb4444();
    case D3DInterface::kFormatR5G6B5:
        return platform::PixelFormat::Rgb565();
    case D3DInterface::kFormatPalette8:
        return platform::PixelFormat::Palette8();
    default:
        return platform::PixelFormat::Argb8888();
    }
}

uint32_t PackColor(const Color& c)
{
    auto byte = [](int v) { return uint32_t(std::clamp(v, 0, 255)); };
    return byte(c.mAlpha) << 24 | byte(c.mRed) << 16 | byte(c.mGreen) << 8 | byte(c.mBlue);
}

Vertex3D MakeVertex(float x, float y, uint32_t color, float u = 0, float v = 0)
{
    Vertex3D vertex;
    vertex.x = x;
    vertex.y = y;
    vertex.z = 0;
    vertex.rhw = 1.0f;
    vertex.diffuse = color;
    vertex.u = u;
    vertex.v = v;
    return vertex;
}

// Coordinate k of a vertex: 0 x, 1 y, 2 z, 3 u, 4 v.
float& Coordinate(Vertex3D& v, int k)
{
    switch (k)
    {
    case 0:
        return v.x;
    case 1:
        return v.y;
    case 2:
        return v.z;
    case 3:
        return v.u;
    default:
        return v.v;
    }
}

Vertex3D Crossing(const Vertex3D& a, const Vertex3D& b, int k, float limit)
{
    Vertex3D p = a, q = b;
    float t = (limit - Coordinate(p, k)) / (Coordinate(q, k) - Coordinate(p, k));
    Vertex3D out = a;
    out.x = a.x + (b.x - a.x) * t;
    out.y = a.y + (b.y - a.y) * t;
    out.u = a.u + (b.u - a.u) * t;
    out.v = a.v + (b.v - a.v) * t;
    if (a.diffuse != b.diffuse)
    {
        uint32_t color = 0;
        for (int shift = 0; shift < 32; shift += 8)
        {
            float ca = float((a.diffuse >> shift) & 0xFF), cb = float((b.diffuse >> shift) & 0xFF);
            color |= uint32_t(std::clamp(std::lround(ca + (cb - ca) * t), 0L, 255L)) << shift;
        }
        out.diffuse = color;
    }
    return out;
}

// One pass over the closed polygon keeping the side where coordinate k lies at or above the
// limit (keepAbove) or at or below it, with the crossing point of every edge that crosses it.
void ClipPolygonPass(std::vector<Vertex3D>& polygon, int k, float limit, bool keepAbove)
{
    std::vector<Vertex3D> out;
    size_t n = polygon.size();
    for (size_t i = 0; i < n; ++i)
    {
        Vertex3D& a = polygon[i];
        Vertex3D& b = polygon[(i + 1) % n];
        bool aIn = keepAbove ? Coordinate(a, k) >= limit : Coordinate(a, k) <= limit;
        bool bIn = keepAbove ? Coordinate(b, k) >= limit : Coordinate(b, k) <= limit;
        if (aIn) out.push_back(a);
        if (aIn != bIn) out.push_back(Crossing(a, b, k, limit));
    }
    polygon.swap(out);
}

// Cuts away what lies below a minimum limit of coordinate k.
void ClipPolygonBelow(std::vector<Vertex3D>& polygon, int k, float limit)
{
    ClipPolygonPass(polygon, k, limit, true);
}

// Cuts away what lies above a maximum limit of coordinate k.
void ClipPolygonAbove(std::vector<Vertex3D>& polygon, int k, float limit)
{
    ClipPolygonPass(polygon, k, limit, false);
}

// Keeps u and v of the polygon within the unit square.
void ClipToUnitSquare(std::vector<Vertex3D>& polygon)
{
    ClipPolygonBelow(polygon, 3, 0.0f);
    if (polygon.size() > 2) ClipPolygonBelow(polygon, 4, 0.0f);
    if (polygon.size() > 2) ClipPolygonAbove(polygon, 3, 1.0f);
    if (polygon.size() > 2) ClipPolygonAbove(polygon, 4, 1.0f);
}

} // namespace

D3DInterface::D3DInterface(DDInterface* display) : mDDInterface(display)
{
    mVertices.reserve(100);
}

D3DInterface::~D3DInterface()
{
    Cleanup();
}

bool D3DInterface::CheckResult(DisplayResult result, const char* what)
{
    if (result >= 0) return false;
    mErrorText = std::string(what) + ": " + GetDirectXErrorString(result);
    // The settings hear of an error once per text, not once per failing draw.
    if (mErrorText != mWrittenError && mDDInterface && mDDInterface->mHost)
    {
        mDDInterface->mHost->WriteTest3DValue("RuntimeError", platform::kRegString,
                                              mErrorText + std::string(1, '\0'));
        mWrittenError = mErrorText;
    }
    return true;
}

// ---------------------------------------------------------------- set-up

bool D3DInterface::InitFromDDInterface(DDInterface* display)
{
    mErrorText.clear();
    mRenderTargetLost = false;
    mDDInterface = display;
    mDD = display->mDD;
    mWindow = display->mWindow;
    mWidth = display->mWidth;
    mHeight = display->mHeight;
    mDrawSurface = display->mDrawSurface;
    if (!mDrawSurface || !mDrawSurface->Desc().renderTarget)
    {
        CheckResult(platform::kErrInvalidParams, "Query DrawSurface");
        return false;
    }
    mIsWindowed = display->mWindowed;
    return InitDevice();
}

bool D3DInterface::InitDevice()
{
    if (!mDD)
    {
        CheckResult(platform::kErrInvalidDevice, "QueryInterface IID_IDirect3D7");
        return false;
    }
    if (CheckResult(mDD->CreateDevice(mDrawSurface, mDevice), "CreateDevice IID_IDirect3DHALDevice"))
        return false;
    const platform::DeviceCaps& caps = mDevice->GetCaps();
    mTexturePowerOfTwo = !caps.nonPow2Conditional;
    if (caps.maxTextureWidth == 0)
    {
        mMinTextureWidth = mMinTextureHeight = mMaxTextureWidth = mMaxTextureHeight = 64;
        mMaxTextureAspectRatio = 1;
    }
    else
    {
        mMaxTextureWidth = std::min(caps.maxTextureWidth, 1024);
        mMaxTextureHeight = std::min(caps.maxTextureHeight, 1024);
        mMinTextureWidth = std::max(caps.minTextureWidth, 1);
        mMinTextureHeight = std::max(caps.minTextureHeight, 1);
        mMaxTextureAspectRatio = caps.maxTextureAspectRatio == 0 ? 65536 : caps.maxTextureAspectRatio;
    }
    mSupportedFormats = 0;
    for (const platform::PixelFormat& f : mDevice->EnumTextureFormats())
        for (int code : {kFormatA8R8G8B8, kFormatA4R4G4B4, kFormatR5G6B5, kFormatPalette8})
            if (f == FormatOf(code)) mSupportedFormats |= code;
    if (!caps.alphaPalette) mSupportedFormats &= ~kFormatPalette8;
    mSceneBegun = false;
    mDrawMode = -1;
    mLinear = false;
    return !CheckResult(mDevice->Clear(0xFF000000), "Clear");
}

void D3DInterface::Cleanup()
{
    Flush();
    {
        std::unique_ptr<AutoCrit> lock(mDDInterface ? new AutoCrit(mDDInterface->mCritSect) : nullptr);
        for (MemoryImage* image : mImageSet)
        {
            delete static_cast<TextureData*>(image->d3dData);
            image->d3dData = nullptr;
        }
        mImageSet.clear();
    }
    mTextureMemory = 0;
    mDevice.reset();
    mDD.reset();
    mDrawSurface.reset();
    mSceneBegun = false;
}

// ---------------------------------------------------------------- scene and states

bool D3DInterface::BeginScene()
{
    if (!mDevice || !mDDInterface) return false;
    if (mDDInterface->mHost->GetDisplaySettings().minimized) return false;
    if (mSceneBegun) return true;
    if (mDevice->SetRenderTarget(mDrawSurface) < 0)
    {
        mRenderTargetLost = true;
        return false;
    }
    if (CheckResult(mDevice->BeginScene(), "BeginScene")) return false;
    mDevice->SetRenderState(RenderState::AlphaBlendEnable, 1);
    mDevice->SetRenderState(RenderState::SrcBlend, platform::kBlendSrcAlpha);
    mDevice->SetRenderState(RenderState::DestBlend, platform::kBlendInvSrcAlpha);
    mDevice->SetRenderState(RenderState::Lighting, 0);
    mDevice->SetTextureStageState(StageState::MinFilter, platform::kFilterPoint);
    mDevice->SetTextureStageState(StageState::MagFilter, platform::kFilterPoint);
    mDevice->SetTextureStageState(StageState::MipFilter, platform::kFilterPoint);
    mDevice->SetTextureStageState(StageState::AlphaOp, platform::kOpModulate);
    mDevice->SetTextureStageState(StageState::AddressU, platform::kAddressClamp);
    mDevice->SetTextureStageState(StageState::AddressV, platform::kAddressClamp);
    mDevice->SetRenderState(RenderState::DitherEnable, 0);
    mDevice->SetRenderState(RenderState::SpecularEnable, 0);
    mDevice->SetRenderState(RenderState::ZWriteEnable, 0);
    mDevice->SetRenderState(RenderState::ZEnable, 0);
    mDevice->SetRenderState(RenderState::CullMode, platform::kCullNone);
    mSceneBegun = true;
    mLinear = false;
    mDrawMode = 0;
    return true;
}

void D3DInterface::Flush()
{
    if (!mSceneBegun || !mDevice) return;
    mSceneBegun = false;
    CheckResult(mDevice->EndScene(), "EndScene");
}

void D3DInterface::SetDrawMode(int drawMode)
{
    int mode = drawMode == 1 ? 1 : 0;
    if (mode == mDrawMode) return;
    mDrawMode = mode;
    mDevice->SetRenderState(RenderState::SrcBlend, platform::kBlendSrcAlpha);
    mDevice->SetRenderState(RenderState::DestBlend,
                            mode == 1 ? platform::kBlendOne : platform::kBlendInvSrcAlpha);
}

void D3DInterface::SetLinearFilter(bool linear)
{
    if (linear == mLinear) return;
    mLinear = linear;
    const char* what = linear ? "SetTextureStageState LINEAR" : "SetTextureStageState Point";
    uint32_t value = linear ? platform::kFilterLinear : platform::kFilterPoint;
    CheckResult(mDevice->SetTextureStageState(StageState::MinFilter, value), what);
    CheckResult(mDevice->SetTextureStageState(StageState::MagFilter, value), what);
    CheckResult(mDevice->SetTextureStageState(StageState::MipFilter, value), what);
}

bool D3DInterface::SetTexture(std::shared_ptr<platform::DisplaySurface> texture, const char* what)
{
    return !CheckResult(mDevice->SetTexture(std::move(texture)), what);
}

// ---------------------------------------------------------------- textures

void D3DInterface::GetBestTextureDimensions(int& width, int& height, bool isEdge, int flags) const
{
    if (flags & kHintFixed64)
    {
        width = height = 64;
        return;
    }
    auto pick = [&](int length, int maximum)
    {
        if (length >= maximum) return maximum;
        if (!isEdge && !(flags & kHintMinSubdivide)) return PieceTable()[size_t(std::clamp(length, 0, 1023))];
        return NextPowerOfTwo(std::max(length, 1));
    };
    width = std::max(pick(width, mMaxTextureWidth), mMinTextureWidth);
    height = std::max(pick(height, mMaxTextureHeight), mMinTextureHeight);
    int aspect = std::max(mMaxTextureAspectRatio, 1);
    while (width > int64_t(height) * aspect && height < (1 << 20))
        height *= 2;
    while (height > int64_t(width) * aspect && width < (1 << 20))
        width *= 2;
}

bool D3DInterface::FillPiece(TextureData* data, MemoryImage* image, int column, int row)
{
    TextureData::Piece& piece = data->mPieces[size_t(row) * size_t(data->mColumns) + size_t(column)];
    platform::SurfaceLock lock;
    if (CheckResult(piece.texture->Lock(lock, platform::kLockWait | platform::kLockWriteOnly),
                    "Lock Texture"))
        return false;
    int x0 = column * data->mPieceWidth, y0 = row * data->mPieceHeight;
    int w = std::min(piece.width, image->width - x0), h = std::min(piece.height, image->height - y0);
    const bool palettised = data->mFormat == kFormatPalette8;
    const uint32_t* bits = palettised ? nullptr : image->GetBits();
    const uint8_t* indices = palettised ? image->colorIndices.get() : nullptr;
    int bytes = lock.format.BytesPerPixel();
    // Rows and columns past the image repeat its last ones once (for filtering at the edge).
    int rows = std::min(piece.height, h + 1), cols = std::min(piece.width, w + 1);
    for (int r = 0; r < rows && h > 0 && w > 0; ++r)
    {
        int sy = y0 + std::min(r, h - 1);
        uint8_t* out = lock.bits + size_t(r) * size_t(lock.pitch);
        for (int c = 0; c < cols; ++c)
        {
            int sx = x0 + std::min(c, w - 1);
            size_t i = size_t(sy) * size_t(image->width) + size_t(sx);
            if (palettised)
            {
                out[c] = indices ? indices[i] : 0;
                continue;
            }
            uint32_t p = bits ? bits[i] : 0;
            if (data->mFormat == kFormatA8R8G8B8)
            {
                std::memcpy(out + size_t(c) * 4, &p, 4);
            }
            else
            {
                uint16_t v = data->mFormat == kFormatA4R4G4B4
                                 ? uint16_t(((p >> 16) & 0xF000) | ((p >> 12) & 0xF00) | ((p >> 8) & 0xF0) |
                                            ((p >> 4) & 0xF))
                                 : uint16_t(((p >> 8) & 0xF800) | ((p >> 5) & 0x7E0) | ((p >> 3) & 0x1F));
                std::memcpy(out + size_t(c) * size_t(bytes), &v, 2);
            }
        }
    }
    return !CheckResult(piece.texture->Unlock(), "Texture Unlock");
}

bool D3DInterface::CreateImageTextures(MemoryImage* image)
{
    TextureData* data = static_cast<TextureData*>(image->d3dData);
    if (!data || !mDD) return false;
    AutoCrit lock(mDDInterface->mCritSect);
    image->CommitBits();
    uint32_t hints = image->d3dFlags;
    int format = kFormatA8R8G8B8;
    if (!image->hasAlpha && !image->hasTrans && (mSupportedFormats & kFormatR5G6B5) &&
        !(hints & kHintA8R8G8B8))
        format = kFormatR5G6B5;
    std::shared_ptr<platform::DisplayPalette> palette;
    if (image->IsPalettized() && (mSupportedFormats & kFormatPalette8))
    {
        if (mDD->CreatePalette(image->colorTable.get(), true, palette) >= 0)
            format = kFormatPalette8;
        else
            mSupportedFormats &= ~kFormatPalette8;
    }
    if (format == kFormatA8R8G8B8 && (((hints & kHintA4R4G4B4) && (mSupportedFormats & kFormatA4R4G4B4)) ||
                                      !(mSupportedFormats & kFormatA8R8G8B8)))
        format = kFormatA4R4G4B4;

    bool rebuild = data->mWidth != image->width || data->mHeight != image->height ||
                   data->mFormat != format || data->mHintFlags != hints || data->mPieces.empty();
    if (rebuild)
    {
        mTextureMemory -= data->mBytes;
        data->mPieces.clear();
        data->mBytes = 0;
        data->mFormat = 0;
        int pw = image->width, ph = image->height;
        GetBestTextureDimensions(pw, ph, false, int(hints));
        data->mPieceWidth = pw;
        data->mPieceHeight = ph;
        data->mColumns = std::max(1, (image->width + pw - 1) / pw);
        data->mRows = std::max(1, (image->height + ph - 1) / ph);
        int edgeW = image->width - (data->mColumns - 1) * pw, edgeH = image->height - (data->mRows - 1) * ph;
        int ew = edgeW, eh = edgeH;
        GetBestTextureDimensions(ew, eh, true, int(hints));
        ew = std::min(ew, pw);
        eh = std::min(eh, ph);
        int bytesPerTexel = format == kFormatA8R8G8B8 ? 4 : format == kFormatPalette8 ? 1 : 2;
        for (int row = 0; row < data->mRows; ++row)
            for (int column = 0; column < data->mColumns; ++column)
            {
                TextureData::Piece piece;
                piece.width = column == data->mColumns - 1 ? ew : pw;
                piece.height = row == data->mRows - 1 ? eh : ph;
                platform::SurfaceDesc desc;
                desc.width = piece.width;
                desc.height = piece.height;
                desc.texture = true;
                desc.hasFormat = true;
                desc.format = FormatOf(format);
                SetTexture(nullptr, "SetTexture NULL");
                if (mDD->CreateSurface(desc, piece.texture) < 0)
                {
                    data->mPieces.clear();
                    data->mFormat = 0;
                    return false;
                }
                if (palette) piece.texture->SetPalette(palette);
                int64_t bytes = int64_t(piece.width) * piece.height * bytesPerTexel;
                data->mBytes += bytes;
                mTextureMemory += bytes;
                data->mPieces.push_back(piece);
            }
        if (palette)
        {
            data->mBytes += 1024;
            mTextureMemory += 1024;
        }
        data->mPalette = palette;
    }
    else if (palette && data->mPalette)
    {
        data->mPalette->SetEntries(image->colorTable.get());
    }
    data->mFormat = format;
    for (int row = 0; row < data->mRows; ++row)
        for (int column = 0; column < data->mColumns; ++column)
            if (!FillPiece(data, image, column, row))
            {
                data->mFormat = 0;
                return false;
            }
    data->mWidth = image->width;
    data->mHeight = image->height;
    data->mBitsChangedCount = image->bitsChangedCount;
    data->mHintFlags = hints;
    return true;
}

bool D3DInterface::PrepareImage(MemoryImage* image)
{
    if (!image || image->width <= 0 || image->height <= 0 || !mDevice) return false;
    bool isNew = false;
    TextureData* data = static_cast<TextureData*>(image->d3dData);
    if (!data)
    {
        data = new TextureData();
        image->d3dData = data;
        isNew = true;
        AutoCrit lock(mDDInterface->mCritSect);
        mImageSet.insert(image);
    }
    if (data->mFormat == 0 || data->mWidth != image->width || data->mHeight != image->height ||
        data->mBitsChangedCount != image->bitsChangedCount || data->mHintFlags != image->d3dFlags)
        CreateImageTextures(image);
    if (isNew && image->purgeBits && data->mFormat != 0) image->MemoryImage::PurgeBits();
    return data->mFormat != 0;
}

bool D3DInterface::CopyTexturesToBits(MemoryImage* image)
{
    TextureData* data = image ? static_cast<TextureData*>(image->d3dData) : nullptr;
    if (!data || data->mFormat == 0 || data->mBitsChangedCount != image->bitsChangedCount || !image->bits)
        return false;
    AutoCrit lock(mDDInterface->mCritSect);
    uint32_t* bits = image->bits.get();
    for (int row = 0; row < data->mRows; ++row)
        for (int column = 0; column < data->mColumns; ++column)
        {
            TextureData::Piece& piece = data->mPieces[size_t(row) * size_t(data->mColumns) + size_t(column)];
            platform::SurfaceLock l;
            if (CheckResult(piece.texture->Lock(l, platform::kLockWait | platform::kLockReadOnly),
                            "Lock Texture"))
                return false;
            int x0 = column * data->mPieceWidth, y0 = row * data->mPieceHeight;
            int w = std::min(piece.width, image->width - x0), h = std::min(piece.height, image->height - y0);
            const uint32_t* palette = data->mPalette ? data->mPalette->Entries() : nullptr;
            for (int y = 0; y < h; ++y)
            {
                const uint8_t* in = l.bits + size_t(y) * size_t(l.pitch);
                uint32_t* out = bits + size_t(y0 + y) * size_t(image->width) + size_t(x0);
                for (int x = 0; x < w; ++x)
                {
                    uint32_t p = 0;
                    if (data->mFormat == kFormatA8R8G8B8)
                    {
                        std::memcpy(&p, in + size_t(x) * 4, 4);
                    }
                    else if (data->mFormat == kFormatPalette8)
                    {
                        p = palette ? palette[in[x]] : 0;
                    }
                    else
                    {
                        uint16_t v;
                        std::memcpy(&v, in + size_t(x) * 2, 2);
                        if (data->mFormat == kFormatA4R4G4B4)
                            // The texture's alpha comes back with the colour (scaled to the byte),
                            // so that transparent pixels stay transparent.
                            p = uint32_t((v >> 12) & 0xF) * 0x11u << 24 | uint32_t(v & 0xF00) << 12 |
                                uint32_t(v & 0xF0) << 8 | uint32_t(v & 0xF) << 4;
                        else
                            p = 0xFF000000u | uint32_t(v & 0xF800) << 8 | uint32_t(v & 0x7E0) << 5 |
                                uint32_t(v & 0x1F) << 3;
                    }
                    out[x] = p;
                }
            }
            CheckResult(piece.texture->Unlock(), "Texture Unlock");
        }
    return true;
}

void D3DInterface::RemoveImageTextures(MemoryImage* image)
{
    if (!image || !image->d3dData) return;
    TextureData* data = static_cast<TextureData*>(image->d3dData);
    mTextureMemory -= data->mBytes;
    delete data;
    image->d3dData = nullptr;
    std::unique_ptr<AutoCrit> lock(mDDInterface ? new AutoCrit(mDDInterface->mCritSect) : nullptr);
    mImageSet.erase(image);
}

// ---------------------------------------------------------------- untextured drawing

void D3DInterface::FillRect(const Rect& rect, const Color& color, int drawMode)
{
    if (!BeginScene()) return;
    SetDrawMode(drawMode);
    if (!SetTexture(nullptr, "SetTexture NULL")) return;
    uint32_t c = PackColor(color);
    float x = float(rect.mX) - 0.5f, y = float(rect.mY) - 0.5f;
    float w = float(rect.mWidth), h = float(rect.mHeight);
    Vertex3D v[4] = {MakeVertex(x, y, c), MakeVertex(x, y + h, c), MakeVertex(x + w, y, c),
                     MakeVertex(x + w, y + h, c)};
    CheckResult(mDevice->DrawPrimitive(Primitive::TriangleStrip, v, 4), "DrawPrimitive (Rect)");
}

void D3DInterface::DrawLine(double x1, double y1, double x2, double y2, const Color& color, int drawMode)
{
    if (!BeginScene()) return;
    SetDrawMode(drawMode);
    if (!SetTexture(nullptr, "SetTexture NULL")) return;
    uint32_t c = PackColor(color);
    Vertex3D v[3] = {MakeVertex(float(x1), float(y1), c), MakeVertex(float(x2), float(y2), c),
                     MakeVertex(float(x2 + 0.5), float(y2 + 0.5), c)};
    CheckResult(mDevice->DrawPrimitive(Primitive::LineStrip, v, 3), "DrawPrimitive (Line)");
}

void D3DInterface::FillPoly(const Point* points, int count, const Rect* clip, const Color& color,
                            int drawMode, int tx, int ty)
{
    if (!points || count < 3) return;
    if (!BeginScene()) return;
    SetDrawMode(drawMode);
    if (!SetTexture(nullptr, "SetTexture NULL")) return;
    uint32_t c = PackColor(color);
    mVertices.clear();
    for (int i = 0; i < count; ++i)
        mVertices.push_back(MakeVertex(float(points[i].mX + tx), float(points[i].mY + ty), c));
    if (clip)
    {
        DrawClippedPolygon(*clip);
        return;
    }
    CheckResult(mDevice->DrawPrimitive(Primitive::TriangleFan, mVertices.data(), int(mVertices.size())),
                "DrawPrimitive (FillPoly)");
}

void D3DInterface::DrawClippedPolygon(const Rect& clip)
{
    float left = float(clip.mX), top = float(clip.mY);
    float right = float(int64_t(clip.mX) + clip.mWidth), bottom = float(int64_t(clip.mY) + clip.mHeight);
    ClipPolygonBelow(mVertices, 0, left);
    if (mVertices.size() > 2) ClipPolygonBelow(mVertices, 1, top);
    if (mVertices.size() > 2) ClipPolygonAbove(mVertices, 0, right);
    if (mVertices.size() > 2) ClipPolygonAbove(mVertices, 1, bottom);
    if (mVertices.size() > 2)
        CheckResult(mDevice->DrawPrimitive(Primitive::TriangleFan, mVertices.data(), int(mVertices.size())),
                    "DrawPrimitive (Tri) 3");
}

// ---------------------------------------------------------------- textured drawing

void D3DInterface::Blt(MemoryImage* image, float x, float y, const Rect& srcRect, const Color& color,
                       int drawMode, bool smooth)
{
    if (!BeginScene()) return;
    SetDrawMode(drawMode);
    if (!PrepareImage(image)) return;
    SetLinearFilter(smooth);
    TextureData* data = static_cast<TextureData*>(image->d3dData);
    Rect source = srcRect.Intersection(Rect(0, 0, image->width, image->height));
    uint32_t c = PackColor(color);
    float dy = float(source.mY - srcRect.mY);
    for (int sy = source.mY; sy < source.mY + source.mHeight;)
    {
        int partH = source.mY + source.mHeight - sy;
        float dx = float(source.mX - srcRect.mX);
        int rowH = partH;
        for (int sx = source.mX; sx < source.mX + source.mWidth;)
        {
            int partW = source.mX + source.mWidth - sx;
            int ph = partH;
            float u0, v0, u1, v1;
            TextureData::Piece* piece = data->GetPiece(sx, sy, partW, ph, u0, v0, u1, v1);
            if (!piece || partW <= 0 || ph <= 0) return;
            rowH = ph;
            if (!SetTexture(piece->texture, "SetTexture gTexture")) return;
            float left = x + dx - 0.5f, top = y + dy - 0.5f;
            Vertex3D v[4] = {MakeVertex(left, top, c, u0, v0),
                             MakeVertex(left + float(partW), top, c, u1, v0),
                             MakeVertex(left, top + float(ph), c, u0, v1),
                             MakeVertex(left + float(partW), top + float(ph), c, u1, v1)};
            if (CheckResult(mDevice->DrawPrimitive(Primitive::TriangleStrip, v, 4), "DrawPrimitive (Tri) 1"))
                return;
            dx += float(partW);
            sx += partW;
        }
        dy += float(rowH);
        sy += rowH;
    }
}

void D3DInterface::DrawPiecesTransformed(MemoryImage* image, TextureData* data, const Rect* clip,
                                         const Color& color, const Rect& srcRect, const Matrix3& matrix,
                                         float x, float y, bool centred)
{
    Rect source = srcRect.Intersection(Rect(0, 0, image->width, image->height));
    uint32_t c = PackColor(color);
    float cx = centred ? float(srcRect.mWidth) / 2 : 0, cy = centred ? float(srcRect.mHeight) / 2 : 0;
    float shiftX = centred ? x : x - 0.5f, shiftY = centred ? y : y - 0.5f;
    for (int sy = source.mY; sy < source.mY + source.mHeight;)
    {
        int rowH = source.mY + source.mHeight - sy;
        for (int sx = source.mX; sx < source.mX + source.mWidth;)
        {
            int partW = source.mX + source.mWidth - sx, partH = source.mY + source.mHeight - sy;
            float u0, v0, u1, v1;
            TextureData::Piece* piece = data->GetPiece(sx, sy, partW, partH, u0, v0, u1, v1);
            if (!piece || partW <= 0 || partH <= 0) return;
            rowH = partH;
            if (!SetTexture(piece->texture, "SetTexture gTexture")) return;
            float px = float(sx - srcRect.mX) - cx, py = float(sy - srcRect.mY) - cy;
            const float corners[4][4] = {{px, py, u0, v0},
                                         {px + float(partW), py, u1, v0},
                                         {px, py + float(partH), u0, v1},
                                         {px + float(partW), py + float(partH), u1, v1}};
            Vertex3D v[4];
            bool outside = false;
            for (int i = 0; i < 4; ++i)
            {
                float tx, ty;
                Matrix3::TransformPoint(matrix, corners[i][0], corners[i][1], tx, ty);
                v[i] = MakeVertex(tx + shiftX, ty + shiftY, c, corners[i][2], corners[i][3]);
                if (clip && (v[i].x < float(clip->mX) || !(v[i].x < float(clip->mX + clip->mWidth)) ||
                             v[i].y < float(clip->mY) || !(v[i].y < float(clip->mY + clip->mHeight))))
                    outside = true;
            }
            if (outside)
            {
                mVertices.assign({v[0], v[1], v[3], v[2]});
                DrawClippedPolygon(*clip);
            }
            else if (CheckResult(mDevice->DrawPrimitive(Primitive::TriangleStrip, v, 4),
                                 "DrawPrimitive (Tri) 2"))
            {
                return;
            }
            sx += partW;
        }
        sy += rowH;
    }
}

void D3DInterface::BltTransformed(MemoryImage* image, const Rect* clip, const Color& color, int drawMode,
                                  const Rect& srcRect, const Matrix3& matrix, bool smooth, float x, float y,
                                  bool centred)
{
    if (!BeginScene()) return;
    SetDrawMode(drawMode);
    if (!PrepareImage(image)) return;
    SetLinearFilter(smooth);
    DrawPiecesTransformed(image, static_cast<TextureData*>(image->d3dData), clip, color, srcRect, matrix, x,
                          y, centred);
}

void D3DInterface::BltClipF(MemoryImage* image, float x, float y, const Rect& srcRect, const Rect& clip,
                            const Color& color, int drawMode)
{
    Matrix3 m;
    m.Translate(x, y);
    BltTransformed(image, &clip, color, drawMode, srcRect, m, true, 0, 0, false);
}

void D3DInterface::BltMirror(MemoryImage* image, float x, float y, const Rect& srcRect, const Color& color,
                             int drawMode)
{
    Matrix3 m;
    m.Translate(-float(srcRect.mWidth), 0);
    m.Scale(-1, 1);
    m.Translate(x, y);
    BltTransformed(image, nullptr, color, drawMode, srcRect, m, false, 0, 0, false);
}

void D3DInterface::StretchBlt(MemoryImage* image, const Rect& destRect, const Rect& srcRect, const Rect& clip,
                              const Color& color, int drawMode, bool fast, bool mirror)
{
    if (srcRect.mWidth <= 0 || srcRect.mHeight <= 0) return;
    Matrix3 m;
    float sx = float(destRect.mWidth) / float(srcRect.mWidth),
          sy = float(destRect.mHeight) / float(srcRect.mHeight);
    if (mirror)
    {
        m.Translate(-float(srcRect.mWidth), 0);
        sx = -sx;
    }
    m.Scale(sx, sy);
    m.Translate(float(destRect.mX), float(destRect.mY));
    BltTransformed(image, &clip, color, drawMode, srcRect, m, !fast, 0, 0, false);
}

void D3DInterface::BltRotated(MemoryImage* image, float x, float y, const Rect& clip, const Color& color,
                              int drawMode, float centerX, float centerY, const Rect& srcRect, double angle)
{
    Matrix3 m;
    m.Translate(-centerX, -centerY);
    m.RotateRad(float(angle));
    m.Translate(x + centerX, y + centerY);
    BltTransformed(image, &clip, color, drawMode, srcRect, m, true, 0, 0, false);
}

void D3DInterface::DrawTrianglesTex(const TriVertex* triangles, int count, const Color& color, int drawMode,
                                    MemoryImage* image, float tx, float ty, bool smooth)
{
    if (!triangles || count <= 0) return;
    if (!BeginScene()) return;
    SetDrawMode(drawMode);
    if (!PrepareImage(image)) return;
    SetLinearFilter(smooth);
    TextureData* data = static_cast<TextureData*>(image->d3dData);
    float extentU = float(image->width) / float(data->mPieceWidth);
    float extentV = float(image->height) / float(data->mPieceHeight);
    uint32_t c = PackColor(color);
    auto vertex = [&](const TriVertex& t)
    { return MakeVertex(t.x + tx, t.y + ty, t.color ? t.color : c, t.u * extentU, t.v * extentV); };

    if (extentU <= 1.0f && extentV <= 1.0f)
    {
        if (!SetTexture(data->mPieces[0].texture, "SetTexture gTexture")) return;
        for (int first = 0; first < count; first += 100)
        {
            int batch = std::min(100, count - first);
            mVertices.clear();
            for (int i = 0; i < batch * 3; ++i)
                mVertices.push_back(vertex(triangles[size_t(first) * 3 + size_t(i)]));
            if (CheckResult(
                    mDevice->DrawPrimitive(Primitive::TriangleList, mVertices.data(), int(mVertices.size())),
                    "DrawPrimitive (TriList)"))
                return;
        }
        return;
    }
    for (int t = 0; t < count; ++t)
    {
        Vertex3D v[3] = {vertex(triangles[t * 3]), vertex(triangles[t * 3 + 1]),
                         vertex(triangles[t * 3 + 2])};
        float minU = std::min({v[0].u, v[1].u, v[2].u}), maxU = std::max({v[0].u, v[1].u, v[2].u});
        float minV = std::min({v[0].v, v[1].v, v[2].v}), maxV = std::max({v[0].v, v[1].v, v[2].v});
        if (!std::isfinite(minU) || !std::isfinite(maxU) || !std::isfinite(minV) || !std::isfinite(maxV))
            continue;
        int c0 = std::clamp(int(std::floor(minU)), 0, data->mColumns - 1);
        int c1 = std::clamp(int(std::ceil(maxU)) - 1, 0, data->mColumns - 1);
        int r0 = std::clamp(int(std::floor(minV)), 0, data->mRows - 1);
        int r1 = std::clamp(int(std::ceil(maxV)) - 1, 0, data->mRows - 1);
        for (int row = r0; row <= r1; ++row)
            for (int column = c0; column <= c1; ++column)
            {
                TextureData::Piece& piece =
                    data->mPieces[size_t(row) * size_t(data->mColumns) + size_t(column)];
                float scaleU = float(data->mPieceWidth) / float(piece.width);
                float scaleV = float(data->mPieceHeight) / float(piece.height);
                mVertices.clear();
                for (const Vertex3D& corner : v)
                {
                    Vertex3D local = corner;
                    local.u = (corner.u - float(column)) * scaleU;
                    local.v = (corner.v - float(row)) * scaleV;
                    mVertices.push_back(local);
                }
                ClipToUnitSquare(mVertices);
                if (mVertices.size() < 3) continue;
                if (!SetTexture(piece.texture, "SetTexture gTexture")) return;
                if (CheckResult(mDevice->DrawPrimitive(Primitive::TriangleFan, mVertices.data(),
                                                       int(mVertices.size())),
                                "DrawPrimitive (Tri) 4"))
                    return;
            }
    }
}

} // namespace Kavo
