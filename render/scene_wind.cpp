// scene_wind.cpp — WIND: a translucent funnel standing on its narrow end,
// spinning to and fro about its own axis.
#include <GL/gl.h>
#include <GL/glu.h>

#include "render/render.h"
#include "render/scenes.h"
#include "state/app_state.h"

void DrawWindScene()
{
    constexpr double kFootRadius = 0.2f;  // world units
    constexpr double kTopRadius = 0.7f;
    constexpr double kHeight = 2.1f;
    constexpr int kSlices = 32;

    DrawSceneTitles(368, "WIND", 355, "TORNADO");

    glRotatef(180.0f, 1.0f, 0.0f, 0.0f);  // axis up the screen
    glRotatef(15.0f, 0.0f, 1.0f, 0.0f);   // a little tilt
    glTranslatef(0.0f, 0.0f, -1.0f);      // foot one unit below the scene's origin
    glRotatef(AppState.tornadoAngle, 0.0f, 0.0f, 1.0f);

    BindTextureSlot(kSlotTornado);
    // Additive and without depth test, so both walls show through each other.
    BeginOverlayBlend();
    gluCylinder(AppState.quadric, kFootRadius, kTopRadius, kHeight, kSlices, kSlices);
    EndOverlayBlend();

    StepSwing(&AppState.tornadoAngle, &AppState.tornadoReversing);
}
