// scene_fire.cpp — FIRE: a tapering stick with a flame square standing on
// its wide end, the flame cycling through three textures.
#include <GL/gl.h>
#include <GL/glu.h>

#include "render/render.h"
#include "render/scenes.h"
#include "state/app_state.h"

namespace {

// Both texture axes run against the position axes, so the flame's foot
// (t = 0) sits on the stick and its tip points away from it.
void DrawFlameSquare()
{
    glBegin(GL_QUADS);
    glTexCoord2f(1.0f, 1.0f);
    glVertex3f(-0.5f, -0.5f, 0.0f);
    glTexCoord2f(0.0f, 1.0f);
    glVertex3f(0.5f, -0.5f, 0.0f);
    glTexCoord2f(0.0f, 0.0f);
    glVertex3f(0.5f, 0.5f, 0.0f);
    glTexCoord2f(1.0f, 0.0f);
    glVertex3f(-0.5f, 0.5f, 0.0f);
    glEnd();
}

}  // namespace

void DrawFireScene()
{
    constexpr double kWideRadius = 0.1f;    // world units, at the flame end
    constexpr double kNarrowRadius = 0.05f;
    constexpr double kStickLength = 1.0;
    constexpr int kSlices = 32;
    constexpr TextureSlot kFlameSlots[] = {kSlotFire1, kSlotFire2, kSlotFire3};

    DrawSceneTitles(368, "FIRE", 310, "BURNING STICK");

    BindTextureSlot(kSlotFirePole);
    // An inner disk inside the cap, at the same depth; the cap covers it.
    gluDisk(AppState.quadric, 0.0, kNarrowRadius, kSlices, kSlices);
    gluDisk(AppState.quadric, 0.0, kWideRadius, kSlices, kSlices);
    gluCylinder(AppState.quadric, kWideRadius, kNarrowRadius, kStickLength, kSlices, kSlices);

    StepTextureCycle(kFlameSlots, &AppState.fireFrame);
    glRotatef(90.0f, 1.0f, 0.0f, 0.0f);
    glTranslatef(0.0f, -0.5f, 0.0f);
    BeginOverlayBlend();
    DrawFlameSquare();
    EndOverlayBlend();
}
