#include "tools/logosmith-cli/ViewCommand.h"

#include "platform/core/AtomicFile.h"
#include "platform/core/Error.h"
#include "printdata/reader/PrinterFile.h"
#include "printdata/reader/SheetImage.h"
#include "printdata/reader/StreamReader.h"
#include "printdata/reader/StreamView.h"
#include "tools/logosmith-cli/Options.h"

#include <QBuffer>
#include <QImage>

#include <filesystem>
#include <ostream>

namespace logosmith::cli {

namespace {

namespace fs = std::filesystem;

// The sheet as a PNG, one pixel per printer unit, inks in their printed colours. Answers a
// note for the summary when the sheet was too large to draw whole.
std::string writeSheetPng(const prn::Sheet& sheet, const fs::path& path) {
    const prn::InkRaster raster = prn::renderSheet(sheet);
    const QImage image = prn::sheetImage(raster);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG"))
        throw Error("Cannot encode " + path.string());
    writeFileAtomically(path.string(), std::vector<std::uint8_t>(png.begin(), png.end()));
    if (!raster.cut)
        return {};
    return path.filename().string() + " shows only the top " +
           std::to_string(raster.height / prn::unitsPerDotRow) + " of its " +
           std::to_string(sheet.dotRows()) + " dot rows\n";
}

int run(const std::vector<std::string>& arguments, std::ostream& out) {
    const Options options(arguments, {"out"}, {});
    if (options.positional().size() != 1)
        throw UsageError("view needs one printer file");
    const auto dir = options.value("out");
    if (!dir)
        throw UsageError("view needs --out DIR");
    const std::string file = options.positional()[0];

    const prn::Reading reading = prn::readPrinterStream(prn::readPrinterFile(file));
    prn::requirePrinterStream(reading, file);

    std::error_code error;
    fs::create_directories(*dir, error);
    if (error)
        throw FileError("Cannot create the folder " + *dir + ": " + error.message());
    std::string summary = prn::summaryText(reading);
    for (const prn::StoredLogo& logo : reading.logos)
        summary += writeSheetPng(logo.sheet,
                                 fs::path(*dir) / ("logo-" + std::to_string(logo.number) + ".png"));
    if (!reading.paper.empty())
        summary += writeSheetPng(reading.paper, fs::path(*dir) / "paper.png");
    writeFileAtomically((fs::path(*dir) / "summary.txt").string(),
                        std::vector<std::uint8_t>(summary.begin(), summary.end()));
    out << summary;
    return 0;
}

} // namespace

Subcommand viewSubcommand() {
    return Subcommand{"view", "FILE.prn --out DIR",
                      "show what the printer does with a command file: logo-N.png, paper.png and "
                      "summary.txt in DIR",
                      &run};
}

} // namespace logosmith::cli
