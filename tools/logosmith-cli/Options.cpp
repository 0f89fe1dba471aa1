#include "tools/logosmith-cli/Options.h"

#include "tools/logosmith-cli/Subcommand.h"

#include <cctype>

namespace logosmith::cli {

Options::Options(const std::vector<std::string>& arguments,
                 const std::set<std::string>& valueOptions, const std::set<std::string>& flags) {
    bool onlyPositional = false;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& a = arguments[i];
        if (onlyPositional || a.size() < 2 || a.compare(0, 2, "--") != 0) {
            positional_.push_back(a);
            continue;
        }
        if (a == "--") {
            onlyPositional = true;
            continue;
        }
        const std::string name = a.substr(2);
        if (flags.count(name)) {
            flags_.insert(name);
        } else if (valueOptions.count(name)) {
            if (i + 1 >= arguments.size())
                throw UsageError("--" + name + " needs a value");
            if (!values_.emplace(name, arguments[++i]).second)
                throw UsageError("--" + name + " is given twice");
        } else {
            throw UsageError("unknown option " + a);
        }
    }
}

std::optional<std::string> Options::value(const std::string& name) const {
    const auto found = values_.find(name);
    if (found == values_.end())
        return std::nullopt;
    return found->second;
}

std::optional<int> Options::integer(const std::string& name, int low, int high) const {
    const auto text = value(name);
    if (!text)
        return std::nullopt;
    const std::string bad = "--" + name + " needs a whole number from " + std::to_string(low) +
                            " to " + std::to_string(high) + ", not \"" + *text + "\"";
    if (text->empty() || text->size() > 9)
        throw UsageError(bad);
    for (char c : *text)
        if (!std::isdigit(static_cast<unsigned char>(c)))
            throw UsageError(bad);
    const int number = std::stoi(*text);
    if (number < low || number > high)
        throw UsageError(bad);
    return number;
}

std::optional<Colour> Options::colour(const std::string& name) const {
    const auto text = value(name);
    if (!text)
        return std::nullopt;
    if (text->size() != 6)
        throw UsageError("--" + name + " needs a colour as RRGGBB, not \"" + *text + "\"");
    for (char c : *text)
        if (!std::isxdigit(static_cast<unsigned char>(c)))
            throw UsageError("--" + name + " needs a colour as RRGGBB, not \"" + *text + "\"");
    const unsigned long v = std::stoul(*text, nullptr, 16);
    return Colour{int((v >> 16) & 0xFF), int((v >> 8) & 0xFF), int(v & 0xFF)};
}

int Options::choice(const std::string& name, const std::vector<std::string>& names,
                    int fallback) const {
    const auto text = value(name);
    if (!text)
        return fallback;
    for (std::size_t i = 0; i < names.size(); ++i)
        if (*text == names[i])
            return int(i);
    std::string list;
    for (std::size_t i = 0; i < names.size(); ++i)
        list += (i == 0 ? "" : i + 1 == names.size() ? " or " : ", ") + names[i];
    throw UsageError("--" + name + " takes " + list + ", not \"" + *text + "\"");
}

} // namespace logosmith::cli
