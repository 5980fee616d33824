// Samples the process's memory figures on a thread of its own while a call
// runs, keeping the highest committed and anonymous resident sizes seen:
// the kernel keeps no peak of those.
#pragma once

#include <atomic>
#include <cstddef>
#include <thread>

#include "process_memory.h"

namespace numoria_bench {

struct SampledPeaks {
    SIZE_T committed = 0;
    SIZE_T anonymousResident = 0;
    std::size_t samples = 0;
};

class PeakSampler {
public:
    explicit PeakSampler(const ProcessMemoryReader& reader);
    PeakSampler(const PeakSampler&) = delete;
    PeakSampler& operator=(const PeakSampler&) = delete;
    ~PeakSampler();

    // Stops sampling (one last sample is taken first) and gives the peaks.
    SampledPeaks stop();

private:
    void sample();

    const ProcessMemoryReader& reader_;
    std::atomic<bool> running_{true};
    SampledPeaks peaks_;
    std::thread thread_;
};

} // namespace numoria_bench
