// dib_reader.h — decodes a BMP (device-independent bitmap) file into packed RGB.
#pragma once

#include <cstdint>

// A decoded image: rows of width RGB triples, no fill bytes, bottom row first.
// The record and its pixel block come from malloc; FreeRgbImage gives both back.
struct RgbImage {
    int32_t width;            // pixels per row
    int32_t height;           // number of rows
    unsigned char* pixels;    // 3 * width * height bytes
};

// Reads one BMP file (with or without its 14-byte file header). On failure
// shows one "Error" box and returns null, leaving nothing behind.
RgbImage* ReadDibFile(const char* path);

// Frees what ReadDibFile returned: the pixels, then the record. Null is fine.
void FreeRgbImage(RgbImage* image);
