#pragma once

#include "separation/loader/ByteSource.h"
#include "separation/loader/PictureBuilder.h"
#include "separation/picture/Picture.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace logosmith {

// One kind of picture file the program reads. The table of them (pictureFormats) is the one
// place that knows the picture formats: the loader picks its decoder there, and the picture
// open dialog's filter, logosmith-cli's checks and the messages that list the formats are made
// from it. Adding a format is adding a row.
struct PictureFormat {
    using Decoder = void (*)(decoders::ByteSource& in, decoders::PictureBuilder& out);

    // Lower-case extensions with their dot. A file is of this format when its extension (see
    // pictureExtension) is one of them, in any letter case.
    std::vector<std::string> extensions;
    // Reads a file into the builder: its own size, then its picture drawn on white. Throws
    // DecodeError for damaged, truncated or lying data and for data that asks for more work or
    // memory than the program gives one picture.
    Decoder decode = nullptr;
    // A loaded picture of this format also becomes the program's window icon.
    bool becomesWindowIcon = false;
};

// Every format, in the order the loader has always tested the extensions.
const std::vector<PictureFormat>& pictureFormats();

// The extension of the file name (from its last dot, dot included), upper-cased; empty when
// the name has no dot. Dots in folder names do not count.
std::string pictureExtension(const std::string& path);

// The format of a file by its extension; nullptr when no row has it.
const PictureFormat* pictureFormatFor(const std::string& path);

// Whether decodePictureFile has a decoder for the file's extension.
bool isSupportedPictureExtension(const std::string& path);

// What a load of a file without a decoder says: "Pictures of the type ".XYZ" cannot be loaded:"
// and the path (also what the window says of a dropped file or address it cannot load).
std::string unsupportedPictureMessage(const std::string& path);

// The picture open dialog's filter, in Qt's form. Its first entry is the one the dialog has
// always offered, byte for byte: "*.bmp *.jpg *.gif *.ico *.wmf *.emf *.rle (...)". A format
// none of whose extensions that entry lists is offered through a second entry listing every
// extension of the table.
std::string pictureOpenFilter();

// Every extension of the table for messages: ".bmp, .rle, .jpg, … or .wmf".
std::string pictureExtensionList();

} // namespace logosmith
