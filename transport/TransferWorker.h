#pragma once

#include "transport/PortSender.h"

#include <QObject>
#include <functional>
#include <memory>
#include <thread>

namespace logosmith {

// Runs one transfer at a time on a thread of its own, so that the windows keep repainting and
// answering while a printer takes its time, and reports back on the thread that created the
// worker (the GUI thread), in the order things happened. One worker serves the whole program:
// while it is busy the printer is busy for every window.
class TransferWorker : public QObject {
    Q_OBJECT
  public:
    // What the starter of a transfer hears, on the worker's thread, while its receiver lives:
    // every piece that reached the port, every progress step, then how the transfer ended.
    struct Listener {
        std::function<void(std::size_t)> pieceWritten;
        std::function<void()> progressStep;
        std::function<void(const TransferResult&)> finished;
    };

    explicit TransferWorker(QObject* parent = nullptr);
    // A transfer still running is asked to stop between two pieces, and waited for.
    ~TransferWorker() override;

    // Starts a transfer. Answers false, and starts nothing, while another one runs. The
    // request's own pieceWritten, progressStep and stop are replaced by the worker's.
    bool start(TransferKind kind, TransferRequest request, QObject* receiver, Listener listener);
    // From start() until the end has been told to the listener.
    bool isBusy() const { return busy_; }

  signals:
    // A transfer started (true); a transfer ended and is no longer running (false), told just
    // before its listener hears the result.
    void busyChanged(bool busy);

  private:
    struct Run;
    // Delivers what a run has reported since the last delivery, on the worker's thread.
    void deliver(const std::shared_ptr<Run>& run);

    bool busy_ = false;
    std::jthread thread_;
};

} // namespace logosmith
