#include "tools/logosmith-cli/ConvertCommand.h"

#include "platform/core/Error.h"
#include "separation/loader/PictureLoader.h"
#include "separation/picture/BmpFile.h"
#include "separation/picture/Fitting.h"
#include "tools/logosmith-cli/DitherOption.h"
#include "tools/logosmith-cli/Options.h"

#include <ostream>

namespace logosmith::cli {

namespace {

// The THRESHOLD position each mode's radio button moves the slider to.
constexpr int redPosition = 360;
constexpr int greenPosition = 120;
constexpr int bluePosition = 240;

bool endsWithBmp(const std::string& path) {
    return pictureExtension(path) == ".BMP";
}

int run(const std::vector<std::string>& arguments, std::ostream& out) {
    const ConvertRequest request = parseConvert(arguments);
    const Picture preview = convertPicture(request);
    if (preview.isEmpty())
        throw Error("Nothing to write: the picture is " + std::to_string(preview.width()) + " x " +
                    std::to_string(preview.height()) + " pixels after fitting and resizing");
    writeBmpFile(preview, request.output);
    out << request.output << ": " << preview.width() << " x " << preview.height() << "\n";
    return 0;
}

} // namespace

SeparationSettings settingsAfterLoad() {
    SeparationSettings s;
    s.inkMode = InkMode::Red;
    s.targetColor = hueToTarget(redPosition);
    s.rValue = 100;
    s.lValue = 100;
    return s;
}

ConvertRequest parseConvert(const std::vector<std::string>& arguments) {
    const Options options(
        arguments,
        {"resize", "mode", "threshold", "r-value", "l-value", "l-color", "user-color", "dither"},
        {"no-fit", "invert", "swap-red-green", "swap-red-blue", "swap-green-blue",
         "swap-black-white"});
    if (options.positional().size() != 2)
        throw UsageError("convert needs an input picture and an output .bmp file");
    ConvertRequest request;
    request.input = options.positional()[0];
    request.output = options.positional()[1];
    if (!endsWithBmp(request.output))
        throw UsageError("the output file must end in .bmp: " + request.output);
    if (!isSupportedPictureExtension(request.input))
        throw UsageError("the input must be a " + pictureExtensionList() +
                         " picture: " + request.input);
    request.fit = !options.flag("no-fit");
    if (const auto percent = options.integer("resize", 25, 100)) {
        if (*percent != 100 && *percent != 75 && *percent != 50 && *percent != 25)
            throw UsageError("--resize takes 100, 75, 50 or 25");
        request.resizePercent = percent;
    }

    SeparationSettings& s = request.settings;
    s = settingsAfterLoad();
    if (const auto colour = options.colour("l-color"))
        s.lColor = *colour;
    if (const auto colour = options.colour("user-color"))
        s.userColor = *colour;
    // Selecting a mode's radio button: its ink mode and the hue its THRESHOLD position gives.
    const std::string mode = options.value("mode").value_or("red");
    if (mode == "red") {
        s.inkMode = InkMode::Red;
        s.targetColor = hueToTarget(redPosition);
    } else if (mode == "green") {
        s.inkMode = InkMode::Green;
        s.targetColor = hueToTarget(greenPosition);
    } else if (mode == "blue") {
        s.inkMode = InkMode::Blue;
        s.targetColor = hueToTarget(bluePosition);
    } else if (mode == "off") {
        s.inkMode = InkMode::BlackOnly;
        s.targetColor = s.lColor;
    } else if (mode == "user") {
        s.inkMode = InkMode::User; // keeps the THRESHOLD hue as its target
    } else {
        throw UsageError("--mode takes red, green, blue, off or user, not \"" + mode + "\"");
    }
    // Moving the THRESHOLD slider afterwards sets the target hue, as in the window.
    if (const auto position = options.integer("threshold", 0, 360))
        s.targetColor = hueToTarget(*position);
    if (const auto value = options.integer("r-value", 0, 255))
        s.rValue = *value;
    if (const auto value = options.integer("l-value", 0, 255))
        s.lValue = *value;
    s.invertColor = options.flag("invert");
    s.swapRedGreen = options.flag("swap-red-green");
    s.swapRedBlue = options.flag("swap-red-blue");
    s.swapGreenBlue = options.flag("swap-green-blue");
    s.swapBlackWhite = options.flag("swap-black-white");
    s.fitOnLoad = request.fit;
    s.dither = ditherOption(options).value_or(DitherMode::None);
    return request;
}

Picture convertPicture(const ConvertRequest& request) {
    // Fitted straight from the file; either way the loaded picture is the working one, no copy.
    Picture working = decodePictureFile(request.input, LoadOptions{request.fit});
    if (request.resizePercent)
        working = resizeByPercent(working, *request.resizePercent);
    // A very wide, low picture can lose all its rows to fitting; there is no BMP to write then.
    if (working.isEmpty())
        throw Error("Nothing to write: the picture is " + std::to_string(working.width()) + " x " +
                    std::to_string(working.height()) + " pixels after fitting and resizing");
    Picture preview;
    rebuildPreview(request.settings, working, preview);
    return preview;
}

Picture separateAfterLoad(const std::string& path, DitherMode dither, Colour lColor) {
    ConvertRequest request;
    request.input = path;
    request.settings = settingsAfterLoad();
    request.settings.lColor = lColor;
    request.settings.dither = dither;
    return convertPicture(request);
}

Subcommand convertSubcommand() {
    return Subcommand{
        "convert",
        "INPUT OUTPUT.bmp [--no-fit] [--resize 75|50|25] [--mode red|green|blue|off|user]\n"
        "        [--threshold 0..360] [--r-value 0..255] [--l-value 0..255] [--l-color RRGGBB]\n"
        "        [--user-color RRGGBB] [--invert] [--swap-red-green] [--swap-red-blue]\n"
        "        [--swap-green-blue] [--swap-black-white] [--dither none|diffusion|ordered]",
        "load a picture as the program does, separate it into the two inks, write the preview",
        &run};
}

} // namespace logosmith::cli
