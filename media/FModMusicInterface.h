#pragma once

#include "media/MusicFade.h"
#include "media/MusicInterface.h"
#include "platform/music/FModModule.h"
#include "platform/window/Messages.h"

#include <map>
#include <string>

namespace Kavo
{

class FMOD_INSTANCE;

// A song of the alternative back-end: a sample (played on the channel numbered as the song) or
// a tracker module, with its fade.
struct FModSongInfo : MusicFade
{
    platform::FSoundSample* mHSample = nullptr;
    platform::FMusicModule* mHMusic = nullptr;
    bool mRepeats = false; // a sample song loops
};

// Music through "fmod.dll": tracker modules as songs, and samples decoded whole from ".ogg"
// files (kept decoded in the wave cache), alone or an intro joined to a looping part. The sound
// manager initialises the library; this interface only uses it. Its unload operations, the
// pause and resume of all songs, the cap on a song's volume and the amplification do nothing.
class FModMusicInterface : public MusicInterface
{
public:
    explicit FModMusicInterface(platform::WindowId window);
    ~FModMusicInterface() override;
    FModMusicInterface(const FModMusicInterface&) = delete;
    FModMusicInterface& operator=(const FModMusicInterface&) = delete;

    // Whether "fmod.dll" and all its entries were found.
    bool IsLoaded() const;

    bool LoadMusic(int songId, const std::string& fileName) override;
    void PlayMusic(int songId, int offset = 0, bool noLoop = false) override;
    void StopMusic(int songId) override;
    void PauseMusic(int songId) override;
    void ResumeMusic(int songId) override;
    void StopAllMusic() override;
    void FadeIn(int songId, int offset = -1, double speed = 0.002, bool noLoop = false) override;
    void FadeOut(int songId, bool stopSong = true, double speed = 0.004) override;
    void FadeOutAll(bool stopSong = true, double speed = 0.004) override;
    void SetSongVolume(int songId, double volume) override;
    bool IsPlaying(int songId) override;
    void SetVolume(double volume) override;
    void Update() override;

    // A song of the intro followed by the loop part (both names without extension), which
    // repeats from the end of the intro; false when either does not load or they differ in rate
    // or format.
    virtual bool LoadJoinedSample(int songId, const std::string& intro, const std::string& loopPart,
                                  bool loop);
    // A sample song of the file (name without extension).
    virtual bool LoadSampleSong(int songId, const std::string& fileName, bool loop);
    // The decoded sample of the file (name without extension), from the wave cache when it is
    // there, else from its ".ogg" (then cached); null when neither loads.
    platform::FSoundSample* LoadSample(const std::string& fileName);

    const FModSongInfo* GetSong(int songId) const;

private:
    FModSongInfo* Find(int songId);
    void ApplyVolume(int songId, const FModSongInfo& song);
    void StartSample(int songId, const FModSongInfo& song);
    void StopSong(int songId, const FModSongInfo& song);

    FMOD_INSTANCE* mFMod;
    std::map<int, FModSongInfo> mMusicMap;
    double mMasterVolume = 1.0;
    int mMusicVolumeScale = 100;
    int mSampleVolumeScale = 100;
};

} // namespace Kavo
