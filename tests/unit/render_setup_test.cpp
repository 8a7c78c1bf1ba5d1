// Renderer set-up: projection, the fixed state, the overlay blend, and how a
// bad texture set ends the start-up.
#include "render_test_support.h"

#include "display/display.h"

namespace {

using RenderSetupTest = RenderTest;

TEST_F(RenderSetupTest, ZeroHeightGivesAOnePixelHighView)
{
    ASSERT_NO_FATAL_FAILURE(OpenContext());

    ResizeView(640, 0);

    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[0], 0);
    EXPECT_EQ(viewport[1], 0);
    EXPECT_EQ(viewport[2], 640);
    EXPECT_EQ(viewport[3], 1);
    GLdouble projection[16];
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    EXPECT_NEAR(projection[5] / projection[0], 640.0, 1e-3) << "aspect ratio";
    GLint mode = 0;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
}

TEST_F(RenderSetupTest, MissingFontSheetFailsWithNothingSet)
{
    EnterScratchFolder();
    WriteTestGraphics(kSlotFontMap);
    ASSERT_NO_FATAL_FAILURE(OpenContext());

    EXPECT_FALSE(SetupRenderer());

    EXPECT_EQ(AppState.quadric, nullptr);
    EXPECT_EQ(AppState.glyphBase, 0u);
    EXPECT_FALSE(glIsList(1));
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    GLfloat colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_EQ(colour[3], 1.0f);
}

TEST_F(RenderSetupTest, OverlayBlendAddsSeventyPercentOfTheTexture)
{
    EnterScratchFolder();
    WriteTestGraphics();
    ASSERT_NO_FATAL_FAILURE(OpenRenderer());
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);

    DrawTextureAtTexelSize(kSlotPoolBottom, 200, 100);
    const Rgb opaque = ReadFrame().At(50, 50);
    BeginOverlayBlend();
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    DrawTextureAtTexelSize(kSlotWater1, 100, 200);
    EndOverlayBlend();
    const Frame frame = ReadFrame();

    EXPECT_EQ(opaque, kSlotColours[kSlotPoolBottom]) << "full intensity without blending";
    EXPECT_TRUE(Near(frame.At(50, 50), AddAt70(kSlotColours[kSlotPoolBottom], kSlotColours[kSlotWater1])))
        << frame.At(50, 50);
    EXPECT_TRUE(Near(frame.At(50, 150), AddAt70({0, 0, 0}, kSlotColours[kSlotWater1]))) << frame.At(50, 150);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_FALSE(glIsEnabled(GL_BLEND));
}

// ---- the whole start-up -------------------------------------------------------------

using RenderStartupTest = RenderTest;

TEST_F(RenderStartupTest, MissingTextureEndsStartupAfterTheDisplayIsGone)
{
    EnterScratchFolder();
    WriteTestGraphics(kSlotTornado);

    EXPECT_FALSE(OpenDisplay("Marivelt", 800, 600, 16));

    ASSERT_EQ(HeadlessBoxes().size(), 1u);
    EXPECT_EQ(HeadlessBoxes()[0].text, "Initialization FAILED!");
    EXPECT_EQ(HeadlessBoxes()[0].caption, "ERROR");
    const std::vector<std::string>& calls = HeadlessCalls();
    auto at = [&calls](const std::string& call) {
        return std::find(calls.begin(), calls.end(), call) - calls.begin();
    };
    const auto box = at("MessageBox ERROR");
    EXPECT_LT(at("RestoreDisplayMode"), box);
    EXPECT_LT(at("DestroyWindow"), box);
    EXPECT_FALSE(HeadlessDisplayModeChanged());
}

TEST_F(RenderStartupTest, UndecodableTextureShowsTheReadersBoxFirst)
{
    EnterScratchFolder();
    WriteTestGraphics();
    std::ofstream(kTextureFiles[kSlotEarth]) << "BM but nothing else";

    EXPECT_FALSE(OpenDisplay("Marivelt", 800, 600, 16));

    ASSERT_EQ(HeadlessBoxes().size(), 2u);
    EXPECT_EQ(HeadlessBoxes()[0].caption, "Error");
    EXPECT_EQ(HeadlessBoxes()[1].caption, "ERROR");
    EXPECT_EQ(HeadlessBoxes()[1].text, "Initialization FAILED!");
}

TEST_F(RenderStartupTest, GeneratedGraphicsStartAndCloseCleanly)
{
    ASSERT_TRUE(OpenDisplay("Marivelt", 800, 600, 16));
    EXPECT_NE(AppState.quadric, nullptr);
    EXPECT_TRUE(RenderFrame());

    CloseDisplay();  // frees the glyph lists last, with no context current

    EXPECT_TRUE(HeadlessBoxes().empty());
}

}  // namespace
