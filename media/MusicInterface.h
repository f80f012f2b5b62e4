#pragma once

#include <string>

namespace Kavo
{

// Music by song id: load, play, stop, pause, resume, fades and volumes, with per-update work.
// Volumes run from 0 to 1; a fade speed is the change of volume per Update. An offset is an
// order number of a tracker module or a byte position of a stream; -1 means from where the song
// stands. This base class is the silent interface: every operation does nothing and nothing ever
// plays. The back-ends over the music modules derive from it.
class MusicInterface
{
public:
    MusicInterface() = default;
    virtual ~MusicInterface();

    // True when the file could be loaded as song songId.
    virtual bool LoadMusic(int songId, const std::string& fileName);
    virtual void PlayMusic(int songId, int offset = 0, bool noLoop = false);
    virtual void StopMusic(int songId);
    virtual void PauseMusic(int songId);
    virtual void ResumeMusic(int songId);
    virtual void StopAllMusic();
    virtual void UnloadMusic(int songId);
    virtual void UnloadAllMusic();
    virtual void PauseAllMusic();
    virtual void ResumeAllMusic();
    virtual void FadeIn(int songId, int offset = -1, double speed = 0.002, bool noLoop = false);
    virtual void FadeOut(int songId, bool stopSong = true, double speed = 0.004);
    virtual void FadeOutAll(bool stopSong = true, double speed = 0.004);
    virtual void SetSongVolume(int songId, double volume);
    // The volume a song plays and fades in to; a louder current volume comes down at once.
    virtual void SetSongMaxVolume(int songId, double volume);
    virtual bool IsPlaying(int songId);
    // Volume of all music.
    virtual void SetVolume(double volume);
    // A tracker module's amplification (0.5 plays it as written).
    virtual void SetMusicAmplify(int songId, double amplification);
    // Per-update work (fades); called once per update by the application.
    virtual void Update();
};

} // namespace Kavo
