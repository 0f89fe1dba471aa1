// The simulator's stream reader on any bytes, in every reading: the printer's and each
// expected document. Nothing may crash or grow without bound, a fault names an offset inside
// the input, and a document accepted as expected reads exactly as the printer reads it.

#include "tools/mrx310-sim/SimPrinter.h"

#include <algorithm>
#include <cstdlib>

using namespace logosmith::sim;

namespace {

void require(bool condition) {
    if (!condition)
        std::abort();
}

// Fed in pieces of changing size, as a port delivers them.
SimPrinter read(Expect expect, const std::uint8_t* data, std::size_t size) {
    SimPrinter printer(expect);
    for (std::size_t at = 0, piece = 1; at < size; piece = piece * 3 % 509 + 1) {
        const std::size_t take = std::min(piece, size - at);
        printer.feed(data + at, take);
        at += take;
    }
    printer.finish();
    require(printer.bytes() == size);
    require(printer.ok() || (printer.errors().size() == 1 && printer.errors()[0].offset <= size));
    require(!printer.reportJson().empty());
    return printer;
}

// Every sheet within the cap; small ones are laid out, where a dot off the sheet would show.
void render(const SimPrinter& printer) {
    std::int64_t dots = printer.paper().dots();
    for (const StoredLogo& logo : printer.storedLogos())
        dots += logo.sheet.dots();
    require(dots <= maxPaperDots);
    if (dots > (std::int64_t(1) << 22))
        return; // large renders cost time, not coverage
    int width = 0, height = 0;
    require(printer.paper().render(width, height).size() == std::size_t(width) * height);
    for (const StoredLogo& logo : printer.storedLogos())
        require(logo.sheet.render(width, height).size() == std::size_t(width) * height);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const SimPrinter printer = read(Expect::anything, data, size);
    render(printer);
    for (Expect expect : {Expect::store, Expect::print, Expect::align}) {
        const SimPrinter strict = read(expect, data, size);
        if (!strict.ok())
            continue;
        require(printer.ok());
        require(strict.commands() == printer.commands());
        require(strict.paper().width() == printer.paper().width());
        require(strict.paper().height() == printer.paper().height());
        require(strict.storedLogos().size() == printer.storedLogos().size());
        require(strict.alignment() == printer.alignment());
        require(strict.bitImageModes() == printer.bitImageModes());
    }
    require(read(Expect::firmware, data, size).ok() == (size > 0));
    return 0;
}
