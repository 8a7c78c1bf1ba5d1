// render_stubs.cpp — placeholders until the renderer lands.
#include <GL/gl.h>

#include "render/render.h"

bool SetupRenderer() { return true; }
void ResizeView(int, int) {}
void BeginOverlayBlend() {}
void EndOverlayBlend() {}
RgbImage* LoadImageFile(const char*) { return nullptr; }
bool LoadTextureSet() { return true; }
void BuildGlyphLists() {}
void FreeGlyphLists() {}
void DrawGlyphText(int, int, const char*) {}
bool RenderFrame()
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    return true;
}
void DrawMound() {}
