// scenes.h — the four scenes and the overlays drawn with them; RenderFrame
// picks a scene per frame. Internal to render/.
#pragma once

#include <cstdint>
#include <span>

#include "state/data_files.h"

// Each draws under the view already applied and advances its own animation.
void DrawWaterScene();
void DrawFireScene();
void DrawEarthScene();
void DrawWindScene();

// The key-help panel down the right-hand side.
void DrawKeyHelpPanel();

// The scene's title at the top and subtitle at the bottom, when shown.
void DrawSceneTitles(int titleX, const char* title, int subtitleX, const char* subtitle);

// One step of the to-and-fro spin shared by the planet and the funnel.
void StepSwing(float* angle, int32_t* reversing);

// One step of a texture cycle shared by the water and the flame: binds the
// slot that *frame selects and moves *frame on to the next, back to 0 after
// the last. A frame outside the cycle binds nothing and stays as it is.
void StepTextureCycle(std::span<const TextureSlot> slots, int32_t* frame);
