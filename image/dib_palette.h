// dib_palette.h — the colour table as both converters (dib_convert.cpp for
// rows, dib_rle.cpp for runs) look colours up in it, and the store of one
// RGB pixel into the block.
#pragma once

#include <cstdint>
#include <cstring>

#include "image/dib_format.h"

// A colour as it is written: red in the low byte, then green, then blue.
using PackedRgb = uint32_t;

// Entries past the colour table, which an index may still name, are black.
struct Palette {
    PackedRgb colors[256];
};

inline void PutRgb(unsigned char* dst, PackedRgb color)
{
    dst[0] = static_cast<unsigned char>(color);
    dst[1] = static_cast<unsigned char>(color >> 8);
    dst[2] = static_cast<unsigned char>(color >> 16);
}

inline void BuildPalette(const DibLayout& layout, const unsigned char* file, Palette* palette)
{
    std::memset(palette, 0, sizeof *palette);
    const unsigned char* entry = file + layout.colorTableOffset;
    for (uint32_t i = 0; i < layout.usableColors; ++i, entry += layout.colorEntrySize)
        palette->colors[i] = entry[2] | entry[1] << 8 | entry[0] << 16;
}
