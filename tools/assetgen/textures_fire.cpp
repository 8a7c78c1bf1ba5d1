// textures_fire.cpp — the burning stick and its flame. The stick's cylinder
// wraps s once around and runs t from its burning wide end (t = 0) to its
// narrow end 1 unit away. The flame square puts t = 0 on the stick's end and
// t = 1 at the flame's tip; it is added onto the scene, so its background is
// pure black, and its three pictures cycle one per frame as one flicker.
#include "assetgen.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr uint32_t kWoodSeed = 0xB0A4D00Du;
constexpr uint32_t kFlameSeed = 0xF1A3E000u;
constexpr int kPoleSize = 256;
constexpr int kFlameSize = 256;
constexpr int kFlamePhases = 3;
constexpr float kTwoPi = 6.2831853f;

Rgb ShadeFirePole(float s, float t, const void*)
{
    // Fibres run along the stick: fine around it, long along it.
    float fibre = Fbm2(s * 24.0f, t * 3.0f, 24, 64, 4, 0.55f, kWoodSeed);
    float ridge = 1.0f - std::fabs(2.0f * Fbm2(s * 10.0f, t * 1.5f, 10, 64, 3, 0.5f, kWoodSeed + 1) - 1.0f);
    Rgb bark = MixRgb(Rgb{0.13f, 0.08f, 0.05f}, Rgb{0.42f, 0.29f, 0.17f}, Clamp01(0.6f * fibre + 0.5f * ridge - 0.2f));

    // Charcoal breaks into blocks; more of the stick is charred near the fire.
    CellDistances block = CellNoise2(s * 9.0f, t * 14.0f, 9, 64, 0.0f, kWoodSeed + 2);
    float crack = 1.0f - SmoothStep(0.02f, 0.09f, block.second - block.nearest);
    float charNoise = Fbm2(s * 6.0f, t * 6.0f, 6, 64, 3, 0.5f, kWoodSeed + 3);
    float charred = SmoothStep(0.25f, 0.75f, 1.0f - t * 1.3f + 0.6f * (charNoise - 0.5f));
    float sheen = Fbm2(s * 16.0f, t * 16.0f, 16, 64, 2, 0.5f, kWoodSeed + 4);
    Rgb charcoal = MixRgb(Rgb{0.04f, 0.035f, 0.03f}, Rgb{0.19f, 0.18f, 0.17f}, sheen * sheen);
    Rgb wood = MixRgb(bark, charcoal, charred);
    wood = wood * (1.0f - 0.8f * crack * charred);

    // Embers glow in the cracks close to the burning end.
    float heat = (1.0f - SmoothStep(0.0f, 0.35f, t)) * charred;
    float flicker = Fbm2(s * 12.0f, t * 12.0f, 12, 64, 2, 0.5f, kWoodSeed + 5);
    float glow = crack * heat * SmoothStep(0.35f, 0.7f, flicker);
    return wood + Rgb{1.0f, 0.36f, 0.06f} * (1.2f * glow) + Rgb{0.3f, 0.05f, 0.0f} * (0.5f * heat * heat);
}

Rgb ShadeFlame(float s, float t, const void* context)
{
    int phase = *static_cast<const int*>(context);
    constexpr float kBase = 0.035f;       // where the flame leaves the stick
    constexpr int kNoisePeriod = 4;       // turbulence cells over the picture's height
    float cycle = kTwoPi * static_cast<float>(phase) / kFlamePhases;
    float tip = 0.86f + 0.04f * std::sin(cycle + 1.0f);
    float x = 2.0f * s - 1.0f;
    float h = (t - kBase) / (tip - kBase);
    if (h < -0.1f || h > 1.3f)
        return {0.0f, 0.0f, 0.0f};

    // The turbulence rises one third of its period per phase, so three phases loop.
    float rise = static_cast<float>(kNoisePeriod * phase) / kFlamePhases;
    float turbulence = 2.0f * Fbm2(x * 2.5f, t * kNoisePeriod - rise, 64, kNoisePeriod, 4, 0.5f, kFlameSeed) - 1.0f;
    float sway = 0.06f * h * std::sin(cycle + 2.5f * h);
    float hc = Clamp01(h);
    float xw = x - sway - 0.25f * hc * turbulence;
    float width = 0.4f * (0.6f + 0.4f * SmoothStep(0.0f, 0.3f, h)) * std::pow(1.0f - hc, 0.7f) + 0.002f;
    float body = Clamp01(1.0f - std::fabs(xw) / width) * (1.0f - SmoothStep(0.8f, 1.0f, h));

    // Licks break off towards the tip.
    float licks = Fbm2(x * 5.0f, t * 2.0f * kNoisePeriod - 2.0f * rise, 64, 2 * kNoisePeriod, 3, 0.5f,
                       kFlameSeed + 1);
    body *= 1.0f - hc * hc * SmoothStep(0.35f, 0.65f, licks) * 0.9f;
    body *= SmoothStep(-0.08f, 0.05f, h);

    // A dim red glow around the body lights the scene behind the flame.
    float glow = 0.2f * Clamp01(1.0f - std::fabs(xw) / (2.2f * width)) * (1.0f - SmoothStep(0.6f, 1.0f, h)) *
                 SmoothStep(-0.05f, 0.1f, h);
    float heat = std::max(std::pow(body, 0.7f) * (1.15f - 0.55f * hc), glow * glow * 4.0f);
    static const RampStop kFlameRamp[] = {
        {0.08f, {0.00f, 0.00f, 0.00f}}, {0.18f, {0.28f, 0.02f, 0.00f}}, {0.35f, {0.74f, 0.11f, 0.01f}},
        {0.55f, {1.00f, 0.40f, 0.04f}}, {0.75f, {1.00f, 0.70f, 0.16f}}, {0.90f, {1.00f, 0.91f, 0.52f}},
        {1.00f, {1.00f, 0.98f, 0.86f}},
    };
    Rgb colour = SampleRamp(kFlameRamp, heat);

    // Nothing may reach the picture's border: the square's edge must never show.
    float margin = std::fmin(std::fmin(s, 1.0f - s), std::fmin(t, 1.0f - t)) * kFlameSize;
    return colour * SmoothStep(2.0f, 6.0f, margin);
}

}  // namespace

Picture BuildFirePolePicture() { return ShadePicture(kPoleSize, kPoleSize, 2, ShadeFirePole, nullptr); }

Picture BuildFlamePicture(int phase) { return ShadePicture(kFlameSize, kFlameSize, 2, ShadeFlame, &phase); }
