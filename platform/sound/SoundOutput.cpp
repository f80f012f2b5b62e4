#include "platform/sound/SoundOutput.h"

#include "platform/sound/HeadlessSoundOutput.h"
#include "platform/sound/SoundMixer.h"

#include <SDL.h>

#include <atomic>
#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>

namespace platform
{

namespace
{

struct Output
{
    std::mutex lock;
    int users = 0;
    SDL_AudioDeviceID device = 0;
    std::unique_ptr<HeadlessSoundOutput> headless; // under the "dummy" driver
    std::string noDevice; // why there is no audio device, once that is known: not tried again
};

Output& GetOutput()
{
    static Output output;
    return output;
}

std::atomic<uint32_t> gMasterVolume{65535};

void FillFromMixer(void*, Uint8* stream, int bytes)
{
    SoundMixer::Get().Mix(reinterpret_cast<int16_t*>(stream), bytes / 4);
}

bool OpenDevice(Output& o, std::string& error)
{
    if (HeadlessSoundOutput::Installed()) return true;
    if (!o.noDevice.empty())
    {
        error = o.noDevice;
        return false;
    }
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
    {
        error = SDL_GetError();
        return false;
    }
    const char* driver = SDL_GetCurrentAudioDriver();
    if (driver && std::strcmp(driver, "dummy") == 0)
    {
        o.headless = std::make_unique<HeadlessSoundOutput>();
        return true;
    }
    SDL_AudioSpec want;
    SDL_zero(want);
    want.freq = SoundMixer::kRate;
    want.format = AUDIO_S16SYS;
    want.channels = SoundMixer::kChannels;
    want.samples = 1024;
    want.callback = FillFromMixer;
    SDL_AudioSpec have;
    o.device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (o.device == 0)
    {
        error = SDL_GetError();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    SDL_PauseAudioDevice(o.device, 0);
    return true;
}

void CloseDevice(Output& o)
{
    if (o.device)
    {
        SDL_CloseAudioDevice(o.device);
        o.device = 0;
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
    else if (o.headless)
    {
        o.headless.reset();
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
}

} // namespace

bool SoundOutput::Acquire(std::string& error)
{
    Output& o = GetOutput();
    std::lock_guard<std::mutex> lock(o.lock);
    if (o.users == 0 && !OpenDevice(o, error))
    {
        if (o.noDevice.empty())
        {
            o.noDevice = error;
            std::fprintf(stderr, "No sound device (%s): playing without sound\n", error.c_str());
        }
        error = "No sound device (" + error + ")";
        return false;
    }
    ++o.users;
    return true;
}

void SoundOutput::Release()
{
    Output& o = GetOutput();
    std::lock_guard<std::mutex> lock(o.lock);
    if (o.users == 0) return;
    if (--o.users == 0) CloseDevice(o);
}

bool SoundOutput::IsOpen()
{
    Output& o = GetOutput();
    std::lock_guard<std::mutex> lock(o.lock);
    return o.users > 0;
}

void SoundOutput::Sync()
{
    if (HeadlessSoundOutput* headless = HeadlessSoundOutput::Installed()) headless->CatchUp();
}

uint32_t SoundOutput::MasterVolume()
{
    return gMasterVolume.load();
}

void SoundOutput::SetMasterVolume(uint32_t volume)
{
    gMasterVolume.store(volume > 65535 ? 65535 : volume);
}

} // namespace platform
