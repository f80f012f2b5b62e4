#pragma once

#include "tools/art/Geometry.h"

#include <cstdint>

// Deterministic noise for the art: every function is a pure function of its position and an
// integer seed, so the pictures come out the same on every run.
namespace Art
{

uint32_t Hash(uint32_t a, uint32_t b = 0, uint32_t c = 0, uint32_t d = 0);
// A number in [0, 1) from the hash of the arguments.
float Random01(uint32_t a, uint32_t b = 0, uint32_t c = 0, uint32_t d = 0);

// Gradient noise in about -1..1.
float Noise2(float x, float y, uint32_t seed);
float Noise3(float x, float y, float z, uint32_t seed);
// Sums of octaves, each twice the frequency and `gain` times the amplitude, scaled to about -1..1.
float Fbm2(float x, float y, uint32_t seed, int octaves, float gain = 0.5f);
float Fbm3(float x, float y, float z, uint32_t seed, int octaves, float gain = 0.5f);
// Ridges (1 on the ridge lines, falling off to 0) for cracks, veins and filaments.
float Ridged2(float x, float y, uint32_t seed, int octaves);
float Ridged3(float x, float y, float z, uint32_t seed, int octaves);
// Distance to the nearest feature point of a cell grid of unit cells (0 at a point); cellId gets
// a number identifying the point.
float Worley3(float x, float y, float z, uint32_t seed, uint32_t* cellId = nullptr);

// A small deterministic generator for placing things (stars, sparks).
class Rng
{
public:
    explicit Rng(uint32_t seed) : mState(seed * 0x9E3779B9u + 0x7F4A7C15u) {}
    uint32_t Next();
    float Uniform() { return float(Next() >> 8) / 16777216.0f; }
    float Range(float lo, float hi) { return lo + (hi - lo) * Uniform(); }
    int Below(int n) { return int(Next() % uint32_t(n)); }

private:
    uint32_t mState;
};

} // namespace Art
