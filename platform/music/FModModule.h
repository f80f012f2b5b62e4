#pragma once

#include "platform/window/Messages.h"

#include <cstdint>

// The alternative music module "fmod.dll": samples, channels, streams and tracker modules,
// playing through the process's mixer. Its entry points, by their decorated names, with their
// types (volumes 0 to 255 for channels and 0 to 256 for modules, pans 0 left, 128 centre, 255
// right; lengths and loop points in frames; 0 is failure for the int results):
//
//   "_FSOUND_SetBufferSize@4"         int (int milliseconds)
//   "_FSOUND_SetHWND@4"               int (WindowId window)
//   "_FSOUND_Init@12"                 int (int mixRate, int maxChannels, unsigned flags)
//   "_FSOUND_Close@0"                 void ()
//   "_FSOUND_Sample_Load@16"          FSoundSample* (int index, const char* name, unsigned mode, int offset)
//   "_FSOUND_Sample_Alloc@28"         FSoundSample* (int index, int length, unsigned mode, int frequency,
//                                                    int volume, int pan, int priority)
//   "_FSOUND_Sample_Free@4"           void (FSoundSample*)
//   "_FSOUND_Sample_Lock@28"          int (FSoundSample*, int offset, int bytes, void** part1, void** part2,
//                                          unsigned* bytes1, unsigned* bytes2)
//   "_FSOUND_Sample_Unlock@20"        int (FSoundSample*, void* part1, void* part2, unsigned bytes1,
//                                          unsigned bytes2)
//   "_FSOUND_Sample_SetLoopPoints@12" int (FSoundSample*, int start, int end)   end is the last frame
//   "_FSOUND_Sample_GetLength@4"      unsigned (FSoundSample*)
//   "_FSOUND_Sample_GetDefaults@20"   int (FSoundSample*, int* frequency, int* volume, int* pan,
//                                          int* priority)
//   "_FSOUND_Sample_GetMode@4"        unsigned (FSoundSample*)
//   "_FSOUND_PlaySound@8"             int (int channel, FSoundSample*)   the channel, or -1
//   "_FSOUND_StopSound@4"             int (int channel)
//   "_FSOUND_SetVolume@8"             int (int channel, int volume)
//   "_FSOUND_SetPaused@8"             int (int channel, int paused)
//   "_FSOUND_SetLoopMode@8"           int (int channel, unsigned mode)
//   "_FSOUND_IsPlaying@4"             int (int channel)
//   "_FSOUND_Stream_OpenFile@12"      FSoundStream* (const char* name, unsigned mode, int length)
//   "_FSOUND_Stream_Close@4"          int (FSoundStream*)
//   "_FSOUND_Stream_Play@8"           int (int channel, FSoundStream*)   the channel, or -1
//   "_FMUSIC_LoadSong@4"              FMusicModule* (const char* name)
//   "_FMUSIC_PlaySong@4"              int (FMusicModule*)
//   "_FMUSIC_StopSong@4"              int (FMusicModule*)
//   "_FMUSIC_SetLooping@8"            int (FMusicModule*, int looping)
//   "_FMUSIC_SetOrder@8"              int (FMusicModule*, int order)
//   "_FMUSIC_SetPaused@8"             int (FMusicModule*, int paused)
//   "_FMUSIC_SetMasterVolume@8"       int (FMusicModule*, int volume)
//   "_FMUSIC_IsPlaying@4"             int (FMusicModule*)
//
// Files are read from the disk (names found without regard to case): samples and streams from
// PCM WAVE, Ogg Vorbis or MP3 files, songs from tracker modules. Samples hold 16-bit PCM.
namespace platform
{

struct FSoundSample;
struct FSoundStream;
struct FMusicModule;

constexpr int FSOUND_FREE = -1;
constexpr unsigned FSOUND_LOOP_OFF = 0x1;
constexpr unsigned FSOUND_LOOP_NORMAL = 0x2;
constexpr unsigned FSOUND_8BITS = 0x8;
constexpr unsigned FSOUND_16BITS = 0x10;
constexpr unsigned FSOUND_MONO = 0x20;
constexpr unsigned FSOUND_STEREO = 0x40;

} // namespace platform
