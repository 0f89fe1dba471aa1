#pragma once

#include "platform/widgets/FixedDialog.h"
#include "transport/devices/DeviceDiscovery.h"

#include <array>
#include <functional>
#include <vector>

class QComboBox;
class QLabel;
class QPushButton;

namespace logosmith {
class PortSettingsModel;
}

// "Set Communication Port": shows the port settings model's six choices and, for the chosen
// port, where it leads (a device found on this machine or typed in, a print queue, a network
// address), and hands the person's changes to the model. Every way of closing saves the choices
// to the settings file.
class PortSettingsDialog : public logosmith::FixedDialog {
    Q_OBJECT
  public:
    // What the device list offers: the port devices and the print queues found now.
    struct Finders {
        std::function<std::vector<logosmith::FoundDevice>()> portDevices;
        std::function<std::vector<logosmith::FoundDevice>()> printQueues;
    };

    explicit PortSettingsDialog(logosmith::PortSettingsModel& settings, QWidget* parent = nullptr);
    PortSettingsDialog(logosmith::PortSettingsModel& settings, Finders finders,
                       QWidget* parent = nullptr);

  protected:
    void showEvent(QShowEvent* event) override;
    // OK, Cancel, the close box and Esc all end here.
    void done(int result) override;

  private:
    void buildControls();
    void showChoices();
    // The device row for the chosen port: what it leads to now and what else there is.
    void showDevice();
    void showDeviceNote();
    void takeDevice();
    void save();

    logosmith::PortSettingsModel& settings_;
    Finders finders_;
    std::vector<logosmith::FoundDevice> found_;
    // Port, baud rate, parity, data bits, stop bits, flow control, in the model's field order.
    std::array<QComboBox*, 6> lists_{};
    QLabel* deviceLabel_ = nullptr;
    QComboBox* deviceBox_ = nullptr;
    QLabel* deviceNote_ = nullptr;
    bool showingDevice_ = false;
};
