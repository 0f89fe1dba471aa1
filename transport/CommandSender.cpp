#include "transport/CommandSender.h"

#include "platform/ErrorGuard.h"
#include "platform/core/AtomicFile.h"
#include "platform/core/ScratchFile.h"
#include "transport/PortSettingsModel.h"

#include <exception>
#include <memory>

namespace logosmith {

CommandSender::CommandSender(TransferWorker& transfers, const PortSettingsModel& ports,
                             std::string scratchFile)
    : transfers_(transfers), ports_(ports), scratchFile_(std::move(scratchFile)) {}

bool CommandSender::sendCommand(TransferKind kind, const std::vector<std::uint8_t>& command,
                                QObject* receiver, TransferWorker::Listener listener) {
    if (transfers_.isBusy())
        return false;
    auto scratch = std::make_shared<ScratchFile>(scratchFile_);
    writeFileAtomically(scratch->path(), command);
    std::function<void(const TransferResult&)> told = std::move(listener.finished);
    listener.finished = [scratch, told = std::move(told)](const TransferResult& result) {
        // After a failure the transfer's own message says more than a failed removal would.
        std::exception_ptr removal;
        if (result.succeeded()) {
            try {
                scratch->remove();
            } catch (...) {
                removal = std::current_exception();
            }
        } else {
            scratch->removeQuietly();
        }
        if (told)
            told(result);
        if (removal)
            guarded([&] { std::rethrow_exception(removal); });
    };
    return sendFile(kind, scratch->path(), receiver, std::move(listener));
}

bool CommandSender::sendFile(TransferKind kind, const std::string& file, QObject* receiver,
                             TransferWorker::Listener listener) {
    TransferRequest request;
    request.file = file;
    request.port = ports_.settings();
    return transfers_.start(kind, std::move(request), receiver, std::move(listener));
}

void CommandSender::saveCommand(const std::vector<std::uint8_t>& command,
                                const std::string& destination,
                                const std::function<bool()>& mayReplace) {
    ScratchFile scratch(scratchFile_);
    writeFileAtomically(scratch.path(), command);
    if (!fileExists(destination) || mayReplace())
        writeFileAtomically(destination, readWholeFile(scratch.path()));
    scratch.remove();
}

} // namespace logosmith
