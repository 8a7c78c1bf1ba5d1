// dib_reader.cpp — ReadDibFile: maps a BMP file read-only through the
// platform, decodes it into an RgbImage and reports each failure in one
// "Error" box owned by the window with the keyboard focus.
#include "image/dib_reader.h"

#include <cstdio>
#include <cstdlib>

#include "image/dib_format.h"
#include "platform/platform.h"

namespace {

constexpr const char* kErrorCaption = "Error";
constexpr const char* kOpenFailedFormat = "Failed to open DIB file %s.\n";
constexpr size_t kOpenFailedTextSize = 256;  // 255 characters and the NUL

void ShowDibError(const char* text)
{
    PlatformMessageBox(PlatformGetFocus(), text, kErrorCaption, MessageBoxIcon::None);
}

}  // namespace

// The pixel block first, then the record, as the caller frees them in reverse.
DibRefusal DecodeDibQuietly(const unsigned char* file, size_t size, RgbImage** image)
{
    DibLayout layout;
    DibRefusal refusal = ParseDibLayout(file, size, &layout);
    if (refusal != DibRefusal::None)
        return refusal;

    // Within kDibMaxPixelBytes: ParseDibLayout refused anything larger.
    size_t pixelBytes = 3 * size_t{layout.width} * layout.rows;
    auto* pixels = static_cast<unsigned char*>(std::malloc(pixelBytes));
    if (pixels == nullptr)
        return DibRefusal::NoMemory;
    refusal = ConvertDibPixels(layout, file, size, pixels);
    if (refusal != DibRefusal::None) {
        std::free(pixels);
        return refusal;
    }

    auto* record = static_cast<RgbImage*>(std::malloc(sizeof(RgbImage)));
    if (record == nullptr) {
        std::free(pixels);
        return DibRefusal::NoMemory;
    }
    *record = RgbImage{static_cast<int32_t>(layout.width), static_cast<int32_t>(layout.rows), pixels};
    *image = record;
    return DibRefusal::None;
}

RgbImage* DecodeDib(const unsigned char* file, size_t size)
{
    RgbImage* image = nullptr;
    DibRefusal refusal = DecodeDibQuietly(file, size, &image);
    if (refusal != DibRefusal::None)
        ShowDibError(DibFaultText(DibRefusalFault(refusal)));
    return image;
}

RgbImage* ReadDibFile(const char* path)
{
    FileView view;
    if (!PlatformOpenFileView(path, &view)) {
        // Nothing is open now; the text is cut short to fit its buffer.
        char text[kOpenFailedTextSize];
        std::snprintf(text, sizeof text, kOpenFailedFormat, path);
        ShowDibError(text);
        return nullptr;
    }
    // A decoding failure's box is shown while the file is still mapped; the
    // mapping is released once the user has dismissed it.
    RgbImage* image = DecodeDib(view.data, view.size);
    PlatformCloseFileView(&view);
    return image;
}

void FreeRgbImage(RgbImage* image)
{
    if (image == nullptr)
        return;
    std::free(image->pixels);
    std::free(image);
}
