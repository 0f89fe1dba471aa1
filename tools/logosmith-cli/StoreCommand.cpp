#include "tools/logosmith-cli/StoreCommand.h"

#include "app/jobs/PrinterJobs.h"
#include "platform/core/AtomicFile.h"
#include "platform/core/Error.h"
#include "printdata/Commands.h"
#include "separation/loader/PictureLoader.h"
#include "tools/logosmith-cli/ConvertCommand.h"
#include "tools/logosmith-cli/DensityOption.h"
#include "tools/logosmith-cli/DitherOption.h"
#include "tools/logosmith-cli/Options.h"

#include <filesystem>
#include <ostream>

namespace logosmith::cli {

namespace {

int run(const std::vector<std::string>& arguments, std::ostream& out) {
    const StoreRequest request = parseStore(arguments);
    std::vector<Picture> logos;
    logos.reserve(request.logos.size());
    for (const std::string& path : request.logos)
        logos.push_back(request.dither ? separateAfterLoad(path, *request.dither)
                                       : decodePictureFile(path));
    // The whole stream is built before the file is touched: a logo too long for its block
    // length leaves no file behind, and an old file stays as it was.
    const std::vector<std::uint8_t> bytes = PrinterJobs::storeCommandFor(logos, request.density);
    writeFileAtomically(request.output, bytes);
    out << request.output << ": " << logos.size() << (logos.size() == 1 ? " logo, " : " logos, ")
        << bytes.size() << " bytes\n";
    return 0;
}

} // namespace

StoreRequest parseStore(const std::vector<std::string>& arguments) {
    const Options options(arguments, {"density", "dither"}, {});
    const auto& positional = options.positional();
    if (positional.size() < 2)
        throw UsageError("store needs an output file and 1 to " + std::to_string(maxStoredLogos) +
                         " logos");
    StoreRequest request;
    request.output = positional[0];
    request.logos.assign(positional.begin() + 1, positional.end());
    if (request.logos.size() > std::size_t(maxStoredLogos))
        throw UsageError("the printer keeps at most " + std::to_string(maxStoredLogos) +
                         " logos, not " + std::to_string(request.logos.size()));
    for (const std::string& logo : request.logos)
        if (!isSupportedPictureExtension(logo))
            throw UsageError("a logo must be a " + pictureExtensionList() + " picture: " + logo);
    for (const std::string& logo : request.logos) {
        std::error_code error;
        if (logo == request.output || std::filesystem::equivalent(logo, request.output, error))
            throw UsageError("the output would overwrite the logo " + logo);
    }
    request.density = densityOption(options);
    request.dither = ditherOption(options);
    return request;
}

Subcommand storeSubcommand() {
    return Subcommand{"store",
                      "OUTPUT.prn LOGO.bmp... [--density single|double]\n"
                      "        [--dither none|diffusion|ordered|best]",
                      "write the store command for 1 to 10 logos, as \"Store to File\" does", &run};
}

} // namespace logosmith::cli
