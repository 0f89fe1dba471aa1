#pragma once

#include "separation/picture/Colour.h"
#include "separation/picture/Picture.h"

#include <stop_token>

namespace logosmith {

// Which colour the R cartridge takes and which rule classifies the pixels. None is the state
// before the first picture load: no rule chosen yet.
enum class InkMode { None = 0, Red = 1, Green = 2, Blue = 3, BlackOnly = 4, User = 5 };

enum class PixelClass { LInk, RInk, Paper };

// How the preview renders the tones between the inks. None is the plain separation, one class
// per pixel by its scores; it stays the default. Diffusion (serpentine Floyd-Steinberg error
// diffusion: close to the picture and quick) and Ordered (a fixed 16 x 16 Bayer threshold matrix,
// so a pixel's dot depends only on its own colour and place and a small edit changes only the
// pixels edited) print the picture as a pattern of L-ink, R-ink and paper dots whose average
// matches it in linear light. Best starts from the diffusion's dots and tries each dot in each
// ink it may take, keeping every change that brings the picture and the dots, both blurred like
// a printed dot (a Gaussian of sigma 1.5 dots) and compared in linear light, closer together,
// until a sweep over the picture gains next to nothing: closer still on photographs, and some
// tens of times slower than the diffusion.
//
// Under dithering the settings act as follows:
// - The channel exchanges act on each pixel first, as without dithering.
// - THRESHOLD and R VALUE choose which pixels may take R ink, with the plain rule's own scores:
//   a pixel may when its colour score (distance from the THRESHOLD colour less the R VALUE
//   allowances) is below its black score (its channel sum less the L VALUE allowance), or
//   equal to it outside Red mode. The paper score plays no part, so light tints of the
//   THRESHOLD colour may take R ink too. Other pixels get only L ink and paper; Off has no R ink.
// - How much of each a pixel gets: the mix of the allowed inks and paper whose colour, in linear
//   light, lies nearest the pixel's colour (the inks' colours being lColor, the mode's R-ink
//   colour and white).
// - L VALUE sets how thickly the L ink is laid: an L share w becomes k*w / (1 + (k - 1)*w),
//   k = 2^((L VALUE - 100) / 50), and R ink and paper share the rest in their old ratio. At 100,
//   where every load puts it, the shares are the picture's own; a spot of half L ink gets 2/3 at
//   150, 4/5 at 200, 1/3 at 50 and 1/5 at 0. Full black and paper stay as they are.
// - Invert Color then exchanges the dots' inks as it exchanges the classes without dithering:
//   L and R dots in Red, Green and Blue mode, L dots and paper in User and Off mode. Exchange
//   Black & White exchanges the display colours of L dots and paper, as without dithering.
// Every preview pixel stays exactly one of the three display colours of paintClass.
enum class DitherMode { None = 0, Diffusion = 1, Ordered = 2, Best = 3 };

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
    DitherMode dither = DitherMode::None; // any other value separates as None

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

// Separates the whole working picture into preview: with dither None pixel for pixel equal to
// separatePixel, otherwise dithered as described at DitherMode. Resizes preview to the working
// picture's size when it differs; an empty working picture leaves preview untouched. working and
// preview may be the same picture.
void rebuildPreview(const SeparationSettings& settings, const Picture& working, Picture& preview);
// The same, for work that may be overtaken: with dither Best it gives up when stop is requested
// and returns false, leaving preview unfinished. True when the preview is finished.
bool rebuildPreview(const SeparationSettings& settings, const Picture& working, Picture& preview,
                    const std::stop_token& stop);

// The swatch tint of a strength 0..255 in a pure colour: every channel that is 255 stays 255,
// every channel that is 0 becomes 255 - strength. Red, green, blue and black (grey tint) are the
// colours the window uses; other colours blend linearly. Strength is clamped to 0..255.
Colour tintOf(int strength, Colour pure);

} // namespace logosmith
