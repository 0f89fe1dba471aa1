#include "transport/devices/RawSpoolJob.h"

#include <algorithm>
#include <cups/cups.h>

namespace logosmith {

namespace {

// Finding no default says nothing about why: ask whether the scheduler answers at all.
bool spoolerAnswers() {
    http_t* http = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(), 1,
                                5000, nullptr);
    if (!http)
        return false;
    httpClose(http);
    return true;
}

std::string lastCupsMessage() {
    const char* text = cupsLastErrorString();
    return text && *text ? text : ippErrorString(cupsLastError());
}

} // namespace

std::string defaultPrinterName() {
    cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, nullptr, nullptr);
    if (!dest) {
        if (!spoolerAnswers())
            throw TransferError(std::string("The print spooler cannot be reached at ") +
                                cupsServer());
        throw TransferError(kNoDefaultPrinter);
    }
    std::string name = dest->name;
    cupsFreeDests(1, dest);
    return name;
}

std::string namedPrinter(const std::string& queue) {
    cups_dest_t* dest = cupsGetNamedDest(CUPS_HTTP_DEFAULT, queue.c_str(), nullptr);
    if (!dest) {
        if (!spoolerAnswers())
            throw TransferError(std::string("The print spooler cannot be reached at ") +
                                cupsServer());
        throw TransferError("There is no printer queue named \"" + queue + "\"");
    }
    std::string name = dest->name;
    cupsFreeDests(1, dest);
    return name;
}

std::vector<PrintQueue> printQueues() {
    cups_dest_t* dests = nullptr;
    const int count = cupsGetDests2(CUPS_HTTP_DEFAULT, &dests);
    std::vector<PrintQueue> queues;
    for (int i = 0; i < count; ++i) {
        // Instances (queue/instance) are option sets of a queue, not queues of their own.
        if (dests[i].instance)
            continue;
        const char* info = cupsGetOption("printer-info", dests[i].num_options, dests[i].options);
        queues.push_back({dests[i].name, info ? info : "", dests[i].is_default != 0});
    }
    cupsFreeDests(count, dests);
    std::stable_partition(queues.begin(), queues.end(),
                          [](const PrintQueue& queue) { return queue.isDefault; });
    return queues;
}

RawSpoolJob::~RawSpoolJob() {
    cancel();
}

void RawSpoolJob::fail(const std::string& what) {
    lastError_ = what + " (" + lastCupsMessage() + ")";
}

bool RawSpoolJob::start(const std::string& printer, const std::string& title) {
    if (isOpen()) {
        lastError_ = "A document is already open on " + printer_;
        return false;
    }
    printer_ = printer;
    const int id = cupsCreateJob(CUPS_HTTP_DEFAULT, printer.c_str(), title.c_str(), 0, nullptr);
    if (id == 0) {
        fail("The printer " + printer + " refused the job");
        return false;
    }
    jobId_ = id;
    if (cupsStartDocument(CUPS_HTTP_DEFAULT, printer.c_str(), id, title.c_str(), CUPS_FORMAT_RAW,
                          1) != HTTP_STATUS_CONTINUE) {
        fail("The printer " + printer + " refused the document");
        cancel();
        return false;
    }
    return true;
}

bool RawSpoolJob::write(const std::uint8_t* data, std::size_t size) {
    if (!isOpen()) {
        lastError_ = "No document is open";
        return false;
    }
    if (cupsWriteRequestData(CUPS_HTTP_DEFAULT, reinterpret_cast<const char*>(data), size) !=
        HTTP_STATUS_CONTINUE) {
        fail("The print spooler did not take the data for " + printer_);
        return false;
    }
    return true;
}

bool RawSpoolJob::finish() {
    if (!isOpen()) {
        lastError_ = "No document is open";
        return false;
    }
    const ipp_status_t status = cupsFinishDocument(CUPS_HTTP_DEFAULT, printer_.c_str());
    if (status > IPP_STATUS_OK_EVENTS_COMPLETE) {
        fail("The print spooler did not accept the document for " + printer_);
        return false;
    }
    jobId_ = 0;
    return true;
}

void RawSpoolJob::cancel() noexcept {
    if (!isOpen())
        return;
    // Withdraw the job on a connection of its own first, so that ending the interrupted
    // document request afterwards cannot let a partial document reach the printer.
    if (http_t* http = httpConnect2(cupsServer(), ippPort(), nullptr, AF_UNSPEC, cupsEncryption(),
                                    1, 30000, nullptr)) {
        cupsCancelJob2(http, printer_.c_str(), jobId_, 0);
        httpClose(http);
    }
    cupsFinishDocument(CUPS_HTTP_DEFAULT, printer_.c_str());
    jobId_ = 0;
}

} // namespace logosmith
