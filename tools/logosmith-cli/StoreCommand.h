#pragma once

#include "printdata/Density.h"
#include "tools/logosmith-cli/Subcommand.h"

#include <string>
#include <vector>

namespace logosmith::cli {

// What `store` was asked to do.
struct StoreRequest {
    std::string output;
    std::vector<std::string> logos; // 1 to 10, in the order they are stored
    Density density;
};

// Reads the arguments of `store`; throws UsageError.
StoreRequest parseStore(const std::vector<std::string>& arguments);

Subcommand storeSubcommand();

} // namespace logosmith::cli
