#pragma once

#include "separation/Separation.h"
#include "tools/logosmith-cli/Options.h"

#include <optional>

namespace logosmith::cli {

// --dither none|diffusion|ordered|best; nothing when the option is not given.
inline std::optional<DitherMode> ditherOption(const Options& options) {
    if (!options.value("dither"))
        return std::nullopt;
    const DitherMode modes[] = {DitherMode::None, DitherMode::Diffusion, DitherMode::Ordered,
                                DitherMode::Best};
    return modes[options.choice("dither", {"none", "diffusion", "ordered", "best"}, 0)];
}

} // namespace logosmith::cli
