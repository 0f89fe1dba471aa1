#pragma once

#include "tools/logosmith-cli/Subcommand.h"

namespace logosmith::cli {

Subcommand viewSubcommand();

} // namespace logosmith::cli
