// sdl_sound.cpp — fire-and-forget sound cues on one SDL audio device: the
// program's calls. Opening starts the sound's own thread
// (sdl_sound_device.cpp) and returns at once; a cue is handed to the mix
// (sdl_sound_mix.cpp), or held while the device is still opening. No audio
// device, or a file that is missing or unreadable, is silently nothing, and
// is not tried again. Closing waits a bounded time: a server that stops
// answering costs the sound, never the user's desktop.
#include "platform/sdl/sdl_internal.h"
#include "platform/sdl/sdl_sound.h"

namespace {

constexpr float kCloseFadeSeconds = 0.02f;  // whatever still plays at close
// How long the program waits, in all, for the sound to close; past it the
// sound thread is left to the server it waits on. Of that, the thread waits
// for silence at most kDrainLimit, leaving the rest to close the device.
constexpr auto kCloseLimit = std::chrono::milliseconds(500);
constexpr auto kDrainLimit = std::chrono::milliseconds(350);

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
    sound->thread = SDL_CreateThread(SdlRunSound, "marivelt sound", sound);
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
        if (const SdlLoadedCue* cue = SdlFindLoadedCue(session, path)) {
            SdlStartCue(session, *cue, 0);
            return;
        }
        format = session.format;
    }
    // A cue not named at open is read now, with the lock let go; only this
    // thread adds cues once the sound is open.
    std::vector<Sint16> samples = SdlLoadCueSamples(path, format);
    std::lock_guard<std::mutex> hold(sound->lock);
    SdlSoundSession& session = sound->session;
    session.cues.push_back(SdlLoadedCue{path, std::move(samples)});
    SdlStartCue(session, session.cues.back(), 0);
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
        SdlFadeOutVoices(session, kCloseFadeSeconds);
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
