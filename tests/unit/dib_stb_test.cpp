// dib_stb_test.cpp — the reader against stb_image on a generated corpus of
// every layout bar run-length data, and on the files ImageMagick writes with the
// later header forms: the same pixels (stb gives the top row first).
// stb_image does not read run-length data; ImageMagick's RLE8 files are
// compared with its uncompressed file of the same picture instead.
#include <fstream>
#include <iterator>
#include <random>

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
        {"v4 1", 108, 1, 0, {}, 0},
        {"v5 4 of 3 colours", 124, 4, 0, {}, 3},
        {"v5 8", 124, 8, 0, {}, 0},
        {"v4 16", 108, 16, 0, {}, 0},
        {"v5 24", 124, 24, 0, {}, 0},
        {"v4 32", 108, 32, 0, {}, 0},
        {"v4 bitfields 16 565", 108, 16, 3, {0xF800, 0x07E0, 0x001F}, 0},
        {"v5 bitfields 16 444", 124, 16, 3, {0x0F00, 0x00F0, 0x000F}, 0},
        {"v5 bitfields 32 xrgb", 124, 32, 3, {0xFF000000, 0x00FF0000, 0x0000FF00}, 0},
        {"52-byte bitfields 16 565", 52, 16, 3, {0xF800, 0x07E0, 0x001F}, 0},
        {"56-byte bitfields 32 argb", 56, 32, 3, {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000}, 0},
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
                    DibRecipe recipe = CorpusFile(format, width, height, topDown, &random);
                    Bytes file = BuildDib(recipe);
                    // stb refuses 52-byte headers and seeks 56-byte ones' masks after them: it gets a 108-byte twin.
                    recipe.headerSize = format.headerSize == 52 || format.headerSize == 56 ? 108 : recipe.headerSize;
                    int stbWidth = 0, stbHeight = 0;
                    Bytes expected = DecodeWithStb(BuildDib(recipe), &stbWidth, &stbHeight);
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
    EXPECT_EQ(compared, 4 * 14 * 3 + 25 * 14 * 3 * 2);
}

namespace {

// A file that ImageMagick wrote (dib_fixtures/make_fixtures.sh) and the
// layout it was found to have: header size, bits per pixel, compression.
struct MagickFile {
    const char* name;
    uint32_t headerSize;
    uint16_t bitCount;
    uint32_t compression;
    const char* twin;  // the same picture uncompressed, for stb to read (null: the file itself)
};

const MagickFile kMagickFiles[] = {
    {"v3_rgb24.bmp", 40, 24, 0, nullptr},
    {"v4_pal1.bmp", 108, 1, 0, nullptr},
    {"v4_pal4.bmp", 108, 4, 0, nullptr},
    {"v4_pal8.bmp", 108, 8, 0, nullptr},
    {"v4_rle8.bmp", 108, 8, 1, "v4_pal8.bmp"},
    {"v4_rgb565.bmp", 108, 16, 3, nullptr},
    {"v4_rgb555.bmp", 108, 16, 3, nullptr},
    {"v4_rgb24.bmp", 108, 24, 0, nullptr},
    {"v4_argb32.bmp", 108, 32, 3, nullptr},
    {"v5_pal1.bmp", 124, 1, 0, nullptr},
    {"v5_pal4.bmp", 124, 4, 0, nullptr},
    {"v5_pal8.bmp", 124, 8, 0, nullptr},
    {"v5_rle8.bmp", 124, 8, 1, "v5_pal8.bmp"},
    {"v5_rgb565.bmp", 124, 16, 3, nullptr},
    {"v5_rgb555.bmp", 124, 16, 3, nullptr},
    {"v5_rgb24.bmp", 124, 24, 0, nullptr},
    {"v5_argb32.bmp", 124, 32, 3, nullptr},
};

std::string FixturePath(const char* name)
{
    return std::string(MARIVELT_DIB_FIXTURES) + "/" + name;
}

Bytes ReadFixture(const char* name)
{
    std::ifstream in(FixturePath(name), std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

uint32_t FieldAt(const Bytes& file, size_t offset, int bytes)
{
    uint32_t value = 0;
    for (int i = 0; i < bytes; ++i)
        value |= static_cast<uint32_t>(file.at(offset + i)) << (8 * i);
    return value;
}

}  // namespace

TEST_F(DibVersusStb, ImageMagickFilesOfEveryLayoutGiveTheSamePixels)
{
    for (const MagickFile& magick : kMagickFiles) {
        SCOPED_TRACE(magick.name);
        HeadlessReset();
        Bytes file = ReadFixture(magick.name);
        ASSERT_GE(file.size(), 34u);
        EXPECT_EQ(FieldAt(file, 0, 2), 0x4D42u);  // "BM"
        EXPECT_EQ(FieldAt(file, 14, 4), magick.headerSize);
        EXPECT_EQ(FieldAt(file, 28, 2), magick.bitCount);
        EXPECT_EQ(FieldAt(file, 30, 4), magick.compression);
        int stbWidth = 0, stbHeight = 0;
        Bytes expected = DecodeWithStb(magick.twin != nullptr ? ReadFixture(magick.twin) : file, &stbWidth, &stbHeight);
        ASSERT_FALSE(expected.empty()) << stbi_failure_reason();

        ImagePtr image(ReadDibFile(FixturePath(magick.name).c_str()));

        ASSERT_NE(image, nullptr);
        EXPECT_EQ(image->width, 29);
        EXPECT_EQ(image->height, 9);
        EXPECT_EQ(stbWidth, 29);
        EXPECT_EQ(stbHeight, 9);
        EXPECT_EQ(PixelBytes(*image), expected);
        EXPECT_TRUE(HeadlessBoxes().empty());
    }
}
