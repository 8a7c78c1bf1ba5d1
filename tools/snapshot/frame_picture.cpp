// frame_picture.cpp — reading a frame back from GL and writing it as PNG.
#include "tools/snapshot/frame_picture.h"

#include <GL/gl.h>
#include <stb_image_write.h>

#include <cstdio>
#include <cstring>

FramePicture CaptureFrame()
{
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    FramePicture picture;
    picture.width = viewport[2];
    picture.height = viewport[3];
    const size_t rowBytes = static_cast<size_t>(picture.width) * 3;
    std::vector<unsigned char> bottomUp(rowBytes * picture.height);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);  // rows of 3 * width bytes, no padding
    glReadPixels(0, 0, picture.width, picture.height, GL_RGB, GL_UNSIGNED_BYTE, bottomUp.data());

    // GL's first row is the bottom one; pictures start at the top.
    picture.rgb.resize(bottomUp.size());
    for (int y = 0; y < picture.height; ++y)
        std::memcpy(&picture.rgb[y * rowBytes], &bottomUp[(picture.height - 1 - y) * rowBytes], rowBytes);
    return picture;
}

FramePicture HalveFrame(const FramePicture& picture)
{
    FramePicture half;
    half.width = picture.width / 2;
    half.height = picture.height / 2;
    half.rgb.resize(static_cast<size_t>(half.width) * half.height * 3);
    auto at = [&picture](int x, int y, int channel) {
        return static_cast<int>(picture.rgb[(static_cast<size_t>(y) * picture.width + x) * 3 + channel]);
    };
    for (int y = 0; y < half.height; ++y)
        for (int x = 0; x < half.width; ++x)
            for (int c = 0; c < 3; ++c) {
                const int sum = at(2 * x, 2 * y, c) + at(2 * x + 1, 2 * y, c) + at(2 * x, 2 * y + 1, c) +
                                at(2 * x + 1, 2 * y + 1, c);
                half.rgb[(static_cast<size_t>(y) * half.width + x) * 3 + c] =
                    static_cast<unsigned char>((sum + 2) / 4);
            }
    return half;
}

FramePicture ComposeGrid(const std::vector<FramePicture>& tiles)
{
    const int tileWidth = tiles[0].width;
    const int tileHeight = tiles[0].height;
    FramePicture grid;
    grid.width = 2 * tileWidth;
    grid.height = 2 * tileHeight;
    grid.rgb.resize(static_cast<size_t>(grid.width) * grid.height * 3);
    const size_t tileRowBytes = static_cast<size_t>(tileWidth) * 3;
    for (size_t tile = 0; tile < 4 && tile < tiles.size(); ++tile) {
        const int left = static_cast<int>(tile % 2) * tileWidth;
        const int top = static_cast<int>(tile / 2) * tileHeight;
        for (int y = 0; y < tileHeight; ++y)
            std::memcpy(&grid.rgb[(static_cast<size_t>(top + y) * grid.width + left) * 3],
                        &tiles[tile].rgb[y * tileRowBytes], tileRowBytes);
    }
    return grid;
}

bool WritePicturePng(const FramePicture& picture, const std::string& path)
{
    if (!stbi_write_png(path.c_str(), picture.width, picture.height, 3, picture.rgb.data(), picture.width * 3)) {
        std::fprintf(stderr, "snapshot: cannot write %s\n", path.c_str());
        return false;
    }
    return true;
}
