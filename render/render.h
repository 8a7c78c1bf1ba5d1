// render.h — the renderer: fixed GL state and projection, the texture set,
// the glyph font and the per-frame drawing of the scenes.
#pragma once

#include "image/dib_reader.h"

// renderer_setup.cpp
bool SetupRenderer();
void ResizeView(int width, int height);
void BeginOverlayBlend();
void EndOverlayBlend();

// texture_set.cpp
RgbImage* LoadImageFile(const char* path);
bool LoadTextureSet();

// glyph_font.cpp
void BuildGlyphLists();
void FreeGlyphLists();
void DrawGlyphText(int x, int y, const char* text);

// render_frame.cpp and the scene files
bool RenderFrame();
void DrawMound();
// Binds the texture of a slot for the primitives that follow.
void BindTextureSlot(int slot);
