#pragma once

#include "separation/Separation.h"
#include "tools/logosmith-cli/Subcommand.h"

#include <optional>
#include <string>

namespace logosmith::cli {

// What `convert` was asked to do.
struct ConvertRequest {
    std::string input;
    std::string output;
    bool fit = true;
    std::optional<int> resizePercent; // 75, 50 or 25 (100 is accepted and changes nothing)
    SeparationSettings settings;      // as a load leaves them, then the options applied
};

// The separation settings right after a picture load: Red mode, sliders at 100, 360, 100.
SeparationSettings settingsAfterLoad();

// Reads the arguments of `convert` into a request; throws UsageError.
ConvertRequest parseConvert(const std::vector<std::string>& arguments);

// Loads, fits, resizes and separates as the program does; returns the preview. Throws Error
// when no pixels are left to separate.
Picture convertPicture(const ConvertRequest& request);

// A picture loaded and fitted as "Add Image" does and separated with the settings a load leaves
// and the given dithering: what `store` and `print` take when asked to dither.
Picture separateAfterLoad(const std::string& path, DitherMode dither,
                          Colour lColor = colours::black);

Subcommand convertSubcommand();

} // namespace logosmith::cli
