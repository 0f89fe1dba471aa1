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

// Reads the arguments of `convert` into a request; throws UsageError.
ConvertRequest parseConvert(const std::vector<std::string>& arguments);

// Loads, fits, resizes and separates as the program does; returns the preview. Throws Error
// when no pixels are left to separate.
Picture convertPicture(const ConvertRequest& request);

Subcommand convertSubcommand();

} // namespace logosmith::cli
