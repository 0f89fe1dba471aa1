#include "printdata/reader/StreamReader.h"

#include <algorithm>
#include <bit>
#include <cstdio>

namespace logosmith::prn {

namespace {

constexpr std::uint8_t ESC = 0x1B, GS = 0x1D, CR = 0x0D;

std::string hex(std::uint8_t byte) {
    char text[3];
    std::snprintf(text, sizeof text, "%02X", byte);
    return text;
}

// "ESC a" for a printable letter, "ESC 07" for anything else.
std::string commandName(const char* prefix, std::uint8_t letter) {
    if (letter > 0x20 && letter < 0x7F)
        return std::string(prefix) + " " + char(letter);
    return std::string(prefix) + " " + hex(letter);
}

std::string plural(std::size_t n, const char* one, const char* many) {
    return std::to_string(n) + " " + (n == 1 ? one : many);
}

// The printer laying lines on one sheet. Bit images collect in the line buffer side by side
// and are printed by CR (no feed) or ESC J (then fed); each printed line is placed on the
// sheet's width when the sheet is finished, because a logo's width is known only at its end.
struct Head {
    struct Line {
        std::size_t first, end; // images
        std::int64_t units;
        bool centred;
    };

    Sheet& sheet;
    std::int64_t widthLimit; // paperUnits on paper, none (0) in a logo
    bool centre = false;     // ESC a in force
    Ink ink = inkL;          // ESC r in force
    std::int64_t y = 0;
    std::vector<Line> lines;
    // The unprinted line.
    std::size_t lineFirst = 0;
    std::size_t lineBytes = 0; // columnBytes.size() when the line began
    std::int64_t lineUnits = 0;
    std::int64_t lineColumns = 0;
    std::int64_t lineBottom = 0;
    bool lineCentred = false;

    Head(Sheet& s, std::int64_t limit) : sheet(s), widthLimit(limit) {}

    void lay(std::size_t offset, std::uint8_t mode, const std::uint8_t* columns,
             std::uint32_t count) {
        if (count == 0)
            return;
        if (sheet.images.size() == lineFirst)
            lineCentred = centre;
        BitImage image;
        image.offset = offset;
        image.x = lineUnits;
        image.y = y;
        image.first = sheet.columnBytes.size();
        image.count = count;
        image.mode = mode;
        image.ink = ink;
        sheet.images.push_back(image);
        sheet.columnBytes.insert(sheet.columnBytes.end(), columns, columns + count);
        sheet.modes |= std::uint8_t(1u << mode);
        lineUnits += image.widthUnits();
        lineColumns += count;

        std::uint8_t any = 0;
        for (std::uint32_t i = 0; i < count; ++i)
            any |= columns[i];
        if (any != 0) {
            const int lowestRow = 7 - std::countr_zero(any); // bit 0 is the band's bottom dot
            lineBottom = std::max(lineBottom, y + std::int64_t(lowestRow + 1) * unitsPerDotRow);
        }
    }

    void printLine() {
        if (sheet.images.size() > lineFirst) {
            lines.push_back(Line{lineFirst, sheet.images.size(), lineUnits, lineCentred});
            sheet.columns = std::max(sheet.columns, lineColumns);
            sheet.centred = sheet.centred || lineCentred;
            sheet.heightUnits = std::max(sheet.heightUnits, lineBottom);
        }
        startLine();
    }

    void feed(int units) {
        printLine();
        y += units;
        sheet.heightUnits = std::max(sheet.heightUnits, y);
    }

    // ESC @: the unprinted line is dropped and the modes reset.
    void initialise() {
        sheet.images.resize(lineFirst);
        sheet.columnBytes.resize(lineBytes);
        startLine();
        centre = false;
        ink = inkL;
    }

    void finish() {
        printLine();
        std::int64_t width = widthLimit;
        if (width == 0)
            for (const Line& line : lines)
                width = std::max(width, line.units);
        sheet.widthUnits = width;
        for (const Line& line : lines) {
            const std::int64_t left = line.centred ? (width - line.units) / 2 : 0;
            for (std::size_t i = line.first; i < line.end; ++i)
                sheet.images[i].x += left;
        }
    }

  private:
    void startLine() {
        lineFirst = sheet.images.size();
        lineBytes = sheet.columnBytes.size();
        lineUnits = 0;
        lineColumns = 0;
        lineBottom = 0;
    }
};

class Reader {
  public:
    explicit Reader(std::span<const std::uint8_t> bytes) : data_(bytes), regionEnd_(bytes.size()) {}

    Reading read() {
        reading_.bytes = data_.size();
        if (data_.size() > maxStreamBytes) {
            fail(0, "the stream is " + std::to_string(data_.size()) + " bytes; at most " +
                        std::to_string(maxStreamBytes) + " are read");
            return std::move(reading_);
        }
        Head paper(reading_.paper, paperUnits);
        while (pos_ < data_.size() && topCommand(paper)) {
        }
        paper.finish();
        return std::move(reading_);
    }

  private:
    bool fail(std::size_t offset, std::string message) {
        reading_.fault = Fault{offset, std::move(message)};
        return false;
    }

    // n bytes from start must lie in the stream and in the current region (a logo's band data).
    bool need(std::size_t start, std::size_t n, const std::string& what) {
        if (start + n <= std::min(regionEnd_, data_.size()))
            return true;
        if (start + n > regionEnd_ && !regionName_.empty())
            return fail(start, what + " crosses the end of " + regionName_ + " at offset " +
                                   std::to_string(regionEnd_));
        return fail(start, "the stream ends inside " + what);
    }

    std::uint8_t at(std::size_t offset) const { return data_[offset]; }

    // Commands that lay and feed the lines; the same inside a logo and on paper. pos_ is on a
    // byte that starts one of them (ESC r, ESC *, ESC J or CR).
    bool bandCommand(Head& head) {
        const std::size_t start = pos_;
        if (at(start) == CR) {
            head.printLine();
            pos_ += 1;
            return true;
        }
        const std::uint8_t letter = at(start + 1);
        if (letter == '*') {
            if (!need(start, 5, "ESC *"))
                return false;
            const std::uint8_t mode = at(start + 2);
            if (mode > 1)
                return fail(start + 2, "ESC * takes the mode 0 (single density) or 1 (double "
                                       "density), not " +
                                           hex(mode));
            const std::uint32_t count = at(start + 3) | std::uint32_t(at(start + 4)) << 8;
            if (!need(start, 5 + std::size_t(count),
                      "ESC * of " + plural(count, "column", "columns")))
                return false;
            if (head.widthLimit != 0 &&
                head.lineUnits + std::int64_t(count) * dotUnits(mode) > head.widthLimit)
                return fail(start, "ESC * of " + plural(count, "column", "columns") +
                                       " takes the line past the paper's edge (" +
                                       std::to_string(paperUnits / 2) + " single-density dots)");
            head.lay(start, mode, data_.data() + start + 5, count);
            pos_ = start + 5 + count;
            return true;
        }
        if (!need(start, 3, letter == 'r' ? "ESC r" : "ESC J"))
            return false;
        const std::uint8_t n = at(start + 2);
        if (letter == 'r') {
            if (n > 1)
                return fail(start + 2,
                            "ESC r takes 0 (L cartridge) or 1 (R cartridge), not " + hex(n));
            head.ink = n == 0 ? inkL : inkR;
        } else {
            head.feed(n);
        }
        pos_ = start + 3;
        return true;
    }

    static bool isBandCommand(std::uint8_t first, std::uint8_t second) {
        return first == ESC && (second == '*' || second == 'r' || second == 'J');
    }

    bool topCommand(Head& paper) {
        const std::size_t start = pos_;
        const std::uint8_t first = at(start);
        if (first == CR) {
            ++reading_.printCommands;
            return bandCommand(paper);
        }
        if (first == GS)
            return ending();
        if (first != ESC)
            return fail(start, "byte " + hex(first) + " is not a printer command");
        if (!need(start, 2, "ESC"))
            return false;
        const std::uint8_t letter = at(start + 1);
        if (isBandCommand(first, letter)) {
            ++reading_.printCommands;
            return bandCommand(paper);
        }
        switch (letter) {
        case '@':
            paper.initialise();
            pos_ = start + 2;
            return true;
        case 'a': {
            if (!need(start, 3, "ESC a"))
                return false;
            const std::uint8_t n = at(start + 2);
            if (n > 1)
                return fail(start + 2, "ESC a takes 0 (left) or 1 (centre), not " + hex(n));
            ++reading_.printCommands;
            paper.centre = n == 1;
            pos_ = start + 3;
            return true;
        }
        case 'g':
            return store();
        case 'x':
            return alignment();
        default:
            return fail(start, commandName("ESC", letter) + " is not a printer command");
        }
    }

    bool store() {
        const std::size_t start = pos_;
        if (!need(start, 4, "the store command ESC g 0 N"))
            return false;
        if (at(start + 2) != 0)
            return fail(start + 2,
                        "ESC g takes 0 before the logo count, not " + hex(at(start + 2)));
        const int count = at(start + 3);
        if (count < 1 || count > maxLogos)
            return fail(start + 3, "a store command holds 1 to " + std::to_string(maxLogos) +
                                       " logos, not " + std::to_string(count));
        std::vector<std::size_t> lengths;
        for (int k = 0; k < count; ++k) {
            const std::size_t entry = start + 4 + 2 * std::size_t(k);
            if (!need(entry, 2, "the store command's length table"))
                return false;
            const std::size_t length = std::size_t(at(entry)) << 8 | at(entry + 1);
            if (length < 6)
                return fail(entry, "logo " + std::to_string(k + 1) + "'s block of " +
                                       plural(length, "byte", "bytes") +
                                       " cannot hold its ESC a 1 and ESC a 0");
            lengths.push_back(length);
        }
        pos_ = start + 4 + 2 * std::size_t(count);

        std::vector<StoredLogo> logos(static_cast<std::size_t>(count));
        for (int k = 0; k < count; ++k)
            if (!block(logos[std::size_t(k)], k + 1, lengths[std::size_t(k)]))
                return false;
        reading_.logos = std::move(logos);
        ++reading_.storeCommands;
        return true;
    }

    // One logo's block: ESC a 1, band commands only, ESC a 0 ending exactly at its length.
    bool block(StoredLogo& logo, int number, std::size_t length) {
        const std::size_t start = pos_;
        const std::size_t end = start + length;
        const std::string name = "logo " + std::to_string(number);
        logo.number = number;
        logo.offset = start;
        logo.bytes = length;

        regionEnd_ = end;
        regionName_ = name + "'s block";
        if (!need(start, 3, name + "'s ESC a 1"))
            return false;
        if (at(start) != ESC || at(start + 1) != 'a')
            return fail(start, name + "'s block starts with " + hex(at(start)) + " " +
                                   hex(at(start + 1)) + ", not ESC a 1");
        if (at(start + 2) != 1)
            return fail(start + 2,
                        name + "'s block opens with ESC a " + hex(at(start + 2)) + ", not ESC a 1");

        Head head(logo.sheet, 0);
        head.centre = true;
        const std::size_t bandsEnd = end - 3;
        regionEnd_ = bandsEnd;
        regionName_ = name + "'s band data";
        pos_ = start + 3;
        while (pos_ < bandsEnd) {
            if (pos_ >= data_.size())
                return fail(pos_, "the stream ends " + plural(pos_ - start, "byte", "bytes") +
                                      " into " + name + "'s block of " +
                                      plural(length, "byte", "bytes"));
            const std::uint8_t first = at(pos_);
            if (first == ESC && pos_ + 2 < data_.size() && at(pos_ + 1) == 'a' && at(pos_ + 2) == 0)
                return fail(pos_, "ESC a 0 ends " + name + " " +
                                      plural(bandsEnd - pos_, "byte", "bytes") +
                                      " before its block length says");
            if (first == ESC) {
                if (!need(pos_, 2, "ESC"))
                    return false;
                const std::uint8_t second = at(pos_ + 1);
                if (!isBandCommand(first, second))
                    return fail(pos_, commandName("ESC", second) + " cannot be inside " + name +
                                          "'s band data");
            } else if (first != CR) {
                return fail(pos_,
                            "byte " + hex(first) + " is not a band command (in " + name + ")");
            }
            if (!bandCommand(head))
                return false;
        }

        regionEnd_ = end;
        regionName_ = name + "'s block";
        if (!need(bandsEnd, 3, name + "'s closing ESC a 0"))
            return false;
        if (at(bandsEnd) != ESC || at(bandsEnd + 1) != 'a')
            return fail(bandsEnd, name + "'s block of " + plural(length, "byte", "bytes") +
                                      " does not end with ESC a 0");
        if (at(bandsEnd + 2) != 0)
            return fail(bandsEnd + 2, name + "'s block closes with ESC a " + hex(at(bandsEnd + 2)) +
                                          ", not ESC a 0");
        head.finish();
        regionEnd_ = data_.size();
        regionName_.clear();
        pos_ = end;
        return true;
    }

    // ESC x 1 n: the alignment pattern (1), check setup (3), or set one mode's alignment (2)
    // followed by its mode, position and 20 zero bytes.
    bool alignment() {
        const std::size_t start = pos_;
        if (!need(start, 4, "ESC x 1 n"))
            return false;
        if (at(start + 2) != 1)
            return fail(start + 2, "ESC x takes 1, not " + hex(at(start + 2)));
        const std::uint8_t function = at(start + 3);
        if (function == 1 || function == 3) {
            reading_.functions.push_back(AlignmentFunction(function));
            pos_ = start + 4;
            return true;
        }
        if (function != 2)
            return fail(start + 3, "ESC x 1 takes the function 1, 2 or 3, not " + hex(function));
        if (!need(start, 26, "ESC x 1 2 and its 20 zero bytes"))
            return false;
        const std::uint8_t mode = at(start + 4), position = at(start + 5);
        if (mode < 1 || mode > 4)
            return fail(start + 4, "ESC x 1 2 sets the mode 1 to 4, not " + hex(mode));
        if (position < 1 || position > 7)
            return fail(start + 5, "ESC x 1 2 sets the position 1 to 7, not " + hex(position));
        for (std::size_t i = 6; i < 26; ++i)
            if (at(start + i) != 0)
                return fail(start + i, "ESC x 1 2 ends with 20 zero bytes; byte " +
                                           std::to_string(i - 5) + " is " + hex(at(start + i)));
        reading_.functions.push_back(AlignmentFunction::setAlignment);
        if (!reading_.alignment)
            reading_.alignment = std::array<int, 4>{};
        (*reading_.alignment)[mode - 1] = position;
        pos_ = start + 26;
        return true;
    }

    // GS v f NUL, the alignment command's fixed ending.
    bool ending() {
        const std::size_t start = pos_;
        if (!need(start, 2, "GS"))
            return false;
        if (at(start + 1) != 'v')
            return fail(start, commandName("GS", at(start + 1)) + " is not a printer command");
        if (!need(start, 4, "GS v f NUL"))
            return false;
        if (at(start + 2) != 'f')
            return fail(start + 2, "GS v takes f, not " + hex(at(start + 2)));
        if (at(start + 3) != 0)
            return fail(start + 3, "GS v f ends with NUL, not " + hex(at(start + 3)));
        pos_ = start + 4;
        return true;
    }

    std::span<const std::uint8_t> data_;
    std::size_t pos_ = 0;
    std::size_t regionEnd_;
    std::string regionName_;
    Reading reading_;
};

} // namespace

std::optional<std::uint8_t> Sheet::mode() const {
    if (modes == 1)
        return 0;
    if (modes == 2)
        return 1;
    return std::nullopt;
}

StreamKind Reading::kind() const {
    bool alignmentCommand = false, setupCommand = false;
    for (AlignmentFunction f : functions)
        (f == AlignmentFunction::setAlignment ? setupCommand : alignmentCommand) = true;
    const int kinds = (storeCommands > 0) + (printCommands > 0) + alignmentCommand + setupCommand;
    if (kinds == 0)
        return StreamKind::empty;
    if (kinds > 1)
        return StreamKind::mixed;
    if (storeCommands > 0)
        return StreamKind::store;
    if (printCommands > 0)
        return StreamKind::print;
    return alignmentCommand ? StreamKind::alignment : StreamKind::setup;
}

Reading readPrinterStream(std::span<const std::uint8_t> bytes) {
    return Reader(bytes).read();
}

} // namespace logosmith::prn
