// sdl_sound_device.cpp — the sound's own thread: it starts the audio driver,
// opens the device and reads the named cue files, so the first cue starts as
// promptly as the rest and the frame loop never waits for the sound server;
// a cue asked for meanwhile joins in when the device opens, at the point it
// would have reached, so it stays in step with the picture. At the close it
// waits until the server holds only silence, then closes what it opened.
#include <algorithm>
#include <cstring>
#include <iterator>

#include "platform/sdl/sdl_sound.h"

namespace {

// Small cues: a modest rate and a short buffer keep the delay low.
constexpr int kPreferredFrequency = 22050;
constexpr Uint8 kPreferredChannels = 1;
constexpr Uint16 kBufferFrames = 512;
// Silent buffers handed to the server after the close fade, so that what it
// still holds of the stream when it goes is silence too.
constexpr int kSilentBuffersBeforeClose = 4;

SDL_AudioDeviceID OpenDevice(SdlSound* sound, SDL_AudioSpec* format)
{
    SDL_AudioSpec wanted{};
    wanted.freq = kPreferredFrequency;
    wanted.format = AUDIO_S16SYS;
    wanted.channels = kPreferredChannels;
    wanted.samples = kBufferFrames;
    wanted.callback = SdlMixCues;
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
    const SdlLoadedCue* cue = joining ? SdlFindLoadedCue(session, session.pendingPath) : nullptr;
    if (joining && cue == nullptr)
        return session.pendingPath;
    if (cue != nullptr) {
        double late = std::chrono::duration<double>(std::chrono::steady_clock::now() - session.pendingSince).count();
        SdlStartCue(session, *cue, static_cast<size_t>(late * session.format.freq));
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
        cue.samples = SdlLoadCueSamples(cue.path.c_str(), format);
    // A cue asked for while opening may be one not named at open.
    for (std::string missing = OpenWithCues(sound, &loaded); !missing.empty(); missing = OpenWithCues(sound, &loaded))
        loaded.push_back(SdlLoadedCue{missing, SdlLoadCueSamples(missing.c_str(), format)});
    return device;
}

}  // namespace

std::vector<Sint16> SdlLoadCueSamples(const char* path, const SDL_AudioSpec& device)
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

int SDLCALL SdlRunSound(void* data)
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
