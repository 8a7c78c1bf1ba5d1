// data_files.h — the names of the files the program reads from its run
// folder: the twelve textures by slot and the four sound cues. The texture
// set, the key actions, the data generator (tools/assetgen) and the tests
// all take them from here, so a name has one spelling.
#pragma once

// Texture slots, in load order: the index into AppState.textures.
enum TextureSlot {
    kSlotWater1,
    kSlotWater2,
    kSlotPoolBottom,
    kSlotPoolSide,
    kSlotFirePole,
    kSlotFire1,
    kSlotFire2,
    kSlotFire3,
    kSlotTornado,
    kSlotEarth,
    kSlotPlanet,
    kSlotFontMap,
};
constexpr int kTextureCount = kSlotFontMap + 1;

// By slot.
constexpr const char* kTextureFiles[kTextureCount] = {
    "Graphics/Water1.bmp",   "Graphics/Water2.bmp",   "Graphics/PoolBottom.bmp",
    "Graphics/PoolSide.bmp", "Graphics/FirePole.bmp", "Graphics/Fire1.bmp",
    "Graphics/Fire2.bmp",    "Graphics/Fire3.bmp",    "Graphics/Tornado.bmp",
    "Graphics/Earth.bmp",    "Graphics/Planet.bmp",   "Graphics/FontMap.bmp",
};

enum SoundCue {
    kCueChangeScene,  // every scene advance
    kCueTornado,      // entering WIND, after the change cue
    kCueKeyPress,     // either toggle
    kCueMove,         // an arrow key, every idle pass it is held
};
constexpr int kCueCount = kCueMove + 1;

// By cue.
constexpr const char* kCueFiles[kCueCount] = {
    "Sounds/ChangeScene.wav",
    "Sounds/TornadoNoise.wav",
    "Sounds/GeneralKeyPress.wav",
    "Sounds/MoveAround.wav",
};
