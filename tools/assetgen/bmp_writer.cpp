// bmp_writer.cpp — the generated pictures as BMP files: the 14-byte file
// header, the 40-byte information header, a grey palette for one-channel
// pictures, and rows stored bottom first, each padded to a multiple of 4
// bytes. The file itself is laid out by the shared BMP builder.
#include "assetgen.h"

#include "tools/common/dib_builder.h"

namespace {

constexpr uint32_t kGreyPaletteEntries = 256;
constexpr int kLargestSide = 1 << 14;

}  // namespace

bool EncodeBmp(const Picture& picture, std::vector<uint8_t>* file)
{
    file->clear();
    if (picture.width <= 0 || picture.height <= 0 || picture.width > kLargestSide || picture.height > kLargestSide)
        return false;
    if (picture.channels != 1 && picture.channels != 3)
        return false;
    const size_t pixelCount = static_cast<size_t>(picture.width) * static_cast<size_t>(picture.height);
    if (picture.pixels.size() != pixelCount * static_cast<size_t>(picture.channels))
        return false;

    DibRecipe recipe;
    recipe.width = picture.width;
    recipe.height = picture.height;  // positive: bottom row first
    recipe.bitCount = static_cast<uint16_t>(picture.channels * 8);
    std::vector<uint32_t> values(pixelCount);
    const uint8_t* pixel = picture.pixels.data();
    if (picture.channels == 1) {
        recipe.colorsUsed = kGreyPaletteEntries;
        for (uint32_t i = 0; i < kGreyPaletteEntries; ++i) {
            const uint8_t grey = static_cast<uint8_t>(i);
            recipe.palette.push_back({grey, grey, grey});
        }
        for (size_t i = 0; i < pixelCount; ++i)
            values[i] = pixel[i];
    } else {
        for (size_t i = 0; i < pixelCount; ++i, pixel += 3)
            values[i] = static_cast<uint32_t>(pixel[0]) << 16 | static_cast<uint32_t>(pixel[1]) << 8 | pixel[2];
    }
    recipe.pixelData = PackRows(values, picture.width, picture.height, recipe.bitCount);
    *file = BuildDib(recipe);
    return true;
}
