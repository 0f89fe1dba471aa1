#pragma once

#include <string>
#include <vector>

namespace logosmith {

// A way to a printer found on this machine.
struct FoundDevice {
    enum class Kind { Serial, Parallel, UsbPrinter, Queue };
    Kind kind = Kind::Serial;
    std::string name; // the kernel's name ("ttyUSB0", "usb/lp0") or the queue's
    // What to open: a serial adapter's stable /dev/serial/by-id/ name where there is one, the
    // device file otherwise, the queue's name for a queue.
    std::string path;
    std::string description; // the adapter's or printer's own name, where it gives one
};

// "serial", "parallel", "usb-printer", "queue".
const char* kindName(FoundDevice::Kind kind);

// The serial lines (USB adapters, USB modems' ACM lines, the built-in ports that exist as
// hardware), parallel ports and USB printers under `dev`, described from `sys`, in a stable
// order. Nothing is opened.
std::vector<FoundDevice> findPortDevices(const std::string& dev = "/dev",
                                         const std::string& sys = "/sys");

// The print spooler's queues, the default one first; empty when the spooler does not answer.
std::vector<FoundDevice> findPrintQueues();

} // namespace logosmith
