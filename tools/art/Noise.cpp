#include "tools/art/Noise.h"

#include <cmath>

namespace Art
{

namespace
{

float Fade(float t)
{
    return t * t * t * (t * (t * 6 - 15) + 10);
}

float Grad2(uint32_t h, float x, float y)
{
    // Eight directions around the circle.
    static const float kDirs[8][2] = {{1, 0},
                                      {-1, 0},
                                      {0, 1},
                                      {0, -1},
                                      {0.7071f, 0.7071f},
                                      {-0.7071f, 0.7071f},
                                      {0.7071f, -0.7071f},
                                      {-0.7071f, -0.7071f}};
    const float* d = kDirs[h & 7];
    return d[0] * x + d[1] * y;
}

float Grad3(uint32_t h, float x, float y, float z)
{
    switch (h % 12)
    {
    case 0:
        return x + y;
    case 1:
        return -x + y;
    case 2:
        return x - y;
    case 3:
        return -x - y;
    case 4:
        return x + z;
    case 5:
        return -x + z;
    case 6:
        return x - z;
    case 7:
        return -x - z;
    case 8:
        return y + z;
    case 9:
        return -y + z;
    case 10:
        return y - z;
    default:
        return -y - z;
    }
}

// A quicker mix for the noise lattice, called four or eight times per sample.
inline uint32_t LatticeHash(uint32_t x, uint32_t y, uint32_t z, uint32_t seed)
{
    uint32_t h = x * 0x8DA6B343u + y * 0xD8163841u + z * 0xCB1AB31Fu + seed * 0x9E3779B9u;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    h *= 0x297A2D39u;
    h ^= h >> 15;
    return h;
}

} // namespace

uint32_t Hash(uint32_t a, uint32_t b, uint32_t c, uint32_t d)
{
    uint32_t h = 0x811C9DC5u;
    for (uint32_t v : {a, b, c, d})
    {
        h ^= v;
        h *= 0x01000193u;
        h ^= h >> 15;
        h *= 0x2C1B3C6Du;
        h ^= h >> 12;
    }
    h ^= h >> 16;
    h *= 0x297A2D39u;
    h ^= h >> 15;
    return h;
}

float Random01(uint32_t a, uint32_t b, uint32_t c, uint32_t d)
{
    return float(Hash(a, b, c, d) >> 8) / 16777216.0f;
}

float Noise2(float x, float y, uint32_t seed)
{
    float fx = std::floor(x), fy = std::floor(y);
    int ix = int(fx), iy = int(fy);
    float dx = x - fx, dy = y - fy;
    auto g = [&](int cx, int cy)
    {
        return Grad2(LatticeHash(uint32_t(ix + cx), uint32_t(iy + cy), 0, seed) >> 8, dx - float(cx),
                     dy - float(cy));
    };
    float u = Fade(dx), v = Fade(dy);
    float a = Lerp(g(0, 0), g(1, 0), u);
    float b = Lerp(g(0, 1), g(1, 1), u);
    return Lerp(a, b, v) * 1.4f;
}

float Noise3(float x, float y, float z, uint32_t seed)
{
    float fx = std::floor(x), fy = std::floor(y), fz = std::floor(z);
    int ix = int(fx), iy = int(fy), iz = int(fz);
    float dx = x - fx, dy = y - fy, dz = z - fz;
    auto g = [&](int cx, int cy, int cz)
    {
        return Grad3(LatticeHash(uint32_t(ix + cx), uint32_t(iy + cy), uint32_t(iz + cz), seed) >> 8,
                     dx - float(cx), dy - float(cy), dz - float(cz));
    };
    float u = Fade(dx), v = Fade(dy), w = Fade(dz);
    float x00 = Lerp(g(0, 0, 0), g(1, 0, 0), u), x10 = Lerp(g(0, 1, 0), g(1, 1, 0), u);
    float x01 = Lerp(g(0, 0, 1), g(1, 0, 1), u), x11 = Lerp(g(0, 1, 1), g(1, 1, 1), u);
    return Lerp(Lerp(x00, x10, v), Lerp(x01, x11, v), w);
}

float Fbm2(float x, float y, uint32_t seed, int octaves, float gain)
{
    float sum = 0, amp = 1, norm = 0;
    for (int i = 0; i < octaves; ++i)
    {
        sum += amp * Noise2(x, y, seed + uint32_t(i) * 101u);
        norm += amp;
        amp *= gain;
        // Each octave is turned a little, so that the grids do not line up.
        float nx = x * 1.6f - y * 1.2f, ny = x * 1.2f + y * 1.6f;
        x = nx + 17.3f;
        y = ny - 9.1f;
    }
    return sum / norm;
}

float Fbm3(float x, float y, float z, uint32_t seed, int octaves, float gain)
{
    float sum = 0, amp = 1, norm = 0;
    for (int i = 0; i < octaves; ++i)
    {
        sum += amp * Noise3(x, y, z, seed + uint32_t(i) * 131u);
        norm += amp;
        amp *= gain;
        x = x * 2.03f + 11.7f;
        y = y * 2.01f - 5.3f;
        z = z * 1.99f + 3.1f;
    }
    return sum / norm;
}

float Ridged2(float x, float y, uint32_t seed, int octaves)
{
    float sum = 0, amp = 1, norm = 0;
    for (int i = 0; i < octaves; ++i)
    {
        float n = 1 - std::abs(Noise2(x, y, seed + uint32_t(i) * 71u));
        sum += amp * n * n;
        norm += amp;
        amp *= 0.5f;
        float nx = x * 1.6f - y * 1.2f, ny = x * 1.2f + y * 1.6f;
        x = nx + 5.1f;
        y = ny + 3.7f;
    }
    return sum / norm;
}

float Ridged3(float x, float y, float z, uint32_t seed, int octaves)
{
    float sum = 0, amp = 1, norm = 0;
    for (int i = 0; i < octaves; ++i)
    {
        float n = 1 - std::abs(Noise3(x, y, z, seed + uint32_t(i) * 71u));
        sum += amp * n * n;
        norm += amp;
        amp *= 0.5f;
        x = x * 2.02f + 1.3f;
        y = y * 2.03f + 7.7f;
        z = z * 1.98f - 2.9f;
    }
    return sum / norm;
}

float Worley3(float x, float y, float z, uint32_t seed, uint32_t* cellId)
{
    float fx = std::floor(x), fy = std::floor(y), fz = std::floor(z);
    int ix = int(fx), iy = int(fy), iz = int(fz);
    float best = 1e9f;
    uint32_t bestId = 0;
    for (int cz = -1; cz <= 1; ++cz)
        for (int cy = -1; cy <= 1; ++cy)
            for (int cx = -1; cx <= 1; ++cx)
            {
                uint32_t h = Hash(uint32_t(ix + cx), uint32_t(iy + cy), uint32_t(iz + cz), seed);
                float px = float(ix + cx) + float(h & 1023) / 1024.0f;
                float py = float(iy + cy) + float((h >> 10) & 1023) / 1024.0f;
                float pz = float(iz + cz) + float((h >> 20) & 1023) / 1024.0f;
                float d = (px - x) * (px - x) + (py - y) * (py - y) + (pz - z) * (pz - z);
                if (d < best)
                {
                    best = d;
                    bestId = h;
                }
            }
    if (cellId) *cellId = bestId;
    return std::sqrt(best);
}

uint32_t Rng::Next()
{
    mState += 0x6D2B79F5u;
    uint32_t t = mState;
    t = (t ^ (t >> 15)) * (t | 1u);
    t ^= t + (t ^ (t >> 7)) * (t | 61u);
    return t ^ (t >> 14);
}

} // namespace Art
