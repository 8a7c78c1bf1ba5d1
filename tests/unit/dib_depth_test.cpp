// dib_depth_test.cpp — every pixel format the reader converts: 1, 4, 8, 16,
// 24 and 32 bits uncompressed, and 16 and 32 bits with colour masks.
#include <random>

#include "tests/unit/dib_test_support.h"

namespace {

DibRecipe Recipe(uint16_t bitCount, int width, int height, const std::vector<uint32_t>& values)
{
    DibRecipe recipe;
    recipe.bitCount = bitCount;
    recipe.width = width;
    recipe.height = height;
    recipe.pixelData = PackRows(values, width, height, bitCount);
    return recipe;
}

std::vector<uint32_t> RandomValues(size_t count, uint32_t limit, uint32_t seed)
{
    std::mt19937 random(seed);
    std::vector<uint32_t> values(count);
    for (uint32_t& value : values)
        value = static_cast<uint32_t>(random() % limit);
    return values;
}

}  // namespace

using DibDepth = DibTest;

TEST_F(DibDepth, OneBitPixelsSelectTwoColours)
{
    DibRecipe recipe = Recipe(1, 10, 2, {1, 0, 0, 1, 1, 1, 0, 1, 0, 1,  //
                                   0, 0, 0, 0, 0, 0, 0, 0, 1, 1});
    recipe.palette = {{0x10, 0x20, 0x30}, {0xF0, 0xE0, 0xD0}};
    const uint32_t a = 0x102030, b = 0xF0E0D0;

    ImagePtr image = Read(BuildDib(recipe));

    ASSERT_NE(image, nullptr);
    EXPECT_EQ(PixelBytes(*image), RgbBytes({b, a, a, b, b, b, a, b, a, b, a, a, a, a, a, a, a, a, b, b}));
}

TEST_F(DibDepth, FourBitPixelsTakeTheHighNibbleFirst)
{
    DibRecipe recipe = Recipe(4, 5, 1, {15, 0, 7, 8, 1});
    recipe.palette = GreyRamp(16);

    ImagePtr image = Read(BuildDib(recipe));

    ASSERT_NE(image, nullptr);
    EXPECT_EQ(PixelBytes(*image), RgbBytes({Packed(recipe.palette[15]), Packed(recipe.palette[0]), Packed(recipe.palette[7]),
                                            Packed(recipe.palette[8]), Packed(recipe.palette[1])}));
}

TEST_F(DibDepth, EightBitPixelsLookUpEveryWidth)
{
    for (int width = 1; width <= 40; ++width) {
        SCOPED_TRACE(testing::Message() << "width " << width);
        HeadlessReset();
        std::vector<uint32_t> indices = RandomValues(static_cast<size_t>(width) * 3, 256, width);
        DibRecipe recipe = Recipe(8, width, 3, indices);
        recipe.palette = GreyRamp(256);
        std::vector<uint32_t> expected;
        for (uint32_t index : indices)
            expected.push_back(Packed(recipe.palette[index]));

        ImagePtr image = Read(BuildDib(recipe));

        ASSERT_NE(image, nullptr);
        EXPECT_EQ(PixelBytes(*image), RgbBytes(expected));
    }
}

TEST_F(DibDepth, TwentyFourBitPixelsSwapRedAndBlueAtEveryWidth)
{
    for (int width = 1; width <= 40; ++width) {
        SCOPED_TRACE(testing::Message() << "width " << width);
        HeadlessReset();
        std::vector<uint32_t> colors = RandomValues(static_cast<size_t>(width) * 3, 1u << 24, width);

        ImagePtr image = Read(BuildDib(Recipe(24, width, 3, colors)));

        ASSERT_NE(image, nullptr);
        EXPECT_EQ(PixelBytes(*image), RgbBytes(colors));
    }
}

TEST_F(DibDepth, SixteenBitPixelsAreFiveFiveFiveWidenedByBitReplication)
{
    // Channel values 0, 1, 16, 21 and 31 widen to 0x00, 0x08, 0x84, 0xAD and 0xFF;
    // the top bit is unused.
    ImagePtr image = Read(BuildDib(Recipe(16, 5, 1, {0x0000, 0x8001, 0x0200, 0x5400, 0x7FFF})));

    ASSERT_NE(image, nullptr);
    EXPECT_EQ(PixelBytes(*image), RgbBytes({0x000000, 0x000008, 0x008400, 0xAD0000, 0xFFFFFF}));
}

TEST_F(DibDepth, ThirtyTwoBitPixelsIgnoreTheFourthByte)
{
    ImagePtr image = Read(BuildDib(Recipe(32, 3, 1, {0xFF123456, 0x00ABCDEF, 0x7F000001})));

    ASSERT_NE(image, nullptr);
    EXPECT_EQ(PixelBytes(*image), RgbBytes({0x123456, 0xABCDEF, 0x000001}));
}

TEST_F(DibDepth, BitfieldsFiveSixFiveWidenEachChannel)
{
    // Green 33 of 63 widens to (33 << 2) | (33 >> 4) = 0x86.
    DibRecipe recipe = Recipe(16, 3, 1, {0xF800, 0x0420, 0x001F});
    recipe.compression = 3;
    recipe.masks = {0xF800, 0x07E0, 0x001F};

    ImagePtr image = Read(BuildDib(recipe));

    ASSERT_NE(image, nullptr);
    EXPECT_EQ(PixelBytes(*image), RgbBytes({0xFF0000, 0x008600, 0x0000FF}));
}

TEST_F(DibDepth, BitfieldsThirtyTwoFollowAnyByteOrderAndLongMasks)
{
    DibRecipe recipe = Recipe(32, 1, 1, {0xAABBCCDD});
    recipe.compression = 3;
    recipe.masks = {0x000000FF, 0x0000FF00, 0x00FF0000};  // red, green, blue in the low three bytes

    ImagePtr image = Read(BuildDib(recipe));

    ASSERT_NE(image, nullptr);
    EXPECT_EQ(PixelBytes(*image), RgbBytes({0xDDCCBB}));

    // Ten bits a channel keep their top eight.
    HeadlessReset();
    recipe.pixelData = PackRows({(0x3FFu << 20) | (0x200u << 10) | 0x0FF}, 1, 1, 32);
    recipe.masks = {0x3FF00000, 0x000FFC00, 0x000003FF};
    image = Read(BuildDib(recipe));
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(PixelBytes(*image), RgbBytes({0xFF803F}));
}

TEST_F(DibDepth, BitfieldsZeroMaskGivesAnEmptyChannelAndThreeBitsRepeat)
{
    DibRecipe recipe = Recipe(16, 2, 1, {0x0007, 0x00FF});
    recipe.compression = 3;
    recipe.masks = {0x0007, 0x00F8, 0x0000};  // red 3 bits, green 5 bits, no blue

    ImagePtr image = Read(BuildDib(recipe));

    ASSERT_NE(image, nullptr);
    // Red 7 of 7 is 0xFF; 0x00FF has red 7 and green 31.
    EXPECT_EQ(PixelBytes(*image), RgbBytes({0xFF0000, 0xFFFF00}));
}

TEST_F(DibDepth, BitfieldsInABareBitmapPutThePixelsAfterMasksAndTable)
{
    // The 40-byte form keeps its masks after the header, the later forms inside it.
    for (uint32_t headerSize : {40u, 52u, 56u, 108u, 124u}) {
        SCOPED_TRACE(testing::Message() << "header " << headerSize);
        HeadlessReset();
        DibRecipe recipe = Recipe(16, 1, 1, {0x07E0});
        recipe.headerSize = headerSize;
        recipe.fileHeader = false;
        recipe.compression = 3;
        recipe.masks = {0xF800, 0x07E0, 0x001F};
        recipe.colorsUsed = 2;
        recipe.palette = {{1, 1, 1}, {2, 2, 2}};

        ImagePtr image = Read(BuildDib(recipe));

        ASSERT_NE(image, nullptr);
        EXPECT_EQ(PixelBytes(*image), RgbBytes({0x00FF00}));
    }
}

TEST_F(DibDepth, LaterFormsTakeTheirMasksOnlyForBitfields)
{
    // 0x0F0F would be refused as a mask; without bit fields it is not one,
    // and the pixel 0x7C00 is 5-5-5 red.
    DibRecipe recipe = Recipe(16, 1, 1, {0x7C00});
    recipe.headerSize = 124;
    recipe.masks = {0x0F0F, 0x0F0F, 0x0F0F};

    ImagePtr image = Read(BuildDib(recipe));

    ASSERT_NE(image, nullptr);
    EXPECT_EQ(PixelBytes(*image), RgbBytes({0xFF0000}));
}

TEST_F(DibDepth, BitfieldsWithAMaskInPiecesAreRefused)
{
    for (uint32_t headerSize : {40u, 52u, 56u, 108u, 124u}) {
        SCOPED_TRACE(testing::Message() << "header " << headerSize);
        HeadlessReset();
        DibRecipe recipe = Recipe(16, 1, 1, {0x0001});
        recipe.headerSize = headerSize;
        recipe.compression = 3;
        recipe.masks = {0xF800, 0x07E0, 0xF00F};

        ImagePtr image = Read(BuildDib(recipe));

        EXPECT_EQ(image, nullptr);
        EXPECT_ONE_DIB_BOX(kConversionError);
    }
}

TEST_F(DibDepth, OtherBitCountsAndCompressionsAreRefused)
{
    struct Case {
        uint32_t headerSize;
        uint16_t bitCount;
        uint32_t compression;
    };
    for (const Case& c : {Case{40, 0, 0}, Case{40, 2, 0}, Case{40, 48, 0}, Case{40, 64, 0}, Case{12, 16 + 1, 0},
                          Case{40, 4, 1}, Case{40, 8, 2}, Case{40, 24, 1}, Case{40, 24, 3}, Case{40, 8, 3},
                          Case{40, 24, 4}, Case{40, 24, 5}, Case{40, 32, 6}, Case{40, 8, 0xFFFFFFFF},
                          Case{124, 0, 4}, Case{124, 0, 5}, Case{108, 24, 4}, Case{108, 24, 5}, Case{124, 24, 3},
                          Case{108, 8, 3}, Case{124, 32, 6}}) {
        SCOPED_TRACE(testing::Message() << "header " << c.headerSize << " bits " << c.bitCount << " compression "
                                        << c.compression);
        HeadlessReset();
        DibRecipe recipe;
        recipe.headerSize = c.headerSize;
        recipe.bitCount = c.bitCount;
        recipe.compression = c.compression;
        recipe.masks = c.compression == 3 ? std::vector<uint32_t>{0xFF0000, 0xFF00, 0xFF} : std::vector<uint32_t>{};
        recipe.pixelData = Bytes(64, 0);

        ImagePtr image = Read(BuildDib(recipe));

        EXPECT_EQ(image, nullptr);
        EXPECT_ONE_DIB_BOX(kConversionError);
    }
}
