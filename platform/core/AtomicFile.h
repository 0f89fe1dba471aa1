#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace logosmith {

// Writes bytes to a temporary file in the target's folder (".logosmith-" and six letters),
// flushes it to disk and renames it over the target. Either the old file or the complete new
// one is there afterwards, never a truncated one; a replaced file keeps its permissions, a new
// one gets 0644. Throws FileError; the temporary file is removed on failure.
void writeFileAtomically(const std::string& path, const std::vector<std::uint8_t>& bytes);

// Removes the temporaries that writers killed between write and rename left in a folder: only
// plain files of ours named as writeFileAtomically names them, and only those no running
// writer still holds. Answers how many went; never throws (a leftover is no reason to stop).
int removeStaleTemporaries(const std::string& folder) noexcept;

// Reads a whole file. Throws FileError.
std::vector<std::uint8_t> readWholeFile(const std::string& path);

bool fileExists(const std::string& path);
// Deletes a file if it is there. Throws FileError when it is there and cannot be deleted.
void deleteFileIfExists(const std::string& path);

} // namespace logosmith
