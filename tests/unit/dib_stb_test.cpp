// dib_stb_test.cpp — the reader against stb_image on a generated corpus of
// every layout both accept: the same pixels (stb gives the top row first).
// Run-length data is not compared: stb_image does not read it.
#include <random>

#include "image/dib_format.h"
#include "tests/unit/dib_test_support.h"

// stb_image's own BMP decoder, compiled privately into this test.
#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#define STBI_ONLY_BMP
#define STBI_NO_STDIO
#include <stb/stb_image.h>

namespace {

struct Format {
    const char* name;
    uint32_t headerSize;
    uint16_t bitCount;
    uint32_t compression;
    std::vector<uint32_t> masks;
    uint32_t colorsUsed;     // 0: the full table
};

std::vector<Format> Formats()
{
    return {
        {"core 1", 12, 1, 0, {}, 0},
        {"core 4", 12, 4, 0, {}, 0},
        {"core 8", 12, 8, 0, {}, 0},
        {"core 24", 12, 24, 0, {}, 0},
        {"info 1", 40, 1, 0, {}, 0},
        {"info 4", 40, 4, 0, {}, 0},
        {"info 8", 40, 8, 0, {}, 0},
        {"info 8 of 5 colours", 40, 8, 0, {}, 5},
        {"info 4 of 3 colours", 40, 4, 0, {}, 3},
        {"info 16", 40, 16, 0, {}, 0},
        {"info 24", 40, 24, 0, {}, 0},
        {"info 32", 40, 32, 0, {}, 0},
        {"bitfields 16 565", 40, 16, 3, {0xF800, 0x07E0, 0x001F}, 0},
        {"bitfields 16 444", 40, 16, 3, {0x0F00, 0x00F0, 0x000F}, 0},
        {"bitfields 16 bgr 565", 40, 16, 3, {0x001F, 0x07E0, 0xF800}, 0},
        {"bitfields 32 rgbx", 40, 32, 3, {0x000000FF, 0x0000FF00, 0x00FF0000}, 0},
        {"bitfields 32 xrgb", 40, 32, 3, {0xFF000000, 0x00FF0000, 0x0000FF00}, 0},
        {"bitfields 32 7-6-3", 40, 32, 3, {0x7F000000, 0x003F0000, 0x00000700}, 0},
    };
}

DibRecipe CorpusFile(const Format& format, int width, int height, bool topDown, std::mt19937* random)
{
    DibRecipe recipe;
    recipe.headerSize = format.headerSize;
    recipe.bitCount = format.bitCount;
    recipe.compression = format.compression;
    recipe.masks = format.masks;
    recipe.colorsUsed = format.colorsUsed;
    recipe.width = width;
    recipe.height = topDown ? -height : height;
    uint32_t limit = format.bitCount >= 24 ? 0xFFFFFFFFu : (1u << format.bitCount) - 1;
    if (format.bitCount <= 8) {
        int entries = format.colorsUsed != 0 ? static_cast<int>(format.colorsUsed) : 1 << format.bitCount;
        for (int i = 0; i < entries; ++i)
            recipe.palette.push_back({static_cast<uint8_t>((*random)()), static_cast<uint8_t>((*random)()),
                                    static_cast<uint8_t>((*random)())});
        limit = static_cast<uint32_t>(entries - 1);
        // stb sizes a core-form table 4 entries short; 12 filler bytes make up for it.
        if (format.headerSize == 12)
            recipe.gap = 12;
    }
    std::vector<uint32_t> values(static_cast<size_t>(width) * height);
    std::uniform_int_distribution<uint32_t> pick(0, limit);
    for (uint32_t& value : values)
        value = pick(*random);
    recipe.pixelData = PackRows(values, width, height, format.bitCount);
    return recipe;
}

// stb's result with its rows put bottom row first, or empty when it refuses.
Bytes DecodeWithStb(const Bytes& file, int* width, int* height)
{
    int channels = 0;
    stbi_uc* pixels = stbi_load_from_memory(file.data(), static_cast<int>(file.size()), width, height, &channels, 3);
    if (pixels == nullptr)
        return {};
    const size_t rowBytes = 3 * static_cast<size_t>(*width);
    Bytes bottomFirst;
    for (int row = *height - 1; row >= 0; --row)
        bottomFirst.insert(bottomFirst.end(), pixels + row * rowBytes, pixels + (row + 1) * rowBytes);
    stbi_image_free(pixels);
    return bottomFirst;
}

}  // namespace

using DibVersusStb = DibTest;

TEST_F(DibVersusStb, SamePixelsForEveryLayoutBothAccept)
{
    std::mt19937 random(20240611);
    int compared = 0;
    for (const Format& format : Formats()) {
        for (int width : {1, 2, 3, 4, 5, 6, 7, 8, 9, 13, 16, 31, 33, 64}) {
            for (int height : {1, 2, 5}) {
                for (bool topDown : {false, true}) {
                    if (topDown && format.headerSize == 12)
                        continue;  // the core form has no sign
                    SCOPED_TRACE(testing::Message() << format.name << ", " << width << " x " << height
                                                    << (topDown ? " top-down" : ""));
                    HeadlessReset();
                    Bytes file = BuildDib(CorpusFile(format, width, height, topDown, &random));
                    int stbWidth = 0, stbHeight = 0;
                    Bytes expected = DecodeWithStb(file, &stbWidth, &stbHeight);
                    ASSERT_FALSE(expected.empty()) << stbi_failure_reason();

                    // From memory: the files themselves are the other tests' business.
                    ImagePtr image(DecodeDib(file.data(), file.size()));

                    ASSERT_NE(image, nullptr);
                    EXPECT_EQ(image->width, stbWidth);
                    EXPECT_EQ(image->height, stbHeight);
                    EXPECT_EQ(PixelBytes(*image), expected);
                    ++compared;
                }
            }
        }
    }
    EXPECT_EQ(compared, 4 * 14 * 3 + 14 * 14 * 3 * 2);
}
