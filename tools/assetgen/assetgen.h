// assetgen.h — the generator of Marivelt's data: the twelve textures in
// Graphics/ and the four sound cues in Sounds/, all computed from fixed seeds
// so that every build writes the same bytes. Shared by the assetgen tool and
// the tests; depends on FreeType (glyph sheet) and stb (contact sheet).
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "state/data_files.h"

// ---- pictures ----------------------------------------------------------------

// A generated picture with its rows bottom first, as GL and a BMP file keep
// them: pixel (x, y) sits at texture coordinate ((x + 0.5) / width,
// (y + 0.5) / height), so t = 0 is the first row.
struct Picture {
    int width = 0;
    int height = 0;
    int channels = 3;             // 3: red, green, blue; 1: grey (a palettised file)
    std::vector<uint8_t> pixels;  // width * height * channels bytes
};

struct Rgb {
    float r, g, b;  // 0 to 1
};

inline Rgb operator+(Rgb a, Rgb b) { return {a.r + b.r, a.g + b.g, a.b + b.b}; }
inline Rgb operator*(Rgb a, float k) { return {a.r * k, a.g * k, a.b * k}; }
inline Rgb operator*(Rgb a, Rgb b) { return {a.r * b.r, a.g * b.g, a.b * b.b}; }
inline Rgb MixRgb(Rgb a, Rgb b, float k) { return a * (1.0f - k) + b * k; }

// A point of a colour ramp; stops are listed with rising positions.
struct RampStop {
    float at;
    Rgb colour;
};

Rgb SampleRamp(std::span<const RampStop> stops, float x);
float Clamp01(float x);
float SmoothStep(float edge0, float edge1, float x);

// Computes a colour per texture coordinate (s, t), both 0 to 1.
using ShadeFunction = Rgb (*)(float s, float t, const void* context);

// Fills a new RGB picture, averaging samples x samples shader calls per pixel
// so that thin lines come out anti-aliased.
Picture ShadePicture(int width, int height, int samples, ShadeFunction shade, const void* context);

// ---- noise -------------------------------------------------------------------

uint32_t HashInts(uint32_t seed, int32_t a, int32_t b, int32_t c);
float HashUnit(uint32_t seed, int32_t a, int32_t b, int32_t c);  // 0 to 1

// Gradient noise, about -1 to 1, repeating every period lattice units along
// each axis (pass a large period for no visible repetition).
float GradientNoise2(float x, float y, int periodX, int periodY, uint32_t seed);
float GradientNoise3(float x, float y, float z, int periodX, int periodY, int periodZ, uint32_t seed);

// Fractal sums of gradient noise: each octave doubles the frequency and the
// period and scales the amplitude by gain; the result is mapped to about 0 to 1.
float Fbm2(float x, float y, int periodX, int periodY, int octaves, float gain, uint32_t seed);
float Fbm3(float x, float y, float z, int periodX, int periodY, int periodZ, int octaves,
           float gain, uint32_t seed);

// Distances from (x, y) to the nearest and second-nearest feature point of a
// repeating cell grid; each cell's point circles its home by phase radians.
struct CellDistances {
    float nearest;
    float second;
};
CellDistances CellNoise2(float x, float y, int periodX, int periodY, float phase, uint32_t seed);

// A small deterministic random sequence (splitmix64) for placing things.
struct RandomSequence {
    uint64_t state;
};
uint32_t NextRandom(RandomSequence* sequence);
float NextRandomUnit(RandomSequence* sequence);  // 0 to 1

// ---- the textures ------------------------------------------------------------

Picture BuildWaterPicture(int phase);  // 0 or 1
Picture BuildPoolBottomPicture();
Picture BuildPoolSidePicture();
Picture BuildFirePolePicture();
Picture BuildFlamePicture(int phase);  // 0, 1 or 2
Picture BuildTornadoPicture();
Picture BuildEarthPicture();
Picture BuildPlanetPicture();

// The water pattern shared by the surface and the light on the pool bottom:
// caustic brightness 0 to 1 at (s, t), repeating in both directions.
float WaterCaustics(float s, float t, float phase);

// The glyph sheet: 256 x 256 grey, 16 x 16 cells of 16 x 16 pixels, cell i at
// column i mod 16 and row i div 16 counted from the top; character c in cell
// c + 96. False with a message when the font cannot be used.
constexpr int kGlyphCellSize = 16;
constexpr int kGlyphCellOffset = 96;
constexpr int kGlyphAdvance = 10;
bool BuildFontSheet(const char* fontPath, Picture* sheet, std::string* error);

// ---- the sounds --------------------------------------------------------------

constexpr int kSoundRate = 22050;  // samples per second, mono

std::vector<int16_t> BuildChangeSceneSound();
std::vector<int16_t> BuildTornadoSound();
std::vector<int16_t> BuildKeyPressSound();
std::vector<int16_t> BuildMoveSound();

// ---- files -------------------------------------------------------------------

// A BMP file with the 14-byte file header and the 40-byte information header,
// 24-bit for RGB pictures, 8-bit with a 256-entry grey palette for grey ones.
// False when the picture is inconsistent.
bool EncodeBmp(const Picture& picture, std::vector<uint8_t>* file);

void AppendU16(std::vector<uint8_t>* bytes, uint32_t value);  // little-endian
void AppendU32(std::vector<uint8_t>* bytes, uint32_t value);

// A RIFF WAVE file of 16-bit mono PCM at kSoundRate.
std::vector<uint8_t> EncodeWav(std::span<const int16_t> samples);

constexpr const char* kDefaultGlyphFont = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono-Bold.ttf";

// One generated file: its path relative to the run folder and its bytes.
struct AssetFile {
    std::string path;
    std::vector<uint8_t> bytes;
};

// The twelve textures in slot order.
bool BuildTexturePictures(const char* fontPath, std::vector<Picture>* pictures, std::string* error);

// All sixteen files, textures first in slot order, then the cues in their order.
bool BuildAssetFiles(const char* fontPath, std::vector<AssetFile>* files, std::string* error);

// Writes the files below root, creating Graphics/ and Sounds/ as needed.
bool WriteAssetFiles(const std::string& root, const std::vector<AssetFile>& files, std::string* error);

// One PNG showing the twelve textures as pictures (top row up), labelled with
// their file names in the glyph sheet's own font.
bool WriteContactSheet(const std::string& path, const std::vector<Picture>& pictures, std::string* error);
