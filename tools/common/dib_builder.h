// dib_builder.h — BMP files built in memory from a recipe: the data
// generator's writer, the bitmap benchmark and the tests all make their files
// here. A recipe may also lie (a wrong offset, a header size the reader does
// not know, filler where none belongs), which the reader's tests need.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <utility>
#include <vector>

// A colour-table entry; written blue, green, red (and a 0 for the 40-byte form).
struct DibColor {
    uint8_t red, green, blue;
};

// Everything one may want to set in a BMP file, true or lying.
struct DibRecipe {
    bool fileHeader = true;
    uint32_t headerSize = 40;             // 12, 40, or another size (a 40-byte header, zero-padded up to 124)
    int32_t width = 1;                    // written as unsigned 16 bits in the core form
    int32_t height = 1;
    uint16_t planes = 1;
    uint16_t bitCount = 24;
    uint32_t compression = 0;
    uint32_t colorsUsed = 0;
    std::vector<uint32_t> masks;          // after a 40-byte header; at bytes 40 on in a later form (52 to 124)
    std::vector<std::pair<uint32_t, uint32_t>> laterFields;  // (offset, value): 32-bit fields of a later form
    std::vector<DibColor> palette;
    size_t gap = 0;                       // filler bytes between the colour table and the pixels
    std::optional<uint32_t> pixelOffset;  // the file header's offset; otherwise the true one
    std::vector<uint8_t> pixelData;       // the pixel data, stored as given
};

inline void PutLe(std::vector<uint8_t>* out, uint64_t value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out->push_back(static_cast<uint8_t>(value >> (8 * i)));
}

inline std::vector<uint8_t> BuildDib(const DibRecipe& recipe)
{
    constexpr uint32_t kPixelsPerMetre = 2835;  // 72 dots per inch

    std::vector<uint8_t> header;
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
        PutLe(&header, kPixelsPerMetre, 4);
        PutLe(&header, kPixelsPerMetre, 4);
        PutLe(&header, recipe.colorsUsed, 4);
        PutLe(&header, 0, 4);                      // important colours
        // The later forms (52, 56, 108, 124 bytes) get their full length of zeros.
        if (recipe.headerSize > 40 && recipe.headerSize <= 124)
            header.resize(recipe.headerSize, 0);
    }
    std::vector<uint8_t> masks;
    for (uint32_t mask : recipe.masks)
        PutLe(&masks, mask, 4);
    if (recipe.headerSize >= 52 && recipe.headerSize <= 124)
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

    std::vector<uint8_t> file;
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
inline std::vector<uint8_t> PackRows(const std::vector<uint32_t>& values, int width, int rows, int bitCount)
{
    std::vector<uint8_t> out;
    for (int y = 0; y < rows; ++y) {
        std::vector<uint8_t> row;
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
