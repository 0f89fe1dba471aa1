#pragma once

#include "separation/Separation.h"
#include "separation/picture/Picture.h"

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <stop_token>
#include <thread>

class QObject;

namespace logosmith {

// Rebuilds previews on a thread of its own, for the rebuilds too slow for a control's handler
// (the best halftone). Only the latest request counts: a new one stops the one under way, which
// is dropped. A finished preview is handed to `finished` on the thread of `receiver`, as a
// queued call, so a receiver gone by then hears nothing.
class PreviewRefiner {
  public:
    using Finished = std::function<void(std::uint64_t generation, Picture preview)>;
    PreviewRefiner(QObject* receiver, Finished finished);
    ~PreviewRefiner();
    PreviewRefiner(const PreviewRefiner&) = delete;
    PreviewRefiner& operator=(const PreviewRefiner&) = delete;

    // Separates working with settings; generation names the request to the receiver.
    void request(std::uint64_t generation, const SeparationSettings& settings,
                 std::shared_ptr<const Picture> working);
    // Stops the work under way and drops what is waiting.
    void cancel();
    // The preview of that request, waiting for it while it is waiting or under way; nothing when
    // it was never asked for or has already been handed over.
    std::optional<Picture> take(std::uint64_t generation);

  private:
    struct Job {
        std::uint64_t generation = 0;
        SeparationSettings settings;
        std::shared_ptr<const Picture> working;
    };
    void run(const std::stop_token& quit);
    void deliver();

    QObject* receiver_;
    Finished finished_;
    std::mutex mutex_;
    std::condition_variable_any wake_;
    std::optional<Job> waiting_;
    std::optional<std::uint64_t> running_;
    std::stop_source runningStop_;
    std::optional<std::pair<std::uint64_t, Picture>> done_;
    std::jthread thread_; // last, so that it starts with everything above in place
};

} // namespace logosmith
