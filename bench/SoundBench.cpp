// Sound: mixing 32 resampled voices for 10 ms of output, and decoding an Ogg Vorbis file (10 s of
// 44.1 kHz stereo made by our fixture tool) through the sound manager's reader beside the integer
// decoder's own loop of ov_read calls on the same file.
#include "media/DSoundManager.h"
#include "platform/sound/HeadlessSoundOutput.h"
#include "platform/sound/SoundBuffer.h"
#include "platform/sound/SoundDevice.h"
#include "platform/sound/SoundMixer.h"
#include "platform/window/Window.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <vector>

#include <tremor/ivorbisfile.h>

namespace
{

void Mix32ResampledVoices(benchmark::State& state)
{
    platform::HeadlessSoundOutput output;
    std::unique_ptr<platform::SoundDevice> device;
    platform::SoundDevice::Create(device);
    device->SetCooperativeLevel(platform::kMainWindow, platform::DSSCL_PRIORITY);
    std::vector<std::unique_ptr<platform::SoundBuffer>> voices;
    for (int v = 0; v < 32; ++v)
    {
        const int channels = 1 + v % 2;
        const uint32_t rate = 22050 + uint32_t(v) * 997; // every voice resampled
        const uint32_t frames = rate;                    // a second
        platform::SoundBufferDesc desc;
        desc.bufferBytes = frames * uint32_t(channels) * 2;
        desc.format = {1, uint16_t(channels), rate, rate * channels * 2, uint16_t(channels * 2), 16};
        std::unique_ptr<platform::SoundBuffer> buffer;
        device->CreateSoundBuffer(desc, buffer);
        uint8_t* data = nullptr;
        buffer->Lock(0, desc.bufferBytes, data);
        int16_t* samples = reinterpret_cast<int16_t*>(data);
        for (uint32_t i = 0; i < frames * uint32_t(channels); ++i)
            samples[i] = int16_t(8000 * std::sin(i * 0.01 * (v + 1)));
        buffer->SetVolume(-300);
        buffer->SetPan(v * 500 - 8000);
        buffer->Play(platform::DSBPLAY_LOOPING);
        voices.push_back(std::move(buffer));
    }
    std::vector<int16_t> out(441 * 2);
    for (auto _ : state)
    {
        platform::SoundMixer::Get().Mix(out.data(), 441);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetLabel("10 ms of output");
}
BENCHMARK(Mix32ResampledVoices)->Unit(benchmark::kMicrosecond);

const char* const kOgg = KAVO_BENCH_OGG;

void OggThroughTheSoundManager(benchmark::State& state)
{
    platform::HeadlessSoundOutput output;
    Kavo::DSoundManager manager(platform::kMainWindow, false);
    for (auto _ : state)
    {
        if (!manager.LoadOgg(0, kOgg)) state.SkipWithError("the file does not decode");
        manager.ReleaseSound(0);
    }
}
BENCHMARK(OggThroughTheSoundManager)->Unit(benchmark::kMillisecond);

// The decoder's own loop: open, ov_read until the end, into one buffer of the whole length.
void OggReferenceLoop(benchmark::State& state)
{
    for (auto _ : state)
    {
        std::FILE* file = std::fopen(kOgg, "rb");
        OggVorbis_File vf;
        if (!file || ov_open(file, &vf, nullptr, 0) < 0)
        {
            state.SkipWithError("the file does not open");
            break;
        }
        std::vector<char> pcm(size_t(ov_pcm_total(&vf, -1)) * size_t(ov_info(&vf, -1)->channels) * 2);
        size_t done = 0;
        int section = 0;
        for (long n; done < pcm.size() &&
                     (n = ov_read(&vf, pcm.data() + done, int(pcm.size() - done), &section)) > 0;)
            done += size_t(n);
        benchmark::DoNotOptimize(pcm.data());
        ov_clear(&vf);
    }
}
BENCHMARK(OggReferenceLoop)->Unit(benchmark::kMillisecond);

} // namespace
