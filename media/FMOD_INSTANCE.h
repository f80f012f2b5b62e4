#pragma once

#include "platform/music/FModModule.h"
#include "platform/system/Library.h"

#include <string>

namespace Kavo
{

// The entry points of "fmod.dll", shared by the sound manager (".mp3" effects) and the FMOD music
// interface, and counted: AcquireFModInstance gives the table (loading the module on first
// use), ReleaseFModInstance gives it back and the last release frees it. When the module or an
// entry is missing the table says so in a message box as it is made, and IsLoaded() is false:
// the callers then go on without it.
class FMOD_INSTANCE
{
public:
    explicit FMOD_INSTANCE(platform::LibraryHandle module);
    virtual ~FMOD_INSTANCE();
    FMOD_INSTANCE(const FMOD_INSTANCE&) = delete;
    FMOD_INSTANCE& operator=(const FMOD_INSTANCE&) = delete;

    bool IsLoaded() const { return mModule != nullptr; }

    platform::LibraryHandle mModule = nullptr;
    int (*FSOUND_SetBufferSize)(int milliseconds) = nullptr;
    int (*FSOUND_SetHWND)(platform::WindowId window) = nullptr;
    int (*FSOUND_Init)(int mixRate, int maxChannels, unsigned flags) = nullptr;
    void (*FSOUND_Close)() = nullptr;
    platform::FSoundSample* (*FSOUND_Sample_Load)(int index, const char* name, unsigned mode,
                                                  int offset) = nullptr;
    platform::FSoundSample* (*FSOUND_Sample_Alloc)(int index, int length, unsigned mode, int frequency,
                                                   int volume, int pan, int priority) = nullptr;
    void (*FSOUND_Sample_Free)(platform::FSoundSample* sample) = nullptr;
    int (*FSOUND_Sample_Lock)(platform::FSoundSample* sample, int offset, int bytes, void** part1,
                              void** part2, unsigned* bytes1, unsigned* bytes2) = nullptr;
    int (*FSOUND_Sample_Unlock)(platform::FSoundSample* sample, void* part1, void* part2, unsigned bytes1,
                                unsigned bytes2) = nullptr;
    int (*FSOUND_Sample_SetLoopPoints)(platform::FSoundSample* sample, int start, int end) = nullptr;
    unsigned (*FSOUND_Sample_GetLength)(platform::FSoundSample* sample) = nullptr;
    int (*FSOUND_Sample_GetDefaults)(platform::FSoundSample* sample, int* frequency, int* volume, int* pan,
                                     int* priority) = nullptr;
    unsigned (*FSOUND_Sample_GetMode)(platform::FSoundSample* sample) = nullptr;
    int (*FSOUND_PlaySound)(int channel, platform::FSoundSample* sample) = nullptr;
    int (*FSOUND_StopSound)(int channel) = nullptr;
    int (*FSOUND_SetVolume)(int channel, int volume) = nullptr;
    int (*FSOUND_SetPaused)(int channel, int paused) = nullptr;
    int (*FSOUND_SetLoopMode)(int channel, unsigned mode) = nullptr;
    int (*FSOUND_IsPlaying)(int channel) = nullptr;
    platform::FSoundStream* (*FSOUND_Stream_OpenFile)(const char* name, unsigned mode, int length) = nullptr;
    int (*FSOUND_Stream_Close)(platform::FSoundStream* stream) = nullptr;
    int (*FSOUND_Stream_Play)(int channel, platform::FSoundStream* stream) = nullptr;
    platform::FMusicModule* (*FMUSIC_LoadSong)(const char* name) = nullptr;
    int (*FMUSIC_PlaySong)(platform::FMusicModule* module) = nullptr;
    int (*FMUSIC_StopSong)(platform::FMusicModule* module) = nullptr;
    int (*FMUSIC_SetLooping)(platform::FMusicModule* module, int looping) = nullptr;
    int (*FMUSIC_SetOrder)(platform::FMusicModule* module, int order) = nullptr;
    int (*FMUSIC_SetPaused)(platform::FMusicModule* module, int paused) = nullptr;
    int (*FMUSIC_SetMasterVolume)(platform::FMusicModule* module, int volume) = nullptr;
    int (*FMUSIC_IsPlaying)(platform::FMusicModule* module) = nullptr;
};

FMOD_INSTANCE* AcquireFModInstance();
void ReleaseFModInstance();

} // namespace Kavo
