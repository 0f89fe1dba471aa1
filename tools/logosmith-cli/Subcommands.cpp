#include "ConvertCommand.h"
#include "PrintCommand.h"
#include "SendCommand.h"
#include "StoreCommand.h"
#include "Subcommand.h"

namespace logosmith::cli {

const std::vector<Subcommand>& subcommands() {
    static const std::vector<Subcommand> table = {
        convertSubcommand(),
        storeSubcommand(),
        printSubcommand(),
        sendSubcommand(),
    };
    return table;
}

} // namespace logosmith::cli
