#pragma once

#include "tools/logosmith-cli/Subcommand.h"
#include "transport/PortSettings.h"

#include <string>
#include <vector>

namespace logosmith::cli {

// What `send` was asked to do.
struct SendRequest {
    std::string file;
    PortSettings port; // indices into the port dialog's lists
};

// Reads the arguments of `send`; throws UsageError.
SendRequest parseSend(const std::vector<std::string>& arguments);

// Only a regular file of at most what a printer stream can be (16 MB) is sent: anything else
// (a device, a picture, a disk image) is refused before a port is opened. Throws FileError.
void requireSendableFile(const std::string& file);

Subcommand sendSubcommand();

} // namespace logosmith::cli
