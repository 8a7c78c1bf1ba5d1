// overlay.cpp — what is added over the picture: the blend switch that
// brackets every overlay, the key-help panel and the scene titles.
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

}  // namespace

void BeginOverlayBlend()
{
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
}

void EndOverlayBlend()
{
    glDisable(GL_BLEND);
    glEnable(GL_DEPTH_TEST);
}

void DrawKeyHelpPanel()
{
    BeginOverlayBlend();
    for (const PanelLine& line : kPanelLines) {
        DrawGlyphText(kPanelX, line.y, line.text);
    }
    EndOverlayBlend();
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
