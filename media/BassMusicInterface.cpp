#include "media/BassMusicInterface.h"

#include "base/PakFile.h"
#include "media/BASS_INSTANCE.h"
#include "platform/files/AsciiCase.h"
#include "platform/sound/SoundOutput.h"

#include <algorithm>

namespace Kavo
{

BassMusicInterface::BassMusicInterface(platform::WindowId window) : mBass(AcquireBassInstance())
{
    const bool version2 = mBass->mVersion2;
    mMusicLoadFlags =
        version2 ? platform::BASS_SAMPLE_LOOP | platform::BASS_MUSIC_RAMP : platform::BASS_SAMPLE_LOOP;
    if (!mBass->IsLoaded()) return;
    // Starting the library must leave the system's master volume as it was.
    const uint32_t masterVolume = platform::SoundOutput::MasterVolume();
    if (version2)
    {
        mBass->BASS_Init2(1, 44100, 0, window, nullptr);
        mBass->BASS_SetConfig(platform::BASS_CONFIG_BUFFER, 2000);
    }
    else
        mBass->BASS_Init(-1, 44100, 0, window);
    platform::SoundOutput::SetMasterVolume(masterVolume);
    mBass->BASS_Start();
}

BassMusicInterface::~BassMusicInterface()
{
    if (mBass->IsLoaded())
    {
        mBass->BASS_Stop();
        mBass->BASS_Free();
    }
    ReleaseBassInstance();
}

bool BassMusicInterface::IsLoaded() const
{
    return mBass->IsLoaded();
}

BassMusicInfo* BassMusicInterface::Find(int songId)
{
    auto it = mMusicMap.find(songId);
    return it == mMusicMap.end() ? nullptr : &it->second;
}

const BassMusicInfo* BassMusicInterface::GetSong(int songId) const
{
    auto it = mMusicMap.find(songId);
    return it == mMusicMap.end() ? nullptr : &it->second;
}

void BassMusicInterface::FreeHandles(const BassMusicInfo& song)
{
    if (song.mHStream)
        mBass->BASS_StreamFree(song.mHStream);
    else if (song.mHMusic)
        mBass->BASS_MusicFree(song.mHMusic);
}

bool BassMusicInterface::LoadMusic(int songId, const std::string& fileName)
{
    if (!mBass->IsLoaded()) return false;
    const size_t dot = fileName.rfind('.');
    const std::string extension =
        dot == std::string::npos ? std::string() : platform::AsciiLowerCopy(fileName.substr(dot + 1));
    BassMusicInfo song;
    if (extension == "wav" || extension == "ogg" || extension == "mp3")
    {
        song.mHStream = mBass->BASS_StreamCreateFile(0, fileName.c_str(), 0, 0, 0);
        if (!song.mHStream) return false;
    }
    else
    {
        PakFileHandle* file = PakFOpen(fileName.c_str(), "rb");
        if (!file) return false;
        PakFClose(file);
        song.mHMusic = mBass->mVersion2
                           ? mBass->BASS_MusicLoad2(0, fileName.c_str(), 0, 0, mMusicLoadFlags, 0)
                           : mBass->BASS_MusicLoad(0, fileName.c_str(), 0, 0, mMusicLoadFlags);
        if (!song.mHMusic) return false;
    }
    // An id already loaded keeps its song; the new handle is not needed.
    if (!mMusicMap.emplace(songId, song).second) FreeHandles(song);
    return true;
}

void BassMusicInterface::ApplyVolume(const BassMusicInfo& song)
{
    mBass->BASS_ChannelSetAttributes(song.GetHandle(), -1, int(song.mVolume * 100), -101);
}

void BassMusicInterface::PlayModule(const BassMusicInfo& song, int offset, uint32_t flags)
{
    mBass->BASS_ChannelStop(song.GetHandle());
    // An order position, row 0, widened with its sign.
    const int32_t position = int32_t(uint32_t(offset & 0xFFFF) | 0x80000000u);
    mBass->BASS_ChannelSetPosition(song.GetHandle(), uint64_t(int64_t(position)));
    mBass->BASS_ChannelSetFlags(song.GetHandle(), flags);
    mBass->BASS_ChannelPlay(song.GetHandle(), 0);
}

void BassMusicInterface::PlayStream(const BassMusicInfo& song, int offset, bool noLoop)
{
    mBass->BASS_ChannelSetFlags(song.GetHandle(), noLoop ? 0 : platform::BASS_SAMPLE_LOOP);
    mBass->BASS_ChannelPlay(song.GetHandle(), offset != -1);
    if (offset > 0) mBass->BASS_ChannelSetPosition(song.GetHandle(), uint64_t(offset));
}

void BassMusicInterface::PlayMusic(int songId, int offset, bool noLoop)
{
    BassMusicInfo* song = Find(songId);
    if (!song) return;
    song->mVolume = song->mVolumeCap;
    song->mVolumeAdd = 0.0;
    song->mStopOnFade = noLoop;
    ApplyVolume(*song);
    mBass->BASS_ChannelStop(song->GetHandle());
    if (song->mHMusic)
    {
        uint32_t flags = noLoop ? 0 : platform::BASS_SAMPLE_LOOP;
        if (mBass->mVersion2) flags |= platform::BASS_MUSIC_POSRESET | platform::BASS_MUSIC_RAMP;
        PlayModule(*song, offset, flags);
    }
    else
        PlayStream(*song, offset, noLoop);
}

void BassMusicInterface::FadeIn(int songId, int offset, double speed, bool noLoop)
{
    BassMusicInfo* song = Find(songId);
    if (!song) return;
    song->mVolumeAdd = speed;
    song->mStopOnFade = noLoop;
    mBass->BASS_ChannelStop(song->GetHandle());
    ApplyVolume(*song);
    if (song->mHMusic)
    {
        if (offset == -1)
            mBass->BASS_ChannelPlay(song->GetHandle(), 1);
        else
        {
            uint32_t flags = noLoop ? 0 : platform::BASS_SAMPLE_LOOP;
            if (mBass->mVersion2) flags |= platform::BASS_MUSIC_RAMP;
            PlayModule(*song, offset, flags);
        }
    }
    else
        PlayStream(*song, offset, noLoop);
}

void BassMusicInterface::FadeOut(int songId, bool stopSong, double speed)
{
    BassMusicInfo* song = Find(songId);
    if (!song || song->mVolume == 0.0) return;
    song->mVolumeAdd = -speed;
    song->mStopOnFade = stopSong;
}

void BassMusicInterface::FadeOutAll(bool stopSong, double speed)
{
    for (auto& [id, song] : mMusicMap)
    {
        song.mVolumeAdd = -speed;
        song.mStopOnFade = stopSong;
    }
}

void BassMusicInterface::Update()
{
    for (auto& [id, song] : mMusicMap)
    {
        if (song.mVolumeAdd == 0.0) continue;
        if (song.StepFade()) mBass->BASS_ChannelStop(song.GetHandle());
        ApplyVolume(song);
    }
}

void BassMusicInterface::StopMusic(int songId)
{
    BassMusicInfo* song = Find(songId);
    if (!song) return;
    song->mVolume = 0.0;
    mBass->BASS_ChannelStop(song->GetHandle());
}

void BassMusicInterface::StopAllMusic()
{
    for (auto& [id, song] : mMusicMap)
    {
        song.mVolume = 0.0;
        mBass->BASS_ChannelStop(song.GetHandle());
    }
}

void BassMusicInterface::PauseMusic(int songId)
{
    if (BassMusicInfo* song = Find(songId)) mBass->BASS_ChannelPause(song->GetHandle());
}

void BassMusicInterface::ResumeMusic(int songId)
{
    if (BassMusicInfo* song = Find(songId)) mBass->BASS_ChannelPlay(song->GetHandle(), 0);
}

void BassMusicInterface::PauseAllMusic()
{
    for (auto& [id, song] : mMusicMap)
        if (mBass->BASS_ChannelIsActive(song.GetHandle()) == platform::BASS_ACTIVE_PLAYING)
            mBass->BASS_ChannelPause(song.GetHandle());
}

void BassMusicInterface::ResumeAllMusic()
{
    for (auto& [id, song] : mMusicMap)
        if (mBass->BASS_ChannelIsActive(song.GetHandle()) == platform::BASS_ACTIVE_PAUSED)
            mBass->BASS_ChannelPlay(song.GetHandle(), 0);
}

void BassMusicInterface::UnloadMusic(int songId)
{
    BassMusicInfo* song = Find(songId);
    if (!song) return;
    StopMusic(songId);
    FreeHandles(*song);
    mMusicMap.erase(songId);
}

void BassMusicInterface::UnloadAllMusic()
{
    StopAllMusic();
    for (auto& [id, song] : mMusicMap)
        FreeHandles(song);
    mMusicMap.clear();
}

void BassMusicInterface::SetSongVolume(int songId, double volume)
{
    BassMusicInfo* song = Find(songId);
    if (!song) return;
    song->mVolume = volume;
    ApplyVolume(*song);
}

void BassMusicInterface::SetSongMaxVolume(int songId, double volume)
{
    BassMusicInfo* song = Find(songId);
    if (!song) return;
    song->mVolumeCap = volume;
    song->mVolume = std::min(song->mVolume, volume);
    ApplyVolume(*song);
}

bool BassMusicInterface::IsPlaying(int songId)
{
    BassMusicInfo* song = Find(songId);
    return song && mBass->BASS_ChannelIsActive(song->GetHandle()) == platform::BASS_ACTIVE_PLAYING;
}

void BassMusicInterface::SetVolume(double volume)
{
    if (!mBass->IsLoaded()) return;
    if (mBass->mVersion2)
    {
        mBass->BASS_SetConfig(platform::BASS_CONFIG_GVOL_MUSIC, uint32_t(volume * 100));
        mBass->BASS_SetConfig(platform::BASS_CONFIG_GVOL_STREAM, uint32_t(volume * 100));
    }
    else if (mBass->BASS_SetGlobalVolumes)
    {
        const int v = int(volume * mMaxMusicVolume);
        mBass->BASS_SetGlobalVolumes(v, v, v);
    }
}

void BassMusicInterface::SetMusicAmplify(int songId, double amplification)
{
    if (BassMusicInfo* song = Find(songId))
        mBass->BASS_MusicSetAttribute(song->GetHandle(), platform::BASS_MUSIC_ATTRIB_AMPLIFY,
                                      uint32_t(amplification * 100));
}

} // namespace Kavo
