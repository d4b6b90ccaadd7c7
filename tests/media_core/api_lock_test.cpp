#include "media/core/api_lock.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;

// Waits (bounded) until `count` threads are queued for the lock.
bool waitForQueue(int count) {
    for (int i = 0; i < 5000; ++i) {
        if (media::lock::WaitingThreads() >= count) return true;
        std::this_thread::sleep_for(1ms);
    }
    return false;
}

TEST(ApiLock, OwnerMayEnterAgainAndOthersWaitForTheLastLeave) {
    EnterMediaLock();
    EnterMediaLock();  // recursion must not deadlock
    EXPECT_TRUE(media::lock::HeldByThisThread());

    std::atomic<bool> got{false};
    std::thread other([&] {
        EnterMediaLock();
        got = true;
        LeaveMediaLock();
    });
    ASSERT_TRUE(waitForQueue(1));
    LeaveMediaLock();  // one level still held
    std::this_thread::sleep_for(20ms);
    EXPECT_FALSE(got.load());
    LeaveMediaLock();
    other.join();
    EXPECT_TRUE(got.load());
    EXPECT_FALSE(media::lock::HeldByThisThread());
}

TEST(ApiLock, WaitingThreadsGetTheLockInArrivalOrder) {
    constexpr int kThreads = 8;
    std::mutex orderGuard;
    std::vector<int> order;
    std::vector<std::thread> threads;

    EnterMediaLock();
    for (int i = 0; i < kThreads; ++i) {
        threads.emplace_back([i, &order, &orderGuard] {
            EnterMediaLock();
            {
                std::lock_guard<std::mutex> hold(orderGuard);
                order.push_back(i);
            }
            // Nested entries while others queue keep the order too.
            EnterMediaLock();
            LeaveMediaLock();
            LeaveMediaLock();
        });
        // The next thread starts only once this one is in line.
        ASSERT_TRUE(waitForQueue(i + 1));
    }
    LeaveMediaLock();
    for (std::thread& t : threads) t.join();

    std::vector<int> expected;
    for (int i = 0; i < kThreads; ++i) expected.push_back(i);
    EXPECT_EQ(order, expected);
    EXPECT_EQ(media::lock::WaitingThreads(), 0);
}

TEST(ApiLock, ALateArrivalCannotOvertakeTheQueue) {
    // The releasing thread tries to take the lock straight back while
    // another thread is queued: the queued thread goes first.
    std::vector<int> order;
    std::mutex orderGuard;
    EnterMediaLock();
    std::thread waiter([&] {
        EnterMediaLock();
        std::lock_guard<std::mutex> hold(orderGuard);
        order.push_back(1);
        LeaveMediaLock();
    });
    ASSERT_TRUE(waitForQueue(1));
    LeaveMediaLock();
    EnterMediaLock();
    {
        std::lock_guard<std::mutex> hold(orderGuard);
        order.push_back(2);
    }
    LeaveMediaLock();
    waiter.join();
    EXPECT_EQ(order, (std::vector<int>{1, 2}));
}

TEST(ApiLock, ReleaseFullyLetsOthersInAndReacquireRestoresTheDepth) {
    EnterMediaLock();
    EnterMediaLock();
    EnterMediaLock();
    std::atomic<bool> got{false};
    std::thread other([&] {
        EnterMediaLock();
        got = true;
        LeaveMediaLock();
    });
    ASSERT_TRUE(waitForQueue(1));
    const int depth = media::lock::ReleaseFully();
    EXPECT_EQ(depth, 3);
    other.join();
    EXPECT_TRUE(got.load());
    media::lock::Reacquire(depth);
    EXPECT_TRUE(media::lock::HeldByThisThread());
    LeaveMediaLock();
    LeaveMediaLock();
    EXPECT_TRUE(media::lock::HeldByThisThread());
    LeaveMediaLock();
    EXPECT_FALSE(media::lock::HeldByThisThread());
}

TEST(ApiLock, LeavingALockNotHeldChangesNothing) {
    LeaveMediaLock();  // must not underflow or hand the lock out
    EXPECT_EQ(media::lock::ReleaseFully(), 0);
    std::atomic<bool> got{false};
    std::thread other([&] {
        EnterMediaLock();
        got = true;
        LeaveMediaLock();
    });
    other.join();
    EXPECT_TRUE(got.load());
}

TEST(ApiLock, ManyThreadsCountingUnderTheLockLoseNothing) {
    constexpr int kThreads = 6;
    constexpr int kRounds = 500;
    long counter = 0;  // guarded by the API lock only
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([&counter] {
            for (int r = 0; r < kRounds; ++r) {
                media::ApiLockGuard outer;
                media::ApiLockGuard inner;
                counter = counter + 1;
            }
        });
    }
    for (std::thread& t : threads) t.join();
    EXPECT_EQ(counter, static_cast<long>(kThreads) * kRounds);
}

}  // namespace
