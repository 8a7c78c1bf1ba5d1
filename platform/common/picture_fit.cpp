// picture_fit.cpp — the largest 4:3 rectangle, centred.
#include "platform/common/picture_fit.h"

PictureRect FitPicture(int width, int height)
{
    if (width <= 0 || height <= 0)
        return PictureRect{0, 0, 0, 0};
    // 64 bits: a width times three must not overflow on any drawable.
    long long pictureWidth = width, pictureHeight = height;
    if (pictureWidth * 3 > pictureHeight * 4)
        pictureWidth = pictureHeight * 4 / 3;
    else
        pictureHeight = pictureWidth * 3 / 4;
    const int fittedWidth = static_cast<int>(pictureWidth), fittedHeight = static_cast<int>(pictureHeight);
    return PictureRect{(width - fittedWidth) / 2, (height - fittedHeight) / 2, fittedWidth, fittedHeight};
}
