#include "transport/devices/SpoolerJob.h"

namespace logosmith {

bool SpoolerJob::BeginDoc(const std::string& documentName, const std::string& queue) {
    if (documentOpen) {
        status = 2;
        lastError_ = "A document is already open";
        return false;
    }
    documentOpen = false;
    startPending = true;
    status = 1;
    const std::string printer = queue.empty() ? defaultPrinterName() : namedPrinter(queue);
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

} // namespace logosmith
