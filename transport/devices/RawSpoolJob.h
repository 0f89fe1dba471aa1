#pragma once

#include "platform/core/Error.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace logosmith {

inline constexpr const char* kNoDefaultPrinter = "There is no default printer currently selected";

// The name of the default print queue (the user's choice, else the spooler's default).
// Throws TransferError: kNoDefaultPrinter when there is none, or a message saying the spooler
// cannot be reached.
std::string defaultPrinterName();

// The queue of this name as the spooler knows it. Throws TransferError when it has none of that
// name, or cannot be reached.
std::string namedPrinter(const std::string& queue);

struct PrintQueue {
    std::string name;
    std::string description;
    bool isDefault = false;
};
// The spooler's queues, the default one first; empty when the spooler does not answer.
std::vector<PrintQueue> printQueues();

// One raw document on a print queue, over libcups. Every step checks the spooler's answer; a
// failed step answers false and leaves the reason in lastError().
class RawSpoolJob {
  public:
    RawSpoolJob() = default;
    RawSpoolJob(const RawSpoolJob&) = delete;
    RawSpoolJob& operator=(const RawSpoolJob&) = delete;
    // A job still open here is cancelled, so half a document never prints.
    ~RawSpoolJob();

    // Creates a job with this title on the queue and starts its one raw document.
    bool start(const std::string& printer, const std::string& title);
    bool write(const std::uint8_t* data, std::size_t size);
    // Ends the document; the spooler then owns the job.
    bool finish();
    // Withdraws an unfinished job.
    void cancel() noexcept;

    bool isOpen() const { return jobId_ != 0; }
    int jobId() const { return jobId_; }
    const std::string& printer() const { return printer_; }
    const std::string& lastError() const { return lastError_; }

  private:
    void fail(const std::string& what);

    std::string printer_;
    int jobId_ = 0;
    std::string lastError_;
};

} // namespace logosmith
