// sound_cues.h — the program's four sound cues, by file, relative to the
// working directory. All four are named when the sound opens, so that each is
// read before it is first played.
#pragma once

#include <cstddef>

constexpr const char* kChangeSceneCue = "Sounds/ChangeScene.wav";
constexpr const char* kTornadoCue = "Sounds/TornadoNoise.wav";
constexpr const char* kKeyPressCue = "Sounds/GeneralKeyPress.wav";
constexpr const char* kMoveCue = "Sounds/MoveAround.wav";

constexpr const char* kSoundCues[] = {kChangeSceneCue, kTornadoCue, kKeyPressCue, kMoveCue};
constexpr size_t kSoundCueCount = sizeof(kSoundCues) / sizeof(kSoundCues[0]);
