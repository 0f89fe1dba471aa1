#include "ConvertCommand.h"
#include "Subcommand.h"

namespace logosmith::cli {

// New subcommands ("store", "print", "send") add their line here.
const std::vector<Subcommand>& subcommands() {
    static const std::vector<Subcommand> table = {
        convertSubcommand(),
    };
    return table;
}

} // namespace logosmith::cli
