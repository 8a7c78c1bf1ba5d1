// render_frame.cpp — one frame: clear, view, key-help panel, current scene.
#include <GL/gl.h>

#include "render/render.h"
#include "render/scenes.h"
#include "state/app_state.h"

namespace {

void ApplyView()
{
    glLoadIdentity();
    glTranslatef(AppState.cameraX, AppState.cameraY, AppState.cameraZ);
    glRotatef(AppState.rotX, 1.0f, 0.0f, 0.0f);
    glRotatef(AppState.rotY, 0.0f, 1.0f, 0.0f);
    glRotatef(AppState.rotZ, 0.0f, 0.0f, 1.0f);
}

}  // namespace

bool RenderFrame()
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    ApplyView();
    // Text goes first and writes no depth, so opaque geometry covers it.
    if (AppState.showHelp) {
        DrawKeyHelpPanel();
    }
    switch (AppState.sceneIndex) {
    case kSceneWater: DrawWaterScene(); break;
    case kSceneFire: DrawFireScene(); break;
    case kSceneEarth: DrawEarthScene(); break;
    case kSceneWind: DrawWindScene(); break;
    default: break;
    }
    return true;
}
