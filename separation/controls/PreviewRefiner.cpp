#include "separation/controls/PreviewRefiner.h"

#include <QMetaObject>
#include <QObject>

#include <utility>

namespace logosmith {

PreviewRefiner::PreviewRefiner(QObject* receiver, Finished finished)
    : receiver_(receiver), finished_(std::move(finished)),
      thread_([this](const std::stop_token& quit) { run(quit); }) {}

PreviewRefiner::~PreviewRefiner() {
    cancel();
    thread_.request_stop();
    thread_.join();
}

void PreviewRefiner::request(std::uint64_t generation, const SeparationSettings& settings,
                             std::shared_ptr<const Picture> working) {
    {
        const std::lock_guard lock(mutex_);
        runningStop_.request_stop();
        waiting_ = Job{generation, settings, std::move(working)};
    }
    wake_.notify_all();
}

void PreviewRefiner::cancel() {
    {
        const std::lock_guard lock(mutex_);
        runningStop_.request_stop();
        waiting_.reset();
        done_.reset();
    }
    wake_.notify_all();
}

std::optional<Picture> PreviewRefiner::take(std::uint64_t generation) {
    std::unique_lock lock(mutex_);
    wake_.wait(lock, [&] {
        return !(waiting_ && waiting_->generation == generation) && running_ != generation;
    });
    if (!done_ || done_->first != generation)
        return std::nullopt;
    Picture preview = std::move(done_->second);
    done_.reset();
    return preview;
}

void PreviewRefiner::run(const std::stop_token& quit) {
    std::unique_lock lock(mutex_);
    while (wake_.wait(lock, quit, [&] { return waiting_.has_value(); }) && !quit.stop_requested()) {
        Job job = std::move(*waiting_);
        waiting_.reset();
        running_ = job.generation;
        runningStop_ = std::stop_source();
        const std::stop_token stop = runningStop_.get_token();
        lock.unlock();
        Picture preview;
        const bool finished = rebuildPreview(job.settings, *job.working, preview, stop);
        job.working.reset();
        lock.lock();
        running_.reset();
        if (finished && !stop.stop_requested()) {
            done_.emplace(job.generation, std::move(preview));
            QMetaObject::invokeMethod(
                receiver_, [this] { deliver(); }, Qt::QueuedConnection);
        }
        wake_.notify_all();
    }
}

void PreviewRefiner::deliver() {
    std::optional<std::pair<std::uint64_t, Picture>> done;
    {
        const std::lock_guard lock(mutex_);
        done.swap(done_);
    }
    if (done)
        finished_(done->first, std::move(done->second));
}

} // namespace logosmith
