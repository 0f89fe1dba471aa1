#include "separation/loader/tests/hostile_files.h"

#include <QByteArray>

#include <cstdlib>

namespace loadertest {

namespace {

// Entropy-coded bits, most significant first, with 0xFF bytes stuffed as JPEG wants.
class BitWriter {
  public:
    explicit BitWriter(Bytes& out) : out_(out) {}
    void put(std::uint32_t value, int count) {
        for (int i = count - 1; i >= 0; --i) {
            byte_ = std::uint8_t((byte_ << 1) | ((value >> i) & 1));
            if (++bits_ == 8)
                flushByte();
        }
    }
    void finish() { // pad with ones
        while (bits_ != 0)
            put(1, 1);
    }

  private:
    void flushByte() {
        out_.push_back(byte_);
        if (byte_ == 0xFF)
            out_.push_back(0);
        byte_ = 0;
        bits_ = 0;
    }
    Bytes& out_;
    std::uint8_t byte_ = 0;
    int bits_ = 0;
};

void marker(Bytes& b, unsigned code, const Bytes& body) {
    b.push_back(0xFF);
    b.push_back(std::uint8_t(code));
    b.push_back(std::uint8_t((body.size() + 2) >> 8));
    b.push_back(std::uint8_t(body.size() + 2));
    b.insert(b.end(), body.begin(), body.end());
}

// One Huffman table holding a single one-bit code "0" for `symbol`.
Bytes singleCodeTable(unsigned tableClass, std::uint8_t symbol) {
    Bytes t{std::uint8_t(tableClass << 4), 1};
    t.insert(t.end(), 15, 0);
    t.push_back(symbol);
    return t;
}

void scanHeader(Bytes& b, int ss, int se, int ah, int al) {
    marker(b, 0xDA, {1, 1, 0x00, std::uint8_t(ss), std::uint8_t(se), std::uint8_t(ah << 4 | al)});
}

// End-of-band runs covering every block: symbol 0xE0 (a run of 2^14 + 14 bits) each time.
void endOfBandRuns(Bytes& b, long blocks) {
    BitWriter bits(b);
    const long runs = (blocks + 32766) / 32767;
    for (long i = 0; i < runs; ++i) {
        const long run = blocks / runs + (i < blocks % runs ? 1 : 0);
        bits.put(0, 1);
        bits.put(std::uint32_t(run - 16384), 14);
    }
    bits.finish();
}

Bytes dib(int width, int height, int bits, unsigned compression, const Bytes& pixels) {
    Bytes b = bmpHeader(width, height, bits, compression, bits <= 8 ? 2 : 0, pixels.size());
    b.erase(b.begin(), b.begin() + 14); // packed: no file header
    b.insert(b.end(), pixels.begin(), pixels.end());
    if (b.size() % 2)
        b.push_back(0);
    return b;
}

Bytes readMagick(const std::string& folder, const std::string& name, const std::string& args) {
    const std::string path = folder + "/" + name;
    const std::string command = "convert " + args + " '" + path + "' 2>/dev/null";
    if (std::system(command.c_str()) != 0)
        return {};
    return readBytes(path);
}

// An icon directory of one entry (written 256 x 256) holding the given picture bytes.
Bytes iconAround(const Bytes& picture) {
    Bytes b;
    append16(b, 0);
    append16(b, 1);
    append16(b, 1);
    b.insert(b.end(), {0, 0, 0, 0});
    append16(b, 1);
    append16(b, 32);
    append32(b, std::uint32_t(picture.size()));
    append32(b, 22);
    b.insert(b.end(), picture.begin(), picture.end());
    return b;
}

void put32be(Bytes& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b[at + std::size_t(i)] = std::uint8_t(v >> (24 - 8 * i));
}

// The CRC of PNG chunks.
std::uint32_t crc32(const std::uint8_t* data, std::size_t size) {
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    return ~crc;
}

// A one-page PDF of the given size in points drawing `content`; the cross-reference table is
// left for the reader to rebuild, as readers do.
Bytes pdfWith(int width, int height, const std::string& content) {
    const std::string text = "%PDF-1.4\n1 0 obj <</Type/Catalog/Pages 2 0 R>> endobj\n"
                             "2 0 obj <</Type/Pages/Kids[3 0 R]/Count 1>> endobj\n"
                             "3 0 obj <</Type/Page/Parent 2 0 R/MediaBox[0 0 " +
                             std::to_string(width) + " " + std::to_string(height) +
                             "]/Contents 4 0 R>> endobj\n4 0 obj <</Length " +
                             std::to_string(content.size()) + ">> stream\n" + content +
                             "\nendstream endobj\ntrailer <</Root 1 0 R>>\n%%EOF\n";
    return Bytes(text.begin(), text.end());
}

// The same bytes as gzip writes them: Qt's zlib stream without its header and checksum,
// inside gzip's.
std::string gzipped(const std::string& text) {
    const QByteArray zlib = qCompress(QByteArray::fromStdString(text), 9);
    std::string out = "\x1f\x8b\x08";
    out.append(6, '\0');
    out += '\xff';
    out.append(zlib.constData() + 6, std::size_t(zlib.size() - 10));
    Bytes tail;
    append32(tail, crc32(reinterpret_cast<const std::uint8_t*>(text.data()), text.size()));
    append32(tail, std::uint32_t(text.size()));
    out.append(tail.begin(), tail.end());
    return out;
}

std::string base64(const std::string& bytes) {
    return QByteArray::fromStdString(bytes).toBase64().toStdString();
}

// An EMF whose one text record holds `text` as UTF-16.
Bytes emfText(const std::u16string& text) {
    Bytes record;
    for (int v : {0, 0, 60, 60, 1}) // bounds, graphics mode
        append32(record, std::uint32_t(v));
    for (int i = 0; i < 2; ++i)
        append32(record, 0x3F800000); // scales of 1.0
    // reference point, characters, their offset, options, rectangle, spacing offset
    for (int v : {10, 30, int(text.size()), 76, 0, 0, 0, 60, 60, 0})
        append32(record, std::uint32_t(v));
    for (char16_t c : text)
        append16(record, c);
    record.resize((record.size() + 3) / 4 * 4, 0);
    std::vector<std::uint32_t> words(record.size() / 4);
    for (std::size_t i = 0; i < words.size(); ++i)
        for (int k = 0; k < 4; ++k)
            words[i] |= std::uint32_t(record[i * 4 + std::size_t(k)]) << (8 * k);
    return EmfWriter(60, 60).record(84, words).finish();
}

} // namespace

std::string svgImage(const std::string& document, int width, int height) {
    return "<image xlink:href=\"data:image/svg+xml;base64," +
           QByteArray::fromStdString(document).toBase64().toStdString() + "\" width=\"" +
           std::to_string(width) + "\" height=\"" + std::to_string(height) + "\"/>";
}

std::string svgDocument(int width, int height, const std::string& body) {
    return "<svg xmlns=\"http://www.w3.org/2000/svg\" xmlns:xlink=\"http://www.w3.org/1999/xlink\" "
           "width=\"" +
           std::to_string(width) + "\" height=\"" + std::to_string(height) + "\">" + body +
           "</svg>";
}

Bytes rgbTiff(int width, int height, int samples, int bits, int rowsPerStrip, const Bytes& strip) {
    Bytes data = strip;
    if (data.empty()) {
        const QByteArray zeros(qsizetype(std::int64_t(width) * samples * bits / 8 * rowsPerStrip),
                               '\0');
        const QByteArray packed = qCompress(zeros, 9).mid(4); // without Qt's length
        data.assign(packed.begin(), packed.end());
    }
    const std::uint32_t strips = std::uint32_t((height + rowsPerStrip - 1) / rowsPerStrip);
    const std::uint32_t dataAt = 8, offsetsAt = dataAt + std::uint32_t(data.size());
    const std::uint32_t countsAt = offsetsAt + 4 * strips;
    const std::uint32_t ifdAt = (countsAt + 4 * strips + 1) & ~1u;
    Bytes b{'I', 'I', 42, 0};
    append32(b, ifdAt);
    b.insert(b.end(), data.begin(), data.end());
    for (std::uint32_t i = 0; i < strips; ++i)
        append32(b, dataAt);
    for (std::uint32_t i = 0; i < strips; ++i)
        append32(b, std::uint32_t(data.size()));
    b.resize(ifdAt, 0);
    const bool one = strips == 1;
    // tag, type (3 short, 4 long), count, value
    const std::uint32_t entries[][4] = {
        {256, 4, 1, std::uint32_t(width)},
        {257, 4, 1, std::uint32_t(height)},
        {258, 3, 1, std::uint32_t(bits)},
        {259, 3, 1, strip.empty() ? 8u : 1u},
        {262, 3, 1, 2},
        {273, 4, strips, one ? dataAt : offsetsAt},
        {277, 3, 1, std::uint32_t(samples)},
        {278, 4, 1, std::uint32_t(rowsPerStrip)},
        {279, 4, strips, one ? std::uint32_t(data.size()) : countsAt},
        {284, 3, 1, 1},
    };
    append16(b, std::size(entries));
    for (const auto& e : entries) {
        append16(b, e[0]);
        append16(b, e[1]);
        append32(b, e[2]);
        append32(b, e[3]); // a short sits in the low half, little-endian
    }
    append32(b, 0);
    return b;
}

Bytes objectTableWmf(std::size_t bytes, bool declared) {
    WmfWriter wmf(0, 0, 96, 96, 96);
    for (int i = 0; i < 65535; ++i)
        wmf.record(0x00F7, {}); // a palette, six bytes
    for (std::size_t size = 22 + 18 + 65535 * 6; size + 22 + 6 < bytes; size += 22)
        wmf.remove(65534).record(0x00F7, {}).select(65534);
    Bytes b = wmf.finish();
    if (declared)
        put16(b, 22 + 10, 65535);
    return b;
}

std::vector<HostileFile> fileReferences(const std::string& picture, const std::string& styleSheet) {
    const std::string shows = "<image xlink:href=\"" + picture + "\" width=\"9\" height=\"9\"/>";
    const std::string inner = svgDocument(9, 9, shows);
    auto image = [](const std::string& address) {
        return svgDocument(9, 9,
                           "<image xlink:href=\"" + address + "\" width=\"9\" height=\"9\"/>");
    };
    const std::string relative = picture.substr(picture.find_last_of('/') + 1);
    const std::pair<const char*, std::string> documents[] = {
        {"path", inner},
        {"relative-path", image(relative)},
        {"href-without-xlink", svgDocument(9, 9, "<image href=\"" + picture + "\"/>")},
        {"file-address", image("file://" + picture)},
        {"fragment-read-as-a-file-name", image("#" + relative)},
        {"embedded", svgDocument(9, 9, svgImage(inner, 9, 9))},
        {"embedded-two-deep",
         svgDocument(9, 9, svgImage(svgDocument(9, 9, svgImage(inner, 9, 9)), 9, 9))},
        {"embedded-declared-as-png", image("data:image/png;base64," + base64(inner))},
        {"embedded-percent-encoded",
         image("data:image/svg+xml," +
               QByteArray::fromStdString(inner).toPercentEncoding().toStdString())},
        {"embedded-gzip", image("data:image/svg+xml;base64," + base64(gzipped(inner)))},
        {"embedded-gzip-two-deep",
         image("data:image/svg+xml;base64," +
               base64(gzipped(image("data:image/svg+xml;base64," + base64(gzipped(inner))))))},
        // Qt 6.4 reads base64 from the last "base64," whatever the header says.
        {"embedded-after-a-last-base64", image("data:text/plain,x base64," + base64(inner))},
        {"style-sheet-instruction", "<?xml-stylesheet type=\"text/css\" href=\"" + styleSheet +
                                        "\"?>" + svgDocument(9, 9, "")},
        {"css-import", svgDocument(9, 9, "<style>@import url(" + styleSheet + ");</style>")},
        {"css-address-in-a-style-sheet",
         svgDocument(9, 9, "<style>rect { fill: url('" + styleSheet + "#g') }</style>")},
        {"css-address-in-an-attribute",
         svgDocument(9, 9, "<rect width=\"9\" height=\"9\" fill=\"url(" + styleSheet + "#g)\"/>")},
        {"use-of-another-file", svgDocument(9, 9, "<use xlink:href=\"" + styleSheet + "#g\"/>")},
        {"external-entity", "<!DOCTYPE svg [<!ENTITY e SYSTEM \"" + styleSheet + "\">]>" +
                                svgDocument(9, 9, "<text>&e;</text>")},
    };
    std::vector<HostileFile> files;
    for (const auto& [name, document] : documents)
        files.push_back(
            {std::string("reference-") + name + ".svg", Bytes(document.begin(), document.end())});
    // The converter copies an EMF's text into its SVG unescaped: text that ends its own
    // character data and writes an element.
    files.push_back(
        {"reference-in-text.emf",
         emfText(u"]]></text>" + std::u16string(shows.begin(), shows.end()) + u"<text><![CDATA[")});
    return files;
}

Bytes manyScanJpeg(int width, int height, int acScansPerCoefficient) {
    Bytes b{0xFF, 0xD8};
    Bytes quant{0};
    quant.insert(quant.end(), 64, 1);
    marker(b, 0xDB, quant);
    marker(b, 0xC2,
           {8, std::uint8_t(height >> 8), std::uint8_t(height), std::uint8_t(width >> 8),
            std::uint8_t(width), 1, 1, 0x11, 0});
    marker(b, 0xC4, singleCodeTable(0, 0x00));
    marker(b, 0xC4, singleCodeTable(1, 0xE0));
    const long blocks = long((width + 7) / 8) * ((height + 7) / 8);
    // DC: a first scan of zero differences (one bit a block), one refinement bit a block.
    scanHeader(b, 0, 0, 0, 1);
    {
        BitWriter bits(b);
        for (long i = 0; i < blocks; ++i)
            bits.put(0, 1);
        bits.finish();
    }
    scanHeader(b, 0, 0, 1, 0);
    {
        BitWriter bits(b);
        for (long i = 0; i < blocks; ++i)
            bits.put(0, 1);
        bits.finish();
    }
    const int firstShift = std::min(13, acScansPerCoefficient - 1);
    for (int k = 1; k <= 63; ++k) {
        scanHeader(b, k, k, 0, firstShift);
        endOfBandRuns(b, blocks);
        for (int shift = firstShift; shift > 0; --shift) {
            scanHeader(b, k, k, shift, shift - 1);
            endOfBandRuns(b, blocks);
        }
    }
    b.push_back(0xFF);
    b.push_back(0xD9);
    return b;
}

std::vector<HostileFile> hostileFiles(const std::string& folder) {
    std::vector<HostileFile> files;

    // BMP: a run-length file claiming the largest picture, empty or full of long runs.
    Bytes rleEmpty = bmpHeader(8192, 8192, 8, 1, 2, 2);
    rleEmpty.insert(rleEmpty.end(), {0, 1});
    files.push_back({"rle-claims-64-megapixels.bmp", rleEmpty});
    Bytes runs; // rows of 33 runs of 255 pixels (the last one cut), each ended
    while (runs.size() < 1000000) {
        for (int i = 0; i < 33; ++i)
            runs.insert(runs.end(), {255, 1});
        runs.insert(runs.end(), {0, 0});
    }
    Bytes rleFull = bmpHeader(8192, 8192, 8, 1, 2, runs.size());
    rleFull.insert(rleFull.end(), runs.begin(), runs.end());
    files.push_back({"rle-long-runs.bmp", rleFull});
    Bytes mono = bmpHeader(8000, 1000, 1, 0, 2, 1000 * 1000);
    mono.resize(mono.size() + 1000 * 1000, 0x55);
    files.push_back({"one-bit-8-megapixels.bmp", mono});

    // JPEG: a header claiming 65000 x 1000 over a few bytes of data; endless scans.
    files.push_back({"many-scans.jpg", manyScanJpeg(4096, 4088, 14)});
    Bytes claim = readMagick(folder, "small.jpg", "-size 16x16 xc:red");
    for (std::size_t i = 0; i + 8 < claim.size(); ++i)
        if (claim[i] == 0xFF && claim[i + 1] == 0xC0) {
            claim[i + 5] = 1000 >> 8, claim[i + 6] = 1000 & 0xFF;   // height
            claim[i + 7] = 65000 >> 8, claim[i + 8] = 65000 & 0xFF; // width
            break;
        }
    files.push_back({"claims-65-megapixels.jpg", claim});
    files.push_back(
        {"progressive-16-megapixels.jpg",
         readMagick(folder, "prog.jpg", "-size 4096x4096 gradient:red-blue -interlace Plane")});

    // GIF and ICO: Qt's readers under their allocation limit. Small pictures whose headers
    // are made to claim far more.
    Bytes gif = readMagick(folder, "small.gif", "-size 16x16 xc:red");
    if (gif.size() > 32) {
        put16(gif, 6, 8192), put16(gif, 8, 8192); // the screen
        for (std::size_t i = 13; i + 9 < gif.size(); ++i)
            if (gif[i] == 0x2C) { // the frame
                put16(gif, i + 5, 8192), put16(gif, i + 7, 8192);
                break;
            }
    }
    files.push_back({"claims-64-megapixels.gif", gif});
    files.push_back(
        {"screen-9-megapixels.gif", readMagick(folder, "mid.gif", "-size 3000x3000 xc:blue")});
    Bytes png = readMagick(folder, "small.png", "-size 16x16 xc:green");
    if (png.size() > 33) {
        for (std::size_t at : {std::size_t(16), std::size_t(20)})
            png[at] = 0, png[at + 1] = 0, png[at + 2] = 8000 >> 8, png[at + 3] = 8000 & 0xFF;
        put32be(png, 29, crc32(png.data() + 12, 17));
    }
    files.push_back({"png-of-64-megapixels.ico", iconAround(png)});
    files.push_back({"claims-64-megapixels.png", png});
    files.push_back({"white-36-megapixels.tif",
                     readMagick(folder, "big.tif", "-size 6000x6000 xc:white -compress zip")});

    // SVG: entities that expand a thousandfold at each level, <use> that repeats a group that
    // repeats a group ..., a page of 64000 pixels square. PDF: a page as large as a page may
    // be, and thousands of full-page fills of a page under the canvas limit.
    std::string laughs =
        "<?xml version=\"1.0\"?><!DOCTYPE svg [<!ENTITY a \"" + std::string(1000, 'a') + "\">";
    for (char c = 'b'; c <= 'e'; ++c)
        laughs += std::string("<!ENTITY ") + c + " \"" + [&] {
            std::string r;
            for (int i = 0; i < 1000; ++i)
                r += std::string("&") + char(c - 1) + ";";
            return r;
        }() + "\">";
    laughs += "]><svg xmlns=\"http://www.w3.org/2000/svg\" width=\"9\" "
              "height=\"9\"><text>&e;</text></svg>";
    files.push_back({"entities.svg", Bytes(laughs.begin(), laughs.end())});
    std::string uses = "<svg xmlns=\"http://www.w3.org/2000/svg\" "
                       "xmlns:xlink=\"http://www.w3.org/1999/xlink\" width=\"4000\" "
                       "height=\"4000\"><g id=\"g0\"><rect width=\"4000\" height=\"4000\"/></g>";
    for (int i = 1; i <= 30; ++i)
        uses += "<g id=\"g" + std::to_string(i) + "\"><use xlink:href=\"#g" +
                std::to_string(i - 1) + "\"/><use xlink:href=\"#g" + std::to_string(i - 1) +
                "\"/></g>";
    uses += "</svg>";
    files.push_back({"doubling-uses.svg", Bytes(uses.begin(), uses.end())});
    const std::string huge = "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"64000\" "
                             "height=\"64000\"><rect width=\"9\" height=\"9\"/></svg>";
    files.push_back({"page-64000.svg", Bytes(huge.begin(), huge.end())});
    files.push_back({"page-14400.pdf", pdfWith(14400, 14400, "0 0 10 10 re f")});
    std::string fills;
    for (int i = 0; i < 40000; ++i)
        fills += "0 0 3000 3000 re f\n";
    files.push_back({"fills.pdf", pdfWith(3000, 3000, fills)});

    // WMF: thousands of full-canvas rectangles, a polygon whose edges cross on every row,
    // stretched bitmaps that each claim 16 million pixels, a very thick pen.
    WmfWriter rectangles(0, 0, 4096, 4096, 96);
    rectangles.solidBrush(logosmith::colours::red).select(0);
    for (int i = 0; i < 3000; ++i)
        rectangles.rectangle(0, 0, 4096, 4096);
    files.push_back({"rectangles.wmf", rectangles.finish()});
    std::vector<int> zigzag;
    for (int i = 0; i < 8000; ++i)
        zigzag.insert(zigzag.end(), {i * 4096 / 8000, i % 2 ? 0 : 4096});
    files.push_back({"zigzag.wmf", WmfWriter(0, 0, 4096, 4096, 96)
                                       .solidBrush(logosmith::colours::blue)
                                       .select(0)
                                       .polygon(zigzag)
                                       .finish()});
    WmfWriter bitmaps(0, 0, 4096, 4096, 96);
    const Bytes claimingDib = dib(4096, 4096, 8, 1, {0, 1});
    for (int i = 0; i < 30; ++i)
        bitmaps.stretchDib(0, 0, 4096, 4096, claimingDib, 4096, 4096);
    files.push_back({"stretched-bitmaps.wmf", bitmaps.finish()});
    WmfWriter thick(0, 0, 4096, 4096, 96);
    thick.pen(0, 30000, logosmith::colours::black).select(0);
    for (int i = 0; i < 3000; ++i)
        thick.line(0, i, 4096, 4096 - i);
    files.push_back({"thick-pen.wmf", thick.finish()});

    // EMF: a frame of 8192 x 8192, thousands of full-frame rectangles, a crossing polygon.
    files.push_back({"frame-8192.emf", EmfWriter(8192, 8192).rectangle(0, 0, 10, 10).finish()});
    EmfWriter emfRectangles(4096, 4096);
    emfRectangles.brush(1, logosmith::colours::red).select(1);
    for (int i = 0; i < 20000; ++i)
        emfRectangles.rectangle(0, 0, 4096, 4096);
    files.push_back({"rectangles.emf", emfRectangles.finish()});
    std::vector<int> emfZigzag;
    for (int i = 0; i < 16000; ++i)
        emfZigzag.insert(emfZigzag.end(), {i * 4096 / 16000, i % 2 ? 0 : 4095});
    files.push_back({"zigzag.emf", EmfWriter(4096, 4096)
                                       .brush(1, logosmith::colours::blue)
                                       .select(1)
                                       .polygon16(emfZigzag)
                                       .finish()});

    // Embedded documents, style sheets and declared sizes that cost more than they show: a
    // document embedded in a document, drawn with 14000 fills of its canvas; a style rule of
    // 40000 declarations for every one of 20000 elements, and 1000 rules for 4800 elements
    // (just within the limit); a TIFF of 152 bytes declaring 65535 samples of 16 bits, and one
    // of 16 samples that decodes to 256 MB; a WMF that fills an object table of 65535 slots,
    // declared or grown record by record, then creates again in its last one and selects it.
    std::string embeddedFills;
    for (int i = 0; i < 14000; ++i)
        embeddedFills += "<rect width=\"2000\" height=\"2000\"/>";
    const std::string nested =
        svgDocument(100, 100, svgImage(svgDocument(2000, 2000, embeddedFills), 100, 100));
    files.push_back({"embedded-fills.svg", Bytes(nested.begin(), nested.end())});
    std::string styled = "<style>rect{";
    for (int i = 0; i < 40000; ++i)
        styled += "fill:#f00;";
    styled += "}</style>";
    for (int i = 0; i < 20000; ++i)
        styled += "<rect width=\"1\" height=\"1\"/>";
    styled = svgDocument(100, 100, styled);
    files.push_back({"declarations.svg", Bytes(styled.begin(), styled.end())});
    std::string rules = "<style>";
    for (int i = 0; i < 1000; ++i)
        rules += ".c" + std::to_string(i) + "{fill:#f00}";
    rules += "</style>";
    for (int i = 0; i < 4800; ++i)
        rules += "<rect class=\"c" + std::to_string(i % 1000) + "\" width=\"9\" height=\"9\"/>";
    rules = svgDocument(100, 100, rules);
    files.push_back({"rules.svg", Bytes(rules.begin(), rules.end())});
    files.push_back({"samples-65535.tif", rgbTiff(65535, 1, 65535, 16, 1, Bytes(8, 0))});
    files.push_back({"samples-16.tif", rgbTiff(4096, 4096, 16, 8, 16)});
    files.push_back({"object-table.wmf", objectTableWmf(1000 * 1000, true)});
    files.push_back({"grown-object-table.wmf", objectTableWmf(1000 * 1000, false)});
    return files;
}

} // namespace loadertest
