// noise.cpp — hashing, repeating gradient noise, fractal sums, cellular noise
// and a small random sequence. Everything is integer-hashed from seeds, so the
// same arguments give the same numbers on every run.
#include "assetgen.h"

#include <array>
#include <cmath>

namespace {

uint32_t Avalanche(uint32_t x)
{
    x ^= x >> 16;
    x *= 0x7feb352du;
    x ^= x >> 15;
    x *= 0x846ca68bu;
    x ^= x >> 16;
    return x;
}

int Wrap(int i, int period)
{
    int m = i % period;
    return m < 0 ? m + period : m;
}

// The lattice cell below x, and the next one, both wrapped into the period.
struct LatticeSpan {
    int low, high;
    float base;  // floor(x)
};

LatticeSpan SpanAt(float x, int period)
{
    // Truncation plus a correction is much cheaper than a floor call.
    int i = static_cast<int>(x);
    if (static_cast<float>(i) > x)
        --i;
    int low = Wrap(i, period);
    return {low, low + 1 == period ? 0 : low + 1, static_cast<float>(i)};
}

// Quintic fade: continuous second derivative, so no creases at lattice lines.
float Fade(float t) { return t * t * t * (t * (t * 6.0f - 15.0f) + 10.0f); }

float Lerp(float a, float b, float k) { return a + (b - a) * k; }

float Gradient2(uint32_t hash, float dx, float dy)
{
    // Sixteen evenly spread unit directions.
    static const float kDirections[16][2] = {
        {1.0f, 0.0f},          {0.92388f, 0.38268f},  {0.70711f, 0.70711f},  {0.38268f, 0.92388f},
        {0.0f, 1.0f},          {-0.38268f, 0.92388f}, {-0.70711f, 0.70711f}, {-0.92388f, 0.38268f},
        {-1.0f, 0.0f},         {-0.92388f, -0.38268f}, {-0.70711f, -0.70711f}, {-0.38268f, -0.92388f},
        {0.0f, -1.0f},         {0.38268f, -0.92388f}, {0.70711f, -0.70711f},  {0.92388f, -0.38268f},
    };
    const float* d = kDirections[hash & 15u];
    return d[0] * dx + d[1] * dy;
}

float Gradient3(uint32_t hash, float dx, float dy, float dz)
{
    // The twelve cube-edge directions, four repeated to make sixteen.
    switch (hash & 15u) {
    case 0: return dx + dy;
    case 1: return -dx + dy;
    case 2: return dx - dy;
    case 3: return -dx - dy;
    case 4: return dx + dz;
    case 5: return -dx + dz;
    case 6: return dx - dz;
    case 7: return -dx - dz;
    case 8: return dy + dz;
    case 9: return -dy + dz;
    case 10: return dy - dz;
    case 11: return -dy - dz;
    case 12: return dx + dy;
    case 13: return -dy + dz;
    case 14: return -dx + dy;
    default: return -dy - dz;
    }
}

}  // namespace

uint32_t HashInts(uint32_t seed, int32_t a, int32_t b, int32_t c)
{
    // Odd multipliers spread each coordinate over all bits; one avalanche mixes them.
    uint32_t h = seed * 0x9e3779b1u;
    h ^= static_cast<uint32_t>(a) * 0x85ebca77u;
    h ^= static_cast<uint32_t>(b) * 0xc2b2ae3du;
    h ^= static_cast<uint32_t>(c) * 0x27d4eb2fu;
    return Avalanche(h + 0x165667b1u);
}

float HashUnit(uint32_t seed, int32_t a, int32_t b, int32_t c)
{
    return static_cast<float>(HashInts(seed, a, b, c) >> 8) * (1.0f / 16777216.0f);
}

float GradientNoise2(float x, float y, int periodX, int periodY, uint32_t seed)
{
    LatticeSpan sx = SpanAt(x, periodX);
    LatticeSpan sy = SpanAt(y, periodY);
    float dx = x - sx.base;
    float dy = y - sy.base;
    float n00 = Gradient2(HashInts(seed, sx.low, sy.low, 0), dx, dy);
    float n10 = Gradient2(HashInts(seed, sx.high, sy.low, 0), dx - 1.0f, dy);
    float n01 = Gradient2(HashInts(seed, sx.low, sy.high, 0), dx, dy - 1.0f);
    float n11 = Gradient2(HashInts(seed, sx.high, sy.high, 0), dx - 1.0f, dy - 1.0f);
    float u = Fade(dx);
    float v = Fade(dy);
    // Unit gradients peak near 0.7; scale to about -1 to 1.
    return 1.4f * Lerp(Lerp(n00, n10, u), Lerp(n01, n11, u), v);
}

float GradientNoise3(float x, float y, float z, int periodX, int periodY, int periodZ, uint32_t seed)
{
    LatticeSpan sx = SpanAt(x, periodX);
    LatticeSpan sy = SpanAt(y, periodY);
    LatticeSpan sz = SpanAt(z, periodZ);
    float dx = x - sx.base;
    float dy = y - sy.base;
    float dz = z - sz.base;
    int xs[2] = {sx.low, sx.high};
    int ys[2] = {sy.low, sy.high};
    int zs[2] = {sz.low, sz.high};
    float corner[2][2][2];
    for (int k = 0; k < 2; ++k)
        for (int j = 0; j < 2; ++j)
            for (int i = 0; i < 2; ++i)
                corner[k][j][i] = Gradient3(HashInts(seed, xs[i], ys[j], zs[k]), dx - static_cast<float>(i),
                                            dy - static_cast<float>(j), dz - static_cast<float>(k));
    float u = Fade(dx);
    float v = Fade(dy);
    float w = Fade(dz);
    float near = Lerp(Lerp(corner[0][0][0], corner[0][0][1], u), Lerp(corner[0][1][0], corner[0][1][1], u), v);
    float far = Lerp(Lerp(corner[1][0][0], corner[1][0][1], u), Lerp(corner[1][1][0], corner[1][1][1], u), v);
    return 0.9f * Lerp(near, far, w);
}

float Fbm2(float x, float y, int periodX, int periodY, int octaves, float gain, uint32_t seed)
{
    float sum = 0.0f;
    float amplitude = 1.0f;
    float total = 0.0f;
    for (int octave = 0; octave < octaves; ++octave) {
        sum += amplitude * GradientNoise2(x, y, periodX, periodY, seed + static_cast<uint32_t>(octave) * 1013u);
        total += amplitude;
        amplitude *= gain;
        x *= 2.0f;
        y *= 2.0f;
        periodX *= 2;
        periodY *= 2;
    }
    return 0.5f + 0.5f * sum / total;
}

float Fbm3(float x, float y, float z, int periodX, int periodY, int periodZ, int octaves, float gain,
           uint32_t seed)
{
    float sum = 0.0f;
    float amplitude = 1.0f;
    float total = 0.0f;
    for (int octave = 0; octave < octaves; ++octave) {
        sum += amplitude *
               GradientNoise3(x, y, z, periodX, periodY, periodZ, seed + static_cast<uint32_t>(octave) * 1013u);
        total += amplitude;
        amplitude *= gain;
        x *= 2.0f;
        y *= 2.0f;
        z *= 2.0f;
        periodX *= 2;
        periodY *= 2;
        periodZ *= 2;
    }
    return 0.5f + 0.5f * sum / total;
}

CellDistances CellNoise2(float x, float y, int periodX, int periodY, float phase, uint32_t seed)
{
    constexpr float kJitter = 0.32f;  // how far a point strays from its cell centre
    constexpr float kOrbit = 0.14f;   // radius of the circle it moves on with phase
    // Each cell's starting angle on its circle is one of 64 directions; turning
    // them all by phase needs only this one sine and cosine.
    static const auto kCircle = [] {
        std::array<std::array<float, 2>, 64> circle{};
        for (int i = 0; i < 64; ++i)
            circle[static_cast<size_t>(i)] = {std::cos(6.2831853f * i / 64.0f), std::sin(6.2831853f * i / 64.0f)};
        return circle;
    }();
    float turnCos = kOrbit * std::cos(phase);
    float turnSin = kOrbit * std::sin(phase);
    LatticeSpan sx = SpanAt(x, periodX);
    LatticeSpan sy = SpanAt(y, periodY);
    float fx = sx.base;
    float fy = sy.base;
    int columns[3] = {sx.low == 0 ? periodX - 1 : sx.low - 1, sx.low, sx.high};
    int rows[3] = {sy.low == 0 ? periodY - 1 : sy.low - 1, sy.low, sy.high};
    float nearest = 1e9f;
    float second = 1e9f;
    for (int j = -1; j <= 1; ++j) {
        for (int i = -1; i <= 1; ++i) {
            uint32_t h = HashInts(seed, columns[i + 1], rows[j + 1], 1);
            float hx = static_cast<float>(h & 0xFFFu) * (1.0f / 4095.0f);
            float hy = static_cast<float>((h >> 12) & 0xFFFu) * (1.0f / 4095.0f);
            const std::array<float, 2>& start = kCircle[h >> 26];
            float px = fx + static_cast<float>(i) + 0.5f + kJitter * (2.0f * hx - 1.0f) +
                       (start[0] * turnCos - start[1] * turnSin);
            float py = fy + static_cast<float>(j) + 0.5f + kJitter * (2.0f * hy - 1.0f) +
                       (start[1] * turnCos + start[0] * turnSin);
            float d = (px - x) * (px - x) + (py - y) * (py - y);
            if (d < nearest) {
                second = nearest;
                nearest = d;
            } else if (d < second) {
                second = d;
            }
        }
    }
    return {std::sqrt(nearest), std::sqrt(second)};
}

uint32_t NextRandom(RandomSequence* sequence)
{
    uint64_t z = (sequence->state += 0x9e3779b97f4a7c15ull);
    z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ull;
    z = (z ^ (z >> 27)) * 0x94d049bb133111ebull;
    return static_cast<uint32_t>((z ^ (z >> 31)) >> 32);
}

float NextRandomUnit(RandomSequence* sequence)
{
    return static_cast<float>(NextRandom(sequence) >> 8) * (1.0f / 16777216.0f);
}
