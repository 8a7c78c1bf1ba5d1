// dib_rle_test.cpp — run-length compressed pixel data (RLE8 and RLE4):
// encoded and literal runs, end of line, end of bitmap and delta escapes.
// Pixels the data never writes are black.
#include "tests/unit/dib_test_support.h"

namespace {

constexpr uint32_t kRle8 = 1;
constexpr uint32_t kRle4 = 2;
constexpr uint32_t kBlack = 0x000000;

DibRecipe RleRecipe(uint32_t compression, int width, int height, const Bytes& stream)
{
    DibRecipe recipe;
    recipe.compression = compression;
    recipe.bitCount = compression == kRle8 ? 8 : 4;
    recipe.width = width;
    recipe.height = height;
    recipe.palette = GreyRamp(compression == kRle8 ? 256 : 16);
    recipe.pixelData = stream;
    return recipe;
}

}  // namespace

using DibRle = DibTest;

TEST_F(DibRle, Rle8RunsLiteralsLineEndsAndDeltas)
{
    DibRecipe recipe = RleRecipe(kRle8, 4, 3,
                           {3, 5,             // three of colour 5
                            0, 3, 1, 2, 3, 0, // literal 1 2 3 (padded): only the first fits the row
                            0, 0,             // end of line
                            2, 7, 0, 0,       // two of colour 7, end of line: the rest stays black
                            0, 2, 1, 0,       // one to the right
                            1, 9,             // one of colour 9
                            0, 1});           // end of bitmap
    auto c = [&](int index) { return Packed(recipe.palette[index]); };

    ImagePtr image = Read(BuildDib(recipe));

    ASSERT_NE(image, nullptr);
    EXPECT_EQ(PixelBytes(*image), RgbBytes({c(5), c(5), c(5), c(1),            //
                                            c(7), c(7), kBlack, kBlack,        //
                                            kBlack, c(9), kBlack, kBlack}));
    EXPECT_TRUE(HeadlessBoxes().empty());
}

TEST_F(DibRle, Rle8DeltaMovesUpAndAcross)
{
    DibRecipe recipe = RleRecipe(kRle8, 3, 3, {1, 4, 0, 2, 1, 2, 1, 6, 0, 1});
    auto c = [&](int index) { return Packed(recipe.palette[index]); };

    ImagePtr image = Read(BuildDib(recipe));

    ASSERT_NE(image, nullptr);
    EXPECT_EQ(PixelBytes(*image), RgbBytes({c(4), kBlack, kBlack,  //
                                            kBlack, kBlack, kBlack, //
                                            kBlack, kBlack, c(6)}));
}

TEST_F(DibRle, Rle4AlternatesNibblesAndPadsLiterals)
{
    DibRecipe recipe = RleRecipe(kRle4, 5, 2,
                           {5, 0x12,                  // 1 2 1 2 1
                            0, 0,                     // end of line
                            0, 5, 0x34, 0x56, 0x70, 0,  // literal 3 4 5 6 7: three bytes, padded to four
                            0, 1});
    auto c = [&](int index) { return Packed(recipe.palette[index]); };

    ImagePtr image = Read(BuildDib(recipe));

    ASSERT_NE(image, nullptr);
    EXPECT_EQ(PixelBytes(*image), RgbBytes({c(1), c(2), c(1), c(2), c(1),  //
                                            c(3), c(4), c(5), c(6), c(7)}));
}

TEST_F(DibRle, EndOfBitmapLeavesTheRestBlack)
{
    DibRecipe recipe = RleRecipe(kRle8, 2, 2, {1, 3, 0, 1});

    ImagePtr image = Read(BuildDib(recipe));

    ASSERT_NE(image, nullptr);
    EXPECT_EQ(PixelBytes(*image), RgbBytes({Packed(recipe.palette[3]), kBlack, kBlack, kBlack}));
}

TEST_F(DibRle, DataMayEndByLeavingTheTopRow)
{
    for (const Bytes& stream : {Bytes{2, 1, 0, 0, 2, 2, 0, 0}, Bytes{2, 1, 0, 2, 0, 5}}) {
        HeadlessReset();
        DibRecipe recipe = RleRecipe(kRle8, 2, 2, stream);

        ImagePtr image = Read(BuildDib(recipe));

        ASSERT_NE(image, nullptr);
        EXPECT_EQ(image->height, 2);
        EXPECT_TRUE(HeadlessBoxes().empty());
    }
}

TEST_F(DibRle, IndexBeyondTheColourTableIsBlack)
{
    DibRecipe recipe = RleRecipe(kRle8, 2, 1, {1, 1, 1, 200, 0, 1});
    recipe.colorsUsed = 2;
    recipe.palette = {{9, 9, 9}, {0xFF, 0xFF, 0xFF}};

    ImagePtr image = Read(BuildDib(recipe));

    ASSERT_NE(image, nullptr);
    EXPECT_EQ(PixelBytes(*image), RgbBytes({0xFFFFFF, kBlack}));
}

TEST_F(DibRle, BareBitmapRunsFollowTheColourTable)
{
    DibRecipe recipe = RleRecipe(kRle4, 2, 1, {2, 0xF1, 0, 1});
    recipe.fileHeader = false;

    ImagePtr image = Read(BuildDib(recipe));

    ASSERT_NE(image, nullptr);
    EXPECT_EQ(PixelBytes(*image), RgbBytes({Packed(recipe.palette[15]), Packed(recipe.palette[1])}));
}

TEST_F(DibRle, DataThatRunsOutIsAConversionError)
{
    for (const Bytes& stream : {Bytes{2, 1, 0, 0}, Bytes{2, 1, 0, 2, 1}, Bytes{0, 4, 1, 2}, Bytes{2}}) {
        HeadlessReset();

        ImagePtr image = Read(BuildDib(RleRecipe(kRle8, 2, 2, stream)));

        EXPECT_EQ(image, nullptr);
        EXPECT_ONE_DIB_BOX(kConversionError);
    }
}

TEST_F(DibRle, TopDownRunLengthDataIsRefused)
{
    ImagePtr image = Read(BuildDib(RleRecipe(kRle8, 2, -2, {0, 1})));

    EXPECT_EQ(image, nullptr);
    EXPECT_ONE_DIB_BOX(kConversionError);
}
