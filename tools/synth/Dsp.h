#pragma once

#include "base/MersenneTwister.h"

#include <cstdint>
#include <string_view>
#include <vector>

// The signal pieces the sound and music generators build their instruments from: oscillators,
// envelopes, noise, filters, delay lines and a reverberator. Everything runs at one rate and is
// deterministic: noise comes from seeded generators, never from the clock.
namespace synth
{

constexpr int kRate = 44100;
constexpr double kPi = 3.14159265358979323846;

using Signal = std::vector<float>;

struct Stereo
{
    Signal left, right;

    Stereo() = default;
    explicit Stereo(size_t frames) : left(frames), right(frames) {}
    size_t Frames() const { return left.size(); }
    // Adds mono into both sides at frame `at` with equal-power pan (-1 left to 1 right).
    void Add(const Signal& mono, size_t at, float gain, float pan = 0);
    void Add(const Stereo& other, size_t at, float gain);
};

// Frequency of a note number (69 is A4, 440 Hz); fractional numbers bend between notes.
double NoteHz(double note);
// "C4" is 60, "F#3" 54, "Bb2" 46, "Eb5" 75. Throws std::invalid_argument on anything else.
int NoteNumber(std::string_view name);
double DbToGain(double db);
double GainToDb(double gain);
size_t Frames(double seconds);
// Equal-power pan gains for -1 (left) to 1 (right).
void PanGains(float pan, float& left, float& right);

// White, pink and brown noise from a seeded generator.
class Noise
{
public:
    explicit Noise(uint32_t seed) : mTwister(seed) {}
    float White(); // -1 to 1
    float Pink();
    float Brown();
    // A uniform number from lo to hi.
    double Uniform(double lo, double hi);

private:
    Kavo::MersenneTwister mTwister;
    float mPink[7] = {};
    float mBrown = 0;
};

// A phase accumulator with band-limited saw and square (polynomial steps at the edges).
class Oscillator
{
public:
    explicit Oscillator(double hz = 440, double phase = 0) : mPhase(phase) { SetFrequency(hz); }
    void SetFrequency(double hz) { mStep = hz / kRate; }
    double Phase() const { return mPhase; }
    // Each call gives the current value and advances one sample.
    float Sine();
    float Triangle();
    float Saw();
    float Square(double width = 0.5);

private:
    void Advance();
    double mPhase;
    double mStep = 0;
};

// Attack, decay to a sustain level, release after the note is let go. Curves end exactly at 0.
struct Envelope
{
    double attack = 0.005; // seconds to full level
    double decay = 0.2;    // time constant of the fall to the sustain level
    double sustain = 1;    // level held while the note is down
    double release = 0.2;  // seconds from the release level to silence

    // Level at time t of a note held for `held` seconds.
    float At(double t, double held) const;
    double Length(double held) const { return held + release; }
};

// A strike that rings away: attack, then exp(-t / decay), faded to 0 over the last `tail` seconds
// before `length`.
float Strike(double t, double attack, double decay, double length, double tail = 0.05);

// Smooth 0 to 1 over [0, 1] with zero slope at both ends.
double SmoothStep(double x);

// A state-variable filter (trapezoidal), stable while its frequency moves every sample.
class Svf
{
public:
    Svf() { Set(1000, 0.707); }
    void Set(double hz, double q);
    struct Out
    {
        float low, band, high;
    };
    Out Process(float x);
    float Low(float x) { return Process(x).low; }
    float Band(float x) { return Process(x).band; }
    float High(float x) { return Process(x).high; }

private:
    double mA1 = 0, mA2 = 0, mA3 = 0, mK = 1;
    double mIc1 = 0, mIc2 = 0;
};

// Biquad sections after the audio-EQ cookbook, for fixed equalisation.
class Biquad
{
public:
    enum class Kind
    {
        LowPass,
        HighPass,
        BandPass,
        Peak,
        LowShelf,
        HighShelf
    };
    Biquad(Kind kind, double hz, double q, double gainDb = 0);
    float Process(float x);

private:
    double mB0, mB1, mB2, mA1, mA2;
    double mX1 = 0, mX2 = 0, mY1 = 0, mY2 = 0;
};

// One-pole low-pass; High gives the rest of the signal.
class OnePole
{
public:
    explicit OnePole(double hz = 1000) { Set(hz); }
    void Set(double hz);
    float Low(float x);
    float High(float x) { return x - Low(x); }

private:
    double mCoefficient = 0;
    double mState = 0;
};

// A delay line read at fractional positions.
class DelayLine
{
public:
    explicit DelayLine(size_t capacity);
    void Write(float x);
    // The sample written `delay` samples ago (1 is the last one written).
    float Read(double delay) const;

private:
    std::vector<float> mBuffer;
    size_t mPosition = 0;
};

// Stereo echo whose repeats cross between the sides and darken.
class PingPong
{
public:
    PingPong(double seconds, double feedback, double dampHz);
    void Process(float inLeft, float inRight, float& outLeft, float& outRight);

private:
    DelayLine mLeft, mRight;
    OnePole mDampLeft, mDampRight;
    double mDelay, mFeedback;
};

// A feedback-delay-network hall: diffused input, eight damped lines mixed through a Householder
// matrix, decorrelated left and right outputs.
class Reverb
{
public:
    // size scales the line lengths (1 is a large hall), decaySeconds is the time to fall 60 dB.
    Reverb(double size, double decaySeconds, double dampHz, double preDelaySeconds);
    void Process(float inLeft, float inRight, float& outLeft, float& outRight);

private:
    static constexpr int kLines = 8;
    DelayLine mPreDelay;
    std::vector<DelayLine> mDiffusers;
    std::vector<double> mDiffuserLengths;
    std::vector<DelayLine> mLines;
    double mLengths[kLines];
    double mGains[kLines];
    OnePole mDamping[kLines];
    double mPreDelayLength;
};

// Runs a reverberator over a whole stereo signal; returns the wet signal only.
Stereo ApplyReverb(const Stereo& dry, Reverb reverb);

} // namespace synth
