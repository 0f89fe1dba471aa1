#include "platform/SettingsStore.h"

#include "platform/core/Error.h"

namespace logosmith {

SettingsStore::SettingsStore()
    : settings_(std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, "KORVANT",
                                            "logosmith")) {}

SettingsStore::SettingsStore(const QString& iniPath)
    : settings_(std::make_unique<QSettings>(iniPath, QSettings::IniFormat)) {}

SettingsStore::~SettingsStore() = default;

QString SettingsStore::fileName() const {
    return settings_->fileName();
}

QString SettingsStore::key(const QString& group, const QString& name) const {
    return group.isEmpty() ? name : group + "/" + name;
}

bool SettingsStore::groupExists(const QString& group) const {
    if (group.isEmpty())
        return !settings_->allKeys().isEmpty();
    return settings_->childGroups().contains(group);
}

bool SettingsStore::valueExists(const QString& group, const QString& name) const {
    return settings_->contains(key(group, name));
}

QStringList SettingsStore::valueNames(const QString& group) const {
    if (group.isEmpty())
        return settings_->childKeys();
    settings_->beginGroup(group);
    QStringList names = settings_->childKeys();
    settings_->endGroup();
    return names;
}

std::optional<QString> SettingsStore::readText(const QString& group, const QString& name) const {
    const QString k = key(group, name);
    if (!settings_->contains(k))
        return std::nullopt;
    return settings_->value(k).toString();
}

QString SettingsStore::readText(const QString& group, const QString& name,
                                const QString& fallback) const {
    return readText(group, name).value_or(fallback);
}

std::optional<int> SettingsStore::readInteger(const QString& group, const QString& name) const {
    const std::optional<QString> text = readText(group, name);
    if (!text)
        return std::nullopt;
    bool ok = false;
    const int value = text->trimmed().toInt(&ok);
    if (!ok)
        throw SettingsError("Invalid value for the setting \"" + name.toStdString() + "\" (\"" +
                            text->toStdString() + "\" is not a number)");
    return value;
}

void SettingsStore::writeText(const QString& group, const QString& name, const QString& value) {
    settings_->setValue(key(group, name), value);
}

void SettingsStore::writeInteger(const QString& group, const QString& name, int value) {
    settings_->setValue(key(group, name), value);
}

void SettingsStore::remove(const QString& group, const QString& name) {
    settings_->remove(key(group, name));
}

void SettingsStore::clear() {
    settings_->clear();
    settings_->sync();
}

void SettingsStore::sync() {
    settings_->sync();
    if (settings_->status() == QSettings::AccessError)
        throw SettingsError("Cannot write the settings file " +
                            settings_->fileName().toStdString());
}

SettingsStore& settingsStore() {
    static SettingsStore store;
    return store;
}

} // namespace logosmith
