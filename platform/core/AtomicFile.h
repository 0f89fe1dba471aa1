#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace logosmith {

// Writes bytes to a temporary file in the target's folder (".logosmith-" and six letters),
// flushes it to disk and renames it over the target. Either the old file or the complete new
// one is there afterwards, never a truncated one; a replaced file keeps its permissions, a new
// one gets 0644. Throws FileError; the temporary file is removed on failure.
void writeFileAtomically(const std::string& path, const std::vector<std::uint8_t>& bytes);

// As above, the bytes coming from `produce`, which hands them to the writer it is given in as
// many pieces as it likes: a large file is written without being held whole. Writeback to the
// disk starts while it is written, so little is left to wait for at the end.
using ByteWriter = std::function<void(const std::uint8_t* data, std::size_t size)>;
void writeFileAtomically(const std::string& path,
                         const std::function<void(const ByteWriter&)>& produce);

// Removes the temporaries that writers killed between write and rename left in a folder: only
// plain files of ours named as writeFileAtomically names them, and only those no running
// writer still holds. Answers how many went; never throws (a leftover is no reason to stop).
int removeStaleTemporaries(const std::string& folder) noexcept;

// Reads a whole file into one buffer sized from the file (a file that grows while it is read
// is read to its end). Throws FileError.
std::vector<std::uint8_t> readWholeFile(const std::string& path);

bool fileExists(const std::string& path);
// Deletes a file if it is there. Throws FileError when it is there and cannot be deleted.
void deleteFileIfExists(const std::string& path);

} // namespace logosmith
