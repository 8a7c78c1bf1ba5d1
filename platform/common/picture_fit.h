// picture_fit.h — the program's 4:3 picture in a drawable of any shape: the
// largest 4:3 rectangle that fits, centred, black bars beside it. The SDL
// platform draws the picture there on a compositor's output and in a
// resized window; the page lays its canvas out the same way in full screen.
#pragma once

struct PictureRect {
    int x, y;           // lower left corner, GL's window coordinates, pixels
    int width, height;  // width:height is 4:3 within a pixel
};

// The largest 4:3 rectangle in a drawable of width x height pixels, centred
// (an odd margin's extra pixel on the far side); empty for an empty drawable.
PictureRect FitPicture(int width, int height);
