// dib_fuzzer.cpp — libFuzzer target of the bitmap reader. Each input is a
// whole BMP file: it is decoded from memory as the reader decodes a mapped
// file, and every 64th input also goes through ReadDibFile from a file on
// /dev/shm, mapping included. Either way a refusal must show exactly one box
// with one of the reader's texts, and a result must be the size it claims.
//
// An input whose headers declare more than kFuzzMaxPixels is parsed but not
// decoded: a legal 9220 x 4125 image from 188 bytes of run-length data takes
// most of a second under the sanitizers, which a busy machine stretches past
// any fixed time limit. The size limits have unit tests of their own; below
// the cap a decode costs at most some 75 ms (run-length data that writes
// every pixel; run_fuzz.sh has the measurements), so the time limit still
// catches a loop that does not end or work out of proportion to the image.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <unistd.h>

#include "image/dib_format.h"
#include "platform/headless/headless.h"

namespace {

constexpr uint64_t kFuzzMaxPixels = 1024 * 1024;

bool IsReaderText(const std::string& text)
{
    return text == "Out of memory." || text == "Unknown DIB file format." || text == "Image file conversion error.";
}

std::string ScratchPath()
{
    return "/dev/shm/marivelt-dib-fuzz-" + std::to_string(getpid()) + ".bmp";
}

RgbImage* ReadThroughFile(const uint8_t* data, size_t size)
{
    const std::string path = ScratchPath();
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (out == nullptr)
        std::abort();
    if (size > 0 && std::fwrite(data, 1, size, out) != size)
        std::abort();
    std::fclose(out);
    RgbImage* image = ReadDibFile(path.c_str());
    std::remove(path.c_str());
    return image;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    DibLayout layout;
    if (ParseDibLayout(data, size, &layout) == DibRefusal::None &&
        static_cast<uint64_t>(layout.width) * layout.rows > kFuzzMaxPixels)
        return -1;  // not worth keeping in the corpus

    static uint64_t inputs = 0;
    const bool throughFile = ++inputs % 64 == 0;
    HeadlessReset();

    RgbImage* image = throughFile ? ReadThroughFile(data, size) : DecodeDib(data, size);

    const auto& boxes = HeadlessBoxes();
    if (image == nullptr) {
        if (boxes.size() != 1 || boxes[0].caption != "Error")
            std::abort();
        const bool openFailure = throughFile && size == 0 && boxes[0].text.rfind("Failed to open DIB file ", 0) == 0;
        if (!openFailure && !IsReaderText(boxes[0].text))
            std::abort();
        return 0;
    }
    if (!boxes.empty() || image->width <= 0 || image->height <= 0)
        std::abort();
    // Touch both ends: the sanitizer catches a block shorter than it claims.
    // (Run-length data can ask for a large block from a few bytes, so not
    // every byte is read back.)
    const size_t bytes = 3 * static_cast<size_t>(image->width) * image->height;
    volatile unsigned char ends = image->pixels[0] ^ image->pixels[bytes - 1];
    (void)ends;
    FreeRgbImage(image);
    return 0;
}
