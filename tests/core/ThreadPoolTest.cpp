#include "analysis/ThreadPool.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace {

std::vector<size_t> Squares(ThreadPool& pool, size_t n)
{
    std::vector<size_t> out(n, 0);
    std::vector<std::atomic<int>> calls(n);
    pool.ParallelFor(n, [&](size_t i) {
        out[i] = i * i;
        ++calls[i];
    });
    for (size_t i = 0; i < n; ++i) EXPECT_EQ(calls[i].load(), 1) << i;
    return out;
}

} // namespace

// Every index once, each result in its own slot: the same on any pool, nested
// loops included (run inline, never deadlocked).
TEST(ThreadPool, SameResultOnEveryPoolNestedToo)
{
    std::vector<size_t> expected(1000);
    for (size_t i = 0; i < expected.size(); ++i) expected[i] = i * i;
    ThreadPool two(2), four(4);
    EXPECT_EQ(ThreadPool::Serial().Threads(), 1u);
    EXPECT_EQ(four.Threads(), 4u);
    EXPECT_FALSE(ThreadPool::InTask());
    for (ThreadPool* pool : {&ThreadPool::Serial(), &two, &four, &ThreadPool::Shared()}) {
        EXPECT_EQ(Squares(*pool, 1000), expected);
        EXPECT_EQ(Squares(*pool, 0), std::vector<size_t>());
        std::vector<std::vector<size_t>> inner(16);
        pool->ParallelFor(inner.size(), [&](size_t i) {
            EXPECT_TRUE(ThreadPool::InTask());
            inner[i] = Squares(*pool, 50 + i);
        });
        for (size_t i = 0; i < inner.size(); ++i)
            EXPECT_EQ(inner[i], std::vector<size_t>(expected.begin(), expected.begin() + long(50 + i)));
    }
}

// The exception of the lowest index that throws, whatever the scheduling; the
// pool runs the next loop as usual.
TEST(ThreadPool, LowestThrowingTaskReachesTheCaller)
{
    ThreadPool four(4);
    for (ThreadPool* pool : {&ThreadPool::Serial(), &four})
        for (int round = 0; round < 20; ++round) {
            try {
                pool->ParallelFor(200, [](size_t i) {
                    if (i % 50 == 17) throw std::runtime_error(std::to_string(i));
                });
                ADD_FAILURE() << "no exception";
            } catch (const std::runtime_error& e) {
                EXPECT_STREQ(e.what(), "17");
            }
            EXPECT_EQ(Squares(*pool, 100).back(), 99u * 99u);
        }
}

// A pool of 2 runs two tasks at once (task 0 waits for task 1 to start on
// the other thread); two callers at once both finish, one of them inline.
TEST(ThreadPool, TwoThreadsAtOnceAndTwoCallers)
{
    ThreadPool two(2);
    std::atomic<bool> started{false};
    bool overlapped = false;
    two.ParallelFor(2, [&](size_t i) {
        if (i == 1) {
            started = true;
            return;
        }
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
        while (!started && std::chrono::steady_clock::now() < deadline) std::this_thread::yield();
        overlapped = started;
    });
    EXPECT_TRUE(overlapped);

    std::vector<size_t> a, b;
    std::thread other([&] { a = Squares(two, 5000); });
    b = Squares(two, 5000);
    other.join();
    EXPECT_EQ(a, b);
    EXPECT_EQ(a[4999], 4999u * 4999u);
}
