#pragma once

#include "platform/SettingModel.h"
#include "transport/PortSettings.h"

namespace logosmith {

class SettingsStore;

// The port settings of the run: the six choices the port dialog shows and every transfer reads
// as it starts, kept in the settings group "nport" (one integer per list, by index). The dialog
// binds to it; nothing reads its lists back.
class PortSettingsModel : public SettingModel {
    Q_OBJECT
  public:
    enum Field { Port, Baud, Parity, Data, Stop, Flow };

    explicit PortSettingsModel(SettingsStore& store, QObject* parent = nullptr);

    // Reads the group; a missing value takes its default. With no group at all (a first start)
    // the defaults are chosen and written at once. A value that is not a number throws
    // SettingsError, leaving it and the fields after it without a choice.
    void load();
    // Writes the six choices; false, writing nothing, when the group is not there.
    bool save();

    // The choices alone, each an index into its list or -1.
    const PortSettings& choices() const { return choices_; }
    int choice(Field field) const;
    // An index outside the field's list chooses nothing (-1), as a list shows it.
    void choose(Field field, int index);
    void chooseAll(const PortSettings& choices);

    // What a transfer starts with: the choices and the device their port leads to, as the
    // settings file's "devices" group says now.
    PortSettings settings() const;

    // Where a port of the list leads, as the "devices" group says now: a device file for LPT1 …
    // COM4 (their usual one when the group names none), a print queue for "U S B" (empty: the
    // default printer), an address for the network port (empty: none set yet).
    std::string device(int port) const;
    // Points a port elsewhere, written to the "devices" group at once. The usual device (or an
    // empty text) takes the entry out of the group, so the file keeps only what was changed.
    void chooseDevice(int port, const std::string& device);

  private:
    int& field(Field which);

    SettingsStore& store_;
    PortSettings choices_;
};

} // namespace logosmith
