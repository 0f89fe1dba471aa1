#pragma once

#include <QSettings>
#include <QString>
#include <QStringList>
#include <memory>
#include <optional>

namespace logosmith {

// The per-user settings store. Keys of the form "Software\KORVANT\logosmith\<sub>" become INI
// groups named <sub>; the root key's own values live at the top level. Integers are written as
// integers and text as text; reading an integer whose stored text is not a number throws.
class SettingsStore {
  public:
    // The user's store: $XDG_CONFIG_HOME/KORVANT/logosmith.ini.
    SettingsStore();
    // A store in a given INI file (tests, tools).
    explicit SettingsStore(const QString& iniPath);
    ~SettingsStore();

    QString fileName() const;

    // A group "exists" when it holds at least one value. An empty group name is the root key.
    bool groupExists(const QString& group) const;
    bool valueExists(const QString& group, const QString& name) const;
    QStringList valueNames(const QString& group) const;

    std::optional<QString> readText(const QString& group, const QString& name) const;
    QString readText(const QString& group, const QString& name, const QString& fallback) const;
    // Throws SettingsError when the stored text is not a 32-bit integer.
    std::optional<int> readInteger(const QString& group, const QString& name) const;

    void writeText(const QString& group, const QString& name, const QString& value);
    void writeInteger(const QString& group, const QString& name, int value);
    void remove(const QString& group, const QString& name);
    // Removes every value (tests start each case from a first start).
    void clear();

    // Flushes to disk; the equivalent of closing a registry key. Throws on a write failure.
    void sync();

  private:
    QString key(const QString& group, const QString& name) const;
    std::unique_ptr<QSettings> settings_;
};

// The one store the program uses while it runs.
SettingsStore& settingsStore();

} // namespace logosmith
