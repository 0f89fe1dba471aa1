// Fuzz target: the "history" group read back by RestoreHistory. Whatever the settings file
// holds, the library holds at most 10 entries, each a distinct plain name of an existing file
// inside the library folder, and writing the history and reading it again gives the same list.

#include "app/library/ImageLibrary.h"
#include "platform/fuzz/SettingsFuzzing.h"

#include <cstdlib>

using namespace logosmith;

namespace {

QString libraryFolderPath;

QStringList names(const ImageLibrary& library) {
    QStringList out;
    for (const LibraryEntry& entry : library.entries())
        out << entry.name;
    return out;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    fuzz::startCoreApplication(argc, argv);
    static QTemporaryDir root;
    libraryFolderPath = root.path() + "/storeImage/";
    QDir().mkpath(libraryFolderPath);
    for (const char* name : {"a.bmp", "b.bmp", "c.bmp", "tempImage.bmp", "A.bmp", ".bmp"})
        QFile(libraryFolderPath + name).open(QIODevice::WriteOnly);
    QFile(root.path() + "/outside.bmp").open(QIODevice::WriteOnly);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::FuzzedSettings settings(data, size);
    ImageLibrary library(libraryFolderPath);
    library.RestoreHistory(settings.store());
    const QStringList restored = names(library);
    if (restored.size() > ImageLibrary::capacity || QStringList(restored).removeDuplicates() != 0)
        std::abort();
    for (const QString& name : restored)
        if (!isSafeLibraryName(name) || !QFileInfo(libraryFolderPath + name).isFile() ||
            QFileInfo(libraryFolderPath + name).canonicalPath() !=
                QFileInfo(libraryFolderPath).canonicalFilePath())
            std::abort();
    library.SaveHistory(settings.store());
    ImageLibrary again(libraryFolderPath);
    again.RestoreHistory(settings.store());
    if (names(again) != restored)
        std::abort();
    return 0;
}
