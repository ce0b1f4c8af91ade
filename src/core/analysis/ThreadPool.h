// A small pool of threads for loops whose iterations are independent: the
// rows of the valve events table, the trials of a search, the samples of a
// tolerance study.
//
// ParallelFor(count, fn) calls fn(0) .. fn(count - 1), each once, and returns
// when all have returned. The calling thread takes part: a pool of n threads is
// the caller and n - 1 workers, and each thread takes the next index not yet
// taken until none is left. So that the result never depends on the
// scheduling, fn(i) should write only what belongs to index i (slot i of a
// vector sized beforehand) and read only what no task writes.
//
// - A pool of 1 (`ThreadPool::Serial()`) runs every loop on the caller, in
//   index order: for tests, and for callers that already run on a worker.
// - A ParallelFor called from inside a task (of any pool), or while the pool
//   runs another caller's loop, runs on its caller in index order: nesting
//   never deadlocks, and the outer loop already keeps every thread busy.
// - If tasks throw, the tasks not yet started are skipped, and the exception
//   of the lowest index that threw reaches the caller once every started task
//   has returned. Indices are taken in increasing order, so that is the same
//   exception whatever the scheduling, and the same as a loop in order throws.
//
// `ThreadPool::Shared()` is the process-wide pool, one thread per hardware
// thread (std::thread::hardware_concurrency); its workers wait on a condition
// variable between loops and cost nothing then.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

class ThreadPool {
public:
    // `threads` >= 1 (0 counts as 1): the caller and threads - 1 workers.
    explicit ThreadPool(unsigned threads);
    ~ThreadPool();
    ThreadPool(const ThreadPool&) = delete;
    ThreadPool& operator=(const ThreadPool&) = delete;

    unsigned Threads() const { return static_cast<unsigned>(workers_.size()) + 1; }

    void ParallelFor(size_t count, const std::function<void(size_t)>& fn);

    // The process-wide pool, sized by std::thread::hardware_concurrency().
    static ThreadPool& Shared();
    // A pool of 1: every loop on its caller.
    static ThreadPool& Serial();
    // True on a thread that is running a task of some ParallelFor.
    static bool InTask();

private:
    struct Loop;
    void WorkerMain();
    static void RunTasks(Loop& loop);

    std::vector<std::thread> workers_;
    std::mutex loopMutex_; // held by the caller whose loop the pool runs
    std::mutex mutex_;     // guards loop_, generation_, stop_ and Loop::joined
    std::condition_variable wake_, left_;
    Loop* loop_ = nullptr;
    unsigned long generation_ = 0;
    bool stop_ = false;
};
