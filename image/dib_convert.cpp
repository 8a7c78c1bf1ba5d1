// dib_convert.cpp — turns a BMP file's uncompressed pixel data into packed
// RGB rows, bottom row first, in one pass over the output block; run-length
// data goes to dib_rle.cpp.
//
// ParseDibLayout has already checked that every uncompressed row and every
// reachable colour entry lies inside the file, so the row loops below do no
// per-pixel bounds checks.
#include <bit>
#include <cstring>

#include "image/dib_format.h"
#include "image/dib_palette.h"

// On x86 the two hot rows (24 bits, 8 bits) have a byte-shuffle path, chosen
// at run time; every other machine takes the portable loops.
#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define MARIVELT_DIB_X86 1
#endif

static_assert(std::endian::native == std::endian::little,
              "the packed stores below write little-endian words");

namespace {

// One channel of a 16- or 32-bit pixel: its mask's run of bits, scaled to 8
// bits by repeating the run ((v << 3) | (v >> 2) for 5 bits); runs longer
// than 8 bits keep their top 8.
struct ChannelScale {
    int shift;               // position of the run's lowest bit
    int drop;                // low bits of a long run that are discarded
    unsigned char value[256];
};

void BuildChannelScale(uint32_t mask, ChannelScale* scale)
{
    std::memset(scale, 0, sizeof *scale);
    if (mask == 0)
        return;  // the channel is always 0
    int bits = std::popcount(mask);
    int kept = bits > 8 ? 8 : bits;
    scale->shift = std::countr_zero(mask);
    scale->drop = bits - kept;
    for (uint32_t v = 0; v < (1u << kept); ++v) {
        uint32_t wide = 0;
        for (int at = 8 - kept; at > -kept; at -= kept)
            wide |= at >= 0 ? v << at : v >> -at;
        scale->value[v] = static_cast<unsigned char>(wide);
    }
}

unsigned char ScaleChannel(const ChannelScale& scale, uint32_t mask, uint32_t pixel)
{
    return scale.value[((pixel & mask) >> scale.shift) >> scale.drop];
}

// ---- row converters: one stored row of `width` pixels into 3 x width bytes --

// 24 bits: blue, green, red becomes red, green, blue. Four pixels at a time
// as three 32-bit words, so no byte goes through memory twice.
void SwapRedBluePortable(const unsigned char* src, unsigned char* dst, size_t bytes)
{
    size_t i = 0;
    for (; i + 12 <= bytes; i += 12) {
        uint32_t w0, w1, w2;  // B0 G0 R0 B1 | G1 R1 B2 G2 | R2 B3 G3 R3
        std::memcpy(&w0, src + i, 4);
        std::memcpy(&w1, src + i + 4, 4);
        std::memcpy(&w2, src + i + 8, 4);
        uint32_t o0 = (w0 >> 16 & 0xFF) | (w0 & 0xFF00) | (w0 & 0xFF) << 16 | (w1 & 0xFF00) << 16;
        uint32_t o1 = (w1 & 0xFF) | (w0 >> 16 & 0xFF00) | (w2 & 0xFF) << 16 | (w1 & 0xFF000000);
        uint32_t o2 = (w1 >> 16 & 0xFF) | (w2 >> 16 & 0xFF00) | (w2 & 0xFF0000) | (w2 & 0xFF00) << 16;
        std::memcpy(dst + i, &o0, 4);
        std::memcpy(dst + i + 4, &o1, 4);
        std::memcpy(dst + i + 8, &o2, 4);
    }
    for (; i < bytes; i += 3) {
        dst[i] = src[i + 2];
        dst[i + 1] = src[i + 1];
        dst[i + 2] = src[i];
    }
}

#if MARIVELT_DIB_X86
// Five pixels per 16-byte shuffle; the 16th byte is rewritten by the next step
// or by the portable tail, so loads and stores stay inside the row.
__attribute__((target("ssse3"))) void SwapRedBlueSsse3(const unsigned char* src, unsigned char* dst, size_t bytes)
{
    const __m128i order = _mm_setr_epi8(2, 1, 0, 5, 4, 3, 8, 7, 6, 11, 10, 9, 14, 13, 12, 15);
    size_t i = 0;
    for (; i + 16 <= bytes; i += 15) {
        __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(src + i));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + i), _mm_shuffle_epi8(v, order));
    }
    SwapRedBluePortable(src + i, dst + i, bytes - i);
}
#endif

void ConvertRow24(const unsigned char* src, unsigned char* dst, uint32_t width)
{
#if MARIVELT_DIB_X86
    if (__builtin_cpu_supports("ssse3")) {
        SwapRedBlueSsse3(src, dst, 3 * size_t{width});
        return;
    }
#endif
    SwapRedBluePortable(src, dst, 3 * size_t{width});
}

// 8 bits: eight palette look-ups packed into three 64-bit stores.
void ConvertRow8Portable(const unsigned char* src, unsigned char* dst, uint32_t width, const Palette& palette)
{
    const PackedRgb* colors = palette.colors;
    uint32_t x = 0;
    for (; x + 8 <= width; x += 8, src += 8, dst += 24) {
        uint64_t c0 = colors[src[0]], c1 = colors[src[1]], c2 = colors[src[2]], c3 = colors[src[3]];
        uint64_t c4 = colors[src[4]], c5 = colors[src[5]], c6 = colors[src[6]], c7 = colors[src[7]];
        uint64_t q0 = c0 | c1 << 24 | c2 << 48;
        uint64_t q1 = c2 >> 16 | c3 << 8 | c4 << 32 | c5 << 56;
        uint64_t q2 = c5 >> 8 | c6 << 16 | c7 << 40;
        std::memcpy(dst, &q0, 8);
        std::memcpy(dst + 8, &q1, 8);
        std::memcpy(dst + 16, &q2, 8);
    }
    for (; x < width; ++x, dst += 3)
        PutRgb(dst, colors[*src++]);
}

#if MARIVELT_DIB_X86
// Four look-ups gathered into one register and packed from 16 bytes to 12.
// Each 16-byte store's last 4 bytes are rewritten by the next store, so the
// loop stops while 4 spare bytes remain in the row; the portable loop ends it.
__attribute__((target("sse4.1"))) void ConvertRow8Sse41(const unsigned char* src, unsigned char* dst, uint32_t width,
                                                        const Palette& palette)
{
    const PackedRgb* colors = palette.colors;
    const __m128i pack = _mm_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1);
    uint32_t x = 0;
    for (; x + 10 <= width; x += 8, src += 8, dst += 24) {
        __m128i low = _mm_cvtsi32_si128(static_cast<int>(colors[src[0]]));
        __m128i high = _mm_cvtsi32_si128(static_cast<int>(colors[src[4]]));
        low = _mm_insert_epi32(low, static_cast<int>(colors[src[1]]), 1);
        high = _mm_insert_epi32(high, static_cast<int>(colors[src[5]]), 1);
        low = _mm_insert_epi32(low, static_cast<int>(colors[src[2]]), 2);
        high = _mm_insert_epi32(high, static_cast<int>(colors[src[6]]), 2);
        low = _mm_insert_epi32(low, static_cast<int>(colors[src[3]]), 3);
        high = _mm_insert_epi32(high, static_cast<int>(colors[src[7]]), 3);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst), _mm_shuffle_epi8(low, pack));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst + 12), _mm_shuffle_epi8(high, pack));
    }
    ConvertRow8Portable(src, dst, width - x, palette);
}
#endif

void ConvertRow8(const unsigned char* src, unsigned char* dst, uint32_t width, const Palette& palette)
{
#if MARIVELT_DIB_X86
    if (__builtin_cpu_supports("sse4.1")) {
        ConvertRow8Sse41(src, dst, width, palette);
        return;
    }
#endif
    ConvertRow8Portable(src, dst, width, palette);
}

// 1 and 4 bits: the leftmost pixel is in the byte's high bits.
void ConvertRowPacked(const unsigned char* src, unsigned char* dst, uint32_t width, uint16_t bitCount,
                      const Palette& palette)
{
    const unsigned indexMask = (1u << bitCount) - 1;
    for (uint32_t x = 0; x < width; ++x, dst += 3) {
        const uint32_t bit = x * bitCount;
        const unsigned shift = 8 - bitCount - (bit & 7);
        PutRgb(dst, palette.colors[src[bit >> 3] >> shift & indexMask]);
    }
}

void ConvertRowMasked(const unsigned char* src, unsigned char* dst, uint32_t width, const DibLayout& layout,
                      const ChannelScale* scales)
{
    const unsigned bytesPerPixel = layout.bitCount / 8;
    for (uint32_t x = 0; x < width; ++x, src += bytesPerPixel, dst += 3) {
        uint32_t pixel = src[0] | src[1] << 8;
        if (bytesPerPixel == 4)
            pixel |= static_cast<uint32_t>(src[2]) << 16 | static_cast<uint32_t>(src[3]) << 24;
        for (int channel = 0; channel < 3; ++channel)
            dst[channel] = ScaleChannel(scales[channel], layout.masks[channel], pixel);
    }
}

// ---- uncompressed data --------------------------------------------------------

// Calls convertRow(src, dst) for each stored row, placing it so that the
// block holds the bottom row first whichever way the file stores its rows.
template <typename RowFunction>
void ConvertRows(const DibLayout& layout, const unsigned char* file, unsigned char* pixels, RowFunction convertRow)
{
    const size_t outStride = 3 * size_t{layout.width};
    const unsigned char* src = file + layout.pixelOffset;
    for (uint32_t row = 0; row < layout.rows; ++row, src += layout.rowStride) {
        uint32_t outRow = layout.topDown ? layout.rows - 1 - row : row;
        convertRow(src, pixels + outRow * outStride);
    }
}

void ConvertUncompressed(const DibLayout& layout, const unsigned char* file, unsigned char* pixels)
{
    const uint32_t width = layout.width;
    if (layout.bitCount == 24) {
        ConvertRows(layout, file, pixels,
                    [width](const unsigned char* src, unsigned char* dst) { ConvertRow24(src, dst, width); });
    } else if (layout.bitCount == 16 || layout.bitCount == 32) {
        ChannelScale scales[3];
        for (int channel = 0; channel < 3; ++channel)
            BuildChannelScale(layout.masks[channel], &scales[channel]);
        ConvertRows(layout, file, pixels, [&](const unsigned char* src, unsigned char* dst) {
            ConvertRowMasked(src, dst, width, layout, scales);
        });
    } else {
        Palette palette;
        BuildPalette(layout, file, &palette);
        if (layout.bitCount == 8) {
            ConvertRows(layout, file, pixels, [&](const unsigned char* src, unsigned char* dst) {
                ConvertRow8(src, dst, width, palette);
            });
        } else {
            ConvertRows(layout, file, pixels, [&](const unsigned char* src, unsigned char* dst) {
                ConvertRowPacked(src, dst, width, layout.bitCount, palette);
            });
        }
    }
}

}  // namespace

DibRefusal ConvertDibPixels(const DibLayout& layout, const unsigned char* file, size_t size, unsigned char* pixels)
{
    if (layout.compression == kDibCompressionRle8 || layout.compression == kDibCompressionRle4)
        return DecodeDibRuns(layout, file, size, pixels);
    ConvertUncompressed(layout, file, pixels);
    return DibRefusal::None;
}
