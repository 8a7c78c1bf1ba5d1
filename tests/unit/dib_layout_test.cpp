// dib_layout_test.cpp — the file layouts the reader accepts: with and without
// the "BM" file header, the 12-, 40-, 52-, 56-, 108- and 124-byte forms, the
// colour count, the pixel position, row padding and the row order of the
// result.
#include "tests/unit/dib_test_support.h"

namespace {

// A 5 x 2 image: stored rows of 15 pixel bytes and 1 fill byte.
const std::vector<uint32_t> kFiveByTwo = {
    0x102030, 0x405060, 0x708090, 0xA0B0C0, 0xD0E0F0,  // bottom row, stored first
    0x0F1E2D, 0x3C4B5A, 0x697887, 0x96A5B4, 0xC3D2E1,  // top row
};

DibRecipe FiveByTwo(uint32_t headerSize, bool fileHeader)
{
    DibRecipe recipe;
    recipe.headerSize = headerSize;
    recipe.fileHeader = fileHeader;
    recipe.width = 5;
    recipe.height = 2;
    recipe.pixelData = PackRows(kFiveByTwo, 5, 2, 24);
    return recipe;
}

}  // namespace

using DibFileLayout = DibTest;

TEST_F(DibFileLayout, FiveByTwoWithEveryHeaderFormIsStoredRowsAsRgb)
{
    for (uint32_t headerSize : {12u, 40u, 52u, 56u, 108u, 124u}) {
        for (bool fileHeader : {true, false}) {
            SCOPED_TRACE(testing::Message() << "header " << headerSize << " file header " << fileHeader);
            HeadlessReset();
            DibRecipe recipe = FiveByTwo(headerSize, fileHeader);
            ASSERT_EQ(recipe.pixelData.size(), 32u);

            ImagePtr image = Read(BuildDib(recipe));

            ASSERT_NE(image, nullptr);
            EXPECT_EQ(image->width, 5);
            EXPECT_EQ(image->height, 2);
            EXPECT_EQ(PixelBytes(*image), RgbBytes(kFiveByTwo));
            EXPECT_TRUE(HeadlessBoxes().empty());
        }
    }
}

TEST_F(DibFileLayout, TopDownFileComesBackBottomRowFirstWithPositiveHeight)
{
    DibRecipe recipe = FiveByTwo(40, true);
    recipe.height = -2;
    std::vector<uint32_t> topFirst(kFiveByTwo.begin() + 5, kFiveByTwo.end());
    topFirst.insert(topFirst.end(), kFiveByTwo.begin(), kFiveByTwo.begin() + 5);
    recipe.pixelData = PackRows(topFirst, 5, 2, 24);

    ImagePtr image = Read(BuildDib(recipe));

    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->height, 2);
    EXPECT_EQ(PixelBytes(*image), RgbBytes(kFiveByTwo));
}

TEST_F(DibFileLayout, FileHeaderOffsetIsUsedAcrossAGap)
{
    DibRecipe recipe;
    recipe.bitCount = 8;
    recipe.width = 3;
    recipe.height = 1;
    recipe.palette = GreyRamp(256);
    recipe.gap = 7;
    recipe.pixelData = PackRows({1, 2, 200}, 3, 1, 8);

    ImagePtr image = Read(BuildDib(recipe));

    ASSERT_NE(image, nullptr);
    EXPECT_EQ(PixelBytes(*image), RgbBytes({Packed(recipe.palette[1]), Packed(recipe.palette[2]), Packed(recipe.palette[200])}));
}

TEST_F(DibFileLayout, FileHeaderOffsetIsUsedAsGivenEvenInsideTheHeader)
{
    // The offset points at the 40-byte header itself: its first three bytes
    // (40, 0, 0) become one blue-green-red pixel.
    DibRecipe recipe = FiveByTwo(40, true);
    recipe.width = 1;
    recipe.height = 1;
    recipe.pixelOffset = 14;

    ImagePtr image = Read(BuildDib(recipe));

    ASSERT_NE(image, nullptr);
    EXPECT_EQ(PixelBytes(*image), RgbBytes({0x000028}));
}

TEST_F(DibFileLayout, BareBitmapPixelsFollowTheColourTable)
{
    struct Case {
        uint32_t headerSize;
        uint16_t bitCount;
        uint32_t colorsUsed;
        int tableEntries;  // entries the count rule gives
    };
    for (const Case& c : {Case{12, 1, 0, 2}, Case{12, 4, 0, 16}, Case{12, 8, 0, 256}, Case{40, 1, 0, 2},
                          Case{40, 4, 0, 16}, Case{40, 8, 0, 256}, Case{40, 8, 5, 5}, Case{40, 24, 0, 0},
                          Case{40, 24, 3, 3}, Case{52, 8, 5, 5}, Case{56, 4, 0, 16}, Case{108, 4, 0, 16},
                          Case{124, 8, 5, 5}, Case{124, 24, 3, 3}}) {
        SCOPED_TRACE(testing::Message() << "header " << c.headerSize << " bits " << c.bitCount << " used "
                                        << c.colorsUsed);
        HeadlessReset();
        DibRecipe recipe;
        recipe.fileHeader = false;
        recipe.headerSize = c.headerSize;
        recipe.bitCount = c.bitCount;
        recipe.colorsUsed = c.colorsUsed;
        recipe.width = 2;
        recipe.height = 1;
        recipe.palette = GreyRamp(c.tableEntries);
        std::vector<uint32_t> expected;
        if (c.bitCount == 24) {
            recipe.pixelData = PackRows({0x123456, 0xABCDEF}, 2, 1, 24);
            expected = {0x123456, 0xABCDEF};
        } else {
            uint32_t last = static_cast<uint32_t>(c.tableEntries - 1);
            recipe.pixelData = PackRows({last, 1}, 2, 1, c.bitCount);
            expected = {Packed(recipe.palette[last]), Packed(recipe.palette[1])};
        }

        ImagePtr image = Read(BuildDib(recipe));

        ASSERT_NE(image, nullptr);
        EXPECT_EQ(PixelBytes(*image), RgbBytes(expected));
    }
}

TEST_F(DibFileLayout, LaterFormsIgnoreColourSpaceIntentAndProfile)
{
    // 124-byte header fields: alpha mask 52, colour space 56, intent 108,
    // profile offset 112 and size 116. None of them may move or change a pixel.
    constexpr uint32_t kSrgb = 0x73524742;      // "sRGB", as GIMP writes it
    constexpr uint32_t kEmbedded = 0x4D424544;  // "MBED": a profile inside the file
    constexpr uint32_t kLinked = 0x4C494E4B;    // "LINK": a profile's file name inside the file
    struct Case {
        const char* name;
        std::vector<std::pair<uint32_t, uint32_t>> fields;
    };
    for (const Case& c : {Case{"sRGB, perceptual intent", {{56, kSrgb}, {108, 4}}},
                          Case{"alpha mask", {{52, 0xFF000000}}},
                          Case{"profile past the end", {{56, kEmbedded}, {112, 0xFFFFFFF0}, {116, 0xFFFFFFFF}}},
                          Case{"profile on the header", {{56, kEmbedded}, {112, 0}, {116, 124}}},
                          Case{"linked profile inside the pixels", {{56, kLinked}, {112, 124}, {116, 16}}}}) {
        for (bool fileHeader : {true, false}) {
            SCOPED_TRACE(testing::Message() << c.name << ", file header " << fileHeader);
            HeadlessReset();
            DibRecipe recipe = FiveByTwo(124, fileHeader);
            recipe.laterFields = c.fields;

            ImagePtr image = Read(BuildDib(recipe));

            ASSERT_NE(image, nullptr);
            EXPECT_EQ(PixelBytes(*image), RgbBytes(kFiveByTwo));
            EXPECT_TRUE(HeadlessBoxes().empty());
        }
    }
}

TEST_F(DibFileLayout, CoreFormReadsUnsignedSizesAndThreeByteEntries)
{
    // A height of 32768 would be negative as a signed 16-bit number.
    DibRecipe recipe;
    recipe.headerSize = 12;
    recipe.bitCount = 1;
    recipe.width = 1;
    recipe.height = 32768;
    recipe.palette = {{1, 2, 3}, {4, 5, 6}};
    recipe.gap = 1;  // 3-byte entries leave the pixel data unaligned; the offset says where
    std::vector<uint32_t> indices(32768, 1);
    indices[0] = 0;
    recipe.pixelData = PackRows(indices, 1, 32768, 1);

    ImagePtr image = Read(BuildDib(recipe));

    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->width, 1);
    EXPECT_EQ(image->height, 32768);
    Bytes pixels = PixelBytes(*image);
    EXPECT_EQ(Bytes(pixels.begin(), pixels.begin() + 6), RgbBytes({0x010203, 0x040506}));
    EXPECT_EQ(Bytes(pixels.end() - 3, pixels.end()), RgbBytes({0x040506}));
}

TEST_F(DibFileLayout, IndexBeyondTheColourTableIsBlack)
{
    DibRecipe recipe;
    recipe.bitCount = 8;
    recipe.colorsUsed = 2;
    recipe.palette = {{255, 255, 255}, {9, 9, 9}};
    recipe.width = 3;
    recipe.pixelData = PackRows({1, 2, 255}, 3, 1, 8);

    ImagePtr image = Read(BuildDib(recipe));

    ASSERT_NE(image, nullptr);
    EXPECT_EQ(PixelBytes(*image), RgbBytes({0x090909, 0x000000, 0x000000}));
}

TEST_F(DibFileLayout, LastRowMayLackItsFillBytes)
{
    DibRecipe recipe = FiveByTwo(40, true);
    recipe.pixelData.pop_back();

    ImagePtr image = Read(BuildDib(recipe));

    ASSERT_NE(image, nullptr);
    EXPECT_EQ(PixelBytes(*image), RgbBytes(kFiveByTwo));
}

TEST(DibColourCount, FollowsTheBitsAndTheColoursUsedField)
{
    unsigned char core[12] = {12, 0, 0, 0, 1, 0, 1, 0, 1, 0};
    unsigned char info[40] = {40};
    struct Case {
        uint16_t bitCount;
        uint16_t expected;
    };
    for (const Case& c : {Case{1, 2}, Case{4, 16}, Case{8, 256}, Case{2, 0}, Case{16, 0}, Case{24, 0}, Case{32, 0}}) {
        core[10] = static_cast<unsigned char>(c.bitCount);
        info[14] = static_cast<unsigned char>(c.bitCount);
        EXPECT_EQ(DibColorCount(core), c.expected) << "core, bits " << c.bitCount;
        EXPECT_EQ(DibColorCount(info), c.expected) << "info, bits " << c.bitCount;
    }

    info[14] = 24;
    info[32] = 5;
    EXPECT_EQ(DibColorCount(info), 5);
    // Only the low 16 bits of the colours-used field count.
    info[32] = 0x34;
    info[33] = 0x12;
    info[34] = 0x01;
    EXPECT_EQ(DibColorCount(info), 0x1234);
}
