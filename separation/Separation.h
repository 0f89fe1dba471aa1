#pragma once

#include "separation/picture/Colour.h"
#include "separation/picture/Picture.h"

namespace logosmith {

// Which colour the R cartridge takes and which rule classifies the pixels. None is the state
// before the first picture load: no rule chosen yet.
enum class InkMode { None = 0, Red = 1, Green = 2, Blue = 3, BlackOnly = 4, User = 5 };

enum class PixelClass { LInk, RInk, Paper };

// The settings of the separation. The member initialisers are the start-up values; a picture
// load resets some of them (the main window does that).
//
// Two behaviours go beyond the plain rule and are deliberate:
// - invertColor in BlackOnly mode exchanges the black and paper decisions, so the box always
//   does something visible instead of being silently dead in that mode;
// - swapBlackWhite is honoured in User mode as in every other mode: L-ink pixels are painted
//   paperColor and paper pixels lColor.
// InkMode::None (and any value outside the enumeration) separates like BlackOnly: with no R ink
// chosen the preview still holds only lColor and paper, which the raster encoder relies on.
struct SeparationSettings {
    InkMode inkMode = InkMode::None;
    Colour targetColor{0, 0, 0};
    int rValue = 0; // "R VALUE", 0..255
    int lValue = 0; // "L VALUE", 0..255; the darkness threshold in BlackOnly mode
    Colour lColor{0, 0, 0};
    Colour userColor{0, 0, 0};
    bool invertColor = false;
    bool swapRedGreen = false;
    bool swapRedBlue = false;
    bool swapGreenBlue = false;
    bool swapBlackWhite = false;
    bool liveUpdate = true;
    bool fitOnLoad = true;

    // Fixed display colours; the raster encoder tells the inks apart by these exact values.
    static constexpr Colour redInk{255, 0, 0};
    static constexpr Colour greenInk{0, 255, 0};
    static constexpr Colour blueInk{0, 0, 255};
    static constexpr Colour paperColor{255, 255, 255};

    friend bool operator==(const SeparationSettings&, const SeparationSettings&) = default;
};

// The fully saturated, full-brightness colour of the hue at a THRESHOLD slider position
// (0..360, 360 counting as 0). Positions outside that range wrap around the colour circle.
Colour hueToTarget(int position);

// The class of one working pixel under the settings (before painting).
PixelClass classifyPixel(const SeparationSettings& settings, Colour pixel);

// The preview colour of one working pixel: the reference form of the separation, one pixel at
// a time. Values out of range in the settings (allowances, colours) are clamped to 0..255.
Colour separatePixel(const SeparationSettings& settings, Colour pixel);

// The display colour of a class under the settings (mode colour, lColor, paper, and the
// Exchange Black & White rule).
Colour paintClass(const SeparationSettings& settings, PixelClass pixelClass);

// Separates the whole working picture into preview, pixel for pixel equal to separatePixel.
// Resizes preview to the working picture's size when it differs; an empty working picture
// leaves preview untouched. working and preview may be the same picture.
void rebuildPreview(const SeparationSettings& settings, const Picture& working, Picture& preview);

// The swatch tint of a strength 0..255 in a pure colour: every channel that is 255 stays 255,
// every channel that is 0 becomes 255 - strength. Red, green, blue and black (grey tint) are the
// colours the window uses; other colours blend linearly. Strength is clamped to 0..255.
Colour tintOf(int strength, Colour pure);

} // namespace logosmith
