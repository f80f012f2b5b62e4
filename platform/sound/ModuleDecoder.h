#pragma once

#include "platform/sound/PcmStream.h"

#include <string>

struct openmpt_module;

namespace platform
{

// A tracker module on the disk rendered at 44,100 Hz stereo (libopenmpt). It plays once, or
// follows its own loop when asked to loop.
class ModuleDecoder : public PcmStream
{
public:
    static constexpr uint64_t kMostFileBytes = 64u << 20;

    ModuleDecoder() = default;
    ~ModuleDecoder() override;
    ModuleDecoder(const ModuleDecoder&) = delete;
    ModuleDecoder& operator=(const ModuleDecoder&) = delete;

    // False when the file is no module libopenmpt knows, or is larger than kMostFileBytes.
    bool OpenFile(const std::string& path);

    int Channels() const override { return 2; }
    uint32_t Rate() const override { return 44100; }
    int ReadFrames(int16_t* out, int frames) override;
    bool SeekFrame(int64_t frame) override;
    int64_t LengthFrames() override;
    bool SetLooping(bool looping) override;

    // Moves to a row of an order; false outside the song.
    bool SetOrderRow(int order, int row);
    int Order() const;
    int Row() const;
    int Orders() const;
    // Gain in millibels (0 is as written).
    void SetGain(int millibels);

private:
    openmpt_module* mModule = nullptr;
};

} // namespace platform
