// bmp_writer.cpp — BMP files: the 14-byte file header, the 40-byte information
// header, a grey palette for one-channel pictures, and rows stored bottom
// first, each padded to a multiple of 4 bytes.
#include "assetgen.h"

namespace {

constexpr uint32_t kFileHeaderSize = 14;
constexpr uint32_t kInfoHeaderSize = 40;
constexpr uint32_t kGreyPaletteEntries = 256;
constexpr int32_t kPixelsPerMetre = 2835;  // 72 dots per inch
constexpr int kLargestSide = 1 << 14;

}  // namespace

bool EncodeBmp(const Picture& picture, std::vector<uint8_t>* file)
{
    file->clear();
    if (picture.width <= 0 || picture.height <= 0 || picture.width > kLargestSide || picture.height > kLargestSide)
        return false;
    if (picture.channels != 1 && picture.channels != 3)
        return false;
    uint32_t width = static_cast<uint32_t>(picture.width);
    uint32_t height = static_cast<uint32_t>(picture.height);
    uint32_t channels = static_cast<uint32_t>(picture.channels);
    if (picture.pixels.size() != static_cast<size_t>(width) * height * channels)
        return false;

    uint32_t paletteBytes = channels == 1 ? kGreyPaletteEntries * 4 : 0;
    uint32_t rowBytes = width * channels;
    uint32_t storedRowBytes = (rowBytes + 3u) & ~3u;
    uint32_t imageBytes = storedRowBytes * height;
    uint32_t pixelOffset = kFileHeaderSize + kInfoHeaderSize + paletteBytes;
    file->reserve(pixelOffset + imageBytes);

    file->push_back('B');
    file->push_back('M');
    AppendU32(file, pixelOffset + imageBytes);
    AppendU32(file, 0);  // two reserved 16-bit fields
    AppendU32(file, pixelOffset);

    AppendU32(file, kInfoHeaderSize);
    AppendU32(file, width);
    AppendU32(file, height);  // positive: bottom row first
    AppendU16(file, 1);       // planes
    AppendU16(file, channels * 8);
    AppendU32(file, 0);       // no compression
    AppendU32(file, imageBytes);
    AppendU32(file, static_cast<uint32_t>(kPixelsPerMetre));
    AppendU32(file, static_cast<uint32_t>(kPixelsPerMetre));
    AppendU32(file, channels == 1 ? kGreyPaletteEntries : 0);
    AppendU32(file, 0);  // all colours important

    for (uint32_t i = 0; i < paletteBytes / 4; ++i) {
        uint8_t grey = static_cast<uint8_t>(i);
        file->insert(file->end(), {grey, grey, grey, 0});
    }
    for (uint32_t y = 0; y < height; ++y) {
        const uint8_t* row = picture.pixels.data() + static_cast<size_t>(y) * rowBytes;
        if (channels == 1) {
            file->insert(file->end(), row, row + rowBytes);
        } else {
            for (uint32_t x = 0; x < width; ++x)
                file->insert(file->end(), {row[3 * x + 2], row[3 * x + 1], row[3 * x]});  // stored blue, green, red
        }
        file->insert(file->end(), storedRowBytes - rowBytes, 0);
    }
    return true;
}
