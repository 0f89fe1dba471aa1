#include "separation/SpreadRows.h"

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

namespace logosmith::separation_detail {

namespace {

// A rebuild takes no more threads than this, however many cores there are.
constexpr unsigned maxThreads = 8;

} // namespace

unsigned threadsForPixels(std::size_t pixels, std::size_t minPixelsPerThread) {
    const unsigned threads =
        std::max(1u, std::min(std::thread::hardware_concurrency(), maxThreads));
    const std::size_t worth = pixels / std::max<std::size_t>(1, minPixelsPerThread);
    return unsigned(std::min<std::size_t>(threads, std::max<std::size_t>(1, worth)));
}

void spreadRows(unsigned threads, int rows, int rowsPerRun, RowRun work, const void* context) {
    if (rows <= 0)
        return;
    const int run = std::max(1, rowsPerRun);
    const int runs = rows / run + (rows % run != 0);
    if (threads <= 1 || runs == 1) {
        work(context, 0, rows);
        return;
    }
    threads = std::min(threads, unsigned(runs)); // a helper with no run would only cost its start
    std::atomic<int> next{0};
    auto take = [&] {
        for (int first; (first = next.fetch_add(run)) < rows;)
            work(context, first, std::min(rows, first + run));
    };
    std::vector<std::thread> helpers;
    for (unsigned helper = 1; helper < threads; ++helper) {
        try {
            helpers.emplace_back(take);
        } catch (...) {
            break; // no thread to be had: the others do its share
        }
    }
    take();
    for (auto& helper : helpers)
        helper.join();
}

} // namespace logosmith::separation_detail
