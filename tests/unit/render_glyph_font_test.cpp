// Glyph font: where text lands in the 800 x 600 text space, what a glyph
// looks like, and the state the call leaves behind.
#include "render_test_support.h"

// The sheet's texels come from stb_image, not from the program's own reader.
#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#define STBI_ONLY_BMP
#include <stb/stb_image.h>

namespace {

using GlyphFontTest = RenderTest;

void DrawOverlayText(int x, int y, const char* text)
{
    BeginOverlayBlend();
    DrawGlyphText(x, y, text);
    EndOverlayBlend();
}

TEST_F(GlyphFontTest, TextStaysInsideItsGlyphSquares)
{
    ASSERT_NO_FATAL_FAILURE(OpenRenderer());
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    DrawOverlayText(535, 500, "ESC - QUIT");

    // Ten glyphs: the last square starts at 535 + 9 * 10 and is 16 wide.
    const Box box = LitBounds(ReadFrame());
    ASSERT_FALSE(box.Empty());
    EXPECT_GE(box.x0, 535);
    EXPECT_LE(box.x1, 641);
    EXPECT_GE(box.y0, 500);
    EXPECT_LE(box.y1, 516);
}

// At 800 x 600 one text unit is one pixel and one texel of a 256-wide sheet.
TEST_F(GlyphFontTest, GlyphShowsItsSheetCellAddedAtSeventyPercent)
{
    ASSERT_NO_FATAL_FAILURE(OpenRenderer());
    int width = 0, height = 0, channels = 0;
    stbi_uc* sheet = stbi_load("Graphics/FontMap.bmp", &width, &height, &channels, 3);
    ASSERT_NE(sheet, nullptr);
    ASSERT_EQ(width, 256) << "the test reads the sheet one texel per pixel";
    ASSERT_EQ(height, 256);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    DrawOverlayText(100, 200, "E");

    const Frame frame = ReadFrame();
    const int cell = 'E' + 96;
    const int cellX = (cell % 16) * 16;
    const int cellTop = (cell / 16) * 16;  // stb gives the top row first
    int inked = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const stbi_uc* texel = &sheet[((cellTop + 15 - y) * 256 + cellX + x) * 3];
            const Rgb expected = AddAt70({0, 0, 0}, {texel[0], texel[1], texel[2]});
            inked += expected.r + expected.g + expected.b > 0;
            EXPECT_TRUE(Near(frame.At(100 + x, 200 + y), expected, 3))
                << "glyph pixel " << x << "," << y << ": " << frame.At(100 + x, 200 + y) << " expected " << expected;
        }
    EXPECT_GT(inked, 10) << "the E cell of the sheet is blank";
    stbi_image_free(sheet);
}

TEST_F(GlyphFontTest, LeadingBlanksShiftTheTextTenUnitsEach)
{
    ASSERT_NO_FATAL_FAILURE(OpenRenderer());
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    DrawOverlayText(100, 300, "Opposite");
    const Frame plain = ReadFrame();
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    DrawOverlayText(20, 300, "        Opposite");
    const Frame shifted = ReadFrame();

    EXPECT_EQ(CountLit(shifted, 0, 0, 100, 600), 0);
    for (int y = 300; y < 316; ++y)
        for (int x = 100; x < 190; ++x)
            ASSERT_EQ(shifted.At(x, y), plain.At(x, y)) << x << "," << y;
}

TEST_F(GlyphFontTest, EmptyTextDrawsNothingAndLeavesFontAndDepthTestOn)
{
    ASSERT_NO_FATAL_FAILURE(OpenRenderer());
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glBindTexture(GL_TEXTURE_2D, AppState.textures[kSlotWater1]);
    BeginOverlayBlend();

    DrawGlyphText(535, 500, "");

    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EndOverlayBlend();
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    EXPECT_EQ(static_cast<GLuint>(bound), AppState.textures[kSlotFontMap]);
    EXPECT_EQ(CountLit(ReadFrame(), 0, 0, 800, 600), 0);
}

TEST_F(GlyphFontTest, SceneMatricesAreRestored)
{
    ASSERT_NO_FATAL_FAILURE(OpenRenderer());
    glLoadIdentity();
    glTranslatef(1, 2, -6);
    glRotatef(105, 1, 0, 0);
    GLfloat modelview[16], projection[16], after[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, modelview);
    glGetFloatv(GL_PROJECTION_MATRIX, projection);

    DrawOverlayText(10, 10, "KEY CONTROLS");

    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
    glGetFloatv(GL_MODELVIEW_MATRIX, after);
    EXPECT_EQ(0, std::memcmp(modelview, after, sizeof after));
    glGetFloatv(GL_PROJECTION_MATRIX, after);
    EXPECT_EQ(0, std::memcmp(projection, after, sizeof after));
}

// The text space is stretched over the viewport, whatever its size.
TEST_F(GlyphFontTest, LargerWindowShowsTextAtTheSameRelativePlace)
{
    EnterScratchFolder();
    WriteTestGraphics();
    ASSERT_NO_FATAL_FAILURE(OpenRenderer(800, 600));
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    DrawOverlayText(535, 500, "ESC - QUIT");
    const Box reference = LitBounds(ReadFrame());
    HeadlessCloseContext();
    ResetAppState();

    ASSERT_NO_FATAL_FAILURE(OpenRenderer(1024, 768));
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    DrawOverlayText(535, 500, "ESC - QUIT");
    const Box large = LitBounds(ReadFrame());

    ASSERT_FALSE(reference.Empty());
    ASSERT_FALSE(large.Empty());
    const double scale = 1024.0 / 800.0;
    EXPECT_NEAR(large.x0, reference.x0 * scale, 2.0);
    EXPECT_NEAR(large.x1, reference.x1 * scale, 2.0);
    EXPECT_NEAR(large.y0, reference.y0 * scale, 2.0);
    EXPECT_NEAR(large.y1, reference.y1 * scale, 2.0);
}

TEST_F(GlyphFontTest, FreeingListsNeedsACurrentContext)
{
    ASSERT_NO_FATAL_FAILURE(OpenRenderer());
    const GLuint base = AppState.glyphBase;
    ASSERT_TRUE(glIsList(base));
    ASSERT_TRUE(glIsList(base + 255));

    FreeGlyphLists();
    EXPECT_FALSE(glIsList(base));
    EXPECT_FALSE(glIsList(base + 255));

    HeadlessCloseContext();
    FreeGlyphLists();  // as at shutdown: no context, nothing to do
}

}  // namespace
