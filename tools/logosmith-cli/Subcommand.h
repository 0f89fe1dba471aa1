#pragma once

#include <iosfwd>
#include <stdexcept>
#include <string>
#include <vector>

namespace logosmith::cli {

// Wrong use of the command line (unknown option, missing or bad value): exit status 2 with the
// subcommand's usage, as opposed to a failure of the work itself (status 1).
class UsageError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// One subcommand: `logosmith-cli NAME ARGS...`. Each lives in its own file and is listed once
// in the table of Subcommands.cpp.
struct Subcommand {
    const char* name;
    const char* usage;   // the arguments after the name
    const char* summary; // one line for the overview
    // Runs with the arguments after the name; returns the exit status. Throws UsageError for
    // bad arguments and logosmith::Error for failures of the work.
    int (*run)(const std::vector<std::string>& arguments, std::ostream& out);
};

const std::vector<Subcommand>& subcommands();

} // namespace logosmith::cli
