#pragma once

// The sound file targets: the input written as "sound" + the format's extension and loaded into a
// slot of the real sound manager, over a headless output, under a full path (so the wave cache is
// not used). A sound that loads is played at a changed pitch and mixed for a while.
#include "fuzz/FuzzTarget.h"
#include "media/DSoundInstance.h"
#include "media/DSoundManager.h"
#include "platform/sound/HeadlessSoundOutput.h"

namespace fuzz
{

inline int LoadSound(const uint8_t* data, size_t size, const char* extension)
{
    static platform::HeadlessSoundOutput output;
    static Kavo::DSoundManager manager(platform::kMainWindow, false);
    WriteInput(std::string("sound") + extension, data, size);
    if (!manager.LoadSoundFile(0, Folder() + "sound")) return 0;
    if (Kavo::DSoundInstance* instance = manager.GetSoundInstance(0))
    {
        instance->AdjustPitch(3);
        instance->Play(false, true);
        (void)output.Pull(512);
    }
    manager.StopAllSounds();
    manager.ReleaseSound(0);
    return 0;
}

} // namespace fuzz
