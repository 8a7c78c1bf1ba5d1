// scene_water.cpp — WATER: a round pool, its surface alternating between
// two water textures, one per frame.
#include <GL/gl.h>
#include <GL/glu.h>

#include "render/render.h"
#include "render/scenes.h"
#include "state/app_state.h"

void DrawWaterScene()
{
    constexpr double kPoolRadius = 1.0;
    constexpr float kPoolDepth = 0.4f;      // the wall's height and the step to the bottom
    constexpr float kWaterRise = -0.25f;    // from the bottom up to the surface
    constexpr int kPoolSlices = 16;
    constexpr TextureSlot kWaterSlots[] = {kSlotWater1, kSlotWater2};

    DrawSceneTitles(363, "WATER", 310, "SWIMMING POOL");

    BindTextureSlot(kSlotPoolSide);
    gluCylinder(AppState.quadric, kPoolRadius, kPoolRadius, kPoolDepth, kPoolSlices, kPoolSlices);
    glTranslatef(0.0f, 0.0f, kPoolDepth);
    BindTextureSlot(kSlotPoolBottom);
    gluDisk(AppState.quadric, 0.0, kPoolRadius, kPoolSlices, kPoolSlices);
    glTranslatef(0.0f, 0.0f, kWaterRise);

    StepTextureCycle(kWaterSlots, &AppState.waterFrame);
    gluDisk(AppState.quadric, 0.0, kPoolRadius, kPoolSlices, kPoolSlices);
}
