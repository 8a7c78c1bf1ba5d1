// render.h — the renderer: fixed GL state and projection, the texture set,
// the glyph font, the overlay switch and the drawing of one frame.
#pragma once

#include "state/data_files.h"

// Set-up and projection: the GL state every frame relies on, made once.
bool SetupRenderer();
void ResizeView(int width, int height);

// The texture set: twelve textures by slot, loaded all or nothing.
bool LoadTextureSet();
// Binds the texture of a slot for the primitives that follow.
void BindTextureSlot(TextureSlot slot);

// Text: one display list per cell of the font sheet, in an 800 x 600 space.
void BuildGlyphLists();
void FreeGlyphLists();
void DrawGlyphText(int x, int y, const char* text);

// Overlays are added over the picture and neither test nor write depth.
void BeginOverlayBlend();
void EndOverlayBlend();

// One frame: clear, view, key-help panel, current scene.
bool RenderFrame();
