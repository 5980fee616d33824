// Threads for the large operations, started for one call and joined before
// it returns: nothing outlives a call, so nothing runs under a loader lock
// or at unload. Work is split so that each result element is computed by
// one thread in its documented order: results are the same bit for bit for
// any number of threads.
//
// The number of threads is the number of cores, capped by the environment
// variable NUMORIA_THREADS (read once, at the first large call) when it
// holds a whole number from 1 up. Calls smaller than a threshold run on the
// calling thread alone; the threshold rises where starting a thread turns
// out to be slow (milliseconds under Wine, against tens of microseconds on
// Windows), so that a split always pays for its threads.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

namespace numoria::parallel {

class ThreadTeam;

// Multiply-add pairs (or comparable steps) below which a call is not split
// where threads start quickly.
inline constexpr std::int64_t kSmallestSplitWork = std::int64_t{1} << 22;

// How many parts a call of `work` steps is split into (1 for small calls).
int partsFor(std::int64_t work);

// The steps below which a call is not split: kSmallestSplitWork, or more
// when the fastest thread start seen so far took longer than a core needs
// for half the work of a call that size (so that moving that half to a
// second thread saves more than the thread costs).
std::int64_t smallestSplitWork();

// Notes how long a thread took from being asked for to running (the library
// notes each one it starts); only the fastest start counts. Forgetting them
// (for tests) restores kSmallestSplitWork.
void noteThreadStart(std::int64_t nanoseconds);
void forgetThreadStarts();

// Overrides the thread count and the threshold (for tests: every split at
// 2 or 3 threads even for small calls); a count of 0 restores the defaults.
void setThreads(int count, std::int64_t smallestSplitWork);

// Runs part(0) .. part(count - 1): part 0 on the calling thread, the others
// on threads of the calling thread's ScopedThreadTeam when one is open (and
// not already running parts), otherwise on threads started here; all have
// finished before this returns. Each thread starts from the default
// floating-point environment with clear flags; the error flags any part
// raised are raised on the calling thread afterwards, as if it had run every
// part. A part whose thread cannot be started runs on the calling thread; an
// exception from a part is rethrown here once every part has finished.
void runParts(int count, const std::function<void(int part)>& part);

// Threads kept for one call that splits its work many times (a large
// determinant splits after every block of pivots): starting a thread costs
// far more than handing it a part (milliseconds under Wine), so the first
// split within the scope starts the threads and the later ones reuse them.
// None is started if nothing splits; all are stopped and joined when the
// scope ends, so no thread outlives the call. The scope serves splits made
// on the thread that opened it, and scopes opened within it share its team.
class ScopedThreadTeam {
public:
    ScopedThreadTeam();
    ~ScopedThreadTeam();
    ScopedThreadTeam(const ScopedThreadTeam&) = delete;
    ScopedThreadTeam& operator=(const ScopedThreadTeam&) = delete;

    // Runs the parts as runParts does, parts 1 and up on the team's threads;
    // false, running nothing, when the team is already running parts.
    bool run(int count, const std::function<void(int part)>& part);

private:
    std::unique_ptr<ThreadTeam> team_;
    bool outermost_;
};

} // namespace numoria::parallel
