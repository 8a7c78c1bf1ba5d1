// app_state.h — the one record of state shared by the whole program, and the
// names it uses. The frame loop, the window procedure and the renderer read
// and write its fields directly; there is exactly one instance, initialised
// statically. It sits on the ground floor so that every layer can read it.
#pragma once

#include <cstdint>

#include "platform/platform.h"
#include "state/data_files.h"
#include "state/window_request.h"

struct GLUquadric;

constexpr int kKeyCount = 256;

// The scenes, in the order SPACE visits them; the value is `sceneIndex`.
enum Scene : int32_t {
    kSceneWater,
    kSceneFire,
    kSceneEarth,
    kSceneWind,
    kSceneCount,
};

struct AppStateRecord {
    // input
    bool keys[kKeyCount];  // true while the key with that virtual-key code is held
    bool active;           // the window is not minimised; frames are drawn only then
    // view
    bool showHelp;         // the key-help panel is drawn
    bool showTitles;       // the current scene's two title lines are drawn
    float cameraX;         // scene translation along X, world units
    float cameraY;         // along Y, world units
    float cameraZ;         // along Z (distance from the eye), world units
    float rotX;            // scene rotation about X, degrees
    float rotY;            // about Y, degrees
    float rotZ;            // about Z, degrees
    // scene
    int32_t sceneIndex;    // the Scene drawn: 0 WATER, 1 FIRE, 2 EARTH, 3 WIND
    bool spaceLatched;     // SPACE has already advanced the scene during this press
    // animation
    int32_t waterFrame;    // water texture of the next WATER frame: 0 or 1
    int32_t fireFrame;     // flame texture of the next FIRE frame: 0, 1 or 2
    float planetAngle;     // EARTH sphere spin, degrees
    int32_t planetReversing;   // 0 while planetAngle rises, 1 while it falls
    float tornadoAngle;        // WIND funnel spin, degrees
    int32_t tornadoReversing;  // 0 while tornadoAngle rises, 1 while it falls
    // GL objects
    uint32_t textures[kTextureCount];  // GL texture names by slot
    uint32_t glyphBase;    // first of the 256 glyph display lists
    GLUquadric* quadric;   // the one quadric, texture coordinates on
    // window handles
    InstanceHandle instance;              // owner of the window class
    WindowHandle window;                  // the one top-level window
    DeviceContextHandle deviceContext;    // the window's device context; swapped every frame
    RenderContextHandle renderContext;    // the one GL rendering context
    PixelFormatDescriptor pixelFormat;    // the requested pixel format
};

// The record's values at process start; tests use it to start each case afresh.
constexpr AppStateRecord InitialAppState()
{
    AppStateRecord state{};
    state.active = true;
    state.showHelp = true;
    state.showTitles = true;
    state.cameraZ = -6.0f;
    state.rotX = 105.0f;
    state.rotZ = 30.0f;
    state.pixelFormat = InitialPixelFormat();
    return state;
}

extern AppStateRecord AppState;
