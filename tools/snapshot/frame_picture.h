// frame_picture.h — a frame read back from GL, and what snapshot makes of it.
#pragma once

#include <string>
#include <vector>

struct FramePicture {
    int width = 0;
    int height = 0;
    std::vector<unsigned char> rgb;  // top row first, 3 bytes a pixel
};

// The current viewport's pixels, as drawn so far into the back buffer.
FramePicture CaptureFrame();
// Box-filtered to half the width and height.
FramePicture HalveFrame(const FramePicture& picture);
// Four pictures of one size as a 2 x 2 grid: first row 0 and 1, second 2 and 3.
FramePicture ComposeGrid(const std::vector<FramePicture>& tiles);
// False, with a message on standard error, when the file cannot be written.
bool WritePicturePng(const FramePicture& picture, const std::string& path);
