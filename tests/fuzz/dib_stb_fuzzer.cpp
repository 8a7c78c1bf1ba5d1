// dib_stb_fuzzer.cpp — libFuzzer target that reads each input with the
// bitmap reader and with stb_image. Where both give an image, it must be the
// same size and the same pixels, stb's rows turned bottom row first; where
// only one gives an image, the input is counted by its kind (header size,
// compression, bits per pixel), not failed: the two accept different sets of
// files. The counts are printed when the run ends.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "image/dib_format.h"
#include "platform/headless/headless.h"
#include "tools/common/dib_builder.h"

// stb_image's own BMP decoder, compiled privately into this target.
#define STB_IMAGE_IMPLEMENTATION
#define STB_IMAGE_STATIC
#define STBI_ONLY_BMP
#define STBI_NO_STDIO
#include <stb/stb_image.h>

namespace {

// stb decodes a pixel at a time, with the fuzzer's instrumentation compiled
// in: some 0.5 us a pixel here, ten times that on a busy machine. A wrong
// pixel shows on small images as on large ones, so inputs stay within 64 K
// pixels and far inside the time limit (the safety target takes the large).
constexpr uint64_t kFuzzMaxPixels = 64 * 1024;

// A side as stb's size query gives it, for the limit: it keeps the sign of a
// top-down height, and accepts a side of 0 while it still walks the other.
uint64_t StbSide(int side)
{
    return std::max<uint64_t>(1, static_cast<uint64_t>(std::abs(static_cast<int64_t>(side))));
}

uint32_t Field(const uint8_t* data, size_t size, size_t at, int bytes)
{
    uint32_t value = 0;
    for (int i = 0; i < bytes && at + i < size; ++i)
        value |= static_cast<uint32_t>(data[at + i]) << (8 * i);
    return value;
}

// What an input says it is, read from its bytes (header size, compression,
// bits per pixel; -1 for a value no BMP file has), and why the decoder that
// refused it did.
using Kind = std::tuple<int, int, int, std::string>;

int Known(uint32_t value, std::initializer_list<uint32_t> known)
{
    return std::find(known.begin(), known.end(), value) != known.end() ? static_cast<int>(value) : -1;
}

Kind KindOf(const uint8_t* data, size_t size, const std::string& refusal)
{
    const size_t at = size >= 2 && data[0] == 'B' && data[1] == 'M' ? 14 : 0;
    const uint32_t headerSize = Field(data, size, at, 4);
    const bool core = headerSize == 12;
    return {Known(headerSize, {12, 40, 52, 56, 108, 124}),
            core ? 0 : Known(Field(data, size, at + 16, 4), {0, 1, 2, 3, 4, 5, 6}),
            Known(Field(data, size, at + (core ? 10 : 14), 2), {1, 2, 4, 8, 16, 24, 32}), refusal};
}

// The same picture as a file that stb reads as the format means it: a file
// header, the information header, the colour entries the header declares,
// then the pixel data from where the file says it starts. Where stb reads
// other files otherwise, it reads this one:
//  - it needs the file header, which a bare bitmap lacks;
//  - it sizes the colour table by the gap before the pixels, not by the
//    colours-used field (whose low 16 bits count, 0 for the full table), and
//    a core-form table 12 bytes shorter still: 12 filler bytes follow it;
//  - an index past the table takes whatever its own memory holds there: the
//    table is filled up with black, the colour such an index stands for;
//  - it reads on from the table where the pixel offset points back into the
//    headers or the table;
//  - it refuses the 52-byte header and looks for the 56-byte one's masks
//    after it: both become the 108-byte form, whose masks sit where theirs do.
// Empty when the declared parts are not all inside the input.
std::vector<uint8_t> StbTwin(const uint8_t* data, size_t size)
{
    const size_t at = size >= 2 && data[0] == 'B' && data[1] == 'M' ? 14 : 0;
    const uint32_t headerSize = Field(data, size, at, 4);
    const bool core = headerSize == 12;
    const uint32_t bits = Field(data, size, at + (core ? 10 : 14), 2);
    const uint32_t used = core ? 0 : Field(data, size, at + 32, 4);
    const uint32_t full = bits == 1 ? 2 : bits == 4 ? 16 : bits == 8 ? 256 : 0;
    const uint32_t count = used != 0 ? used & 0xFFFF : full;
    const uint32_t entries = std::min(count, full), entrySize = core ? 3 : 4;
    const size_t masks = headerSize == 40 && Field(data, size, at + 16, 4) == 3 ? 12 : 0;
    const size_t tableAt = at + headerSize + masks;
    const size_t pixelsAt = at == 14 ? Field(data, size, 10, 4) : tableAt + size_t{entrySize} * count;
    if (headerSize < 12 || tableAt + size_t{entrySize} * entries > size || pixelsAt > size)
        return {};
    const uint32_t twinHeaderSize = headerSize == 52 || headerSize == 56 ? 108 : headerSize;
    const uint32_t filler = core && entries > 0 ? 12 : 0;
    const uint32_t twinPixelsAt = 14 + twinHeaderSize + static_cast<uint32_t>(masks) + entrySize * full + filler;
    std::vector<uint8_t> twin = {'B', 'M'};
    PutLe(&twin, static_cast<uint32_t>(twinPixelsAt + size - pixelsAt), 4);
    PutLe(&twin, 0, 4);
    PutLe(&twin, twinPixelsAt, 4);
    PutLe(&twin, twinHeaderSize, 4);
    twin.insert(twin.end(), data + at + 4, data + tableAt);
    twin.insert(twin.end(), twinHeaderSize - headerSize, 0);  // after the masks of the 40-byte form: none there
    twin.insert(twin.end(), data + tableAt, data + tableAt + size_t{entrySize} * entries);
    twin.insert(twin.end(), size_t{entrySize} * (full - entries) + filler, 0);
    twin.insert(twin.end(), data + pixelsAt, data + size);
    return twin;
}

std::map<Kind, uint64_t> onlyOne;  // inputs only one decoder accepted
uint64_t compared = 0;

void PrintCounts()
{
    std::fprintf(stderr, "dib_stb_fuzzer: %llu inputs decoded alike by both\n",
                 static_cast<unsigned long long>(compared));
    for (const auto& [kind, count] : onlyOne)
        std::fprintf(stderr, "dib_stb_fuzzer: header %d, compression %d, %d bits, refused by %s: %llu\n",
                     std::get<0>(kind), std::get<1>(kind), std::get<2>(kind), std::get<3>(kind).c_str(),
                     static_cast<unsigned long long>(count));
}

[[noreturn]] void Disagree(const char* what, const uint8_t* data, size_t size)
{
    const Kind kind = KindOf(data, size, "");
    std::fprintf(stderr, "dib_stb_fuzzer: %s (header %d, compression %d, %d bits)\n", what, std::get<0>(kind),
                 std::get<1>(kind), std::get<2>(kind));
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    std::atexit(PrintCounts);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    DibLayout layout;
    int stbWidth = 0, stbHeight = 0, channels = 0;
    const std::vector<uint8_t> twin = StbTwin(data, size);
    const int twinSize = static_cast<int>(twin.size());
    if ((ParseDibLayout(data, size, &layout) == DibRefusal::None &&
         static_cast<uint64_t>(layout.width) * layout.rows > kFuzzMaxPixels) ||
        (stbi_info_from_memory(twin.data(), twinSize, &stbWidth, &stbHeight, &channels) &&
         StbSide(stbWidth) * StbSide(stbHeight) > kFuzzMaxPixels))
        return -1;  // not worth keeping in the corpus

    HeadlessReset();
    RgbImage* image = DecodeDib(data, size);
    stbi_uc* stb =
        twin.empty() ? nullptr : stbi_load_from_memory(twin.data(), twinSize, &stbWidth, &stbHeight, &channels, 3);
    if (image == nullptr || stb == nullptr) {
        const char* stbReason = twin.empty() ? "parts outside the file" : stbi_failure_reason();
        if (image != nullptr)
            ++onlyOne[KindOf(data, size, std::string("stb_image (") + stbReason + ")")];
        else if (stb != nullptr)
            ++onlyOne[KindOf(data, size, "Marivelt (" + HeadlessBoxes().at(0).text + ")")];
        FreeRgbImage(image);
        stbi_image_free(stb);
        return 0;
    }
    if (image->width != stbWidth || image->height != stbHeight)
        Disagree("the decoders disagree on the size", data, size);
    const size_t rowBytes = 3 * static_cast<size_t>(stbWidth);
    for (int row = 0; row < stbHeight; ++row) {
        const unsigned char* ours = image->pixels + static_cast<size_t>(row) * rowBytes;
        const unsigned char* theirs = stb + static_cast<size_t>(stbHeight - 1 - row) * rowBytes;
        for (size_t at = 0; at < rowBytes; at += 3) {
            if (std::memcmp(ours + at, theirs + at, 3) != 0) {
                char what[160];
                std::snprintf(what, sizeof what, "pixel %zu of row %d from the bottom: %02x%02x%02x, stb %02x%02x%02x",
                              at / 3, row, ours[at], ours[at + 1], ours[at + 2], theirs[at], theirs[at + 1],
                              theirs[at + 2]);
                Disagree(what, data, size);
            }
        }
    }
    ++compared;
    FreeRgbImage(image);
    stbi_image_free(stb);
    return 0;
}
