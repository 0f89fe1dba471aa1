#include "app/undo/FileMemento.h"

#include "platform/core/AtomicFile.h"
#include "platform/core/Error.h"

#include <QFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>

namespace logosmith {

namespace {

std::string local(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

} // namespace

void FileMemento::keep(const QString& path) {
    if (holds(path))
        return;
    struct stat st {};
    if (::stat(local(path).c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
        files_[path] = std::nullopt;
        return;
    }
    files_[path] = State{readWholeFile(local(path)),
                         std::int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
}

FileMemento FileMemento::now() const {
    FileMemento current;
    for (const auto& [path, state] : files_)
        current.keep(path);
    return current;
}

void FileMemento::putBack() const {
    for (const auto& [path, state] : files_) {
        const std::string file = local(path);
        if (!state) {
            deleteFileIfExists(file);
            continue;
        }
        writeFileAtomically(file, state->bytes);
        const timespec times[2] = {
            {0, UTIME_OMIT},
            {time_t(state->modifiedNs / 1000000000), long(state->modifiedNs % 1000000000)}};
        if (::utimensat(AT_FDCWD, file.c_str(), times, 0) != 0)
            throw FileError("Cannot restore the time of " + file + ": " + std::strerror(errno));
    }
}

} // namespace logosmith
