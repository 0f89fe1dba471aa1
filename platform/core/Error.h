#pragma once

#include <stdexcept>
#include <string>

namespace logosmith {

// The one error hierarchy of the program. Lower layers throw these; the single error guard
// around every user action shows the message text in a box and lets the program go on.
class Error : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// A file could not be read, written, created or deleted.
class FileError : public Error {
  public:
    using Error::Error;
};

// A picture file was damaged, truncated, lying about its size, or of the wrong type.
class DecodeError : public Error {
  public:
    using Error::Error;
};

// A stored setting could not be read as the type it must have.
class SettingsError : public Error {
  public:
    using Error::Error;
};

// A port or the print spooler refused or lost data.
class TransferError : public Error {
  public:
    using Error::Error;
};

} // namespace logosmith
