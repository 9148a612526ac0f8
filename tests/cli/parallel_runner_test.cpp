#include "cli/parallel_runner.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <numeric>
#include <vector>

namespace velmora::cli {
namespace {

TEST(RunInParallelTest, RunsEachPieceOnceAndReportsInOrder) {
    for (const unsigned threads : {1u, 2u, 3u, 8u}) {
        for (const size_t count : {size_t{0}, size_t{1}, size_t{5}, size_t{37}}) {
            std::vector<std::atomic<int>> runs(count);
            std::atomic<int> inProgress{0};
            std::atomic<int> mostInProgress{0};
            std::atomic<bool> reporting{false};
            std::vector<size_t> reported;
            RunInParallel(
                count, threads,
                [&](size_t i) {
                    const int now = ++inProgress;
                    int most = mostInProgress.load();
                    while (now > most && !mostInProgress.compare_exchange_weak(most, now)) {
                    }
                    ++runs[i];
                    --inProgress;
                },
                [&](size_t i) {
                    EXPECT_FALSE(reporting.exchange(true)) << "report calls overlapped";
                    reported.push_back(i);
                    reporting = false;
                });
            std::vector<size_t> expected(count);
            std::iota(expected.begin(), expected.end(), size_t{0});
            EXPECT_EQ(reported, expected) << threads << " threads, " << count << " pieces";
            EXPECT_TRUE(
                std::all_of(runs.begin(), runs.end(), [](const auto& r) { return r == 1; }));
            EXPECT_LE(mostInProgress.load(), static_cast<int>(threads));
        }
    }
}

TEST(RunInParallelTest, ALatePieceHoldsBackTheReportsAfterIt) {
    constexpr size_t kCount = 6;
    std::mutex mutex;
    std::condition_variable changed;
    size_t othersDone = 0;
    bool firstDone = false;
    std::vector<size_t> reported;
    RunInParallel(
        kCount, 3,
        [&](size_t i) {
            std::unique_lock lock(mutex);
            if (i == 0) {
                // Piece 0 finishes last; the wait only guards against a hang if it never does.
                changed.wait_for(lock, std::chrono::minutes(1),
                                 [&] { return othersDone == kCount - 1; });
                firstDone = true;
            } else {
                ++othersDone;
                changed.notify_all();
            }
        },
        [&](size_t i) {
            const std::lock_guard lock(mutex);
            EXPECT_TRUE(firstDone) << "piece " << i << " reported before piece 0 finished";
            reported.push_back(i);
        });
    EXPECT_EQ(othersDone, kCount - 1);
    EXPECT_EQ(reported, (std::vector<size_t>{0, 1, 2, 3, 4, 5}));
}

}  // namespace
}  // namespace velmora::cli
