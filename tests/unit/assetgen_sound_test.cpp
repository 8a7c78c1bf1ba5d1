// assetgen_sound_test.cpp — the four generated cues as SDL's WAV loader sees
// them: 16-bit mono at 22,050 Hz, of the intended length, silent at both ends
// so that starting or cutting one off never clicks.
#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "tests/unit/assetgen_test_support.h"

namespace {

struct LoadedSound {
    bool loaded = false;
    SDL_AudioSpec audio{};
    std::vector<int16_t> samples;
};

LoadedSound LoadWav(const char* path)
{
    LoadedSound sound;
    Uint8* buffer = nullptr;
    Uint32 length = 0;
    if (SDL_LoadWAV(path, &sound.audio, &buffer, &length) == nullptr)
        return sound;
    sound.loaded = true;
    sound.samples.resize(length / 2);
    for (size_t i = 0; i < sound.samples.size(); ++i)
        sound.samples[i] = static_cast<int16_t>(buffer[2 * i] | (buffer[2 * i + 1] << 8));
    SDL_FreeWAV(buffer);
    return sound;
}

int Peak(const std::vector<int16_t>& samples, size_t first, size_t end)
{
    int peak = 0;
    for (size_t i = first; i < end && i < samples.size(); ++i)
        peak = std::max(peak, std::abs(static_cast<int>(samples[i])));
    return peak;
}

struct CueExpectation {
    const char* path;
    double shortest, longest;  // seconds
};

TEST(AssetgenSounds, EveryCueIsShortCleanMonoPcm)
{
    const CueExpectation kCues[] = {
        {kCueFiles[kCueChangeScene], 0.3, 0.5},
        {kCueFiles[kCueTornado], 2.0, 3.0},
        {kCueFiles[kCueKeyPress], 0.03, 0.08},
        {kCueFiles[kCueMove], 0.08, 0.16},
    };
    constexpr int kNearSilence = 64;  // of 32767
    for (const CueExpectation& cue : kCues) {
        SCOPED_TRACE(cue.path);
        LoadedSound sound = LoadWav(cue.path);
        ASSERT_TRUE(sound.loaded) << SDL_GetError();
        EXPECT_EQ(sound.audio.format, AUDIO_S16LSB);
        EXPECT_EQ(sound.audio.channels, 1);
        EXPECT_EQ(sound.audio.freq, 22050);
        double seconds = static_cast<double>(sound.samples.size()) / 22050.0;
        EXPECT_GE(seconds, cue.shortest);
        EXPECT_LE(seconds, cue.longest);
        ASSERT_FALSE(sound.samples.empty());
        EXPECT_LE(std::abs(static_cast<int>(sound.samples.front())), kNearSilence);
        EXPECT_LE(std::abs(static_cast<int>(sound.samples.back())), kNearSilence);
        // Audible, and never clipped.
        int peak = Peak(sound.samples, 0, sound.samples.size());
        EXPECT_GT(peak, 3000);
        EXPECT_LT(peak, 32000);
    }
}

TEST(AssetgenSounds, MoveCueStartsSoftlyBecauseItRestartsEveryFrame)
{
    LoadedSound sound = LoadWav(kCueFiles[kCueMove]);
    ASSERT_TRUE(sound.loaded) << SDL_GetError();
    int peak = Peak(sound.samples, 0, sound.samples.size());
    EXPECT_LT(peak, 32767 * 35 / 100);
    // Cut off and restarted one frame (about 16 ms) in, only its opening is
    // heard, over and over: it must still be quiet there.
    size_t frame = 22050 * 16 / 1000;
    EXPECT_LT(Peak(sound.samples, 0, frame), peak / 2);
}

}  // namespace
