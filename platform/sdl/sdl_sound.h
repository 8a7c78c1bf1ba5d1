// sdl_sound.h — what the sound's files share: the record of a run's sound,
// which the program's thread, the sound thread and the device's callback all
// touch under its lock, and the steps each file offers the others.
#pragma once

#include <SDL2/SDL.h>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

// A sound cue read from its file, in the device's format.
struct SdlLoadedCue {
    std::string path;
    std::vector<Sint16> samples;  // interleaved whole frames; empty when unplayable
};

// One cue sounding on the device, or a free slot when samples is null.
struct SdlCueVoice {
    const Sint16* samples;  // the cue's samples, owned by its SdlLoadedCue
    size_t count;           // samples in all
    size_t start;           // the first sample played; position == start: not heard yet
    size_t position;        // the next sample to play
    float gain;             // 0 to 1
    float step;             // gain change per frame: > 0 fading in, < 0 fading out
};

enum class SdlSoundPhase {
    Opening,  // the sound thread is opening the device; cues are held
    Open,     // cues play
    Failed,   // no device: cues are silently nothing
};

// What one session of sound knows, from PlatformOpenSound to the end of its
// thread: a fresh one for every session.
struct SdlSoundSession {
    SdlSoundPhase phase = SdlSoundPhase::Opening;
    SDL_AudioSpec format{};              // the device's: S16 at its own rate and channel count
    std::vector<std::string> announced;  // the cues named at open, read with the device
    std::deque<SdlLoadedCue> cues;       // a deque: voices point into its cues while it grows
    bool pending = false;                // a cue was asked for while opening
    std::string pendingPath;
    std::chrono::steady_clock::time_point pendingSince;
    SdlCueVoice voices[4] = {};  // the cue playing and those still fading out
    bool closing = false;        // PlatformCloseSound has begun
    std::chrono::steady_clock::time_point drainBy;  // when the thread stops waiting for silence
    int silentBuffers = 0;       // silent buffers handed over since the close began
    bool finished = false;       // the thread has closed everything it opened
};

// The sound of a run, shared by the program's thread, the sound thread (it
// opens the device and closes it: every SDL audio call that may wait for the
// sound server is made there) and the device's callback. It lives on the
// heap: a thread stuck on a server that stopped answering is abandoned with
// it, and whatever that thread touches if it ever wakes is still there.
struct SdlSound {
    std::mutex lock;                  // guards session
    std::condition_variable changed;  // the thread has opened, or finished; a silent buffer while closing
    SdlSoundSession session;
    SDL_Thread* thread = nullptr;  // the program's thread's alone
    bool eventsHeld = false;       // SDL's events counted up for the sound thread, by the program's
};

// Reads a WAV file and converts it to the device's format; empty on failure
// (sdl_sound_device.cpp).
std::vector<Sint16> SdlLoadCueSamples(const char* path, const SDL_AudioSpec& device);
// The sound thread: opens the device and reads the cues, waits for the
// close, lets the server play a little silence, closes what it opened.
int SDLCALL SdlRunSound(void* data);

// The mixing (sdl_sound_mix.cpp), always under the record's lock.
const SdlLoadedCue* SdlFindLoadedCue(const SdlSoundSession& session, const std::string& path);
// Fades every sounding voice out over `seconds`; one not yet heard is dropped.
void SdlFadeOutVoices(SdlSoundSession& session, float seconds);
// Starts a cue `offset` frames in (fading in when that is not its start),
// cutting off what plays. An unplayable cue cuts nothing off.
void SdlStartCue(SdlSoundSession& session, const SdlLoadedCue& cue, size_t offset);
// The device's callback: adds the voices into one buffer of silence.
void SDLCALL SdlMixCues(void* data, Uint8* stream, int length);
