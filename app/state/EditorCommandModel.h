#pragma once

#include "platform/SettingModel.h"

#include <QString>

namespace logosmith {

// The command that starts the external picture editor: the built-in default at every start,
// replaced only by the editor dialog's "OK". (The dialog's box, stored with its place, is the
// person's draft, not the command.)
class EditorCommandModel : public SettingModel {
    Q_OBJECT
  public:
    explicit EditorCommandModel(QString command, QObject* parent = nullptr)
        : SettingModel(parent), command_(std::move(command)) {}

    const QString& command() const { return command_; }
    void choose(const QString& command) { assign(command_, command); }

  private:
    QString command_;
};

} // namespace logosmith
