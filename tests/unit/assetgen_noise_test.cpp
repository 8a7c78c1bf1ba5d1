// assetgen_noise_test.cpp — the noise behind the textures: it repeats exactly
// with its period (so wrapped textures have no seam), stays in range, and
// depends on its seed.
#include <algorithm>
#include <cmath>

#include "tests/unit/assetgen_test_support.h"

namespace {

constexpr float kSamePoint = 1e-4f;  // float rounding of coordinates a period apart

TEST(AssetgenNoise, EveryKindRepeatsWithItsPeriodAlongEachAxis)
{
    const float points[][3] = {{0.3f, 0.7f, 0.1f}, {2.95f, 0.05f, 1.5f}, {-1.4f, 4.2f, -0.6f}, {5.0f, 3.0f, 2.0f}};
    for (const auto& p : points) {
        float x = p[0], y = p[1], z = p[2];
        EXPECT_NEAR(GradientNoise2(x + 3, y, 3, 5, 11), GradientNoise2(x, y, 3, 5, 11), kSamePoint);
        EXPECT_NEAR(GradientNoise2(x, y - 5, 3, 5, 11), GradientNoise2(x, y, 3, 5, 11), kSamePoint);
        EXPECT_NEAR(GradientNoise3(x + 4, y, z, 4, 6, 7, 12), GradientNoise3(x, y, z, 4, 6, 7, 12), kSamePoint);
        EXPECT_NEAR(GradientNoise3(x, y + 6, z, 4, 6, 7, 12), GradientNoise3(x, y, z, 4, 6, 7, 12), kSamePoint);
        EXPECT_NEAR(GradientNoise3(x, y, z - 7, 4, 6, 7, 12), GradientNoise3(x, y, z, 4, 6, 7, 12), kSamePoint);
        // Each octave doubles its period, so the sum repeats with the first one's.
        EXPECT_NEAR(Fbm2(x + 3, y + 2, 3, 2, 5, 0.5f, 13), Fbm2(x, y, 3, 2, 5, 0.5f, 13), kSamePoint);
        EXPECT_NEAR(Fbm3(x, y, z + 3, 8, 8, 3, 4, 0.5f, 14), Fbm3(x, y, z, 8, 8, 3, 4, 0.5f, 14), kSamePoint);
        CellDistances here = CellNoise2(x, y, 9, 17, 0.8f, 15);
        CellDistances there = CellNoise2(x + 9, y - 17, 9, 17, 0.8f, 15);
        EXPECT_NEAR(here.nearest, there.nearest, kSamePoint);
        EXPECT_NEAR(here.second, there.second, kSamePoint);
        EXPECT_LE(here.nearest, here.second);
    }
}

TEST(AssetgenNoise, ValuesStayInRangeAndFollowTheSeed)
{
    float lowest = 1.0f, highest = -1.0f;
    float lowestSum = 1.0f, highestSum = 0.0f;
    int differing = 0;
    for (int j = 0; j < 64; ++j) {
        for (int i = 0; i < 64; ++i) {
            float x = i * 0.137f, y = j * 0.113f;
            float n = GradientNoise2(x, y, 64, 64, 1);
            lowest = std::min(lowest, n);
            highest = std::max(highest, n);
            float sum = Fbm2(x, y, 64, 64, 6, 0.5f, 1);
            lowestSum = std::min(lowestSum, sum);
            highestSum = std::max(highestSum, sum);
            EXPECT_EQ(n, GradientNoise2(x, y, 64, 64, 1));
            differing += n != GradientNoise2(x, y, 64, 64, 2) ? 1 : 0;
        }
    }
    EXPECT_GE(lowest, -1.05f);
    EXPECT_LE(highest, 1.05f);
    EXPECT_LT(lowest, -0.4f);  // and it uses its range
    EXPECT_GT(highest, 0.4f);
    EXPECT_GE(lowestSum, 0.0f);
    EXPECT_LE(highestSum, 1.0f);
    EXPECT_GT(differing, 64 * 64 / 2);
}

}  // namespace
