#pragma once

#include "transport/TransferWorker.h"

#include <cstdint>
#include <string>
#include <vector>

namespace logosmith {

class PortSettingsModel;

// The one way the program's commands reach the printer: a command is written whole as the
// scratch command file ("tlsdlek.prn" in the program folder), sent on the transfer worker over
// the port settings of that moment, and removed when the transfer has ended, whatever the
// outcome, so that a command never outlives its action. A file of the person's own (firmware)
// is sent as it is and kept.
class CommandSender {
  public:
    CommandSender(TransferWorker& transfers, const PortSettingsModel& ports,
                  std::string scratchFile);

    const std::string& scratchFile() const { return scratchFile_; }
    bool busy() const { return transfers_.isBusy(); }
    TransferWorker& transfers() { return transfers_; }

    // Writes the command as the scratch file and starts sending it; the listener hears the
    // transfer as TransferWorker tells it, the file already removed when it hears the end.
    // False, writing nothing, while another transfer runs. Throws FileError when the file
    // cannot be written; nothing is sent then.
    bool sendCommand(TransferKind kind, const std::vector<std::uint8_t>& command, QObject* receiver,
                     TransferWorker::Listener listener);
    // Starts sending a file of the person's own, which stays. False while another transfer runs.
    bool sendFile(TransferKind kind, const std::string& file, QObject* receiver,
                  TransferWorker::Listener listener);
    // Writes the command to a file of the person's choosing, through the scratch file as a send
    // would, the destination replaced whole or not at all. mayReplace is asked when the
    // destination exists; "no" writes nothing there. Throws FileError.
    void saveCommand(const std::vector<std::uint8_t>& command, const std::string& destination,
                     const std::function<bool()>& mayReplace);

  private:
    TransferWorker& transfers_;
    const PortSettingsModel& ports_;
    std::string scratchFile_;
};

} // namespace logosmith
