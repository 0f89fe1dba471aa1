#pragma once

#include "separation/controls/ColourControlsModel.h"
#include "tools/logosmith-cli/Subcommand.h"

#include <optional>
#include <string>
#include <vector>

namespace logosmith::cli {

// What `convert` was asked to do: the picture, and the colour controls to set once it is loaded,
// as a person would set them in the window.
struct ConvertRequest {
    std::string input;
    std::string output;
    bool fit = true;
    std::optional<int> resizePercent; // 75, 50 or 25 (100 is accepted and changes nothing)
    InkChoice ink = InkChoice::Red;   // the radio button to select, unless userMode
    bool userMode = false;            // "R Cartridge" with userColor (black when not given)
    std::optional<int> threshold;
    std::optional<int> rValue;
    std::optional<int> lValue;
    std::optional<Colour> lColor;
    std::optional<Colour> userColor;
    std::vector<RgbControl> rgbTicked;
    DitherMode dither = DitherMode::None;
};

// Reads the arguments of `convert` into a request; throws UsageError.
ConvertRequest parseConvert(const std::vector<std::string>& arguments);

// Loads, fits, resizes and separates through the program's own colour controls; returns the
// preview. Throws Error when no pixels are left to separate.
Picture convertPicture(const ConvertRequest& request);

// A picture loaded and fitted as "Add Image" does and separated with the settings a load leaves
// and the given dithering: what `store` and `print` take when asked to dither.
Picture separateAfterLoad(const std::string& path, DitherMode dither,
                          Colour lColor = colours::black);

Subcommand convertSubcommand();

} // namespace logosmith::cli
