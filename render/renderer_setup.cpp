// renderer_setup.cpp — the fixed GL state every frame relies on and the
// perspective projection. Depends on the texture set and the glyph font,
// which it builds.
#include <GL/gl.h>
#include <GL/glu.h>

#include "render/render.h"
#include "state/app_state.h"

bool SetupRenderer()
{
    // All or nothing: a missing texture leaves the context untouched.
    if (!LoadTextureSet()) {
        return false;
    }
    constexpr float kOverlayAlpha = 0.7f;  // share of a texture's colour that blending adds

    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
    glClearDepth(1.0);
    glEnable(GL_DEPTH_TEST);
    glShadeModel(GL_SMOOTH);
    glEnable(GL_TEXTURE_2D);  // every primitive is textured, for the whole run
    glDepthFunc(GL_LEQUAL);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    // Never changed again: opaque drawing ignores the alpha, blended drawing adds 70 %.
    glColor4f(1.0f, 1.0f, 1.0f, kOverlayAlpha);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);

    // Every scene draws with the quadric: without one there is nothing to show.
    AppState.quadric = PlatformNewQuadric();
    if (AppState.quadric == nullptr) {
        return false;
    }
    gluQuadricTexture(AppState.quadric, GL_TRUE);
    BuildGlyphLists();  // needs the font sheet loaded above
    return true;
}

void ResizeView(int width, int height)
{
    constexpr double kFieldOfView = 45.0;  // vertical, degrees
    constexpr double kNearPlane = 0.1f;    // world units; the float value, widened
    constexpr double kFarPlane = 100.0;    // world units

    if (height == 0) {
        height = 1;  // a minimised window reports 0; avoid dividing by it
    }
    glViewport(0, 0, width, height);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    const float aspect = static_cast<float>(width) / static_cast<float>(height);
    gluPerspective(kFieldOfView, aspect, kNearPlane, kFarPlane);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}
