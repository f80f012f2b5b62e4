#pragma once

#include "display/D3DTestImage.h"
#include "platform/display/Device3D.h"
#include "platform/display/DisplayTypes.h"
#include "platform/window/Messages.h"

#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <string>

namespace platform
{
class DirectDisplay;
class DisplaySurface;
} // namespace platform

namespace Kavo
{

class DisplayHost;

// The 3D capability test: whether the display may draw the game through the 3D device. It checks
// the video memory, the adapter against two card lists and a driver-age rule, the device and
// its texture formats, then draws five small blending tests into an off-screen render target
// and checks the pixels that come back. Its verdict is a failure reason, a warning, or neither,
// cached in the settings under "Test3D" by test version, memory limits and adapter; a cached
// failure is always tested again. A demo records the verdict and its playback takes it back.
class D3DTester
{
public:
    // Abandons a test: its message becomes the failure reason.
    class TestException : public std::exception
    {
    public:
        explicit TestException(std::string message) : mMessage(std::move(message)) {}
        const char* what() const noexcept override { return mMessage.c_str(); }
        std::string mMessage;
    };

    static constexpr int kVersion = 2;
    // The settings value under "Test3D" (a number; not 0: on) that lets a software rasteriser
    // pass as 3D hardware, to test the 3D road on it. Its verdict is not cached.
    static constexpr const char* kAcceptSoftwareValue = "AcceptSoftwareRenderer";

    explicit D3DTester(DisplayHost* host);
    virtual ~D3DTester();
    D3DTester(const D3DTester&) = delete;
    D3DTester& operator=(const D3DTester&) = delete;

    // Minimum and recommended video memory in megabytes.
    void SetVidMemoryLimits(int minimum, int recommended);
    // The whole test on the window, with the display object given (or one of its own).
    void Run(platform::WindowId window, std::shared_ptr<platform::DirectDisplay> display);

    // Stores the failure reason; false.
    bool Fail(const std::string& text);
    // Stores the warning (a later one replaces it); true.
    bool Warn(const std::string& text);
    // Throws a TestException "DXError - <what>: <result name>" for a failure.
    void CheckDX(platform::DisplayResult result, const std::string& what);

    // --- Parts of Run (public for the tests) ---
    bool Prepare(platform::WindowId window);
    bool ReadCachedResult();
    void WriteResult();
    // Refuses a software rasteriser (SDL's software renderer, a renderer without acceleration,
    // Mesa's llvmpipe, softpipe and swrast) unless the settings accept one; then the card lists
    // and the driver's age.
    bool IsCardSupported(const std::string& description);
    bool IsSoftwareRasterizer(const std::string& description) const;
    bool RunBlendTests();
    // One blend test: source and destination factors, the two draws, the expected colour and
    // the texts for a wrong and an uneven result.
    bool BlendTest(uint32_t srcBlend, uint32_t destBlend, bool modulateAlpha, uint32_t first, uint32_t second,
                   uint32_t secondDiffuse, uint32_t expected, const char* wrongText, const char* unevenText);
    bool ClipTest();
    // One scene of a test: cleared to black, blended by the factors, drawn, read back; false
    // (the failure stored) when a call of the device failed.
    bool DrawTest(uint32_t srcBlend, uint32_t destBlend, bool modulateAlpha,
                  const std::function<void()>& draw);
    void DrawTestImage(const D3DTestImage& image, int x, int y, uint32_t diffuse);
    void CopyPrimary();
    void Release();

    DisplayHost* mHost;
    std::shared_ptr<platform::DirectDisplay> mDD;
    std::shared_ptr<platform::DisplaySurface> mTestSurface;
    std::shared_ptr<platform::DisplaySurface> mTexture1;
    std::shared_ptr<platform::DisplaySurface> mTexture2;
    std::unique_ptr<platform::Device3D> mDevice;
    platform::AdapterIdentity mIdentity;
    D3DTestImage mReadBack;
    std::string mFailureReason;
    std::string mWarning;
    int mMinVidMemory = 6;
    int mRecVidMemory = 14;
    int mDriverYear = 0;
    bool mUseCache = true;
    bool mVerdictChanged = false;
    bool mNewVerdict = false;
    bool mKeyOpen = false;
    bool mAcceptSoftware = false; // the settings' switch, read by Run
    // A card-list folder other than the program's folder (tests).
    std::string mCardListFolder;

    // The test textures are 32-bit (A8R8G8B8) when set, else A4R4G4B4.
    static bool sA8R8G8B8Usable;
};

// The index of the highest set bit of the mask, tested from 31 down to 1; 0 when none is.
int GetHighestBitIndex(uint32_t mask);

} // namespace Kavo
