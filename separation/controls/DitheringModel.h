#pragma once

#include "platform/SettingModel.h"
#include "separation/Separation.h"

namespace logosmith {

class ColourControlsModel;
class SettingsStore;

// Setting -> Dithering: the mode the preview renders the tones between the inks with, handed to
// the colour-controls model and kept in the settings group "Dithering" as
// Mode=none|diffusion|ordered|best.
class DitheringModel : public SettingModel {
    Q_OBJECT
  public:
    DitheringModel(SettingsStore& store, ColourControlsModel& pictures, QObject* parent = nullptr);

    // The stored mode; a value this program did not write (edited by hand, damaged) means none.
    void load();
    // Written even when the mode stays, so that choosing repairs a damaged value.
    void choose(DitherMode mode);
    DitherMode mode() const { return mode_; }

  private:
    void apply(DitherMode mode);

    SettingsStore& store_;
    ColourControlsModel& pictures_;
    DitherMode mode_ = DitherMode::None;
};

} // namespace logosmith
