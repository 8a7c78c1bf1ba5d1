// shading.cpp — turning a colour function of (s, t) into a picture, and the
// small colour helpers the texture builders share.
#include "assetgen.h"

#include <algorithm>
#include <cmath>
#include <thread>

float Clamp01(float x) { return std::clamp(x, 0.0f, 1.0f); }

float SmoothStep(float edge0, float edge1, float x)
{
    float k = Clamp01((x - edge0) / (edge1 - edge0));
    return k * k * (3.0f - 2.0f * k);
}

Rgb SampleRamp(std::span<const RampStop> stops, float x)
{
    if (stops.empty())
        return {0.0f, 0.0f, 0.0f};
    if (x <= stops.front().at)
        return stops.front().colour;
    for (size_t i = 1; i < stops.size(); ++i) {
        if (x <= stops[i].at) {
            float span = stops[i].at - stops[i - 1].at;
            float k = span > 0.0f ? (x - stops[i - 1].at) / span : 1.0f;
            return MixRgb(stops[i - 1].colour, stops[i].colour, k);
        }
    }
    return stops.back().colour;
}

namespace {

uint8_t ToByte(float value) { return static_cast<uint8_t>(std::lround(Clamp01(value) * 255.0f)); }

}  // namespace

namespace {

void ShadeRows(Picture* picture, int firstRow, int endRow, int samples, ShadeFunction shade, const void* context)
{
    float weight = 1.0f / static_cast<float>(samples * samples);
    float width = static_cast<float>(picture->width);
    float height = static_cast<float>(picture->height);
    float step = 1.0f / static_cast<float>(samples);
    size_t index = static_cast<size_t>(firstRow) * static_cast<size_t>(picture->width) * 3u;
    for (int y = firstRow; y < endRow; ++y) {
        for (int x = 0; x < picture->width; ++x) {
            Rgb sum{0.0f, 0.0f, 0.0f};
            for (int j = 0; j < samples; ++j) {
                float t = (static_cast<float>(y) + (static_cast<float>(j) + 0.5f) * step) / height;
                for (int i = 0; i < samples; ++i) {
                    float s = (static_cast<float>(x) + (static_cast<float>(i) + 0.5f) * step) / width;
                    sum = sum + shade(s, t, context);
                }
            }
            picture->pixels[index++] = ToByte(sum.r * weight);
            picture->pixels[index++] = ToByte(sum.g * weight);
            picture->pixels[index++] = ToByte(sum.b * weight);
        }
    }
}

}  // namespace

Picture ShadePicture(int width, int height, int samples, ShadeFunction shade, const void* context)
{
    Picture picture;
    picture.width = width;
    picture.height = height;
    picture.channels = 3;
    picture.pixels.resize(static_cast<size_t>(width) * static_cast<size_t>(height) * 3u);
    // Every pixel depends only on its own coordinates, so two threads filling
    // two halves give the same bytes as one.
    int middle = height / 2;
    std::thread upper(ShadeRows, &picture, middle, height, samples, shade, context);
    ShadeRows(&picture, 0, middle, samples, shade, context);
    upper.join();
    return picture;
}
