#pragma once

#include "printdata/Density.h"
#include "separation/Separation.h"
#include "separation/picture/Picture.h"
#include "transport/TransferWorker.h"

#include <QString>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

namespace logosmith {

class ColourControlsModel;
class CommandSender;
class LibraryModel;
class ResolutionModel;

// What "Store", "Store to File", "Print" and the printer view make of the library and the
// preview: the commands built whole under the resolution of the moment, with every refusal
// before anything is announced or sent, and handed to the command sender. The windows ask the
// person and show the outcome; logosmith-cli builds its streams with the same builders.
class PrinterJobs {
  public:
    PrinterJobs(LibraryModel& library, ColourControlsModel& pictures,
                const ResolutionModel& resolution, CommandSender& sender);

    bool busy() const;

    // The store command of the library as it is on disk, the last entry committed first.
    // Throws Error when the library cannot be stored as it is (no picture, a stored file
    // missing, a logo too large for the stream) and FileError when the commit cannot write.
    std::vector<std::uint8_t> storeCommand();
    // The print command of the current preview; nothing when it is wider than the printer
    // prints (the caller says imageTooLargeMessage).
    std::optional<std::vector<std::uint8_t>> printCommand() const;
    // The picture a print through the printer's driver draws: the preview, fitted while the
    // views stretch it.
    Picture driverPicture() const;

    // Sends a command built above; see CommandSender::sendCommand.
    bool send(const std::vector<std::uint8_t>& command, QObject* receiver,
              TransferWorker::Listener listener);
    // "Store to File": see CommandSender::saveCommand.
    void save(const std::vector<std::uint8_t>& command, const QString& destination,
              const std::function<bool()>& mayReplace);

    // The builders themselves.
    static std::vector<std::uint8_t> storeCommandFor(std::span<const Picture> logos,
                                                     Density density);
    static std::optional<std::vector<std::uint8_t>> printCommandFor(const Picture& preview,
                                                                    Colour lColor, Colour userColor,
                                                                    Density density, bool centred);

  private:
    LibraryModel& library_;
    ColourControlsModel& pictures_;
    const ResolutionModel& resolution_;
    CommandSender& sender_;
};

} // namespace logosmith
