#pragma once

#include <cstdint>

// The default music module "bass.dll": streams (PCM WAVE, Ogg Vorbis, MP3) and tracker modules
// on channels, playing through the process's mixer. Entry points by name, with their types
// (handles are non-zero; int results are 0 on failure, with the reason from BASS_ErrorGetCode):
//
//   BASS_GetVersion          uint32_t ()                           0x02000000 and above
//   BASS_Init                int (int device, uint32_t freq, uint32_t flags, uint32_t window,
//                                 const void* classId)
//   BASS_Free, BASS_Start, BASS_Stop     int ()
//   BASS_SetConfig           uint32_t (uint32_t option, uint32_t value)   the value before
//   BASS_GetConfig           uint32_t (uint32_t option)
//   BASS_SetVolume           int (uint32_t volume)                  output volume 0 to 100
//   BASS_GetVolume           uint32_t ()
//   BASS_SetGlobalVolumes    int (int music, int sample, int stream)   0 to 100, -1 unchanged
//   BASS_GetInfo             int (BassInfo*)
//   BASS_ErrorGetCode        int ()
//   BASS_StreamCreateFile    uint32_t (int fromMemory, const void* file, uint64_t offset,
//                                      uint64_t length, uint32_t flags)
//   BASS_StreamFree          int (uint32_t stream)
//   BASS_MusicLoad           uint32_t (int fromMemory, const void* file, uint64_t offset,
//                                      uint32_t length, uint32_t flags, uint32_t freq)
//   BASS_MusicFree           int (uint32_t music)
//   BASS_MusicGetAttribute   uint32_t (uint32_t music, uint32_t attribute)   0xFFFFFFFF on failure
//   BASS_MusicSetAttribute   uint32_t (uint32_t music, uint32_t attribute, uint32_t value)
//   BASS_MusicGetOrders      uint32_t (uint32_t music)
//   BASS_MusicGetOrderPosition  uint32_t (uint32_t music)   order in the low, row in the high word
//   BASS_ChannelPlay         int (uint32_t channel, int restart)
//   BASS_ChannelStop, BASS_ChannelPause    int (uint32_t channel)
//   BASS_ChannelIsActive     uint32_t (uint32_t channel)     0 stopped, 1 playing, 3 paused
//   BASS_ChannelSetAttributes   int (uint32_t channel, int freq, int volume, int pan)
//                                   -1, -1 and -101 leave them; volume 0 to 100, pan -100 to 100
//   BASS_ChannelGetAttributes   int (uint32_t channel, uint32_t* freq, uint32_t* volume, int* pan)
//   BASS_ChannelSetPosition  int (uint32_t channel, uint64_t position)
//                                a byte position of a stream; for a module the low 32 bits with
//                                bit 31 set: order in the low word, row in the high (bits 16 to 30)
//   BASS_ChannelGetPosition  uint64_t (uint32_t channel)    bytes of 16-bit output
//   BASS_ChannelGetLength    uint64_t (uint32_t channel)
//   BASS_ChannelSetFlags     int (uint32_t channel, uint32_t flags)
//   BASS_ChannelIsSliding    int (uint32_t channel)
//   BASS_ChannelSlideAttributes, BASS_ChannelGetLevel, BASS_ChannelSetFX, BASS_ChannelRemoveFX,
//   BASS_ChannelGetData, BASS_ChannelPreBuf, BASS_ChannelSetSync, BASS_ChannelRemoveSync,
//   BASS_FXSetParameters, BASS_FXGetParameters, BASS_PluginLoad, BASS_SampleLoad, BASS_SampleFree,
//   BASS_SampleSetInfo, BASS_SampleGetInfo, BASS_SampleGetChannel, BASS_SampleStop:
//                            present, and fail with BASS_ERROR_NOTAVAIL (their types are in
//                            BassModule.cpp)
namespace platform
{

constexpr uint32_t BASS_SAMPLE_LOOP = 0x4;
constexpr uint32_t BASS_MUSIC_RAMP = 0x200;
constexpr uint32_t BASS_MUSIC_POSRESET = 0x8000;
constexpr uint32_t BASS_CONFIG_BUFFER = 0;
constexpr uint32_t BASS_CONFIG_GVOL_SAMPLE = 4;
constexpr uint32_t BASS_CONFIG_GVOL_STREAM = 5;
constexpr uint32_t BASS_CONFIG_GVOL_MUSIC = 6;
constexpr uint32_t BASS_MUSIC_ATTRIB_AMPLIFY = 0;
constexpr uint32_t BASS_ACTIVE_STOPPED = 0;
constexpr uint32_t BASS_ACTIVE_PLAYING = 1;
constexpr uint32_t BASS_ACTIVE_PAUSED = 3;

constexpr int BASS_OK = 0;
constexpr int BASS_ERROR_FILEOPEN = 2;
constexpr int BASS_ERROR_HANDLE = 5;
constexpr int BASS_ERROR_POSITION = 7;
constexpr int BASS_ERROR_INIT = 8;
constexpr int BASS_ERROR_ALREADY = 14;
constexpr int BASS_ERROR_ILLPARAM = 20;
constexpr int BASS_ERROR_DEVICE = 23;
constexpr int BASS_ERROR_NOTAVAIL = 37;
constexpr int BASS_ERROR_FILEFORM = 41;

struct BassInfo
{
    uint32_t flags = 0;
    uint32_t minRate = 44100;
    uint32_t maxRate = 44100;
    uint32_t latency = 0;
};

} // namespace platform
