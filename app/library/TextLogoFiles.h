#pragma once

#include "separation/picture/Picture.h"
#include "separation/text/TextLogo.h"

#include <QString>
#include <optional>

namespace logosmith {

// What is kept beside a library entry made from text, so that it can be made again: its
// settings ("<name>.logotext", JSON) and, for text set with a picture, that picture
// ("<name>.logotext.bmp"). <name> is the entry's name without ".bmp".
struct TextLogoSource {
    TextLogoSettings settings;
    std::optional<Picture> picture;
};

// Writes the files beside the entry named entryName in the library folder. Throws FileError.
void saveTextLogoSource(const QString& folder, const QString& entryName,
                        const TextLogoSource& source);
// Reads them; nothing when the entry was not made from text. Throws DecodeError when the files
// are damaged, FileError when they cannot be read.
std::optional<TextLogoSource> loadTextLogoSource(const QString& folder, const QString& entryName);
bool hasTextLogoSource(const QString& folder, const QString& entryName);
// Deletes them, if there are any. Throws FileError.
void removeTextLogoSource(const QString& folder, const QString& entryName);

// The library's name for a text logo's own name ("Shop" gives "Shop.bmp"); nothing for a name
// the library cannot keep (empty, with a ".", "/", "\" or ":", or the scratch file's).
std::optional<QString> textLogoEntryName(const QString& name);

} // namespace logosmith
