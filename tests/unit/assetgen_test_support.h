// assetgen_test_support.h — reading the generated data back as a user of the
// files would: raw bytes, little-endian header fields, and pictures decoded by
// stb_image (top row first), plus the expected set of textures.
#pragma once

#include <gtest/gtest.h>

#include <stb/stb_image.h>

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "tools/assetgen/assetgen.h"

using AssetBytes = std::vector<uint8_t>;

inline AssetBytes ReadAssetFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return AssetBytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

inline uint32_t ReadLittleEndian(const AssetBytes& bytes, size_t offset, int size)
{
    uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = (value << 8) | bytes.at(offset + static_cast<size_t>(i));
    return value;
}

// A picture as an image viewer shows it: row 0 at the top.
struct ViewedPicture {
    int width = 0;
    int height = 0;
    int channels = 0;
    std::vector<uint8_t> pixels;

    const uint8_t* At(int x, int y) const
    {
        return &pixels[(static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)) *
                       static_cast<size_t>(channels)];
    }
};

inline ViewedPicture DecodeWithStb(const AssetBytes& file, int channels)
{
    ViewedPicture picture;
    int stored = 0;
    stbi_uc* data = stbi_load_from_memory(file.data(), static_cast<int>(file.size()), &picture.width,
                                          &picture.height, &stored, channels);
    if (data == nullptr)
        return ViewedPicture{};
    picture.channels = channels;
    picture.pixels.assign(data, data + static_cast<size_t>(picture.width) * picture.height * channels);
    stbi_image_free(data);
    return picture;
}

inline float Brightness(const uint8_t* rgb) { return (rgb[0] + rgb[1] + rgb[2]) / 3.0f; }

// Mean brightness of the rows from fraction `from` to `to` of the height,
// counted from the top of the picture.
inline float BandBrightness(const ViewedPicture& picture, float from, float to)
{
    int first = static_cast<int>(from * picture.height);
    int end = static_cast<int>(to * picture.height);
    double sum = 0.0;
    for (int y = first; y < end; ++y)
        for (int x = 0; x < picture.width; ++x)
            sum += Brightness(picture.At(x, y));
    return static_cast<float>(sum / (static_cast<double>(end - first) * picture.width));
}

struct TextureExpectation {
    const char* path;
    int width, height, bitsPerPixel;
    bool wrapsAround;  // s repeats: the left and right edges meet
    bool wrapsUpDown;  // t repeats too
};

// Every texture is 256 x 256 at 24 bits, but for the planet map, twice as
// wide, and the 8-bit font sheet. What wraps around a quadric or is tiled
// repeats across its edges.
inline const std::vector<TextureExpectation>& ExpectedTextures()
{
    static const std::vector<TextureExpectation> kTextures = [] {
        const std::vector<int> wrapsAround = {kSlotWater1, kSlotWater2, kSlotPoolSide, kSlotFirePole,
                                              kSlotTornado, kSlotPlanet};
        const std::vector<int> wrapsUpDown = {kSlotWater1, kSlotWater2};
        auto among = [](const std::vector<int>& slots, int slot) {
            return std::find(slots.begin(), slots.end(), slot) != slots.end();
        };
        std::vector<TextureExpectation> textures;
        for (int slot = 0; slot < kTextureCount; ++slot)
            textures.push_back({kTextureFiles[slot], slot == kSlotPlanet ? 512 : 256, 256,
                                slot == kSlotFontMap ? 8 : 24, among(wrapsAround, slot), among(wrapsUpDown, slot)});
        return textures;
    }();
    return kTextures;
}
