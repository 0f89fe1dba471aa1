#include "tools/logosmith-cli/PrintCommand.h"

#include "app/jobs/PrinterJobs.h"
#include "platform/core/AtomicFile.h"
#include "platform/core/Error.h"
#include "printdata/Commands.h"
#include "separation/loader/PictureLoader.h"
#include "tools/logosmith-cli/ConvertCommand.h"
#include "tools/logosmith-cli/DensityOption.h"
#include "tools/logosmith-cli/DitherOption.h"
#include "tools/logosmith-cli/Options.h"

#include <ostream>

namespace logosmith::cli {

namespace {

int run(const std::vector<std::string>& arguments, std::ostream& out) {
    const PrintRequest request = parsePrint(arguments);
    const Picture preview =
        request.dither ? separateAfterLoad(request.picture, *request.dither, request.lColor)
                       : decodePictureFile(request.picture);
    const std::optional<std::vector<std::uint8_t>> bytes = PrinterJobs::printCommandFor(
        preview, request.lColor, request.userColor, request.density, request.centred);
    if (!bytes)
        throw Error(imageTooLargeMessage);
    writeFileAtomically(request.output, *bytes);
    out << request.output << ": " << preview.width() << " x " << preview.height() << ", "
        << bytes->size() << " bytes\n";
    return 0;
}

} // namespace

PrintRequest parsePrint(const std::vector<std::string>& arguments) {
    const Options options(arguments, {"density", "l-color", "user-color", "dither"}, {"center"});
    if (options.positional().size() != 2)
        throw UsageError("print needs an output file and one picture");
    PrintRequest request;
    request.output = options.positional()[0];
    request.picture = options.positional()[1];
    if (!isSupportedPictureExtension(request.picture))
        throw UsageError("the picture must be a " + pictureExtensionList() +
                         " file: " + request.picture);
    if (request.picture == request.output)
        throw UsageError("the output would overwrite the picture " + request.picture);
    request.density = densityOption(options);
    request.centred = options.flag("center");
    request.lColor = options.colour("l-color").value_or(colours::black);
    request.userColor = options.colour("user-color").value_or(colours::black);
    request.dither = ditherOption(options);
    return request;
}

Subcommand printSubcommand() {
    return Subcommand{"print",
                      "OUTPUT.prn PICTURE.bmp [--density single|double] [--center]\n"
                      "        [--l-color RRGGBB] [--user-color RRGGBB]\n"
                      "        [--dither none|diffusion|ordered|best]",
                      "write the print command for a separated picture, as \"Print\" sends it",
                      &run};
}

} // namespace logosmith::cli
