#include "platform/SettingsStore.h"
#include "platform/core/Error.h"
#include "tests/support/TransportTestSupport.h"
#include "transport/DeviceSettings.h"
#include "transport/PortSender.h"
#include "transport/PortSettings.h"
#include "transport/PortSettingsModel.h"

#include <gtest/gtest.h>
#include <termios.h>

using namespace logosmith;

TEST(PortSettings, TheBaudEntryIsReadAsANumberAnd2400Otherwise) {
    EXPECT_EQ(baudRateFromText("19200"), 19200);
    EXPECT_EQ(baudRateFromText(""), 2400);
    EXPECT_EQ(baudRateFromText("fast"), 2400);
    EXPECT_EQ(baudRateFromText("96 00"), 2400);
    EXPECT_EQ(baudRateFromText("-9600"), 2400);
    EXPECT_EQ(baudText(PortSettings{0, 9, 0, 1, 0, 0, {}}), "");
    EXPECT_EQ(serialLineFor(PortSettings{2, 9, 0, 1, 0, 0, {}}).baudRate, 2400);
    EXPECT_EQ(serialLineFor(PortSettings{2, -1, 0, 1, 0, 0, {}}).baudRate, 2400);
}

TEST(PortSettings, Com2At19200Even7TwoHardwareMakesThatLine) {
    const SerialLine line = serialLineFor(PortSettings{3, 3, 2, 0, 1, 2, {}});
    EXPECT_EQ(line.baudRate, 19200);
    EXPECT_EQ(line.parity, SerialParity::Even);
    EXPECT_EQ(line.dataBits, 7);
    EXPECT_EQ(line.stopBits, 2);
    EXPECT_EQ(line.flow, SerialFlow::Hardware);
    const SerialLine odd = serialLineFor(PortSettings{2, 0, 1, 1, 0, 1, {}});
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

namespace {

// A settings file of the test's own, read as the program reads it at start-up.
class PortSettingsFile : public ::testing::Test {
  protected:
    std::optional<int> stored(const char* name) const {
        return SettingsStore(store_.fileName()).readInteger("nport", name);
    }

    transport_test::ScratchDir dir_;
    SettingsStore store_{QString::fromStdString(dir_.path("l.ini"))};
    PortSettingsModel model_{store_};
};

} // namespace

TEST_F(PortSettingsFile, AFirstStartChoosesAndWritesTheDefaults) {
    model_.load();
    EXPECT_EQ(model_.choices(), (PortSettings{0, 2, 0, 1, 0, 0, {}}));
    const char* names[] = {"port", "baud", "parity", "data", "stop", "flow"};
    const int defaults[] = {0, 2, 0, 1, 0, 0};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(stored(names[i]), defaults[i]) << names[i];
}

TEST_F(PortSettingsFile, MissingValuesTakeDefaultsAndAreWrittenOnlyWhenSaved) {
    store_.writeInteger("nport", "port", 4);
    store_.writeInteger("nport", "flow", 1);
    model_.load();
    EXPECT_EQ(model_.choices(), (PortSettings{4, 2, 0, 1, 0, 1, {}}));
    EXPECT_FALSE(store_.valueExists("nport", "baud"));
    EXPECT_TRUE(model_.save());
    EXPECT_EQ(stored("baud"), 2);
    EXPECT_EQ(stored("data"), 1);
}

TEST_F(PortSettingsFile, StoredIndicesOutsideTheirListsChooseNothing) {
    transport_test::Pty pty;
    store_.writeInteger("nport", "port", 9);
    store_.writeInteger("nport", "baud", 9);
    store_.writeText("devices", "COM1", QString::fromStdString(pty.slavePath()));
    model_.load();
    EXPECT_EQ(model_.choice(PortSettingsModel::Port), -1);
    EXPECT_EQ(model_.choice(PortSettingsModel::Baud), -1);
    TransferRequest r;
    r.file = dir_.path("tlsdlek.prn");
    transport_test::writeFile(r.file, transport_test::patternBytes(10));
    r.port = model_.settings();
    EXPECT_EQ(SendToPrinter(r).message, " Port does not exist ");
    EXPECT_TRUE(model_.save());
    EXPECT_EQ(stored("port"), -1);

    // With no baud entry a serial line runs at 2400.
    model_.choose(PortSettingsModel::Port, 2);
    PrinterPort port = OpenPrinterPort(model_.settings(), kPortLineLimit);
    ASSERT_EQ(port.outcome, PortOutcome::Opened) << port.reason;
    const termios line = pty.line();
    EXPECT_EQ(::cfgetospeed(&line), B2400);
}

TEST_F(PortSettingsFile, AValueThatIsNoNumberStopsTheReadingThere) {
    store_.writeInteger("nport", "port", 1);
    store_.writeInteger("nport", "baud", 3);
    store_.writeText("nport", "parity", "Even");
    store_.writeInteger("nport", "data", 0);
    int announced = 0;
    QObject::connect(&model_, &PortSettingsModel::changed, [&] { ++announced; });
    EXPECT_THROW(model_.load(), SettingsError);
    EXPECT_EQ(model_.choices(), (PortSettings{1, 3, -1, -1, -1, -1, {}}));
    EXPECT_EQ(announced, 1) << "the lists must show what was read";
}

TEST_F(PortSettingsFile, ASaveWithTheGroupGoneWritesNothing) {
    model_.load();
    for (const char* name : {"port", "baud", "parity", "data", "stop", "flow"})
        store_.remove("nport", name);
    model_.choose(PortSettingsModel::Port, 5);
    EXPECT_FALSE(model_.save());
    EXPECT_FALSE(store_.groupExists("nport"));
    EXPECT_EQ(model_.settings().port, 5) << "the live choice stays for this run";
}

TEST_F(PortSettingsFile, TheDeviceIsTheOneTheDevicesGroupNamesAtTheTransfer) {
    model_.load();
    model_.choose(PortSettingsModel::Port, 3);
    EXPECT_EQ(model_.settings().device, "/dev/ttyS1");
    store_.writeText("devices", "com2", "/dev/ttyUSB0");
    EXPECT_EQ(model_.settings().device, "/dev/ttyUSB0");
    model_.choose(PortSettingsModel::Port, kUsbPort);
    EXPECT_EQ(model_.settings().device, "");
}

TEST_F(PortSettingsFile, AFileOfAnEarlierRunIsReadAndWrittenBackUnchanged) {
    const char* names[] = {"port", "baud", "parity", "data", "stop", "flow"};
    const int earlier[] = {6, 4, 2, 0, 1, 2};
    for (int i = 0; i < 6; ++i)
        store_.writeInteger("nport", names[i], earlier[i]);
    store_.writeText("devices", "lpt2", "/dev/usb/lp0");
    store_.writeText("devices", "COM1", "/dev/ttyUSB0");
    store_.sync();
    model_.load();
    EXPECT_EQ(model_.device(1), "/dev/usb/lp0");
    model_.chooseDevice(2, "/dev/ttyUSB0"); // as it was: nothing written
    EXPECT_TRUE(model_.save());
    SettingsStore again(store_.fileName());
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(again.readInteger("nport", names[i]), earlier[i]) << names[i];
    EXPECT_EQ(again.valueNames("devices"), (QStringList{"COM1", "lpt2"}));

    // A choice is written under the port's name, replacing any spelling of it; the usual
    // device takes the entry out again.
    model_.chooseDevice(1, "/dev/lp7");
    model_.chooseDevice(2, "/dev/ttyS0");
    model_.chooseDevice(kNetworkPort, "10.0.0.7:9100");
    SettingsStore changed(store_.fileName());
    EXPECT_EQ(changed.valueNames("devices"), (QStringList{"LPT2", "NETWORK"}));
    EXPECT_EQ(changed.readText("devices", "LPT2").value_or(""), "/dev/lp7");
    model_.choose(PortSettingsModel::Port, kNetworkPort);
    EXPECT_EQ(model_.settings().device, "10.0.0.7:9100");
}
