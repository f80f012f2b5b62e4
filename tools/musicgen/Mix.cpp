#include "tools/musicgen/Mix.h"

#include "tools/synth/Instruments.h"
#include "tools/synth/Output.h"

#include <algorithm>
#include <cmath>
#include <deque>
#include <stdexcept>

namespace musicgen
{

using namespace synth;

namespace
{

bool IsDrum(Instrument instrument)
{
    return instrument >= Instrument::Kick;
}

// One note of a part: mono for every instrument but the pad, which is stereo of itself.
struct Voice
{
    Signal mono;
    Stereo stereo;
};

Voice RenderVoice(const Part& part, const Note& note, double held, uint32_t seed)
{
    const double hz = NoteHz(note.pitch), tone = part.tone;
    switch (part.instrument)
    {
    case Instrument::Pad:
        return {{}, Pad({hz}, held, 0.4 + (1 - tone) * 0.8, 1.2, 600 + 2600 * tone, seed)};
    case Instrument::Bass:
        return {Bass(hz, held, tone), {}};
    case Instrument::Sub:
        return {Bass(hz, held, 0), {}};
    case Instrument::Pluck:
        return {Pluck(hz, held + 0.35, tone, 1.6, seed), {}};
    case Instrument::Keys:
        return {FmBell(hz, held + 0.5, 1.0, 0.6 + tone, 0.5 + held * 0.5), {}};
    case Instrument::Bell:
        return {FmBell(hz, held + 0.9, 3.5, 0.3 + tone, 0.45), {}};
    case Instrument::Glass:
        return {Chime(hz, held + 1.4, tone), {}};
    case Instrument::Lead:
        return {Lead(hz, held, tone, 1.1), {}};
    case Instrument::Kick:
        return {Kick(tone, 0.45), {}};
    case Instrument::Snare:
        return {Snare(seed, 0.3), {}};
    case Instrument::Clap:
        return {Clap(seed), {}};
    case Instrument::Hat:
        return {Hat(seed, 0.05), {}};
    case Instrument::OpenHat:
        return {Hat(seed, 0.28), {}};
    case Instrument::Shaker:
        return {Shaker(seed), {}};
    case Instrument::Tom:
        return {Tom(hz), {}};
    case Instrument::Rim:
        return {Block(hz, seed), {}};
    case Instrument::Riser:
        return {NoiseSweep(300, 7000, held, 2.0, 0.96, seed), {}};
    }
    return {};
}

// Adds a voice into a loop at frame `at`, a mono one panned; what runs past the end goes on from
// the start.
void AddWrapped(Stereo& loop, const Voice& voice, size_t at, float gain, float pan)
{
    if (gain == 0) return;
    float gl = gain, gr = gain;
    if (voice.stereo.Frames() == 0) PanGains(pan, gl, gr), gl *= gain, gr *= gain;
    const float* left = voice.stereo.Frames() ? voice.stereo.left.data() : voice.mono.data();
    const float* right = voice.stereo.Frames() ? voice.stereo.right.data() : voice.mono.data();
    size_t frames = voice.stereo.Frames() ? voice.stereo.Frames() : voice.mono.size();
    size_t n = loop.Frames();
    for (size_t i = 0, j = at % n; i < frames; ++i, j = j + 1 == n ? 0 : j + 1)
    {
        loop.left[j] += left[i] * gl;
        loop.right[j] += right[i] * gr;
    }
}

// Runs a stateful effect over the loop twice and keeps the second pass: the state the effect
// starts that pass with is the one the loop's end leaves it in.
template <typename Effect>
Stereo ProcessLoop(const Stereo& in, Effect effect)
{
    Stereo out(in.Frames());
    float l, r;
    for (size_t i = 0; i < in.Frames(); ++i)
        effect.Process(in.left[i], in.right[i], l, r);
    for (size_t i = 0; i < in.Frames(); ++i)
        effect.Process(in.left[i], in.right[i], out.left[i], out.right[i]);
    return out;
}

// Removes what lies below hearing, so the limiter does not spend itself on it.
struct Rumble
{
    Biquad left{Biquad::Kind::HighPass, 28, 0.7}, right{Biquad::Kind::HighPass, 28, 0.7};
    void Process(float l, float r, float& outLeft, float& outRight)
    {
        outLeft = left.Process(l);
        outRight = right.Process(r);
    }
};

// A look-ahead peak limiter over a loop: the gain falls in a straight line over `ahead` frames to
// what each peak needs, and recovers with the release time constant.
void LimitLoop(Stereo& loop, double ceiling, double aheadSeconds, double releaseSeconds)
{
    const size_t n = loop.Frames(), ahead = Frames(aheadSeconds);
    std::vector<float> need(n);
    for (size_t i = 0; i < n; ++i)
    {
        double peak = std::max(std::abs(loop.left[i]), std::abs(loop.right[i]));
        need[i] = peak > ceiling ? float(ceiling / peak) : 1.0f;
    }
    // hold[j]: the least gain any frame from j to j + ahead needs (a sliding minimum, wrapping).
    std::vector<float> hold(n);
    std::deque<size_t> window;
    for (size_t k = 0; k < n + ahead; ++k)
    {
        while (!window.empty() && need[window.back() % n] >= need[k % n])
            window.pop_back();
        window.push_back(k);
        if (k < ahead) continue;
        size_t j = k - ahead;
        while (window.front() < j)
            window.pop_front();
        hold[j] = need[window.front() % n];
    }
    // The release, run round the loop twice so that its start follows on from its end.
    const float recover = float(1 - std::exp(-1 / (releaseSeconds * kRate)));
    std::vector<float> gain(n);
    float g = 1;
    for (int pass = 0; pass < 2; ++pass)
        for (size_t i = 0; i < n; ++i)
            gain[i] = g = std::min(hold[i], g + (1 - g) * recover);
    // The mean of the last ahead + 1 gains: each of them is at most what frame i needs.
    double sum = 0;
    for (size_t k = n - ahead; k < n; ++k)
        sum += gain[k];
    std::vector<float> smooth(n);
    for (size_t i = 0; i < n; ++i)
    {
        sum += gain[i];
        smooth[i] = float(sum / double(ahead + 1));
        sum -= gain[(i + n - ahead) % n];
    }
    for (size_t i = 0; i < n; ++i)
    {
        loop.left[i] *= smooth[i];
        loop.right[i] *= smooth[i];
    }
}

} // namespace

size_t LoopFrames(const Song& song)
{
    const int64_t perBar = int64_t(kRate) * 240;
    if (song.bpm <= 0 || perBar % song.bpm != 0)
        throw std::invalid_argument(song.name + ": a bar at " + std::to_string(song.bpm) +
                                    " bpm is not whole frames");
    return size_t(perBar / song.bpm * song.bars);
}

Stereo RenderLoop(const Song& song, double ceiling)
{
    const size_t n = LoopFrames(song);
    const double framesPerBeat = kRate * 60.0 / song.bpm;
    Stereo dry(n), hallSend(n), echoSend(n);
    uint32_t seed = 1;
    for (size_t p = 0; p < song.parts.size(); ++p)
    {
        const Part& part = song.parts[p];
        // Players are not machines: melodic notes move by up to a millisecond and a half, and every
        // note's strength by up to six percent.
        Noise human(uint32_t(1000 + p));
        for (const Note& note : part.notes)
        {
            double shift = IsDrum(part.instrument) ? 0 : human.Uniform(-0.0015, 0.0015) * kRate;
            float velocity = note.velocity * float(human.Uniform(0.94, 1.06));
            int64_t start = std::llround(note.beat * framesPerBeat + shift);
            start = ((start % int64_t(n)) + int64_t(n)) % int64_t(n);
            Voice voice = RenderVoice(part, note, note.beats * 60 / song.bpm, seed++);
            float gain = part.gain * velocity;
            AddWrapped(dry, voice, size_t(start), gain, part.pan);
            AddWrapped(hallSend, voice, size_t(start), gain * part.reverb, part.pan);
            AddWrapped(echoSend, voice, size_t(start), gain * part.echo, part.pan);
        }
    }
    Stereo echoes =
        ProcessLoop(echoSend, PingPong(song.echo.beats * 60 / song.bpm, song.echo.feedback, 3500));
    dry.Add(echoes, 0, 1);
    hallSend.Add(echoes, 0, 0.5f);
    dry.Add(ProcessLoop(hallSend, Reverb(song.hall.size, song.hall.decay, 7000, 0.02)), 0, 1);
    Stereo mix = ProcessLoop(dry, Rumble{});
    Scale(mix, DbToGain(song.loudnessDb - AverageLoudnessDb(mix)));
    LimitLoop(mix, ceiling, 0.003, 0.12);
    return mix;
}

} // namespace musicgen
