// scenes.h — the four scenes and the pieces they share; RenderFrame picks one
// per frame. Internal to render/.
#pragma once

#include <cstdint>

// Each draws under the view already applied and advances its own animation.
void DrawWaterScene();
void DrawFireScene();
void DrawEarthScene();
void DrawWindScene();

// The scene's title at the top and subtitle at the bottom, when shown.
void DrawSceneTitles(int titleX, const char* title, int subtitleX, const char* subtitle);

// One step of the to-and-fro spin shared by the planet and the funnel.
void StepSwing(float* angle, int32_t* reversing);
