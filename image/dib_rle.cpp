// dib_rle.cpp — decodes RLE8 and RLE4 pixel data into the packed RGB block,
// bottom row first. Run-length data is as long as its runs say, not as the
// header says, so unlike the row converters it is checked against the file's
// end command by command.
#include <algorithm>
#include <cstring>

#include "image/dib_format.h"
#include "image/dib_palette.h"

namespace {

// RLE8 and RLE4 in two-byte commands: a count and a colour pair for an
// encoded run, or 0 and an escape: 0 end of line, 1 end of bitmap, 2 a delta
// (two more bytes: right, up), 3…255 a literal run padded to an even length.
//
// Pixels that the data never writes (skipped by a delta or an early end of
// line or bitmap) are black, as a zero-filled bitmap would leave them, not
// colour entry 0. The output position only moves forward (rows bottom up,
// pixels left to right), so each gap is filled with black once as the
// position passes it, and the block is still written once.
// Pixels beyond the row's width are dropped; the data ends at end of bitmap
// or when a line end or delta leaves the top row. Data that runs out before
// that is a conversion error.
struct RleWriter {
    unsigned char* pixels;
    size_t outStride;   // 3 x width
    size_t filled;      // bytes of the block written so far
    uint32_t width;
    uint32_t rows;
    uint64_t x;         // may run past the width: those pixels are dropped
    uint32_t y;
};

void FillBlackUpTo(RleWriter* writer, size_t end)
{
    std::memset(writer->pixels + writer->filled, 0, end - writer->filled);
    writer->filled = end;
}

// Writes up to `count` pixels from the current position; color(i) gives the i-th.
template <typename ColorOf>
void PutRun(RleWriter* writer, uint32_t count, ColorOf color)
{
    if (writer->x < writer->width) {
        uint32_t visible = static_cast<uint32_t>(std::min<uint64_t>(count, writer->width - writer->x));
        size_t at = writer->y * writer->outStride + 3 * writer->x;
        FillBlackUpTo(writer, at);
        for (uint32_t i = 0; i < visible; ++i)
            PutRgb(writer->pixels + at + 3 * i, color(i));
        writer->filled = at + 3 * size_t{visible};
    }
    writer->x += count;
}

}  // namespace

DibRefusal DecodeDibRuns(const DibLayout& layout, const unsigned char* file, size_t size, unsigned char* pixels)
{
    Palette palette;
    BuildPalette(layout, file, &palette);
    const bool nibbles = layout.compression == kDibCompressionRle4;
    RleWriter writer{pixels, 3 * size_t{layout.width}, 0, layout.width, layout.rows, 0, 0};
    const size_t total = writer.outStride * layout.rows;

    size_t at = layout.pixelOffset;
    bool ended = false;
    while (!ended) {
        if (size - at < 2)
            return DibRefusal::RunsCut;
        const unsigned count = file[at], value = file[at + 1];
        at += 2;
        if (count > 0) {
            // Encoded run: one index, or for RLE4 two alternating indices.
            PutRun(&writer, count, [&](uint32_t i) {
                return palette.colors[nibbles ? (i % 2 == 0 ? value >> 4 : value & 0xF) : value];
            });
        } else if (value == 0) {
            writer.x = 0;
            ended = ++writer.y >= writer.rows;
        } else if (value == 1) {
            ended = true;
        } else if (value == 2) {
            if (size - at < 2)
                return DibRefusal::RunsCut;
            writer.x += file[at];
            writer.y += file[at + 1];
            at += 2;
            ended = writer.y >= writer.rows;
        } else {
            // Literal run of `value` indices, padded to a 16-bit boundary.
            size_t bytes = nibbles ? (value + 1) / 2 : value;
            bytes += bytes % 2;
            if (size - at < bytes)
                return DibRefusal::RunsCut;
            const unsigned char* data = file + at;
            PutRun(&writer, value, [&](uint32_t i) {
                return palette.colors[nibbles ? (i % 2 == 0 ? data[i / 2] >> 4 : data[i / 2] & 0xF) : data[i]];
            });
            at += bytes;
        }
    }
    FillBlackUpTo(&writer, total);
    return DibRefusal::None;
}
