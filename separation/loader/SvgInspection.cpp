#include "separation/loader/SvgInspection.h"

#include "platform/core/Error.h"
#include "separation/picture/Picture.h"

#include <QBuffer>
#include <QHash>
#include <QImageReader>
#include <QXmlStreamReader>

#include <zlib.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <string>

namespace logosmith::decoders {

namespace {

constexpr int maxDepth = 200;
constexpr int maxNesting = 4;                   // documents, the file's own included
constexpr std::int64_t maxElements = 1'000'000; // with every <use> counted as what it repeats
constexpr std::int64_t maxEmbeddedPixels = 16LL * 1024 * 1024;
// Characters of text and attribute values after entities are expanded: a small document can
// define entities that expand to megabytes each.
constexpr std::int64_t maxCharacters = 16LL * 1024 * 1024;
// Qt's style selector tries every selector on every element, applies a matching rule's
// declarations one by one and walks up the ancestors for a descendant selector. In units of
// one step up (about 16 ns here): some 0.3 s.
constexpr std::int64_t maxStyleWork = 20'000'000;
constexpr std::int64_t selectorTryWeight = 4;
constexpr std::int64_t declarationWeight = 10;

[[noreturn]] void damaged(const std::string& what) {
    throw DecodeError("The SVG file is damaged: " + what);
}
[[noreturn]] void tooMuch(const std::string& what) {
    throw DecodeError("The SVG file asks for too much: " + what);
}
[[noreturn]] void outside(const std::string& what, QStringView reference) {
    throw DecodeError("The SVG file " + what + " from another file, which is not read: " +
                      reference.left(200).toString().toStdString());
}

// A document whose top is no svg element: the file, or a document embedded in it.
[[noreturn]] void noSvgElement(int level) {
    if (level == 0)
        throw DecodeError("The file is not an SVG picture");
    damaged("an embedded SVG document has no svg element at its top");
}

bool named(QStringView name, const char16_t* what) {
    return name.compare(QStringView(what), Qt::CaseInsensitive) == 0;
}

// A length of the svg element in pixels at 96 per inch; percentages are of `whole`. NaN when
// the text is no length.
double pixels(QStringView text, double whole) {
    const std::string s = text.trimmed().toString().toStdString();
    double value = 0;
    const auto [end, error] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (error != std::errc() || !std::isfinite(value))
        return NAN;
    const std::string unit(end, s.data() + s.size());
    if (unit.empty() || unit == "px")
        return value;
    if (unit == "in")
        return value * 96;
    if (unit == "cm")
        return value * 96 / 2.54;
    if (unit == "mm")
        return value * 96 / 25.4;
    if (unit == "pt")
        return value * 96 / 72;
    if (unit == "pc")
        return value * 16;
    if (unit == "em")
        return value * 16;
    if (unit == "ex")
        return value * 8;
    if (unit == "%")
        return value * whole / 100;
    return NAN;
}

// The size the svg element gives, NaN where it gives none.
void ownSize(const QXmlStreamAttributes& a, double& width, double& height) {
    double boxWidth = NAN, boxHeight = NAN;
    const QStringList box =
        a.value(QStringLiteral("viewBox")).toString().simplified().replace(u',', u' ').split(u' ');
    if (box.size() == 4) {
        boxWidth = pixels(box[2], NAN);
        boxHeight = pixels(box[3], NAN);
    }
    width = a.hasAttribute(QStringLiteral("width"))
                ? pixels(a.value(QStringLiteral("width")), boxWidth)
                : boxWidth;
    height = a.hasAttribute(QStringLiteral("height"))
                 ? pixels(a.value(QStringLiteral("height")), boxHeight)
                 : boxHeight;
}

struct Node {
    int parent = -1;
    std::vector<int> children;
    QString reference; // what a <use> repeats, or a gradient inherits from
    std::int64_t weight = -1;
    bool visiting = false;
};

// Every element counted with all it draws, a <use> with the element it repeats. Returns the
// weight of the document.
std::int64_t weigh(std::vector<Node>& nodes, const QHash<QString, int>& ids) {
    for (std::size_t start = 0; start < nodes.size(); ++start) {
        if (nodes[start].weight >= 0)
            continue;
        // Depth-first without recursion: a chain of references may be long.
        std::vector<std::pair<int, std::size_t>> stack{{int(start), 0}};
        nodes[start].visiting = true;
        while (!stack.empty()) {
            auto& [index, next] = stack.back();
            Node& node = nodes[std::size_t(index)];
            // The children, then the referenced element, as the next ones to weigh.
            const std::size_t edges = node.children.size() + (node.reference.isEmpty() ? 0 : 1);
            if (next < edges) {
                int target = -1;
                if (next < node.children.size()) {
                    target = node.children[next];
                } else {
                    const auto found = ids.find(node.reference);
                    if (found != ids.end())
                        target = found.value();
                }
                ++next;
                if (target < 0 || nodes[std::size_t(target)].weight >= 0)
                    continue;
                if (nodes[std::size_t(target)].visiting)
                    damaged("an element refers to itself through <use> or a gradient");
                nodes[std::size_t(target)].visiting = true;
                stack.push_back({target, 0});
                continue;
            }
            std::int64_t weight = 1;
            for (const int child : node.children)
                weight += nodes[std::size_t(child)].weight;
            if (!node.reference.isEmpty()) {
                const auto found = ids.find(node.reference);
                if (found != ids.end())
                    weight += nodes[std::size_t(found.value())].weight;
            }
            if (weight > maxElements)
                tooMuch("more than a million elements once <use> repeats them");
            node.weight = weight;
            node.visiting = false;
            stack.pop_back();
        }
    }
    return nodes.empty() ? 0 : nodes[0].weight;
}

// How many elements a selector could match, and how deep they lie in all.
struct Occurrences {
    std::int64_t count = 0;
    std::int64_t depths = 0;
    void add(int depth) { ++count, depths += depth; }
    void narrow(const Occurrences& o) {
        count = std::min(count, o.count);
        depths = std::min(depths, o.depths);
    }
};

struct Elements {
    Occurrences all;
    QHash<QString, Occurrences> names, classes, ids;
};

bool isSelectorSeparator(QChar c) {
    return c.isSpace() || c == u'>' || c == u'+' || c == u'~';
}

// The style work of one rule: each of its selectors tried on every element, its declarations
// applied to each element its last compound selector could match (its type, classes and ids
// must all be there), and for a selector with ancestors a walk up from each such element.
std::int64_t ruleWork(QStringView selectors, std::int64_t declarations, const Elements& elements) {
    std::int64_t work = 0;
    for (QStringView selector : selectors.split(u',')) {
        selector = selector.trimmed();
        qsizetype last = selector.size();
        while (last > 0 && !isSelectorSeparator(selector[last - 1]))
            --last;
        const QStringView compound = selector.mid(last);
        Occurrences matched = elements.all;
        qsizetype i = 0;
        auto ident = [&] {
            const qsizetype from = i;
            while (i < compound.size() && (compound[i].isLetterOrNumber() || compound[i] == u'-' ||
                                           compound[i] == u'_' || compound[i] == u'|'))
                ++i;
            return compound.mid(from, i - from).toString().toLower();
        };
        // The type, then classes and ids up to the first pseudo-class or attribute, after
        // which the text may mean anything; escapes may mean anything anywhere.
        if (!compound.contains(u'\\')) {
            if (compound.startsWith(u'*'))
                ++i;
            QString type = ident();
            if (type.contains(u'|'))
                type = type.mid(type.lastIndexOf(u'|') + 1); // a namespace
            if (!type.isEmpty())
                matched.narrow(elements.names.value(type));
            while (i < compound.size() && (compound[i] == u'.' || compound[i] == u'#')) {
                const bool isClass = compound[i++] == u'.';
                const QString name = ident();
                matched.narrow(isClass ? elements.classes.value(name) : elements.ids.value(name));
            }
        }
        work += elements.all.count * selectorTryWeight +
                matched.count * (declarations + 1) * declarationWeight +
                (last > 0 ? matched.depths : 0);
    }
    return work;
}

// The style work of a document's style sheets (comments removed); refuses imports and
// addresses of other files.
std::int64_t styleWork(const QString& css, const Elements& elements) {
    std::int64_t work = 0;
    QString prelude;
    for (qsizetype i = 0; i < css.size(); ++i) {
        const QChar c = css[i];
        if (c == u'{') {
            const QString selectors = prelude.trimmed();
            prelude.clear();
            if (selectors.startsWith(u'@'))
                continue; // an at-rule's block holds rules, or declarations that match nothing
            std::int64_t declarations = 1;
            for (++i; i < css.size() && css[i] != u'}' && css[i] != u'{'; ++i)
                declarations += css[i] == u';';
            work += ruleWork(selectors, declarations, elements);
            if (work > maxStyleWork)
                return work;
        } else if (c == u'}' || c == u';') {
            prelude.clear();
        } else {
            prelude += c;
        }
    }
    return work;
}

QString withoutComments(const QString& css) {
    QString out;
    qsizetype at = 0;
    for (;;) {
        const qsizetype open = css.indexOf(u"/*", at);
        if (open < 0)
            break;
        out += QStringView(css).mid(at, open - at);
        const qsizetype close = css.indexOf(u"*/", open + 2);
        if (close < 0)
            return out;
        at = close + 2;
    }
    out += QStringView(css).mid(at);
    return out;
}

// Refuses every CSS address in `text` that is not a #fragment of the same document.
void checkAddresses(QStringView text) {
    for (qsizetype at = text.indexOf(u"url(", 0, Qt::CaseInsensitive); at >= 0;
         at = text.indexOf(u"url(", at + 4, Qt::CaseInsensitive)) {
        const qsizetype close = text.indexOf(u')', at);
        QStringView target = text.mid(at + 4, close < 0 ? -1 : close - at - 4).trimmed();
        if (target.startsWith(u'"') || target.startsWith(u'\''))
            target = target.mid(1).trimmed();
        if (!target.startsWith(u'#'))
            outside("refers to something", text.mid(at, close < 0 ? -1 : close - at + 1));
    }
}

// A gzip stream (or several, one after another) unpacked as Qt's renderer unpacks it, at most
// `limit` bytes.
QByteArray inflated(const QByteArray& packed, std::int64_t limit) {
    z_stream stream{};
    if (inflateInit2(&stream, MAX_WBITS + 16) != Z_OK)
        damaged("an embedded SVG document cannot be unpacked");
    stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(packed.constData()));
    stream.avail_in = uInt(packed.size());
    QByteArray out;
    char chunk[16384];
    int result = Z_OK;
    while (result == Z_OK || result == Z_STREAM_END) {
        stream.next_out = reinterpret_cast<Bytef*>(chunk);
        stream.avail_out = sizeof chunk;
        result = inflate(&stream, Z_NO_FLUSH);
        out.append(chunk, qsizetype(sizeof chunk - stream.avail_out));
        if (out.size() > limit) {
            inflateEnd(&stream);
            tooMuch("more than 16 million characters of text");
        }
        if (result == Z_STREAM_END) {
            if (stream.avail_in == 0 || inflateReset(&stream) != Z_OK)
                break;
        } else if (result == Z_BUF_ERROR && stream.avail_in == 0) {
            break; // cut short: Qt draws what came out
        }
    }
    inflateEnd(&stream);
    if (result != Z_STREAM_END && result != Z_BUF_ERROR)
        damaged("an embedded SVG document cannot be unpacked");
    return out;
}

class Inspector {
  public:
    SvgInspection run(const QByteArray& file) {
        SvgInspection result;
        result.size = walk(file, 0);
        result.embedded = std::move(embedded_);
        return result;
    }

  private:
    // One document at a level; the file's own is at level 0.
    SvgSize walk(const QByteArray& document, int level);
    void href(QStringView element, QStringView value, Node& node, int level);
    void embedded(QStringView address, int level);
    void payload(const QByteArray& bytes, int level);

    void spend(std::int64_t& spent, std::int64_t amount, std::int64_t limit, const char* what) {
        spent += amount;
        if (spent > limit)
            tooMuch(what);
    }

    std::int64_t elements_ = 0, characters_ = 0, styleWork_ = 0, pixels_ = 0;
    std::vector<EmbeddedSvg> embedded_;
};

SvgSize Inspector::walk(const QByteArray& document, int level) {
    const std::int64_t reads = svgReads(level);
    const char* const tooManyCharacters = "more than 16 million characters of text";
    QXmlStreamReader xml(document);
    std::vector<Node> nodes;
    QHash<QString, int> ids;
    std::vector<int> open;
    Elements elements;
    QString styles;
    int inStyle = 0;
    double width = NAN, height = NAN;
    while (!xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (token == QXmlStreamReader::StartElement) {
            const QStringView name = xml.name();
            const QXmlStreamAttributes attributes = xml.attributes();
            if (nodes.empty()) {
                if (!named(name, u"svg"))
                    noSvgElement(level);
                ownSize(attributes, width, height);
            }
            if (int(open.size()) >= maxDepth)
                tooMuch("elements nested more than 200 deep");
            Node node;
            node.parent = open.empty() ? -1 : open.back();
            const int depth = int(open.size());
            elements.all.add(depth);
            elements.names[name.toString().toLower()].add(depth);
            for (const QXmlStreamAttribute& attribute : attributes) {
                spend(characters_, attribute.value().size() * reads, maxCharacters,
                      tooManyCharacters);
                const QStringView key = attribute.name();
                const QStringView value = attribute.value();
                if (key == u"id" || key == u"class") {
                    auto& table = key == u"id" ? elements.ids : elements.classes;
                    for (QStringView word : value.split(u' ', Qt::SkipEmptyParts))
                        table[word.toString().toLower()].add(depth);
                }
                // The renderer finds the first element of an id.
                if (key == u"id" && !ids.contains(value.toString()))
                    ids.insert(value.toString(), int(nodes.size()));
                if (key == u"href")
                    href(name, value.trimmed(), node, level);
                else
                    checkAddresses(value);
            }
            if (node.parent >= 0)
                nodes[std::size_t(node.parent)].children.push_back(int(nodes.size()));
            open.push_back(int(nodes.size()));
            nodes.push_back(std::move(node));
            inStyle += named(name, u"style");
        } else if (token == QXmlStreamReader::EndElement) {
            if (!open.empty())
                open.pop_back();
            if (inStyle > 0 && named(xml.name(), u"style"))
                --inStyle;
        } else if (token == QXmlStreamReader::Characters) {
            spend(characters_, xml.text().size() * reads, maxCharacters, tooManyCharacters);
            if (inStyle > 0)
                styles += xml.text();
        } else if (token == QXmlStreamReader::ProcessingInstruction) {
            if (xml.processingInstructionTarget().compare(u"xml-stylesheet", Qt::CaseInsensitive) ==
                0)
                outside("takes a style sheet", xml.processingInstructionData().trimmed());
        } else if (token == QXmlStreamReader::DTD) {
            for (const QXmlStreamEntityDeclaration& entity : xml.entityDeclarations())
                if (!entity.systemId().isEmpty() || !entity.publicId().isEmpty())
                    outside("takes an entity",
                            entity.systemId().isEmpty() ? entity.publicId() : entity.systemId());
        }
    }
    if (xml.hasError()) {
        const std::string where = level == 0 ? "" : "an embedded SVG document: ";
        if (xml.error() == QXmlStreamReader::PrematureEndOfDocumentError)
            throw DecodeError(level == 0 ? "The SVG file is truncated"
                                         : "The SVG file is damaged: an embedded SVG document "
                                           "is truncated");
        if (nodes.empty() && level == 0)
            noSvgElement(level);
        damaged(where + xml.errorString().toStdString() + " (line " +
                std::to_string(xml.lineNumber()) + ")");
    }
    if (nodes.empty())
        noSvgElement(level);
    const QString css = withoutComments(styles);
    if (css.contains(u"@import", Qt::CaseInsensitive))
        throw DecodeError("The SVG file imports a style sheet from another file, which is not "
                          "read");
    checkAddresses(css);
    spend(styleWork_, std::min(styleWork(css, elements), maxStyleWork + 1) * reads, maxStyleWork,
          "style rules to match against every element");
    spend(elements_, weigh(nodes, ids) * reads, maxElements,
          "more than a million elements once <use> repeats them");
    if (level > 0) {
        embedded_.push_back(EmbeddedSvg{document, level});
        return {};
    }
    if (!(width > 0) || !(height > 0))
        throw DecodeError("The SVG file gives no size: its svg element has neither a width and "
                          "height nor a view box");
    const double w = std::round(width), h = std::round(height);
    Picture::checkSize(std::int64_t(std::min(std::max(w, 1.0), 1e12)),
                       std::int64_t(std::min(std::max(h, 1.0), 1e12)));
    return SvgSize{std::max(1, int(w)), std::max(1, int(h))};
}

// Qt reads a picture only for <image>, from a data address or a file; a data address anywhere
// else is never read. A link (<a>) is never followed.
void Inspector::href(QStringView element, QStringView value, Node& node, int level) {
    if (named(element, u"image")) {
        if (!value.startsWith(u"data:"))
            outside("shows a picture", value);
        embedded(value, level);
    } else if (value.startsWith(u'#')) {
        node.reference = value.mid(1).toString();
    } else if (!value.startsWith(u"data:") && !named(element, u"a")) {
        outside("refers to something", value);
    }
}

// A data address: its bytes as the standard reads them (percent-encoded, or base64 when its
// header says so), and, when they differ, as Qt 6.4 reads them (base64 from the last
// "base64,").
void Inspector::embedded(QStringView address, int level) {
    const qsizetype comma = address.indexOf(u',');
    if (comma < 0)
        damaged("an embedded picture has no data");
    QByteArray standard = QByteArray::fromPercentEncoding(address.mid(comma + 1).toUtf8());
    if (address.mid(5, comma - 5).trimmed().endsWith(u";base64", Qt::CaseInsensitive))
        standard = QByteArray::fromBase64(standard);
    payload(standard, level);
    const qsizetype base64 = address.lastIndexOf(u"base64,");
    if (base64 >= 0) {
        const QByteArray qt = QByteArray::fromBase64(address.mid(base64 + 7).toLatin1());
        if (qt != standard)
            payload(qt, level);
    }
}

// An embedded picture, recognised by its content as QImage::fromData recognises it.
void Inspector::payload(const QByteArray& bytes, int level) {
    const std::int64_t reads = svgReads(level);
    bool svg = false;
    QByteArray document = bytes;
    while (document.startsWith("\x1f\x8b")) {
        document = inflated(document, (maxCharacters - characters_) / reads);
        svg = true;
    }
    if (!svg) {
        QBuffer buffer;
        buffer.setData(bytes);
        buffer.open(QIODevice::ReadOnly);
        QImageReader reader(&buffer);
        const QByteArray format = reader.format();
        svg = format.startsWith("svg") || (format.isEmpty() && bytes.contains("<svg"));
        if (!svg) {
            // The size from the header only; a picture the reader cannot size is not drawn.
            const QSize size = reader.size();
            if (size.isValid())
                spend(pixels_, std::int64_t(size.width()) * size.height() * reads,
                      maxEmbeddedPixels, "more than 16 million pixels of embedded pictures");
            return;
        }
    }
    if (level + 1 >= maxNesting)
        tooMuch("SVG documents embedded more than 3 deep");
    walk(document, level + 1);
}

} // namespace

SvgInspection inspectSvg(const std::uint8_t* data, std::size_t size) {
    return Inspector().run(
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size)));
}

} // namespace logosmith::decoders
