#pragma once

#include <QObject>
#include <QString>

namespace logosmith {

// The run state the whole program shares, held by the session: the program folder every working
// path is built from, the file last chosen in a file dialog, and what the path box shows.
class AppState : public QObject {
    Q_OBJECT
  public:
    using QObject::QObject;

    // Fixed once at start-up, ending with "/".
    QString RootDir;
    // The picture last chosen to add, or the firmware file last chosen.
    QString CurrentSourcePath;

    // The file last chosen or used, as the path box (Edit1) shows it. Nothing reads it back.
    const QString& shownPath() const { return shownPath_; }
    void showPath(const QString& path) {
        shownPath_ = path;
        emit pathShown(path);
    }

  signals:
    void pathShown(const QString& path);

  private:
    QString shownPath_;
};

} // namespace logosmith
