#pragma once

#include <cstdint>
#include <string>
#include <type_traits>
#include <vector>

namespace logosmith {

// Writes bytes to a temporary file in the target's folder, flushes it to disk and renames it
// over the target. Either the old file or the complete new one is there afterwards, never a
// truncated one. Throws FileError; the temporary file is removed on failure.
void writeFileAtomically(const std::string& path, const std::vector<std::uint8_t>& bytes);

// Reads a whole file. Throws FileError.
std::vector<std::uint8_t> readWholeFile(const std::string& path);

bool fileExists(const std::string& path);
// Deletes a file if it is there. Throws FileError when it is there and cannot be deleted.
void deleteFileIfExists(const std::string& path);

// Runs an action on a file that must not outlive it (a scratch command file) and deletes the
// file afterwards, whatever the action's outcome. An error of the action itself is what
// reaches the caller; a failed deletion is reported only after a successful action.
template <class Action> decltype(auto) runThenDelete(const std::string& file, Action&& action) {
    try {
        if constexpr (std::is_void_v<decltype(action())>) {
            action();
            deleteFileIfExists(file);
        } else {
            auto result = action();
            deleteFileIfExists(file);
            return result;
        }
    } catch (...) {
        try {
            deleteFileIfExists(file);
        } catch (...) {
            // the action's own error says more than a failed clean-up
        }
        throw;
    }
}

} // namespace logosmith
