#include "platform/sound/SoundFilePlayer.h"

#include "platform/music/MusicChannel.h"
#include "platform/sound/SoundMixer.h"
#include "platform/sound/SoundOutput.h"

#include <memory>
#include <mutex>

namespace platform
{

namespace
{

struct Player
{
    // The mixer outlives the channel held here.
    Player() { SoundMixer::Get(); }

    std::mutex lock;
    std::unique_ptr<MusicChannel> channel;
    bool holdsOutput = false;
};

Player& GetPlayer()
{
    static Player player;
    return player;
}

} // namespace

bool SoundFilePlayer::PlayAsync(const std::string& path)
{
    std::unique_ptr<PcmStream> stream = PcmStream::OpenFile(path);
    if (!stream) return false;
    Player& p = GetPlayer();
    std::lock_guard<std::mutex> lock(p.lock);
    if (!p.holdsOutput)
    {
        std::string error;
        if (!SoundOutput::Acquire(error)) return false;
        p.holdsOutput = true;
    }
    p.channel = std::make_unique<MusicChannel>(std::move(stream));
    p.channel->Play(true);
    return true;
}

void SoundFilePlayer::Stop()
{
    Player& p = GetPlayer();
    std::lock_guard<std::mutex> lock(p.lock);
    p.channel.reset();
    if (p.holdsOutput) SoundOutput::Release();
    p.holdsOutput = false;
}

} // namespace platform
