// icongen — draws the desktop icon from the demo's own art: the planet
// texture wrapped onto a lit globe, on a transparent background.
//   icongen PLANET.bmp SIZE OUT.png
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <stb/stb_image_write.h>

#include "image/dib_reader.h"
#include "platform/headless/headless.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kTilt = 0.35;  // radians the globe leans towards the viewer
constexpr int kSamples = 4;     // per axis, for smooth edges

struct Rgba {
    double r, g, b, a;
};

// Colour of the globe at a point of the unit disk seen head-on, or none.
Rgba SampleGlobe(const RgbImage* map, double x, double y)
{
    const double rr = x * x + y * y;
    if (rr > 1.0)
        return Rgba{0, 0, 0, 0};
    const double z = std::sqrt(1.0 - rr);
    // Tilt about the X axis so the northern cap shows.
    const double ty = y * std::cos(kTilt) + z * std::sin(kTilt);
    const double tz = -y * std::sin(kTilt) + z * std::cos(kTilt);
    const double longitude = std::atan2(x, tz);
    const double latitude = std::asin(std::fmax(-1.0, std::fmin(1.0, ty)));
    int column = static_cast<int>((longitude / (2 * kPi) + 0.5) * map->width) % map->width;
    int row = static_cast<int>((latitude / kPi + 0.5) * (map->height - 1));  // bottom row first
    if (column < 0)
        column += map->width;
    const unsigned char* texel = map->pixels + 3 * (static_cast<size_t>(row) * map->width + column);
    // Light from the upper left, with a soft terminator.
    const double light = std::fmax(0.0, x * -0.45 + y * 0.55 + z * 0.70);
    const double shade = 0.25 + 0.85 * light;
    return Rgba{texel[0] * shade, texel[1] * shade, texel[2] * shade, 255.0};
}

unsigned char ToByte(double value)
{
    return static_cast<unsigned char>(std::lround(std::fmax(0.0, std::fmin(255.0, value))));
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: icongen PLANET.bmp SIZE OUT.png\n");
        return 2;
    }
    const int size = std::atoi(argv[2]);
    if (size < 16 || size > 1024) {
        std::fprintf(stderr, "icongen: size must be 16 to 1024\n");
        return 2;
    }
    HeadlessReset();
    RgbImage* map = ReadDibFile(argv[1]);
    if (map == nullptr) {
        std::fprintf(stderr, "icongen: %s\n", HeadlessBoxes().empty() ? "cannot read the map"
                                                                       : HeadlessBoxes()[0].text.c_str());
        return 1;
    }
    std::vector<unsigned char> icon(static_cast<size_t>(size) * size * 4);
    const double radius = size * 0.46;
    for (int py = 0; py < size; ++py) {
        for (int px = 0; px < size; ++px) {
            Rgba sum{0, 0, 0, 0};
            for (int sy = 0; sy < kSamples; ++sy) {
                for (int sx = 0; sx < kSamples; ++sx) {
                    const double x = (px + (sx + 0.5) / kSamples - size / 2.0) / radius;
                    const double y = (size / 2.0 - (py + (sy + 0.5) / kSamples)) / radius;
                    const Rgba sample = SampleGlobe(map, x, y);
                    // Colours are weighted by coverage so the edge blends cleanly.
                    sum = Rgba{sum.r + sample.r, sum.g + sample.g, sum.b + sample.b, sum.a + sample.a};
                }
            }
            unsigned char* out = &icon[(static_cast<size_t>(py) * size + px) * 4];
            const double coverage = sum.a / 255.0;
            out[0] = coverage > 0 ? ToByte(sum.r / coverage) : 0;
            out[1] = coverage > 0 ? ToByte(sum.g / coverage) : 0;
            out[2] = coverage > 0 ? ToByte(sum.b / coverage) : 0;
            out[3] = ToByte(sum.a / (kSamples * kSamples));
        }
    }
    FreeRgbImage(map);
    if (!stbi_write_png(argv[3], size, size, 4, icon.data(), size * 4)) {
        std::fprintf(stderr, "icongen: cannot write %s\n", argv[3]);
        return 1;
    }
    return 0;
}
