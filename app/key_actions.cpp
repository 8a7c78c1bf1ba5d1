// key_actions.cpp — the key table: scene advance, zoom, the two toggles,
// rotations and movement; all but zoom and the rotations start a sound cue.
// Steps are 32-bit floats and nothing is clamped or wrapped.
#include "app/key_actions.h"

#include "state/app_state.h"

namespace {

constexpr float kMoveStep = 0.1f;    // world units per idle pass
constexpr float kTurnStep = 1.0f;    // degrees per idle pass

constexpr uint8_t kKeyC = 'C', kKeyV = 'V', kKeyJ = 'J', kKeyK = 'K';
constexpr uint8_t kKeyW = 'W', kKeyS = 'S', kKeyE = 'E', kKeyD = 'D', kKeyR = 'R', kKeyF = 'F';

bool Held(uint8_t key)
{
    return AppState.keys[key];
}

void AdvanceScene()
{
    PlatformPlaySound(kCueFiles[kCueChangeScene]);
    AppState.spaceLatched = true;
    ++AppState.sceneIndex;
    // Entering the tornado cuts the change cue off with its own.
    if (AppState.sceneIndex == kSceneWind)
        PlatformPlaySound(kCueFiles[kCueTornado]);
    if (AppState.sceneIndex == kSceneCount)
        AppState.sceneIndex = kSceneWater;
}

void Toggle(bool* flag)
{
    *flag = !*flag;
    PlatformPlaySound(kCueFiles[kCueKeyPress]);
}

void Move(float* field, float step)
{
    *field += step;
    PlatformPlaySound(kCueFiles[kCueMove]);
}

}  // namespace

void ApplyHeldKeys()
{
    // SPACE advances once per press: the latch re-arms only while it is up.
    if (Held(VK_SPACE) && !AppState.spaceLatched)
        AdvanceScene();
    if (!Held(VK_SPACE))
        AppState.spaceLatched = false;

    if (Held(kKeyC)) AppState.cameraZ -= kMoveStep;
    if (Held(kKeyV)) AppState.cameraZ += kMoveStep;
    if (Held(kKeyJ)) Toggle(&AppState.showHelp);
    if (Held(kKeyK)) Toggle(&AppState.showTitles);
    if (Held(kKeyW)) AppState.rotX -= kTurnStep;
    if (Held(kKeyS)) AppState.rotX += kTurnStep;
    if (Held(kKeyE)) AppState.rotY -= kTurnStep;
    if (Held(kKeyD)) AppState.rotY += kTurnStep;
    if (Held(kKeyR)) AppState.rotZ -= kTurnStep;
    if (Held(kKeyF)) AppState.rotZ += kTurnStep;
    if (Held(VK_UP)) Move(&AppState.cameraY, -kMoveStep);
    if (Held(VK_DOWN)) Move(&AppState.cameraY, kMoveStep);
    if (Held(VK_RIGHT)) Move(&AppState.cameraX, -kMoveStep);
    if (Held(VK_LEFT)) Move(&AppState.cameraX, kMoveStep);
}
