// Scenes: what each frame shows, how the animations step, and how the
// overlay text and the scene geometry cover each other. The textures are
// solid colours, so a pixel tells which texture drew it.
#include "render_test_support.h"

namespace {

class SceneTest : public RenderTest {
protected:
    void SetUp() override
    {
        RenderTest::SetUp();
        EnterScratchFolder();
        WriteTestGraphics();
    }

    // The colour at a point given in the scene's frame, after one frame.
    static Rgb RenderAndSample(float x, float y, float z)
    {
        const WindowPoint at = ScenePointOnScreen(ViewOf(AppState), x, y, z);
        EXPECT_TRUE(RenderFrame());
        return ReadFrame().At(static_cast<int>(at.x), static_cast<int>(at.y));
    }

    // Replaces the font sheet's texels: blacked out, no text can show.
    static void UploadFontSheet(bool inked)
    {
        std::vector<unsigned char> sheet;
        for (int y = 0; y < 256; ++y)
            for (int x = 0; x < 256; ++x)
                sheet.insert(sheet.end(), 3, inked && SheetTexelInked(x, 255 - y) ? 255 : 0);
        glBindTexture(GL_TEXTURE_2D, AppState.textures[kSlotFontMap]);
        glTexImage2D(GL_TEXTURE_2D, 0, 3, 256, 256, 0, GL_RGB, GL_UNSIGNED_BYTE, sheet.data());
    }

    // The frame that RenderFrame would draw next, without any text; the
    // animation is put back so that the next frame is the same one.
    static Frame RenderWithoutText()
    {
        const AppStateRecord saved = AppState;
        UploadFontSheet(false);
        RenderFrame();
        const Frame frame = ReadFrame();
        UploadFontSheet(true);
        AppState = saved;
        return frame;
    }
};

int CountNear(const Frame& frame, const Rgb& colour)
{
    int count = 0;
    for (int y = 0; y < frame.height; ++y)
        for (int x = 0; x < frame.width; ++x)
            count += Near(frame.At(x, y), colour, 3);
    return count;
}

TEST_F(SceneTest, FirstFrameIsThePoolWithPanelAndTitles)
{
    ASSERT_NO_FATAL_FAILURE(OpenRenderer());

    // The water surface lies 0.15 below the rim; its centre shows the water texture.
    EXPECT_EQ(RenderAndSample(0, 0, 0.15f), kSlotColours[kSlotWater1]);
    const Frame first = ReadFrame();
    EXPECT_EQ(RenderAndSample(0, 0, 0.15f), kSlotColours[kSlotWater2]);
    EXPECT_EQ(RenderAndSample(0, 0, 0.15f), kSlotColours[kSlotWater1]);

    EXPECT_GT(CountLit(first, 535, 550, 655, 566), 0) << "KEY CONTROLS";
    EXPECT_GT(CountLit(first, 535, 145, 800, 161), 0) << "last credit line";
    EXPECT_GT(CountLit(first, 363, 575, 413, 591), 0) << "WATER";
    EXPECT_GT(CountLit(first, 310, 50, 446, 66), 0) << "SWIMMING POOL";
    EXPECT_EQ(CountLit(first, 0, 575, 362, 600), 0) << "nothing left of the title";
}

// The water wears a gradient, red along s and green along t, so a pixel
// tells which point of the surface it shows: the utility library maps a disk
// of radius 1 to s = 0.5 + x / 2, t = 0.5 + y / 2. With all three turns in
// play, every other order of the view's steps shows other points there.
TEST_F(SceneTest, TheViewMovesTheSceneThenTurnsItAboutXYAndZ)
{
    std::vector<Rgb> gradient;
    for (int t = 0; t < 256; ++t)
        for (int s = 0; s < 256; ++s)
            gradient.push_back({s, t, 0});
    WriteBmp(kTextureFiles[kSlotWater1], 256, 256, gradient);
    ASSERT_NO_FATAL_FAILURE(OpenRenderer());
    const View views[] = {
        {0.3f, -0.2f, -4.0f, 160.0f, 25.0f, 70.0f},
        {0.0f, 0.0f, -4.0f, 200.0f, -30.0f, 50.0f},
        {0.2f, 0.1f, -5.0f, 135.0f, 20.0f, -40.0f},
    };
    const float surface[][2] = {{-0.4f, -0.4f}, {-0.4f, 0.4f}, {0.4f, -0.4f}, {0.4f, 0.4f}};
    constexpr float kWaterZ = 0.15f;
    constexpr double kTolerance = 0.03;  // world units; a wrong order is off by 0.06 or more

    for (const View& view : views) {
        SetView(view);
        AppState.waterFrame = 0;
        RenderFrame();
        const Frame frame = ReadFrame();
        for (const auto& [x, y] : surface) {
            SCOPED_TRACE(testing::Message() << "view turned " << view.rotX << "/" << view.rotY << "/" << view.rotZ
                                            << ", surface point (" << x << ", " << y << ")");
            const WindowPoint at = ScenePointOnScreen(view, x, y, kWaterZ);
            const Rgb seen = frame.At(static_cast<int>(at.x), static_cast<int>(at.y));
            EXPECT_EQ(seen.b, 0) << "not the water: " << seen;
            EXPECT_NEAR(2.0 * (seen.r + 0.5) / 256.0 - 1.0, x, kTolerance);
            EXPECT_NEAR(2.0 * (seen.g + 0.5) / 256.0 - 1.0, y, kTolerance);
        }
    }
}

TEST_F(SceneTest, FlameCyclesItsTexturesAndAddsLightOverTheStick)
{
    ASSERT_NO_FATAL_FAILURE(OpenRenderer());
    AppState.sceneIndex = kSceneFire;
    const Rgb stick = kSlotColours[kSlotFirePole];

    const int cycle[] = {kSlotFire1, kSlotFire2, kSlotFire3, kSlotFire1};
    for (int slot : cycle) {
        SCOPED_TRACE(kTextureFiles[slot]);
        const Rgb flame = kSlotColours[slot];
        // The middle of the flame square, over the black background.
        EXPECT_TRUE(Near(RenderAndSample(0, 0, -0.5f), AddAt70({0, 0, 0}, flame), 3));
        const Frame frame = ReadFrame();
        EXPECT_GT(CountNear(frame, stick), 0) << "the stick shows on its own";
        EXPECT_GT(CountNear(frame, AddAt70(stick, flame)), 0) << "the flame adds over the stick's end";
    }
}

TEST_F(SceneTest, FunnelShowsBothWallsThroughEachOther)
{
    ASSERT_NO_FATAL_FAILURE(OpenRenderer());
    AppState.sceneIndex = kSceneWind;
    const Rgb wall = AddAt70({0, 0, 0}, kSlotColours[kSlotTornado]);

    EXPECT_TRUE(RenderFrame());

    const Frame frame = ReadFrame();
    EXPECT_GT(CountNear(frame, wall), 0) << "one wall at the rim";
    EXPECT_GT(CountNear(frame, AddAt70(wall, kSlotColours[kSlotTornado])), 100) << "near and far wall together";
    EXPECT_EQ(AppState.tornadoAngle, 5.0f);
    EXPECT_EQ(AppState.planetAngle, 0.0f);
}

// Seen side-on, the funnel stands up the screen, flipped about X and then
// tilted 15 degrees about Y, its foot one unit below the scene's origin: the
// two sides of its top show where that tilt puts them, and nothing beyond.
TEST_F(SceneTest, FunnelIsFlippedThenTilted)
{
    ASSERT_NO_FATAL_FAILURE(OpenRenderer());
    AppState.sceneIndex = kSceneWind;
    AppState.showHelp = false;
    AppState.showTitles = false;
    const View sideOn = {0.0f, 0.0f, -6.0f, 90.0f, 0.0f, 0.0f};
    SetView(sideOn);
    const Matrix funnel = Turn(180.0, 0) * Turn(15.0, 1) * Translation(0, 0, -1);
    struct Sample {
        double x, z;  // in the funnel's own frame, on its tilt plane
        bool lit;
    };
    // At 2.0 along the axis the wall's radius is 0.2 + 0.5 * 2.0 / 2.1 = 0.68.
    const Sample samples[] = {{-0.6, 2.0, true}, {0.6, 2.0, true}, {-0.85, 2.0, false}, {0.85, 2.0, false}};

    EXPECT_TRUE(RenderFrame());

    const Frame frame = ReadFrame();
    for (const Sample& sample : samples) {
        SCOPED_TRACE(testing::Message() << "funnel point (" << sample.x << ", 0, " << sample.z << ")");
        const Point scenePoint = Transform(funnel, {sample.x, 0.0, sample.z});
        const WindowPoint at = ScenePointOnScreen(sideOn, scenePoint.x, scenePoint.y, scenePoint.z);
        EXPECT_EQ(!(frame.At(static_cast<int>(at.x), static_cast<int>(at.y)) == Rgb{0, 0, 0}), sample.lit);
    }
}

// The drawn angle is the one before each frame's step.
TEST_F(SceneTest, PlanetSwingsToAndFroWithAPeriodOf151Frames)
{
    ASSERT_NO_FATAL_FAILURE(OpenRenderer(160, 120));
    AppState.sceneIndex = kSceneEarth;
    std::vector<float> expected;
    for (int a = 0; a <= 395; a += 5)
        expected.push_back(static_cast<float>(a));
    expected.push_back(395.0f);
    for (int a = 390; a >= 20; a -= 5)
        expected.push_back(static_cast<float>(a));
    const size_t firstLow = expected.size() - 1;  // the frame that ends the first fall
    ASSERT_EQ(expected.size(), 156u);

    std::vector<float> drawn;
    std::vector<Frame> frames;
    for (size_t i = 0; i < firstLow + 2 * 151 + 1; ++i) {
        drawn.push_back(AppState.planetAngle);
        RenderFrame();
        if (i == 0 || i == 1 || i == 79 || i == 80)
            frames.push_back(ReadFrame());
    }

    for (size_t i = 0; i < expected.size(); ++i)
        ASSERT_EQ(drawn[i], expected[i]) << "frame " << i;
    for (size_t i = firstLow; i + 151 < drawn.size(); ++i)
        ASSERT_EQ(drawn[i + 151], drawn[i]) << "frame " << i + 151;
    for (size_t i = firstLow; i < drawn.size(); ++i) {
        ASSERT_GE(drawn[i], 20.0f);
        ASSERT_LE(drawn[i], 395.0f);
    }
    EXPECT_NE(frames[0], frames[1]) << "the planet turns between 0 and 5 degrees";
    EXPECT_EQ(frames[2], frames[3]) << "395 is drawn twice in a row";
}

TEST_F(SceneTest, HiddenScenesKeepTheirAnimation)
{
    ASSERT_NO_FATAL_FAILURE(OpenRenderer(160, 120));
    AppState.sceneIndex = kSceneEarth;
    for (int i = 0; i < 30; ++i)
        RenderFrame();
    ASSERT_EQ(AppState.planetAngle, 150.0f);

    AppState.sceneIndex = kSceneWater;
    RenderFrame();
    AppState.sceneIndex = kSceneFire;
    RenderFrame();
    RenderFrame();
    AppState.sceneIndex = kSceneWind;
    RenderFrame();
    EXPECT_EQ(AppState.planetAngle, 150.0f);
    EXPECT_EQ(AppState.planetReversing, 0);
    EXPECT_EQ(AppState.waterFrame, 1);
    EXPECT_EQ(AppState.fireFrame, 2);
    EXPECT_EQ(AppState.tornadoAngle, 5.0f);

    AppState.sceneIndex = kSceneEarth;
    RenderFrame();
    EXPECT_EQ(AppState.planetAngle, 155.0f);
}

TEST_F(SceneTest, TogglesOffDrawNoText)
{
    ASSERT_NO_FATAL_FAILURE(OpenRenderer());
    for (int scene = 0; scene < kSceneCount; ++scene) {
        SCOPED_TRACE("scene " + std::to_string(scene));
        AppState.sceneIndex = scene;
        AppState.showHelp = true;
        AppState.showTitles = true;
        const Frame textless = RenderWithoutText();
        RenderFrame();
        EXPECT_NE(ReadFrame(), textless) << "text shows with the toggles on";

        const Frame again = RenderWithoutText();
        AppState.showHelp = false;
        AppState.showTitles = false;
        RenderFrame();
        EXPECT_EQ(ReadFrame(), again) << "no text with the toggles off";
        EXPECT_FALSE(glIsEnabled(GL_BLEND));
    }
}

// Looking straight at the pool's bottom from just above it: the bottom
// fills the picture and covers every panel line drawn before it.
TEST_F(SceneTest, OpaqueGeometryHidesThePanel)
{
    ASSERT_NO_FATAL_FAILURE(OpenRenderer());
    AppState.rotX = 0.0f;
    AppState.cameraZ = -1.0f;

    RenderFrame();

    const Frame frame = ReadFrame();
    EXPECT_EQ(CountNear(frame, kSlotColours[kSlotPoolBottom]), 800 * 600);
}

// The flame square facing the eye and filling the picture: the panel shows
// through it with the flame's light added.
TEST_F(SceneTest, PanelShowsThroughTheFlame)
{
    ASSERT_NO_FATAL_FAILURE(OpenRenderer());
    AppState.sceneIndex = kSceneFire;
    AppState.rotX = 90.0f;
    AppState.rotZ = 0.0f;
    AppState.cameraY = -0.5f;
    AppState.cameraZ = -0.5f;

    RenderFrame();

    const Frame frame = ReadFrame();
    const Rgb flame = AddAt70({0, 0, 0}, kSlotColours[kSlotFire1]);
    EXPECT_TRUE(Near(frame.At(20, 300), flame, 3)) << frame.At(20, 300);
    // Inside the ink of the "E" of "ESC - QUIT" at (535, 500).
    EXPECT_TRUE(Near(frame.At(540, 508), AddAt70(flame, kInk), 3)) << frame.At(540, 508);
}

TEST_F(SceneTest, UnknownSceneDrawsOnlyThePanel)
{
    ASSERT_NO_FATAL_FAILURE(OpenRenderer());
    AppState.sceneIndex = 7;

    EXPECT_TRUE(RenderFrame());

    const Frame frame = ReadFrame();
    const int panel = CountLit(frame, 535, 145, 800, 566);
    EXPECT_GT(panel, 0);
    EXPECT_EQ(CountLit(frame, 0, 0, 800, 600), panel);
    EXPECT_EQ(AppState.waterFrame, 0) << "no animation stepped";
    EXPECT_EQ(AppState.fireFrame, 0);
    EXPECT_EQ(AppState.planetAngle, 0.0f);
    EXPECT_EQ(AppState.tornadoAngle, 0.0f);

    AppState.showHelp = false;
    EXPECT_TRUE(RenderFrame());
    EXPECT_EQ(CountLit(ReadFrame(), 0, 0, 800, 600), 0);
}

}  // namespace
