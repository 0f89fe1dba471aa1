#include "platform/SettingsStore.h"

#include "platform/core/AtomicFile.h"
#include "platform/core/Error.h"

#include <QFile>
#include <QList>
#include <QStandardPaths>

#include <vector>

namespace logosmith {

namespace {

// A value as Qt reads it: quotes dropped, escapes undone (only what can spell a type name
// matters here; other characters come out as '?').
QByteArray unescaped(const QByteArray& raw) {
    QByteArray out;
    for (qsizetype i = 0; i < raw.size(); ++i) {
        const char c = raw[i];
        if (c == '"')
            continue;
        if (c != '\\' || i + 1 >= raw.size()) {
            out += c;
            continue;
        }
        const char e = raw[++i];
        const bool hex = e == 'x';
        const bool octal = e >= '0' && e <= '7';
        if (!hex && !octal) {
            out += e;
            continue;
        }
        auto digit = [hex](char d) {
            if (d >= '0' && d <= (hex ? '9' : '7'))
                return d - '0';
            const char lower = char(d | 0x20);
            return hex && lower >= 'a' && lower <= 'f' ? lower - 'a' + 10 : -1;
        };
        unsigned code = hex ? 0 : unsigned(e - '0');
        while (i + 1 < raw.size() && digit(raw[i + 1]) >= 0)
            code = (code * (hex ? 16 : 8) + unsigned(digit(raw[++i]))) & 0xFFFF;
        out += code < 128 ? char(code) : '?';
    }
    return out;
}

// Qt reads a value written as "@Variant(...)" or "@DateTime(...)" by deserialising a binary
// stream whose sizes it trusts: a line of a hundred bytes makes it allocate gigabytes. The
// program never writes such values (it stores text and numbers), so lines holding one are
// dropped from the file before Qt reads it; nothing else in the file changes.
void dropSerialisedValues(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QByteArray text = file.readAll();
    file.close();
    // Logical lines: a backslash before the line end continues the value on the next line.
    QList<QByteArray> kept;
    bool dropped = false;
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = start;
        while (end < text.size() && text[end] != '\n')
            end += text[end] == '\\' && end + 1 < text.size() ? 2 : 1;
        const QByteArray line = text.mid(start, end - start + 1);
        start = end + 1;
        const qsizetype equals = line.indexOf('=');
        const QByteArray value = equals < 0 ? QByteArray() : unescaped(line.mid(equals + 1));
        if (value.contains("Variant(") || value.contains("DateTime(")) {
            dropped = true;
            continue;
        }
        kept << line;
    }
    if (!dropped)
        return;
    const QByteArray cleaned = kept.join();
    try {
        writeFileAtomically(QFile::encodeName(path).toStdString(),
                            std::vector<std::uint8_t>(cleaned.begin(), cleaned.end()));
    } catch (const FileError& e) {
        throw SettingsError(
            "The settings file " + path.toStdString() +
            " holds values the program does not write, and cannot be cleaned: " + e.what());
    }
}

QString userSettingsPath() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/KORVANT/logosmith.ini");
}

} // namespace

SettingsStore::SettingsStore() {
    dropSerialisedValues(userSettingsPath());
    settings_ = std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, "KORVANT",
                                            "logosmith");
}

SettingsStore::SettingsStore(const QString& iniPath) {
    dropSerialisedValues(iniPath);
    settings_ = std::make_unique<QSettings>(iniPath, QSettings::IniFormat);
}

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
