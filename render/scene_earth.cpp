// scene_earth.cpp — EARTH: a pyramid mound with a planet spinning to and fro
// above its apex.
#include <GL/gl.h>
#include <GL/glu.h>

#include "render/render.h"
#include "render/scenes.h"
#include "state/app_state.h"

namespace {

// A closed square pyramid: base 2 x 2 at y = -1, apex at (0, 1, 0). Each face
// shows the texture's full width narrowing to the middle of its top edge.
void DrawMound()
{
    struct Corner {
        float x, z;
    };
    // Base corners in face order: front (+Z), right (+X), back (-Z), left (-X),
    // each face running counter-clockwise seen from outside.
    constexpr Corner kBase[] = {{-1.0f, 1.0f}, {1.0f, 1.0f}, {1.0f, -1.0f}, {-1.0f, -1.0f}};
    constexpr float kBaseY = -1.0f;
    constexpr float kApexY = 1.0f;

    glBegin(GL_TRIANGLES);
    for (int face = 0; face < 4; ++face) {
        const Corner& first = kBase[face];
        const Corner& second = kBase[(face + 1) % 4];
        glTexCoord2f(0.5f, 1.0f);
        glVertex3f(0.0f, kApexY, 0.0f);
        glTexCoord2f(0.0f, 0.0f);
        glVertex3f(first.x, kBaseY, first.z);
        glTexCoord2f(1.0f, 0.0f);
        glVertex3f(second.x, kBaseY, second.z);
    }
    glEnd();

    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 0.0f);
    glVertex3f(-1.0f, kBaseY, 1.0f);
    glTexCoord2f(1.0f, 0.0f);
    glVertex3f(1.0f, kBaseY, 1.0f);
    glTexCoord2f(1.0f, 1.0f);
    glVertex3f(1.0f, kBaseY, -1.0f);
    glTexCoord2f(0.0f, 1.0f);
    glVertex3f(-1.0f, kBaseY, -1.0f);
    glEnd();
}

}  // namespace

void DrawEarthScene()
{
    constexpr float kPlanetHeight = 1.5f;  // centre above the mound's origin, world units
    constexpr double kPlanetRadius = 0.5;  // so its lowest point rests on the apex
    constexpr int kPlanetSlices = 32;

    DrawSceneTitles(360, "EARTH", 250, "MOUND OF DIRT WITH FLOWERS");

    glRotatef(90.0f, -1.0f, 0.0f, 0.0f);  // the mound's +Y points up the screen
    BindTextureSlot(kSlotEarth);
    DrawMound();

    glTranslatef(0.0f, kPlanetHeight, 0.0f);
    BindTextureSlot(kSlotPlanet);
    glRotatef(AppState.planetAngle, 0.0f, 1.0f, 0.0f);
    gluSphere(AppState.quadric, kPlanetRadius, kPlanetSlices, kPlanetSlices);

    // After drawing: a frame shows the angle the previous step left.
    StepSwing(&AppState.planetAngle, &AppState.planetReversing);
}
