#include "media/FMOD_INSTANCE.h"

#include "media/LibraryTable.h"
#include "media/SharedLibraryTable.h"

namespace Kavo
{

namespace
{

SharedLibraryTable<FMOD_INSTANCE> gFModTable;

} // namespace

FMOD_INSTANCE::FMOD_INSTANCE(platform::LibraryHandle module)
{
    if (!module) return;
    bool all = true;
    // Every entry is needed; the first missing one is reported, with its name in quotes.
    auto bind = [&](auto& entry, const char* name)
    {
        if (!all) return;
        all = LibraryTable::Bind(module, entry, name);
        if (!all) LibraryTable::ReportMissing(std::string("\"") + name + "\"", "fmod.dll");
    };
    bind(FSOUND_SetBufferSize, "_FSOUND_SetBufferSize@4");
    bind(FSOUND_SetHWND, "_FSOUND_SetHWND@4");
    bind(FSOUND_Init, "_FSOUND_Init@12");
    bind(FSOUND_Close, "_FSOUND_Close@0");
    bind(FSOUND_Sample_Load, "_FSOUND_Sample_Load@16");
    bind(FSOUND_Sample_Alloc, "_FSOUND_Sample_Alloc@28");
    bind(FSOUND_Sample_Free, "_FSOUND_Sample_Free@4");
    bind(FSOUND_Sample_Lock, "_FSOUND_Sample_Lock@28");
    bind(FSOUND_Sample_Unlock, "_FSOUND_Sample_Unlock@20");
    bind(FSOUND_Sample_SetLoopPoints, "_FSOUND_Sample_SetLoopPoints@12");
    bind(FSOUND_Sample_GetLength, "_FSOUND_Sample_GetLength@4");
    bind(FSOUND_Sample_GetDefaults, "_FSOUND_Sample_GetDefaults@20");
    bind(FSOUND_Sample_GetMode, "_FSOUND_Sample_GetMode@4");
    bind(FSOUND_PlaySound, "_FSOUND_PlaySound@8");
    bind(FSOUND_StopSound, "_FSOUND_StopSound@4");
    bind(FSOUND_SetVolume, "_FSOUND_SetVolume@8");
    bind(FSOUND_SetPaused, "_FSOUND_SetPaused@8");
    bind(FSOUND_SetLoopMode, "_FSOUND_SetLoopMode@8");
    bind(FSOUND_IsPlaying, "_FSOUND_IsPlaying@4");
    bind(FSOUND_Stream_OpenFile, "_FSOUND_Stream_OpenFile@12");
    bind(FSOUND_Stream_Close, "_FSOUND_Stream_Close@4");
    bind(FSOUND_Stream_Play, "_FSOUND_Stream_Play@8");
    bind(FMUSIC_LoadSong, "_FMUSIC_LoadSong@4");
    bind(FMUSIC_PlaySong, "_FMUSIC_PlaySong@4");
    bind(FMUSIC_StopSong, "_FMUSIC_StopSong@4");
    bind(FMUSIC_SetLooping, "_FMUSIC_SetLooping@8");
    bind(FMUSIC_SetOrder, "_FMUSIC_SetOrder@8");
    bind(FMUSIC_SetPaused, "_FMUSIC_SetPaused@8");
    bind(FMUSIC_SetMasterVolume, "_FMUSIC_SetMasterVolume@8");
    bind(FMUSIC_IsPlaying, "_FMUSIC_IsPlaying@4");
    if (all)
        mModule = module;
    else
        platform::FreeLibrary(module);
}

FMOD_INSTANCE::~FMOD_INSTANCE()
{
    if (mModule) platform::FreeLibrary(mModule);
}

FMOD_INSTANCE* AcquireFModInstance()
{
    return gFModTable.Acquire([] { return new FMOD_INSTANCE(LibraryTable::Load("fmod.dll", "fmod.dll")); });
}

void ReleaseFModInstance()
{
    gFModTable.Release();
}

} // namespace Kavo
