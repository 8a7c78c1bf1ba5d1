// contact_sheet.cpp — one PNG with all twelve textures, each shown the way a
// picture viewer shows its BMP file (top row up) and labelled with its file
// name and size in the program's own glyph sheet font.
#include "assetgen.h"

#include <stb/stb_image_write.h>

#include <algorithm>
#include <string>

namespace {

constexpr int kColumns = 4;
constexpr int kRows = 3;
constexpr int kBox = 256;      // each texture is shrunk to fit a box this size
constexpr int kMargin = 16;
constexpr int kLabelHeight = 24;
constexpr uint8_t kBackground[3] = {30, 33, 38};
constexpr uint8_t kLabelColour[3] = {235, 235, 225};

struct Canvas {
    int width, height;
    std::vector<uint8_t> rgb;  // top row first, as PNG stores it
};

void PutPixel(Canvas* canvas, int x, int y, const uint8_t* colour, int coverage)
{
    if (x < 0 || y < 0 || x >= canvas->width || y >= canvas->height)
        return;
    uint8_t* pixel = &canvas->rgb[(static_cast<size_t>(y) * canvas->width + x) * 3];
    for (int c = 0; c < 3; ++c)
        pixel[c] = static_cast<uint8_t>((pixel[c] * (255 - coverage) + colour[c] * coverage + 127) / 255);
}

// Averages factor x factor blocks, so large pictures fit their box.
void DrawPicture(Canvas* canvas, const Picture& picture, int left, int top)
{
    int factor = std::max(1, std::max(picture.width, picture.height) / kBox);
    int shownWidth = picture.width / factor;
    int shownHeight = picture.height / factor;
    left += (kBox - shownWidth) / 2;
    top += (kBox - shownHeight) / 2;
    for (int y = 0; y < shownHeight; ++y) {
        for (int x = 0; x < shownWidth; ++x) {
            int sum[3] = {0, 0, 0};
            for (int j = 0; j < factor; ++j) {
                // Picture rows are kept bottom first.
                int row = picture.height - 1 - (y * factor + j);
                for (int i = 0; i < factor; ++i) {
                    size_t index = (static_cast<size_t>(row) * picture.width + x * factor + i) * picture.channels;
                    for (int c = 0; c < 3; ++c)
                        sum[c] += picture.pixels[index + (picture.channels == 3 ? c : 0)];
                }
            }
            uint8_t colour[3];
            for (int c = 0; c < 3; ++c)
                colour[c] = static_cast<uint8_t>(sum[c] / (factor * factor));
            PutPixel(canvas, left + x, top + y, colour, 255);
        }
    }
}

// Draws text as the program does: one glyph cell per byte, 10 pixels apart.
void DrawLabel(Canvas* canvas, const Picture& font, const std::string& text, int left, int top)
{
    for (size_t n = 0; n < text.size(); ++n) {
        int cell = static_cast<unsigned char>(text[n]) + kGlyphCellOffset;
        if (cell > 255)
            continue;
        int cellLeft = (cell % 16) * kGlyphCellSize;
        int cellTop = (cell / 16) * kGlyphCellSize;
        for (int y = 0; y < kGlyphCellSize; ++y) {
            int row = font.height - 1 - (cellTop + y);
            for (int x = 0; x < kGlyphCellSize; ++x) {
                int coverage = font.pixels[static_cast<size_t>(row) * font.width + cellLeft + x];
                if (coverage > 0)
                    PutPixel(canvas, left + static_cast<int>(n) * kGlyphAdvance + x, top + y, kLabelColour, coverage);
            }
        }
    }
}

std::string LabelFor(int slot, const Picture& picture)
{
    std::string name = kTextureFiles[slot];
    name = name.substr(name.find('/') + 1);
    return name + " " + std::to_string(picture.width) + "x" + std::to_string(picture.height);
}

}  // namespace

bool WriteContactSheet(const std::string& path, const std::vector<Picture>& pictures, std::string* error)
{
    if (pictures.size() != static_cast<size_t>(kTextureCount)) {
        *error = "the contact sheet needs all twelve textures";
        return false;
    }
    const Picture& font = pictures.back();
    Canvas canvas;
    canvas.width = kColumns * kBox + (kColumns + 1) * kMargin;
    canvas.height = kRows * (kBox + kLabelHeight) + (kRows + 1) * kMargin;
    canvas.rgb.resize(static_cast<size_t>(canvas.width) * canvas.height * 3);
    for (size_t i = 0; i < canvas.rgb.size(); ++i)
        canvas.rgb[i] = kBackground[i % 3];

    for (int slot = 0; slot < kTextureCount; ++slot) {
        int left = kMargin + (slot % kColumns) * (kBox + kMargin);
        int top = kMargin + (slot / kColumns) * (kBox + kLabelHeight + kMargin);
        const Picture& picture = pictures[static_cast<size_t>(slot)];
        DrawPicture(&canvas, picture, left, top);
        DrawLabel(&canvas, font, LabelFor(slot, picture), left, top + kBox + 4);
    }
    if (stbi_write_png(path.c_str(), canvas.width, canvas.height, 3, canvas.rgb.data(), canvas.width * 3) == 0) {
        *error = "cannot write " + path;
        return false;
    }
    return true;
}
