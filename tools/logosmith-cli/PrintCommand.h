#pragma once

#include "printdata/Density.h"
#include "separation/Separation.h"
#include "separation/picture/Colour.h"
#include "tools/logosmith-cli/Subcommand.h"

#include <optional>
#include <string>
#include <vector>

namespace logosmith::cli {

// What `print` was asked to do.
struct PrintRequest {
    std::string output;
    std::string picture; // taken as the preview: every pixel already an ink colour or paper
    Density density;
    bool centred = false;
    Colour lColor = colours::black;
    Colour userColor = colours::black;
    // Given: the picture is loaded and separated with this dithering, not taken as a preview.
    std::optional<DitherMode> dither;
};

// Reads the arguments of `print`; throws UsageError.
PrintRequest parsePrint(const std::vector<std::string>& arguments);

Subcommand printSubcommand();

} // namespace logosmith::cli
