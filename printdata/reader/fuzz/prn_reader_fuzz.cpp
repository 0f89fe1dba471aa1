// Any bytes at all: the reader must stop cleanly, at an offset inside the stream, and what it
// read must stay inside its sheets; a stream that is refused is refused with the offset where
// reading stopped.

#include "platform/core/Error.h"
#include "printdata/reader/PrinterFile.h"
#include "printdata/reader/StreamReader.h"
#include "printdata/reader/StreamView.h"

#include <cstdlib>
#include <string>

using namespace logosmith::prn;

namespace {

void check(bool condition) {
    if (!condition)
        std::abort();
}

void checkSheet(const Sheet& sheet) {
    for (const BitImage& image : sheet.images) {
        check(image.count > 0 && image.first + image.count <= sheet.columnBytes.size());
        check(image.x >= 0 && image.x + image.widthUnits() <= sheet.widthUnits);
        check(image.y >= 0 && image.y <= sheet.heightUnits);
    }
    // Small drawings keep each run fast; the whole drawing is exercised by the tests.
    const InkRaster raster = renderSheet(sheet, 1 << 16);
    check(std::int64_t(raster.inks.size()) == std::int64_t(raster.width) * raster.height);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const Reading reading = readPrinterStream({data, size});
    check(reading.bytes == size);
    if (reading.fault)
        check(reading.fault->offset <= size && !reading.fault->message.empty());
    check(reading.paper.widthUnits == paperUnits);
    checkSheet(reading.paper);
    check(reading.logos.size() <= std::size_t(maxLogos));
    for (const StoredLogo& logo : reading.logos) {
        check(logo.offset + logo.bytes <= size);
        checkSheet(logo.sheet);
    }
    check(!summaryText(reading).empty());

    bool refused = false;
    try {
        requirePrinterStream(reading, "input");
    } catch (const logosmith::Error& e) {
        refused = true;
        const std::string message = e.what();
        check(message.rfind("input is not a printer stream: ", 0) == 0);
        if (reading.fault)
            check(message.find("offset " + std::to_string(reading.fault->offset) + " of ") !=
                  std::string::npos);
    }
    check(refused == (reading.fault.has_value() || reading.kind() == StreamKind::empty));
    return 0;
}
