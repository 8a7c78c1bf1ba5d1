// dib_format.h — the bitmap reader's inside: the checked layout of a BMP file
// and the steps that turn its bytes into an RgbImage.
//
// ReadDibFile (dib_reader.cpp) maps the file and calls DecodeDib on its bytes.
// ParseDibLayout (dib_header.cpp) reads and checks the headers against the
// file's length; ConvertDibPixels (dib_convert.cpp, run-length data in
// dib_rle.cpp) writes the pixel block. tools/dibcheck and the fuzzers use
// these directly; the program uses only dib_reader.h.
#pragma once

#include <cstddef>
#include <cstdint>

#include "image/dib_reader.h"

// Why a file was refused; each has its one message text (DibFaultText).
enum class DibFault {
    None,
    OutOfMemory,      // "Out of memory."
    UnknownFormat,    // "Unknown DIB file format."
    ConversionError,  // "Image file conversion error."
};

// Which check refused a file: finer than the three texts, for tools/dibcheck
// and the fuzzers. Each belongs to one DibFault (DibRefusalFault).
enum class DibRefusal {
    None,
    FileHeaderCut,      // "BM" without the rest of the 14-byte file header
    HeaderCut,          // the information header runs past the end of the file
    UnknownHeaderSize,  // not 12, 40, 52, 56, 108 or 124 bytes
    NoPixels,           // a width of 0 or less, or a height of 0
    TooLarge,           // a side over kDibMaxDimension, or over kDibMaxPixelBytes of RGB
    UnreadFormat,       // bits per pixel and compression the reader does not read
    MasksCut,           // the bit-field masks run past the end of the file
    MaskWithGap,        // a mask whose bits are not one run
    ColorTableCut,      // colour entries an index can reach lie past the end of the file
    PixelDataCut,       // the pixel data runs past the end of the file
    RunsCut,            // the run-length data ends before the end of the bitmap
    NoMemory,           // no memory for the pixel block or the record
};

// The compression field of the 40-byte information header.
constexpr uint32_t kDibCompressionNone = 0;       // BI_RGB
constexpr uint32_t kDibCompressionRle8 = 1;       // BI_RLE8
constexpr uint32_t kDibCompressionRle4 = 2;       // BI_RLE4
constexpr uint32_t kDibCompressionBitfields = 3;  // BI_BITFIELDS

// Limits that keep 3 x width x height within what the heap is asked for.
constexpr uint32_t kDibMaxDimension = 32768;                     // pixels
constexpr uint64_t kDibMaxPixelBytes = 512ull * 1024 * 1024;     // bytes

// The normalised header: what the file says, checked against its length.
// Offsets count from the start of the file.
struct DibLayout {
    bool hasFileHeader;        // the file starts with the 14-byte "BM" header
    uint64_t headerOffset;     // first byte of the information header: 14 or 0
    uint32_t headerSize;       // 12 (core form), 40 (information form), 52, 56, 108 or 124 (later forms)
    uint32_t width;            // pixels per row, 1 to kDibMaxDimension
    uint32_t rows;             // absolute height, 1 to kDibMaxDimension
    bool topDown;              // the height was negative: the top row is stored first
    uint16_t bitCount;         // bits per pixel: 1, 4, 8, 16, 24 or 32
    uint32_t compression;      // kDibCompression…; none for the core form
    uint16_t colorCount;       // DibColorCount of the header
    uint32_t masks[3];         // red, green, blue masks of 16- and 32-bit pixels
    uint64_t colorTableOffset; // first colour entry
    uint32_t colorEntrySize;   // 3 (core form: blue, green, red) or 4 (…, reserved)
    uint32_t usableColors;     // entries a pixel index can select, all inside the file
    uint64_t pixelOffset;      // first byte of pixel data
    uint64_t rowStride;        // bytes per stored row of uncompressed data (4-byte aligned)
};

// Reads the headers of a BMP file held in memory and checks every field that
// the conversion will use against the file's length. None on success.
DibRefusal ParseDibLayout(const unsigned char* file, size_t size, DibLayout* layout);

// Colour-table entry count of an information header of any form (12, 40, 52,
// 56, 108 or 124 bytes); the caller guarantees that the whole header is readable.
uint16_t DibColorCount(const unsigned char* header);

// Writes 3 x width x rows bytes of RGB into pixels, bottom row first. The
// layout must come from ParseDibLayout on the same bytes.
DibRefusal ConvertDibPixels(const DibLayout& layout, const unsigned char* file, size_t size, unsigned char* pixels);

// Run-length data (RLE8 or RLE4) into the pixel block, for ConvertDibPixels.
DibRefusal DecodeDibRuns(const DibLayout& layout, const unsigned char* file, size_t size, unsigned char* pixels);

// Parses, allocates and converts, and shows no box: the image in *image, or
// why it was refused.
DibRefusal DecodeDibQuietly(const unsigned char* file, size_t size, RgbImage** image);

// DecodeDibQuietly that shows the one "Error" box with the refusal's text and
// returns null on failure. ReadDibFile calls it on the mapped file.
RgbImage* DecodeDib(const unsigned char* file, size_t size);

// The message text of a fault (null for None).
const char* DibFaultText(DibFault fault);

// The fault whose text a refusal shows, and a line naming the check.
DibFault DibRefusalFault(DibRefusal refusal);
const char* DibRefusalText(DibRefusal refusal);
