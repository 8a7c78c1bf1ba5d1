// sdl_sound.cpp — fire-and-forget sound cues on one SDL audio device.
//
// PlatformOpenSound opens the device and reads the named cue files on a
// thread of its own, so the first cue starts as promptly as the rest and the
// frame loop never waits for the sound server. The device's callback mixes
// the cues: a new cue starts at once and fades the one before it out over a
// few milliseconds, which cuts it off without a click. A cue asked for while
// the device is still opening is held and joins in when it opens, at the
// point it would have reached, so it stays in step with the picture. No
// audio device, or a file that is missing or unreadable, is silently
// nothing, and is not tried again.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/sdl/sdl_internal.h"

namespace {

// Small cues: a modest rate and a short buffer keep the delay low.
constexpr int kPreferredFrequency = 22050;
constexpr Uint8 kPreferredChannels = 1;
constexpr Uint16 kBufferFrames = 512;
constexpr float kCutFadeSeconds = 0.005f;    // a cue cut off by the next one
constexpr float kCloseFadeSeconds = 0.02f;   // whatever still plays at close
// Silent buffers handed to the server after the close fade, so that what it
// still holds of the stream when it goes is silence too.
constexpr int kSilentBuffersBeforeClose = 4;
constexpr auto kCloseWait = std::chrono::milliseconds(500);

// Reads a WAV file and converts it to the device's format; empty on failure.
std::vector<Sint16> LoadCueSamples(const char* path, const SDL_AudioSpec& device)
{
    SDL_AudioSpec fileSpec{};
    Uint8* fileSamples = nullptr;
    Uint32 fileLength = 0;
    if (SDL_LoadWAV(path, &fileSpec, &fileSamples, &fileLength) == nullptr)
        return {};
    std::vector<Uint8> bytes;
    SDL_AudioCVT conversion{};
    int needed = SDL_BuildAudioCVT(&conversion, fileSpec.format, fileSpec.channels, fileSpec.freq, device.format,
                                   device.channels, device.freq);
    if (needed == 0) {
        bytes.assign(fileSamples, fileSamples + fileLength);
    } else if (needed > 0) {
        // The conversion works in place and may need len_mult times the room.
        bytes.resize(static_cast<size_t>(fileLength) * static_cast<size_t>(conversion.len_mult));
        std::memcpy(bytes.data(), fileSamples, fileLength);
        conversion.buf = bytes.data();
        conversion.len = static_cast<int>(fileLength);
        if (SDL_ConvertAudio(&conversion) == 0)
            bytes.resize(static_cast<size_t>(conversion.len_cvt));
        else
            bytes.clear();
    }
    SDL_FreeWAV(fileSamples);
    // Whole frames only, so that every voice stays aligned on its channels.
    size_t frameBytes = sizeof(Sint16) * device.channels;
    std::vector<Sint16> samples(bytes.size() / frameBytes * device.channels);
    if (!samples.empty())
        std::memcpy(samples.data(), bytes.data(), samples.size() * sizeof(Sint16));
    return samples;
}

const SdlLoadedCue* FindLoadedCue(const std::string& path)
{
    for (const SdlLoadedCue& cue : SdlState.sound.cues) {
        if (cue.path == path)
            return &cue;
    }
    return nullptr;
}

// The cue of that path, read now if it was not named at open. The lock is
// let go while the file is read, so the callback never waits for a disk.
const SdlLoadedCue& FindOrLoadCue(const std::string& path, std::unique_lock<std::mutex>* hold)
{
    if (const SdlLoadedCue* cue = FindLoadedCue(path))
        return *cue;
    SDL_AudioSpec format = SdlState.sound.format;
    hold->unlock();
    std::vector<Sint16> samples = LoadCueSamples(path.c_str(), format);
    hold->lock();
    if (const SdlLoadedCue* cue = FindLoadedCue(path))
        return *cue;  // the other thread read it meanwhile
    SdlState.sound.cues.push_back(SdlLoadedCue{path, std::move(samples)});
    return SdlState.sound.cues.back();
}

float FadeStep(float seconds)
{
    return 1.0f / std::max(1.0f, seconds * static_cast<float>(SdlState.sound.format.freq));
}

// Fades every sounding voice out; one not yet heard is simply dropped.
void FadeOutVoices(float seconds)
{
    for (SdlCueVoice& voice : SdlState.sound.voices) {
        if (voice.samples == nullptr)
            continue;
        if (voice.gain <= 0.0f || voice.position == voice.start)
            voice = SdlCueVoice{};
        else
            voice.step = std::min(voice.step, -FadeStep(seconds));
    }
}

// Starts a cue `offset` frames in (fading in when that is not its start),
// cutting off what plays. An unplayable cue cuts nothing off.
void StartCue(const SdlLoadedCue& cue, size_t offset)
{
    size_t start = offset * SdlState.sound.format.channels;
    if (start >= cue.samples.size())
        return;
    FadeOutVoices(kCutFadeSeconds);
    SdlCueVoice* slot = &SdlState.sound.voices[0];
    for (SdlCueVoice& voice : SdlState.sound.voices) {
        if (voice.samples == nullptr || voice.gain < slot->gain)
            slot = &voice;
        if (voice.samples == nullptr)
            break;
    }
    *slot = SdlCueVoice{cue.samples.data(), cue.samples.size(), start, start, offset == 0 ? 1.0f : 0.0f,
                        offset == 0 ? 0.0f : FadeStep(kCutFadeSeconds)};
}

// Runs on the device's thread: adds the voices into one buffer of silence.
void SDLCALL MixCues(void*, Uint8* stream, int length)
{
    std::lock_guard<std::mutex> hold(SdlState.sound.lock);
    const size_t channels = SdlState.sound.format.channels;
    Sint16* out = reinterpret_cast<Sint16*>(stream);
    const size_t frames = static_cast<size_t>(length) / (sizeof(Sint16) * channels);
    bool sounding = false;
    for (size_t frame = 0; frame < frames; ++frame) {
        for (size_t channel = 0; channel < channels; ++channel) {
            float sum = 0.0f;
            for (const SdlCueVoice& voice : SdlState.sound.voices) {
                if (voice.samples != nullptr)
                    sum += voice.gain * static_cast<float>(voice.samples[voice.position + channel]);
            }
            out[frame * channels + channel] = static_cast<Sint16>(std::lround(std::clamp(sum, -32768.0f, 32767.0f)));
        }
        for (SdlCueVoice& voice : SdlState.sound.voices) {
            if (voice.samples == nullptr)
                continue;
            sounding = true;
            voice.position += channels;
            voice.gain = std::min(1.0f, voice.gain + voice.step);
            if (voice.position >= voice.count || voice.gain <= 0.0f)
                voice = SdlCueVoice{};
        }
    }
    // Any bytes short of a whole frame stay silent.
    std::memset(out + frames * channels, 0, static_cast<size_t>(length) - frames * channels * sizeof(Sint16));
    if (SdlState.sound.closing && !sounding) {
        ++SdlState.sound.silentBuffers;
        SdlState.sound.drained.notify_all();
    }
}

SDL_AudioDeviceID OpenDevice(SDL_AudioSpec* format)
{
    SDL_AudioSpec wanted{};
    wanted.freq = kPreferredFrequency;
    wanted.format = AUDIO_S16SYS;
    wanted.channels = kPreferredChannels;
    wanted.samples = kBufferFrames;
    wanted.callback = MixCues;
    // Cues are converted once when loaded, so the device may keep its own
    // rate and channel count rather than convert every buffer; the sample
    // format stays the one the callback mixes in.
    return SDL_OpenAudioDevice(nullptr, 0, &wanted, format,
                               SDL_AUDIO_ALLOW_FREQUENCY_CHANGE | SDL_AUDIO_ALLOW_CHANNELS_CHANGE);
}

// The opening thread: the subsystem, the device, then the cue files.
int SDLCALL OpenInBackground(void*)
{
    bool started = SDL_InitSubSystem(SDL_INIT_AUDIO) == 0;
    SDL_AudioSpec format{};
    SDL_AudioDeviceID device = started ? OpenDevice(&format) : 0;
    std::vector<std::string> paths;
    {
        std::lock_guard<std::mutex> hold(SdlState.sound.lock);
        SdlState.sound.subsystemStarted = started;
        SdlState.sound.device = device;
        SdlState.sound.format = format;
        paths = SdlState.sound.announced;
        if (device == 0)
            SdlState.sound.phase = SdlSoundPhase::Failed;
    }
    if (device == 0)
        return 0;
    // The stream runs from here on, silent until the first cue, so that cue
    // meets a stream the server has already started.
    SDL_PauseAudioDevice(device, 0);
    std::deque<SdlLoadedCue> loaded;
    for (const std::string& path : paths)
        loaded.push_back(SdlLoadedCue{path, LoadCueSamples(path.c_str(), format)});

    std::unique_lock<std::mutex> hold(SdlState.sound.lock);
    SdlState.sound.cues = std::move(loaded);
    SdlState.sound.phase = SdlSoundPhase::Open;
    if (SdlState.sound.pending && !SdlState.sound.closing) {
        std::string path = SdlState.sound.pendingPath;
        const SdlLoadedCue& cue = FindOrLoadCue(path, &hold);
        // Only the latest cue asked for counts, as if each had cut the one before.
        if (SdlState.sound.pendingPath == path) {
            double late = std::chrono::duration<double>(std::chrono::steady_clock::now() - SdlState.sound.pendingSince).count();
            StartCue(cue, static_cast<size_t>(late * format.freq));
        }
    }
    SdlState.sound.pending = false;
    return 0;
}

}  // namespace

void PlatformOpenSound(const char* const* cuePaths, size_t count)
{
    {
        std::lock_guard<std::mutex> hold(SdlState.sound.lock);
        if (SdlState.sound.phase != SdlSoundPhase::Closed)
            return;
        SdlState.sound.announced.assign(cuePaths, cuePaths + count);
        SdlState.sound.phase = SdlSoundPhase::Opening;
    }
    SDL_Thread* opener = SDL_CreateThread(OpenInBackground, "marivelt sound", nullptr);
    std::lock_guard<std::mutex> hold(SdlState.sound.lock);
    SdlState.sound.opener = opener;
    if (opener == nullptr)
        SdlState.sound.phase = SdlSoundPhase::Failed;
}

void PlatformPlaySound(const char* path)
{
    if (path == nullptr)
        return;
    std::unique_lock<std::mutex> hold(SdlState.sound.lock);
    if (SdlState.sound.phase == SdlSoundPhase::Opening) {
        SdlState.sound.pending = true;
        SdlState.sound.pendingPath = path;
        SdlState.sound.pendingSince = std::chrono::steady_clock::now();
    } else if (SdlState.sound.phase == SdlSoundPhase::Open && !SdlState.sound.closing) {
        StartCue(FindOrLoadCue(path, &hold), 0);
    }
}

void PlatformCloseSound()
{
    if (SdlState.sound.opener != nullptr) {
        {
            std::lock_guard<std::mutex> hold(SdlState.sound.lock);
            SdlState.sound.closing = true;  // a cue held for the opening is dropped
        }
        SDL_WaitThread(SdlState.sound.opener, nullptr);
        SdlState.sound.opener = nullptr;
    }
    if (SdlState.sound.device != 0) {
        // Fade out, then let the server play silence before the stream goes:
        // cut off mid-cue it would click.
        std::unique_lock<std::mutex> hold(SdlState.sound.lock);
        SdlState.sound.closing = true;
        SdlState.sound.silentBuffers = 0;
        FadeOutVoices(kCloseFadeSeconds);
        SdlState.sound.drained.wait_for(hold, kCloseWait, [] { return SdlState.sound.silentBuffers >= kSilentBuffersBeforeClose; });
        hold.unlock();
        SDL_PauseAudioDevice(SdlState.sound.device, 1);
        SDL_CloseAudioDevice(SdlState.sound.device);
    }
    if (SdlState.sound.subsystemStarted)
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    // The device thread is gone: nothing else reads these now.
    SdlState.sound.phase = SdlSoundPhase::Closed;
    SdlState.sound.subsystemStarted = false;
    SdlState.sound.device = 0;
    SdlState.sound.format = SDL_AudioSpec{};
    SdlState.sound.announced.clear();
    SdlState.sound.cues.clear();
    SdlState.sound.pending = false;
    SdlState.sound.pendingPath.clear();
    std::fill(std::begin(SdlState.sound.voices), std::end(SdlState.sound.voices), SdlCueVoice{});
    SdlState.sound.closing = false;
    SdlState.sound.silentBuffers = 0;
}
