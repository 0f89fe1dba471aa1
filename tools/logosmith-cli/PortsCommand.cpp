#include "tools/logosmith-cli/PortsCommand.h"

#include "tools/logosmith-cli/Options.h"
#include "transport/devices/DeviceDiscovery.h"

#include <ostream>

namespace logosmith::cli {

namespace {

// One line a way to a printer, tab-separated so scripts can cut it: name, kind, path,
// description.
int run(const std::vector<std::string>& arguments, std::ostream& out) {
    const Options options(arguments, {}, {});
    if (!options.positional().empty())
        throw UsageError("ports takes no arguments");
    std::vector<FoundDevice> found = findPortDevices();
    for (FoundDevice& queue : findPrintQueues())
        found.push_back(std::move(queue));
    for (const FoundDevice& device : found)
        out << device.name << '\t' << kindName(device.kind) << '\t' << device.path << '\t'
            << device.description << '\n';
    return 0;
}

} // namespace

Subcommand portsSubcommand() {
    return Subcommand{"ports", "",
                      "list the serial lines, parallel ports, USB printers and print queues found "
                      "on this machine",
                      &run};
}

} // namespace logosmith::cli
