#include "runtime/parallel.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>
#include <utility>
#include <vector>

#include "runtime/fp_environment.h"
#include "runtime/fp_status.h"

namespace numoria::parallel {

namespace {

std::atomic<int> overrideCount{0};
std::atomic<std::int64_t> overrideThreshold{kSmallestSplitWork};

thread_local ScopedThreadTeam* t_team = nullptr;

// The fastest thread start noted so far, in nanoseconds (0: none yet).
std::atomic<std::int64_t> fastestStart{0};

// Multiply-add steps one core is counted on per nanosecond when a thread's
// start is weighed against work: a low figure (the vector kernels do 10 to
// 60), so that the threshold never rises for threads that pay their way.
constexpr std::int64_t kStepsPerNanosecond = 10;

std::int64_t nanosecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now() - start).count();
}

// Starts `body` on a new thread (throws std::system_error when it cannot),
// noting how long the thread took to begin running.
std::thread startThread(std::function<void()> body) {
    const auto asked = std::chrono::steady_clock::now();
    return std::thread([asked, body = std::move(body)] {
        noteThreadStart(nanosecondsSince(asked));
        body();
    });
}

int defaultThreadCount() {
    static const int count = [] {
        int cores = static_cast<int>(std::thread::hardware_concurrency());
        if (cores < 1) cores = 1;
        if (const char* cap = std::getenv("NUMORIA_THREADS")) {
            char* end = nullptr;
            const long value = std::strtol(cap, &end, 10);
            if (end != cap && *end == '\0' && value >= 1 && value < cores) cores = static_cast<int>(value);
        }
        return cores;
    }();
    return count;
}

struct PartResult {
    unsigned flags = 0;
    std::exception_ptr error;
};

void runOne(const std::function<void(int)>& part, int index, PartResult& result) {
    try {
        part(index);
    } catch (...) {
        result.error = std::current_exception();
    }
}

// A part on a thread of the library's own: from the default floating-point
// environment with clear flags, the flags it raised kept for the caller.
void runOnOwnThread(const std::function<void(int)>& part, int index, PartResult& result) {
    const fp::DefaultFloatingPointEnvironment environment;
    runOne(part, index, result);
    result.flags = fp::errorFlags();
}

// After every part has finished: the first exception is rethrown, or the
// flags any part raised are raised on the calling thread.
void finish(const std::vector<PartResult>& results) {
    unsigned flags = 0;
    for (const PartResult& result : results) {
        if (result.error) std::rethrow_exception(result.error);
        flags |= result.flags;
    }
    if (flags != 0) fp::raiseFlags(flags);
}

} // namespace

// Threads that run the parts of one split after another: thread i (from 1)
// runs part i of each split that has one, starting at the first split that
// needs it. A split is posted under the mutex with a new generation number;
// the caller waits until every thread given a part has finished it before
// posting the next. The threads are stopped and joined on destruction.
class ThreadTeam {
public:
    ThreadTeam() = default;
    ThreadTeam(const ThreadTeam&) = delete;
    ThreadTeam& operator=(const ThreadTeam&) = delete;

    ~ThreadTeam() {
        {
            const std::lock_guard lock(mutex_);
            stopping_ = true;
        }
        posted_.notify_all();
        for (std::thread& thread : threads_) thread.join();
    }

    bool busy() const { return busy_; }

    void run(int count, const std::function<void(int)>& part) {
        std::vector<PartResult> results(static_cast<std::size_t>(count));
        while (static_cast<int>(threads_.size()) < count - 1) {
            try {
                const int index = static_cast<int>(threads_.size()) + 1;
                threads_.push_back(startThread([this, index, seen = generation_] { serve(index, seen); }));
            } catch (const std::system_error&) {
                break; // the parts without a thread run on the calling thread
            }
        }
        const int onTeam = std::min(count - 1, static_cast<int>(threads_.size()));
        busy_ = true;
        {
            const std::lock_guard lock(mutex_);
            job_ = &part;
            results_ = &results;
            jobParts_ = onTeam + 1;
            pending_ = onTeam;
            ++generation_;
        }
        posted_.notify_all();
        runOne(part, 0, results[0]);
        for (int index = onTeam + 1; index < count; ++index)
            runOne(part, index, results[static_cast<std::size_t>(index)]);
        {
            std::unique_lock lock(mutex_);
            finished_.wait(lock, [this] { return pending_ == 0; });
        }
        busy_ = false;
        finish(results);
    }

private:
    // Thread `index` from its start, when the last job posted was `seen`.
    void serve(int index, std::uint64_t seen) {
        std::unique_lock lock(mutex_);
        for (;;) {
            posted_.wait(lock, [&] { return stopping_ || generation_ != seen; });
            if (stopping_) return;
            seen = generation_;
            if (index >= jobParts_) continue;
            const std::function<void(int)>& part = *job_;
            PartResult& result = (*results_)[static_cast<std::size_t>(index)];
            lock.unlock();
            runOnOwnThread(part, index, result);
            lock.lock();
            if (--pending_ == 0) finished_.notify_one();
        }
    }

    std::mutex mutex_;
    std::condition_variable posted_, finished_;
    std::vector<std::thread> threads_;
    const std::function<void(int)>* job_ = nullptr;
    std::vector<PartResult>* results_ = nullptr;
    std::uint64_t generation_ = 0; // written by the calling thread only, under the mutex
    int jobParts_ = 0, pending_ = 0;
    bool stopping_ = false;
    bool busy_ = false; // read and written by the calling thread only
};

// A scope opened inside another on the same thread leaves the outer one's
// team serving both.
ScopedThreadTeam::ScopedThreadTeam() : outermost_(t_team == nullptr) {
    if (outermost_) t_team = this;
}

ScopedThreadTeam::~ScopedThreadTeam() {
    if (outermost_) t_team = nullptr;
}

bool ScopedThreadTeam::run(int count, const std::function<void(int)>& part) {
    if (team_ && team_->busy()) return false;
    if (!team_) team_ = std::make_unique<ThreadTeam>();
    team_->run(count, part);
    return true;
}

int partsFor(std::int64_t work) {
    const int forced = overrideCount.load(std::memory_order_relaxed);
    if (forced > 0) return work >= overrideThreshold.load(std::memory_order_relaxed) ? forced : 1;
    return work >= smallestSplitWork() ? defaultThreadCount() : 1;
}

std::int64_t smallestSplitWork() {
    return std::max(kSmallestSplitWork, 2 * kStepsPerNanosecond * fastestStart.load(std::memory_order_relaxed));
}

void noteThreadStart(std::int64_t nanoseconds) {
    nanoseconds = std::max<std::int64_t>(nanoseconds, 1);
    std::int64_t fastest = fastestStart.load(std::memory_order_relaxed);
    while ((fastest == 0 || nanoseconds < fastest) &&
           !fastestStart.compare_exchange_weak(fastest, nanoseconds, std::memory_order_relaxed)) {
    }
}

void forgetThreadStarts() { fastestStart.store(0, std::memory_order_relaxed); }

void setThreads(int count, std::int64_t smallestSplitWork) {
    overrideThreshold.store(count > 0 ? smallestSplitWork : kSmallestSplitWork, std::memory_order_relaxed);
    overrideCount.store(count > 0 ? count : 0, std::memory_order_relaxed);
}

void runParts(int count, const std::function<void(int)>& part) {
    if (count <= 1) {
        part(0);
        return;
    }
    if (t_team != nullptr && t_team->run(count, part)) return;
    ThreadTeam forThisSplit; // its threads are joined when it goes
    forThisSplit.run(count, part);
}

} // namespace numoria::parallel
