// sdl_sound_mix.cpp — the cues as the device hears them: the callback adds
// the sounding voices into each buffer, a new cue starts at once and fades
// the one before it out over a few milliseconds, which cuts it off without a
// click, and a cue that joins late fades in.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/sdl/sdl_sound.h"

namespace {

constexpr float kCutFadeSeconds = 0.005f;  // a cue cut off by the next one

float FadeStep(const SdlSoundSession& session, float seconds)
{
    return 1.0f / std::max(1.0f, seconds * static_cast<float>(session.format.freq));
}

}  // namespace

const SdlLoadedCue* SdlFindLoadedCue(const SdlSoundSession& session, const std::string& path)
{
    for (const SdlLoadedCue& cue : session.cues) {
        if (cue.path == path)
            return &cue;
    }
    return nullptr;
}

void SdlFadeOutVoices(SdlSoundSession& session, float seconds)
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

void SdlStartCue(SdlSoundSession& session, const SdlLoadedCue& cue, size_t offset)
{
    size_t start = offset * session.format.channels;
    if (start >= cue.samples.size())
        return;
    SdlFadeOutVoices(session, kCutFadeSeconds);
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

void SDLCALL SdlMixCues(void* data, Uint8* stream, int length)
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
