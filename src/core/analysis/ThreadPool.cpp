#include "analysis/ThreadPool.h"

#include <algorithm>
#include <atomic>
#include <limits>

namespace {

// How many tasks this thread is inside (a nested loop runs inline).
thread_local int tlTaskDepth = 0;

struct TaskScope {
    TaskScope() { ++tlTaskDepth; }
    ~TaskScope() { --tlTaskDepth; }
    TaskScope(const TaskScope&) = delete;
    TaskScope& operator=(const TaskScope&) = delete;
};

} // namespace

// One ParallelFor in progress; it lives on its caller's stack.
struct ThreadPool::Loop {
    size_t count = 0;
    const std::function<void(size_t)>* fn = nullptr;
    std::atomic<size_t> next{0};
    std::atomic<bool> failed{false};
    std::mutex errorMutex;
    size_t errorIndex = std::numeric_limits<size_t>::max();
    std::exception_ptr error;
    int joined = 0; // workers inside RunTasks (guarded by the pool's mutex_)
};

ThreadPool::ThreadPool(unsigned threads)
{
    const unsigned n = std::max(threads, 1u);
    workers_.reserve(n - 1);
    for (unsigned i = 1; i < n; ++i) workers_.emplace_back([this] { WorkerMain(); });
}

ThreadPool::~ThreadPool()
{
    {
        std::lock_guard<std::mutex> lock(mutex_);
        stop_ = true;
    }
    wake_.notify_all();
    for (std::thread& t : workers_) t.join();
}

ThreadPool& ThreadPool::Shared()
{
    static ThreadPool pool(std::max(std::thread::hardware_concurrency(), 1u));
    return pool;
}

ThreadPool& ThreadPool::Serial()
{
    static ThreadPool pool(1);
    return pool;
}

bool ThreadPool::InTask() { return tlTaskDepth > 0; }

void ThreadPool::RunTasks(Loop& loop)
{
    const TaskScope scope;
    while (!loop.failed.load(std::memory_order_relaxed)) {
        const size_t i = loop.next.fetch_add(1);
        if (i >= loop.count) break;
        try {
            (*loop.fn)(i);
        } catch (...) {
            const std::lock_guard<std::mutex> lock(loop.errorMutex);
            if (i < loop.errorIndex) {
                loop.errorIndex = i;
                loop.error = std::current_exception();
            }
            loop.failed.store(true);
        }
    }
}

void ThreadPool::ParallelFor(size_t count, const std::function<void(size_t)>& fn)
{
    if (count == 0) return;
    std::unique_lock<std::mutex> own(loopMutex_, std::defer_lock);
    if (workers_.empty() || count == 1 || InTask() || !own.try_lock()) {
        // On the caller, in index order; the first exception ends the loop.
        const TaskScope scope;
        for (size_t i = 0; i < count; ++i) fn(i);
        return;
    }
    Loop loop;
    loop.count = count;
    loop.fn = &fn;
    {
        const std::lock_guard<std::mutex> lock(mutex_);
        loop_ = &loop;
        ++generation_;
    }
    wake_.notify_all();
    RunTasks(loop);
    {
        // Every index is taken: no worker may join any more; wait for those
        // still inside a task.
        std::unique_lock<std::mutex> lock(mutex_);
        loop_ = nullptr;
        left_.wait(lock, [&loop] { return loop.joined == 0; });
    }
    if (loop.error) std::rethrow_exception(loop.error);
}

void ThreadPool::WorkerMain()
{
    unsigned long seen = 0;
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
        wake_.wait(lock, [&] { return stop_ || (loop_ != nullptr && generation_ != seen); });
        if (stop_) return;
        seen = generation_;
        Loop* loop = loop_;
        ++loop->joined;
        lock.unlock();
        RunTasks(*loop);
        lock.lock();
        if (--loop->joined == 0) left_.notify_all();
    }
}
