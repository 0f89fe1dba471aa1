// The ports found on this machine, read from its real /dev and /sys.

#include "transport/devices/DeviceDiscovery.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <regex>
#include <set>

using namespace logosmith;
namespace fs = std::filesystem;

TEST(DeviceDiscovery, EveryPortDeviceOfTheMachineIsListedOnceAndNothingElse) {
    const std::vector<FoundDevice> found = findPortDevices();
    std::set<std::string> names;
    for (const FoundDevice& device : found) {
        EXPECT_TRUE(names.insert(device.name).second) << device.name;
        EXPECT_TRUE(fs::exists(device.path)) << device.path;
        // What is opened is the device itself, under its stable name where there is one.
        std::error_code error;
        EXPECT_EQ(fs::canonical(device.path, error), fs::canonical("/dev/" + device.name, error))
            << device.name;
        EXPECT_NE(device.kind, FoundDevice::Kind::Queue);
    }
    // What the machine has: adapters and printers always, built-in lines only with a UART.
    static const std::regex listed("tty(USB|ACM)[0-9]+|lp[0-9]+");
    static const std::regex builtIn("ttyS[0-9]+");
    std::error_code error;
    for (const fs::directory_entry& entry : fs::directory_iterator("/dev", error)) {
        const std::string name = entry.path().filename().string();
        if (std::regex_match(name, listed)) {
            EXPECT_TRUE(names.count(name)) << name;
        }
        if (std::regex_match(name, builtIn)) {
            std::ifstream type("/sys/class/tty/" + name + "/type");
            std::string uart;
            type >> uart;
            EXPECT_EQ(names.count(name) == 1, !uart.empty() && uart != "0") << name;
        }
    }
    for (const fs::directory_entry& entry : fs::directory_iterator("/dev/usb", error))
        if (std::regex_match(entry.path().filename().string(), std::regex("lp[0-9]+"))) {
            EXPECT_TRUE(names.count("usb/" + entry.path().filename().string()));
        }
}

TEST(DeviceDiscovery, AdaptersAreFoundUnderTheirStableNamesWithTheirOwnNames) {
    // A machine of our own making: a USB adapter with its by-id link and its sysfs device.
    const fs::path root = fs::temp_directory_path() / "discovery-test";
    fs::remove_all(root);
    const fs::path dev = root / "dev", sys = root / "sys";
    fs::create_directories(dev / "serial/by-id");
    fs::create_directories(sys / "devices/usb1/1-1/1-1:1.0/ttyUSB0");
    std::ofstream(dev / "ttyUSB0");
    std::ofstream(dev / "ttyS1");
    fs::create_symlink("../../ttyUSB0", dev / "serial/by-id/usb-Maker_Cable_X1-if00-port0");
    std::ofstream(sys / "devices/usb1/1-1/idVendor") << "0403\n";
    std::ofstream(sys / "devices/usb1/1-1/manufacturer") << "Maker\n";
    std::ofstream(sys / "devices/usb1/1-1/product") << "Cable X1\n";
    fs::create_directories(sys / "class/tty/ttyUSB0");
    fs::create_directory_symlink(sys / "devices/usb1/1-1/1-1:1.0/ttyUSB0",
                                 sys / "class/tty/ttyUSB0/device");
    fs::create_directories(sys / "class/tty/ttyS1");
    std::ofstream(sys / "class/tty/ttyS1/type") << "0\n"; // no UART behind it

    const std::vector<FoundDevice> found = findPortDevices(dev.string(), sys.string());
    ASSERT_EQ(found.size(), 1u);
    EXPECT_EQ(found[0].name, "ttyUSB0");
    EXPECT_EQ(found[0].path, (dev / "serial/by-id/usb-Maker_Cable_X1-if00-port0").string());
    EXPECT_EQ(found[0].description, "Maker Cable X1");
    fs::remove_all(root);
}
