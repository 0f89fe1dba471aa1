#include "transport/SpoolerJob.h"

#include "platform/core/AtomicFile.h"

#include <chrono>
#include <thread>
#include <vector>

namespace logosmith {

bool SpoolerJob::BeginDoc(const std::string& documentName) {
    if (documentOpen) {
        status = 2;
        lastError_ = "A document is already open";
        return false;
    }
    documentOpen = false;
    startPending = true;
    status = 1;
    const std::string printer = defaultPrinterName();
    if (!job_.start(printer, documentName)) {
        lastError_ = job_.lastError();
        return false;
    }
    status = 0;
    startPending = false;
    documentOpen = true;
    return true;
}

bool SpoolerJob::Write(const std::string& bytes) {
    if (startPending || bytes.empty())
        return false;
    if (!documentOpen) {
        lastError_ = "No document is open";
        return false;
    }
    const bool written =
        job_.write(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    bytesWritten = written ? static_cast<std::uint32_t>(bytes.size()) : 0;
    if (!written)
        lastError_ = job_.lastError();
    return written;
}

bool SpoolerJob::EndDoc() {
    if (startPending)
        return false;
    if (!documentOpen) {
        lastError_ = "No document is open";
        return false;
    }
    if (!job_.finish()) {
        lastError_ = job_.lastError();
        return false;
    }
    documentOpen = false;
    return true;
}

void SpoolerJob::Abandon() noexcept {
    job_.cancel();
    documentOpen = false;
}

namespace {

void runSpoolProgress(SpoolMode mode, const std::function<void()>& progressStep) {
    if (mode == SpoolMode::Command)
        return;
    const int steps = mode == SpoolMode::Firmware ? kFirmwareSpoolSteps : kAlignmentSpoolSteps;
    for (int i = 0; i < steps; ++i) {
        if (progressStep)
            progressStep();
        if (mode == SpoolMode::Firmware)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

void spoolWholeFile(const std::string& file, SpoolMode mode,
                    const std::function<void()>& progressStep) {
    SpoolerJob job;
    if (!job.BeginDoc("Print"))
        throw TransferError(job.lastError());
    std::string bytes;
    try {
        const std::vector<std::uint8_t> content = readWholeFile(file);
        bytes.assign(content.begin(), content.end());
    } catch (...) {
        job.Abandon(); // an empty or partial document must not print
        throw;
    }
    if (!bytes.empty() && !job.Write(bytes)) {
        const std::string reason = job.lastError();
        job.Abandon();
        throw TransferError(reason);
    }
    if (!job.EndDoc())
        throw TransferError(job.lastError());
    runSpoolProgress(mode, progressStep);
}

} // namespace

void SpoolRawFile(const std::string& file, SpoolMode mode,
                  const std::function<void()>& progressStep) {
    spoolWholeFile(file, mode, progressStep);
}

} // namespace logosmith
