#include "app/jobs/PrinterJobs.h"

#include "app/library/LibraryModel.h"
#include "printdata/ByteSink.h"
#include "printdata/Commands.h"
#include "printdata/settings/ResolutionModel.h"
#include "separation/controls/ColourControlsModel.h"
#include "separation/picture/Fitting.h"
#include "transport/CommandSender.h"

namespace logosmith {

PrinterJobs::PrinterJobs(LibraryModel& library, ColourControlsModel& pictures,
                         const ResolutionModel& resolution, CommandSender& sender)
    : library_(library), pictures_(pictures), resolution_(resolution), sender_(sender) {}

bool PrinterJobs::busy() const {
    return sender_.busy();
}

std::vector<std::uint8_t> PrinterJobs::storeCommand() {
    library_.commit();
    return library_.buildStoreCommand(resolution_.density());
}

std::optional<std::vector<std::uint8_t>> PrinterJobs::printCommand() const {
    const SeparationSettings& settings = pictures_.settings();
    return printCommandFor(pictures_.finishedPreview(), settings.lColor, settings.userColor,
                           resolution_.density(), pictures_.state().center);
}

Picture PrinterJobs::driverPicture() const {
    const Picture& preview = pictures_.finishedPreview();
    return pictures_.state().stretch ? fitToWidth(preview) : preview;
}

bool PrinterJobs::send(const std::vector<std::uint8_t>& command, QObject* receiver,
                       TransferWorker::Listener listener) {
    return sender_.sendCommand(TransferKind::Command, command, receiver, std::move(listener));
}

void PrinterJobs::save(const std::vector<std::uint8_t>& command, const QString& destination,
                       const std::function<bool()>& mayReplace) {
    sender_.saveCommand(command, destination.toStdString(), mayReplace);
}

std::vector<std::uint8_t> PrinterJobs::storeCommandFor(std::span<const Picture> logos,
                                                       Density density) {
    return BuildStoreStream(logos, density);
}

std::optional<std::vector<std::uint8_t>>
PrinterJobs::printCommandFor(const Picture& preview, Colour lColor, Colour userColor,
                             Density density, bool centred) {
    std::vector<std::uint8_t> bytes;
    VectorSink stream(bytes);
    if (WritePrintStream(stream, preview, irPrint(lColor, userColor), density, centred) ==
        PrintBuild::tooWide)
        return std::nullopt;
    return bytes;
}

} // namespace logosmith
