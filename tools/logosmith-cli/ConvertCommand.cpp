#include "tools/logosmith-cli/ConvertCommand.h"

#include "platform/core/Error.h"
#include "separation/loader/PictureFormats.h"
#include "separation/picture/BmpFile.h"
#include "tools/logosmith-cli/DitherOption.h"
#include "tools/logosmith-cli/Options.h"

#include <ostream>

namespace logosmith::cli {

namespace {

bool endsWithBmp(const std::string& path) {
    return pictureExtension(path) == ".BMP";
}

std::string nothingToWrite(int width, int height) {
    return "Nothing to write: the picture is " + std::to_string(width) + " x " +
           std::to_string(height) + " pixels after fitting and resizing";
}

int run(const std::vector<std::string>& arguments, std::ostream& out) {
    const ConvertRequest request = parseConvert(arguments);
    const Picture preview = convertPicture(request);
    if (preview.isEmpty())
        throw Error(nothingToWrite(preview.width(), preview.height()));
    writeBmpFile(preview, request.output);
    out << request.output << ": " << preview.width() << " x " << preview.height() << "\n";
    return 0;
}

} // namespace

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
    request.lColor = options.colour("l-color");
    request.userColor = options.colour("user-color");
    const std::string mode = options.value("mode").value_or("red");
    if (mode == "red")
        request.ink = InkChoice::Red;
    else if (mode == "green")
        request.ink = InkChoice::Green;
    else if (mode == "blue")
        request.ink = InkChoice::Blue;
    else if (mode == "off")
        request.ink = InkChoice::Black;
    else if (mode == "user")
        request.userMode = true;
    else
        throw UsageError("--mode takes red, green, blue, off or user, not \"" + mode + "\"");
    request.threshold = options.integer("threshold", 0, 360);
    request.rValue = options.integer("r-value", 0, 255);
    request.lValue = options.integer("l-value", 0, 255);
    const std::pair<const char*, RgbControl> boxes[] = {
        {"invert", RgbControl::Invert},
        {"swap-red-green", RgbControl::SwapRedGreen},
        {"swap-red-blue", RgbControl::SwapRedBlue},
        {"swap-green-blue", RgbControl::SwapGreenBlue},
        {"swap-black-white", RgbControl::SwapBlackWhite}};
    for (const auto& [flag, box] : boxes)
        if (options.flag(flag))
            request.rgbTicked.push_back(box);
    request.dither = ditherOption(options).value_or(DitherMode::None);
    return request;
}

Picture convertPicture(const ConvertRequest& request) {
    ColourControlsModel controls;
    controls.setDither(request.dither);
    controls.setFitScale(request.fit);
    try {
        controls.loadPicture(request.input);
        if (request.resizePercent)
            controls.resizeByPercent(*request.resizePercent);
    } catch (const EmptyPictureError& empty) {
        // A very wide, low picture can lose all its rows; there is no BMP to write then.
        throw Error(nothingToWrite(empty.width(), empty.height()));
    }
    // The controls a person would set after the load, in the window's order: the cartridge
    // colours, the mode, then the sliders and the boxes.
    if (request.lColor)
        controls.chooseLCartridgeColour(*request.lColor);
    if (request.userMode)
        controls.chooseRCartridgeColour(request.userColor.value_or(colours::black));
    else
        controls.selectInk(request.ink);
    if (request.threshold)
        controls.moveThreshold(*request.threshold);
    if (request.rValue)
        controls.moveRValue(*request.rValue);
    if (request.lValue)
        controls.moveLValue(*request.lValue);
    for (RgbControl box : request.rgbTicked)
        controls.setRgbControl(box, true);
    return controls.takePreview();
}

Picture separateAfterLoad(const std::string& path, DitherMode dither, Colour lColor) {
    ConvertRequest request;
    request.input = path;
    request.dither = dither;
    request.lColor = lColor;
    return convertPicture(request);
}

Subcommand convertSubcommand() {
    return Subcommand{
        "convert",
        "INPUT OUTPUT.bmp [--no-fit] [--resize 75|50|25] [--mode red|green|blue|off|user]\n"
        "        [--threshold 0..360] [--r-value 0..255] [--l-value 0..255] [--l-color RRGGBB]\n"
        "        [--user-color RRGGBB] [--invert] [--swap-red-green] [--swap-red-blue]\n"
        "        [--swap-green-blue] [--swap-black-white] [--dither none|diffusion|ordered|best]",
        "load a picture as the program does, separate it into the two inks, write the preview",
        &run};
}

} // namespace logosmith::cli
