// glyph_font.cpp — text drawn from the 16 x 16 cell font sheet, one display
// list per cell, in a fixed 800 x 600 space whatever the window size.
#include <GL/gl.h>

#include <cstring>

#include "platform/platform.h"
#include "render/render.h"
#include "state/app_state.h"

namespace {

constexpr int kGlyphCount = 256;
constexpr GLuint kFirstTextCell = 96;  // character c is drawn with cell c + 96

}  // namespace

void BuildGlyphLists()
{
    constexpr float kCellSize = 0.0625f;  // 1/16 of the sheet, in texture units
    constexpr int kSquare = 16;           // glyph square, text-space units
    constexpr double kAdvance = 10.0;     // pen step, text-space units (squares overlap)

    AppState.glyphBase = glGenLists(kGlyphCount);
    // Bound once here: the lists carry no binding of their own.
    BindTextureSlot(kSlotFontMap);
    for (int cell = 0; cell < kGlyphCount; ++cell) {
        // Column cell % 16, row cell / 16 counted from the top of the sheet.
        const float s0 = static_cast<float>(cell % 16) / 16.0f;
        const float row = static_cast<float>(cell / 16) / 16.0f;
        const float s1 = s0 + kCellSize;
        const float tTop = 1.0f - row;
        const float tBottom = 1.0f - row - kCellSize;

        glNewList(AppState.glyphBase + cell, GL_COMPILE);
        glBegin(GL_QUADS);
        glTexCoord2f(s0, tBottom);
        glVertex2i(0, 0);
        glTexCoord2f(s1, tBottom);
        glVertex2i(kSquare, 0);
        glTexCoord2f(s1, tTop);
        glVertex2i(kSquare, kSquare);
        glTexCoord2f(s0, tTop);
        glVertex2i(0, kSquare);
        glEnd();
        glTranslated(kAdvance, 0.0, 0.0);
        glEndList();
    }
}

void FreeGlyphLists()
{
    // Called after the context is gone (and on start-up failures before the
    // lists exist); the context's deletion has freed them then.
    if (!PlatformHasCurrentContext() || AppState.glyphBase == 0) {
        return;
    }
    glDeleteLists(AppState.glyphBase, kGlyphCount);
}

void DrawGlyphText(int x, int y, const char* text)
{
    // Text space: one unit per pixel of the 800 x 600 reference screen,
    // origin at the bottom left; depth is far wider than any use.
    constexpr double kTextWidth = 800.0;
    constexpr double kTextHeight = 600.0;
    constexpr double kTextDepth = 100.0;

    BindTextureSlot(kSlotFontMap);
    glDisable(GL_DEPTH_TEST);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0.0, kTextWidth, 0.0, kTextHeight, -kTextDepth, kTextDepth);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glTranslated(x, y, 0.0);

    glListBase(AppState.glyphBase + kFirstTextCell);
    glCallLists(static_cast<GLsizei>(strlen(text)), GL_BYTE, text);

    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glEnable(GL_DEPTH_TEST);
}
