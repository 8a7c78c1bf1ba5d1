// textures_earth.cpp — the EARTH scene: the mound's soil with flowers, and the
// planet above it. Each mound face shows the whole soil picture narrowing to
// its top edge's middle. The sphere wraps s once around its axis and runs t
// from one pole (t = 0) to the other, so the planet is an equirectangular map
// computed from 3D noise on the sphere itself: seamless, and without pinched
// poles.
#include "assetgen.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr uint32_t kSoilSeed = 0x501150FFu;
constexpr uint32_t kFlowerSeed = 0xF10E4000u;
constexpr uint32_t kPlanetSeed = 0x91A4E700u;
constexpr int kEarthSize = 256;
constexpr int kPlanetWidth = 512;   // twice the height: 360 by 180 degrees
constexpr int kPlanetHeight = 256;
constexpr float kPi = 3.14159265f;

// Flowers: at most one per cell of a grid, kept clear of the picture's edges.
constexpr int kFlowerGrid = 11;
constexpr float kFlowerChance = 0.6f;

struct Flower {
    float x, y;        // centre, texture units
    float radius;      // texture units
    float turn;        // radians
    int petals;
    Rgb colour;
    float leafAngle;   // radians
};

bool FindFlower(int column, int row, Flower* flower)
{
    static const Rgb kPetalColours[] = {
        {0.97f, 0.96f, 0.92f}, {1.00f, 0.86f, 0.18f}, {0.97f, 0.42f, 0.64f}, {0.64f, 0.44f, 0.92f},
        {0.92f, 0.16f, 0.12f}, {1.00f, 0.56f, 0.10f}, {0.38f, 0.58f, 0.96f},
    };
    if (column < 0 || row < 0 || column >= kFlowerGrid || row >= kFlowerGrid)
        return false;
    if (HashUnit(kFlowerSeed, column, row, 0) > kFlowerChance)
        return false;
    float cell = 1.0f / kFlowerGrid;
    flower->radius = 0.011f + 0.009f * HashUnit(kFlowerSeed, column, row, 1);
    float margin = 1.8f * flower->radius;
    float x = (static_cast<float>(column) + 0.15f + 0.7f * HashUnit(kFlowerSeed, column, row, 2)) * cell;
    float y = (static_cast<float>(row) + 0.15f + 0.7f * HashUnit(kFlowerSeed, column, row, 3)) * cell;
    flower->x = std::clamp(x, margin, 1.0f - margin);
    flower->y = std::clamp(y, margin, 1.0f - margin);
    flower->turn = 6.2831853f * HashUnit(kFlowerSeed, column, row, 4);
    flower->petals = 5 + static_cast<int>(HashInts(kFlowerSeed, column, row, 5) % 2u);
    flower->colour = kPetalColours[HashInts(kFlowerSeed, column, row, 6) % 7u];
    flower->leafAngle = 6.2831853f * HashUnit(kFlowerSeed, column, row, 7);
    return true;
}

// Petal outline: n rounded lobes around the centre, in radius units.
float PetalReach(const Flower& flower, float angle)
{
    float lobe = std::fabs(std::cos(0.5f * static_cast<float>(flower.petals) * (angle + flower.turn)));
    return 0.45f + 0.55f * std::pow(lobe, 0.6f);
}

// Paints one flower over colour if (s, t) lies on it: leaf, shadow, petals, heart.
Rgb PaintFlower(const Flower& flower, float s, float t, Rgb colour)
{
    float dx = (s - flower.x) / flower.radius;
    float dy = (t - flower.y) / flower.radius;
    if (dx * dx + dy * dy > 4.0f)
        return colour;
    float along = dx * std::cos(flower.leafAngle) + dy * std::sin(flower.leafAngle);
    float across = -dx * std::sin(flower.leafAngle) + dy * std::cos(flower.leafAngle);
    float leaf = (along - 1.0f) * (along - 1.0f) / 0.5f + across * across / 0.09f;
    if (leaf < 1.0f)
        colour = MixRgb(Rgb{0.14f, 0.36f, 0.09f}, Rgb{0.30f, 0.56f, 0.16f}, Clamp01(0.5f + across * 1.5f));
    // A soft shadow falls down and to the right of the petals.
    float sx = dx - 0.25f;
    float sy = dy + 0.25f;
    float shadowReach = std::hypot(sx, sy) / PetalReach(flower, std::atan2(sy, sx));
    if (shadowReach < 1.0f)
        colour = colour * 0.55f;
    float r = std::hypot(dx, dy);
    float reach = r / PetalReach(flower, std::atan2(dy, dx));
    if (reach < 1.0f) {
        // Deeper colour at the base of each petal, a darker rim at its edge.
        Rgb petal = flower.colour * (0.72f + 0.28f * SmoothStep(0.2f, 0.7f, reach));
        colour = petal * (1.0f - 0.25f * SmoothStep(0.85f, 1.0f, reach));
    }
    if (r < 0.3f)
        colour = MixRgb(Rgb{1.0f, 0.78f, 0.12f}, Rgb{0.62f, 0.34f, 0.05f}, SmoothStep(0.12f, 0.3f, r));
    return colour;
}

Rgb ShadeEarth(float s, float t, const void*)
{
    float soil = Fbm2(s * 6.0f, t * 6.0f, 6, 6, 6, 0.55f, kSoilSeed);
    static const RampStop kSoilRamp[] = {
        {0.25f, {0.17f, 0.11f, 0.06f}},
        {0.50f, {0.36f, 0.24f, 0.14f}},
        {0.75f, {0.52f, 0.37f, 0.22f}},
    };
    Rgb colour = SampleRamp(kSoilRamp, soil);
    // Clods: lit on top, dark in the gaps between them.
    CellDistances clod = CellNoise2(s * 26.0f, t * 26.0f, 26, 26, 0.0f, kSoilSeed + 1);
    colour = colour * (0.8f + 0.25f * SmoothStep(0.0f, 0.3f, clod.second - clod.nearest) - 0.12f * clod.nearest);
    // Scattered pebbles.
    CellDistances pebble = CellNoise2(s * 40.0f, t * 40.0f, 40, 40, 0.0f, kSoilSeed + 2);
    float pebbleSize = 0.22f * HashUnit(kSoilSeed + 3, static_cast<int>(s * 40.0f), static_cast<int>(t * 40.0f), 0);
    if (pebble.nearest < pebbleSize)
        colour = MixRgb(colour, Rgb{0.58f, 0.52f, 0.45f}, 0.7f * (1.0f - pebble.nearest / pebbleSize));

    int column = static_cast<int>(s * kFlowerGrid);
    int row = static_cast<int>(t * kFlowerGrid);
    for (int j = -1; j <= 1; ++j) {
        for (int i = -1; i <= 1; ++i) {
            Flower flower;
            if (FindFlower(column + i, row + j, &flower))
                colour = PaintFlower(flower, s, t, colour);
        }
    }
    return colour;
}

Rgb ShadePlanet(float s, float t, const void*)
{
    float longitude = 2.0f * kPi * s;
    float latitude = kPi * (t - 0.5f);
    float x = std::cos(latitude) * std::cos(longitude);
    float y = std::cos(latitude) * std::sin(longitude);
    float z = std::sin(latitude);
    constexpr int kFree = 1024;  // a period far beyond the sphere: no repetition

    float wx = Fbm3(x * 1.5f + 3.1f, y * 1.5f, z * 1.5f, kFree, kFree, kFree, 2, 0.5f, kPlanetSeed + 1) - 0.5f;
    float wy = Fbm3(x * 1.5f, y * 1.5f + 7.3f, z * 1.5f, kFree, kFree, kFree, 2, 0.5f, kPlanetSeed + 2) - 0.5f;
    float wz = Fbm3(x * 1.5f, y * 1.5f, z * 1.5f + 5.7f, kFree, kFree, kFree, 2, 0.5f, kPlanetSeed + 3) - 0.5f;
    float elevation = Fbm3(x * 1.7f + wx * 1.2f + 20.0f, y * 1.7f + wy * 1.2f, z * 1.7f + wz * 1.2f, kFree,
                           kFree, kFree, 7, 0.52f, kPlanetSeed);
    float moisture = Fbm3(x * 2.5f + 40.0f, y * 2.5f, z * 2.5f, kFree, kFree, kFree, 3, 0.5f, kPlanetSeed + 4);
    float polar = std::fabs(latitude) / (0.5f * kPi);
    constexpr float kSeaLevel = 0.53f;

    Rgb colour;
    if (elevation < kSeaLevel) {
        static const RampStop kOceanRamp[] = {
            {0.00f, {0.11f, 0.46f, 0.64f}},
            {0.06f, {0.05f, 0.26f, 0.52f}},
            {0.20f, {0.02f, 0.10f, 0.32f}},
        };
        colour = SampleRamp(kOceanRamp, kSeaLevel - elevation);
    } else {
        static const RampStop kLandRamp[] = {
            {0.00f, {0.74f, 0.68f, 0.48f}}, {0.02f, {0.24f, 0.46f, 0.17f}}, {0.10f, {0.13f, 0.33f, 0.11f}},
            {0.20f, {0.42f, 0.35f, 0.21f}}, {0.28f, {0.52f, 0.49f, 0.46f}}, {0.34f, {0.95f, 0.95f, 0.97f}},
        };
        float height = elevation - kSeaLevel;
        colour = SampleRamp(kLandRamp, height);
        // Deserts in the dry belts either side of the equator.
        float belt = SmoothStep(0.1f, 0.25f, polar) * (1.0f - SmoothStep(0.35f, 0.5f, polar));
        float dry = belt * SmoothStep(0.5f, 0.35f, moisture) * (1.0f - SmoothStep(0.15f, 0.25f, height));
        colour = MixRgb(colour, Rgb{0.80f, 0.65f, 0.40f}, dry);
        colour = MixRgb(colour, Rgb{0.62f, 0.64f, 0.58f}, SmoothStep(0.55f, 0.75f, polar));
    }
    // Polar caps with a ragged edge.
    float ragged = Fbm3(x * 4.0f, y * 4.0f, z * 4.0f, kFree, kFree, kFree, 3, 0.5f, kPlanetSeed + 5) - 0.5f;
    float capEdge = 0.86f + 0.16f * ragged;
    colour = MixRgb(colour, Rgb{0.92f, 0.95f, 0.98f}, SmoothStep(capEdge, capEdge + 0.03f, polar));

    // A few swirling clouds.
    float swirl = Fbm3(x * 3.0f + wy * 2.0f, y * 3.0f + wz * 2.0f, z * 3.0f + wx * 2.0f, kFree, kFree, kFree, 5,
                       0.55f, kPlanetSeed + 6);
    float cloud = SmoothStep(0.58f, 0.7f, swirl);
    return MixRgb(colour, Rgb{0.97f, 0.97f, 0.98f}, 0.85f * cloud);
}

}  // namespace

Picture BuildEarthPicture() { return ShadePicture(kEarthSize, kEarthSize, 2, ShadeEarth, nullptr); }

Picture BuildPlanetPicture() { return ShadePicture(kPlanetWidth, kPlanetHeight, 1, ShadePlanet, nullptr); }
