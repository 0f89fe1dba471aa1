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

// Copies a file to a new private temporary file and answers its path. Only a regular file of
// at most what a printer stream can be (16 MB) is copied. Throws FileError; no temporary file
// is left then.
std::string copyToTemporaryFile(const std::string& file);

Subcommand sendSubcommand();

} // namespace logosmith::cli
