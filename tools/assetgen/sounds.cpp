// sounds.cpp — the four sound cues, synthesised: a two-note chime, a wind
// roar, a click and a whoosh. Every cue starts and ends in a short fade, so
// starting one or cutting it off never clicks.
#include "assetgen.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr float kTwoPi = 6.2831853f;
constexpr float kRate = static_cast<float>(kSoundRate);

std::vector<float> MakeSilence(float seconds)
{
    return std::vector<float>(static_cast<size_t>(std::lround(seconds * kRate)), 0.0f);
}

float SecondsAt(size_t i) { return static_cast<float>(i) / kRate; }

float NextNoise(RandomSequence* sequence) { return 2.0f * NextRandomUnit(sequence) - 1.0f; }

// A one-pole low-pass filter's coefficient for a cut-off in hertz.
float LowPassCoefficient(float hertz) { return 1.0f - std::exp(-kTwoPi * hertz / kRate); }

// A state-variable filter; its band output rings around the centre frequency.
struct BandFilter {
    float low = 0.0f;
    float band = 0.0f;
};

float FilterBand(BandFilter* filter, float input, float centreHertz, float damping)
{
    float f = 2.0f * std::sin(0.5f * kTwoPi * centreHertz / kRate);
    filter->low += f * filter->band;
    float high = input - filter->low - damping * filter->band;
    filter->band += f * high;
    return filter->band;
}

void ScaleToPeak(std::vector<float>* sound, float peak)
{
    float largest = 0.0f;
    for (float sample : *sound)
        largest = std::max(largest, std::fabs(sample));
    if (largest <= 0.0f)
        return;
    for (float& sample : *sound)
        sample *= peak / largest;
}

// Raised-cosine fades at both ends: the first and last samples become zero.
void FadeEnds(std::vector<float>* sound, float fadeInSeconds, float fadeOutSeconds)
{
    size_t count = sound->size();
    size_t in = std::min(count, static_cast<size_t>(fadeInSeconds * kRate) + 1);
    size_t out = std::min(count, static_cast<size_t>(fadeOutSeconds * kRate) + 1);
    for (size_t i = 0; i < in; ++i)
        (*sound)[i] *= 0.5f - 0.5f * std::cos(0.5f * kTwoPi * static_cast<float>(i) / static_cast<float>(in));
    for (size_t i = 0; i < out; ++i) {
        float k = static_cast<float>(i) / static_cast<float>(out);
        (*sound)[count - 1 - i] *= 0.5f - 0.5f * std::cos(0.5f * kTwoPi * k);
    }
}

std::vector<int16_t> ToSamples(const std::vector<float>& sound)
{
    std::vector<int16_t> samples(sound.size());
    for (size_t i = 0; i < sound.size(); ++i)
        samples[i] = static_cast<int16_t>(std::lround(std::clamp(sound[i], -1.0f, 1.0f) * 32767.0f));
    return samples;
}

// A struck bell: a few partials, the higher ones dying sooner.
void AddBell(std::vector<float>* sound, float startSeconds, float hertz, float gain)
{
    struct Partial {
        float ratio, amplitude, decaySeconds;
    };
    static const Partial kPartials[] = {{1.0f, 1.0f, 0.30f}, {2.0f, 0.30f, 0.12f}, {3.0f, 0.12f, 0.07f},
                                        {4.2f, 0.06f, 0.04f}};
    constexpr float kAttack = 0.004f;
    size_t start = static_cast<size_t>(startSeconds * kRate);
    for (size_t i = start; i < sound->size(); ++i) {
        float t = SecondsAt(i - start);
        float value = 0.0f;
        for (const Partial& partial : kPartials) {
            float ring = std::exp(-t / partial.decaySeconds);
            value += partial.amplitude * ring * std::sin(kTwoPi * hertz * partial.ratio * t);
        }
        float attack = t < kAttack ? 0.5f - 0.5f * std::cos(0.5f * kTwoPi * t / kAttack) : 1.0f;
        (*sound)[i] += gain * attack * value;
    }
}

}  // namespace

std::vector<int16_t> BuildChangeSceneSound()
{
    constexpr float kLowNote = 783.99f;    // G5
    constexpr float kHighNote = 1174.66f;  // D6, a fifth above
    std::vector<float> sound = MakeSilence(0.42f);
    AddBell(&sound, 0.0f, kLowNote, 0.8f);
    AddBell(&sound, 0.12f, kHighNote, 1.0f);
    ScaleToPeak(&sound, 0.5f);
    FadeEnds(&sound, 0.002f, 0.06f);
    return ToSamples(sound);
}

std::vector<int16_t> BuildTornadoSound()
{
    constexpr float kSeconds = 2.5f;
    std::vector<float> sound = MakeSilence(kSeconds);
    RandomSequence noise{0x70A4AD0ull};
    float rumbleA = 0.0f, rumbleB = 0.0f, hissLow = 0.0f, hissHigh = 0.0f;
    BandFilter howl;
    float rumbleK = LowPassCoefficient(160.0f);
    float hissLowK = LowPassCoefficient(900.0f);
    float hissHighK = LowPassCoefficient(2600.0f);
    for (size_t i = 0; i < sound.size(); ++i) {
        float t = SecondsAt(i);
        float white = NextNoise(&noise);
        rumbleA += rumbleK * (white - rumbleA);
        rumbleB += rumbleK * (rumbleA - rumbleB);
        hissLow += hissLowK * (white - hissLow);
        hissHigh += hissHighK * (white - hissHigh);
        // The howl's pitch wanders with the gusts.
        float centre = 430.0f + 220.0f * std::sin(kTwoPi * 0.55f * t) + 90.0f * std::sin(kTwoPi * 1.7f * t + 1.0f);
        float whistle = FilterBand(&howl, white, centre, 0.25f);
        float gust = 0.75f + 0.25f * std::sin(kTwoPi * 0.8f * t + 0.5f) * std::sin(kTwoPi * 0.33f * t);
        // Each part's gain evens out the level its filter leaves.
        float value = 22.0f * rumbleB + 0.35f * whistle + 0.4f * (hissHigh - hissLow);
        float swell = std::sin(0.25f * kTwoPi * std::min(t / 0.9f, 1.0f));
        float fade = t > 1.3f ? std::cos(0.25f * kTwoPi * (t - 1.3f) / (kSeconds - 1.3f)) : 1.0f;
        sound[i] = value * gust * swell * swell * fade * fade;
    }
    ScaleToPeak(&sound, 0.6f);
    FadeEnds(&sound, 0.01f, 0.01f);
    return ToSamples(sound);
}

std::vector<int16_t> BuildKeyPressSound()
{
    std::vector<float> sound = MakeSilence(0.05f);
    RandomSequence noise{0xC11C4ull};
    float tick = 0.0f;
    float tickK = LowPassCoefficient(3000.0f);
    for (size_t i = 0; i < sound.size(); ++i) {
        float t = SecondsAt(i);
        tick += tickK * (NextNoise(&noise) - tick);
        sound[i] = 0.6f * std::exp(-t / 0.006f) * std::sin(kTwoPi * 2000.0f * t) +
                   0.4f * std::exp(-t / 0.012f) * std::sin(kTwoPi * 1150.0f * t) + 0.8f * std::exp(-t / 0.003f) * tick;
    }
    ScaleToPeak(&sound, 0.35f);
    FadeEnds(&sound, 0.001f, 0.008f);
    return ToSamples(sound);
}

std::vector<int16_t> BuildMoveSound()
{
    constexpr float kSeconds = 0.12f;
    std::vector<float> sound = MakeSilence(kSeconds);
    RandomSequence noise{0x3077Eull};
    BandFilter sweep;
    float smooth = 0.0f;
    float smoothK = LowPassCoefficient(2500.0f);
    for (size_t i = 0; i < sound.size(); ++i) {
        float t = SecondsAt(i);
        float centre = 500.0f + 800.0f * t / kSeconds;
        float air = FilterBand(&sweep, NextNoise(&noise), centre, 0.8f);
        smooth += smoothK * (air - smooth);
        // A Hann-shaped swell: it is restarted every frame while an arrow is
        // held, so its opening must be soft and its level low.
        float swell = std::sin(0.5f * kTwoPi * t / kSeconds);
        sound[i] = smooth * swell * swell;
    }
    ScaleToPeak(&sound, 0.22f);
    FadeEnds(&sound, 0.002f, 0.002f);
    return ToSamples(sound);
}
