#include "tools/logosmith-cli/ConvertCommand.h"
#include "tools/logosmith-cli/PortsCommand.h"
#include "tools/logosmith-cli/PrintCommand.h"
#include "tools/logosmith-cli/SendCommand.h"
#include "tools/logosmith-cli/StoreCommand.h"
#include "tools/logosmith-cli/Subcommand.h"
#include "tools/logosmith-cli/TextCommand.h"
#include "tools/logosmith-cli/ViewCommand.h"

namespace logosmith::cli {

const std::vector<Subcommand>& subcommands() {
    static const std::vector<Subcommand> table = {
        convertSubcommand(), textSubcommand(),  storeSubcommand(), printSubcommand(),
        sendSubcommand(),    portsSubcommand(), viewSubcommand(),
    };
    return table;
}

} // namespace logosmith::cli
