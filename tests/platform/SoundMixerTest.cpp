#include "platform/sound/SoundMixer.h"
#include "platform/files/LittleEndian.h"
#include "platform/sound/HeadlessSoundOutput.h"
#include "platform/sound/SoundBuffer.h"
#include "platform/sound/SoundDevice.h"
#include "platform/system/FakeClock.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

namespace
{

using namespace platform;

class SoundMixerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(SoundDevice::Create(mDevice), DS_OK);
        ASSERT_EQ(mDevice->SetCooperativeLevel(kMainWindow, DSSCL_PRIORITY), DS_OK);
    }

    // A 16-bit buffer holding these samples (interleaved when stereo).
    std::unique_ptr<SoundBuffer> Buffer(int channels, uint32_t rate, const std::vector<int16_t>& samples)
    {
        SoundBufferDesc desc;
        desc.flags = DSBCAPS_STATIC | DSBCAPS_CTRLVOLUME | DSBCAPS_CTRLPAN | DSBCAPS_CTRLFREQUENCY;
        desc.bufferBytes = uint32_t(samples.size() * 2);
        desc.format =
            SoundFormat{1, uint16_t(channels), rate, rate * channels * 2, uint16_t(channels * 2), 16};
        std::unique_ptr<SoundBuffer> buffer;
        EXPECT_EQ(mDevice->CreateSoundBuffer(desc, buffer), DS_OK);
        uint8_t* data = nullptr;
        EXPECT_EQ(buffer->Lock(0, desc.bufferBytes, data), DS_OK);
        std::memcpy(data, samples.data(), desc.bufferBytes);
        buffer->Unlock();
        return buffer;
    }

    static std::vector<int16_t> Left(const std::vector<int16_t>& stereo)
    {
        std::vector<int16_t> left;
        for (size_t i = 0; i < stereo.size(); i += 2)
            left.push_back(stereo[i]);
        return left;
    }

    FakeClock mClock;
    HeadlessSoundOutput mOutput;
    std::unique_ptr<SoundDevice> mDevice;
};

// Two voices at known gains add up sample by sample.
TEST_F(SoundMixerTest, VoicesAddUpAtTheirGains)
{
    auto mono = Buffer(1, 44100, std::vector<int16_t>(100, 1000));
    auto stereo = Buffer(2, 44100, {300, -200, 300, -200, 300, -200, 300, -200});
    ASSERT_EQ(mono->SetPan(DSBPAN_LEFT), DS_OK); // the right side is silent
    ASSERT_EQ(mono->Play(0), DS_OK);
    ASSERT_EQ(stereo->Play(DSBPLAY_LOOPING), DS_OK);
    std::vector<int16_t> out = mOutput.Pull(4);
    EXPECT_EQ(out, (std::vector<int16_t>{1300, -200, 1300, -200, 1300, -200, 1300, -200}));

    ASSERT_EQ(stereo->SetVolume(-602), DS_OK); // half: 10^(-602/2000) x 65536 = 32771
    ASSERT_EQ(mono->SetPan(2000), DS_OK);      // a tenth on the left: 6554
    ASSERT_EQ(mono->SetVolume(-10000), DS_OK); // silence
    out = mOutput.Pull(2);                     // each product is rounded down: -200 x 32771 / 65536 is -101
    EXPECT_EQ(out, (std::vector<int16_t>{150, -101, 150, -101}));
    ASSERT_EQ(mono->SetVolume(0), DS_OK);
    out = mOutput.Pull(1); // 1000 x 6554 / 65536 is 100
    EXPECT_EQ(out, (std::vector<int16_t>{150 + 100, -101 + 1000}));

    EXPECT_EQ(mono->SetVolume(1), DSERR_INVALIDPARAM);
    EXPECT_EQ(mono->SetPan(-10001), DSERR_INVALIDPARAM);
    stereo->Stop();
    mono->Stop();
    EXPECT_EQ(mOutput.Pull(1), (std::vector<int16_t>{0, 0}));
}

TEST_F(SoundMixerTest, SumsClipTo16Bits)
{
    auto a = Buffer(1, 44100, std::vector<int16_t>(8, 30000));
    auto b = Buffer(1, 44100, std::vector<int16_t>(8, 30000));
    a->Play(0);
    b->Play(0);
    EXPECT_EQ(mOutput.Pull(1), (std::vector<int16_t>{32767, 32767}));
}

// Played at another rate, a ramp comes out linearly interpolated.
TEST_F(SoundMixerTest, RatesAreResampled)
{
    auto ramp = Buffer(1, 22050, {0, 100, 200, 300, 400});
    ramp->Play(0);
    EXPECT_EQ(Left(mOutput.Pull(12)),
              (std::vector<int16_t>{0, 50, 100, 150, 200, 250, 300, 350, 400, 400, 0, 0}));

    ramp->SetCurrentPosition(0);
    ramp->SetFrequency(88200); // every other sample
    ramp->Play(DSBPLAY_LOOPING);
    EXPECT_EQ(Left(mOutput.Pull(5)), (std::vector<int16_t>{0, 200, 400, 100, 300}));
    uint32_t frequency = 0;
    ramp->GetFrequency(frequency);
    EXPECT_EQ(frequency, 88200u);
    EXPECT_EQ(ramp->SetFrequency(99), DSERR_INVALIDPARAM);
}

// On the headless output, time passes with the clock: a sound ends when its length has passed.
TEST_F(SoundMixerTest, TheClockPlaysTheVoices)
{
    auto tone = Buffer(1, 44100, std::vector<int16_t>(4410, 7)); // 100 ms
    uint32_t status = 0;
    mClock.Advance(5000); // before the start: does not count
    ASSERT_EQ(tone->Play(0), DS_OK);
    tone->GetStatus(status);
    EXPECT_EQ(status, DSBSTATUS_PLAYING);
    mClock.Advance(60);
    uint32_t position = 0;
    tone->GetCurrentPosition(position);
    EXPECT_EQ(position, 2646u * 2);
    mClock.Advance(41);
    tone->GetStatus(status);
    EXPECT_EQ(status, 0u);
    EXPECT_EQ(SoundMixer::Get().PlayingVoices(), 0);

    tone->Play(DSBPLAY_LOOPING);
    mClock.Advance(3600 * 1000); // an hour on: a looping sound still plays
    tone->GetStatus(status);
    EXPECT_EQ(status, DSBSTATUS_PLAYING | DSBSTATUS_LOOPING);
    tone->Stop();
}

TEST_F(SoundMixerTest, DuplicatesShareTheDataButNotTheState)
{
    auto source = Buffer(1, 44100, {1, 2, 3, 4});
    source->SetVolume(-300);
    std::unique_ptr<SoundBuffer> copy;
    ASSERT_EQ(mDevice->DuplicateSoundBuffer(*source, copy), DS_OK);
    int32_t volume = 0;
    copy->GetVolume(volume);
    EXPECT_EQ(volume, -300);
    uint8_t* a = nullptr;
    uint8_t* b = nullptr;
    source->Lock(0, 8, a);
    copy->Lock(0, 8, b);
    EXPECT_EQ(a, b);
    copy->Play(0);
    uint32_t status = 0;
    source->GetStatus(status);
    EXPECT_EQ(status, 0u);
    source.reset(); // the copy keeps the data
    copy->SetVolume(0);
    EXPECT_EQ(Left(mOutput.Pull(2)), (std::vector<int16_t>{1, 2}));
}

TEST_F(SoundMixerTest, BuffersTheMixerCannotPlayAreRefused)
{
    struct Case
    {
        const char* what;
        SoundFormat format;
        uint32_t bytes;
    } cases[] = {
        {"three channels", {1, 3, 8000, 48000, 6, 16}, 60},
        {"no channels", {1, 0, 8000, 0, 0, 16}, 60},
        {"24 bits", {1, 1, 8000, 24000, 3, 24}, 60},
        {"rate 0", {1, 1, 0, 0, 2, 16}, 60},
        {"rate too high", {1, 1, 200001, 400002, 2, 16}, 60},
        {"alignment", {1, 2, 8000, 32000, 2, 16}, 60},
        {"format 3", {3, 1, 8000, 32000, 4, 32}, 60},
        {"too small", {1, 1, 8000, 16000, 2, 16}, 2},
        {"too large", {1, 1, 8000, 16000, 2, 16}, DSBSIZE_MAX + 1},
    };
    for (const Case& c : cases)
    {
        SoundBufferDesc desc;
        desc.bufferBytes = c.bytes;
        desc.format = c.format;
        std::unique_ptr<SoundBuffer> buffer;
        EXPECT_EQ(mDevice->CreateSoundBuffer(desc, buffer), DSERR_INVALIDPARAM) << c.what;
        EXPECT_FALSE(buffer) << c.what;
    }
    auto ok = Buffer(1, 8000, {1, 2});
    uint8_t* data = nullptr;
    EXPECT_EQ(ok->Lock(2, 4, data), DSERR_INVALIDPARAM);
    EXPECT_EQ(ok->Lock(0xFFFFFFFF, 2, data), DSERR_INVALIDPARAM);
}

} // namespace
