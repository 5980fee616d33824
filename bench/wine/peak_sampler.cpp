#include "peak_sampler.h"

#include <algorithm>

namespace numoria_bench {

PeakSampler::PeakSampler(const ProcessMemoryReader& reader) : reader_(reader) {
    sample();
    thread_ = std::thread([this] {
        while (running_.load(std::memory_order_relaxed)) {
            sample();
            SwitchToThread();
        }
    });
}

PeakSampler::~PeakSampler() { stop(); }

void PeakSampler::sample() {
    const ProcessMemory now = reader_.read();
    peaks_.committed = std::max(peaks_.committed, now.committed);
    peaks_.anonymousResident = std::max(peaks_.anonymousResident, now.anonymousResident);
    ++peaks_.samples;
}

SampledPeaks PeakSampler::stop() {
    if (thread_.joinable()) {
        running_.store(false, std::memory_order_relaxed);
        thread_.join();
        sample();
    }
    return peaks_;
}

} // namespace numoria_bench
