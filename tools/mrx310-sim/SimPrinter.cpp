#include "tools/mrx310-sim/SimPrinter.h"

#include <algorithm>
#include <cstdio>
#include <sstream>

namespace logosmith::sim {

namespace {

struct Fault {
    std::size_t offset;
    std::string message;
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

} // namespace

// ---------------------------------------------------------------------------------------------
// Sheet

void Sheet::lay(int x, int y, Ink ink) {
    if (std::size_t(y) >= rows_.size())
        rows_.resize(std::size_t(y) + 1);
    auto& row = rows_[std::size_t(y)];
    if (std::size_t(x) >= row.size())
        row.resize(std::size_t(x) + 1, 0);
    row[std::size_t(x)] |= ink;
    width_ = std::max(width_, x + 1);
}

std::uint8_t Sheet::dot(int x, int y) const {
    if (y < 0 || x < 0 || std::size_t(y) >= rows_.size())
        return none;
    const auto& row = rows_[std::size_t(y)];
    return std::size_t(x) < row.size() ? row[std::size_t(x)] : std::uint8_t(none);
}

int Sheet::height() const {
    return std::max(fedRows_, int(rows_.size()));
}

std::vector<std::uint8_t> Sheet::toRgb(int& width, int& height) const {
    width = std::max(1, width_);
    height = std::max(1, this->height());
    std::vector<std::uint8_t> rgb(std::size_t(width) * std::size_t(height) * 3, 0xFF);
    for (std::size_t y = 0; y < rows_.size(); ++y) {
        const auto& row = rows_[y];
        for (std::size_t x = 0; x < row.size(); ++x) {
            std::uint8_t* p = rgb.data() + (y * std::size_t(width) + x) * 3;
            switch (row[x]) {
            case inkL:
                p[0] = p[1] = p[2] = 0;
                break;
            case inkR:
                p[0] = 255, p[1] = 0, p[2] = 0;
                break;
            case inkL | inkR:
                p[0] = 112, p[1] = 0, p[2] = 112;
                break;
            default:
                break;
            }
        }
    }
    return rgb;
}

// ---------------------------------------------------------------------------------------------
// Parsing

// The print position on one sheet: the paper, or one logo being stored.
struct SimPrinter::Head {
    Sheet* sheet;
    int units = 0; // feed units so far; two units per dot row
    int x = 0;
    int colour = 0;
};

struct SimPrinter::Cursor {
    const std::vector<std::uint8_t>& data;
    std::size_t pos;
    std::size_t limit;
    std::string limitName; // what ends at limit, for messages

    std::uint8_t at(std::size_t offsetFromPos) const { return data[pos + offsetFromPos]; }
    // Throws when the command starting at pos needs more bytes than remain before limit.
    void need(std::size_t size, const std::string& what) const {
        if (pos + size > limit)
            throw Fault{pos, what + " runs past the end of " + limitName};
    }
};

SimPrinter::SimPrinter(bool firmware) : firmware_(firmware) {}

void SimPrinter::feed(const std::uint8_t* data, std::size_t size) {
    bytes_ += size;
    if (firmware_)
        hash_->addData(QByteArrayView(data, qsizetype(size)));
    else
        data_.insert(data_.end(), data, data + size);
}

void SimPrinter::finish() {
    if (finished_)
        return;
    finished_ = true;
    if (firmware_) {
        sha256_ = hash_->result().toHex().toStdString();
        return;
    }
    try {
        parseAll();
    } catch (const Fault& fault) {
        errors_.push_back({fault.offset, fault.message});
    }
}

bool SimPrinter::parseBandCommand(Cursor& c, Head& head) {
    const std::size_t start = c.pos;
    if (c.at(0) == 0x0D) {
        count("CR");
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
        count("ESC r");
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
        c.need(5 + k, "bit image of " + std::to_string(k) + " columns");
        if (std::find(modes_.begin(), modes_.end(), int(m)) == modes_.end())
            modes_.push_back(m);
        const int y0 = head.units / 2;
        const auto ink = head.colour == 0 ? Sheet::inkL : Sheet::inkR;
        for (std::size_t i = 0; i < k; ++i) {
            const std::uint8_t column = c.at(5 + i);
            for (int bit = 0; bit < 8; ++bit)
                if (column & (0x80 >> bit))
                    head.sheet->lay(head.x + int(i), y0 + bit, ink);
        }
        head.sheet->reach(head.x + int(k));
        head.x += int(k);
        count("ESC *");
        c.pos += 5 + k;
        return true;
    }
    case 'J': {
        c.need(3, "ESC J");
        const int before = head.units / 2;
        head.units += c.at(2);
        head.sheet->feedRows(head.units / 2 - before);
        head.x = 0;
        count("ESC J");
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
                count("ESC @");
                paperHead.colour = 0;
                paperHead.x = 0;
                c.pos += 2;
                break;
            case 'a': {
                c.need(3, "ESC a");
                if (c.at(2) > 1)
                    throw Fault{start + 2, "ESC a takes 0 or 1, not " + std::to_string(c.at(2))};
                count("ESC a");
                c.pos += 3;
                break;
            }
            case 'g':
                parseStore(c);
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

void SimPrinter::parseStore(Cursor& c) {
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
        count("ESC a");
        block.pos += 3;

        StoredLogo logo{k, length, {}};
        Head head{&logo.sheet};
        for (;;) {
            if (block.pos >= block.limit) {
                if (truncated)
                    throw Fault{block.pos, "the stream ends inside " + name + " (begun at offset " +
                                               std::to_string(blockStart) + ")"};
                throw Fault{block.pos, name + " reaches its length " + std::to_string(length) +
                                           " without ending in ESC a 0"};
            }
            if (block.at(0) == 0x1B && block.pos + 1 < block.limit && block.at(1) == 'a') {
                block.need(3, "ESC a");
                if (block.at(2) != 0)
                    throw Fault{block.pos + 2, name + " may hold only ESC a 0, its end"};
                count("ESC a");
                block.pos += 3;
                break;
            }
            if (!parseBandCommand(block, head))
                throw Fault{block.pos, "unexpected byte " + hexByte(block.at(0)) + " in " + name};
        }
        if (block.pos != blockEnd)
            throw Fault{block.pos - 3,
                        name + " ends after " + std::to_string(block.pos - blockStart) +
                            " bytes, but its length in the table is " + std::to_string(length)};
        logos.push_back(std::move(logo));
        c.pos = block.pos;
    }
    logos_ = std::move(logos);
    count("ESC g");
}

void SimPrinter::parseAlignment(Cursor& c) {
    const std::size_t start = c.pos;
    c.need(4, "ESC x");
    if (c.at(2) != 1)
        throw Fault{start + 2, "ESC x takes 1 before its function, not " + std::to_string(c.at(2))};
    const std::uint8_t function = c.at(3);
    if (function == 1 || function == 3) {
        count("ESC x 1 " + std::to_string(function));
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
    count("ESC x 1 2");
    c.pos += 26;
}

void SimPrinter::parseEnding(Cursor& c) {
    c.need(4, "GS v f NUL");
    const std::uint8_t expected[] = {0x1D, 0x76, 0x66, 0x00};
    for (std::size_t i = 1; i < 4; ++i)
        if (c.at(i) != expected[i])
            throw Fault{c.pos + i, "GS must be followed by v f NUL; found " + hexByte(c.at(i))};
    count("GS v f NUL");
    c.pos += 4;
}

// ---------------------------------------------------------------------------------------------
// Report

std::string SimPrinter::reportJson(const std::string& extra) const {
    std::ostringstream out;
    out << "{\n  \"ok\": " << (ok() ? "true" : "false") << ",\n  \"bytes\": " << bytes_
        << ",\n  \"errors\": [";
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
    for (const auto& [name, n] : commands_) {
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
    if (firmware_)
        out << "{\"bytes\": " << bytes_ << ", \"sha256\": " << jsonString(sha256_) << "}";
    else
        out << "null";
    if (!extra.empty())
        out << ",\n  " << extra;
    out << "\n}\n";
    return out.str();
}

SimPrinter simulate(const std::vector<std::uint8_t>& stream) {
    SimPrinter printer;
    printer.feed(stream);
    printer.finish();
    return printer;
}

} // namespace logosmith::sim
