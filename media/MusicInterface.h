#pragma once

#include <string>

namespace Kavo
{

// Music by id: load, play, stop, pause, resume, fades and volumes, with per-update work. This
// base class is the silent interface: every operation does nothing and nothing ever plays.
// The back-ends over the music libraries derive from it.
class MusicInterface
{
public:
    MusicInterface() = default;
    virtual ~MusicInterface();

    // True when the file could be loaded as song songId.
    virtual bool LoadMusic(int songId, const std::string& fileName)
    {
        (void)songId;
        (void)fileName;
        return false;
    }
    virtual void PlayMusic(int songId, int offset = 0, bool noLoop = false)
    {
        (void)songId;
        (void)offset;
        (void)noLoop;
    }
    virtual void StopMusic(int songId) { (void)songId; }
    virtual void StopAllMusic() {}
    virtual void UnloadMusic(int songId) { (void)songId; }
    virtual void UnloadAllMusic() {}
    virtual void PauseMusic(int songId) { (void)songId; }
    virtual void ResumeMusic(int songId) { (void)songId; }
    // Fades from silence (or from the current volume) up, speed per update (0 to 1).
    virtual void FadeIn(int songId, int offset = -1, double speed = 0.002, bool noLoop = false)
    {
        (void)songId;
        (void)offset;
        (void)speed;
        (void)noLoop;
    }
    virtual void FadeOut(int songId, bool stopSong = true, double speed = 0.004)
    {
        (void)songId;
        (void)stopSong;
        (void)speed;
    }
    virtual void FadeOutAll(bool stopSong = true, double speed = 0.004)
    {
        (void)stopSong;
        (void)speed;
    }
    // Volume of one song (0 to 1).
    virtual void SetSongVolume(int songId, double volume)
    {
        (void)songId;
        (void)volume;
    }
    virtual bool IsPlaying(int songId)
    {
        (void)songId;
        return false;
    }
    // Volume of all music (0 to 1).
    virtual void SetVolume(double volume) { (void)volume; }
    // Per-update work (fades); called once per update by the application.
    virtual void Update() {}
};

} // namespace Kavo
