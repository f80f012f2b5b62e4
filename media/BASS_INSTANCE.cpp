#include "media/BASS_INSTANCE.h"

#include "media/LibraryTable.h"
#include "media/SharedLibraryTable.h"

namespace Kavo
{

namespace
{

SharedLibraryTable<BASS_INSTANCE> gBassTable;

} // namespace

BASS_INSTANCE::BASS_INSTANCE(platform::LibraryHandle module)
{
    if (!module) return;
    bool all = true;
    auto need = [&](auto& entry, const char* name)
    {
        if (!all) return;
        all = LibraryTable::Bind(module, entry, name);
        if (!all) LibraryTable::ReportMissing(name, "bass.dll");
    };
    auto may = [&](auto& entry, const char* name) { LibraryTable::Bind(module, entry, name); };
    need(BASS_GetVersion, "BASS_GetVersion");
    need(BASS_Init, "BASS_Init");
    need(BASS_Free, "BASS_Free");
    need(BASS_Stop, "BASS_Stop");
    need(BASS_Start, "BASS_Start");
    may(BASS_SetGlobalVolumes, "BASS_SetGlobalVolumes");
    may(BASS_SetVolume, "BASS_SetVolume");
    need(BASS_GetVolume, "BASS_GetVolume");
    need(BASS_GetInfo, "BASS_GetInfo");
    may(BASS_SetConfig, "BASS_SetConfig");
    may(BASS_GetConfig, "BASS_GetConfig");
    need(BASS_ChannelStop, "BASS_ChannelStop");
    need(BASS_ChannelPlay, "BASS_ChannelPlay");
    need(BASS_ChannelPause, "BASS_ChannelPause");
    need(BASS_ChannelSetAttributes, "BASS_ChannelSetAttributes");
    need(BASS_ChannelGetAttributes, "BASS_ChannelGetAttributes");
    need(BASS_ChannelSetPosition, "BASS_ChannelSetPosition");
    need(BASS_ChannelGetPosition, "BASS_ChannelGetPosition");
    need(BASS_ChannelSetFlags, "BASS_ChannelSetFlags");
    need(BASS_ChannelIsActive, "BASS_ChannelIsActive");
    need(BASS_ChannelSlideAttributes, "BASS_ChannelSlideAttributes");
    need(BASS_ChannelIsSliding, "BASS_ChannelIsSliding");
    need(BASS_ChannelGetLevel, "BASS_ChannelGetLevel");
    need(BASS_ChannelSetFX, "BASS_ChannelSetFX");
    need(BASS_ChannelRemoveFX, "BASS_ChannelRemoveFX");
    need(BASS_ChannelGetData, "BASS_ChannelGetData");
    need(BASS_ChannelSetSync, "BASS_ChannelSetSync");
    need(BASS_ChannelRemoveSync, "BASS_ChannelRemoveSync");
    need(BASS_MusicLoad, "BASS_MusicLoad");
    need(BASS_MusicFree, "BASS_MusicFree");
    need(BASS_StreamCreateFile, "BASS_StreamCreateFile");
    need(BASS_StreamFree, "BASS_StreamFree");
    need(BASS_FXSetParameters, "BASS_FXSetParameters");
    need(BASS_FXGetParameters, "BASS_FXGetParameters");
    need(BASS_MusicGetAttribute, "BASS_MusicGetAttribute");
    need(BASS_MusicSetAttribute, "BASS_MusicSetAttribute");
    need(BASS_MusicGetOrders, "BASS_MusicGetOrders");
    need(BASS_MusicGetOrderPosition, "BASS_MusicGetOrderPosition");
    need(BASS_SampleLoad, "BASS_SampleLoad");
    need(BASS_SampleFree, "BASS_SampleFree");
    need(BASS_SampleSetInfo, "BASS_SampleSetInfo");
    need(BASS_SampleGetInfo, "BASS_SampleGetInfo");
    need(BASS_SampleGetChannel, "BASS_SampleGetChannel");
    need(BASS_SampleStop, "BASS_SampleStop");
    need(BASS_ErrorGetCode, "BASS_ErrorGetCode");
    if (all && !BASS_SetGlobalVolumes && !BASS_SetVolume)
    {
        platform::MessageBox("Neither BASS_SetGlobalVolumes or BASS_SetVolume found in bass.dll", "Error",
                             platform::MB_ICONERROR);
        all = false;
    }
    if (!all)
    {
        platform::FreeLibrary(module);
        return;
    }
    mModule = module;
    mVersion2 = BASS_SetConfig != nullptr;
    if (mVersion2)
    {
        // The same entries, in their newer calling forms.
        may(BASS_Init2, "BASS_Init");
        may(BASS_MusicLoad2, "BASS_MusicLoad");
        BASS_Init = nullptr;
        BASS_MusicLoad = nullptr;
        may(BASS_PluginLoad, "BASS_PluginLoad");
        may(BASS_ChannelGetLength, "BASS_ChannelGetLength");
        may(BASS_ChannelPreBuf, "BASS_ChannelPreBuf");
    }
}

BASS_INSTANCE::~BASS_INSTANCE()
{
    if (mModule) platform::FreeLibrary(mModule);
}

BASS_INSTANCE* AcquireBassInstance()
{
    return gBassTable.Acquire([]
                              { return new BASS_INSTANCE(LibraryTable::Load(".\\bass.dll", "bass.dll")); });
}

void ReleaseBassInstance()
{
    gBassTable.Release();
}

} // namespace Kavo
