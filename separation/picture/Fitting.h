#pragma once

#include "separation/picture/Picture.h"

namespace logosmith {

// The widest picture that fitting leaves alone: the printable width in dots.
constexpr int maxFitWidth = 255;

struct PictureSize {
    int width = 0;
    int height = 0;
};

// The size fitting gives a picture of width x height (sides up to Picture::maxSide): unchanged
// up to maxFitWidth wide, else both sides taken to 95 per cent, floored, until it fits.
PictureSize fittedSize(int width, int height);

// Shrinks a picture wider than maxFitWidth in steps of 95 per cent (width and height floored
// together at each step), then stretches it there nearest-pixel. A narrower picture comes
// back as a same-size copy. A very wide, low picture can end with height 0.
Picture fitToWidth(const Picture& picture);

// The base picture stretched nearest-pixel to floor(percent of each side); 100 gives a copy.
// The menu offers 100, 75, 50 and 25; any percentage from 1 to 100 works. Other values throw
// std::invalid_argument.
Picture resizeByPercent(const Picture& base, int percent);

} // namespace logosmith
