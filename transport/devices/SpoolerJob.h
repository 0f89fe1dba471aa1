#pragma once

#include "transport/devices/RawSpoolJob.h"

#include <cstdint>
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

    // Opens the default printer (or the queue named) and starts a raw document of that name.
    // Throws TransferError when there is no default printer or no such queue, or the spooler
    // cannot be reached.
    bool BeginDoc(const std::string& documentName, const std::string& queue = {});
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

} // namespace logosmith
