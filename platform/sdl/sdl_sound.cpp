// sdl_sound.cpp — fire-and-forget sound cues on one SDL audio device.
//
// The device opens with the first cue. Each cue file is read and converted
// to the device's format once, then kept. Playing a cue throws away what is
// still queued (the cue before it) and queues its own samples, so it starts
// at once and cuts the other off. No audio device, or a file that is missing
// or unreadable, is silently nothing, and is not tried again.
#include <cstring>
#include <vector>

#include "platform/sdl/sdl_internal.h"

namespace {

// Small cues: a modest rate and a short buffer keep the start-up delay low.
constexpr int kPreferredFrequency = 22050;
constexpr Uint8 kPreferredChannels = 1;
constexpr Uint16 kBufferFrames = 512;

bool OpenSoundDevice()
{
    if (SdlState.sound.device != 0)
        return true;
    if (SdlState.sound.failed)
        return false;
    SdlState.sound.failed = true;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
        return false;
    SdlState.sound.subsystemStarted = true;
    SDL_AudioSpec wanted{};
    wanted.freq = kPreferredFrequency;
    wanted.format = AUDIO_S16SYS;
    wanted.channels = kPreferredChannels;
    wanted.samples = kBufferFrames;
    // Cues are converted once when loaded, so the device may keep its own
    // rate and channel count rather than convert every buffer.
    SdlState.sound.device = SDL_OpenAudioDevice(nullptr, 0, &wanted, &SdlState.sound.deviceFormat,
                                         SDL_AUDIO_ALLOW_FREQUENCY_CHANGE | SDL_AUDIO_ALLOW_CHANNELS_CHANGE);
    if (SdlState.sound.device == 0)
        return false;
    SDL_PauseAudioDevice(SdlState.sound.device, 0);
    SdlState.sound.failed = false;
    return true;
}

// Reads a WAV file and converts it to the device's format; empty on failure.
std::vector<Uint8> LoadCueSamples(const char* path)
{
    SDL_AudioSpec fileSpec{};
    Uint8* fileSamples = nullptr;
    Uint32 fileLength = 0;
    if (SDL_LoadWAV(path, &fileSpec, &fileSamples, &fileLength) == nullptr)
        return {};
    std::vector<Uint8> samples;
    SDL_AudioCVT conversion{};
    int needed = SDL_BuildAudioCVT(&conversion, fileSpec.format, fileSpec.channels, fileSpec.freq,
                                   SdlState.sound.deviceFormat.format, SdlState.sound.deviceFormat.channels, SdlState.sound.deviceFormat.freq);
    if (needed == 0) {
        samples.assign(fileSamples, fileSamples + fileLength);
    } else if (needed > 0) {
        // The conversion works in place and may need len_mult times the room.
        samples.resize(static_cast<size_t>(fileLength) * static_cast<size_t>(conversion.len_mult));
        std::memcpy(samples.data(), fileSamples, fileLength);
        conversion.buf = samples.data();
        conversion.len = static_cast<int>(fileLength);
        if (SDL_ConvertAudio(&conversion) == 0)
            samples.resize(static_cast<size_t>(conversion.len_cvt));
        else
            samples.clear();
    }
    SDL_FreeWAV(fileSamples);
    return samples;
}

const SdlLoadedCue& FindCue(const char* path)
{
    for (const SdlLoadedCue& cue : SdlState.sound.cues) {
        if (cue.path == path)
            return cue;
    }
    SdlState.sound.cues.push_back(SdlLoadedCue{path, LoadCueSamples(path)});
    return SdlState.sound.cues.back();
}

}  // namespace

void PlatformPlaySound(const char* path)
{
    if (path == nullptr || !OpenSoundDevice())
        return;
    const SdlLoadedCue& cue = FindCue(path);
    if (cue.samples.empty())
        return;
    SDL_ClearQueuedAudio(SdlState.sound.device);
    // A queue that fails is silence, like any cue that cannot be played.
    SDL_QueueAudio(SdlState.sound.device, cue.samples.data(), static_cast<Uint32>(cue.samples.size()));
}

void SdlCloseSound()
{
    if (SdlState.sound.device != 0)
        SDL_CloseAudioDevice(SdlState.sound.device);
    if (SdlState.sound.subsystemStarted)
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    SdlState.sound = SdlSoundDevice{};
}
