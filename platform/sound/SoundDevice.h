#pragma once

#include "platform/window/Messages.h"

#include <cstdint>
#include <memory>

// The sound device in place of DirectSound: static PCM buffers, their duplicates, and the
// cooperative level, playing through the process's mixer (platform/sound/SoundMixer.h) at 44,100 Hz,
// 16-bit stereo. The module "dsound.dll" offers the device by the entry point
// "DirectSoundCreate":
//
//   int32_t DirectSoundCreate(const void* deviceId, platform::SoundDevice** device)
//       deviceId must be null (the default device); *device is owned by the caller (delete it).
//       DSERR_NODRIVER when there is no audio output (the program then plays nothing).
namespace platform
{

class SoundBuffer;

// Results, with the values whose names reach the framework's texts.
constexpr int32_t DS_OK = 0;
constexpr int32_t DSERR_ALLOCATED = int32_t(0x8878000A);
constexpr int32_t DSERR_OUTOFMEMORY = int32_t(0x8007000E);
constexpr int32_t DSERR_INVALIDPARAM = int32_t(0x80070057);
constexpr int32_t DSERR_INVALIDCALL = int32_t(0x88780032);
constexpr int32_t DSERR_UNINITIALIZED = int32_t(0x887800AA);
constexpr int32_t DSERR_NODRIVER = int32_t(0x88780078);

// Cooperative levels.
constexpr int DSSCL_NORMAL = 1;
constexpr int DSSCL_PRIORITY = 2;

// Buffer flags.
constexpr uint32_t DSBCAPS_PRIMARYBUFFER = 0x1;
constexpr uint32_t DSBCAPS_STATIC = 0x2;
constexpr uint32_t DSBCAPS_LOCSOFTWARE = 0x8;
constexpr uint32_t DSBCAPS_CTRLFREQUENCY = 0x20;
constexpr uint32_t DSBCAPS_CTRLPAN = 0x40;
constexpr uint32_t DSBCAPS_CTRLVOLUME = 0x80;
constexpr uint32_t DSBCAPS_GLOBALFOCUS = 0x8000;

// Play flags and status bits.
constexpr uint32_t DSBPLAY_LOOPING = 0x1;
constexpr uint32_t DSBSTATUS_PLAYING = 0x1;
constexpr uint32_t DSBSTATUS_LOOPING = 0x4;

// Volumes are hundredths of a decibel of attenuation, pans hundredths of a decibel taken off the
// other side, frequencies samples per second.
constexpr int32_t DSBVOLUME_MIN = -10000;
constexpr int32_t DSBVOLUME_MAX = 0;
constexpr int32_t DSBPAN_LEFT = -10000;
constexpr int32_t DSBPAN_RIGHT = 10000;
constexpr uint32_t DSBFREQUENCY_MIN = 100;
constexpr uint32_t DSBFREQUENCY_MAX = 200000;
// The largest buffer, in bytes.
constexpr uint32_t DSBSIZE_MAX = 0x0FFFFFFF;

// A PCM format (format tag 1).
struct SoundFormat
{
    uint16_t formatTag = 1;
    uint16_t channels = 2;
    uint32_t samplesPerSecond = 44100;
    uint32_t bytesPerSecond = 176400;
    uint16_t blockAlign = 4;
    uint16_t bitsPerSample = 16;
};

struct SoundBufferDesc
{
    uint32_t flags = 0;
    uint32_t bufferBytes = 0; // 0 for the primary buffer
    SoundFormat format;       // not used for the primary buffer
};

class SoundDevice
{
public:
    // Opens the audio output (shared by every device, and by the music modules); DSERR_NODRIVER
    // when there is none, which is said once on stderr.
    static int32_t Create(std::unique_ptr<SoundDevice>& device);
    ~SoundDevice();
    SoundDevice(const SoundDevice&) = delete;
    SoundDevice& operator=(const SoundDevice&) = delete;

    // DSSCL_NORMAL or DSSCL_PRIORITY for a window; the window only has to exist.
    int32_t SetCooperativeLevel(WindowId window, int level);
    int Level() const { return mLevel; }

    // A static buffer of the description (zeroed), or the primary buffer (DSBCAPS_PRIMARYBUFFER,
    // only at the priority level). DSERR_INVALIDPARAM for a format the mixer cannot play (1 or
    // 2 channels, 8 or 16 bits, DSBFREQUENCY_MIN to DSBFREQUENCY_MAX samples per second, block
    // alignment channels x bits / 8) or a size of 0 or above DSBSIZE_MAX.
    int32_t CreateSoundBuffer(const SoundBufferDesc& desc, std::unique_ptr<SoundBuffer>& buffer);
    // A buffer sharing source's data, with its own position, volume, pan and frequency (those
    // of the source at the time), stopped.
    int32_t DuplicateSoundBuffer(const SoundBuffer& source, std::unique_ptr<SoundBuffer>& buffer);

    // Tests: the next duplication fails with this result (DS_OK: none does).
    static void FailNextDuplicate(int32_t result);

private:
    SoundDevice() = default;

    int mLevel = 0;
};

} // namespace platform
