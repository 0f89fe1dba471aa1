#pragma once

#include "printdata/Density.h"
#include "tools/logosmith-cli/Options.h"

namespace logosmith::cli {

// --density single|double: the resolution dialog's first two choices, single by default.
inline Density densityOption(const Options& options) {
    const int choice = options.choice("density", {"single", "double"}, 0);
    return densityForIndex(choice + 1);
}

} // namespace logosmith::cli
