#pragma once

#include "platform/SettingModel.h"
#include "printdata/Density.h"

#include <cstdint>

namespace logosmith {

class SettingsStore;

// The resolution of the run: which of the four density choices is made (1 "Single Density
// 104*96" … 4 "Quad Density 208*192", 0 none), read by every print and store as it builds its
// command, and kept as "index" in the settings group "resol". The resolution dialog binds to it.
class ResolutionModel : public SettingModel {
    Q_OBJECT
  public:
    explicit ResolutionModel(SettingsStore& store, QObject* parent = nullptr);

    // A first start (no group) chooses single density and writes it at once; otherwise the
    // stored index is chosen, and a missing one or one that names no choice chooses none.
    void load();
    // Writes the index; nothing when none is chosen or the group is not there.
    void save();

    int index() const { return index_; }
    // 1..4; any other number chooses none.
    void choose(int index);

    // True for "Double Density 208*96" and "Quad Density 208*192".
    bool WidthDoubled() const { return density().widthDoubled; }
    // 0 for "Single Density 104*96" and "Double Density 104*192", else 1 (also for none).
    std::uint8_t BitImageMode() const { return density().mode; }
    Density density() const;

  private:
    SettingsStore& store_;
    int index_ = 0;
};

} // namespace logosmith
