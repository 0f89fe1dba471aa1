#pragma once

// Printer command files as the program and logosmith-cli open them: read within the reader's
// bound, and refused with the reason when they hold no printer stream.

#include "printdata/reader/StreamReader.h"

#include <cstdint>
#include <string>
#include <vector>

namespace logosmith::prn {

// The bytes of a printer command file. Only a plain file of at most maxStreamBytes is read;
// anything else (larger, a folder, a pipe or device that would never end) is refused without
// reading more than that. Throws Error ("<path> is not a printer stream: ...") or FileError.
std::vector<std::uint8_t> readPrinterFile(const std::string& path);

// Refuses a reading that is no printer stream: reading stopped at a fault (named by its offset)
// or found no command at all. `name` names the stream in the message. Throws Error.
void requirePrinterStream(const Reading& reading, const std::string& name);

} // namespace logosmith::prn
