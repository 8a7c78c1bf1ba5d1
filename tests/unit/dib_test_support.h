// dib_test_support.h — for the bitmap reader's tests: BMP files built in
// memory (tools/common/dib_builder.h), a fresh temporary folder per test,
// and what a user would see of a call: the image (width, height, RGB bytes)
// or the one message box.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include <unistd.h>

#include "image/dib_format.h"
#include "platform/headless/headless.h"
#include "tools/common/dib_builder.h"

using Bytes = std::vector<uint8_t>;

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
