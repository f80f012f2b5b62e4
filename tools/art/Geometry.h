#pragma once

#include <algorithm>
#include <cmath>
#include <vector>

// Small maths for the art generator: vectors, easing and signed distances of shapes. A signed
// distance is negative inside the shape and positive outside, in pixels; Coverage turns it into
// an anti-aliased opacity.
namespace Art
{

constexpr float kPi = 3.14159265358979f;

struct Vec2
{
    float x = 0, y = 0;
    Vec2 operator+(Vec2 o) const { return {x + o.x, y + o.y}; }
    Vec2 operator-(Vec2 o) const { return {x - o.x, y - o.y}; }
    Vec2 operator*(float k) const { return {x * k, y * k}; }
};

struct Vec3
{
    float x = 0, y = 0, z = 0;
    Vec3 operator+(Vec3 o) const { return {x + o.x, y + o.y, z + o.z}; }
    Vec3 operator-(Vec3 o) const { return {x - o.x, y - o.y, z - o.z}; }
    Vec3 operator*(float k) const { return {x * k, y * k, z * k}; }
};

inline float Dot(Vec2 a, Vec2 b)
{
    return a.x * b.x + a.y * b.y;
}
inline float Dot(Vec3 a, Vec3 b)
{
    return a.x * b.x + a.y * b.y + a.z * b.z;
}
inline float Length(Vec2 v)
{
    return std::sqrt(Dot(v, v));
}
inline float Length(Vec3 v)
{
    return std::sqrt(Dot(v, v));
}
inline Vec3 Normalize(Vec3 v)
{
    float l = Length(v);
    return l > 0 ? v * (1.0f / l) : v;
}
inline Vec2 Rotate(Vec2 v, float angle)
{
    float c = std::cos(angle), s = std::sin(angle);
    return {v.x * c - v.y * s, v.x * s + v.y * c};
}

inline float Clamp(float v, float lo, float hi)
{
    return v < lo ? lo : v > hi ? hi : v;
}
inline float Saturate(float v)
{
    return Clamp(v, 0.0f, 1.0f);
}
inline float Lerp(float a, float b, float t)
{
    return a + (b - a) * t;
}
inline float SmoothStep(float e0, float e1, float v)
{
    float t = Saturate((v - e0) / (e1 - e0));
    return t * t * (3 - 2 * t);
}
// Opacity of a pixel whose centre lies at signed distance d from an edge.
inline float Coverage(float d)
{
    return Saturate(0.5f - d);
}

// --- Signed distances ---

inline float SdCircle(Vec2 p, float r)
{
    return Length(p) - r;
}

inline float SdBox(Vec2 p, Vec2 half, float radius = 0)
{
    Vec2 q{std::abs(p.x) - half.x + radius, std::abs(p.y) - half.y + radius};
    Vec2 outside{std::max(q.x, 0.0f), std::max(q.y, 0.0f)};
    return Length(outside) + std::min(std::max(q.x, q.y), 0.0f) - radius;
}

inline float SdSegment(Vec2 p, Vec2 a, Vec2 b)
{
    Vec2 pa = p - a, ba = b - a;
    float h = Saturate(Dot(pa, ba) / Dot(ba, ba));
    return Length(pa - ba * h);
}

// Any simple polygon (vertices in order).
inline float SdPolygon(Vec2 p, const std::vector<Vec2>& v)
{
    float d = Dot(p - v[0], p - v[0]);
    float s = 1;
    for (size_t i = 0, j = v.size() - 1; i < v.size(); j = i, ++i)
    {
        Vec2 e = v[j] - v[i], w = p - v[i];
        Vec2 b = w - e * Saturate(Dot(w, e) / Dot(e, e));
        d = std::min(d, Dot(b, b));
        bool c1 = p.y >= v[i].y, c2 = p.y<v[j].y, c3 = e.x * w.y> e.y * w.x;
        if ((c1 && c2 && c3) || (!c1 && !c2 && !c3)) s = -s;
    }
    return s * std::sqrt(d);
}

// A regular polygon of n corners on a circle of radius r, the first corner at the angle given.
inline std::vector<Vec2> RegularPolygon(int n, float r, float angle = -kPi / 2)
{
    std::vector<Vec2> v;
    for (int i = 0; i < n; ++i)
    {
        float a = angle + 2 * kPi * float(i) / float(n);
        v.push_back({r * std::cos(a), r * std::sin(a)});
    }
    return v;
}

// A star of n points, outer radius r and inner radius ri.
inline std::vector<Vec2> StarPolygon(int n, float r, float ri, float angle = -kPi / 2)
{
    std::vector<Vec2> v;
    for (int i = 0; i < 2 * n; ++i)
    {
        float a = angle + kPi * float(i) / float(n);
        float rr = i % 2 == 0 ? r : ri;
        v.push_back({rr * std::cos(a), rr * std::sin(a)});
    }
    return v;
}

// A smooth union of two distances (k: the width of the blend).
inline float SmoothUnion(float a, float b, float k)
{
    float h = Saturate(0.5f + 0.5f * (b - a) / k);
    return Lerp(b, a, h) - k * h * (1 - h);
}

// Numerical gradient of a distance function, normalised.
template <typename F>
Vec2 SdGradient(F sd, Vec2 p)
{
    const float e = 0.35f;
    Vec2 g{sd(Vec2{p.x + e, p.y}) - sd(Vec2{p.x - e, p.y}), sd(Vec2{p.x, p.y + e}) - sd(Vec2{p.x, p.y - e})};
    float l = Length(g);
    return l > 0 ? g * (1.0f / l) : Vec2{0, -1};
}

} // namespace Art
