// sdl_sound.cpp — fire-and-forget sound cues on one SDL audio device.
//
// PlatformOpenSound starts a thread of the sound's own that opens the device
// and reads the named cue files, so the first cue starts as promptly as the
// rest and the frame loop never waits for the sound server; the same thread
// closes the device at the end. The device's callback mixes the cues: a new
// cue starts at once and fades the one before it out over a few
// milliseconds, which cuts it off without a click. A cue asked for while the
// device is still opening is held and joins in when it opens, at the point
// it would have reached, so it stays in step with the picture. No audio
// device, or a file that is missing or unreadable, is silently nothing, and
// is not tried again. Closing waits a bounded time: a server that stops
// answering costs the sound, never the user's desktop.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <iterator>

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
// How long the program waits, in all, for the sound to close; past it the
// sound thread is left to the server it waits on. Of that, the thread waits
// for silence at most kDrainLimit, leaving the rest to close the device.
constexpr auto kCloseLimit = std::chrono::milliseconds(500);
constexpr auto kDrainLimit = std::chrono::milliseconds(350);

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

const SdlLoadedCue* FindLoadedCue(const SdlSoundSession& session, const std::string& path)
{
    for (const SdlLoadedCue& cue : session.cues) {
        if (cue.path == path)
            return &cue;
    }
    return nullptr;
}

float FadeStep(const SdlSoundSession& session, float seconds)
{
    return 1.0f / std::max(1.0f, seconds * static_cast<float>(session.format.freq));
}

// Fades every sounding voice out; one not yet heard is simply dropped.
void FadeOutVoices(SdlSoundSession& session, float seconds)
{
    for (SdlCueVoice& voice : session.voices) {
        if (voice.samples == nullptr)
            continue;
        if (voice.gain <= 0.0f || voice.position == voice.start)
            voice = SdlCueVoice{};
        else
            voice.step = std::min(voice.step, -FadeStep(session, seconds));
    }
}

// Starts a cue `offset` frames in (fading in when that is not its start),
// cutting off what plays. An unplayable cue cuts nothing off.
void StartCue(SdlSoundSession& session, const SdlLoadedCue& cue, size_t offset)
{
    size_t start = offset * session.format.channels;
    if (start >= cue.samples.size())
        return;
    FadeOutVoices(session, kCutFadeSeconds);
    SdlCueVoice* slot = &session.voices[0];
    for (SdlCueVoice& voice : session.voices) {
        if (voice.samples == nullptr || voice.gain < slot->gain)
            slot = &voice;
        if (voice.samples == nullptr)
            break;
    }
    *slot = SdlCueVoice{cue.samples.data(), cue.samples.size(), start, start, offset == 0 ? 1.0f : 0.0f,
                        offset == 0 ? 0.0f : FadeStep(session, kCutFadeSeconds)};
}

// Runs on the device's thread: adds the voices into one buffer of silence.
void SDLCALL MixCues(void* data, Uint8* stream, int length)
{
    SdlSound& sound = *static_cast<SdlSound*>(data);
    std::lock_guard<std::mutex> hold(sound.lock);
    SdlSoundSession& session = sound.session;
    const size_t channels = session.format.channels;
    Sint16* out = reinterpret_cast<Sint16*>(stream);
    const size_t frames = static_cast<size_t>(length) / (sizeof(Sint16) * channels);
    bool sounding = false;
    for (size_t frame = 0; frame < frames; ++frame) {
        for (size_t channel = 0; channel < channels; ++channel) {
            float sum = 0.0f;
            for (const SdlCueVoice& voice : session.voices) {
                if (voice.samples != nullptr)
                    sum += voice.gain * static_cast<float>(voice.samples[voice.position + channel]);
            }
            out[frame * channels + channel] = static_cast<Sint16>(std::lround(std::clamp(sum, -32768.0f, 32767.0f)));
        }
        for (SdlCueVoice& voice : session.voices) {
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
    if (session.closing && !sounding) {
        ++session.silentBuffers;
        sound.changed.notify_all();
    }
}

SDL_AudioDeviceID OpenDevice(SdlSound* sound, SDL_AudioSpec* format)
{
    SDL_AudioSpec wanted{};
    wanted.freq = kPreferredFrequency;
    wanted.format = AUDIO_S16SYS;
    wanted.channels = kPreferredChannels;
    wanted.samples = kBufferFrames;
    wanted.callback = MixCues;
    wanted.userdata = sound;
    // Cues are converted once when loaded, so the device may keep its own
    // rate and channel count rather than convert every buffer; the sample
    // format stays the one the callback mixes in.
    return SDL_OpenAudioDevice(nullptr, 0, &wanted, format,
                               SDL_AUDIO_ALLOW_FREQUENCY_CHANGE | SDL_AUDIO_ALLOW_CHANNELS_CHANGE);
}

// Hands the cues read so far to the session. Once it holds the cue asked for
// while opening (or none was), that cue joins in late, the session opens,
// and the result is empty; otherwise the result names the cue still to read.
std::string OpenWithCues(SdlSound& sound, std::deque<SdlLoadedCue>* loaded)
{
    std::lock_guard<std::mutex> hold(sound.lock);
    SdlSoundSession& session = sound.session;
    std::move(loaded->begin(), loaded->end(), std::back_inserter(session.cues));
    loaded->clear();
    const bool joining = session.pending && !session.closing;
    const SdlLoadedCue* cue = joining ? FindLoadedCue(session, session.pendingPath) : nullptr;
    if (joining && cue == nullptr)
        return session.pendingPath;
    if (cue != nullptr) {
        double late = std::chrono::duration<double>(std::chrono::steady_clock::now() - session.pendingSince).count();
        StartCue(session, *cue, static_cast<size_t>(late * session.format.freq));
    }
    session.pending = false;
    session.phase = SdlSoundPhase::Open;
    return {};
}

// The audio driver, the device, then the cue files; 0 when there is no device.
// SDL_AudioInit rather than SDL_InitSubSystem: it changes none of SDL's
// subsystem counts, which SDL keeps without a lock and the program's thread
// changes when it stops the video.
SDL_AudioDeviceID OpenSound(SdlSound& sound, bool* driverStarted)
{
    *driverStarted = SDL_AudioInit(nullptr) == 0;
    SDL_AudioSpec format{};
    SDL_AudioDeviceID device = *driverStarted ? OpenDevice(&sound, &format) : 0;
    std::deque<SdlLoadedCue> loaded;
    {
        std::lock_guard<std::mutex> hold(sound.lock);
        sound.session.format = format;
        if (device == 0) {
            sound.session.phase = SdlSoundPhase::Failed;
            return 0;
        }
        for (const std::string& path : sound.session.announced)
            loaded.push_back(SdlLoadedCue{path, {}});
    }
    // The stream runs from here on, silent until the first cue, so that cue
    // meets a stream the server has already started. Files are read with
    // the lock let go: the callback never waits for a disk.
    SDL_PauseAudioDevice(device, 0);
    for (SdlLoadedCue& cue : loaded)
        cue.samples = LoadCueSamples(cue.path.c_str(), format);
    // A cue asked for while opening may be one not named at open.
    for (std::string missing = OpenWithCues(sound, &loaded); !missing.empty(); missing = OpenWithCues(sound, &loaded))
        loaded.push_back(SdlLoadedCue{missing, LoadCueSamples(missing.c_str(), format)});
    return device;
}

// The sound thread: opens, waits for the close, lets the server play a
// little silence after the fade, then closes what it opened.
int SDLCALL RunSound(void* data)
{
    SdlSound& sound = *static_cast<SdlSound*>(data);
    bool driverStarted = false;
    SDL_AudioDeviceID device = OpenSound(sound, &driverStarted);
    if (device != 0) {
        std::unique_lock<std::mutex> hold(sound.lock);
        SdlSoundSession& session = sound.session;
        sound.changed.wait(hold, [&] { return session.closing; });
        sound.changed.wait_until(hold, session.drainBy,
                                 [&] { return session.silentBuffers >= kSilentBuffersBeforeClose; });
        hold.unlock();
        SDL_PauseAudioDevice(device, 1);
        SDL_CloseAudioDevice(device);
    }
    if (driverStarted)
        SDL_AudioQuit();
    std::lock_guard<std::mutex> hold(sound.lock);
    sound.session.finished = true;
    sound.changed.notify_all();
    return 0;
}

}  // namespace

void PlatformOpenSound(const char* const* cuePaths, size_t count)
{
    // A thread left to a server that stopped answering still holds SDL's
    // audio driver: no other sound starts beside it.
    if (SdlState.sound != nullptr || !SdlState.abandonedSound.empty())
        return;
    SdlSound* sound = new SdlSound;
    sound->session.announced.assign(cuePaths, cuePaths + count);
    // SDL's events, where the audio driver posts its device news, stay up
    // for as long as the sound thread may run, whatever becomes of the video:
    // this thread counts them up for it, as it does every SDL subsystem.
    sound->eventsHeld = SDL_InitSubSystem(SDL_INIT_EVENTS) == 0;
    sound->thread = SDL_CreateThread(RunSound, "marivelt sound", sound);
    if (sound->thread == nullptr) {
        sound->session.phase = SdlSoundPhase::Failed;
        sound->session.finished = true;
    }
    SdlState.sound = sound;
}

void PlatformPlaySound(const char* path)
{
    SdlSound* sound = SdlState.sound;
    if (sound == nullptr || path == nullptr)
        return;
    SDL_AudioSpec format{};
    {
        std::lock_guard<std::mutex> hold(sound->lock);
        SdlSoundSession& session = sound->session;
        if (session.phase == SdlSoundPhase::Opening) {
            session.pending = true;
            session.pendingPath = path;
            session.pendingSince = std::chrono::steady_clock::now();
            return;
        }
        if (session.phase != SdlSoundPhase::Open)
            return;
        if (const SdlLoadedCue* cue = FindLoadedCue(session, path)) {
            StartCue(session, *cue, 0);
            return;
        }
        format = session.format;
    }
    // A cue not named at open is read now, with the lock let go; only this
    // thread adds cues once the sound is open.
    std::vector<Sint16> samples = LoadCueSamples(path, format);
    std::lock_guard<std::mutex> hold(sound->lock);
    SdlSoundSession& session = sound->session;
    session.cues.push_back(SdlLoadedCue{path, std::move(samples)});
    StartCue(session, session.cues.back(), 0);
}

void PlatformCloseSound()
{
    SdlSound* sound = SdlState.sound;
    if (sound == nullptr)
        return;
    SdlState.sound = nullptr;
    const auto now = std::chrono::steady_clock::now();
    bool finished;
    {
        std::unique_lock<std::mutex> hold(sound->lock);
        SdlSoundSession& session = sound->session;
        session.closing = true;  // a cue held for the opening is dropped
        session.drainBy = now + kDrainLimit;
        FadeOutVoices(session, kCloseFadeSeconds);
        sound->changed.notify_all();
        finished = sound->changed.wait_until(hold, now + kCloseLimit, [&] { return session.finished; });
    }
    if (finished) {
        SDL_WaitThread(sound->thread, nullptr);  // it has nothing left to do
        if (sound->eventsHeld)
            SDL_QuitSubSystem(SDL_INIT_EVENTS);
        delete sound;
        return;
    }
    // A sound server that stopped answering holds the thread; it is left to
    // it, with the record and the events it may still touch.
    SDL_DetachThread(sound->thread);
    SdlState.abandonedSound.push_back(sound);
}
