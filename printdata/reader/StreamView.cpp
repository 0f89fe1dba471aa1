#include "printdata/reader/StreamView.h"

#include <algorithm>
#include <sstream>

namespace logosmith::prn {

InkRaster renderSheet(const Sheet& sheet, std::int64_t maxPixels) {
    maxPixels = std::max<std::int64_t>(maxPixels, 1);
    const std::int64_t fullWidth = std::max<std::int64_t>(sheet.widthUnits, 1);
    const std::int64_t fullHeight = std::max<std::int64_t>(sheet.heightUnits, 1);
    const std::int64_t width = std::min(fullWidth, maxPixels);
    const std::int64_t height = std::min(fullHeight, maxPixels / width);

    InkRaster raster;
    raster.width = int(width);
    raster.height = int(height);
    raster.cut = width < fullWidth || height < fullHeight;
    raster.inks.assign(std::size_t(width * height), noInk);

    for (const BitImage& image : sheet.images) {
        if (image.y >= height || image.x >= width)
            continue;
        const int du = dotUnits(image.mode);
        const std::uint8_t* columns = sheet.columnBytes.data() + image.first;
        for (std::uint32_t c = 0; c < image.count; ++c) {
            const std::int64_t left = image.x + std::int64_t(c) * du;
            if (left >= width)
                break;
            const std::int64_t right = std::min(left + du, width);
            for (int row = 0; row < 8; ++row) {
                if (!(columns[c] & (0x80 >> row)))
                    continue;
                const std::int64_t top = image.y + std::int64_t(row) * unitsPerDotRow;
                const std::int64_t bottom = std::min(top + unitsPerDotRow, height);
                for (std::int64_t y = top; y < bottom; ++y)
                    for (std::int64_t x = left; x < right; ++x)
                        raster.inks[std::size_t(y * width + x)] |= image.ink;
            }
        }
    }
    return raster;
}

namespace {

std::string densityName(const Sheet& sheet) {
    if (const auto mode = sheet.mode())
        return *mode == 0 ? "single density" : "double density";
    return sheet.modes == 0 ? "blank" : "single and double density";
}

std::string dots(const Sheet& sheet) {
    return std::to_string(sheet.columns) + " x " + std::to_string(sheet.dotRows()) + " dots, " +
           densityName(sheet);
}

std::string signedValue(int position) {
    const int value = position - 4;
    return (value > 0 ? "+" : "") + std::to_string(value);
}

} // namespace

std::string logoLine(const StoredLogo& logo) {
    return "logo " + std::to_string(logo.number) + ": " + dots(logo.sheet) + ", block of " +
           std::to_string(logo.bytes) + " bytes";
}

std::string paperLine(const Sheet& paper) {
    return "print command: " + dots(paper) + (paper.centred ? ", centred" : "");
}

std::string summaryText(const Reading& reading) {
    std::ostringstream out;
    bool alignmentCommand = false;
    for (AlignmentFunction f : reading.functions)
        alignmentCommand = alignmentCommand || f != AlignmentFunction::setAlignment;
    const StreamKind kind = reading.kind();
    if (kind == StreamKind::empty)
        out << "no store, print or alignment command\n";
    if (kind == StreamKind::mixed)
        out << "mixed stream:";
    if (kind == StreamKind::mixed) {
        const char* sep = " ";
        auto part = [&](bool present, const char* name) {
            if (present) {
                out << sep << name;
                sep = ", ";
            }
        };
        part(reading.storeCommands > 0, "store");
        part(reading.printCommands > 0, "print");
        part(alignmentCommand, "alignment");
        part(reading.alignment.has_value(), "setup");
        out << "\n";
    }

    if (reading.storeCommands > 0) {
        out << "store command: " << reading.logos.size()
            << (reading.logos.size() == 1 ? " logo" : " logos");
        if (reading.storeCommands > 1)
            out << " (the last of " << reading.storeCommands << " store commands)";
        out << "\n";
        for (const StoredLogo& logo : reading.logos)
            out << logoLine(logo) << "\n";
    }
    if (reading.printCommands > 0)
        out << paperLine(reading.paper) << "\n";
    for (AlignmentFunction f : reading.functions) {
        if (f == AlignmentFunction::printPattern)
            out << "alignment command: print pattern\n";
        else if (f == AlignmentFunction::checkSetup)
            out << "alignment command: check setup\n";
    }
    if (reading.alignment) {
        const char* names[] = {"low", "normal", "high", "colour"};
        out << "setup command:";
        for (int i = 0; i < 4; ++i) {
            const int position = (*reading.alignment)[std::size_t(i)];
            out << (i ? ", " : " ") << names[i] << " "
                << (position ? signedValue(position) : "not set");
        }
        out << "\n";
    }
    if (reading.fault)
        out << "reading stopped at offset " << reading.fault->offset << " of " << reading.bytes
            << ": " << reading.fault->message << "\n";
    return out.str();
}

} // namespace logosmith::prn
