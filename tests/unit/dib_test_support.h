// dib_test_support.h — BMP files built in memory for the bitmap reader's
// tests, a fresh temporary folder per test, and what a user would see of a
// call: the image (width, height, RGB bytes) or the one message box.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <unistd.h>

#include "image/dib_reader.h"
#include "platform/headless/headless.h"

using Bytes = std::vector<uint8_t>;

// A colour-table entry; written blue, green, red (and a 0 for the 40-byte form).
struct DibColor {
    uint8_t red, green, blue;
};

// Everything a test may want to set in a BMP file, true or lying.
struct DibRecipe {
    bool fileHeader = true;
    uint32_t headerSize = 40;             // 12, 40, or another size (a 40-byte header, zero-padded up to 124)
    int32_t width = 1;                    // written as unsigned 16 bits in the core form
    int32_t height = 1;
    uint16_t planes = 1;
    uint16_t bitCount = 24;
    uint32_t compression = 0;
    uint32_t colorsUsed = 0;
    std::vector<uint32_t> masks;          // after a 40-byte header; at bytes 40 on in a 108- or 124-byte one
    std::vector<std::pair<uint32_t, uint32_t>> laterFields;  // (offset, value): 32-bit fields of a later form
    std::vector<DibColor> palette;
    size_t gap = 0;                       // filler bytes between the colour table and the pixels
    std::optional<uint32_t> pixelOffset;  // the file header's offset; otherwise the true one
    Bytes pixelData;                      // the pixel data, stored as given
};

inline void PutLe(Bytes* out, uint64_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out->push_back(static_cast<uint8_t>(value >> (8 * i)));
}

inline Bytes BuildDib(const DibRecipe& recipe)
{
    Bytes header;
    PutLe(&header, recipe.headerSize, 4);
    if (recipe.headerSize == 12) {
        PutLe(&header, static_cast<uint16_t>(recipe.width), 2);
        PutLe(&header, static_cast<uint16_t>(recipe.height), 2);
        PutLe(&header, recipe.planes, 2);
        PutLe(&header, recipe.bitCount, 2);
    } else {
        PutLe(&header, static_cast<uint32_t>(recipe.width), 4);
        PutLe(&header, static_cast<uint32_t>(recipe.height), 4);
        PutLe(&header, recipe.planes, 2);
        PutLe(&header, recipe.bitCount, 2);
        PutLe(&header, recipe.compression, 4);
        PutLe(&header, recipe.pixelData.size(), 4);  // image size
        PutLe(&header, 2835, 4);                   // 72 dpi, both ways
        PutLe(&header, 2835, 4);
        PutLe(&header, recipe.colorsUsed, 4);
        PutLe(&header, 0, 4);                      // important colours
        // The later forms (56, 108, 124 bytes) get their full length of zeros.
        if (recipe.headerSize > 40 && recipe.headerSize <= 124)
            header.resize(recipe.headerSize, 0);
    }
    Bytes masks;
    for (uint32_t mask : recipe.masks)
        PutLe(&masks, mask, 4);
    if (recipe.headerSize == 108 || recipe.headerSize == 124)
        std::copy(masks.begin(), masks.end(), header.begin() + 40);
    else
        header.insert(header.end(), masks.begin(), masks.end());
    for (auto [offset, value] : recipe.laterFields)
        for (int i = 0; i < 4; ++i)
            header.at(offset + i) = static_cast<uint8_t>(value >> (8 * i));
    for (const DibColor& color : recipe.palette) {
        header.push_back(color.blue);
        header.push_back(color.green);
        header.push_back(color.red);
        if (recipe.headerSize != 12)
            header.push_back(0);
    }
    header.insert(header.end(), recipe.gap, 0xA5);

    Bytes file;
    if (recipe.fileHeader) {
        uint32_t offset = recipe.pixelOffset.value_or(static_cast<uint32_t>(14 + header.size()));
        file = {'B', 'M'};
        PutLe(&file, 14 + header.size() + recipe.pixelData.size(), 4);
        PutLe(&file, 0, 4);  // two reserved fields
        PutLe(&file, offset, 4);
    }
    file.insert(file.end(), header.begin(), header.end());
    file.insert(file.end(), recipe.pixelData.begin(), recipe.pixelData.end());
    return file;
}

// Stored rows, each padded to 4 bytes. values holds one number per pixel in
// storage order: an index for 1, 4 and 8 bits, the 16- or 32-bit word, or
// 0xRRGGBB for 24 bits (stored blue, green, red).
inline Bytes PackRows(const std::vector<uint32_t>& values, int width, int rows, int bitCount)
{
    Bytes out;
    for (int y = 0; y < rows; ++y) {
        Bytes row;
        uint32_t bits = 0, bitsHeld = 0;
        for (int x = 0; x < width; ++x) {
            uint32_t value = values[static_cast<size_t>(y) * width + x];
            if (bitCount < 8) {
                bits = bits << bitCount | value;
                bitsHeld += bitCount;
                if (bitsHeld == 8) {
                    row.push_back(static_cast<uint8_t>(bits));
                    bits = bitsHeld = 0;
                }
            } else if (bitCount == 24) {
                PutLe(&row, value & 0xFF, 1);
                PutLe(&row, value >> 8 & 0xFF, 1);
                PutLe(&row, value >> 16 & 0xFF, 1);
            } else {
                PutLe(&row, value, bitCount / 8);
            }
        }
        if (bitsHeld > 0)
            row.push_back(static_cast<uint8_t>(bits << (8 - bitsHeld)));
        while (row.size() % 4 != 0)
            row.push_back(0);
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

// Expected pixel bytes from 0xRRGGBB colours, in block order.
inline Bytes RgbBytes(const std::vector<uint32_t>& colors)
{
    Bytes out;
    for (uint32_t color : colors) {
        out.push_back(static_cast<uint8_t>(color >> 16));
        out.push_back(static_cast<uint8_t>(color >> 8));
        out.push_back(static_cast<uint8_t>(color));
    }
    return out;
}

inline std::vector<DibColor> GreyRamp(int count)
{
    std::vector<DibColor> palette;
    for (int i = 0; i < count; ++i)
        palette.push_back(DibColor{static_cast<uint8_t>(i), static_cast<uint8_t>(255 - i), static_cast<uint8_t>(i * 7)});
    return palette;
}

inline uint32_t Packed(const DibColor& color)
{
    return static_cast<uint32_t>(color.red) << 16 | color.green << 8 | color.blue;
}

struct RgbImageDeleter {
    void operator()(RgbImage* image) const { FreeRgbImage(image); }
};
using ImagePtr = std::unique_ptr<RgbImage, RgbImageDeleter>;

inline Bytes PixelBytes(const RgbImage& image)
{
    return Bytes(image.pixels, image.pixels + 3 * static_cast<size_t>(image.width) * image.height);
}

// Open descriptors of this process: none may be left behind by the reader.
inline size_t OpenDescriptorCount()
{
    size_t count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator("/proc/self/fd"))
        ++count;
    return count;
}

// Lines of /proc/self/maps that name the path: mappings left behind.
inline int MappingCount(const std::string& path)
{
    std::ifstream maps("/proc/self/maps");
    int count = 0;
    for (std::string line; std::getline(maps, line);)
        if (line.find(path) != std::string::npos)
            ++count;
    return count;
}

// A fresh headless platform and an empty temporary folder for every test.
class DibTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        HeadlessReset();
        static int serial = 0;
        folder_ = std::filesystem::temp_directory_path() /
                  ("marivelt-dib-" + std::to_string(getpid()) + "-" + std::to_string(++serial));
        std::filesystem::create_directories(folder_);
    }
    void TearDown() override
    {
        std::filesystem::remove_all(folder_);
        HeadlessReset();
    }

    std::string WriteFile(const Bytes& bytes, const std::string& name = "image.bmp")
    {
        std::string path = (folder_ / name).string();
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return path;
    }

    // Writes the bytes to a file and reads it back as the program would.
    ImagePtr Read(const Bytes& bytes)
    {
        return ImagePtr(ReadDibFile(WriteFile(bytes).c_str()));
    }

    std::filesystem::path folder_;
};

// The user saw exactly one "Error" box, without icon, with this text, owned
// by the window with the focus (none unless the test gave one the focus).
#define EXPECT_ONE_DIB_BOX(expectedText)                                  \
    do {                                                                  \
        const auto& boxes_ = HeadlessBoxes();                             \
        ASSERT_EQ(boxes_.size(), 1u);                                     \
        EXPECT_EQ(boxes_[0].text, expectedText);                          \
        EXPECT_EQ(boxes_[0].caption, "Error");                            \
        EXPECT_EQ(boxes_[0].icon, MessageBoxIcon::None);                  \
        EXPECT_EQ(boxes_[0].owner, PlatformGetFocus());                   \
    } while (false)

constexpr const char* kOutOfMemory = "Out of memory.";
constexpr const char* kUnknownFormat = "Unknown DIB file format.";
constexpr const char* kConversionError = "Image file conversion error.";
