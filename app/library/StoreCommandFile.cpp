#include "app/library/StoreCommandFile.h"

#include "app/library/ImageLibrary.h"
#include "platform/core/AtomicFile.h"
#include "platform/core/Error.h"
#include "printdata/ByteSink.h"
#include "printdata/Commands.h"
#include "separation/loader/PictureLoader.h"

#include <vector>

namespace logosmith {

void LoadLibraryImages(const ImageLibrary& library, LibrarySlots& logos, int& storeImageCount) {
    logos.missing.clear();
    for (int k = 1; k <= library.count(); ++k) {
        const std::string path = library.storedFilePath(k - 1).toStdString();
        if (!fileExists(path)) {
            logos.missing << k;
            continue;
        }
        logos.pictures[std::size_t(k - 1)] = decodePictureFile(path);
        storeImageCount = k;
    }
}

void checkStorable(const ImageLibrary& library, const LibrarySlots& logos, int storeImageCount) {
    if (library.isEmpty() || logos.missing.size() == library.count())
        throw Error(emptyLibraryMessage.toStdString());
    for (int k : logos.missing)
        if (k <= storeImageCount)
            throw Error("The stored picture of library entry " + std::to_string(k) + " (" +
                        library.entries()[k - 1].name.toStdString() +
                        ") is missing, so the logos cannot be stored with their numbers. "
                        "Delete that entry or add its picture again.");
}

std::vector<std::uint8_t> BuildStoreCommand(const LibrarySlots& logos, int count, Density density) {
    std::vector<Picture> pictures;
    for (int k = 1; k <= count; ++k)
        pictures.push_back(logos.pictures[std::size_t(k - 1)].value_or(Picture()));
    return BuildStoreStream(pictures, density);
}

} // namespace logosmith
