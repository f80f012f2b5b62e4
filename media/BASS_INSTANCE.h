#pragma once

#include "platform/music/BassModule.h"
#include "platform/system/Library.h"

#include <cstdint>

namespace Kavo
{

// The entry points of "bass.dll", shared by the process and counted: AcquireBassInstance gives
// the table (loading the module on first use), ReleaseBassInstance gives it back and the last
// release frees it. A missing module or required entry is said in a message box as the table is
// made, and IsLoaded() is false: the music interface then plays nothing. Version 2 (the module
// has BASS_SetConfig) calls BASS_Init and BASS_MusicLoad in their newer forms.
class BASS_INSTANCE
{
public:
    explicit BASS_INSTANCE(platform::LibraryHandle module);
    virtual ~BASS_INSTANCE();
    BASS_INSTANCE(const BASS_INSTANCE&) = delete;
    BASS_INSTANCE& operator=(const BASS_INSTANCE&) = delete;

    bool IsLoaded() const { return mModule != nullptr; }

    platform::LibraryHandle mModule = nullptr;
    bool mVersion2 = false;
    uint32_t (*BASS_GetVersion)() = nullptr;
    int (*BASS_Init)(int device, uint32_t freq, uint32_t flags, uint32_t window) = nullptr;
    int (*BASS_Init2)(int device, uint32_t freq, uint32_t flags, uint32_t window,
                      const void* classId) = nullptr;
    int (*BASS_Free)() = nullptr;
    int (*BASS_Stop)() = nullptr;
    int (*BASS_Start)() = nullptr;
    int (*BASS_SetGlobalVolumes)(int music, int sample, int stream) = nullptr;
    int (*BASS_SetVolume)(uint32_t volume) = nullptr;
    uint32_t (*BASS_GetVolume)() = nullptr;
    int (*BASS_GetInfo)(platform::BassInfo* info) = nullptr;
    uint32_t (*BASS_SetConfig)(uint32_t option, uint32_t value) = nullptr;
    uint32_t (*BASS_GetConfig)(uint32_t option) = nullptr;
    int (*BASS_ChannelStop)(uint32_t channel) = nullptr;
    int (*BASS_ChannelPlay)(uint32_t channel, int restart) = nullptr;
    int (*BASS_ChannelPause)(uint32_t channel) = nullptr;
    int (*BASS_ChannelSetAttributes)(uint32_t channel, int freq, int volume, int pan) = nullptr;
    int (*BASS_ChannelGetAttributes)(uint32_t channel, uint32_t* freq, uint32_t* volume, int* pan) = nullptr;
    int (*BASS_ChannelSetPosition)(uint32_t channel, uint64_t position) = nullptr;
    uint64_t (*BASS_ChannelGetPosition)(uint32_t channel) = nullptr;
    int (*BASS_ChannelSetFlags)(uint32_t channel, uint32_t flags) = nullptr;
    uint32_t (*BASS_ChannelIsActive)(uint32_t channel) = nullptr;
    int (*BASS_ChannelSlideAttributes)(uint32_t channel, int freq, int volume, int pan,
                                       uint32_t time) = nullptr;
    int (*BASS_ChannelIsSliding)(uint32_t channel) = nullptr;
    uint32_t (*BASS_ChannelGetLevel)(uint32_t channel) = nullptr;
    uint32_t (*BASS_ChannelSetFX)(uint32_t channel, uint32_t type) = nullptr;
    int (*BASS_ChannelRemoveFX)(uint32_t channel, uint32_t fx) = nullptr;
    uint64_t (*BASS_ChannelGetLength)(uint32_t channel) = nullptr;
    uint32_t (*BASS_ChannelGetData)(uint32_t channel, void* buffer, uint32_t length) = nullptr;
    int (*BASS_ChannelPreBuf)(uint32_t channel) = nullptr;
    uint32_t (*BASS_ChannelSetSync)(uint32_t channel, uint32_t type, uint64_t param, void* proc,
                                    void* user) = nullptr;
    int (*BASS_ChannelRemoveSync)(uint32_t channel, uint32_t sync) = nullptr;
    uint32_t (*BASS_MusicLoad)(int fromMemory, const void* file, uint32_t offset, uint32_t length,
                               uint32_t flags) = nullptr;
    uint32_t (*BASS_MusicLoad2)(int fromMemory, const void* file, uint64_t offset, uint32_t length,
                                uint32_t flags, uint32_t freq) = nullptr;
    int (*BASS_MusicFree)(uint32_t music) = nullptr;
    uint32_t (*BASS_StreamCreateFile)(int fromMemory, const void* file, uint64_t offset, uint64_t length,
                                      uint32_t flags) = nullptr;
    int (*BASS_StreamFree)(uint32_t stream) = nullptr;
    int (*BASS_FXSetParameters)(uint32_t fx, const void* parameters) = nullptr;
    int (*BASS_FXGetParameters)(uint32_t fx, void* parameters) = nullptr;
    uint32_t (*BASS_MusicGetAttribute)(uint32_t music, uint32_t attribute) = nullptr;
    uint32_t (*BASS_MusicSetAttribute)(uint32_t music, uint32_t attribute, uint32_t value) = nullptr;
    uint32_t (*BASS_MusicGetOrders)(uint32_t music) = nullptr;
    uint32_t (*BASS_MusicGetOrderPosition)(uint32_t music) = nullptr;
    uint32_t (*BASS_PluginLoad)(const char* file) = nullptr;
    uint32_t (*BASS_SampleLoad)(int fromMemory, const void* file, uint64_t offset, uint32_t length,
                                uint32_t max, uint32_t flags) = nullptr;
    int (*BASS_SampleFree)(uint32_t sample) = nullptr;
    int (*BASS_SampleSetInfo)(uint32_t sample, const void* info) = nullptr;
    int (*BASS_SampleGetInfo)(uint32_t sample, void* info) = nullptr;
    uint32_t (*BASS_SampleGetChannel)(uint32_t sample, int onlyNew) = nullptr;
    int (*BASS_SampleStop)(uint32_t sample) = nullptr;
    int (*BASS_ErrorGetCode)() = nullptr;
};

BASS_INSTANCE* AcquireBassInstance();
void ReleaseBassInstance();

} // namespace Kavo
