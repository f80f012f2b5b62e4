#include "tools/synth/Dsp.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <string>

namespace synth
{

void Stereo::Add(const Signal& mono, size_t at, float gain, float pan)
{
    float gl, gr;
    PanGains(pan, gl, gr);
    size_t end = std::min(left.size(), at + mono.size());
    for (size_t i = at; i < end; ++i)
    {
        left[i] += mono[i - at] * gain * gl;
        right[i] += mono[i - at] * gain * gr;
    }
}

void Stereo::Add(const Stereo& other, size_t at, float gain)
{
    size_t end = std::min(left.size(), at + other.Frames());
    for (size_t i = at; i < end; ++i)
    {
        left[i] += other.left[i - at] * gain;
        right[i] += other.right[i - at] * gain;
    }
}

double NoteHz(double note)
{
    return 440.0 * std::pow(2.0, (note - 69) / 12);
}

int NoteNumber(std::string_view name)
{
    static const int kSemitones[7] = {9, 11, 0, 2, 4, 5, 7}; // A to G
    if (name.size() < 2 || name[0] < 'A' || name[0] > 'G') throw std::invalid_argument(std::string(name));
    int semitone = kSemitones[name[0] - 'A'];
    size_t at = 1;
    if (name[at] == '#')
        ++semitone, ++at;
    else if (name[at] == 'b')
        --semitone, ++at;
    if (at + 1 != name.size() || name[at] < '0' || name[at] > '9')
        throw std::invalid_argument(std::string(name));
    return (name[at] - '0' + 1) * 12 + semitone;
}

double DbToGain(double db)
{
    return std::pow(10.0, db / 20);
}

double GainToDb(double gain)
{
    return 20 * std::log10(std::max(gain, 1e-12));
}

size_t Frames(double seconds)
{
    return size_t(std::lround(seconds * kRate));
}

void PanGains(float pan, float& left, float& right)
{
    double angle = (std::clamp(double(pan), -1.0, 1.0) + 1) * kPi / 4;
    left = float(std::cos(angle) * std::sqrt(2.0));
    right = float(std::sin(angle) * std::sqrt(2.0));
}

float Noise::White()
{
    return float(mTwister.Next() / 1073741823.5 - 1.0);
}

float Noise::Pink()
{
    // Seven one-pole bands whose sum falls 3 dB per octave.
    float w = White();
    mPink[0] = 0.99886f * mPink[0] + w * 0.0555179f;
    mPink[1] = 0.99332f * mPink[1] + w * 0.0750759f;
    mPink[2] = 0.96900f * mPink[2] + w * 0.1538520f;
    mPink[3] = 0.86650f * mPink[3] + w * 0.3104856f;
    mPink[4] = 0.55000f * mPink[4] + w * 0.5329522f;
    mPink[5] = -0.7616f * mPink[5] - w * 0.0168980f;
    float pink = mPink[0] + mPink[1] + mPink[2] + mPink[3] + mPink[4] + mPink[5] + mPink[6] + w * 0.5362f;
    mPink[6] = w * 0.115926f;
    return pink * 0.11f;
}

float Noise::Brown()
{
    mBrown = 0.996f * mBrown + 0.06f * White();
    return mBrown;
}

double Noise::Uniform(double lo, double hi)
{
    return lo + (hi - lo) * (mTwister.Next() / 2147483648.0);
}

namespace
{

// The correction that rounds off a jump of 2 at phase 0 over one sample either side.
double PolyBlep(double t, double dt)
{
    if (t < dt)
    {
        t /= dt;
        return t + t - t * t - 1;
    }
    if (t > 1 - dt)
    {
        t = (t - 1) / dt;
        return t * t + t + t + 1;
    }
    return 0;
}

} // namespace

void Oscillator::Advance()
{
    mPhase += mStep;
    mPhase -= std::floor(mPhase);
}

float Oscillator::Sine()
{
    float v = float(std::sin(2 * kPi * mPhase));
    Advance();
    return v;
}

float Oscillator::Triangle()
{
    float v = float(mPhase < 0.5 ? 4 * mPhase - 1 : 3 - 4 * mPhase);
    Advance();
    return v;
}

float Oscillator::Saw()
{
    float v = float(2 * mPhase - 1 - PolyBlep(mPhase, mStep));
    Advance();
    return v;
}

float Oscillator::Square(double width)
{
    double second = mPhase + (1 - width);
    second -= std::floor(second);
    double v = (mPhase < width ? 1.0 : -1.0) + PolyBlep(mPhase, mStep) - PolyBlep(second, mStep);
    Advance();
    return float(v);
}

double SmoothStep(double x)
{
    x = std::clamp(x, 0.0, 1.0);
    return x * x * (3 - 2 * x);
}

float Envelope::At(double t, double held) const
{
    auto level = [this](double time)
    {
        if (time < attack) return SmoothStep(time / attack);
        return sustain + (1 - sustain) * std::exp(-(time - attack) / decay);
    };
    if (t < 0) return 0;
    if (t < held) return float(level(t));
    double u = (t - held) / release;
    if (u >= 1) return 0;
    double fall = 1 - u;
    return float(level(held) * fall * fall * fall);
}

float Strike(double t, double attack, double decay, double length, double tail)
{
    if (t < 0 || t >= length) return 0;
    double rise = attack > 0 ? SmoothStep(t / attack) : 1.0;
    double body = std::exp(-std::max(0.0, t - attack) / decay);
    double end = t > length - tail ? SmoothStep((length - t) / tail) : 1.0;
    return float(rise * body * end);
}

void Svf::Set(double hz, double q)
{
    double g = std::tan(kPi * std::clamp(hz, 10.0, kRate * 0.49) / kRate);
    mK = 1 / q;
    mA1 = 1 / (1 + g * (g + mK));
    mA2 = g * mA1;
    mA3 = g * mA2;
}

Svf::Out Svf::Process(float x)
{
    double v3 = x - mIc2;
    double v1 = mA1 * mIc1 + mA2 * v3;
    double v2 = mIc2 + mA2 * mIc1 + mA3 * v3;
    mIc1 = 2 * v1 - mIc1;
    mIc2 = 2 * v2 - mIc2;
    return {float(v2), float(v1), float(x - mK * v1 - v2)};
}

Biquad::Biquad(Kind kind, double hz, double q, double gainDb)
{
    double a = std::pow(10.0, gainDb / 40);
    double w = 2 * kPi * hz / kRate;
    double cw = std::cos(w), alpha = std::sin(w) / (2 * q);
    double b0, b1, b2, a0, a1, a2;
    switch (kind)
    {
    case Kind::LowPass:
        b0 = (1 - cw) / 2, b1 = 1 - cw, b2 = (1 - cw) / 2, a0 = 1 + alpha, a1 = -2 * cw, a2 = 1 - alpha;
        break;
    case Kind::HighPass:
        b0 = (1 + cw) / 2, b1 = -(1 + cw), b2 = (1 + cw) / 2, a0 = 1 + alpha, a1 = -2 * cw, a2 = 1 - alpha;
        break;
    case Kind::BandPass:
        b0 = alpha, b1 = 0, b2 = -alpha, a0 = 1 + alpha, a1 = -2 * cw, a2 = 1 - alpha;
        break;
    case Kind::Peak:
        b0 = 1 + alpha * a, b1 = -2 * cw, b2 = 1 - alpha * a, a0 = 1 + alpha / a, a1 = -2 * cw,
        a2 = 1 - alpha / a;
        break;
    case Kind::LowShelf:
    case Kind::HighShelf:
    default:
    {
        double s = kind == Kind::LowShelf ? -1 : 1;
        double root = 2 * std::sqrt(a) * alpha;
        b0 = a * ((a + 1) + s * (a - 1) * cw + root);
        b1 = -2 * s * a * ((a - 1) + s * (a + 1) * cw);
        b2 = a * ((a + 1) + s * (a - 1) * cw - root);
        a0 = (a + 1) - s * (a - 1) * cw + root;
        a1 = 2 * s * ((a - 1) - s * (a + 1) * cw);
        a2 = (a + 1) - s * (a - 1) * cw - root;
        break;
    }
    }
    mB0 = b0 / a0, mB1 = b1 / a0, mB2 = b2 / a0, mA1 = a1 / a0, mA2 = a2 / a0;
}

float Biquad::Process(float x)
{
    double y = mB0 * x + mB1 * mX1 + mB2 * mX2 - mA1 * mY1 - mA2 * mY2;
    mX2 = mX1, mX1 = x, mY2 = mY1, mY1 = y;
    return float(y);
}

void OnePole::Set(double hz)
{
    mCoefficient = 1 - std::exp(-2 * kPi * hz / kRate);
}

float OnePole::Low(float x)
{
    mState += mCoefficient * (x - mState);
    return float(mState);
}

DelayLine::DelayLine(size_t capacity) : mBuffer(capacity + 2) {}

void DelayLine::Write(float x)
{
    mBuffer[mPosition] = x;
    if (++mPosition == mBuffer.size()) mPosition = 0;
}

float DelayLine::Read(double delay) const
{
    // delay is at most the capacity, so one wrap is enough.
    double whole = std::floor(delay);
    double part = delay - whole;
    size_t back = size_t(whole), size = mBuffer.size();
    size_t a = mPosition >= back ? mPosition - back : mPosition + size - back;
    size_t b = a == 0 ? size - 1 : a - 1;
    return float(mBuffer[a] * (1 - part) + mBuffer[b] * part);
}

PingPong::PingPong(double seconds, double feedback, double dampHz)
    : mLeft(Frames(seconds) + 1), mRight(Frames(seconds) + 1), mDampLeft(dampHz), mDampRight(dampHz),
      mDelay(seconds * kRate), mFeedback(feedback)
{
}

void PingPong::Process(float inLeft, float inRight, float& outLeft, float& outRight)
{
    outLeft = mLeft.Read(mDelay);
    outRight = mRight.Read(mDelay);
    // The left input starts on the left and comes back on the right, and so on.
    mLeft.Write(inLeft + float(mFeedback) * mDampLeft.Low(outRight));
    mRight.Write(inRight + float(mFeedback) * mDampRight.Low(outLeft));
}

Reverb::Reverb(double size, double decaySeconds, double dampHz, double preDelaySeconds)
    : mPreDelay(Frames(preDelaySeconds) + 1), mPreDelayLength(std::max(1.0, preDelaySeconds * kRate))
{
    // Mutually prime lengths in milliseconds, so the echoes of the lines seldom coincide.
    static const double kLineMs[kLines] = {31.3, 37.9, 41.7, 47.3, 53.1, 59.9, 66.7, 73.9};
    static const double kDiffuserMs[4] = {4.7, 6.3, 8.9, 12.1};
    for (double ms : kDiffuserMs)
    {
        mDiffuserLengths.push_back(ms * 0.001 * kRate);
        mDiffusers.emplace_back(Frames(ms * 0.001) + 2);
    }
    for (int i = 0; i < kLines; ++i)
    {
        mLengths[i] = kLineMs[i] * 0.001 * size * kRate;
        mLines.emplace_back(size_t(mLengths[i]) + 2);
        mGains[i] = std::pow(10.0, -3 * mLengths[i] / (decaySeconds * kRate));
        mDamping[i].Set(dampHz);
    }
}

void Reverb::Process(float inLeft, float inRight, float& outLeft, float& outRight)
{
    mPreDelay.Write(0.5f * (inLeft + inRight));
    float x = mPreDelay.Read(mPreDelayLength);
    // Series all-pass diffusers smear the attack before the network.
    for (size_t d = 0; d < mDiffusers.size(); ++d)
    {
        float delayed = mDiffusers[d].Read(mDiffuserLengths[d]);
        float v = x + 0.6f * delayed;
        mDiffusers[d].Write(v);
        x = delayed - 0.6f * v;
    }
    double y[kLines];
    double sum = 0;
    for (int i = 0; i < kLines; ++i)
    {
        y[i] = mDamping[i].Low(mLines[i].Read(mLengths[i])) * mGains[i];
        sum += y[i];
    }
    double left = 0, right = 0;
    for (int i = 0; i < kLines; ++i)
    {
        double feedback = y[i] - sum * (2.0 / kLines);
        mLines[i].Write(float(feedback + (i % 2 ? -x : x) * 0.35));
        if (i < kLines / 2)
            left += (i % 2 ? -y[i] : y[i]);
        else
            right += (i % 2 ? -y[i] : y[i]);
    }
    outLeft = float(left * 0.5);
    outRight = float(right * 0.5);
}

Stereo ApplyReverb(const Stereo& dry, Reverb reverb)
{
    Stereo wet(dry.Frames());
    for (size_t i = 0; i < dry.Frames(); ++i)
        reverb.Process(dry.left[i], dry.right[i], wet.left[i], wet.right[i]);
    return wet;
}

} // namespace synth
