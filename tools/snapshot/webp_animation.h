// webp_animation.h — pictures gathered into one looping animated WebP file,
// through libwebp's animation encoder. The same pictures give the same bytes:
// the settings are fixed and the encoder runs on one thread.
#pragma once

#include <string>

#include "tools/snapshot/frame_picture.h"

struct WebpAnimation;

// An empty animation of that canvas size; null, with a message on standard
// error, when the encoder cannot be made.
WebpAnimation* OpenWebpAnimation(int width, int height);
// The picture comes up timeMs after the start and stays until the next one.
bool AddWebpPicture(WebpAnimation* animation, const FramePicture& picture, int timeMs);
// Ends the last picture at endMs and writes the file.
bool WriteWebpAnimation(WebpAnimation* animation, int endMs, const std::string& path);
void CloseWebpAnimation(WebpAnimation* animation);
