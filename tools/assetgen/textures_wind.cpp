// textures_wind.cpp — the tornado's funnel: dust streaks winding around it.
// The funnel wraps s once around and runs t from its narrow foot (t = 0) to
// its wide top; it is added onto the scene, so where there is no dust the
// picture is pure black.
#include "assetgen.h"

#include <cmath>

namespace {

constexpr uint32_t kDustSeed = 0x70A4AD00u;
constexpr int kTornadoSize = 256;

Rgb ShadeTornado(float s, float t, const void*)
{
    constexpr int kStreaksAround = 5;   // streak lengths per turn
    constexpr int kStreakBands = 16;    // streak bands per half height
    // Swirls: a slow warp, repeating around the funnel.
    float warpA = Fbm2(s * 3.0f, t * 4.0f, 3, 64, 2, 0.5f, kDustSeed + 1) - 0.5f;
    float warpB = Fbm2(s * 3.0f, t * 4.0f, 3, 64, 2, 0.5f, kDustSeed + 2) - 0.5f;
    // The bands climb half the height per turn, so the streaks wind as a helix.
    float a = s * kStreaksAround + 1.5f * warpA;
    float b = (2.0f * t + s) * kStreakBands + 6.0f * warpB;
    float streaks = Fbm2(a, b, kStreaksAround, kStreakBands, 5, 0.55f, kDustSeed);

    // A churning cloud of debris around the foot.
    float cloud = Fbm2(s * 8.0f + 2.0f * warpA, t * 10.0f, 8, 64, 5, 0.55f, kDustSeed + 3);
    float foot = 1.0f - SmoothStep(0.05f, 0.3f, t);

    float density = 0.88f + 0.3f * std::pow(1.0f - t, 1.5f);
    float dust = Clamp01(streaks * density + foot * 0.35f * cloud);
    dust = SmoothStep(0.47f, 0.78f, dust);
    // Both open ends fade out so the funnel has no hard rim.
    dust *= SmoothStep(0.0f, 0.06f, t) * (1.0f - SmoothStep(0.86f, 0.99f, t));

    static const RampStop kDustRamp[] = {
        {0.0f, {0.0f, 0.0f, 0.0f}},
        {0.3f, {0.24f, 0.19f, 0.14f}},
        {0.7f, {0.58f, 0.51f, 0.43f}},
        {1.0f, {0.86f, 0.81f, 0.73f}},
    };
    return SampleRamp(kDustRamp, dust);
}

}  // namespace

Picture BuildTornadoPicture() { return ShadePicture(kTornadoSize, kTornadoSize, 2, ShadeTornado, nullptr); }
