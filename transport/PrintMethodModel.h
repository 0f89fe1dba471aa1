#pragma once

#include "platform/SettingModel.h"

namespace logosmith {

// How "Print" and "Store" reach the printer: a command stream sent to the chosen port
// ("Direct Print"), or the preview printed through the system's printer driver ("Window
// Driver"). The main window's radio buttons and menu items bind to it; the firmware and
// alignment dialogs send nothing under the driver method. It is kept with the main window's
// stored control states.
class PrintMethodModel : public SettingModel {
    Q_OBJECT
  public:
    enum class Method { Direct, Driver };
    using SettingModel::SettingModel;

    Method method() const { return method_; }
    bool isDirect() const { return method_ == Method::Direct; }
    void choose(Method method) { assign(method_, method); }

  private:
    Method method_ = Method::Direct;
};

} // namespace logosmith
