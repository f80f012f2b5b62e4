#include "display/D3DTester.h"

#include "base/StringUtils.h"
#include "display/DDInterface.h"
#include "display/DisplayHost.h"
#include "graphics/MemoryImage.h"
#include "platform/display/DirectDisplay.h"
#include "platform/display/DisplaySurface.h"
#include "platform/files/AsciiCase.h"
#include "platform/files/Files.h"
#include "platform/files/Registry.h"
#include "platform/system/Clock.h"
#include "platform/system/Library.h"
#include "platform/window/Window.h"

#include <cstring>
#include <sstream>

namespace Kavo
{

using platform::Device3D;
using platform::DisplayResult;
using platform::RenderState;
using platform::StageState;

bool D3DTester::sA8R8G8B8Usable = false;

namespace
{

// The squared distance of two colours' red, green and blue.
int ColorDistance(uint32_t a, uint32_t b)
{
    int dr = int((a >> 16) & 0xFF) - int((b >> 16) & 0xFF);
    int dg = int((a >> 8) & 0xFF) - int((b >> 8) & 0xFF);
    int db = int(a & 0xFF) - int(b & 0xFF);
    return dr * dr + dg * dg + db * db;
}

// The adapter's identity through the second display library; false when it is missing.
bool GetD3D8AdapterIdentity(const platform::DirectDisplay* display, platform::AdapterIdentity& out)
{
    platform::LibraryHandle library = platform::LoadLibrary("d3d8.dll");
    if (!library) return false;
    bool ok = platform::GetProcAddress(library, "Direct3DCreate8") != nullptr && display &&
              display->GetDeviceIdentifier(out) >= 0;
    platform::FreeLibrary(library);
    return ok;
}

} // namespace

int GetHighestBitIndex(uint32_t mask)
{
    for (int bit = 31; bit >= 1; --bit)
        if (mask & (uint32_t(1) << bit)) return bit;
    return 0;
}

D3DTester::D3DTester(DisplayHost* host) : mHost(host) {}

D3DTester::~D3DTester()
{
    Release();
}

void D3DTester::SetVidMemoryLimits(int minimum, int recommended)
{
    mMinVidMemory = minimum;
    mRecVidMemory = recommended;
}

bool D3DTester::Fail(const std::string& text)
{
    mFailureReason = text;
    return false;
}

bool D3DTester::Warn(const std::string& text)
{
    mWarning = text;
    return true;
}

void D3DTester::CheckDX(DisplayResult result, const std::string& what)
{
    if (result < 0) throw TestException("DXError - " + what + ": " + GetDirectXErrorString(result));
}

void D3DTester::Release()
{
    mDevice.reset();
    mTexture1.reset();
    mTexture2.reset();
    mTestSurface.reset();
    mDD.reset();
}

void D3DTester::Run(platform::WindowId window, std::shared_ptr<platform::DirectDisplay> display)
{
    if (!mHost->GetDisplaySettings().playingDemo)
    {
        // The switch for testing the 3D road on a software rasteriser: it passes the card check,
        // and such a verdict is neither cached nor taken from the cache.
        uint32_t type = 0;
        std::string data;
        mAcceptSoftware = mHost->ReadTest3DValue(kAcceptSoftwareValue, type, data) &&
                          type == platform::kRegDword && data.size() == 4 && data != std::string(4, '\0');
        if (mAcceptSoftware)
        {
            mUseCache = false;
            mNewVerdict = true; // it comes from no cache
        }
        mVerdictChanged = false;
        mDD = std::move(display);
        bool prepared = Prepare(window);
        if (prepared)
        {
            RunBlendTests();
            if (mVerdictChanged) WriteResult();
        }
        else if (!mUseCache)
        {
            if (mVerdictChanged) WriteResult();
        }
        else if (!mVerdictChanged)
        {
            uint32_t type = 0;
            std::string data;
            mNewVerdict = !mHost->ReadTest3DValue("FailureReason", type, data);
            mVerdictChanged = true;
            WriteResult();
        }
        else
        {
            WriteResult();
        }
        Release();
        mKeyOpen = false;
    }
    // The verdict passes through the demo, so that a demo replays the same 3D decision.
    mHost->DemoSyncString(mFailureReason);
    mHost->DemoSyncString(mWarning);
    mHost->DemoSyncBool(mNewVerdict);
}

bool D3DTester::Prepare(platform::WindowId window)
{
    try
    {
        Release();
        mDriverYear = 0;
        if (mUseCache) mKeyOpen = true;

        if (!mDD)
        {
            platform::LibraryHandle library = platform::LoadLibrary("ddraw.dll");
            bool present = library && platform::GetProcAddress(library, "DirectDrawCreateEx");
            if (library) platform::FreeLibrary(library);
            if (!present) return Fail("No DirectDrawCreateEx");
            CheckDX(platform::DirectDisplay::Create(mDD), "DirectDrawCreateEx");
        }

        mFailureReason.clear();
        mWarning.clear();

        if (!GetD3D8AdapterIdentity(mDD.get(), mIdentity))
            CheckDX(mDD->GetDeviceIdentifier(mIdentity), "GetDeviceIdentifier");

        // Video memory, the desktop's frame buffer counted in.
        uint32_t total = 0, free = 0;
        DisplayResult hr = mDD->GetAvailableVidMem(total, free);
        if (hr < 0)
        {
            Warn(StrFormat("GetAvailableVidMem failed: %s", GetDirectXErrorString(hr).c_str()));
        }
        else
        {
            int width = 0, height = 0;
            platform::GetDesktopSize(width, height);
            int bits = platform::GetDesktopBitsPerPixel();
            uint64_t bytes = uint64_t(bits / 8) * uint64_t(width) * uint64_t(height) + total;
            int megabytes = int(bytes >> 20);
            if (megabytes < mMinVidMemory) return Fail("Not enough video memory.");
            if (megabytes < mRecVidMemory) Warn("Low video memory.");
        }
        // Without a graphics device every renderer rasterises in software: refused before one is
        // made, so that nothing of the system's 3D libraries is loaded to learn it.
        if (!mIdentity.hasRenderDevice && !mAcceptSoftware) return Fail("No 3D hardware.");

        if (mUseCache && ReadCachedResult()) return false;
        mVerdictChanged = true;
        mFailureReason.clear();
        mWarning.clear();

        // The driver's age.
        std::string driver = mIdentity.driver;
        if (!driver.empty() && driver.find('/') == std::string::npos &&
            driver.find('\\') == std::string::npos)
            driver = "/usr/lib/" + driver;
        platform::FileTimes times;
        if (!driver.empty() && platform::GetFileTimes(driver, times))
            mDriverYear =
                platform::Clock::LocalTime(std::time_t(times.lastWrite / 1000000000)).tm_year + 1900;

        // The card is judged by what draws: the renderer and what is behind it.
        mDD->DescribeRenderer(mIdentity);
        if (!IsCardSupported(mIdentity.description))
            Warn(StrFormat("Unsupported video card: %s", mIdentity.description.c_str()));

        CheckDX(mDD->SetCooperativeLevel(window, false, false, true), "SetCooperativeLevel");
        platform::SurfaceDesc test;
        test.width = 100;
        test.height = 100;
        test.renderTarget = true;
        test.memory = platform::SurfaceMemory::Video;
        CheckDX(mDD->CreateSurface(test, mTestSurface), "CreateSurface (Primary)");
        mReadBack.Create(100, 100);
        CheckDX(mDD->CreateDevice(mTestSurface, mDevice), "CreateDevice");
        int formats = 0;
        for (const platform::PixelFormat& f : mDevice->EnumTextureFormats())
        {
            if (f == platform::PixelFormat::Argb8888()) formats |= 1;
            if (f == platform::PixelFormat::Argb4444()) formats |= 2;
        }
        if (!(formats & 1))
        {
            Warn("A8R8G8B8 texture format not supported.");
            if (!(formats & 2)) return Fail("A4R4G4B4 and A8R8G8B8 texture formats not supported.");
        }
        sA8R8G8B8Usable = (formats & 1) != 0;

        platform::SurfaceDesc texture;
        texture.width = 64;
        texture.height = 64;
        texture.texture = true;
        texture.hasFormat = true;
        texture.format =
            sA8R8G8B8Usable ? platform::PixelFormat::Argb8888() : platform::PixelFormat::Argb4444();
        CheckDX(mDD->CreateSurface(texture, mTexture1), "CreateSurface (TextureSurface1)");
        CheckDX(mDD->CreateSurface(texture, mTexture2), "CreateSurface (TextureSurfacd2)");
        return true;
    }
    catch (const TestException& e)
    {
        return Fail(e.mMessage);
    }
}

bool D3DTester::ReadCachedResult()
{
    mNewVerdict = true;
    uint32_t type = 0;
    std::string data;
    auto number = [&](const char* name, int expected)
    {
        return mHost->ReadTest3DValue(name, type, data) && type == platform::kRegDword && data.size() == 4 &&
               int(uint8_t(data[0]) | uint8_t(data[1]) << 8 | uint8_t(data[2]) << 16 |
                   uint32_t(uint8_t(data[3])) << 24) == expected;
    };
    if (!number("Version", kVersion) || !number("MinVidMemory", mMinVidMemory) ||
        !number("RecVidMemory", mRecVidMemory))
        return false;
    if (!mHost->ReadTest3DValue("DisplayGUID", type, data) || data.size() != 16 ||
        std::memcmp(data.data(), mIdentity.guid, 16) != 0)
        return false;
    auto text = [&](const char* name, std::string& out)
    {
        if (!mHost->ReadTest3DValue(name, type, data) || type != platform::kRegString) return false;
        if (data.size() > 4096) data.resize(4096);
        // A stored terminator is not part of the text.
        size_t end = data.find('\0');
        out = data.substr(0, end);
        return true;
    };
    std::string failure, warning;
    if (!text("FailureReason", failure) || !text("Warning", warning)) return false;
    mFailureReason = failure;
    mWarning = warning;
    mNewVerdict = false;
    return mFailureReason.empty();
}

void D3DTester::WriteResult()
{
    if (!mKeyOpen) return;
    auto number = [](int value)
    {
        std::string bytes(4, '\0');
        for (int i = 0; i < 4; ++i)
            bytes[size_t(i)] = char(uint32_t(value) >> (8 * i));
        return bytes;
    };
    mHost->BeginTest3DWrites();
    mHost->WriteTest3DValue("Version", platform::kRegDword, number(kVersion));
    mHost->WriteTest3DValue("MinVidMemory", platform::kRegDword, number(mMinVidMemory));
    mHost->WriteTest3DValue("RecVidMemory", platform::kRegDword, number(mRecVidMemory));
    mHost->WriteTest3DValue("DisplayGUID", platform::kRegBinary,
                            std::string(reinterpret_cast<const char*>(mIdentity.guid), 16));
    // Texts with their terminating zero.
    mHost->WriteTest3DValue("FailureReason", platform::kRegString, mFailureReason + std::string(1, '\0'));
    mHost->WriteTest3DValue("Warning", platform::kRegString, mWarning + std::string(1, '\0'));
    mHost->EndTest3DWrites();
}

bool D3DTester::IsSoftwareRasterizer(const std::string& description) const
{
    if (mIdentity.renderer == "software" || !mIdentity.accelerated) return true;
    for (const char* name : {"llvmpipe", "softpipe", "swrast"})
        if (StrCaseCompare(description, name) >= 0) return true;
    return false;
}

bool D3DTester::IsCardSupported(const std::string& description)
{
    if (!mAcceptSoftware && IsSoftwareRasterizer(description)) return false;
    auto lists = [&](const char* file, bool& opened)
    {
        std::string contents;
        std::string path = mCardListFolder.empty() ? std::string(file) : mCardListFolder + "/" + file;
        opened = platform::ReadFile(path, contents);
        if (!opened) return false;
        std::istringstream lines(contents);
        std::string line;
        while (std::getline(lines, line))
        {
            if (line.size() > 3999) line.resize(3999);
            line = StringTrim(line);
            if (!line.empty() && StrCaseCompare(description, line) >= 0) return true;
        }
        return false;
    };
    bool opened = false;
    if (lists("vhwb.dat", opened)) return false;
    bool listed = lists("vhw.dat", opened);
    if (opened) return listed;
    if (mDriverYear >= 2002) return true;
    return StrCaseCompare(description, "nvidia") >= 0 || StrCaseCompare(description, "radeon") >= 0 ||
           StrCaseCompare(description, "ati ") >= 0;
}

// ---------------------------------------------------------------- the blend tests

bool D3DTester::RunBlendTests()
{
    using namespace platform;
    return BlendTest(kBlendSrcAlpha, kBlendInvSrcAlpha, false, 0xFF0000FF, 0x80FF0000, 0xFFFFFFFF, 0x7F007F,
                     "Alpha blend Not Supported", "Alpha blend test not uniform.") &&
           BlendTest(kBlendOne, kBlendOne, false, 0xFF404040, 0xFF404040, 0xFFFFFFFF, 0x808080,
                     "Additive blend not supported.", "Additive blend test not uniform.") &&
           BlendTest(kBlendSrcAlpha, kBlendOne, false, 0xFF404040, 0x80808080, 0xFFFFFFFF, 0x808080,
                     "AlphaAdd blend not supported.", "AlphaAdd blend test not uniform.") &&
           BlendTest(kBlendSrcAlpha, kBlendInvSrcAlpha, true, 0xFF0000FF, 0xFFFF0000, 0x80FFFFFF, 0x7F007F,
                     "AlphaModulated blend not supported.", "AlphaModulated blend test not uniform.") &&
           ClipTest();
}

namespace
{

const char* BlendName(uint32_t factor)
{
    switch (factor)
    {
    case platform::kBlendOne:
        return "D3DBLEND_ONE";
    case platform::kBlendSrcAlpha:
        return "D3DBLEND_SRCALPHA";
    case platform::kBlendInvSrcAlpha:
        return "D3DBLEND_INVSRCALPHA";
    default:
        return "D3DBLEND_ZERO";
    }
}

} // namespace

bool D3DTester::DrawTest(uint32_t srcBlend, uint32_t destBlend, bool modulateAlpha,
                         const std::function<void()>& draw)
{
    bool sceneOpen = false;
    try
    {
        CheckDX(mDevice->BeginScene(), "BeginScene");
        sceneOpen = true;
        CheckDX(mDevice->Clear(0xFF000000), "Clear");
        CheckDX(mDevice->SetRenderState(RenderState::AlphaBlendEnable, 1),
                "D3DRENDERSTATE_ALPHABLENDENABLE, TRUE");
        CheckDX(mDevice->SetRenderState(RenderState::SrcBlend, srcBlend),
                std::string("D3DRENDERSTATE_SRCBLEND, ") + BlendName(srcBlend));
        CheckDX(mDevice->SetRenderState(RenderState::DestBlend, destBlend),
                std::string("D3DRENDERSTATE_DESTBLEND, ") + BlendName(destBlend));
        CheckDX(mDevice->SetRenderState(RenderState::CullMode, platform::kCullNone),
                "D3DRENDERSTATE_CULLMODE, D3DCULL_NONE");
        if (modulateAlpha)
            CheckDX(mDevice->SetTextureStageState(StageState::AlphaOp, platform::kOpModulate),
                    "D3DTSS_ALPHAOP, D3DTOP_MODULATE");
        draw();
        sceneOpen = false;
        CheckDX(mDevice->EndScene(), "EndScene");
        CopyPrimary();
        return true;
    }
    catch (const TestException& e)
    {
        if (sceneOpen) mDevice->EndScene();
        return Fail(e.mMessage);
    }
}

bool D3DTester::BlendTest(uint32_t srcBlend, uint32_t destBlend, bool modulateAlpha, uint32_t first,
                          uint32_t second, uint32_t secondDiffuse, uint32_t expected, const char* wrongText,
                          const char* unevenText)
{
    bool drawn = DrawTest(srcBlend, destBlend, modulateAlpha,
                          [&]
                          {
                              D3DTestImage image;
                              image.Create(64, 64);
                              image.FillRect(0, 0, 64, 64, first);
                              DrawTestImage(image, 0, 0, 0xFFFFFFFF);
                              image.FillRect(0, 0, 64, 64, second);
                              DrawTestImage(image, 0, 0, secondDiffuse);
                          });
    if (!drawn) return false;
    uint32_t firstPixel = mReadBack.GetPixel(0, 0);
    bool even = true;
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 10; ++x)
        {
            uint32_t p = mReadBack.GetPixel(x, y);
            if (ColorDistance(p, expected) > 768) return Fail(wrongText);
            if (p != firstPixel) even = false;
        }
    if (!even) Warn(unevenText);
    return true;
}

bool D3DTester::ClipTest()
{
    bool drawn = DrawTest(platform::kBlendSrcAlpha, platform::kBlendInvSrcAlpha, false,
                          [&]
                          {
                              D3DTestImage image;
                              image.Create(64, 64);
                              for (int x = 0; x < 64; ++x)
                                  image.FillRect(x, 0, 1, 64, (x & 1) ? 0xFFFFFFFF : 0xFF000000);
                              DrawTestImage(image, -2, -2, 0xFFFFFFFF);
                          });
    if (!drawn) return false;
    for (int y = 0; y < 62; ++y)
        for (int x = 0; x < 62; ++x)
        {
            uint32_t expected = (x & 1) ? 0xFFFFFF : 0;
            if (ColorDistance(mReadBack.GetPixel(x, y), expected) > 768)
            {
                Warn("Clip problem detected.");
                return true;
            }
        }
    return true;
}

void D3DTester::DrawTestImage(const D3DTestImage& image, int x, int y, uint32_t diffuse)
{
    std::shared_ptr<platform::DisplaySurface> texture = mTexture1;
    for (int ty = 0; ty < image.mHeight; ty += 64)
        for (int tx = 0; tx < image.mWidth; tx += 64)
        {
            int w = std::min(64, image.mWidth - tx), h = std::min(64, image.mHeight - ty);
            platform::SurfaceLock lock;
            CheckDX(texture->Lock(lock, platform::kLockWait | platform::kLockWriteOnly), "Lock Texture");
            if (w < 64 || h < 64)
                for (int row = 0; row < 64; ++row)
                    std::memset(lock.bits + size_t(row) * size_t(lock.pitch), 0,
                                size_t(64 * lock.format.BytesPerPixel()));
            for (int row = 0; row < h; ++row)
            {
                const uint32_t* in =
                    image.mBits.data() + size_t(ty + row) * size_t(image.mWidth) + size_t(tx);
                uint8_t* out = lock.bits + size_t(row) * size_t(lock.pitch);
                for (int col = 0; col < w; ++col)
                {
                    uint32_t c = in[col];
                    if (sA8R8G8B8Usable)
                    {
                        std::memcpy(out + size_t(col) * 4, &c, 4);
                    }
                    else
                    {
                        uint16_t v = uint16_t(((c >> 16) & 0xF000) | ((c >> 12) & 0xF00) | ((c >> 8) & 0xF0) |
                                              ((c >> 4) & 0xF));
                        std::memcpy(out + size_t(col) * 2, &v, 2);
                    }
                }
            }
            CheckDX(texture->Unlock(), "Texture Unlock");
            CheckDX(mDevice->SetTexture(texture), "SetTexture theTexture");
            float left = float(x + tx) - 0.5f, top = float(y + ty) - 0.5f;
            platform::Vertex3D quad[4];
            const float corners[4][4] = {{left, top, 0, 0},
                                         {left + 64, top, 1, 0},
                                         {left, top + 64, 0, 1},
                                         {left + 64, top + 64, 1, 1}};
            for (int i = 0; i < 4; ++i)
            {
                quad[i].x = corners[i][0];
                quad[i].y = corners[i][1];
                quad[i].u = corners[i][2];
                quad[i].v = corners[i][3];
                quad[i].diffuse = diffuse;
            }
            CheckDX(mDevice->DrawPrimitive(platform::Primitive::TriangleStrip, quad, 4), "DrawPrimitive");
            CheckDX(mDevice->SetTexture(nullptr), "SetTexture NULL");
            texture = texture == mTexture1 ? mTexture2 : mTexture1;
        }
}

void D3DTester::CopyPrimary()
{
    platform::SurfaceLock lock;
    CheckDX(mTestSurface->Lock(lock, platform::kLockWait), "CopyPrimary Lock");
    int bits = lock.format.bitCount;
    if (bits == 32)
        ConvertSurface32ToARGB(mReadBack.mBits.data(), mReadBack.mWidth, mReadBack.mHeight, lock.bits,
                               lock.pitch, lock.format.redMask, lock.format.greenMask, lock.format.blueMask);
    else if (bits == 16)
        ConvertSurface16ToARGB(mReadBack.mBits.data(), mReadBack.mWidth, mReadBack.mHeight, lock.bits,
                               lock.pitch, lock.format.redMask, lock.format.greenMask, lock.format.blueMask);
    mTestSurface->Unlock();
    if (bits == 24) throw TestException("Can't test 24-bit mode.");
    if (bits != 32 && bits != 16) throw TestException("Invalid Color Depth");
}

} // namespace Kavo
