// The stand-in "bass.dll": streams and tracker modules on channels of the process's mixer.
#include "platform/music/BassModule.h"

#include "platform/music/MusicChannel.h"
#include "platform/sound/ModuleDecoder.h"
#include "platform/sound/SoundMixer.h"
#include "platform/sound/SoundOutput.h"
#include "platform/system/LibraryModules.h"

#include <cmath>
#include <map>
#include <memory>
#include <mutex>
#include <string>

namespace platform
{

namespace
{

struct BassChannel
{
    std::unique_ptr<MusicChannel> channel;
    ModuleDecoder* module = nullptr; // the channel's stream when it is a tracker module
    int volume = 100;                // 0 to 100
    int pan = 0;                     // -100 to 100
    bool stoppedByBass = false;      // paused by BASS_Stop, resumed by BASS_Start
};

struct Bass
{
    // The mixer outlives the channels held here.
    Bass() { SoundMixer::Get(); }

    std::recursive_mutex lock;
    bool initialised = false;
    bool started = true;
    int error = BASS_OK;
    uint32_t nextHandle = 1;
    uint32_t config[7] = {500, 0, 0, 0, 100, 100, 100}; // buffer ... sample, stream, music volumes
    uint32_t volume = 100;
    std::map<uint32_t, BassChannel> channels;
};

Bass& State()
{
    static Bass bass;
    return bass;
}

using Lock = std::lock_guard<std::recursive_mutex>;

template <typename T>
T Fail(int error, T result)
{
    State().error = error;
    return result;
}

template <typename T>
T Succeed(T result)
{
    State().error = BASS_OK;
    return result;
}

BassChannel* Find(uint32_t handle)
{
    auto it = State().channels.find(handle);
    return it == State().channels.end() ? nullptr : &it->second;
}

void ApplyGains(BassChannel& c)
{
    const Bass& b = State();
    const uint32_t global = c.module ? b.config[BASS_CONFIG_GVOL_MUSIC] : b.config[BASS_CONFIG_GVOL_STREAM];
    const double gain = c.volume / 100.0 * global / 100.0 * 65536.0;
    const double left = c.pan > 0 ? (100 - c.pan) / 100.0 : 1.0;
    const double right = c.pan < 0 ? (100 + c.pan) / 100.0 : 1.0;
    c.channel->SetGains(int32_t(gain * left), int32_t(gain * right));
}

void ApplyAllGains()
{
    for (auto& entry : State().channels)
        ApplyGains(entry.second);
}

uint32_t AddChannel(BassChannel&& c, uint32_t flags)
{
    Bass& b = State();
    const uint32_t handle = b.nextHandle++;
    c.channel->SetLooping((flags & BASS_SAMPLE_LOOP) != 0);
    BassChannel& added = b.channels[handle] = std::move(c);
    ApplyGains(added);
    return Succeed(handle);
}

// ---------------------------------------------------------------- the device

uint32_t GetVersion()
{
    return 0x02000000;
}

int Init(int device, uint32_t freq, uint32_t flags, uint32_t window, const void* classId)
{
    (void)device, (void)freq, (void)flags, (void)window, (void)classId;
    Lock lock(State().lock);
    if (State().initialised) return Fail(BASS_ERROR_ALREADY, 0);
    std::string error;
    if (!SoundOutput::Acquire(error)) return Fail(BASS_ERROR_DEVICE, 0);
    State().initialised = true;
    State().started = true;
    return Succeed(1);
}

int Free()
{
    Lock lock(State().lock);
    if (!State().initialised) return Fail(BASS_ERROR_INIT, 0);
    State().channels.clear();
    State().initialised = false;
    SoundOutput::Release();
    return Succeed(1);
}

int Stop()
{
    Lock lock(State().lock);
    if (!State().initialised) return Fail(BASS_ERROR_INIT, 0);
    for (auto& [handle, c] : State().channels)
        if (c.channel->GetState() == MusicChannel::State::Playing)
        {
            c.channel->Pause();
            c.stoppedByBass = true;
        }
    State().started = false;
    return Succeed(1);
}

int Start()
{
    Lock lock(State().lock);
    if (!State().initialised) return Fail(BASS_ERROR_INIT, 0);
    for (auto& [handle, c] : State().channels)
        if (c.stoppedByBass)
        {
            c.stoppedByBass = false;
            c.channel->Play(false);
        }
    State().started = true;
    return Succeed(1);
}

uint32_t SetConfig(uint32_t option, uint32_t value)
{
    Lock lock(State().lock);
    if (option >= 7 || (option >= BASS_CONFIG_GVOL_SAMPLE && value > 100))
        return Fail(BASS_ERROR_ILLPARAM, ~0u);
    State().config[option] = value;
    ApplyAllGains();
    return Succeed(value);
}

uint32_t GetConfig(uint32_t option)
{
    Lock lock(State().lock);
    if (option >= 7) return Fail(BASS_ERROR_ILLPARAM, ~0u);
    return Succeed(State().config[option]);
}

int SetVolume(uint32_t volume)
{
    if (volume > 100) return Fail(BASS_ERROR_ILLPARAM, 0);
    State().volume = volume;
    return Succeed(1);
}

uint32_t GetVolume()
{
    return Succeed(State().volume);
}

int SetGlobalVolumes(int music, int sample, int stream)
{
    Lock lock(State().lock);
    if (music > 100 || sample > 100 || stream > 100) return Fail(BASS_ERROR_ILLPARAM, 0);
    uint32_t* config = State().config;
    if (music >= 0) config[BASS_CONFIG_GVOL_MUSIC] = uint32_t(music);
    if (sample >= 0) config[BASS_CONFIG_GVOL_SAMPLE] = uint32_t(sample);
    if (stream >= 0) config[BASS_CONFIG_GVOL_STREAM] = uint32_t(stream);
    ApplyAllGains();
    return Succeed(1);
}

int GetInfo(BassInfo* info)
{
    if (!info) return Fail(BASS_ERROR_ILLPARAM, 0);
    *info = BassInfo{};
    return Succeed(1);
}

int ErrorGetCode()
{
    return State().error;
}

// ---------------------------------------------------------------- streams and modules

uint32_t StreamCreateFile(int fromMemory, const void* file, uint64_t offset, uint64_t length, uint32_t flags)
{
    Lock lock(State().lock);
    if (!State().initialised) return Fail(BASS_ERROR_INIT, 0u);
    if (fromMemory || offset || length || !file) return Fail(BASS_ERROR_NOTAVAIL, 0u);
    std::unique_ptr<PcmStream> stream = PcmStream::OpenFile(static_cast<const char*>(file));
    if (!stream) return Fail(BASS_ERROR_FILEFORM, 0u);
    BassChannel c;
    c.channel = std::make_unique<MusicChannel>(std::move(stream));
    return AddChannel(std::move(c), flags);
}

uint32_t MusicLoad(int fromMemory, const void* file, uint64_t offset, uint32_t length, uint32_t flags,
                   uint32_t freq)
{
    (void)freq;
    Lock lock(State().lock);
    if (!State().initialised) return Fail(BASS_ERROR_INIT, 0u);
    if (fromMemory || offset || length || !file) return Fail(BASS_ERROR_NOTAVAIL, 0u);
    auto module = std::make_unique<ModuleDecoder>();
    if (!module->OpenFile(static_cast<const char*>(file))) return Fail(BASS_ERROR_FILEFORM, 0u);
    BassChannel c;
    c.module = module.get();
    c.channel = std::make_unique<MusicChannel>(std::move(module));
    return AddChannel(std::move(c), flags);
}

int FreeChannel(uint32_t handle, bool module)
{
    Lock lock(State().lock);
    BassChannel* c = Find(handle);
    if (!c || (c->module != nullptr) != module) return Fail(BASS_ERROR_HANDLE, 0);
    State().channels.erase(handle);
    return Succeed(1);
}

int StreamFree(uint32_t handle)
{
    return FreeChannel(handle, false);
}

int MusicFree(uint32_t handle)
{
    return FreeChannel(handle, true);
}

uint32_t MusicSetAttribute(uint32_t handle, uint32_t attribute, uint32_t value)
{
    Lock lock(State().lock);
    BassChannel* c = Find(handle);
    if (!c || !c->module) return Fail(BASS_ERROR_HANDLE, ~0u);
    if (attribute != BASS_MUSIC_ATTRIB_AMPLIFY || value > 100) return Fail(BASS_ERROR_ILLPARAM, ~0u);
    // 50 plays the module as written; the gain doubles with every doubling of the value.
    const int millibels = value == 0 ? -10000 : int(std::lround(2000.0 * std::log10(value / 50.0)));
    c->channel->WithStream([millibels](PcmStream& s) { static_cast<ModuleDecoder&>(s).SetGain(millibels); },
                           false);
    return Succeed(value);
}

uint32_t MusicGetAttribute(uint32_t handle, uint32_t attribute)
{
    (void)attribute;
    Lock lock(State().lock);
    BassChannel* c = Find(handle);
    if (!c || !c->module) return Fail(BASS_ERROR_HANDLE, ~0u);
    return Fail(BASS_ERROR_NOTAVAIL, ~0u);
}

uint32_t MusicGetOrders(uint32_t handle)
{
    Lock lock(State().lock);
    BassChannel* c = Find(handle);
    if (!c || !c->module) return Fail(BASS_ERROR_HANDLE, ~0u);
    return Succeed(uint32_t(c->module->Orders()));
}

uint32_t MusicGetOrderPosition(uint32_t handle)
{
    Lock lock(State().lock);
    BassChannel* c = Find(handle);
    if (!c || !c->module) return Fail(BASS_ERROR_HANDLE, ~0u);
    uint32_t position = 0;
    c->channel->WithStream(
        [&position](PcmStream& s)
        {
            auto& m = static_cast<ModuleDecoder&>(s);
            position = uint32_t(m.Order()) | uint32_t(m.Row()) << 16;
        },
        false);
    return Succeed(position);
}

// ---------------------------------------------------------------- channels

int ChannelPlay(uint32_t handle, int restart)
{
    Lock lock(State().lock);
    BassChannel* c = Find(handle);
    if (!c) return Fail(BASS_ERROR_HANDLE, 0);
    if (!State().started)
    {
        c->stoppedByBass = true; // plays when the output starts again
        return Succeed(1);
    }
    c->channel->Play(restart != 0);
    return Succeed(1);
}

int ChannelStop(uint32_t handle)
{
    Lock lock(State().lock);
    BassChannel* c = Find(handle);
    if (!c) return Fail(BASS_ERROR_HANDLE, 0);
    c->stoppedByBass = false;
    c->channel->Stop();
    return Succeed(1);
}

int ChannelPause(uint32_t handle)
{
    Lock lock(State().lock);
    BassChannel* c = Find(handle);
    if (!c) return Fail(BASS_ERROR_HANDLE, 0);
    c->channel->Pause();
    return Succeed(1);
}

uint32_t ChannelIsActive(uint32_t handle)
{
    Lock lock(State().lock);
    BassChannel* c = Find(handle);
    if (!c) return Fail(BASS_ERROR_HANDLE, BASS_ACTIVE_STOPPED);
    switch (c->channel->GetState())
    {
    case MusicChannel::State::Playing:
        return Succeed(BASS_ACTIVE_PLAYING);
    case MusicChannel::State::Paused:
        return Succeed(BASS_ACTIVE_PAUSED);
    default:
        return Succeed(c->stoppedByBass ? BASS_ACTIVE_PAUSED : BASS_ACTIVE_STOPPED);
    }
}

int ChannelSetAttributes(uint32_t handle, int freq, int volume, int pan)
{
    Lock lock(State().lock);
    BassChannel* c = Find(handle);
    if (!c) return Fail(BASS_ERROR_HANDLE, 0);
    if ((freq > 0 && (freq < 100 || freq > 200000)) || volume > 100 ||
        (pan != -101 && (pan < -100 || pan > 100)))
        return Fail(BASS_ERROR_ILLPARAM, 0);
    if (freq >= 0) c->channel->SetRate(uint32_t(freq));
    if (volume >= 0) c->volume = volume;
    if (pan != -101) c->pan = pan;
    ApplyGains(*c);
    return Succeed(1);
}

int ChannelGetAttributes(uint32_t handle, uint32_t* freq, uint32_t* volume, int* pan)
{
    Lock lock(State().lock);
    BassChannel* c = Find(handle);
    if (!c) return Fail(BASS_ERROR_HANDLE, 0);
    if (freq) *freq = c->channel->Rate();
    if (volume) *volume = uint32_t(c->volume);
    if (pan) *pan = c->pan;
    return Succeed(1);
}

int ChannelSetPosition(uint32_t handle, uint64_t position)
{
    Lock lock(State().lock);
    BassChannel* c = Find(handle);
    if (!c) return Fail(BASS_ERROR_HANDLE, 0);
    const uint32_t low = uint32_t(position);
    if (c->module && (low & 0x80000000u))
    {
        bool inside = false;
        const int order = int(low & 0xFFFF), row = int(low >> 16 & 0x7FFF);
        c->channel->WithStream([&](PcmStream& s)
                               { inside = static_cast<ModuleDecoder&>(s).SetOrderRow(order, row); });
        return inside ? Succeed(1) : Fail(BASS_ERROR_POSITION, 0);
    }
    const uint64_t frameBytes = uint64_t(c->channel->Channels()) * 2;
    return c->channel->SetPosition(int64_t(position / frameBytes)) ? Succeed(1)
                                                                   : Fail(BASS_ERROR_POSITION, 0);
}

uint64_t ChannelGetPosition(uint32_t handle)
{
    Lock lock(State().lock);
    BassChannel* c = Find(handle);
    if (!c) return Fail(BASS_ERROR_HANDLE, ~uint64_t(0));
    return Succeed(uint64_t(c->channel->Position()) * uint64_t(c->channel->Channels()) * 2);
}

uint64_t ChannelGetLength(uint32_t handle)
{
    Lock lock(State().lock);
    BassChannel* c = Find(handle);
    if (!c) return Fail(BASS_ERROR_HANDLE, ~uint64_t(0));
    const int64_t length = c->channel->Length();
    if (length < 0) return Fail(BASS_ERROR_NOTAVAIL, ~uint64_t(0));
    return Succeed(uint64_t(length) * uint64_t(c->channel->Channels()) * 2);
}

int ChannelSetFlags(uint32_t handle, uint32_t flags)
{
    Lock lock(State().lock);
    BassChannel* c = Find(handle);
    if (!c) return Fail(BASS_ERROR_HANDLE, 0);
    c->channel->SetLooping((flags & BASS_SAMPLE_LOOP) != 0);
    return Succeed(1);
}

int ChannelIsSliding(uint32_t handle)
{
    Lock lock(State().lock);
    return Find(handle) ? Succeed(0) : Fail(BASS_ERROR_HANDLE, 0);
}

// Entries the framework looks up but never calls: present, and not available.
int NotAvailable()
{
    return Fail(BASS_ERROR_NOTAVAIL, 0);
}
int ChannelSlideAttributes(uint32_t, int, int, int, uint32_t)
{
    return NotAvailable();
}
uint32_t ChannelGetLevel(uint32_t)
{
    return uint32_t(NotAvailable()) - 1;
}
uint32_t ChannelSetFX(uint32_t, uint32_t)
{
    return uint32_t(NotAvailable());
}
int ChannelRemoveFX(uint32_t, uint32_t)
{
    return NotAvailable();
}
uint32_t ChannelGetData(uint32_t, void*, uint32_t)
{
    return uint32_t(NotAvailable()) - 1;
}
int ChannelPreBuf(uint32_t)
{
    return NotAvailable();
}
uint32_t ChannelSetSync(uint32_t, uint32_t, uint64_t, void*, void*)
{
    return uint32_t(NotAvailable());
}
int ChannelRemoveSync(uint32_t, uint32_t)
{
    return NotAvailable();
}
int FXSetParameters(uint32_t, const void*)
{
    return NotAvailable();
}
int FXGetParameters(uint32_t, void*)
{
    return NotAvailable();
}
uint32_t PluginLoad(const char*)
{
    return uint32_t(NotAvailable());
}
uint32_t SampleLoad(int, const void*, uint64_t, uint32_t, uint32_t, uint32_t)
{
    return uint32_t(NotAvailable());
}
int SampleFree(uint32_t)
{
    return NotAvailable();
}
int SampleSetInfo(uint32_t, const void*)
{
    return NotAvailable();
}
int SampleGetInfo(uint32_t, void*)
{
    return NotAvailable();
}
uint32_t SampleGetChannel(uint32_t, int)
{
    return uint32_t(NotAvailable());
}
int SampleStop(uint32_t)
{
    return NotAvailable();
}

template <typename Function>
EntryPoint Entry(Function* function)
{
    return reinterpret_cast<EntryPoint>(function);
}

} // namespace

const LibraryEntry* BassEntries()
{
    static const LibraryEntry entries[] = {
        {"BASS_GetVersion", Entry(GetVersion)},
        {"BASS_Init", Entry(Init)},
        {"BASS_Free", Entry(Free)},
        {"BASS_Stop", Entry(Stop)},
        {"BASS_Start", Entry(Start)},
        {"BASS_SetGlobalVolumes", Entry(SetGlobalVolumes)},
        {"BASS_SetVolume", Entry(SetVolume)},
        {"BASS_GetVolume", Entry(GetVolume)},
        {"BASS_GetInfo", Entry(GetInfo)},
        {"BASS_SetConfig", Entry(SetConfig)},
        {"BASS_GetConfig", Entry(GetConfig)},
        {"BASS_ChannelStop", Entry(ChannelStop)},
        {"BASS_ChannelPlay", Entry(ChannelPlay)},
        {"BASS_ChannelPause", Entry(ChannelPause)},
        {"BASS_ChannelSetAttributes", Entry(ChannelSetAttributes)},
        {"BASS_ChannelGetAttributes", Entry(ChannelGetAttributes)},
        {"BASS_ChannelSetPosition", Entry(ChannelSetPosition)},
        {"BASS_ChannelGetPosition", Entry(ChannelGetPosition)},
        {"BASS_ChannelSetFlags", Entry(ChannelSetFlags)},
        {"BASS_ChannelIsActive", Entry(ChannelIsActive)},
        {"BASS_ChannelSlideAttributes", Entry(ChannelSlideAttributes)},
        {"BASS_ChannelIsSliding", Entry(ChannelIsSliding)},
        {"BASS_ChannelGetLevel", Entry(ChannelGetLevel)},
        {"BASS_ChannelSetFX", Entry(ChannelSetFX)},
        {"BASS_ChannelRemoveFX", Entry(ChannelRemoveFX)},
        {"BASS_ChannelGetLength", Entry(ChannelGetLength)},
        {"BASS_ChannelGetData", Entry(ChannelGetData)},
        {"BASS_ChannelPreBuf", Entry(ChannelPreBuf)},
        {"BASS_ChannelSetSync", Entry(ChannelSetSync)},
        {"BASS_ChannelRemoveSync", Entry(ChannelRemoveSync)},
        {"BASS_MusicLoad", Entry(MusicLoad)},
        {"BASS_MusicFree", Entry(MusicFree)},
        {"BASS_StreamCreateFile", Entry(StreamCreateFile)},
        {"BASS_StreamFree", Entry(StreamFree)},
        {"BASS_FXSetParameters", Entry(FXSetParameters)},
        {"BASS_FXGetParameters", Entry(FXGetParameters)},
        {"BASS_MusicGetAttribute", Entry(MusicGetAttribute)},
        {"BASS_MusicSetAttribute", Entry(MusicSetAttribute)},
        {"BASS_MusicGetOrders", Entry(MusicGetOrders)},
        {"BASS_MusicGetOrderPosition", Entry(MusicGetOrderPosition)},
        {"BASS_PluginLoad", Entry(PluginLoad)},
        {"BASS_SampleLoad", Entry(SampleLoad)},
        {"BASS_SampleFree", Entry(SampleFree)},
        {"BASS_SampleSetInfo", Entry(SampleSetInfo)},
        {"BASS_SampleGetInfo", Entry(SampleGetInfo)},
        {"BASS_SampleGetChannel", Entry(SampleGetChannel)},
        {"BASS_SampleStop", Entry(SampleStop)},
        {"BASS_ErrorGetCode", Entry(ErrorGetCode)},
        {nullptr, nullptr},
    };
    return entries;
}

} // namespace platform
