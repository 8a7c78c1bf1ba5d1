// dibcheck — runs the program's bitmap reader on one file and tells what it
// read (size, header form, bits per pixel, compression), or the exact text of
// the box the program would show, and on standard error the check that
// refused it. With --raw OUT it also writes the decoded block: "width
// height\n", then the RGB bytes, bottom row first. A side that is not a power
// of two earns a warning line but no refusal: Mesa accepts such textures,
// other OpenGL 1.1 drivers need not.
//
// Exit status: 0 read, 1 refused, 2 wrong usage or the --raw file could not
// be written.
#include <cstdio>
#include <cstring>
#include <utility>

#include "image/dib_format.h"
#include "image/dib_reader.h"
#include "platform/headless/headless.h"

namespace {

const char* CompressionName(uint32_t compression)
{
    switch (compression) {
    case kDibCompressionNone: return "none";
    case kDibCompressionRle8: return "RLE8";
    case kDibCompressionRle4: return "RLE4";
    case kDibCompressionBitfields: return "bit fields";
    default: return "unknown";
    }
}

// The layout the reader parsed, from the same parser on the same bytes.
bool PrintLayout(const char* path, const RgbImage& image)
{
    FileView view;
    if (!PlatformOpenFileView(path, &view))
        return false;
    DibLayout layout;
    bool parsed = ParseDibLayout(view.data, view.size, &layout) == DibRefusal::None;
    PlatformCloseFileView(&view);
    if (!parsed)
        return false;

    std::printf("width %d\n", image.width);
    std::printf("height %d%s\n", image.height, layout.topDown ? " (stored top row first)" : "");
    std::printf("%s header %u bytes, %s\n", layout.headerSize == 12 ? "core" : "info", layout.headerSize,
                layout.hasFileHeader ? "file header present" : "no file header");
    std::printf("bits per pixel %u\n", layout.bitCount);
    std::printf("compression %u (%s)\n", layout.compression, CompressionName(layout.compression));
    if (layout.compression == kDibCompressionBitfields)
        std::printf("masks red %08X green %08X blue %08X\n", layout.masks[0], layout.masks[1], layout.masks[2]);
    std::printf("colour table %u entries\n", layout.colorCount);
    std::printf("pixel offset %llu\n", static_cast<unsigned long long>(layout.pixelOffset));
    return true;
}

// The box's three texts say little; the check that refused the file says
// what to mend. Nothing when the file could not even be opened.
void PrintRefusal(const char* path)
{
    FileView view;
    if (!PlatformOpenFileView(path, &view))
        return;
    RgbImage* image = nullptr;
    DibRefusal refusal = DecodeDibQuietly(view.data, view.size, &image);
    PlatformCloseFileView(&view);
    FreeRgbImage(image);
    if (refusal != DibRefusal::None)
        std::fprintf(stderr, "dibcheck: %s: %s\n", path, DibRefusalText(refusal));
}

bool IsPowerOfTwo(int32_t side) { return side > 0 && (side & (side - 1)) == 0; }

void WarnAboutSides(const RgbImage& image)
{
    for (auto [name, side] : {std::pair{"width", image.width}, std::pair{"height", image.height}})
        if (!IsPowerOfTwo(side))
            std::printf("warning: %s %d is not a power of two; OpenGL 1.1 textures need one\n", name, side);
}

bool WriteRaw(const char* path, const RgbImage& image)
{
    std::FILE* out = std::fopen(path, "wb");
    if (out == nullptr)
        return false;
    const size_t bytes = 3 * static_cast<size_t>(image.width) * image.height;
    bool written = std::fprintf(out, "%d %d\n", image.width, image.height) > 0 &&
                   std::fwrite(image.pixels, 1, bytes, out) == bytes;
    return std::fclose(out) == 0 && written;
}

}  // namespace

int main(int argc, char** argv)
{
    const char* path = nullptr;
    const char* rawPath = nullptr;
    bool usable = true;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--raw") == 0 && i + 1 < argc && rawPath == nullptr)
            rawPath = argv[++i];
        else if (path == nullptr && argv[i][0] != '-')
            path = argv[i];
        else
            usable = false;
    }
    if (!usable || path == nullptr) {
        std::fprintf(stderr, "usage: dibcheck FILE [--raw OUT]\n");
        return 2;
    }

    HeadlessReset();
    RgbImage* image = ReadDibFile(path);
    if (image == nullptr) {
        // The box's text verbatim and a line break: the open failure's own
        // line break then shows as the empty last line it makes in the box.
        for (const HeadlessBox& box : HeadlessBoxes())
            std::fputs(box.text.c_str(), stdout);
        std::fputs("\n", stdout);
        PrintRefusal(path);
        return 1;
    }

    int status = 0;
    if (!PrintLayout(path, *image)) {
        std::fprintf(stderr, "dibcheck: %s changed while it was read\n", path);
        status = 2;
    }
    if (status == 0)
        WarnAboutSides(*image);
    if (status == 0 && rawPath != nullptr && !WriteRaw(rawPath, *image)) {
        std::fprintf(stderr, "dibcheck: cannot write %s\n", rawPath);
        status = 2;
    }
    FreeRgbImage(image);
    return status;
}
