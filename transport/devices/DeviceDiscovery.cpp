#include "transport/devices/DeviceDiscovery.h"

#include "transport/devices/RawSpoolJob.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <regex>
#include <tuple>

namespace logosmith {

namespace fs = std::filesystem;

namespace {

std::string firstLine(const fs::path& file) {
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    while (!line.empty() && std::isspace(static_cast<unsigned char>(line.back())))
        line.pop_back();
    return line;
}

// The USB device a class device hangs from: its manufacturer and product, as the device gives
// them.
std::string usbDescription(const fs::path& classDevice) {
    std::error_code error;
    fs::path at = fs::canonical(classDevice / "device", error);
    for (int up = 0; !error && up < 6 && at.has_relative_path(); ++up, at = at.parent_path()) {
        if (!fs::exists(at / "idVendor", error))
            continue;
        const std::string maker = firstLine(at / "manufacturer");
        const std::string product = firstLine(at / "product");
        std::string text = maker;
        if (!product.empty())
            text += (text.empty() ? "" : " ") + product;
        return text;
    }
    return {};
}

// The stable names of the serial adapters: what each /dev/serial/by-id/ link leads to.
std::vector<std::pair<fs::path, fs::path>> stableNames(const fs::path& dev) {
    std::vector<std::pair<fs::path, fs::path>> names;
    std::error_code error;
    for (const fs::directory_entry& link : fs::directory_iterator(dev / "serial/by-id", error)) {
        const fs::path target = fs::canonical(link.path(), error);
        if (!error)
            names.emplace_back(target, link.path());
    }
    return names;
}

// A built-in serial port is hardware when the kernel found a UART there (type 0: none).
bool isHardwareSerial(const fs::path& sys, const std::string& name) {
    const fs::path type = sys / "class/tty" / name / "type";
    std::error_code error;
    return fs::exists(type, error) && firstLine(type) != "0";
}

// Natural order: "ttyS2" before "ttyS10".
auto orderKey(const FoundDevice& device) {
    std::size_t digits = device.name.size();
    while (digits > 0 && std::isdigit(static_cast<unsigned char>(device.name[digits - 1])))
        --digits;
    const std::string stem = device.name.substr(0, digits);
    const long number = digits < device.name.size() ? std::stol(device.name.substr(digits)) : -1;
    return std::make_tuple(int(device.kind), stem, number);
}

} // namespace

const char* kindName(FoundDevice::Kind kind) {
    switch (kind) {
    case FoundDevice::Kind::Serial:
        return "serial";
    case FoundDevice::Kind::Parallel:
        return "parallel";
    case FoundDevice::Kind::UsbPrinter:
        return "usb-printer";
    case FoundDevice::Kind::Queue:
        break;
    }
    return "queue";
}

std::vector<FoundDevice> findPortDevices(const std::string& devRoot, const std::string& sysRoot) {
    const fs::path dev(devRoot), sys(sysRoot);
    static const std::regex serialName("tty(USB|ACM|S)[0-9]+");
    static const std::regex printerName("lp[0-9]+");
    const auto stable = stableNames(dev);
    std::vector<FoundDevice> found;
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator(dev, error)) {
        const std::string name = entry.path().filename().string();
        if (std::regex_match(name, serialName)) {
            const bool builtIn = name.rfind("ttyS", 0) == 0;
            if (builtIn && !isHardwareSerial(sys, name))
                continue;
            FoundDevice device{FoundDevice::Kind::Serial, name, entry.path().string(), {}};
            device.description =
                builtIn ? "built-in serial port" : usbDescription(sys / "class/tty" / name);
            std::error_code ignored;
            const fs::path real = fs::canonical(entry.path(), ignored);
            for (const auto& [target, link] : stable)
                if (target == real)
                    device.path = link.string();
            found.push_back(std::move(device));
        } else if (std::regex_match(name, printerName)) {
            found.push_back(
                {FoundDevice::Kind::Parallel, name, entry.path().string(), "parallel port"});
        }
    }
    for (const fs::directory_entry& entry : fs::directory_iterator(dev / "usb", error)) {
        const std::string name = entry.path().filename().string();
        if (std::regex_match(name, printerName))
            found.push_back({FoundDevice::Kind::UsbPrinter, "usb/" + name, entry.path().string(),
                             usbDescription(sys / "class/usbmisc" / name)});
    }
    std::sort(found.begin(), found.end(),
              [](const FoundDevice& a, const FoundDevice& b) { return orderKey(a) < orderKey(b); });
    return found;
}

std::vector<FoundDevice> findPrintQueues() {
    std::vector<FoundDevice> queues;
    for (const PrintQueue& queue : printQueues())
        queues.push_back({FoundDevice::Kind::Queue, queue.name, queue.name,
                          queue.isDefault ? "default printer" : queue.description});
    return queues;
}

} // namespace logosmith
