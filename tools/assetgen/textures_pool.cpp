// textures_pool.cpp — the pool's tiles. The bottom disk shows its texture over
// the 2 x 2 unit square around it; the wall cylinder wraps s once around its
// 2 pi unit circumference and runs t from the rim (t = 0) down 0.4 units to the
// bottom. Both are laid out in those world units so the tiles come out square.
#include "assetgen.h"

#include <cmath>

namespace {

constexpr uint32_t kTileSeed = 0x711E5EEDu;
constexpr int kPoolSize = 256;

// Where a point lies in a grid of unit tiles: which tile, and how far inside it.
struct TileSpot {
    int column, row;
    float edge;     // distance to the nearest tile edge, in tile units
    float u, v;     // position inside the tile, 0 to 1
};

TileSpot LocateTile(float x, float y)
{
    float fx = std::floor(x);
    float fy = std::floor(y);
    float u = x - fx;
    float v = y - fy;
    float edge = std::fmin(std::fmin(u, 1.0f - u), std::fmin(v, 1.0f - v));
    return {static_cast<int>(fx), static_cast<int>(fy), edge, u, v};
}

// A glazed tile: slightly uneven colour per tile, a soft bevel and a gloss
// towards one corner; grout where the point is within groutWidth of an edge.
Rgb ShadeTile(const TileSpot& spot, Rgb glaze, Rgb grout, float groutWidth, uint32_t seed)
{
    float variation = HashUnit(seed, spot.column, spot.row, 7) - 0.5f;
    Rgb colour = glaze * (1.0f + 0.07f * variation);
    float bevel = SmoothStep(groutWidth, groutWidth + 0.12f, spot.edge);
    colour = colour * (0.86f + 0.14f * bevel);
    float gloss = Clamp01(1.0f - std::hypot(spot.u - 0.3f, spot.v - 0.7f) * 1.6f);
    colour = colour + Rgb{1.0f, 1.0f, 1.0f} * (0.08f * gloss * gloss);
    return spot.edge < groutWidth ? grout : colour;
}

Rgb ShadePoolBottom(float s, float t, const void*)
{
    constexpr float kTileSize = 0.125f;  // world units
    constexpr int kLaneHalfLength = 5;   // tiles from the centre to the T-bar
    constexpr int kBarHalfWidth = 2;     // tiles from the lane to a T-bar's end
    float x = 2.0f * s - 1.0f;
    float y = 2.0f * t - 1.0f;
    // Half a tile of offset puts one tile column on the centre line for the lane.
    TileSpot spot = LocateTile(x / kTileSize + 0.5f, y / kTileSize + 0.5f);
    bool lane = (spot.column == 0 && std::abs(spot.row) <= kLaneHalfLength) ||
                (std::abs(spot.row) == kLaneHalfLength && std::abs(spot.column) <= kBarHalfWidth);
    static const Rgb kPale{0.86f, 0.93f, 0.95f};
    static const Rgb kLane{0.06f, 0.13f, 0.36f};
    static const Rgb kGrout{0.60f, 0.68f, 0.70f};
    Rgb tile = ShadeTile(spot, lane ? kLane : kPale, kGrout, 0.07f, kTileSeed);

    // Seen through water: tinted, dimmed towards the walls' shade, lit by caustics.
    static const Rgb kWaterTint{0.58f, 0.86f, 0.93f};
    float radius = std::hypot(x, y);
    float shade = 1.0f - 0.3f * SmoothStep(0.7f, 1.0f, radius);
    float murk = Fbm2(s * 4.0f, t * 4.0f, 4, 4, 3, 0.5f, kTileSeed + 5);
    Rgb seen = tile * kWaterTint * (shade * (0.9f + 0.2f * murk));
    float light = WaterCaustics(s + 0.23f, t + 0.41f, 0.5f);
    return seen + Rgb{0.22f, 0.30f, 0.28f} * light;
}

Rgb ShadePoolSide(float s, float t, const void*)
{
    constexpr int kTilesAround = 48;
    constexpr float kWallHeight = 0.4f;     // world units, rim to bottom
    constexpr float kCoping = 0.064f;       // world units of coping below the rim
    constexpr int kTileRows = 3;
    constexpr float kCircumference = 6.2831853f;
    float tileWidth = kCircumference / kTilesAround;
    float depth = t * kWallHeight;
    float around = s * kTilesAround;

    if (depth < kCoping) {
        // Dark stone slabs, eight tiles long, with a worn light edge at the rim.
        constexpr int kSlabTiles = 8;
        float grain = Fbm2(s * 64.0f, depth * 64.0f / kCircumference, 64, 64, 4, 0.55f, kTileSeed + 9);
        Rgb stone = MixRgb(Rgb{0.12f, 0.15f, 0.19f}, Rgb{0.26f, 0.30f, 0.35f}, grain);
        float joint = std::fabs(around / kSlabTiles - std::round(around / kSlabTiles)) * kSlabTiles;
        stone = stone * (0.55f + 0.45f * SmoothStep(0.04f, 0.12f, joint));
        float rimLight = 1.0f - SmoothStep(0.0f, 0.012f, depth);
        return stone + Rgb{0.25f, 0.27f, 0.3f} * rimLight;
    }

    float rowHeight = (kWallHeight - kCoping) / kTileRows;
    float row = (depth - kCoping) / rowHeight;
    // Tile units in both directions, rows counted downwards from the coping.
    TileSpot spot = LocateTile(around, row);
    spot.edge = std::fmin(std::fmin(spot.u, 1.0f - spot.u) * tileWidth,
                          std::fmin(spot.v, 1.0f - spot.v) * rowHeight) / tileWidth;
    static const Rgb kGrout{0.55f, 0.60f, 0.62f};
    Rgb tile;
    if (spot.row == 0) {
        // The waterline band: a mosaic of small blue tiles, four to a wall tile.
        static const Rgb kBlues[] = {{0.10f, 0.30f, 0.62f}, {0.16f, 0.42f, 0.74f}, {0.07f, 0.22f, 0.50f}};
        TileSpot small = LocateTile(around * 2.0f, row * 2.0f);
        small.edge = std::fmin(std::fmin(small.u, 1.0f - small.u) * tileWidth,
                               std::fmin(small.v, 1.0f - small.v) * rowHeight) / tileWidth;
        small.column %= 2 * kTilesAround;
        Rgb blue = kBlues[HashInts(kTileSeed, small.column, small.row, 3) % 3u];
        tile = ShadeTile(small, blue, kGrout, 0.07f, kTileSeed + 1);
    } else {
        spot.column %= kTilesAround;
        tile = ShadeTile(spot, Rgb{0.84f, 0.92f, 0.94f}, kGrout, 0.07f, kTileSeed + 2);
    }
    // The coping's overhang casts a thin shadow on the tiles under it.
    float shadow = SmoothStep(0.0f, 0.02f, depth - kCoping);
    return tile * (0.6f + 0.4f * shadow);
}

}  // namespace

Picture BuildPoolBottomPicture() { return ShadePicture(kPoolSize, kPoolSize, 2, ShadePoolBottom, nullptr); }

Picture BuildPoolSidePicture() { return ShadePicture(kPoolSize, kPoolSize, 3, ShadePoolSide, nullptr); }
