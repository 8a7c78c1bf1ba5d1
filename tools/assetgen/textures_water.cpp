// textures_water.cpp — the pool's water surface: sunlit caustics on
// turquoise. The surface disk shows the square texture over its 2 x 2 unit
// bounding square, and the two pictures alternate every frame, so they are
// two nearby moments of one motion rather than two different patterns.
#include "assetgen.h"

#include <cmath>

namespace {

constexpr uint32_t kCausticSeed = 0xC0A571C5u;
constexpr uint32_t kSurfaceSeed = 0x5EA5EA5Eu;
constexpr int kWaterSize = 256;

// One layer of the network: bright where two cells of a wobbling cell grid meet.
float CausticLayer(float s, float t, int cells, float phase, uint32_t seed)
{
    constexpr int kWarpPeriod = 3;
    // The warp drifts with phase; shifting a repeating noise keeps it repeating.
    float drift = phase * 0.3f;
    float warpX = GradientNoise2(s * kWarpPeriod + drift, t * kWarpPeriod, kWarpPeriod, kWarpPeriod, seed + 1);
    float warpY = GradientNoise2(s * kWarpPeriod, t * kWarpPeriod - drift, kWarpPeriod, kWarpPeriod, seed + 2);
    float fineX = GradientNoise2(s * 4 * kWarpPeriod - 2.0f * drift, t * 4 * kWarpPeriod, 4 * kWarpPeriod,
                                 4 * kWarpPeriod, seed + 3);
    float fineY = GradientNoise2(s * 4 * kWarpPeriod, t * 4 * kWarpPeriod + 2.0f * drift, 4 * kWarpPeriod,
                                 4 * kWarpPeriod, seed + 4);
    float u = s * static_cast<float>(cells) + 0.9f * warpX + 0.18f * fineX;
    float v = t * static_cast<float>(cells) + 0.9f * warpY + 0.18f * fineY;
    CellDistances cell = CellNoise2(u, v, cells, cells, phase * 0.9f, seed);
    float edge = cell.second - cell.nearest;
    // A sharp bright core with a soft glow, as light focused by ripples looks.
    return 0.75f * std::exp(-edge / 0.035f) + 0.35f * std::exp(-edge / 0.14f);
}

Rgb ShadeWater(float s, float t, const void* context)
{
    float phase = *static_cast<const float*>(context);
    float depth = Fbm2(s * 3.0f, t * 3.0f, 3, 3, 3, 0.5f, kSurfaceSeed);
    static const RampStop kWaterRamp[] = {
        {0.25f, {0.00f, 0.30f, 0.42f}},
        {0.50f, {0.02f, 0.50f, 0.60f}},
        {0.75f, {0.10f, 0.66f, 0.72f}},
    };
    Rgb water = SampleRamp(kWaterRamp, depth);
    float light = WaterCaustics(s, t, phase);
    static const Rgb kSunlight{0.82f, 1.0f, 0.97f};
    return MixRgb(water, kSunlight, Clamp01(light * 0.9f));
}

}  // namespace

float WaterCaustics(float s, float t, float phase)
{
    // The two surface pictures alternate every frame: a small step between them
    // shimmers, a large one would flicker.
    constexpr float kPhaseStep = 0.25f;
    phase *= kPhaseStep;
    float coarse = CausticLayer(s, t, 9, phase, kCausticSeed);
    float fine = CausticLayer(s + 0.37f, t + 0.61f, 17, phase * 1.3f, kCausticSeed + 100);
    return Clamp01(0.85f * coarse + 0.25f * fine - 0.08f);
}

Picture BuildWaterPicture(int phase)
{
    float phaseValue = static_cast<float>(phase);
    return ShadePicture(kWaterSize, kWaterSize, 2, ShadeWater, &phaseValue);
}
