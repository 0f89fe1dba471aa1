#include "transport/TransferWorker.h"

#include <QPointer>
#include <mutex>
#include <optional>
#include <vector>

namespace logosmith {

// One transfer, shared between the two threads. The transfer's thread only appends reports;
// the worker's thread takes them in batches, so however fast a port takes pieces, at most one
// delivery waits in the event queue.
struct TransferWorker::Run {
    enum class Report { Piece, Step, End };
    struct Entry {
        Report report;
        std::size_t size;
    };

    QPointer<QObject> receiver; // read on the worker's thread only
    Listener listener;

    std::mutex mutex;
    std::vector<Entry> entries;           // guarded by mutex
    std::optional<TransferResult> result; // guarded by mutex
    bool deliveryPosted = false;          // guarded by mutex

    // Called on the transfer's thread. Answers whether a delivery must be posted.
    bool add(Entry entry, std::optional<TransferResult> end = std::nullopt) {
        const std::lock_guard lock(mutex);
        entries.push_back(entry);
        if (end)
            result = std::move(end);
        return !std::exchange(deliveryPosted, true);
    }
};

TransferWorker::TransferWorker(QObject* parent) : QObject(parent) {}

TransferWorker::~TransferWorker() {
    if (thread_.joinable()) {
        thread_.request_stop();
        thread_.join();
    }
}

bool TransferWorker::start(TransferKind kind, TransferRequest request, QObject* receiver,
                           Listener listener) {
    if (busy_)
        return false;
    // The last transfer has told its end already; its thread is gone or about to be.
    if (thread_.joinable())
        thread_.join();

    auto run = std::make_shared<Run>();
    run->receiver = receiver;
    run->listener = std::move(listener);
    auto report = [this, run](Run::Entry entry, std::optional<TransferResult> end = {}) {
        if (run->add(entry, std::move(end)))
            QMetaObject::invokeMethod(
                this, [this, run] { deliver(run); }, Qt::QueuedConnection);
    };
    request.pieceWritten = [report](std::size_t size) { report({Run::Report::Piece, size}); };
    request.progressStep = [report] { report({Run::Report::Step, 0}); };

    busy_ = true;
    thread_ =
        std::jthread([kind, request = std::move(request), report](std::stop_token stop) mutable {
            request.stop = stop;
            report({Run::Report::End, 0}, RunTransfer(kind, request));
        });
    emit busyChanged(true);
    return true;
}

void TransferWorker::deliver(const std::shared_ptr<Run>& run) {
    std::vector<Run::Entry> entries;
    std::optional<TransferResult> result;
    {
        const std::lock_guard lock(run->mutex);
        entries.swap(run->entries);
        run->deliveryPosted = false;
        result = run->result;
    }
    for (const Run::Entry& entry : entries) {
        const bool heard = !run->receiver.isNull();
        switch (entry.report) {
        case Run::Report::Piece:
            if (heard && run->listener.pieceWritten)
                run->listener.pieceWritten(entry.size);
            break;
        case Run::Report::Step:
            if (heard && run->listener.progressStep)
                run->listener.progressStep();
            break;
        case Run::Report::End:
            busy_ = false;
            emit busyChanged(false);
            if (heard && run->listener.finished && result)
                run->listener.finished(*result);
            break;
        }
    }
}

} // namespace logosmith
