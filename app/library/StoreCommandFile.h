#pragma once

#include "printdata/Density.h"
#include "separation/picture/Picture.h"

#include <QList>
#include <QString>
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace logosmith {

class ImageLibrary;

// The message shown when "Store" or "Store to File" finds no library picture at all.
inline const QString emptyLibraryMessage =
    QStringLiteral("There is no library image to store. Add an image first.");

// The ten logo slots of the printer's memory, filled from the library folder.
struct LibrarySlots {
    std::array<std::optional<Picture>, 10> pictures;
    // The library entries (1-based) whose stored file was missing at the last load.
    QList<int> missing;
};

// Refreshes the slots of the entries whose stored file exists and sets storeImageCount to the
// position of the last such entry. An empty library changes neither.
void LoadLibraryImages(const ImageLibrary& library, LibrarySlots& logos, int& storeImageCount);

// Checks that a store of storeImageCount logos sends only what is in the library now. A slot
// whose file was missing would otherwise go out stale or empty under a logo number that shops
// print by, so such a store is refused naming the entry. Throws Error.
void checkStorable(const ImageLibrary& library, const LibrarySlots& logos, int storeImageCount);

// The store command for slots 1..count, built whole in memory so that every limit of the
// stream (a block too long for its 16-bit length, a logo too wide once its width is doubled) is
// found before anything is announced or sent. Throws Error.
std::vector<std::uint8_t> BuildStoreCommand(const LibrarySlots& logos, int count, Density density);

} // namespace logosmith
