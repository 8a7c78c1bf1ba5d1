// assetgen_font_test.cpp — the generated glyph sheet: a grey palettised file
// whose cells hold the printable characters where the overlay font looks for
// them, each glyph clear of its cell's edges and within its 10-unit advance.
#include <string>

#include "tests/unit/assetgen_test_support.h"

namespace {

constexpr int kCell = 16;

// The sheet as stb_image gives it, one grey byte per pixel, top row first.
ViewedPicture LoadSheet()
{
    AssetBytes file = ReadAssetFile("Graphics/FontMap.bmp");
    EXPECT_FALSE(file.empty()) << "Graphics/FontMap.bmp is missing from the run folder";
    return DecodeWithStb(file, 1);
}

// Cell i lies at column i mod 16 and row i div 16, row 0 at the top.
int Ink(const ViewedPicture& sheet, int cell, int x, int y)
{
    return sheet.At((cell % 16) * kCell + x, (cell / 16) * kCell + y)[0];
}

int LitPixels(const ViewedPicture& sheet, int cell)
{
    int lit = 0;
    for (int y = 0; y < kCell; ++y)
        for (int x = 0; x < kCell; ++x)
            lit += Ink(sheet, cell, x, y) > 0 ? 1 : 0;
    return lit;
}

int LowestInkRow(const ViewedPicture& sheet, int cell)
{
    for (int y = kCell - 1; y >= 0; --y)
        for (int x = 0; x < kCell; ++x)
            if (Ink(sheet, cell, x, y) > 0)
                return y;
    return -1;
}

int CellOf(char c) { return static_cast<unsigned char>(c) + kGlyphCellOffset; }

TEST(AssetgenFont, SheetIsAnEightBitFileWithAGreyPalette)
{
    AssetBytes file = ReadAssetFile("Graphics/FontMap.bmp");
    ASSERT_GE(file.size(), 54u + 1024u);
    EXPECT_EQ(ReadLittleEndian(file, 28, 2), 8u);
    EXPECT_EQ(ReadLittleEndian(file, 46, 4), 256u);  // colours used
    for (uint32_t i = 0; i < 256; ++i)
        ASSERT_EQ(ReadLittleEndian(file, 54 + 4 * i, 4), i | (i << 8) | (i << 16)) << "palette entry " << i;
}

TEST(AssetgenFont, PrintableCharactersFillTheirCellsAndNothingElseIsLit)
{
    ViewedPicture sheet = LoadSheet();
    ASSERT_EQ(sheet.width, 256);
    ASSERT_EQ(sheet.height, 256);
    EXPECT_GT(LitPixels(sheet, CellOf('E')), 20);
    EXPECT_EQ(LitPixels(sheet, CellOf(' ')), 0);
    EXPECT_EQ(LitPixels(sheet, 127 + kGlyphCellOffset), 0);  // DEL
    for (int cell = 0; cell < 256; ++cell) {
        int character = cell - kGlyphCellOffset;
        bool printable = character >= 33 && character <= 126;
        if (printable)
            EXPECT_GT(LitPixels(sheet, cell), 0) << "character " << character << " has no glyph";
        else
            EXPECT_EQ(LitPixels(sheet, cell), 0) << "cell " << cell << " should be black";
    }
}

TEST(AssetgenFont, GlyphsKeepClearOfTheirEdgesAndWithinTheirAdvance)
{
    ViewedPicture sheet = LoadSheet();
    ASSERT_EQ(sheet.width, 256);
    for (int cell = 0; cell < 256; ++cell) {
        for (int i = 0; i < kCell; ++i) {
            ASSERT_EQ(Ink(sheet, cell, i, 0), 0) << "cell " << cell << " top edge";
            ASSERT_EQ(Ink(sheet, cell, i, kCell - 1), 0) << "cell " << cell << " bottom edge";
            ASSERT_EQ(Ink(sheet, cell, 0, i), 0) << "cell " << cell << " left edge";
        }
        // Glyphs advance 10 units: ink right of column 10 would run into the next one.
        for (int y = 0; y < kCell; ++y)
            for (int x = kGlyphAdvance + 1; x < kCell; ++x)
                ASSERT_EQ(Ink(sheet, cell, x, y), 0) << "cell " << cell << " ink at column " << x;
    }
}

TEST(AssetgenFont, GlyphsShareOneBaseline)
{
    ViewedPicture sheet = LoadSheet();
    ASSERT_EQ(sheet.width, 256);
    // Letters and digits that sit flat on the baseline all end on the same row;
    // descenders go below it.
    const std::string flat = "EFHIKLMNTXZ14ilmnr";
    int baseline = LowestInkRow(sheet, CellOf('H'));
    ASSERT_GT(baseline, 0);
    for (char c : flat)
        EXPECT_EQ(LowestInkRow(sheet, CellOf(c)), baseline) << "'" << c << "'";
    for (char c : std::string("gpqy"))
        EXPECT_GT(LowestInkRow(sheet, CellOf(c)), baseline) << "'" << c << "'";
}

}  // namespace
