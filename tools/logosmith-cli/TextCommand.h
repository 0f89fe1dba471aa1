#pragma once

#include "tools/logosmith-cli/Subcommand.h"

namespace logosmith::cli {

Subcommand textSubcommand();

} // namespace logosmith::cli
