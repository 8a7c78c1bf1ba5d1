// dib_stb_fuzzer.cpp — libFuzzer target that reads each input with the
// bitmap reader and with stb_image. Where both give an image, it must be the
// same size and the same pixels, stb's rows turned bottom row first. Where
// only one gives an image, a rule of kRules must explain it, checked on the
// input's own bytes (a check of the reader's that stb does not make, or a
// file stb does not read); any other one-sided result aborts, so a reader
// that began refusing good files fails here. The inputs each rule explained
// are counted by kind and printed when the run ends.
#include <algorithm>
#include <bit>
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

// What an input's headers say, read here from its bytes as the format
// defines them, not by the reader.
struct Declared {
    size_t at;                  // the information header: after the file header, if any
    uint32_t headerSize, compression, planes, bits;
    bool core;
    uint32_t masks[4];          // red, green, blue, alpha, where the form has them
    uint32_t count, full;       // colour entries declared, and those the bits can name
    uint32_t entrySize;         // 3 (core form) or 4
    size_t masksSize;           // 12 for bit fields after the 40-byte header
    size_t tableAt, pixelsAt;
};

Declared Declare(const uint8_t* data, size_t size)
{
    Declared d{};
    d.at = size >= 2 && data[0] == 'B' && data[1] == 'M' ? 14 : 0;
    d.headerSize = Field(data, size, d.at, 4);
    d.core = d.headerSize == 12;
    d.planes = Field(data, size, d.at + (d.core ? 8 : 12), 2);
    d.bits = Field(data, size, d.at + (d.core ? 10 : 14), 2);
    d.compression = d.core ? 0 : Field(data, size, d.at + 16, 4);
    for (int i = 0; i < 4; ++i)
        d.masks[i] = i < 3 || d.headerSize >= 56 ? Field(data, size, d.at + 40 + 4 * i, 4) : 0;
    const uint32_t used = d.core ? 0 : Field(data, size, d.at + 32, 4);
    d.full = d.bits == 1 ? 2 : d.bits == 4 ? 16 : d.bits == 8 ? 256 : 0;
    d.count = used != 0 ? used & 0xFFFF : d.full;
    d.entrySize = d.core ? 3 : 4;
    d.masksSize = d.headerSize == 40 && d.compression == 3 ? 12 : 0;
    d.tableAt = d.at + d.headerSize + d.masksSize;
    d.pixelsAt = d.at == 14 ? Field(data, size, 10, 4) : d.tableAt + size_t{d.entrySize} * d.count;
    return d;
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
std::vector<uint8_t> StbTwin(const uint8_t* data, size_t size, const Declared& d)
{
    const uint32_t entries = std::min(d.count, d.full);
    if (d.headerSize < 12 || d.tableAt + size_t{d.entrySize} * entries > size || d.pixelsAt > size)
        return {};
    const uint32_t twinHeaderSize = d.headerSize == 52 || d.headerSize == 56 ? 108 : d.headerSize;
    const uint32_t filler = d.core && entries > 0 ? 12 : 0;
    const uint32_t twinPixelsAt =
        14 + twinHeaderSize + static_cast<uint32_t>(d.masksSize) + d.entrySize * d.full + filler;
    std::vector<uint8_t> twin = {'B', 'M'};
    PutLe(&twin, static_cast<uint32_t>(twinPixelsAt + size - d.pixelsAt), 4);
    PutLe(&twin, 0, 4);
    PutLe(&twin, twinPixelsAt, 4);
    PutLe(&twin, twinHeaderSize, 4);
    twin.insert(twin.end(), data + d.at + 4, data + d.tableAt);
    twin.insert(twin.end(), twinHeaderSize - d.headerSize, 0);  // after the masks of the 40-byte form: none there
    twin.insert(twin.end(), data + d.tableAt, data + d.tableAt + size_t{d.entrySize} * entries);
    twin.insert(twin.end(), size_t{d.entrySize} * (d.full - entries) + filler, 0);
    twin.insert(twin.end(), data + d.pixelsAt, data + size);
    return twin;
}

// What a one-sided result is judged by: the input, and stb's size where stb read it.
struct Seen {
    const Declared& d;
    size_t size;
    int stbWidth, stbHeight;
};

// A mask's set bits are one run when they fill the span from its lowest to its highest.
bool OneRun(uint32_t mask)
{
    return mask == 0 || std::popcount(mask) == 32 - std::countl_zero(mask) - std::countr_zero(mask);
}

// A mask stb cannot scale: none, or more than 8 bits.
bool StbUnscalable(uint32_t mask) { return mask == 0 || std::popcount(mask) > 8; }

// The one-sided results that a rule explains, each checked on the input
// itself; any other aborts.
struct Rule {
    DibRefusal byReader;  // the reader's refusal of a file stb read; None: stb refused a file the reader read
    const char* byStb;    // then stb's failure reason
    const char* why;
    bool (*holds)(const Seen&);
};

const Rule kRules[] = {
    {DibRefusal::NoPixels, "", "stb gives an empty picture where the reader refuses one",
     [](const Seen& s) { return s.stbWidth == 0 || s.stbHeight == 0; }},
    {DibRefusal::TooLarge, "", "the reader's cap is 32768 a side, stb's 2^24",
     [](const Seen& s) { return static_cast<uint32_t>(std::max(s.stbWidth, s.stbHeight)) > kDibMaxDimension; }},
    {DibRefusal::PixelDataCut, "", "stb reads bytes past the end as zeros",
     [](const Seen& s) {
         const uint64_t rowBits = uint64_t{s.d.bits} * static_cast<uint64_t>(s.stbWidth);
         const uint64_t need = (rowBits + 31) / 32 * 4 * (static_cast<uint64_t>(s.stbHeight) - 1) + (rowBits + 7) / 8;
         return s.d.pixelsAt + need > s.size;
     }},
    {DibRefusal::MaskWithGap, "", "stb reads some value from a mask with gaps",
     [](const Seen& s) { return !OneRun(s.d.masks[0]) || !OneRun(s.d.masks[1]) || !OneRun(s.d.masks[2]); }},
    {DibRefusal::UnreadFormat, "",
     "stb takes a compression field of 2^31 or more for a negative number, and reads it as none",
     [](const Seen& s) { return s.d.compression >= 0x80000000u; }},
    {DibRefusal::None, "BMP RLE", "stb reads no run-length data",
     [](const Seen& s) { return s.d.compression == 1 || s.d.compression == 2; }},
    {DibRefusal::None, "bad BMP", "stb wants 1 plane; the reader, as the format's own readers, ignores the field",
     [](const Seen& s) { return s.d.planes != 1; }},
    {DibRefusal::None, "bad BMP", "stb refuses bit fields after the 40-byte header whose three masks are equal",
     [](const Seen& s) {
         return s.d.headerSize == 40 && s.d.masks[0] == s.d.masks[1] && s.d.masks[1] == s.d.masks[2];
     }},
    {DibRefusal::None, "bad masks", "stb gives the core form's 16- and 32-bit pixels no masks",
     [](const Seen& s) { return s.d.core && (s.d.bits == 16 || s.d.bits == 32); }},
    {DibRefusal::None, "bad masks",
     "stb refuses a zero mask or one of over 8 bits; the reader reads a channel of 0, or a mask's top 8 bits",
     [](const Seen& s) {
         const bool own = s.d.compression == 3;
         return (own && (StbUnscalable(s.d.masks[0]) || StbUnscalable(s.d.masks[1]) ||
                         StbUnscalable(s.d.masks[2]))) ||
                std::popcount(s.d.masks[3]) > 8;
     }},
};

// What an input says it is (header size, compression, bits per pixel; -1
// for a value no BMP file has), for the counts.
using Kind = std::tuple<int, int, int>;

int Known(uint32_t value, std::initializer_list<uint32_t> known)
{
    return std::find(known.begin(), known.end(), value) != known.end() ? static_cast<int>(value) : -1;
}

Kind KindOf(const Declared& d)
{
    return {Known(d.headerSize, {12, 40, 52, 56, 108, 124}), Known(d.compression, {0, 1, 2, 3, 4, 5, 6}),
            Known(d.bits, {1, 2, 4, 8, 16, 24, 32})};
}

std::map<std::pair<const Rule*, Kind>, uint64_t> explained;  // one-sided inputs, by the rule that explains them
uint64_t compared = 0;

void PrintCounts()
{
    std::fprintf(stderr, "dib_stb_fuzzer: %llu inputs decoded alike by both\n",
                 static_cast<unsigned long long>(compared));
    for (const Rule& rule : kRules) {
        uint64_t total = 0;
        for (const auto& [key, count] : explained)
            total += key.first == &rule ? count : 0;
        const bool byReader = rule.byReader != DibRefusal::None;
        std::fprintf(stderr, "dib_stb_fuzzer: refused by %s (%s), as %s: %llu\n", byReader ? "Marivelt" : "stb_image",
                     byReader ? DibRefusalText(rule.byReader) : rule.byStb, rule.why,
                     static_cast<unsigned long long>(total));
        for (const auto& [key, count] : explained)
            if (key.first == &rule)
                std::fprintf(stderr, "dib_stb_fuzzer:   header %d, compression %d, %d bits: %llu\n",
                             std::get<0>(key.second), std::get<1>(key.second), std::get<2>(key.second),
                             static_cast<unsigned long long>(count));
    }
}

[[noreturn]] void Disagree(const std::string& what, const Declared& d)
{
    const Kind kind = KindOf(d);
    std::fprintf(stderr, "dib_stb_fuzzer: %s (header %d, compression %d, %d bits)\n", what.c_str(),
                 std::get<0>(kind), std::get<1>(kind), std::get<2>(kind));
    std::abort();
}

// Counts a one-sided result under the first rule that explains it, or aborts.
void Explain(DibRefusal byReader, const std::string& byStb, const Seen& seen)
{
    for (const Rule& rule : kRules) {
        if (rule.byReader == byReader && (byReader != DibRefusal::None || byStb == rule.byStb) && rule.holds(seen)) {
            ++explained[{&rule, KindOf(seen.d)}];
            return;
        }
    }
    Disagree(byReader != DibRefusal::None
                 ? std::string("unexplained: Marivelt refuses (") + DibRefusalText(byReader) + "), stb_image reads it"
                 : "unexplained: stb_image refuses (" + byStb + "), Marivelt reads it",
             seen.d);
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
    const Declared declared = Declare(data, size);
    const std::vector<uint8_t> twin = StbTwin(data, size, declared);
    const int twinSize = static_cast<int>(twin.size());
    if ((ParseDibLayout(data, size, &layout) == DibRefusal::None &&
         static_cast<uint64_t>(layout.width) * layout.rows > kFuzzMaxPixels) ||
        (stbi_info_from_memory(twin.data(), twinSize, &stbWidth, &stbHeight, &channels) &&
         StbSide(stbWidth) * StbSide(stbHeight) > kFuzzMaxPixels))
        return -1;  // not worth keeping in the corpus

    RgbImage* image = nullptr;
    const DibRefusal refusal = DecodeDibQuietly(data, size, &image);
    stbi_uc* stb =
        twin.empty() ? nullptr : stbi_load_from_memory(twin.data(), twinSize, &stbWidth, &stbHeight, &channels, 3);
    if (image == nullptr || stb == nullptr) {
        const Seen seen{declared, size, stbWidth, stbHeight};
        if (image != nullptr)
            Explain(DibRefusal::None, twin.empty() ? "parts outside the file" : stbi_failure_reason(), seen);
        else if (stb != nullptr)
            Explain(refusal, "", seen);
        FreeRgbImage(image);
        stbi_image_free(stb);
        return 0;
    }
    if (image->width != stbWidth || image->height != stbHeight)
        Disagree("the decoders disagree on the size", declared);
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
                Disagree(what, declared);
            }
        }
    }
    ++compared;
    FreeRgbImage(image);
    stbi_image_free(stb);
    return 0;
}
