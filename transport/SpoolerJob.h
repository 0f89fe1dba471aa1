#pragma once

#include "platform/devices/RawSpoolJob.h"

#include <cstdint>
#include <functional>
#include <string>

namespace logosmith {

// One raw document for the default printer. A failed step answers false; lastError() says why.
class SpoolerJob {
  public:
    // 0: a document is open and writable; 1: a start began (and is kept if it failed);
    // 2: a start was refused because a document is already open.
    std::int32_t status = 0;
    bool startPending = false;
    bool documentOpen = false;
    std::uint32_t bytesWritten = 0;

    // Opens the default printer and starts a raw document of that name. Throws TransferError
    // when there is no default printer or the spooler cannot be reached.
    bool BeginDoc(const std::string& documentName);
    bool Write(const std::string& bytes);
    bool EndDoc();
    // Withdraws an open document, so that none of it prints.
    void Abandon() noexcept;

    const std::string& lastError() const { return lastError_; }
    const std::string& printerName() const { return job_.printer(); }

  private:
    RawSpoolJob job_;
    std::string lastError_;
};

enum class SpoolMode { Command = 1, Firmware = 2, Alignment = 3 };

inline constexpr int kFirmwareSpoolSteps = 100;
inline constexpr int kAlignmentSpoolSteps = 52;

// Sends a whole file as one raw document named "Print" to the default printer, then runs the
// mode's progress steps (firmware: 100 with 10 ms pauses; alignment: 52). The file is only read.
// Throws TransferError when the spooler does not take the whole document, FileError when the
// file cannot be read.
void SpoolRawFile(const std::string& file, SpoolMode mode,
                  const std::function<void()>& progressStep = {});

} // namespace logosmith
