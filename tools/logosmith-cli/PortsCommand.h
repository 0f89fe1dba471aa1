#pragma once

#include "tools/logosmith-cli/Subcommand.h"

namespace logosmith::cli {

Subcommand portsSubcommand();

} // namespace logosmith::cli
