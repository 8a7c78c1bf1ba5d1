// font_sheet.cpp — the overlay font's glyph sheet, rendered with FreeType.
// Text is drawn as 16 x 16 squares advancing 10 units, so every glyph's ink
// must sit within the left 10 or 11 pixels of its cell, on one baseline, with
// a black pixel all round so neighbouring cells never bleed into each other.
#include "assetgen.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>

namespace {

constexpr int kSheetSize = 256;
constexpr int kCellsPerRow = 16;
constexpr int kFirstCharacter = 33;  // space (32) and DEL (127) stay black
constexpr int kLastCharacter = 126;
constexpr int kBorder = 1;           // black pixels kept inside each cell edge
constexpr int kInkWidth = kGlyphAdvance;  // columns 1 to 10 of a cell
// The size is chosen so these fit; the few taller marks (brackets, accents,
// the underscore) are nudged into the cell instead of shrinking all text.
constexpr const char* kSizingCharacters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";

// Where the rendered glyphs reach, relative to the pen on the baseline.
struct InkExtent {
    int left = 1 << 20, right = -(1 << 20);    // pixel columns, right exclusive
    int above = -(1 << 20), below = 1 << 20;   // rows above the baseline; below may be negative
};

bool MeasureInk(FT_Face face, InkExtent* extent)
{
    *extent = InkExtent{};
    for (const char* c = kSizingCharacters; *c != '\0'; ++c) {
        if (FT_Load_Char(face, static_cast<FT_ULong>(*c), FT_LOAD_RENDER) != 0)
            return false;
        const FT_GlyphSlot slot = face->glyph;
        if (slot->bitmap.width == 0 || slot->bitmap.rows == 0)
            continue;
        extent->left = std::min(extent->left, slot->bitmap_left);
        extent->right = std::max(extent->right, slot->bitmap_left + static_cast<int>(slot->bitmap.width));
        extent->above = std::max(extent->above, slot->bitmap_top);
        extent->below = std::min(extent->below, slot->bitmap_top - static_cast<int>(slot->bitmap.rows));
    }
    return true;
}

// The largest size, in 1/4 pixel steps, at which every glyph fits its cell.
bool ChooseSize(FT_Face face, InkExtent* extent)
{
    constexpr int kLargest = 16 * 64;  // 26.6 fixed point
    constexpr int kSmallest = 8 * 64;
    constexpr int kRoom = kGlyphCellSize - 2 * kBorder;
    for (int size = kLargest; size >= kSmallest; size -= 16) {
        if (FT_Set_Char_Size(face, 0, size, 72, 72) != 0 || !MeasureInk(face, extent))
            return false;
        if (extent->above - extent->below <= kRoom && extent->right - extent->left <= kInkWidth)
            return true;
    }
    return false;
}

void PlaceGlyph(const FT_Bitmap& bitmap, int cellLeft, int cellTop, int x0, int y0, Picture* sheet)
{
    for (unsigned row = 0; row < bitmap.rows; ++row) {
        for (unsigned column = 0; column < bitmap.width; ++column) {
            int x = x0 + static_cast<int>(column);
            int y = y0 + static_cast<int>(row);
            // Never write outside the cell's inner square.
            if (x < kBorder || x >= kGlyphCellSize - kBorder || y < kBorder || y >= kGlyphCellSize - kBorder)
                continue;
            uint8_t value = bitmap.buffer[static_cast<ptrdiff_t>(row) * bitmap.pitch + column];
            // Rows are kept bottom first, cells are counted from the top.
            int sheetRow = kSheetSize - 1 - (cellTop + y);
            sheet->pixels[static_cast<size_t>(sheetRow) * kSheetSize + static_cast<size_t>(cellLeft + x)] = value;
        }
    }
}

bool RenderGlyphs(FT_Face face, Picture* sheet, std::string* error)
{
    InkExtent extent;
    if (!ChooseSize(face, &extent)) {
        *error = "no size of the font fits a 16 x 16 glyph cell";
        return false;
    }
    // Pen position: the widest ink starts right after the border, and the ink
    // rows are centred in the cell's inner height.
    int penX = kBorder - extent.left;
    int inkHeight = extent.above - extent.below;
    int baseline = kBorder + (kGlyphCellSize - 2 * kBorder - inkHeight) / 2 + extent.above;
    for (int c = kFirstCharacter; c <= kLastCharacter; ++c) {
        if (FT_Load_Char(face, static_cast<FT_ULong>(c), FT_LOAD_RENDER) != 0) {
            *error = "cannot render character " + std::to_string(c);
            return false;
        }
        const FT_GlyphSlot slot = face->glyph;
        if (slot->bitmap.pixel_mode != FT_PIXEL_MODE_GRAY && slot->bitmap.rows != 0) {
            *error = "the font renders no grey glyphs";
            return false;
        }
        int cell = c + kGlyphCellOffset;
        int cellLeft = (cell % kCellsPerRow) * kGlyphCellSize;
        int cellTop = (cell / kCellsPerRow) * kGlyphCellSize;
        int rows = static_cast<int>(slot->bitmap.rows);
        int columns = static_cast<int>(slot->bitmap.width);
        int x0 = std::clamp(penX + slot->bitmap_left, kBorder, std::max(kBorder, kBorder + kInkWidth - columns));
        int y0 = std::clamp(baseline - slot->bitmap_top, kBorder, std::max(kBorder, kGlyphCellSize - kBorder - rows));
        PlaceGlyph(slot->bitmap, cellLeft, cellTop, x0, y0, sheet);
    }
    return true;
}

}  // namespace

bool BuildFontSheet(const char* fontPath, Picture* sheet, std::string* error)
{
    *sheet = Picture{kSheetSize, kSheetSize, 1, std::vector<uint8_t>(kSheetSize * kSheetSize, 0)};
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) != 0) {
        *error = "cannot start FreeType";
        return false;
    }
    FT_Face face = nullptr;
    bool built = false;
    if (FT_New_Face(library, fontPath, 0, &face) != 0) {
        *error = std::string("cannot open the font ") + fontPath;
    } else {
        built = RenderGlyphs(face, sheet, error);
        FT_Done_Face(face);
    }
    FT_Done_FreeType(library);
    return built;
}
