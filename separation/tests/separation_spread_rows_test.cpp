// Rows spread over threads: each row once, in runs of the length asked for, on no more threads
// than asked for.

#include "separation/SpreadRows.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <mutex>
#include <set>
#include <thread>
#include <vector>

using namespace logosmith::separation_detail;

TEST(SpreadRows, CoversEveryRowOnceForAnyThreadCountAndRunLength) {
    for (unsigned threads : {0u, 1u, 2u, 3u, 8u, 13u})
        for (int rows : {0, 1, 2, 15, 16, 17, 97, 1001})
            for (int run : {0, 1, 3, 16, 5000}) {
                std::vector<std::atomic<int>> hits(static_cast<std::size_t>(rows));
                std::atomic<int> badRuns{0};
                std::mutex mutex;
                std::set<std::thread::id> workers;
                spreadRows(threads, rows, run, [&](int first, int end) {
                    const int longest = threads > 1 ? std::max(1, run) : rows;
                    if (first < 0 || end > rows || first >= end || end - first > longest)
                        ++badRuns;
                    for (int y = std::max(0, first); y < std::min(rows, end); ++y)
                        ++hits[std::size_t(y)];
                    const std::lock_guard lock(mutex);
                    workers.insert(std::this_thread::get_id());
                });
                const auto where = ::testing::Message()
                                   << threads << " threads, " << rows << " rows, runs of " << run;
                EXPECT_EQ(badRuns, 0) << where;
                for (int y = 0; y < rows; ++y)
                    ASSERT_EQ(hits[std::size_t(y)], 1) << where << ", row " << y;
                EXPECT_LE(workers.size(), std::size_t(std::max(1u, threads))) << where;
            }
}

TEST(SpreadRows, TakesOneThreadPerCoreWhereEachGetsItsShare) {
    const unsigned cores = std::max(1u, std::min(std::thread::hardware_concurrency(), 8u));
    EXPECT_EQ(threadsForPixels(0, 1000), 1u);
    EXPECT_EQ(threadsForPixels(999, 1000), 1u);
    EXPECT_EQ(threadsForPixels(2000, 1000), std::min(cores, 2u));
    EXPECT_EQ(threadsForPixels(std::size_t(1) << 40, 1000), cores);
    EXPECT_EQ(threadsForPixels(5, 0), std::min(cores, 5u)); // no minimum: any work is worth it
}
