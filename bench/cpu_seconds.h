// Processor time from one of the POSIX CPU-time clocks, in seconds: the
// thread's (CLOCK_THREAD_CPUTIME_ID) or the whole process's
// (CLOCK_PROCESS_CPUTIME_ID). Load from other processes inflates it far
// less than the wall clock.
#pragma once

#include <ctime>

namespace numoria::bench {

inline double cpuSeconds(clockid_t clock) {
    timespec now;
    clock_gettime(clock, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

} // namespace numoria::bench
