#include "tools/synth/Output.h"

#include "graphics/ImageLib.h"
#include "platform/files/Files.h"
#include "platform/files/LittleEndian.h"

#include <algorithm>
#include <cmath>
#include <complex>

namespace synth
{

void FadeEdges(Stereo& sound, double inSeconds, double outSeconds)
{
    size_t frames = sound.Frames();
    size_t in = std::min(frames, Frames(inSeconds));
    size_t out = std::min(frames, Frames(outSeconds));
    for (size_t i = 0; i < in; ++i)
    {
        float g = float(0.5 - 0.5 * std::cos(kPi * double(i) / double(in)));
        sound.left[i] *= g;
        sound.right[i] *= g;
    }
    for (size_t i = 0; i < out; ++i)
    {
        float g = float(0.5 - 0.5 * std::cos(kPi * double(i) / double(out)));
        sound.left[frames - 1 - i] *= g;
        sound.right[frames - 1 - i] *= g;
    }
}

void Scale(Stereo& sound, double gain)
{
    for (size_t i = 0; i < sound.Frames(); ++i)
    {
        sound.left[i] = float(sound.left[i] * gain);
        sound.right[i] = float(sound.right[i] * gain);
    }
}

double Peak(const Stereo& sound)
{
    double peak = 0;
    for (size_t i = 0; i < sound.Frames(); ++i)
        peak = std::max({peak, double(std::abs(sound.left[i])), double(std::abs(sound.right[i]))});
    return peak;
}

namespace
{

// The squared samples of both sides, weighted as the ear hears them, summed frame by frame.
std::vector<double> WeightedPower(const Stereo& sound)
{
    std::vector<double> power(sound.Frames());
    for (const Signal* side : {&sound.left, &sound.right})
    {
        Biquad lows(Biquad::Kind::HighPass, 80, 0.5);
        Biquad highs(Biquad::Kind::HighShelf, 1500, 0.707, 4);
        for (size_t i = 0; i < power.size(); ++i)
        {
            double v = highs.Process(lows.Process((*side)[i]));
            power[i] += v * v;
        }
    }
    return power;
}

double PowerToDb(double power)
{
    return 10 * std::log10(std::max(power, 1e-20));
}

} // namespace

double LoudnessDb(const Stereo& sound)
{
    // 100 ms windows stepped by 10 ms.
    std::vector<double> power = WeightedPower(sound);
    const size_t window = Frames(0.1), hop = Frames(0.01);
    double loudest = 0;
    for (size_t start = 0; start < power.size(); start += hop)
    {
        size_t end = std::min(power.size(), start + window);
        double sum = 0;
        for (size_t i = start; i < end; ++i)
            sum += power[i];
        loudest = std::max(loudest, sum / double(window));
    }
    return PowerToDb(loudest);
}

double AverageLoudnessDb(const Stereo& sound)
{
    std::vector<double> power = WeightedPower(sound);
    double sum = 0;
    for (double p : power)
        sum += p;
    return PowerToDb(sum / double(std::max<size_t>(1, power.size())));
}

double Normalise(Stereo& sound, double targetDb, double peakLimit)
{
    double gain = DbToGain(targetDb - LoudnessDb(sound));
    double peak = Peak(sound);
    if (peak * gain > peakLimit) gain = peakLimit / peak;
    Scale(sound, gain);
    return gain;
}

std::string WaveBytes(const Stereo& sound)
{
    const uint32_t channels = 2, bits = 16;
    const uint32_t align = channels * bits / 8;
    const uint32_t dataSize = uint32_t(sound.Frames()) * align;
    std::string bytes;
    auto u16 = [&bytes](uint32_t v) { platform::AppendLE16(bytes, uint16_t(v)); };
    auto u32 = [&bytes](uint32_t v) { platform::AppendLE32(bytes, v); };
    bytes += "RIFF";
    u32(36 + dataSize);
    bytes += "WAVEfmt ";
    u32(16);
    u16(1); // integer PCM
    u16(channels);
    u32(kRate);
    u32(kRate * align);
    u16(align);
    u16(bits);
    bytes += "data";
    u32(dataSize);
    auto sample = [](float v)
    { return uint16_t(int16_t(std::clamp(std::lround(v * 32767.0), -32768l, 32767l))); };
    for (size_t i = 0; i < sound.Frames(); ++i)
    {
        u16(sample(sound.left[i]));
        u16(sample(sound.right[i]));
    }
    return bytes;
}

bool WriteWave(const std::string& path, const Stereo& sound)
{
    return platform::WriteFileAtomically(path, WaveBytes(sound));
}

namespace
{

void Fft(std::vector<std::complex<double>>& a)
{
    size_t n = a.size();
    for (size_t i = 1, j = 0; i < n; ++i)
    {
        size_t bit = n >> 1;
        for (; j & bit; bit >>= 1)
            j ^= bit;
        j ^= bit;
        if (i < j) std::swap(a[i], a[j]);
    }
    for (size_t len = 2; len <= n; len <<= 1)
    {
        std::complex<double> step = std::polar(1.0, -2 * kPi / double(len));
        for (size_t i = 0; i < n; i += len)
        {
            std::complex<double> w = 1;
            for (size_t k = 0; k < len / 2; ++k, w *= step)
            {
                std::complex<double> u = a[i + k], v = a[i + k + len / 2] * w;
                a[i + k] = u + v;
                a[i + k + len / 2] = u - v;
            }
        }
    }
}

// Dark blue through violet and orange to pale yellow for 0 to 1.
uint32_t Heat(double x)
{
    x = std::clamp(x, 0.0, 1.0);
    double r = std::clamp(1.6 * x - 0.15, 0.0, 1.0);
    double g = std::clamp(1.9 * x * x - 0.1, 0.0, 1.0);
    double b = std::clamp(0.25 + 1.2 * x - 1.6 * x * x + 1.2 * std::pow(x, 6), 0.0, 1.0);
    return 0xFF000000u | uint32_t(r * 255) << 16 | uint32_t(g * 255) << 8 | uint32_t(b * 255);
}

} // namespace

bool WriteSpectrogram(const std::string& path, const Stereo& sound)
{
    const size_t frames = sound.Frames();
    // Short sounds get a finer time grid, long pieces a finer frequency grid.
    const int fftSize = frames < size_t(10 * kRate) ? 2048 : 4096, strip = 100, rows = 300;
    const int columns = int(std::clamp<size_t>(frames / 96, 1, 1600));
    ImageLib::Image image;
    if (!image.Allocate(columns, strip + rows)) return false;

    for (int x = 0; x < columns; ++x)
    {
        size_t from = frames * size_t(x) / size_t(columns), to = frames * size_t(x + 1) / size_t(columns);
        float low = 0, high = 0;
        bool clipped = false;
        for (size_t i = from; i < to; ++i)
            for (float v : {sound.left[i], sound.right[i]})
            {
                low = std::min(low, v), high = std::max(high, v);
                clipped = clipped || std::abs(v) >= 0.999f;
            }
        for (int y = 0; y < strip; ++y)
        {
            double level = 1 - 2.0 * (y + 0.5) / strip;
            bool inside = level <= high && level >= low;
            image.bits[size_t(y * columns + x)] =
                inside ? (clipped ? 0xFFFF3030u : 0xFF70D0FFu) : (y == strip / 2 ? 0xFF404040u : 0xFF101018u);
        }

        std::vector<std::complex<double>> bins(fftSize);
        size_t centre = (from + to) / 2;
        for (int i = 0; i < fftSize; ++i)
        {
            long at = long(centre) + i - fftSize / 2;
            double v =
                at >= 0 && size_t(at) < frames ? 0.5 * (sound.left[size_t(at)] + sound.right[size_t(at)]) : 0;
            bins[size_t(i)] = v * (0.5 - 0.5 * std::cos(2 * kPi * i / fftSize));
        }
        Fft(bins);
        for (int y = 0; y < rows; ++y)
        {
            // Row 0 is the top: 18 kHz; the last row 30 Hz.
            double hz = 30 * std::pow(18000.0 / 30, double(rows - 1 - y) / (rows - 1));
            double bin = hz * fftSize / kRate;
            size_t b = std::min(size_t(bin), size_t(fftSize / 2 - 1));
            double magnitude = std::abs(bins[b]) * 4 / fftSize;
            double db = 20 * std::log10(magnitude + 1e-9);
            image.bits[size_t((strip + y) * columns + x)] = Heat((db + 100) / 100);
        }
    }
    return ImageLib::WritePNG(path, image);
}

} // namespace synth
