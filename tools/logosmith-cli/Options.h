#pragma once

#include "separation/picture/Colour.h"

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace logosmith::cli {

// Parses "--name value" options, "--flag" switches and positional arguments. Unknown options,
// missing values and repeated options throw UsageError.
class Options {
  public:
    Options(const std::vector<std::string>& arguments, const std::set<std::string>& valueOptions,
            const std::set<std::string>& flags);

    const std::vector<std::string>& positional() const { return positional_; }
    bool flag(const std::string& name) const { return flags_.count(name) != 0; }
    std::optional<std::string> value(const std::string& name) const;
    // The option as a whole number in [low, high]; throws UsageError otherwise.
    std::optional<int> integer(const std::string& name, int low, int high) const;
    // The option as six hexadecimal digits RRGGBB; throws UsageError otherwise.
    std::optional<Colour> colour(const std::string& name) const;
    // The position of the option's value in names (exact match), or fallback when the option
    // is not given; throws UsageError for a value not in names.
    int choice(const std::string& name, const std::vector<std::string>& names, int fallback) const;

  private:
    std::vector<std::string> positional_;
    std::map<std::string, std::string> values_;
    std::set<std::string> flags_;
};

} // namespace logosmith::cli
