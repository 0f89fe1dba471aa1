#include "separation/loader/SvgDecoder.h"

#include "platform/core/Error.h"
#include "separation/loader/PaintBudget.h"
#include "separation/loader/QtImageDecoder.h"

#include <QBuffer>
#include <QByteArray>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <QSvgRenderer>
#include <QXmlStreamReader>

#include <QHash>
#include <charconv>
#include <cmath>
#include <string>
#include <vector>

namespace logosmith::decoders {

namespace {

constexpr int maxDepth = 200;
constexpr std::int64_t maxElements = 1'000'000; // with every <use> counted as what it repeats
constexpr std::int64_t maxEmbeddedPixels = 16LL * 1024 * 1024;
// Characters of text and attribute values after entities are expanded: a small document can
// define entities that expand to megabytes each.
constexpr std::int64_t maxCharacters = 16LL * 1024 * 1024;
// Style rules times elements: the renderer matches every rule against every element.
constexpr std::int64_t maxStyleMatches = 4'000'000;

[[noreturn]] void damaged(const std::string& what) {
    throw DecodeError("The SVG file is damaged: " + what);
}
[[noreturn]] void tooMuch(const std::string& what) {
    throw DecodeError("The SVG file asks for too much: " + what);
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

struct Node {
    int parent = -1;
    std::vector<int> children;
    QString reference; // what a <use> repeats, or a gradient inherits from
    std::int64_t weight = -1;
    bool visiting = false;
};

// Every element counted with all it draws, a <use> with the element it repeats.
void weigh(std::vector<Node>& nodes, const QHash<QString, int>& ids) {
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
}

// The pixels of a picture embedded as a data address, read from its header only.
std::int64_t embeddedPixels(QStringView href) {
    const qsizetype comma = href.indexOf(u',');
    if (comma < 0)
        damaged("an embedded picture has no data");
    const QByteArray data = QByteArray::fromBase64(href.mid(comma + 1).toLatin1());
    QBuffer buffer;
    buffer.setData(data);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    const QSize size = reader.size();
    if (!size.isValid())
        return 0; // the renderer will not draw it either
    return std::int64_t(size.width()) * size.height();
}

} // namespace

SvgSize inspectSvg(const std::uint8_t* data, std::size_t size) {
    QXmlStreamReader xml(
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size)));
    std::vector<Node> nodes;
    QHash<QString, int> ids;
    std::vector<int> open;
    std::int64_t characters = 0, rules = 0, embedded = 0;
    bool inStyle = false;
    double width = NAN, height = NAN;
    while (!xml.atEnd()) {
        const QXmlStreamReader::TokenType token = xml.readNext();
        if (token == QXmlStreamReader::StartElement) {
            const QStringView name = xml.name();
            if (nodes.empty()) {
                if (name != u"svg")
                    throw DecodeError("The file is not an SVG picture");
                const QXmlStreamAttributes a = xml.attributes();
                double boxWidth = NAN, boxHeight = NAN;
                const QStringList box = a.value(QStringLiteral("viewBox"))
                                            .toString()
                                            .simplified()
                                            .replace(u',', u' ')
                                            .split(u' ');
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
            if (int(open.size()) >= maxDepth)
                tooMuch("elements nested more than 200 deep");
            Node node;
            node.parent = open.empty() ? -1 : open.back();
            const QXmlStreamAttributes attributes = xml.attributes();
            for (const QXmlStreamAttribute& attribute : attributes) {
                characters += attribute.value().size();
                const QStringView key = attribute.name();
                // The renderer finds the first element of an id.
                if (key == u"id" && !ids.contains(attribute.value().toString()))
                    ids.insert(attribute.value().toString(), int(nodes.size()));
                if (key != u"href")
                    continue;
                const QStringView href = attribute.value().trimmed();
                if (name == u"image") {
                    if (!href.startsWith(u"data:"))
                        throw DecodeError("The SVG file shows a picture from another file, which "
                                          "is not read: " +
                                          href.left(200).toString().toStdString());
                    embedded += embeddedPixels(href);
                    if (embedded > maxEmbeddedPixels)
                        tooMuch("more than 16 million pixels of embedded pictures");
                } else if (href.startsWith(u'#')) {
                    node.reference = href.mid(1).toString();
                }
            }
            if (characters > maxCharacters)
                tooMuch("more than 16 million characters of text");
            if (node.parent >= 0)
                nodes[std::size_t(node.parent)].children.push_back(int(nodes.size()));
            open.push_back(int(nodes.size()));
            nodes.push_back(std::move(node));
            inStyle = name == u"style";
        } else if (token == QXmlStreamReader::EndElement) {
            if (!open.empty())
                open.pop_back();
            inStyle = false;
        } else if (token == QXmlStreamReader::Characters) {
            characters += xml.text().size();
            if (characters > maxCharacters)
                tooMuch("more than 16 million characters of text");
            if (inStyle)
                rules += xml.text().count(u'{');
        }
    }
    if (xml.hasError()) {
        if (xml.error() == QXmlStreamReader::PrematureEndOfDocumentError)
            throw DecodeError("The SVG file is truncated");
        if (nodes.empty())
            throw DecodeError("The file is not an SVG picture");
        damaged(xml.errorString().toStdString() + " (line " + std::to_string(xml.lineNumber()) +
                ")");
    }
    if (nodes.empty())
        throw DecodeError("The file is not an SVG picture");
    if (rules * std::int64_t(nodes.size()) > maxStyleMatches)
        tooMuch("style rules to match against every element");
    weigh(nodes, ids);
    if (!(width > 0) || !(height > 0))
        throw DecodeError("The SVG file gives no size: its svg element has neither a width and "
                          "height nor a view box");
    const double w = std::round(width), h = std::round(height);
    Picture::checkSize(std::int64_t(std::min(std::max(w, 1.0), 1e12)),
                       std::int64_t(std::min(std::max(h, 1.0), 1e12)));
    return SvgSize{std::max(1, int(w)), std::max(1, int(h))};
}

void putCanvas(const QImage& canvas, PictureBuilder& out) {
    Picture& picture = out.output();
    for (int y = 0; y < picture.height(); ++y) {
        const auto* in = reinterpret_cast<const std::uint32_t*>(canvas.constScanLine(y));
        std::uint8_t* dst = picture.row(y);
        for (int x = 0; x < picture.width(); ++x, dst += 3)
            composeOnWhite(in[x] | 0xFF000000u, dst);
    }
}

void decodeSvg(ByteSource& in, PictureBuilder& out) {
    const std::uint8_t* data = in.all();
    const SvgSize own = inspectSvg(data, in.size());
    out.begin(own.width, own.height, true);
    const QSize canvasSize(out.output().width(), out.output().height());
    checkCanvasSize("SVG", canvasSize.width(), canvasSize.height());
    if (canvasSize.isEmpty())
        return;
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        throw DecodeError("SVG pictures can only be drawn inside a graphical program");
    limitQtImageAllocations();
    QSvgRenderer renderer(
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(in.size())));
    if (!renderer.isValid())
        damaged("Qt's renderer cannot read it");
    const QRectF target(0, 0, canvasSize.width(), canvasSize.height());
    PaintBudget budget("SVG", canvasSize);
    // The renderer cannot be stopped half-way: it draws into a meter first, and onto the
    // canvas only when everything it draws fits the budget.
    {
        PaintMeter meter(canvasSize, budget);
        QPainter painter(&meter);
        renderer.render(&painter, target);
        painter.end();
        meter.rethrow();
    }
    QImage canvas(canvasSize, QImage::Format_RGB32);
    canvas.fill(Qt::white);
    {
        QPainter painter(&canvas);
        renderer.render(&painter, target);
    }
    putCanvas(canvas, out);
}

} // namespace logosmith::decoders
