#include "tools/mrx310-sim/SimPrinter.h"

#include <algorithm>
#include <cstdio>
#include <initializer_list>
#include <sstream>

namespace logosmith::sim {

namespace {

struct Fault {
    std::size_t offset;
    std::string message;
    // Raised because the received bytes ran out, not because of a byte that was there.
    bool atEnd = false;
};

std::string hexByte(std::uint8_t b) {
    char text[8];
    std::snprintf(text, sizeof text, "0x%02X", unsigned(b));
    return text;
}

std::string jsonString(const std::string& text) {
    std::string out = "\"";
    for (char ch : text) {
        const auto u = static_cast<unsigned char>(ch);
        if (ch == '"' || ch == '\\') {
            out += '\\';
            out += ch;
        } else if (u < 0x20) {
            char esc[8];
            std::snprintf(esc, sizeof esc, "\\u%04x", unsigned(u));
            out += esc;
        } else {
            out += ch;
        }
    }
    return out + "\"";
}

// Report names of the commands, in the order of SimPrinter::Command (and alphabetical, as the
// report lists them).
const char* const commandNames[] = {"CR",        "ESC *",     "ESC @",     "ESC J",
                                    "ESC a",     "ESC g",     "ESC r",     "ESC x 1 1",
                                    "ESC x 1 2", "ESC x 1 3", "GS v f NUL"};

// What an expectation names, for messages.
std::string documentName(Expect expect) {
    switch (expect) {
    case Expect::store:
        return "store command";
    case Expect::print:
        return "print command";
    case Expect::align:
        return "alignment or setup command";
    case Expect::firmware:
        return "firmware file";
    case Expect::anything:
        break;
    }
    return "stream";
}

// The widest line of a print command: an L line of W + 9 bytes may not exceed 1024.
constexpr std::int64_t maxPrintColumns = 1015;

} // namespace

std::optional<Expect> expectFromName(std::string_view name) {
    for (Expect e : {Expect::store, Expect::print, Expect::align, Expect::firmware})
        if (name == expectName(e))
            return e;
    return std::nullopt;
}

const char* expectName(Expect expect) {
    switch (expect) {
    case Expect::store:
        return "store";
    case Expect::print:
        return "print";
    case Expect::align:
        return "align";
    case Expect::firmware:
        return "firmware";
    case Expect::anything:
        break;
    }
    return "anything";
}

// ---------------------------------------------------------------------------------------------
// Reading

// The print position on one sheet: the paper, or one logo being stored.
struct SimPrinter::Head {
    Sheet* sheet;
    std::int64_t units = 0; // feed units so far; two units per dot row
    std::int64_t x = 0;
    int colour = 0;
};

struct SimPrinter::Cursor {
    const std::vector<std::uint8_t>& data;
    std::size_t pos;
    std::size_t limit;
    std::string limitName; // what ends at limit, for messages

    std::uint8_t at(std::size_t offsetFromPos) const { return data[pos + offsetFromPos]; }
    bool has(std::size_t size) const { return limit - pos >= size; }
    // Whether the bytes at the cursor begin with `prefix`.
    bool startsWith(std::initializer_list<std::uint8_t> prefix) const {
        if (!has(prefix.size()))
            return false;
        std::size_t i = 0;
        for (std::uint8_t b : prefix)
            if (at(i++) != b)
                return false;
        return true;
    }
    Fault pastEnd(std::size_t offset, const std::string& message) const {
        return Fault{offset, message, limit == data.size()};
    }
    // Throws when the command starting at pos needs more bytes than remain before limit.
    void need(std::size_t size, std::string_view what) const {
        if (!has(size))
            throw pastEnd(pos, std::string(what) + " runs past the end of " + limitName);
    }
    // What stands at the cursor, for messages.
    std::string found() const {
        if (pos >= limit)
            return "the end of " + limitName;
        const std::uint8_t b = at(0);
        if (b == 0x0D)
            return "CR";
        if (b == 0x1D)
            return "GS";
        if (b == 0x1B && has(2))
            return at(1) > 0x20 && at(1) < 0x7F ? std::string("ESC ") + char(at(1))
                                                : "ESC " + hexByte(at(1));
        return "byte " + hexByte(b);
    }
    // A fault at the cursor: `what` should stand there and does not.
    Fault expected(const std::string& what) const {
        return Fault{pos, what + " expected; found " + found(),
                     pos >= limit && limit == data.size()};
    }
    // Checks that exactly `bytes` stand at the cursor. A different command is a fault at its
    // start, a different value in the right command a fault at that byte.
    void check(std::initializer_list<std::uint8_t> bytes, const std::string& what) const {
        std::size_t i = 0;
        for (std::uint8_t b : bytes) {
            if (pos + i >= limit)
                throw pastEnd(i < 2 ? pos : pos + i,
                              what + " expected; found the end of " + limitName);
            if (at(i) != b)
                throw i < 2 ? Fault{pos, what + " expected; found " + found()}
                            : Fault{pos + i, what + " expected; found " + hexByte(at(i))};
            ++i;
        }
    }
    void demand(std::initializer_list<std::uint8_t> bytes, const std::string& what) {
        check(bytes, what);
        pos += bytes.size();
    }
};

SimPrinter::SimPrinter(Expect expect) : expect_(expect) {}

void SimPrinter::feed(const std::uint8_t* data, std::size_t size) {
    bytes_ += size;
    if (firmware()) {
        hash_->addData(QByteArrayView(data, qsizetype(size)));
        return;
    }
    // Past the limit only the count goes on, so that a sender is read to its end.
    const std::size_t room = maxStreamBytes - data_.size();
    if (size > room)
        overflowed_ = true;
    data_.insert(data_.end(), data, data + std::min(size, room));
}

void SimPrinter::finish() {
    if (finished_)
        return;
    finished_ = true;
    if (firmware()) {
        sha256_ = hash_->result().toHex().toStdString();
        if (bytes_ == 0)
            errors_.push_back(
                {0, "the stream is empty; a " + documentName(expect_) + " was expected"});
        return;
    }
    std::optional<Fault> fault;
    try {
        if (expect_ == Expect::anything)
            parseAll();
        else
            parseExpected();
    } catch (const Fault& f) {
        fault = f;
    }
    // A fault that only says the kept bytes ran out is the limit's doing.
    if (overflowed_ && (!fault || fault->atEnd))
        fault = Fault{maxStreamBytes, "the stream is longer than the " +
                                          std::to_string(maxStreamBytes) +
                                          " bytes the simulator reads"};
    if (fault)
        errors_.push_back({fault->offset, fault->message});
}

void SimPrinter::checkRoom(const Sheet& sheet, std::int64_t width, std::int64_t height,
                           std::size_t start) const {
    if (width > maxSheetSide || height > maxSheetSide)
        throw Fault{start, std::string(&sheet == &paper_ ? "the paper" : "the logo") +
                               " would be " + std::to_string(width) + " x " +
                               std::to_string(height) + " dots; the simulator renders at most " +
                               std::to_string(maxSheetSide) + " dots each way"};
    std::int64_t dots = finishedLogoDots_ + Sheet::dotsFor(width, height);
    if (&sheet != &paper_)
        dots += paper_.dots();
    if (dots > maxPaperDots)
        throw Fault{start, "rendering would take " + std::to_string(dots) +
                               " dots; the simulator renders at most " +
                               std::to_string(maxPaperDots) + " dots of paper and logos"};
}

void SimPrinter::drawBitImage(Head& head, std::size_t start, const std::uint8_t* columns,
                              std::size_t count) {
    const Sheet& sheet = *head.sheet;
    const std::int64_t y = head.units / 2;
    const int rows = Sheet::inkedRows(columns, count);
    checkRoom(sheet, std::max(sheet.width(), head.x + std::int64_t(count)),
              rows ? std::max(sheet.height(), y + rows) : sheet.height(), start);
    head.sheet->lay(head.x, y, head.colour == 0 ? Sheet::inkL : Sheet::inkR, columns, count);
    head.x += std::int64_t(count);
}

void SimPrinter::feedPaper(Head& head, std::size_t start, int units) {
    const Sheet& sheet = *head.sheet;
    const std::int64_t rows = (head.units + units) / 2 - head.units / 2;
    checkRoom(sheet, sheet.width(), std::max(sheet.height(), sheet.fedRows() + rows), start);
    head.units += units;
    head.sheet->feedRows(rows);
    head.x = 0;
}

bool SimPrinter::parseBandCommand(Cursor& c, Head& head) {
    const std::size_t start = c.pos;
    if (c.at(0) == 0x0D) {
        count(cmdCR);
        head.x = 0;
        c.pos += 1;
        return true;
    }
    if (c.at(0) != 0x1B)
        return false;
    c.need(2, "ESC");
    switch (c.at(1)) {
    case 'r': {
        c.need(3, "ESC r");
        const std::uint8_t n = c.at(2);
        if (n > 1)
            throw Fault{start + 2, "ESC r selects colour 0 or 1, not " + std::to_string(n)};
        count(cmdColour);
        head.colour = n;
        c.pos += 3;
        return true;
    }
    case '*': {
        c.need(5, "ESC * header");
        const std::uint8_t m = c.at(2);
        if (m > 1)
            throw Fault{start + 2, "ESC * mode must be 0 or 1, not " + std::to_string(m)};
        const std::size_t k = c.at(3) + 256u * c.at(4);
        if (!c.has(5 + k))
            throw c.pastEnd(start, "bit image of " + std::to_string(k) +
                                       " columns runs past the end of " + c.limitName);
        if (std::find(modes_.begin(), modes_.end(), int(m)) == modes_.end())
            modes_.push_back(m);
        drawBitImage(head, start, c.data.data() + start + 5, k);
        count(cmdBitImage);
        c.pos += 5 + k;
        return true;
    }
    case 'J': {
        c.need(3, "ESC J");
        feedPaper(head, start, c.at(2));
        count(cmdFeed);
        c.pos += 3;
        return true;
    }
    default:
        return false;
    }
}

void SimPrinter::parseAll() {
    Cursor c{data_, 0, data_.size(), "the stream"};
    Head paperHead{&paper_};
    while (c.pos < c.limit) {
        if (parseBandCommand(c, paperHead))
            continue;
        const std::size_t start = c.pos;
        const std::uint8_t b = c.at(0);
        if (b == 0x1D) {
            parseEnding(c);
        } else if (b == 0x1B) {
            // parseBandCommand has made sure a second byte is there.
            switch (c.at(1)) {
            case '@':
                count(cmdInit);
                paperHead.colour = 0;
                paperHead.x = 0;
                c.pos += 2;
                break;
            case 'a': {
                c.need(3, "ESC a");
                if (c.at(2) > 1)
                    throw Fault{start + 2, "ESC a takes 0 or 1, not " + std::to_string(c.at(2))};
                count(cmdJustify);
                c.pos += 3;
                break;
            }
            case 'g':
                parseStore(c, false);
                break;
            case 'x':
                parseAlignment(c);
                break;
            default:
                throw Fault{start + 1, "unexpected byte " + hexByte(c.at(1)) + " after ESC"};
            }
        } else {
            throw Fault{start, "unexpected byte " + hexByte(b)};
        }
    }
}

void SimPrinter::parseStore(Cursor& c, bool strict) {
    const std::size_t start = c.pos;
    c.need(4, "ESC g header");
    if (c.at(2) != 0)
        throw Fault{start + 2,
                    "ESC g takes 0 before the logo count, not " + std::to_string(c.at(2))};
    const int n = c.at(3);
    if (n < 1 || n > 10)
        throw Fault{start + 3, "store command names " + std::to_string(n) + " logos; 1 to 10 fit"};
    c.need(4 + 2 * std::size_t(n), "length table of the store command");
    std::vector<std::size_t> lengths;
    for (int k = 0; k < n; ++k)
        lengths.push_back(std::size_t(c.at(4 + 2 * k)) << 8 | c.at(5 + 2 * k));
    c.pos += 4 + 2 * std::size_t(n);

    std::vector<StoredLogo> logos;
    for (int k = 1; k <= n; ++k) {
        const std::size_t length = lengths[std::size_t(k - 1)];
        const std::string name = "logo " + std::to_string(k) + "'s block";
        if (length < 6)
            throw Fault{start + 2 + 2 * std::size_t(k), name + " length " + std::to_string(length) +
                                                            " is shorter than its 6 framing bytes"};
        const std::size_t blockStart = c.pos;
        const std::size_t blockEnd = blockStart + length;
        const bool truncated = blockEnd > c.limit;
        Cursor block{c.data, c.pos, std::min(blockEnd, c.limit),
                     truncated ? c.limitName : name + " (" + std::to_string(length) + " bytes)"};
        block.need(3, name + "'s ESC a 1");
        if (block.at(0) != 0x1B || block.at(1) != 'a' || block.at(2) != 1)
            throw Fault{blockStart, name + " must begin with ESC a 1"};
        count(cmdJustify);
        block.pos += 3;

        StoredLogo logo{k, length, {}};
        Head head{&logo.sheet};
        if (strict)
            parseBandStream(block, head, 0xFFFF);
        for (;;) {
            if (block.pos >= block.limit) {
                if (truncated)
                    throw block.pastEnd(block.pos, "the stream ends inside " + name +
                                                       " (begun at offset " +
                                                       std::to_string(blockStart) + ")");
                throw Fault{block.pos, name + " reaches its length " + std::to_string(length) +
                                           " without ending in ESC a 0"};
            }
            if (block.at(0) == 0x1B && block.pos + 1 < block.limit && block.at(1) == 'a') {
                block.need(3, "ESC a");
                if (block.at(2) != 0)
                    throw Fault{block.pos + 2, name + " may hold only ESC a 0, its end"};
                count(cmdJustify);
                block.pos += 3;
                break;
            }
            if (strict)
                throw Fault{block.pos, name +
                                           " must end with ESC a 0 after its last band record; "
                                           "found " +
                                           block.found()};
            if (!parseBandCommand(block, head))
                throw Fault{block.pos, "unexpected byte " + hexByte(block.at(0)) + " in " + name};
        }
        if (block.pos != blockEnd)
            throw Fault{block.pos - 3,
                        name + " ends after " + std::to_string(block.pos - blockStart) +
                            " bytes, but its length in the table is " + std::to_string(length)};
        finishedLogoDots_ += logo.sheet.dots();
        logos.push_back(std::move(logo));
        c.pos = block.pos;
    }
    logos_ = std::move(logos);
    count(cmdStore);
}

void SimPrinter::parseAlignment(Cursor& c) {
    const std::size_t start = c.pos;
    c.need(4, "ESC x");
    if (c.at(2) != 1)
        throw Fault{start + 2, "ESC x takes 1 before its function, not " + std::to_string(c.at(2))};
    const std::uint8_t function = c.at(3);
    if (function == 1 || function == 3) {
        count(function == 1 ? cmdPattern : cmdCheckSetup);
        c.pos += 4;
        return;
    }
    if (function != 2)
        throw Fault{start + 3, "ESC x 1 function " + std::to_string(function) + " is unknown"};
    c.need(26, "set-alignment record");
    const int mode = c.at(4);
    const int position = c.at(5);
    if (mode < 1 || mode > 4)
        throw Fault{start + 4, "alignment mode must be 1 to 4, not " + std::to_string(mode)};
    if (position < 1 || position > 7)
        throw Fault{start + 5,
                    "alignment position must be 1 to 7, not " + std::to_string(position)};
    for (std::size_t i = 6; i < 26; ++i)
        if (c.at(i) != 0)
            throw Fault{start + i, "set-alignment record must end in 20 zero bytes"};
    if (!alignment_)
        alignment_ = std::array<int, 4>{0, 0, 0, 0};
    (*alignment_)[std::size_t(mode - 1)] = position;
    count(cmdSetAlignment);
    c.pos += 26;
}

void SimPrinter::parseEnding(Cursor& c) {
    c.need(4, "GS v f NUL");
    const std::uint8_t expected[] = {0x1D, 0x76, 0x66, 0x00};
    for (std::size_t i = 1; i < 4; ++i)
        if (c.at(i) != expected[i])
            throw Fault{c.pos + i, "GS must be followed by v f NUL; found " + hexByte(c.at(i))};
    count(cmdEnding);
    c.pos += 4;
}

// ---------------------------------------------------------------------------------------------
// Expected documents: one stream, laid out exactly as the encoder and the dialogs write it.

// What the lines of one encoded image share, and what its last band record inked.
struct SimPrinter::Image {
    std::int64_t maxColumns = 0;
    std::optional<std::uint8_t> mode;
    std::optional<std::size_t> columns;
    std::size_t lastBandStart = 0;
    bool lastBandInksBottomRow = false;
};

void SimPrinter::parseExpected() {
    Cursor c{data_, 0, data_.size(), "the stream"};
    const std::string document = documentName(expect_);
    if (c.limit == 0)
        throw Fault{0,
                    "the stream is empty; " + std::string(expect_ == Expect::align ? "an " : "a ") +
                        document + " was expected",
                    true};
    switch (expect_) {
    case Expect::store:
        if (!c.startsWith({0x1B, 'g'}))
            throw c.expected("a store command (ESC g)");
        parseStore(c, true);
        if (c.startsWith({0x1B, 'g'}))
            throw Fault{c.pos, "a second store command; one stream stores its logos once"};
        break;
    case Expect::print:
        parsePrintDocument(c);
        break;
    case Expect::align:
        parseAlignDocument(c);
        break;
    case Expect::anything:
    case Expect::firmware:
        return;
    }
    if (c.pos < c.limit)
        throw Fault{c.pos, "the " + document + " is complete; found " + c.found() + " after it"};
}

// Band records as the encoder writes them: an L line (ESC r 0, ESC * m nL nH data, CR) only for
// a band with L ink, then the R line (ESC r 1, ESC * m nL nH data, ESC J 16) or the filler
// (CR, ESC J 16). Every line of one image has the same mode and width and at least one dot,
// and the last band never inks its bottom row: an image of h rows has floor(h / 8) + 1 bands.
void SimPrinter::parseBandStream(Cursor& c, Head& head, std::int64_t maxColumns) {
    Image image;
    image.maxColumns = maxColumns;
    for (bool first = true;; first = false) {
        const bool lLine = c.startsWith({0x1B, 'r', 0});
        if (!lLine && !c.startsWith({0x1B, 'r', 1}) && !c.startsWith({0x0D})) {
            if (c.startsWith({0x1B, 'r'}))
                parseBandCommand(c, head); // a colour that does not exist, or cut short
            if (c.startsWith({0x1B, '*'}))
                throw Fault{c.pos, "a bit image (ESC *) outside a line: each begins with ESC r"};
            if (c.startsWith({0x1B, 'J'}))
                throw Fault{c.pos, "a feed (ESC J) outside a band record"};
            if (first)
                throw c.expected("a band record (ESC r or CR)");
            break;
        }
        image.lastBandStart = c.pos;
        image.lastBandInksBottomRow = false;
        if (lLine) {
            parseBitImageLine(c, head, image, true);
            if (!c.startsWith({0x0D}))
                throw c.expected("the L line's closing CR");
            parseBandCommand(c, head);
            if (!c.startsWith({0x1B, 'r', 1}) && !c.startsWith({0x0D}))
                throw c.expected(
                    "after the L line an R line (ESC r 1) or the filler (CR ESC J 16)");
        }
        if (c.startsWith({0x1B, 'r', 1})) {
            parseBitImageLine(c, head, image, false);
            c.check({0x1B, 'J', 16}, "the R line's closing ESC J 16");
        } else {
            parseBandCommand(c, head); // the filler's CR
            c.check({0x1B, 'J', 16}, "the filler's ESC J 16 after CR");
        }
        parseBandCommand(c, head);
    }
    if (image.lastBandInksBottomRow)
        throw Fault{image.lastBandStart,
                    "the last band record inks its bottom row; an image ends with a band whose "
                    "bottom row is blank"};
}

void SimPrinter::parseBitImageLine(Cursor& c, Head& head, Image& image, bool lLine) {
    const std::string line = lLine ? "the L line" : "the R line";
    parseBandCommand(c, head); // ESC r n, checked by the caller
    if (!c.startsWith({0x1B, '*'}))
        throw c.expected(line + "'s bit image (ESC *)");
    c.need(5, "ESC * header");
    const std::size_t start = c.pos;
    const std::uint8_t m = c.at(2);
    const std::size_t k = c.at(3) + 256u * c.at(4);
    if (m <= 1 && image.mode && m != *image.mode)
        throw Fault{start + 2, "this line's mode byte is " + std::to_string(m) +
                                   "; the image's first line has " + std::to_string(*image.mode)};
    if (image.columns && k != *image.columns)
        throw Fault{start + 3, "this line has " + std::to_string(k) +
                                   " columns; the image's first line has " +
                                   std::to_string(*image.columns)};
    if (std::int64_t(k) > image.maxColumns)
        throw Fault{start + 3, "a print line of " + std::to_string(k) +
                                   " columns; the print command takes at most " +
                                   std::to_string(image.maxColumns)};
    if (c.has(5 + k)) {
        const std::uint8_t* data = c.data.data() + start + 5;
        std::uint8_t any = 0;
        for (std::size_t i = 0; i < k; ++i)
            any |= data[i];
        if (any == 0)
            throw Fault{start, line + " has no dot; a band without " +
                                   (lLine ? "L ink has no L line" : "R ink has the filler")};
        image.lastBandInksBottomRow |= (any & 1) != 0;
    }
    parseBandCommand(c, head);
    image.mode = m;
    image.columns = k;
}

// A print: the band stream of the picture, framed by ESC a 1 and ESC a 0 when centred.
void SimPrinter::parsePrintDocument(Cursor& c) {
    Head paperHead{&paper_};
    const bool centred = c.startsWith({0x1B, 'a'});
    if (centred) {
        c.demand({0x1B, 'a', 1}, "a centred print's ESC a 1");
        count(cmdJustify);
    }
    parseBandStream(c, paperHead, maxPrintColumns);
    if (centred) {
        c.demand({0x1B, 'a', 0}, "after the last band record, a centred print's ESC a 0");
        count(cmdJustify);
    }
}

// The alignment command (ESC @, ESC x 1 n with n 1 or 3, GS v f NUL) or the setup command
// (four set-alignment records for the modes 1 to 4 in order).
void SimPrinter::parseAlignDocument(Cursor& c) {
    if (c.startsWith({0x1B, 'x', 1}) && c.has(4) && c.at(3) != 2)
        throw Fault{0, "the alignment function ESC x 1 " + std::to_string(c.at(3)) +
                           " must follow ESC @"};
    if (c.startsWith({0x1B, '@'})) {
        count(cmdInit);
        c.pos += 2;
        if (!c.startsWith({0x1B, 'x', 1, 1}) && !c.startsWith({0x1B, 'x', 1, 3})) {
            c.demand({0x1B, 'x', 1}, "the alignment function ESC x 1 after ESC @");
            if (c.pos >= c.limit)
                throw c.expected("the alignment function 1 or 3");
            throw Fault{c.pos, "after ESC @ comes ESC x 1 1 (pattern) or ESC x 1 3 (check "
                               "setup), not function " +
                                   std::to_string(c.at(0))};
        }
        parseAlignment(c);
        c.demand({0x1D, 'v', 'f', 0}, "the alignment command's ending GS v f NUL");
        count(cmdEnding);
        return;
    }
    for (std::uint8_t mode = 1; mode <= 4; ++mode) {
        c.check({0x1B, 'x', 1, 2},
                mode == 1 ? std::string("an alignment command (ESC @) or a setup record")
                          : "setup record " + std::to_string(mode) + " of 4");
        if (c.has(5) && c.at(4) != mode)
            throw Fault{c.pos + 4, "setup record " + std::to_string(mode) + " sets mode " +
                                       std::to_string(mode) + ", not " + std::to_string(c.at(4))};
        parseAlignment(c);
    }
}

// ---------------------------------------------------------------------------------------------
// Report

std::map<std::string, int> SimPrinter::commands() const {
    std::map<std::string, int> seen;
    for (std::size_t i = 0; i < commands_.size(); ++i)
        if (commands_[i] > 0)
            seen[commandNames[i]] = commands_[i];
    return seen;
}

std::string SimPrinter::reportJson(const std::string& extra) const {
    std::ostringstream out;
    out << "{\n  \"ok\": " << (ok() ? "true" : "false") << ",\n  \"bytes\": " << bytes_
        << ",\n  \"expect\": ";
    if (expect_ == Expect::anything)
        out << "null";
    else
        out << jsonString(expectName(expect_));
    out << ",\n  \"errors\": [";
    for (std::size_t i = 0; i < errors_.size(); ++i)
        out << (i ? ", " : "") << "{\"offset\": " << errors_[i].offset
            << ", \"message\": " << jsonString(errors_[i].message) << "}";
    out << "],\n  \"stored_logos\": [";
    for (std::size_t i = 0; i < logos_.size(); ++i) {
        const auto& logo = logos_[i];
        out << (i ? ", " : "") << "{\"number\": " << logo.number
            << ", \"width\": " << logo.sheet.width() << ", \"height\": " << logo.sheet.height()
            << ", \"bytes\": " << logo.bytes << "}";
    }
    out << "],\n  \"printed\": {\"width\": " << paper_.width()
        << ", \"height\": " << paper_.height() << "},\n  \"bit_image_modes\": [";
    for (std::size_t i = 0; i < modes_.size(); ++i)
        out << (i ? ", " : "") << modes_[i];
    out << "],\n  \"commands\": {";
    bool first = true;
    for (const auto& [name, n] : commands()) {
        out << (first ? "" : ", ") << jsonString(name) << ": " << n;
        first = false;
    }
    out << "},\n  \"alignment\": ";
    if (alignment_)
        out << "{\"low\": " << (*alignment_)[0] << ", \"normal\": " << (*alignment_)[1]
            << ", \"high\": " << (*alignment_)[2] << ", \"color\": " << (*alignment_)[3] << "}";
    else
        out << "null";
    out << ",\n  \"firmware\": ";
    if (firmware())
        out << "{\"bytes\": " << bytes_ << ", \"sha256\": " << jsonString(sha256_) << "}";
    else
        out << "null";
    out << ",\n  \"limits\": {\"stream_bytes\": " << maxStreamBytes
        << ", \"sheet_side_dots\": " << maxSheetSide << ", \"paper_dots\": " << maxPaperDots << "}";
    if (!extra.empty())
        out << ",\n  " << extra;
    out << "\n}\n";
    return out.str();
}

SimPrinter simulate(const std::vector<std::uint8_t>& stream, Expect expect) {
    SimPrinter printer(expect);
    printer.feed(stream);
    printer.finish();
    return printer;
}

} // namespace logosmith::sim
