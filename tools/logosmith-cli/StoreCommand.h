#pragma once

#include "printdata/Density.h"
#include "separation/Separation.h"
#include "tools/logosmith-cli/Subcommand.h"

#include <optional>
#include <string>
#include <vector>

namespace logosmith::cli {

// What `store` was asked to do.
struct StoreRequest {
    std::string output;
    std::vector<std::string> logos; // 1 to 10, in the order they are stored
    Density density;
    // Given: the logos are pictures to load and separate with this dithering, not previews.
    std::optional<DitherMode> dither;
};

// Reads the arguments of `store`; throws UsageError.
StoreRequest parseStore(const std::vector<std::string>& arguments);

Subcommand storeSubcommand();

} // namespace logosmith::cli
