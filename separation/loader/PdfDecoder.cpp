#include "separation/loader/PdfDecoder.h"

#include "platform/core/Error.h"
#include "separation/loader/ChildDraw.h"
#include "separation/loader/PaintBudget.h"

#include <QByteArray>
#include <QImage>
#include <QVariant>

#include <poppler-qt6.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>

namespace logosmith::decoders {

namespace {

const char* const tooMuchDrawing =
    "The PDF file asks for too much drawing (more than a second of it)";

void quiet(const QString&, const QVariant&) {}

struct AbortState {
    std::chrono::steady_clock::time_point deadline;
    bool hit = false;
};

bool shouldAbort(const QVariant& payload) {
    auto* state = reinterpret_cast<AbortState*>(payload.value<quintptr>());
    if (std::chrono::steady_clock::now() < state->deadline)
        return false;
    state->hit = true;
    return true;
}

} // namespace

void drawPdfPage(const std::uint8_t* data, std::size_t size, PictureBuilder& out,
                 std::chrono::steady_clock::time_point deadline) {
    Poppler::setDebugErrorFunction(quiet, QVariant());
    const std::unique_ptr<Poppler::Document> document = Poppler::Document::loadFromData(
        QByteArray(reinterpret_cast<const char*>(data), qsizetype(size)));
    if (!document)
        throw DecodeError("The PDF file is damaged");
    if (document->isLocked())
        throw DecodeError("The PDF file is locked with a password");
    if (document->numPages() < 1)
        throw DecodeError("The PDF file holds no page");
    const std::unique_ptr<Poppler::Page> page = document->page(0);
    if (!page)
        throw DecodeError("The PDF file is damaged: its first page cannot be read");
    const QSizeF points = page->pageSizeF();
    const double width = points.width() * 96 / 72, height = points.height() * 96 / 72;
    if (!(width > 0) || !(height > 0) || !std::isfinite(width) || !std::isfinite(height))
        throw DecodeError("The PDF file is damaged: its first page has no size");
    out.begin(std::max<std::int64_t>(1, std::llround(std::min(width, 1e12))),
              std::max<std::int64_t>(1, std::llround(std::min(height, 1e12))));
    Picture& picture = out.output();
    checkCanvasSize("PDF", picture.width(), picture.height());
    if (picture.isEmpty())
        return;
    document->setPaperColor(Qt::white);
    document->setRenderHint(Poppler::Document::Antialiasing);
    document->setRenderHint(Poppler::Document::TextAntialiasing);
    AbortState abort{deadline};
    const QImage drawn = page->renderToImage(
        picture.width() * 72.0 / points.width(), picture.height() * 72.0 / points.height(), 0, 0,
        picture.width(), picture.height(), Poppler::Page::Rotate0, nullptr, nullptr, shouldAbort,
        QVariant::fromValue(reinterpret_cast<quintptr>(&abort)));
    if (abort.hit)
        throw DecodeError(tooMuchDrawing);
    if (drawn.isNull())
        throw DecodeError("The PDF file's first page cannot be drawn");
    const QImage argb = drawn.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < std::min(picture.height(), argb.height()); ++y) {
        const auto* in = reinterpret_cast<const std::uint32_t*>(argb.constScanLine(y));
        std::uint8_t* dst = picture.row(y);
        for (int x = 0; x < std::min(picture.width(), argb.width()); ++x, dst += 3)
            composeOnWhite(in[x], dst);
    }
}

void decodePdf(ByteSource& in, PictureBuilder& out) {
    const std::uint8_t* data = in.all();
    const std::size_t size = in.size();
    // Readers accept the header anywhere in the first kilobyte.
    const std::string start(reinterpret_cast<const char*>(data), std::min<std::size_t>(size, 1024));
    if (start.find("%PDF-") == std::string::npos)
        throw DecodeError("The file is not a PDF picture");

    drawInChild("PDF", out, [&](PictureBuilder& page) {
        drawPdfPage(data, size, page,
                    std::chrono::steady_clock::now() +
                        std::chrono::milliseconds(childDrawingMilliseconds));
    });
}

} // namespace logosmith::decoders
