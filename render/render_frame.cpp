// render_frame.cpp — one frame: clear, view, key-help panel, current scene.
#include <GL/gl.h>

#include "render/render.h"
#include "render/scenes.h"
#include "state/app_state.h"

namespace {

struct PanelLine {
    int y;  // text-space units, baseline of the glyph squares
    const char* text;
};

constexpr int kPanelX = 535;
constexpr PanelLine kPanelLines[] = {
    {550, "KEY CONTROLS"},
    {525, "____________"},
    {500, "ESC - QUIT"},
    {475, "C/V - Zoom Out/In"},
    {450, "SPACE - Toggle Scene"},
    {425, "W/E/R - Rotate X/Y/Z Axis"},
    {400, "S/D/F - Rotate X/Y/Z Axis"},
    {370, "        Opposite Direction"},
    {345, "ARROWS - Move Around World"},
    {320, "J - Show/Hide This Menu"},
    {295, "K - Show/Hide Scene Titles"},
    {220, "By Oskar Vennermoth"},
    {195, "2002 Brackenvolt Studio"},
    {170, "oskar@example.org"},
    {145, "Messenger: 2718 2818"},
};

void ApplyView()
{
    glLoadIdentity();
    glTranslatef(AppState.cameraX, AppState.cameraY, AppState.cameraZ);
    glRotatef(AppState.rotX, 1.0f, 0.0f, 0.0f);
    glRotatef(AppState.rotY, 0.0f, 1.0f, 0.0f);
    glRotatef(AppState.rotZ, 0.0f, 0.0f, 1.0f);
}

void DrawKeyHelpPanel()
{
    BeginOverlayBlend();
    for (const PanelLine& line : kPanelLines) {
        DrawGlyphText(kPanelX, line.y, line.text);
    }
    EndOverlayBlend();
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

void DrawSceneTitles(int titleX, const char* title, int subtitleX, const char* subtitle)
{
    constexpr int kTitleY = 575;
    constexpr int kSubtitleY = 50;

    if (!AppState.showTitles) {
        return;
    }
    BeginOverlayBlend();
    DrawGlyphText(titleX, kTitleY, title);
    DrawGlyphText(subtitleX, kSubtitleY, subtitle);
    EndOverlayBlend();
}

void BindTextureSlot(int slot)
{
    glBindTexture(GL_TEXTURE_2D, AppState.textures[slot]);
}
