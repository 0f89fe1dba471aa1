#pragma once

// What the settings fuzz targets share: the input is a settings file as a user (or anyone who
// can write their home folder) may leave it, read back through the program's own store.

#include "platform/SettingsStore.h"
#include "platform/UserDialogs.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdint>
#include <memory>

namespace logosmith::fuzz {

// The application object the settings store needs, made once and never destroyed, since
// libFuzzer ends the process without returning.
inline void startCoreApplication(int* argc, char*** argv) {
    static QCoreApplication* app = new QCoreApplication(*argc, *argv);
    (void)app;
}

// Writes the input as a settings file of a name never used before (Qt caches parsed files by
// name) and opens it; the file is removed when the store goes.
class FuzzedSettings {
  public:
    FuzzedSettings(const std::uint8_t* data, std::size_t size) {
        static QTemporaryDir folder;
        static unsigned long long counter = 0;
        path_ = folder.filePath(QStringLiteral("s%1.ini").arg(++counter));
        QFile file(path_);
        if (file.open(QIODevice::WriteOnly))
            file.write(reinterpret_cast<const char*>(data), qint64(size));
        file.close();
        store_ = std::make_unique<SettingsStore>(path_);
    }
    ~FuzzedSettings() {
        store_.reset();
        QFile::remove(path_);
    }
    FuzzedSettings(const FuzzedSettings&) = delete;
    FuzzedSettings& operator=(const FuzzedSettings&) = delete;

    SettingsStore& store() { return *store_; }

  private:
    QString path_;
    std::unique_ptr<SettingsStore> store_;
};

// Nobody answers: every message is dropped, every question answered no, every dialog
// cancelled. What a reader reports through the error guard is not a finding.
class SilentDialogs : public UserDialogs {
  public:
    void showMessage(const QString&) override {}
    void showWarning(const QString&) override {}
    void showConfirmation(const QString&) override {}
    bool askYesNo(const QString&) override { return false; }
    void showError(const QString&) override {}
    std::optional<QString> openFile(const QString&, const QString&) override { return {}; }
    std::optional<QString> saveFile(const QString&, const QString&, const QString&) override {
        return {};
    }
    std::optional<std::uint32_t> pickColour(std::uint32_t) override { return {}; }
    bool setUpPrinter(QPrinter&) override { return false; }
};

inline void installSilentDialogs() {
    static SilentDialogs dialogs;
    installUserDialogs(&dialogs);
}

} // namespace logosmith::fuzz
