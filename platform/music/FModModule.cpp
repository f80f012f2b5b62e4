// The stand-in "fmod.dll": samples, channels, streams and tracker modules on the process's mixer.
#include "platform/music/FModModule.h"

#include "platform/music/MusicChannel.h"
#include "platform/sound/ModuleDecoder.h"
#include "platform/sound/SoundDevice.h"
#include "platform/sound/SoundMixer.h"
#include "platform/sound/SoundOutput.h"
#include "platform/system/LibraryModules.h"

#include <list>
#include <memory>
#include <mutex>
#include <string>

namespace platform
{

struct FSoundSample
{
    std::shared_ptr<StaticPcm> pcm;
    unsigned mode = 0;
    int frequency = 44100;
    int volume = 255;
    int pan = 128;
    int priority = 128;
};

struct FSoundStream
{
    std::unique_ptr<PcmStream> source; // until it first plays
    std::unique_ptr<MusicChannel> channel;
};

struct FMusicModule
{
    std::unique_ptr<MusicChannel> channel;
};

namespace
{

constexpr int kChannels = 64;

struct Slot
{
    std::unique_ptr<MusicChannel> owned; // a sample's channel
    MusicChannel* channel = nullptr;     // the owned one, or a stream's
    int volume = 255;
    int pan = 128;
};

struct FMod
{
    // The mixer outlives the channels held here.
    FMod() { SoundMixer::Get(); }

    std::recursive_mutex lock;
    bool initialised = false;
    Slot slots[kChannels];
    // Songs stay until the end of the process: the module has no way to free one.
    std::list<FMusicModule> songs;
};

FMod& State()
{
    static FMod fmod;
    return fmod;
}

using Lock = std::lock_guard<std::recursive_mutex>;

Slot* SlotOf(int channel)
{
    return channel >= 0 && channel < kChannels && State().slots[channel].channel ? &State().slots[channel]
                                                                                 : nullptr;
}

// Volume 0 to 255 and pan 0 (left) to 255 (right) as the channel's gains.
void ApplyGains(Slot& slot)
{
    const double gain = slot.volume / 255.0 * 65536.0;
    const double left = slot.pan > 128 ? (255 - slot.pan) / 127.0 : 1.0;
    const double right = slot.pan < 128 ? slot.pan / 128.0 : 1.0;
    slot.channel->SetGains(int32_t(gain * left), int32_t(gain * right));
}

// A free channel: the first that does not play.
int FreeChannel()
{
    for (int i = 0; i < kChannels; ++i)
        if (!State().slots[i].channel || State().slots[i].channel->GetState() == MusicChannel::State::Stopped)
            return i;
    return -1;
}

// ---------------------------------------------------------------- the output

int SetBufferSize(int milliseconds)
{
    return milliseconds > 0 ? 1 : 0;
}

int SetHWND(WindowId window)
{
    return window != kNoWindow ? 1 : 0;
}

int Init(int mixRate, int maxChannels, unsigned flags)
{
    (void)mixRate, (void)maxChannels, (void)flags;
    Lock lock(State().lock);
    if (State().initialised) return 1;
    std::string error;
    State().initialised = SoundOutput::Acquire(error);
    return State().initialised ? 1 : 0;
}

void Close()
{
    Lock lock(State().lock);
    for (Slot& slot : State().slots)
    {
        if (slot.channel) slot.channel->Stop();
        slot.owned.reset();
        slot.channel = nullptr;
    }
    if (State().initialised) SoundOutput::Release();
    State().initialised = false;
}

// ---------------------------------------------------------------- samples

FSoundSample* SampleLoad(int index, const char* name, unsigned mode, int offset)
{
    (void)index, (void)mode;
    if (!name || offset != 0) return nullptr;
    std::unique_ptr<PcmStream> stream = PcmStream::OpenFile(name);
    if (!stream) return nullptr;
    auto pcm = std::make_shared<StaticPcm>();
    pcm->channels = stream->Channels();
    pcm->rate = stream->Rate();
    if (!stream->ReadAll(pcm->samples, DSBSIZE_MAX)) return nullptr;
    auto* sample = new FSoundSample;
    sample->pcm = std::move(pcm);
    sample->mode =
        FSOUND_16BITS | FSOUND_LOOP_OFF | (sample->pcm->channels == 1 ? FSOUND_MONO : FSOUND_STEREO);
    sample->frequency = int(sample->pcm->rate);
    return sample;
}

FSoundSample* SampleAlloc(int index, int length, unsigned mode, int frequency, int volume, int pan,
                          int priority)
{
    (void)index;
    const int channels = (mode & FSOUND_STEREO) ? 2 : 1;
    // Samples hold 16-bit PCM only.
    if ((mode & FSOUND_8BITS) || length <= 0 || uint64_t(length) * channels * 2 > DSBSIZE_MAX ||
        frequency < 100 || frequency > 200000)
        return nullptr;
    auto* sample = new FSoundSample;
    sample->pcm = std::make_shared<StaticPcm>();
    sample->pcm->channels = channels;
    sample->pcm->rate = uint32_t(frequency);
    sample->pcm->samples.assign(size_t(length) * size_t(channels), 0);
    sample->mode = mode | FSOUND_16BITS;
    sample->frequency = frequency;
    sample->volume = volume;
    sample->pan = pan;
    sample->priority = priority;
    return sample;
}

void SampleFree(FSoundSample* sample)
{
    delete sample;
}

int SampleLock(FSoundSample* sample, int offset, int bytes, void** part1, void** part2, unsigned* bytes1,
               unsigned* bytes2)
{
    if (!sample || !part1 || !part2 || !bytes1 || !bytes2) return 0;
    const uint64_t size = sample->pcm->samples.size() * 2;
    if (offset < 0 || bytes < 0 || uint64_t(offset) + uint64_t(bytes) > size) return 0;
    *part1 = reinterpret_cast<uint8_t*>(sample->pcm->samples.data()) + offset;
    *bytes1 = unsigned(bytes);
    *part2 = nullptr;
    *bytes2 = 0;
    return 1;
}

int SampleUnlock(FSoundSample* sample, void*, void*, unsigned, unsigned)
{
    return sample ? 1 : 0;
}

int SampleSetLoopPoints(FSoundSample* sample, int start, int end)
{
    if (!sample || start < 0 || end < start || uint32_t(end) >= sample->pcm->Frames()) return 0;
    sample->pcm->loopStart = uint32_t(start);
    sample->pcm->loopEnd = uint32_t(end) + 1;
    return 1;
}

unsigned SampleGetLength(FSoundSample* sample)
{
    return sample ? sample->pcm->Frames() : 0;
}

int SampleGetDefaults(FSoundSample* sample, int* frequency, int* volume, int* pan, int* priority)
{
    if (!sample) return 0;
    if (frequency) *frequency = sample->frequency;
    if (volume) *volume = sample->volume;
    if (pan) *pan = sample->pan;
    if (priority) *priority = sample->priority;
    return 1;
}

unsigned SampleGetMode(FSoundSample* sample)
{
    return sample ? sample->mode : 0;
}

// ---------------------------------------------------------------- channels

int PlaySound(int channel, FSoundSample* sample)
{
    Lock lock(State().lock);
    if (!sample) return -1;
    if (channel == FSOUND_FREE) channel = FreeChannel();
    if (channel < 0 || channel >= kChannels) return -1;
    Slot& slot = State().slots[channel];
    slot.owned = std::make_unique<MusicChannel>(std::shared_ptr<const StaticPcm>(sample->pcm));
    slot.channel = slot.owned.get();
    slot.channel->SetLooping((sample->mode & FSOUND_LOOP_NORMAL) != 0);
    slot.channel->SetRate(uint32_t(sample->frequency));
    slot.volume = sample->volume;
    slot.pan = sample->pan;
    ApplyGains(slot);
    slot.channel->Play(true);
    return channel;
}

int StopSound(int channel)
{
    Lock lock(State().lock);
    Slot* slot = SlotOf(channel);
    if (!slot) return 0;
    slot->channel->Stop();
    return 1;
}

int SetVolume(int channel, int volume)
{
    Lock lock(State().lock);
    Slot* slot = SlotOf(channel);
    if (!slot) return 0;
    slot->volume = volume < 0 ? 0 : volume > 255 ? 255 : volume;
    ApplyGains(*slot);
    return 1;
}

int SetPaused(int channel, int paused)
{
    Lock lock(State().lock);
    Slot* slot = SlotOf(channel);
    if (!slot) return 0;
    if (paused)
        slot->channel->Pause();
    else if (slot->channel->GetState() == MusicChannel::State::Paused)
        slot->channel->Play(false);
    return 1;
}

int SetLoopMode(int channel, unsigned mode)
{
    Lock lock(State().lock);
    Slot* slot = SlotOf(channel);
    if (!slot) return 0;
    slot->channel->SetLooping((mode & FSOUND_LOOP_NORMAL) != 0);
    return 1;
}

int IsPlaying(int channel)
{
    Lock lock(State().lock);
    Slot* slot = SlotOf(channel);
    return slot && slot->channel->GetState() == MusicChannel::State::Playing ? 1 : 0;
}

// ---------------------------------------------------------------- streams

FSoundStream* StreamOpenFile(const char* name, unsigned mode, int length)
{
    (void)mode;
    if (!name || length != 0) return nullptr;
    std::unique_ptr<PcmStream> source = PcmStream::OpenFile(name);
    if (!source) return nullptr;
    auto* stream = new FSoundStream;
    stream->channel = std::make_unique<MusicChannel>(std::move(source));
    return stream;
}

int StreamClose(FSoundStream* stream)
{
    Lock lock(State().lock);
    if (!stream) return 0;
    for (Slot& slot : State().slots)
        if (slot.channel == stream->channel.get()) slot.channel = nullptr;
    delete stream;
    return 1;
}

int StreamPlay(int channel, FSoundStream* stream)
{
    Lock lock(State().lock);
    if (!stream) return -1;
    if (channel == FSOUND_FREE) channel = FreeChannel();
    if (channel < 0 || channel >= kChannels) return -1;
    Slot& slot = State().slots[channel];
    slot.owned.reset();
    slot.channel = stream->channel.get();
    slot.volume = 255;
    slot.pan = 128;
    ApplyGains(slot);
    slot.channel->Play(true);
    return channel;
}

// ---------------------------------------------------------------- songs

FMusicModule* LoadSong(const char* name)
{
    if (!name) return nullptr;
    auto module = std::make_unique<ModuleDecoder>();
    if (!module->OpenFile(name)) return nullptr;
    Lock lock(State().lock);
    FMusicModule& song = State().songs.emplace_back();
    song.channel = std::make_unique<MusicChannel>(std::move(module));
    song.channel->SetLooping(true);
    return &song;
}

int PlaySong(FMusicModule* module)
{
    if (!module) return 0;
    module->channel->Play(true);
    return 1;
}

int StopSong(FMusicModule* module)
{
    if (!module) return 0;
    module->channel->Stop();
    return 1;
}

int SetLooping(FMusicModule* module, int looping)
{
    if (!module) return 0;
    module->channel->SetLooping(looping != 0);
    return 1;
}

int SetOrder(FMusicModule* module, int order)
{
    if (!module) return 0;
    bool inside = false;
    module->channel->WithStream([&](PcmStream& s)
                                { inside = static_cast<ModuleDecoder&>(s).SetOrderRow(order, 0); });
    return inside ? 1 : 0;
}

int SetSongPaused(FMusicModule* module, int paused)
{
    if (!module) return 0;
    if (paused)
        module->channel->Pause();
    else if (module->channel->GetState() == MusicChannel::State::Paused)
        module->channel->Play(false);
    return 1;
}

int SetMasterVolume(FMusicModule* module, int volume)
{
    if (!module) return 0;
    const int v = volume < 0 ? 0 : volume > 256 ? 256 : volume;
    module->channel->SetGains(v * 256, v * 256);
    return 1;
}

int IsSongPlaying(FMusicModule* module)
{
    return module && module->channel->GetState() == MusicChannel::State::Playing ? 1 : 0;
}

template <typename Function>
EntryPoint Entry(Function* function)
{
    return reinterpret_cast<EntryPoint>(function);
}

} // namespace

const LibraryEntry* FModEntries()
{
    static const LibraryEntry entries[] = {
        {"_FSOUND_SetBufferSize@4", Entry(SetBufferSize)},
        {"_FSOUND_SetHWND@4", Entry(SetHWND)},
        {"_FSOUND_Init@12", Entry(Init)},
        {"_FSOUND_Close@0", Entry(Close)},
        {"_FSOUND_Sample_Load@16", Entry(SampleLoad)},
        {"_FSOUND_Sample_Alloc@28", Entry(SampleAlloc)},
        {"_FSOUND_Sample_Free@4", Entry(SampleFree)},
        {"_FSOUND_Sample_Lock@28", Entry(SampleLock)},
        {"_FSOUND_Sample_Unlock@20", Entry(SampleUnlock)},
        {"_FSOUND_Sample_SetLoopPoints@12", Entry(SampleSetLoopPoints)},
        {"_FSOUND_Sample_GetLength@4", Entry(SampleGetLength)},
        {"_FSOUND_Sample_GetDefaults@20", Entry(SampleGetDefaults)},
        {"_FSOUND_Sample_GetMode@4", Entry(SampleGetMode)},
        {"_FSOUND_PlaySound@8", Entry(PlaySound)},
        {"_FSOUND_StopSound@4", Entry(StopSound)},
        {"_FSOUND_SetVolume@8", Entry(SetVolume)},
        {"_FSOUND_SetPaused@8", Entry(SetPaused)},
        {"_FSOUND_SetLoopMode@8", Entry(SetLoopMode)},
        {"_FSOUND_IsPlaying@4", Entry(IsPlaying)},
        {"_FSOUND_Stream_OpenFile@12", Entry(StreamOpenFile)},
        {"_FSOUND_Stream_Close@4", Entry(StreamClose)},
        {"_FSOUND_Stream_Play@8", Entry(StreamPlay)},
        {"_FMUSIC_LoadSong@4", Entry(LoadSong)},
        {"_FMUSIC_PlaySong@4", Entry(PlaySong)},
        {"_FMUSIC_StopSong@4", Entry(StopSong)},
        {"_FMUSIC_SetLooping@8", Entry(SetLooping)},
        {"_FMUSIC_SetOrder@8", Entry(SetOrder)},
        {"_FMUSIC_SetPaused@8", Entry(SetSongPaused)},
        {"_FMUSIC_SetMasterVolume@8", Entry(SetMasterVolume)},
        {"_FMUSIC_IsPlaying@4", Entry(IsSongPlaying)},
        {nullptr, nullptr},
    };
    return entries;
}

} // namespace platform
