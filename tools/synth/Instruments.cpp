#include "tools/synth/Instruments.h"

#include <algorithm>
#include <cmath>

namespace synth
{

namespace
{

constexpr double kTopHz = 17000; // partials above this are left out

double Cents(double cents)
{
    return std::pow(2.0, cents / 1200);
}

// Fades the last `tail` seconds of a signal to silence.
void FadeOut(Signal& s, double tail)
{
    size_t n = std::min(s.size(), Frames(tail));
    for (size_t i = 0; i < n; ++i)
        s[s.size() - 1 - i] *= float(SmoothStep(double(i) / double(n)));
}

} // namespace

Signal Chime(double hz, double seconds, double brightness)
{
    struct Partial
    {
        double ratio, level, decay;
    };
    // The modes of a free bar, an octave for warmth and a slightly sharp twin of the fundamental
    // that beats slowly against it.
    const Partial partials[] = {{1.0, 1.0, 1.0},
                                {1.0013, 0.3, 0.8},
                                {2.0, 0.18, 0.5},
                                {2.76, 0.42 * brightness, 0.4},
                                {4.07, 0.12 * brightness, 0.28},
                                {5.40, 0.2 * brightness, 0.2},
                                {8.93, 0.09 * brightness * brightness, 0.11}};
    Signal out(Frames(seconds));
    const double decay = seconds * 0.3;
    double phase = 0.13;
    for (const Partial& p : partials)
    {
        double f = hz * p.ratio;
        if (f > kTopHz || p.level <= 0) continue;
        Oscillator osc(f, phase);
        phase += 0.29;
        for (size_t i = 0; i < out.size(); ++i)
        {
            double t = double(i) / kRate;
            out[i] += float(p.level * osc.Sine() * Strike(t, 0.003, decay * p.decay, seconds, 0.08));
        }
    }
    return out;
}

Signal FmBell(double hz, double seconds, double ratio, double index, double decay)
{
    Signal out(Frames(seconds));
    double carrier = 0, modulator = 0;
    for (size_t i = 0; i < out.size(); ++i)
    {
        double t = double(i) / kRate;
        double depth = index * (0.15 + 0.85 * std::exp(-t / (decay * 0.3)));
        double m = std::sin(2 * kPi * modulator) * depth;
        out[i] = float(std::sin(2 * kPi * carrier + m) * Strike(t, 0.002, decay, seconds, 0.06));
        carrier += hz / kRate;
        modulator += hz * ratio / kRate;
        carrier -= std::floor(carrier);
        modulator -= std::floor(modulator);
    }
    return out;
}

Signal Pluck(double hz, double seconds, double brightness, double ring, uint32_t seed)
{
    Noise noise(seed);
    // The two-point average in the loop adds half a sample to the period.
    double period = kRate / hz - 0.5;
    DelayLine loop(size_t(period) + 4);
    double feedback = std::pow(10.0, -3 / (ring * hz));
    OnePole colour(300 + brightness * 9000);
    OnePole dc(20);
    Signal out(Frames(seconds));
    float previous = 0;
    for (size_t i = 0; i < out.size(); ++i)
    {
        float excite = double(i) < period ? colour.Low(noise.White()) : 0.f;
        float delayed = loop.Read(period);
        float y = excite + float(feedback) * 0.5f * (delayed + previous);
        previous = delayed;
        loop.Write(y);
        out[i] = dc.High(y);
    }
    // A soft start so the burst does not click.
    for (size_t i = 0; i < std::min(out.size(), Frames(0.002)); ++i)
        out[i] *= float(SmoothStep(double(i) / double(Frames(0.002))));
    FadeOut(out, std::min(0.08, seconds / 3));
    return out;
}

Stereo Pad(const std::vector<double>& hz, double held, double attack, double release, double cutoffHz,
           uint32_t seed)
{
    Noise noise(seed);
    Envelope envelope{attack, 1, 1, release};
    Stereo out(Frames(envelope.Length(held)));
    const double spread = 9; // cents either side
    const float scale = float(0.5 / std::sqrt(double(std::max<size_t>(1, hz.size()))));
    for (double f : hz)
    {
        Oscillator low(f * Cents(-spread), noise.Uniform(0, 1));
        Oscillator mid(f, noise.Uniform(0, 1));
        Oscillator high(f * Cents(spread), noise.Uniform(0, 1));
        Oscillator sub(f / 2, 0);
        Svf left, right;
        double lfoPhase = noise.Uniform(0, 1);
        for (size_t i = 0; i < out.Frames(); ++i)
        {
            double t = double(i) / kRate;
            if (i % 32 == 0)
            {
                double breathe = 1 + 0.2 * std::sin(2 * kPi * (0.11 * t + lfoPhase));
                double cutoff = std::min(cutoffHz * breathe, 16000.0);
                left.Set(cutoff, 0.6);
                right.Set(cutoff * 1.04, 0.6);
            }
            float level = envelope.At(t, held) * scale;
            float centre = mid.Saw() * 0.6f;
            float s = sub.Sine() * 0.25f;
            out.left[i] += left.Low(low.Saw() + centre + s) * level;
            out.right[i] += right.Low(high.Saw() + centre + s) * level;
        }
    }
    return out;
}

Signal Bass(double hz, double held, double edge)
{
    Envelope envelope{0.004, 0.25, 0.75, 0.06};
    Signal out(Frames(envelope.Length(held)));
    Oscillator body(hz), saw(hz * Cents(3));
    Svf filter;
    for (size_t i = 0; i < out.size(); ++i)
    {
        double t = double(i) / kRate;
        if (i % 16 == 0) filter.Set(hz * (2.5 + 7 * std::exp(-t / 0.07)), 0.9);
        float tone = body.Sine() + float(edge) * filter.Low(saw.Saw() * 0.6f);
        out[i] = tone * envelope.At(t, held);
    }
    return out;
}

Signal Lead(double hz, double held, double brightness, double resonance)
{
    Envelope envelope{0.008, 0.3, 0.7, 0.12};
    Signal out(Frames(envelope.Length(held)));
    Oscillator saw(hz), detuned(hz * Cents(7)), pulse(hz * Cents(-4)), vibrato(5.3);
    Svf filter;
    for (size_t i = 0; i < out.size(); ++i)
    {
        double t = double(i) / kRate;
        double wobble = 0.12 * SmoothStep((t - 0.25) / 0.4) * vibrato.Sine();
        double bend = std::pow(2.0, wobble / 12);
        saw.SetFrequency(hz * bend);
        detuned.SetFrequency(hz * bend * Cents(7));
        pulse.SetFrequency(hz * bend * Cents(-4));
        if (i % 16 == 0)
            filter.Set(std::min(hz * (1.5 + brightness * 9 * std::exp(-t / 0.2)), 14000.0), resonance);
        float tone = saw.Saw() + 0.5f * detuned.Saw() + 0.4f * pulse.Square(0.3);
        out[i] = filter.Low(tone * 0.5f) * envelope.At(t, held);
    }
    return out;
}

Signal Brass(double hz, double held, double brightness)
{
    Envelope envelope{0.04, 0.4, 0.8, 0.15};
    Signal out(Frames(envelope.Length(held)));
    Oscillator a(hz), b(hz), vibrato(5.5);
    Svf filter;
    for (size_t i = 0; i < out.size(); ++i)
    {
        double t = double(i) / kRate;
        double scoop = -0.3 * (1 - SmoothStep(t / 0.05));
        double wobble = 0.1 * SmoothStep((t - 0.3) / 0.3) * vibrato.Sine();
        double f = hz * std::pow(2.0, (scoop + wobble) / 12);
        a.SetFrequency(f * Cents(-5));
        b.SetFrequency(f * Cents(5));
        float level = envelope.At(t, held);
        if (i % 16 == 0) filter.Set(std::min(hz * (1 + brightness * 6 * level), 15000.0), 0.8);
        out[i] = filter.Low((a.Saw() + b.Saw()) * 0.5f) * level;
    }
    return out;
}

Signal Kick(double punch, double length)
{
    Signal out(Frames(length));
    Noise noise(7);
    OnePole click(4000);
    double phase = 0;
    for (size_t i = 0; i < out.size(); ++i)
    {
        double t = double(i) / kRate;
        double f = 46 + (40 + 110 * punch) * std::exp(-t / 0.03);
        phase += f / kRate;
        double body = std::sin(2 * kPi * phase) * Strike(t, 0.001, length * 0.4, length, length * 0.3);
        double snap = click.Low(noise.White()) * std::exp(-t / 0.003) * 0.5 * punch;
        out[i] = float(body + snap);
    }
    return out;
}

Signal Snare(uint32_t seed, double length)
{
    Signal out(Frames(length));
    Noise noise(seed);
    Biquad low(Biquad::Kind::HighPass, 1200, 0.7), high(Biquad::Kind::LowPass, 9000, 0.7);
    for (size_t i = 0; i < out.size(); ++i)
    {
        double t = double(i) / kRate;
        double tone = 0.5 * std::sin(2 * kPi * 185 * t) * std::exp(-t / 0.05) +
                      0.3 * std::sin(2 * kPi * 331 * t) * std::exp(-t / 0.03);
        double rattle = high.Process(low.Process(noise.White())) * std::exp(-t / 0.1);
        out[i] = float((tone + rattle) * Strike(t, 0.0005, 10, length, length * 0.4));
    }
    return out;
}

Signal Clap(uint32_t seed)
{
    const double length = 0.35;
    Signal out(Frames(length));
    Noise noise(seed);
    Biquad band(Biquad::Kind::BandPass, 1150, 0.9), air(Biquad::Kind::HighPass, 700, 0.7);
    const double bursts[] = {0, 0.009, 0.019, 0.031};
    for (size_t i = 0; i < out.size(); ++i)
    {
        double t = double(i) / kRate;
        double level = 0;
        for (double b : bursts)
            if (t >= b) level = std::max(level, std::exp(-(t - b) / 0.006));
        if (t >= bursts[3]) level = std::max(level, 0.6 * std::exp(-(t - bursts[3]) / 0.09));
        double n = noise.White();
        out[i] = float((band.Process(float(n)) * 2.5 + air.Process(float(n)) * 0.3) * level *
                       Strike(t, 0.0005, 10, length, 0.1));
    }
    return out;
}

Signal Hat(uint32_t seed, double length)
{
    Signal out(Frames(length));
    Noise noise(seed);
    // Square waves at unrelated frequencies give the metal; the noise gives the air.
    static const double kMetal[] = {317, 421, 557, 683, 829, 1013};
    std::vector<Oscillator> metal;
    for (double f : kMetal)
        metal.emplace_back(f * 2.3, noise.Uniform(0, 1));
    Biquad high(Biquad::Kind::HighPass, 7000, 0.7), shine(Biquad::Kind::Peak, 10500, 1.2, 4);
    for (size_t i = 0; i < out.size(); ++i)
    {
        double t = double(i) / kRate;
        double m = 0;
        for (Oscillator& o : metal)
            m += o.Square();
        double v = shine.Process(high.Process(float(noise.White() * 0.8 + m * 0.06)));
        out[i] = float(v * Strike(t, 0.0008, length * 0.3, length, length * 0.3));
    }
    return out;
}

Signal Shaker(uint32_t seed)
{
    const double length = 0.16;
    Signal out(Frames(length));
    Noise noise(seed);
    Biquad band(Biquad::Kind::BandPass, 6200, 1.1);
    for (size_t i = 0; i < out.size(); ++i)
    {
        double t = double(i) / kRate;
        out[i] = float(band.Process(noise.White()) * 2 * Strike(t, 0.014, 0.045, length, 0.05));
    }
    return out;
}

Signal Tom(double hz)
{
    const double length = 0.6;
    Signal out(Frames(length));
    Noise noise(11);
    double phase = 0;
    for (size_t i = 0; i < out.size(); ++i)
    {
        double t = double(i) / kRate;
        phase += hz * (1 + 0.6 * std::exp(-t / 0.05)) / kRate;
        out[i] = float((std::sin(2 * kPi * phase) + noise.White() * 0.15 * std::exp(-t / 0.01)) *
                       Strike(t, 0.001, 0.22, length, 0.15));
    }
    return out;
}

Signal Block(double hz, uint32_t seed)
{
    const double length = 0.09;
    Signal out(Frames(length));
    Noise noise(seed);
    Biquad band(Biquad::Kind::BandPass, hz * 1.8, 1.5);
    for (size_t i = 0; i < out.size(); ++i)
    {
        double t = double(i) / kRate;
        double v = std::sin(2 * kPi * hz * t) * std::exp(-t / 0.012) +
                   0.35 * std::sin(2 * kPi * hz * 1.47 * t) * std::exp(-t / 0.006) +
                   band.Process(noise.White()) * 1.5 * std::exp(-t / 0.005);
        out[i] = float(v * Strike(t, 0.0005, 10, length, 0.04));
    }
    return out;
}

Signal NoiseSweep(double fromHz, double toHz, double seconds, double q, double peakAt, uint32_t seed)
{
    Signal out(Frames(seconds));
    Noise noise(seed);
    Svf filter;
    peakAt = std::clamp(peakAt, 0.01, 0.99);
    for (size_t i = 0; i < out.size(); ++i)
    {
        double x = double(i) / double(out.size());
        if (i % 16 == 0) filter.Set(fromHz * std::pow(toHz / fromHz, x), q);
        double level = x < peakAt ? SmoothStep(x / peakAt) : SmoothStep((1 - x) / (1 - peakAt));
        out[i] = float(filter.Band(noise.Pink()) * level);
    }
    return out;
}

Signal Glide(double fromHz, double toHz, double seconds, double decay)
{
    Signal out(Frames(seconds));
    double phase = 0;
    for (size_t i = 0; i < out.size(); ++i)
    {
        double t = double(i) / kRate;
        phase += fromHz * std::pow(toHz / fromHz, t / seconds) / kRate;
        out[i] = float(std::sin(2 * kPi * phase) * Strike(t, 0.003, decay, seconds, seconds * 0.2));
    }
    return out;
}

} // namespace synth
