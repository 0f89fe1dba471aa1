#pragma once

#include <cstddef>

namespace logosmith::separation_detail {

// How many threads a picture of this many pixels is worth: one per core, at most eight, and
// none that would get fewer than minPixelsPerThread. At least one.
unsigned threadsForPixels(std::size_t pixels, std::size_t minPixelsPerThread);

// Calls work(context, first, end) for runs of rows that together cover rows 0 .. rows - 1 once
// each, on this thread and up to threads - 1 helpers. The runs, rowsPerRun rows each (the last
// may be shorter), are taken from a common counter: a helper that the system keeps waiting only
// does fewer runs, this thread never waits for one but to finish its last, and when no helper
// is to be had this thread does them all. No more helpers start than there are runs for, and on
// one thread all the rows are one run.
using RowRun = void (*)(const void* context, int first, int end);
void spreadRows(unsigned threads, int rows, int rowsPerRun, RowRun work, const void* context);

// The same with work(first, end), which must be safe to call from any thread.
template <class Work>
void spreadRows(unsigned threads, int rows, int rowsPerRun, const Work& work) {
    spreadRows(
        threads, rows, rowsPerRun,
        [](const void* context, int first, int end) {
            (*static_cast<const Work*>(context))(first, end);
        },
        &work);
}

} // namespace logosmith::separation_detail
