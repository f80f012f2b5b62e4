#pragma once

#include "media/MusicFade.h"
#include "media/MusicInterface.h"
#include "platform/window/Messages.h"

#include <cstdint>
#include <map>

namespace Kavo
{

class BASS_INSTANCE;

// A song of the default back-end: a tracker module or a stream on its channel, with its fade.
struct BassMusicInfo : MusicFade
{
    uint32_t mHMusic = 0;  // 0 for a stream
    uint32_t mHStream = 0; // 0 for a module

    uint32_t GetHandle() const { return mHMusic ? mHMusic : mHStream; }
};

// Music through "bass.dll": ".wav", ".ogg" and ".mp3" files play as streams, any other file as
// a tracker module. When the module cannot be loaded the interface plays nothing.
class BassMusicInterface : public MusicInterface
{
public:
    explicit BassMusicInterface(platform::WindowId window);
    ~BassMusicInterface() override;
    BassMusicInterface(const BassMusicInterface&) = delete;
    BassMusicInterface& operator=(const BassMusicInterface&) = delete;

    // Whether "bass.dll" and all its needed entries were found.
    bool IsLoaded() const;

    bool LoadMusic(int songId, const std::string& fileName) override;
    void PlayMusic(int songId, int offset = 0, bool noLoop = false) override;
    void StopMusic(int songId) override;
    void PauseMusic(int songId) override;
    void ResumeMusic(int songId) override;
    void StopAllMusic() override;
    void UnloadMusic(int songId) override;
    void UnloadAllMusic() override;
    void PauseAllMusic() override;
    void ResumeAllMusic() override;
    void FadeIn(int songId, int offset = -1, double speed = 0.002, bool noLoop = false) override;
    void FadeOut(int songId, bool stopSong = true, double speed = 0.004) override;
    void FadeOutAll(bool stopSong = true, double speed = 0.004) override;
    void SetSongVolume(int songId, double volume) override;
    void SetSongMaxVolume(int songId, double volume) override;
    bool IsPlaying(int songId) override;
    void SetVolume(double volume) override;
    void SetMusicAmplify(int songId, double amplification) override;
    void Update() override;

    // The song's record, or null.
    const BassMusicInfo* GetSong(int songId) const;

private:
    BassMusicInfo* Find(int songId);
    void ApplyVolume(const BassMusicInfo& song);
    // Plays a module from an order with these flags.
    void PlayModule(const BassMusicInfo& song, int offset, uint32_t flags);
    void PlayStream(const BassMusicInfo& song, int offset, bool noLoop);
    void FreeHandles(const BassMusicInfo& song);

    BASS_INSTANCE* mBass;
    std::map<int, BassMusicInfo> mMusicMap;
    int mMaxMusicVolume = 40;
    uint32_t mMusicLoadFlags;
};

} // namespace Kavo
