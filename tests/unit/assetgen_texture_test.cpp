// assetgen_texture_test.cpp — the twelve generated textures in the run folder:
// their file layout, and what the scenes rely on when they show them.
#include <algorithm>
#include <cmath>

#include "tests/unit/assetgen_test_support.h"

namespace {

bool IsPowerOfTwo(uint32_t n) { return n != 0 && (n & (n - 1)) == 0; }

ViewedPicture LoadViewed(const char* path)
{
    AssetBytes file = ReadAssetFile(path);
    EXPECT_FALSE(file.empty()) << path << " is missing from the run folder";
    return DecodeWithStb(file, 3);
}

// Mean colour step between two neighbouring lines of pixels: the largest such
// step inside the picture, and the step across the seam where the last column
// (or row) meets the first.
struct SeamSteps {
    double largestInside;
    double seam;
};

SeamSteps MeasureSeam(const ViewedPicture& picture, bool across)
{
    int lines = across ? picture.height : picture.width;
    int length = across ? picture.width : picture.height;
    auto at = [&](int along, int line) { return across ? picture.At(along, line) : picture.At(line, along); };
    auto step = [&](int from, int to) {
        double sum = 0.0;
        for (int line = 0; line < lines; ++line)
            for (int c = 0; c < 3; ++c)
                sum += std::abs(at(to, line)[c] - at(from, line)[c]);
        return sum / lines;
    };
    SeamSteps steps{0.0, step(length - 1, 0)};
    for (int along = 0; along + 1 < length; ++along)
        steps.largestInside = std::max(steps.largestInside, step(along, along + 1));
    return steps;
}

TEST(AssetgenTextures, EveryTextureIsAnUncompressedBmpOfPowerOfTwoSize)
{
    for (const TextureExpectation& expected : ExpectedTextures()) {
        SCOPED_TRACE(expected.path);
        AssetBytes file = ReadAssetFile(expected.path);
        ASSERT_GE(file.size(), 54u);
        EXPECT_EQ(file[0], 'B');
        EXPECT_EQ(file[1], 'M');
        EXPECT_EQ(ReadLittleEndian(file, 2, 4), file.size());
        EXPECT_EQ(ReadLittleEndian(file, 14, 4), 40u);  // the information header
        uint32_t width = ReadLittleEndian(file, 18, 4);
        uint32_t height = ReadLittleEndian(file, 22, 4);  // positive: bottom row first
        EXPECT_EQ(width, static_cast<uint32_t>(expected.width));
        EXPECT_EQ(height, static_cast<uint32_t>(expected.height));
        EXPECT_TRUE(IsPowerOfTwo(width) && IsPowerOfTwo(height));
        EXPECT_EQ(width % 4, 0u);
        EXPECT_EQ(ReadLittleEndian(file, 26, 2), 1u);
        EXPECT_EQ(ReadLittleEndian(file, 28, 2), static_cast<uint32_t>(expected.bitsPerPixel));
        EXPECT_EQ(ReadLittleEndian(file, 30, 4), 0u);  // no compression
        uint32_t palette = expected.bitsPerPixel == 8 ? 256 * 4 : 0;
        EXPECT_EQ(ReadLittleEndian(file, 10, 4), 54 + palette);
        EXPECT_EQ(file.size(), 54 + palette + width * height * expected.bitsPerPixel / 8);

        ViewedPicture picture = DecodeWithStb(file, 3);
        EXPECT_EQ(picture.width, expected.width);
        EXPECT_EQ(picture.height, expected.height);
    }
}

TEST(AssetgenTextures, WrappedTexturesHaveNoVisibleSeam)
{
    for (const TextureExpectation& expected : ExpectedTextures()) {
        if (!expected.wrapsAround)
            continue;
        SCOPED_TRACE(expected.path);
        ViewedPicture picture = LoadViewed(expected.path);
        ASSERT_EQ(picture.width, expected.width);
        // Across a seam the picture changes no more than anywhere inside it.
        SeamSteps around = MeasureSeam(picture, true);
        EXPECT_LE(around.seam, around.largestInside);
        if (expected.wrapsUpDown) {
            SeamSteps upDown = MeasureSeam(picture, false);
            EXPECT_LE(upDown.seam, upDown.largestInside);
        }
    }
}

TEST(AssetgenTextures, FlamesRiseFromTheStickOnPureBlack)
{
    for (const char* path : {"Graphics/Fire1.bmp", "Graphics/Fire2.bmp", "Graphics/Fire3.bmp"}) {
        SCOPED_TRACE(path);
        ViewedPicture flame = LoadViewed(path);
        ASSERT_EQ(flame.width, 256);
        int last = flame.width - 1;
        for (int i = 0; i < flame.width; ++i) {
            for (const uint8_t* pixel : {flame.At(i, 0), flame.At(i, last), flame.At(0, i), flame.At(last, i)})
                ASSERT_EQ(pixel[0] + pixel[1] + pixel[2], 0) << "border pixel " << i << " is lit";
        }
        // The light gathers over the bottom edge's middle, where t = 0 meets
        // the stick; the top rows hold only the tip.
        double sum = 0.0, sumX = 0.0, sumY = 0.0;
        int lowestLitRow = -1;
        for (int y = 0; y < flame.height; ++y) {
            for (int x = 0; x < flame.width; ++x) {
                float light = Brightness(flame.At(x, y));
                sum += light;
                sumX += light * x;
                sumY += light * y;
                if (light > 0.0f)
                    lowestLitRow = y;
            }
        }
        ASSERT_GT(sum, 0.0);
        EXPECT_NEAR(sumX / sum, flame.width / 2.0, flame.width / 10.0);
        EXPECT_GT(sumY / sum, flame.height / 2.0);
        EXPECT_GE(lowestLitRow, flame.height * 9 / 10);
        EXPECT_EQ(BandBrightness(flame, 0.0f, 0.05f), 0.0f);
    }
}

TEST(AssetgenTextures, TornadoIsDustOnBlackDensestAtItsFoot)
{
    ViewedPicture tornado = LoadViewed("Graphics/Tornado.bmp");
    ASSERT_EQ(tornado.width, 256);
    int black = 0;
    for (int y = 0; y < tornado.height; ++y)
        for (int x = 0; x < tornado.width; ++x)
            black += Brightness(tornado.At(x, y)) == 0.0f ? 1 : 0;
    double blackShare = static_cast<double>(black) / (tornado.width * tornado.height);
    EXPECT_GT(blackShare, 0.3);
    EXPECT_LT(blackShare, 0.9);
    // The foot (t = 0) is the picture's bottom.
    EXPECT_GT(BandBrightness(tornado, 0.6f, 0.9f), 1.5f * BandBrightness(tornado, 0.1f, 0.4f));
}

TEST(AssetgenTextures, PoolWallHasItsDarkCopingAtTheRim)
{
    // t = 0 is the rim, the bottom of the picture.
    ViewedPicture wall = LoadViewed("Graphics/PoolSide.bmp");
    ASSERT_EQ(wall.width, 256);
    EXPECT_LT(BandBrightness(wall, 0.88f, 1.0f), 0.6f * BandBrightness(wall, 0.0f, 0.6f));
}

TEST(AssetgenTextures, WaterFramesAreTwoMomentsOfOneMotion)
{
    ViewedPicture first = LoadViewed("Graphics/Water1.bmp");
    ViewedPicture second = LoadViewed("Graphics/Water2.bmp");
    ASSERT_EQ(first.pixels.size(), second.pixels.size());
    ASSERT_FALSE(first.pixels.empty());
    // Alternated every frame they must differ, yet stay strongly alike, or
    // the surface flickers instead of shimmering.
    double n = static_cast<double>(first.width) * first.height;
    double meanA = 0, meanB = 0, ab = 0, aa = 0, bb = 0;
    for (int y = 0; y < first.height; ++y) {
        for (int x = 0; x < first.width; ++x) {
            double a = Brightness(first.At(x, y));
            double b = Brightness(second.At(x, y));
            meanA += a;
            meanB += b;
            ab += a * b;
            aa += a * a;
            bb += b * b;
        }
    }
    meanA /= n;
    meanB /= n;
    double covariance = ab / n - meanA * meanB;
    double correlation = covariance / std::sqrt((aa / n - meanA * meanA) * (bb / n - meanB * meanB));
    EXPECT_NE(first.pixels, second.pixels);
    EXPECT_GT(correlation, 0.5);
}

}  // namespace
