// dib_header.cpp — reads the file header, the information header (the 12-
// and 40-byte forms and the later 52-, 56-, 108- and 124-byte ones), the
// colour masks and the colour table's place, and checks each against the
// file's length before anything relies on it.
#include <algorithm>

#include "image/dib_format.h"

namespace {

constexpr uint32_t kFileHeaderSize = 14;   // "BM", file size, 2 reserved, pixel offset
constexpr uint32_t kCoreHeaderSize = 12;   // BITMAPCOREHEADER
constexpr uint32_t kInfoHeaderSize = 40;   // BITMAPINFOHEADER
constexpr uint32_t kMasksHeaderSize = 52;  // the 40 bytes and the red, green, blue masks
constexpr uint32_t kAlphaHeaderSize = 56;  // those and an alpha mask: GIMP's files without colour space
constexpr uint32_t kV4HeaderSize = 108;    // BITMAPV4HEADER: the 40 bytes, masks, colour space
constexpr uint32_t kV5HeaderSize = 124;    // BITMAPV5HEADER: the 108 bytes, intent, profile
constexpr uint32_t kMaskBytes = 12;        // red, green, blue masks of a bit-field image
constexpr uint32_t kHeaderMaskOffset = 40; // where the later forms keep those masks
constexpr uint32_t kDefaultMasks16[3] = {0x7C00, 0x03E0, 0x001F};        // 5-5-5
constexpr uint32_t kDefaultMasks32[3] = {0xFF0000, 0x00FF00, 0x0000FF};  // blue, green, red, unused byte

uint16_t ReadU16(const unsigned char* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

uint32_t ReadU32(const unsigned char* p)
{
    return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 |
           static_cast<uint32_t>(p[2]) << 16 | static_cast<uint32_t>(p[3]) << 24;
}

int32_t ReadS32(const unsigned char* p) { return static_cast<int32_t>(ReadU32(p)); }

// A mask is usable when its set bits form one run (or there are none): the
// channel is then the run's value, scaled to 8 bits.
bool IsContiguousMask(uint32_t mask)
{
    if (mask == 0)
        return true;
    uint32_t run = mask >> __builtin_ctz(mask);
    return (run & (run + 1)) == 0;
}

bool IsKnownHeaderSize(uint32_t headerSize)
{
    return headerSize == kCoreHeaderSize || headerSize == kInfoHeaderSize || headerSize == kMasksHeaderSize ||
           headerSize == kAlphaHeaderSize || headerSize == kV4HeaderSize || headerSize == kV5HeaderSize;
}

bool IsSupportedFormat(uint16_t bitCount, uint32_t compression, bool topDown)
{
    switch (compression) {
    case kDibCompressionNone:
        return bitCount == 1 || bitCount == 4 || bitCount == 8 || bitCount == 16 || bitCount == 24 ||
               bitCount == 32;
    case kDibCompressionRle8:
        // Run-length data is always stored bottom row first.
        return bitCount == 8 && !topDown;
    case kDibCompressionRle4:
        return bitCount == 4 && !topDown;
    case kDibCompressionBitfields:
        return bitCount == 16 || bitCount == 32;
    default:
        return false;
    }
}

// The file header is optional; its pixel offset is used as given, and checked
// with the pixel extent like every other position.
DibRefusal ReadFileHeader(const unsigned char* file, size_t size, DibLayout* layout)
{
    if (size >= 2 && file[0] == 'B' && file[1] == 'M') {
        if (size < kFileHeaderSize)
            return DibRefusal::FileHeaderCut;
        layout->hasFileHeader = true;
        layout->pixelOffset = ReadU32(file + 10);
        layout->headerOffset = kFileHeaderSize;
    }
    return DibRefusal::None;
}

// The header's form, the image's size and its pixel format.
DibRefusal ReadInfoHeader(const unsigned char* file, size_t size, DibLayout* layout)
{
    if (size < layout->headerOffset + 4)
        return DibRefusal::HeaderCut;
    const unsigned char* header = file + layout->headerOffset;
    uint32_t headerSize = ReadU32(header);
    if (!IsKnownHeaderSize(headerSize))
        return DibRefusal::UnknownHeaderSize;
    if (size < layout->headerOffset + headerSize)
        return DibRefusal::HeaderCut;
    layout->headerSize = headerSize;

    int64_t width, height;
    if (headerSize == kCoreHeaderSize) {
        width = ReadU16(header + 4);
        height = ReadU16(header + 6);
        // planes (offset 8): ignored, the conversion has no use for them
        layout->bitCount = ReadU16(header + 10);
        layout->compression = kDibCompressionNone;
        layout->colorEntrySize = 3;
    } else {
        width = ReadS32(header + 4);
        height = ReadS32(header + 8);
        // planes (offset 12): ignored
        layout->bitCount = ReadU16(header + 14);
        layout->compression = ReadU32(header + 16);
        // Ignored: image size (20; rows follow from width and bits per pixel,
        // run-length data is bounded by the file), resolutions (24, 28),
        // important colours (36), and in the later forms the alpha mask (52,
        // from the 56-byte form on), colour space, end points and gammas (56 to
        // 107), intent and profile (108 to 119): the result is plain RGB, and a
        // profile never moves the pixel offset. JPEG and PNG data (compression
        // 4 and 5) is refused below.
        layout->colorEntrySize = 4;
    }
    layout->topDown = height < 0;
    height = height < 0 ? -height : height;

    if (width <= 0 || height == 0)
        return DibRefusal::NoPixels;
    if (width > kDibMaxDimension || height > kDibMaxDimension || 3ull * width * height > kDibMaxPixelBytes)
        return DibRefusal::TooLarge;
    layout->width = static_cast<uint32_t>(width);
    layout->rows = static_cast<uint32_t>(height);

    if (!IsSupportedFormat(layout->bitCount, layout->compression, layout->topDown))
        return DibRefusal::UnreadFormat;
    return DibRefusal::None;
}

// Bit-field masks follow the 40-byte header, and the colour table follows
// them; the later forms keep the masks inside the header.
DibRefusal ReadMasks(const unsigned char* file, size_t size, DibLayout* layout)
{
    layout->colorTableOffset = layout->headerOffset + layout->headerSize;
    if (layout->bitCount == 16 || layout->bitCount == 32)
        std::copy_n(layout->bitCount == 16 ? kDefaultMasks16 : kDefaultMasks32, 3, layout->masks);
    if (layout->compression != kDibCompressionBitfields)
        return DibRefusal::None;
    const uint64_t maskStart = layout->headerOffset + kHeaderMaskOffset;
    if (layout->headerSize == kInfoHeaderSize)
        layout->colorTableOffset += kMaskBytes;
    if (size < maskStart + kMaskBytes)
        return DibRefusal::MasksCut;
    for (int channel = 0; channel < 3; ++channel) {
        layout->masks[channel] = ReadU32(file + maskStart + 4 * channel);
        if (!IsContiguousMask(layout->masks[channel]))
            return DibRefusal::MaskWithGap;
    }
    return DibRefusal::None;
}

// Only the entries an index can reach are read; they must all be there.
DibRefusal ReadColorTable(const unsigned char* file, size_t size, DibLayout* layout)
{
    layout->colorCount = DibColorCount(file + layout->headerOffset);
    if (!layout->hasFileHeader)
        layout->pixelOffset = layout->colorTableOffset + uint64_t{layout->colorEntrySize} * layout->colorCount;
    if (layout->bitCount > 8)
        return DibRefusal::None;
    layout->usableColors = std::min<uint32_t>(layout->colorCount, 1u << layout->bitCount);
    bool inside = size >= layout->colorTableOffset + uint64_t{layout->colorEntrySize} * layout->usableColors;
    return inside ? DibRefusal::None : DibRefusal::ColorTableCut;
}

// Run-length data is checked run by run as it is read: it must at least start
// inside. The last row of other data may lack its fill bytes: they are never read.
DibRefusal CheckPixelExtent(const unsigned char*, size_t size, DibLayout* layout)
{
    uint64_t rowBits = static_cast<uint64_t>(layout->bitCount) * layout->width;
    layout->rowStride = (rowBits + 31) / 32 * 4;
    if (layout->compression == kDibCompressionRle8 || layout->compression == kDibCompressionRle4)
        return layout->pixelOffset < size ? DibRefusal::None : DibRefusal::PixelDataCut;
    uint64_t pixelBytes = layout->rowStride * (layout->rows - 1) + (rowBits + 7) / 8;
    bool inside = layout->pixelOffset <= size && size - layout->pixelOffset >= pixelBytes;
    return inside ? DibRefusal::None : DibRefusal::PixelDataCut;
}

}  // namespace

uint16_t DibColorCount(const unsigned char* header)
{
    uint16_t bitCount;
    if (ReadU32(header) == kCoreHeaderSize) {
        bitCount = ReadU16(header + 10);
    } else {
        uint32_t colorsUsed = ReadU32(header + 32);
        if (colorsUsed != 0)
            return static_cast<uint16_t>(colorsUsed & 0xFFFF);
        bitCount = ReadU16(header + 14);
    }
    switch (bitCount) {
    case 1: return 2;
    case 4: return 16;
    case 8: return 256;
    default: return 0;
    }
}

DibRefusal ParseDibLayout(const unsigned char* file, size_t size, DibLayout* layout)
{
    *layout = DibLayout{};
    DibRefusal refusal = DibRefusal::None;
    for (auto step : {ReadFileHeader, ReadInfoHeader, ReadMasks, ReadColorTable, CheckPixelExtent})
        if (refusal == DibRefusal::None)
            refusal = step(file, size, layout);
    return refusal;
}
