#pragma once

// Random logos for the stream tests: every pixel one of the colours the separation can meet in
// a preview, the user's colour included.

#include "separation/picture/Picture.h"

#include <random>

namespace logosmith::testlogos {

inline const Colour userColour{128, 0, 255};
inline const Colour palette[] = {colours::white, colours::black, colours::red,
                                 colours::green, colours::blue,  userColour};

inline Picture randomPicture(std::mt19937& random, int w, int h) {
    Picture p(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            p.setPixel(x, y, palette[random() % 6]);
    return p;
}

} // namespace logosmith::testlogos
