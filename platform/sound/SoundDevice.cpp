#include "platform/sound/SoundDevice.h"

#include "platform/sound/SoundBuffer.h"
#include "platform/sound/SoundOutput.h"

#include <atomic>
#include <new>
#include <string>

namespace platform
{

namespace
{

std::atomic<int32_t> gFailNextDuplicate{DS_OK};

bool PlayableFormat(const SoundFormat& f)
{
    return f.formatTag == 1 && (f.channels == 1 || f.channels == 2) &&
           (f.bitsPerSample == 8 || f.bitsPerSample == 16) && f.samplesPerSecond >= DSBFREQUENCY_MIN &&
           f.samplesPerSecond <= DSBFREQUENCY_MAX && f.blockAlign == f.channels * f.bitsPerSample / 8;
}

} // namespace

int32_t SoundDevice::Create(std::unique_ptr<SoundDevice>& device)
{
    device.reset();
    std::string error;
    if (!SoundOutput::Acquire(error)) return DSERR_NODRIVER;
    device.reset(new SoundDevice());
    return DS_OK;
}

SoundDevice::~SoundDevice()
{
    SoundOutput::Release();
}

int32_t SoundDevice::SetCooperativeLevel(WindowId window, int level)
{
    if (window == kNoWindow || (level != DSSCL_NORMAL && level != DSSCL_PRIORITY)) return DSERR_INVALIDPARAM;
    mLevel = level;
    return DS_OK;
}

int32_t SoundDevice::CreateSoundBuffer(const SoundBufferDesc& desc, std::unique_ptr<SoundBuffer>& buffer)
{
    buffer.reset();
    if (mLevel == 0) return DSERR_UNINITIALIZED;
    if (desc.flags & DSBCAPS_PRIMARYBUFFER)
    {
        if (desc.bufferBytes != 0) return DSERR_INVALIDPARAM;
        buffer.reset(new SoundBuffer());
        buffer->mPrimary = true;
        return DS_OK;
    }
    if (!PlayableFormat(desc.format) || desc.bufferBytes < 4 || desc.bufferBytes > DSBSIZE_MAX)
        return DSERR_INVALIDPARAM;
    try
    {
        auto data = std::make_shared<SoundBuffer::Data>();
        data->format = desc.format;
        data->format.bytesPerSecond = desc.format.blockAlign * desc.format.samplesPerSecond;
        data->bytes.assign(desc.bufferBytes, desc.format.bitsPerSample == 8 ? 0x80 : 0);
        buffer.reset(new SoundBuffer());
        buffer->mData = std::move(data);
    }
    catch (const std::bad_alloc&)
    {
        buffer.reset();
        return DSERR_OUTOFMEMORY;
    }
    return DS_OK;
}

int32_t SoundDevice::DuplicateSoundBuffer(const SoundBuffer& source, std::unique_ptr<SoundBuffer>& buffer)
{
    buffer.reset();
    if (int32_t failure = gFailNextDuplicate.exchange(DS_OK); failure != DS_OK) return failure;
    if (source.mPrimary || !source.mData) return DSERR_INVALIDCALL;
    buffer.reset(new SoundBuffer());
    buffer->mData = source.mData;
    buffer->mVolume = source.mVolume;
    buffer->mPan = source.mPan;
    buffer->mFrequency = source.mFrequency;
    buffer->UpdateGains();
    return DS_OK;
}

void SoundDevice::FailNextDuplicate(int32_t result)
{
    gFailNextDuplicate.store(result);
}

} // namespace platform

#include "platform/system/LibraryModules.h"

namespace platform
{

namespace
{

int32_t DirectSoundCreate(const void* deviceId, SoundDevice** device)
{
    if (!device || deviceId) return DSERR_INVALIDPARAM;
    std::unique_ptr<SoundDevice> made;
    int32_t result = SoundDevice::Create(made);
    *device = made.release();
    return result;
}

} // namespace

const LibraryEntry* SoundDeviceEntries()
{
    static const LibraryEntry entries[] = {
        {"DirectSoundCreate", reinterpret_cast<EntryPoint>(&DirectSoundCreate)}, {nullptr, nullptr}};
    return entries;
}

} // namespace platform
