// Texture set: what each slot holds, and how a bad file stops the loading.
#include "render_test_support.h"

namespace {

using TextureSetTest = RenderTest;

int OpenedCount(const std::string& path)
{
    int count = 0;
    for (const std::string& call : HeadlessCalls())
        if (call == "OpenFileView " + path)
            ++count;
    return count;
}

TEST_F(TextureSetTest, EachSlotHoldsItsGeneratedImage)
{
    ASSERT_NO_FATAL_FAILURE(OpenRenderer());

    for (int slot = 0; slot < kTextureCount; ++slot) {
        SCOPED_TRACE(kTextureFiles[slot]);
        ASSERT_NE(AppState.textures[slot], 0u);
        for (int other = 0; other < slot; ++other)
            EXPECT_NE(AppState.textures[slot], AppState.textures[other]);

        RgbImage* image = ReadDibFile(kTextureFiles[slot]);
        ASSERT_NE(image, nullptr);
        ASSERT_LE(image->width, 800);
        ASSERT_LE(image->height, 600);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        DrawTextureAtTexelSize(slot, image->width, image->height);
        const Frame frame = ReadFrame();
        const int w = image->width, h = image->height;
        const int probes[][2] = {{0, 0}, {w - 1, 0}, {w / 2, h / 2}, {w / 3, h - 1}, {w - 1, h - 1}};
        for (const auto& probe : probes) {
            const unsigned char* texel = &image->pixels[(static_cast<size_t>(probe[1]) * w + probe[0]) * 3];
            EXPECT_TRUE(Near(frame.At(probe[0], probe[1]), Rgb{texel[0], texel[1], texel[2]}))
                << "at " << probe[0] << "," << probe[1] << ": " << frame.At(probe[0], probe[1]);
        }
        FreeRgbImage(image);
    }
}

// Rows of 3 * width bytes that are not a multiple of 4 must not be read
// as padded rows.
TEST_F(TextureSetTest, WidthsNotAMultipleOfFourUploadIntact)
{
    EnterScratchFolder();
    WriteTestGraphics();
    const int sizes[][2] = {{2, 2}, {6, 4}, {5, 3}};
    for (int i = 0; i < 3; ++i) {
        const int w = sizes[i][0], h = sizes[i][1];
        std::vector<Rgb> pixels;
        for (int p = 0; p < w * h; ++p)
            pixels.push_back({(p * 37) % 256, (p * 91 + 17) % 256, (p * 53 + 5) % 256});
        WriteBmp(kTextureFiles[i], w, h, pixels);
    }
    ASSERT_NO_FATAL_FAILURE(OpenRenderer());
    GLint alignment = 0;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    EXPECT_EQ(alignment, 4) << "the default is back for every other transfer";

    for (int i = 0; i < 3; ++i) {
        const int w = sizes[i][0], h = sizes[i][1];
        SCOPED_TRACE(std::to_string(w) + "x" + std::to_string(h));
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        DrawTextureAtTexelSize(i, w, h);
        const Frame frame = ReadFrame();
        for (int p = 0; p < w * h; ++p) {
            const Rgb expected{(p * 37) % 256, (p * 91 + 17) % 256, (p * 53 + 5) % 256};
            EXPECT_TRUE(Near(frame.At(p % w, p / w), expected)) << "pixel " << p << ": " << frame.At(p % w, p / w);
        }
    }
}

TEST_F(TextureSetTest, MissingFileStopsLoadingBeforeLaterSlots)
{
    EnterScratchFolder();
    WriteTestGraphics(kSlotFire2);
    ASSERT_NO_FATAL_FAILURE(OpenContext());

    EXPECT_FALSE(LoadTextureSet());

    for (int slot = 0; slot < kSlotFire2; ++slot)
        EXPECT_EQ(OpenedCount(kTextureFiles[slot]), 1) << kTextureFiles[slot];
    for (int slot = kSlotFire2; slot < kTextureCount; ++slot)
        EXPECT_EQ(OpenedCount(kTextureFiles[slot]), 0) << kTextureFiles[slot];
    for (unsigned int name : AppState.textures)
        EXPECT_EQ(name, 0u);
    EXPECT_FALSE(glIsTexture(1));
    EXPECT_TRUE(HeadlessBoxes().empty()) << "a missing file is not the reader's to report";
}

TEST_F(TextureSetTest, FileThatIsNotABitmapShowsOneBoxAndStopsThere)
{
    EnterScratchFolder();
    WriteTestGraphics();
    std::ofstream(kTextureFiles[kSlotPoolBottom]) << "this is plain text, not a picture\n";
    ASSERT_NO_FATAL_FAILURE(OpenContext());

    EXPECT_FALSE(LoadTextureSet());

    ASSERT_EQ(HeadlessBoxes().size(), 1u);
    EXPECT_EQ(HeadlessBoxes()[0].caption, "Error");
    EXPECT_EQ(OpenedCount(kTextureFiles[kSlotPoolBottom]), 1);
    EXPECT_EQ(OpenedCount(kTextureFiles[kSlotPoolSide]), 0);
    EXPECT_EQ(AppState.textures[0], 0u);
}

}  // namespace
