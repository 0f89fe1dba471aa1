#include "platform/SettingsStore.h"
#include "tests/support/TransportTestSupport.h"
#include "transport/DeviceSettings.h"
#include "transport/PortSettings.h"

#include <gtest/gtest.h>

using namespace logosmith;

TEST(PortSettings, TheBaudEntryIsReadAsANumberAnd2400Otherwise) {
    EXPECT_EQ(baudRateFromText("19200"), 19200);
    EXPECT_EQ(baudRateFromText(""), 2400);
    EXPECT_EQ(baudRateFromText("fast"), 2400);
    EXPECT_EQ(baudRateFromText("96 00"), 2400);
    EXPECT_EQ(baudRateFromText("-9600"), 2400);
    EXPECT_EQ(baudText(PortSettings{0, 9, 0, 1, 0, 0}), "");
    EXPECT_EQ(serialLineFor(PortSettings{2, 9, 0, 1, 0, 0}).baudRate, 2400);
    EXPECT_EQ(serialLineFor(PortSettings{2, -1, 0, 1, 0, 0}).baudRate, 2400);
}

TEST(PortSettings, Com2At19200Even7TwoHardwareMakesThatLine) {
    const SerialLine line = serialLineFor(PortSettings{3, 3, 2, 0, 1, 2});
    EXPECT_EQ(line.baudRate, 19200);
    EXPECT_EQ(line.parity, SerialParity::Even);
    EXPECT_EQ(line.dataBits, 7);
    EXPECT_EQ(line.stopBits, 2);
    EXPECT_EQ(line.flow, SerialFlow::Hardware);
    const SerialLine odd = serialLineFor(PortSettings{2, 0, 1, 1, 0, 1});
    EXPECT_EQ(odd.parity, SerialParity::Odd);
    EXPECT_EQ(odd.dataBits, 8);
    EXPECT_EQ(odd.flow, SerialFlow::XonXoff);
}

TEST(DeviceMap, DefaultsCanBePointedElsewhereByTheDevicesGroup) {
    transport_test::ScratchDir dir;
    SettingsStore store(QString::fromStdString(dir.path("s.ini")));
    store.writeText("devices", "COM1", "/dev/ttyUSB0");
    store.writeText("devices", "lpt2", "/dev/usb/lp0");
    store.writeText("devices", "COM9", "/dev/null");
    const DeviceMap devices = deviceMapFromSettings(store);
    EXPECT_EQ(devices.pathFor("COM1"), "/dev/ttyUSB0");
    EXPECT_EQ(devices.pathFor("LPT2"), "/dev/usb/lp0");
    EXPECT_EQ(devices.pathFor("LPT1"), "/dev/lp0");
    EXPECT_EQ(devices.pathFor("COM4"), "/dev/ttyS3");
    EXPECT_EQ(devices.pathFor("COM9"), "");
}
