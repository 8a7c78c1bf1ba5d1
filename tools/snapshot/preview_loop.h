// preview_loop.h — which of the program's 60 Hz frames the animated preview
// shows, and when.
//
// The water swaps its two textures every frame and the flame cycles three, so
// they repeat every 2 and 3 frames. The planet and the funnel swing between
// 20 and 395 degrees with a period of 151 frames, but only from frame 4 on:
// the angles 0 to 15 of the very first rise never come back. So the loop
// starts at frame 4 and runs 302 frames (5.03 s), two swings, which also
// brings the water back in step; the flame lands one texture off at the seam,
// which no one sees in a flicker. The pictures are spread evenly over those
// frames at about 25 a second, two or three frames apart: a fixed step of two
// would show only one of the water's textures, a step of three only one flame.
#pragma once

constexpr int kPreviewLeadInFrames = 4;
constexpr int kPreviewLoopFrames = 302;
constexpr int kPreviewLoopPictures = 126;

// The frame, counted from zero, that picture 0 .. kPreviewLoopPictures - 1 shows.
int PreviewPictureFrame(int picture);
// When that picture comes up, in milliseconds from the loop's start; picture
// kPreviewLoopPictures is the loop's end.
int PreviewPictureTimeMs(int picture);
