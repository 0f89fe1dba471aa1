#pragma once

#include <QByteArray>

#include <cstddef>
#include <cstdint>
#include <vector>

namespace logosmith::decoders {

// An SVG picture's own size in pixels: its width and height at 96 pixels per inch, or its
// view box where they are missing or given in per cent.
struct SvgSize {
    int width = 0;
    int height = 0;
};

// An SVG document embedded in another as a data address. Qt's renderer reads it, and draws it
// on a canvas of its own, while it reads the document around it.
struct EmbeddedSvg {
    QByteArray document; // unpacked
    int level = 1;       // 1 inside the file's document, 2 inside that one, ...
};

struct SvgInspection {
    SvgSize size;
    // Every embedded document, each one after those embedded in it.
    std::vector<EmbeddedSvg> embedded;
};

// How often Qt reads, and draws, a document at a level: while reading each document around it,
// and once more when it is measured before drawing (see drawSvg).
inline int svgReads(int level) {
    return level + 1;
}
inline int svgDrawings(int level) {
    return level == 0 ? 1 : level;
}

// Reads the document through once without drawing anything and checks what Qt's renderer
// would be asked for, in it and in every SVG document embedded in it as a data address (base64
// or percent-encoded, gzip-compressed or not, recognised by its content as Qt recognises it),
// at most 4 documents deep: well-formed XML with an svg element at the top, at most 200
// elements deep, no reference to another file (a picture, a style sheet, an external entity
// or a CSS address other than a #fragment). One budget covers every level, each document
// counted as often as it is read: at most a million elements once every <use> is counted with
// what it repeats (and no <use> that repeats itself), 16 million characters of text, 16 million
// pixels of embedded pictures and a bounded amount of style-rule matching. Returns the
// picture's own size and the embedded documents. Throws DecodeError.
SvgInspection inspectSvg(const std::uint8_t* data, std::size_t size);

} // namespace logosmith::decoders
