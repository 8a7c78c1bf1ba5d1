// preview_loop.cpp — the preview's frames and their times.
#include "tools/snapshot/preview_loop.h"

int PreviewPictureFrame(int picture)
{
    return kPreviewLeadInFrames + picture * kPreviewLoopFrames / kPreviewLoopPictures;
}

int PreviewPictureTimeMs(int picture)
{
    constexpr int kFramesPerSecond = 60;
    const int frames = PreviewPictureFrame(picture) - kPreviewLeadInFrames;
    return (frames * 1000 + kFramesPerSecond / 2) / kFramesPerSecond;
}
