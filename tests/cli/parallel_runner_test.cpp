#include "cli/parallel_runner.h"

#include "core/helper_thread.h"
#include "support/gate.h"

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
                [&](size_t i, WorkTurn&) {
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
        [&](size_t i, WorkTurn&) {
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

// One at a time, a piece that lets the next begin still runs while that one starts; the next
// one's AwaitEarlier returns only once it has finished (each piece holds on until the next is
// about to wait for it), and only those two are ever in flight.
TEST(RunInParallelTest, OneAtATimeTheNextBeginsWhenLetAndItsEffectsWaitForTheEarlier) {
    if (ProcessCores() < 2) {
        GTEST_SKIP() << "one core: the pieces go strictly one at a time";
    }
    constexpr size_t kCount = 4;
    std::vector<test::Gate> begun(kCount);
    std::vector<test::Gate> awaiting(kCount);
    std::mutex mutex;
    std::vector<bool> finished(kCount, false);
    std::vector<bool> sawNext(kCount, false);
    std::vector<bool> earlierFinishedAfterAwait(kCount, false);
    std::vector<bool> beside(kCount, false);
    int inProgress = 0;
    int mostInProgress = 0;
    RunInParallel(
        kCount, 1,
        [&](size_t i, WorkTurn& turn) {
            {
                const std::lock_guard lock(mutex);
                mostInProgress = std::max(mostInProgress, ++inProgress);
                beside[i] = turn.BesideEarlier();
            }
            begun[i].Open();
            turn.LetNextBegin();
            awaiting[i].Open();
            turn.AwaitEarlier();
            {
                const std::lock_guard lock(mutex);
                earlierFinishedAfterAwait[i] = i == 0 || finished[i - 1];
            }
            if (i + 1 < kCount) {
                // Still running: the next piece begins beside this one and comes to wait.
                sawNext[i] = begun[i + 1].Wait() && awaiting[i + 1].Wait();
            }
            const std::lock_guard lock(mutex);
            finished[i] = true;
            --inProgress;
        },
        [](size_t) {});
    for (size_t i = 0; i + 1 < kCount; ++i) {
        EXPECT_TRUE(sawNext[i]) << "piece " << i + 1 << " waited for piece " << i;
    }
    EXPECT_EQ(earlierFinishedAfterAwait, std::vector<bool>(kCount, true));
    EXPECT_EQ(beside, (std::vector<bool>{false, true, true, true}));
    EXPECT_EQ(mostInProgress, 2);
}

// Where early beginnings are not wanted, the word changes nothing: one piece at a time.
TEST(RunInParallelTest, WithoutEarlyBeginningsLettingTheNextBeginChangesNothing) {
    std::mutex mutex;
    int inProgress = 0;
    int mostInProgress = 0;
    std::vector<size_t> beside;
    RunInParallel(
        4, 1,
        [&](size_t i, WorkTurn& turn) {
            {
                const std::lock_guard lock(mutex);
                mostInProgress = std::max(mostInProgress, ++inProgress);
                if (turn.BesideEarlier()) {
                    beside.push_back(i);
                }
            }
            turn.LetNextBegin();
            turn.AwaitEarlier();
            const std::lock_guard lock(mutex);
            --inProgress;
        },
        [](size_t) {}, false);
    EXPECT_EQ(mostInProgress, 1);
    EXPECT_TRUE(beside.empty());
}

}  // namespace
}  // namespace velmora::cli
